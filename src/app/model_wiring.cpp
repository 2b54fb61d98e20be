// The model set-up joins the application: the parts start-up, the first tick and close-down ask of it, and
// the hooks through which it reaches the main window.

#include "app/application.h"

namespace pelorin {

void Application::AttachModelSetUp() {
  Model.Exit = options_.exit;
  Model.Hooks.setCaption = [this](const std::string& caption) { Window.caption = caption; };
  // Until the solution-method page keeps its own record, the method read from the settings decides.
  Model.Hooks.xacWanted = [this] { return Settings.createXacFile && Settings.method.solutions == 3; };

  Parts.findModelFiles = [this](const std::string& file) { return Model.FindModelFiles(file); };
  Parts.applySettings = [this](const IniOptions& settings) { Model.ApplySettings(settings); };
  Parts.storeSettings = [this](IniOptions& settings) { Model.StoreSettings(settings); };
  Parts.processModel = [this](bool newModel) { Model.ProcessModel(newModel); };
  Parts.clearModel = [this] { Model.ClearModel(); };
  Parts.modelFile = [this] { return Model.Model.ModelFile; };
  Parts.modelIsExe = [this] { return Model.Model.ModelIsExe; };
  Parts.modelStem = [this] { return Model.Model.ModelStem; };
  Parts.outputDir = [this] { return Model.Model.OutputDir; };
  Parts.changeModelButtonClick = [this] { Model.ChangeModelButtonClick(); };
  Parts.areInputDataFilesSelected = [this](bool quiet) { return Model.AreInputDataFilesSelected(quiet); };
  Parts.showModelDeveloperButtons = [this](bool visible) {
    Model.DataPage.ChangeModelVisible = visible;
    Model.DataPage.SaveLoadVisible = visible;
  };
  Parts.showSelectFileItem = [this](bool visible) { Model.DataPage.SelectFileItemVisible = visible; };
}

} // namespace pelorin
