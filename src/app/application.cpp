#include "app/application.h"

#include "datafiles/har_data.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "results/acc_summary_dialog.h"
#include "results/inspector.h"
#include "shell/model_archive.h"
#include "shell/startup_checks.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kInstallAdvice =
    "Please ensure that Pelorin is installed in a folder where you have "
    "write access.";
constexpr std::string_view kWorkFolderAdvice =
    "The files in the work folder are deleted when Pelorin closes: please make it a folder of its own.";

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home != nullptr && home[0] == '/' ? std::string(home) : std::string("/tmp");
}

bool IsFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

} // namespace

Application::Application(UserInterface& ui, ApplicationOptions options)
    : Programs(std::string(), ui), Model(App, ui, ModelInfo), Simulation(App, Model, ModelInfo, ui),
      ResultsData(ui), Results(ResultsData, ui), Jobs(App, Model, Simulation, ModelInfo, Results, ui),
      ui_(ui), options_(std::move(options)) {
  Interpreter = CommandInterpreter(options_.comspec);
  AttachModelSetUp();
  AttachSimulation();
  AttachResults();
  AttachJobs();
  // Data files, solutions and results all read Header Array files; a header too large for memory is
  // skipped, and the person must be told so wherever the reading happens.
  warningTarget_ = std::make_shared<UserInterface*>(&ui_);
  SetHarWarningHandler([target = std::weak_ptr<UserInterface*>(warningTarget_)](const std::string& text) {
    if (const std::shared_ptr<UserInterface*> person = target.lock()) {
      (*person)->Message(MessageKind::Warning, text, MessageButtons::OkHelp);
    }
  });
}

Application::~Application() {
  warningTarget_.reset();
}

bool Application::HasModelFile() const {
  return Parts.modelFile && !Parts.modelFile().empty();
}

Application::StartOutcome Application::FormCreate() {
  // 1-3: title, window size, program folder.
  const std::string exeName = ExtractFileName(options_.executablePath);
  const std::size_t dot = exeName.rfind('.');
  App.Title = dot == std::string::npos || dot == 0 ? exeName : exeName.substr(0, dot);
  Window.width = 60 * App.FontUnit;
  Window.height = 40 * App.FontUnit;
  App.ProgramDir = ExtractFilePath(options_.executablePath);
  while (App.ProgramDir.size() > 1 && App.ProgramDir.back() == kPathSeparator) {
    App.ProgramDir.pop_back();
  }
  Programs.SetProgramDir(App.ProgramDir);
  Window.hintsOn = true;

  // 4: the model.
  switch (SetUpCustomModel(App, ui_, options_.exit, CustomModel, options_.writableProgramDir)) {
  case SetUpOutcome::NoModel:
    Window.closeRequested = true;
    return StartOutcome::NoModel;
  case SetUpOutcome::Halted:
    return StartOutcome::Halted;
  case SetUpOutcome::Ready:
    break;
  }
  Picture = CustomModel.picture;
  Text = CustomModel.text;
  Menu.HelpOnModel.enabled = CustomModel.modelHelpExists;

  // 5-7: developer controls hidden, labels, help files, caption.
  ShowDeveloperControls(false);
  Menu.ResultsSeparator.visible = false;
  Window.inputFilesLabel2 = "Right click on any line below to see details of these files";
  App.HelpFile = JoinPath(App.ProgramDir, "orvane.html");
  App.SsaHelpFile = JoinPath(App.ProgramDir, "ssa.html");
  Window.caption = App.Title;

  // 8-13: folders made safe to use.
  if (!FindWritableTempArea(App.ErrorText)) {
    FatalErrorText(ui_, options_.exit, App.ErrorText);
    return StartOutcome::Halted;
  }
  if (const std::optional<std::string> problem = ProgramDirNameProblem(App.ProgramDir)) {
    FatalError(ui_, options_.exit, *problem, App.ProgramDir,
               "Please rename the directory or install somewhere else !");
    return StartOutcome::Halted;
  }
  if (Interpreter.empty()) {
    ui_.Message(MessageKind::Error, "Error: Environment variable COMSPEC is not defined.");
    options_.exit(1);
    return StartOutcome::Halted;
  }
  if (options_.writableProgramDir && !CanWriteTestFile(App.ProgramDir)) {
    FatalError(ui_, options_.exit, "Cannot create test file in Pelorin folder: ", App.ProgramDir,
               kInstallAdvice);
    return StartOutcome::Halted;
  }
  App.WorkDir = options_.workDir.empty() ? JoinPath(App.ProgramDir, "work") : options_.workDir;
  App.KeepDir = options_.keepDir.empty() ? App.ModelHomeDir : options_.keepDir;
  std::error_code ec;
  const fs::file_status workStatus = fs::symlink_status(App.WorkDir, ec);
  if (!fs::is_symlink(workStatus) && !fs::is_directory(workStatus) &&
      !fs::create_directory(App.WorkDir, ec)) {
    FatalError(ui_, options_.exit, "Cannot create work folder: ", App.WorkDir, kInstallAdvice);
    return StartOutcome::Halted;
  }
  // Every solve and the close-down delete the files in the work folder: a link would take them elsewhere.
  if (const std::optional<std::string> problem = WorkFolderProblem(App)) {
    FatalError(ui_, options_.exit, *problem, App.WorkDir, kWorkFolderAdvice);
    return StartOutcome::Halted;
  }
  if (!CanWriteTestFile(App.WorkDir)) {
    FatalError(ui_, options_.exit, "Cannot create test file in work folder: ", App.WorkDir, kInstallAdvice);
    return StartOutcome::Halted;
  }
  if (!SetJobEnvironment(App.WorkDir, ui_)) {
    options_.exit(1);
    return StartOutcome::Halted;
  }

  // 14: from here on the settings may be written.
  App.SettingsWritable = true;
  const std::optional<std::string> settings = FindFileIgnoringCase(App.ModelHomeDir, App.ModelName + ".ini");
  App.SettingsPath = settings ? *settings : JoinPath(App.ModelHomeDir, App.ModelName + ".ini");
  if (!options_.settingsPath.empty()) {
    App.SettingsPath = options_.settingsPath;
  }

  // 17-18: defaults, then the settings.
  SettingsContext context;
  context.programDir = App.ProgramDir;
  context.modelHomeDir = App.ModelHomeDir;
  context.relocate = true;
  context.modelFilesOk = Parts.findModelFiles;
  ErrorText readError;
  if (!ReadIniOptions(App.SettingsPath, context, ui_, Settings, readError)) {
    // An unreadable settings file is kept as it is: writing the defaults over it would lose the user's work.
    App.SettingsWritable = false;
    ui_.Message(MessageKind::Warning, readError + "\r\nThe settings of this model will not be saved.");
  }
  App.PlayMusic = Settings.playMusic;
  ApplyOptionMarks();
  if (Parts.applySettings) {
    Parts.applySettings(Settings);
  }
  SetDeveloperMode(Settings.developerMode);

  // 19: start-up sound.
  Menu.UsePif.visible = false;
  Menu.ZipSeparator.visible = false;
  const std::optional<std::string> sound = FindPathIgnoringCase(App.ModelBase + ".wav");
  Menu.StartupMusic.visible = sound && IsFile(*sound) && options_.hasWaveDevice && options_.hasWaveDevice();
  App.PlayMusic = App.PlayMusic && Menu.StartupMusic.visible;
  Menu.StartupMusic.checked = App.PlayMusic;
  Window.startupSound = Menu.StartupMusic.visible ? *sound : std::string();
  Window.soundPlaying = App.PlayMusic;

  // 20-22: first page, current folder, save folder, jobs and results.
  Window.currentPage = kPicturePage;
  if (options_.changeToRoot) {
    std::filesystem::current_path("/", ec);
  }
  App.LastSaveDir = HomeFolder();
  fs::create_directories(App.LastSaveDir, ec);
  if (Parts.chooseJobStart) {
    Parts.chooseJobStart();
  }
  if (Parts.createResultsTables) {
    Parts.createResultsTables();
  }

  // 23: the model as the settings left it.
  if (!LoadModel()) {
    App.ErrorText += "[LoadModel]";
    FatalErrorText(ui_, options_.exit, App.ErrorText);
    return StartOutcome::Halted;
  }
  Window.currentPage = kPicturePage;
  if (Parts.processModel) {
    Parts.processModel(false);
  }
  if (Parts.closureChanged) {
    Parts.closureChanged();
  }
  if (Parts.hideShockType) {
    Parts.hideShockType();
  }
  if (!HasModelFile() && Parts.clearModel) {
    Parts.clearModel();
  }

  // 24: the first tick runs the remaining checks.
  Window.timerEnabled = true;
  App.FirstTickPending = true;
  return StartOutcome::Ready;
}

bool Application::LoadModel() {
  TitlePage.IntroLabel1 = "Orvane";
  TitlePage.IntroLabel2 = "Automates Simulations with Models";
  TitlePage.IntroLabel3 = "Built on the KALVIMO modelling suite";
  TitlePage.IntroLabel4 = "Pelorin";
  TitlePage.Heading = "Developer mode: " + App.ProgramDir;
  return true;
}

void Application::FormResize(int width, int height) {
  Window.width = std::max(width, 50 * App.FontUnit);
  Window.height = std::max(height, 30 * App.FontUnit);
}

void Application::DosJobTimerTimer() {
  if (!App.FirstTickPending) {
    if (Parts.pollJob) {
      Parts.pollJob();
    }
    return;
  }
  App.FirstTickPending = false;
  Window.timerEnabled = false;
  std::error_code ec;
  if (App.WorkDir.empty() || !CanWriteTestFile(App.WorkDir) || !fs::is_directory(App.WorkDir, ec)) {
    ui_.Message(MessageKind::Error,
                "Cannot create suitable Temporary Directory.\r\nProgram cannot continue.");
    App.WorkDir = "??";
    Window.closeRequested = true;
    return;
  }
  JustAfterStarting();
}

void Application::JustAfterStarting() {
  // 1: the companion programs every solve needs.
  const std::string dravex = FindProgram("DRAVEX", App.ProgramDir);
  bool missing = false;
  for (const char* name : {"PRAXOL", "MIRDA"}) {
    const std::string found = FindProgram(name, App.ProgramDir);
    if (found.empty()) {
      ui_.Message(MessageKind::Error, "The program \r\n" +
                                          JoinPath(App.ProgramDir, RequiredProgramName(name)) +
                                          "\r\nwhich is required by Orvane, is not available.");
      missing = true;
    }
    if (std::string_view(name) == "PRAXOL") {
      PraxolProgram = found;
    }
  }
  // 2-3: the program's own files.
  CheckProgramFiles(App.ProgramDir, ui_);
  if (missing) {
    if (!App.DeveloperMode) {
      App.ErrorText = "Program files are missing !";
      FatalErrorText(ui_, options_.exit, App.ErrorText);
      return;
    }
    ui_.Message(MessageKind::Warning, "Program files are missing !\r\nContinue at Developers risk");
  }
  // 4-5: viewers and help.
  if (FindProgram("Lumarix", App.ProgramDir).empty()) {
    ui_.Message(MessageKind::Warning, "Lumarix is not available\r\n" + std::string(kProgramPlace) +
                                          "\r\nYou will not be able to examine Header Array files.");
  }
  if (!IsFile(App.HelpFile)) {
    ui_.Message(MessageKind::Warning,
                "The Help file " + App.HelpFile + " is missing !\r\nHelp will not be available.");
  }
  // 6-9: the model.
  if (!HasModelFile()) {
    ui_.Message(MessageKind::Information,
                "Please select a model to work with.\r\n(Later you can change it using the "
                "Change Model\r\n button on the Model/Data page.)");
  }
  if (dravex.empty() && HasModelFile() && !(Parts.modelIsExe && Parts.modelIsExe())) {
    const std::string stem = Parts.modelStem ? Parts.modelStem() : std::string();
    ui_.Message(MessageKind::Information, "The previous model " + stem +
                                              " can no longer be used\r\nsince DRAVEX is "
                                              "not available \r\n" +
                                              std::string(kProgramPlace) +
                                              "\r\nPlease select a new model to work with.");
    Settings.modelNotRestored = true;
    if (Parts.clearModel) {
      Parts.clearModel();
    }
  }
  if (!HasModelFile()) {
    Window.currentPage = kModelDataPageIndex;
    if (Parts.changeModelButtonClick) {
      Parts.changeModelButtonClick();
    }
  } else if (Parts.areInputDataFilesSelected) {
    Parts.areInputDataFilesSelected(false);
  }
}

bool Application::ShowPage(int page) {
  if (page < 0 || page >= kPageCount || page == Window.currentPage) {
    return page == Window.currentPage;
  }
  TabbedNotebook1Changing();
  Window.currentPage = page;
  TabbedNotebook1Change();
  return Window.currentPage == page;
}

void Application::TabbedNotebook1Changing() {
  previousPage_ = Window.currentPage;
  if (Parts.takeClosureEdited && Parts.takeClosureEdited() && Parts.closureChanged) {
    Parts.closureChanged();
  }
  if (Parts.takeShocksEdited && Parts.takeShocksEdited()) {
    App.ResultsOutdated = true;
  }
}

void Application::TabbedNotebook1Change() {
  const int page = Window.currentPage;
  if (page != kPicturePage) {
    Window.soundPlaying = false;
  }
  if (page == kResultsPage) {
    if (!App.Solved) {
      Window.currentPage = previousPage_;
      ui_.Message(MessageKind::Warning, "You must solve before viewing results");
      return;
    }
    if (App.ResultsOutdated) {
      ui_.Message(MessageKind::Warning, "Results have not been updated\r\nto reflect latest settings");
    }
    if (Parts.refreshResults) {
      Parts.refreshResults();
    }
  }
  Menu.Copy.enabled = Window.currentPage == kClosurePageIndex || Window.currentPage == kShocksPageIndex ||
                      Window.currentPage == kResultsPage;
  if (Window.currentPage != kResultsPage) {
    Results.PageDeactivated();
  }
  Menu.ExportTableAsCsv.enabled =
      Window.currentPage == kResultsPage && Results.State().view != ResultsView::None;
}

void Application::Copy1Click() {
  std::string text;
  switch (Window.currentPage) {
  case kClosurePageIndex:
    text = Parts.copyClosure ? Parts.copyClosure() : std::string();
    break;
  case kShocksPageIndex:
    text = Parts.copyShocks ? Parts.copyShocks() : std::string();
    break;
  case kResultsPage: {
    App.ErrorText.clear();
    if (!Parts.copyResults || !Parts.copyResults(App.ErrorText)) {
      ui_.Message(MessageKind::Error, "Error: Could not complete copy\r\n" + App.ErrorText);
      return;
    }
    ui_.PassingNote("Data copied to Clipboard", 1000);
    return;
  }
  default:
    ui_.Message(MessageKind::Information, "Cannot copy this page");
    return;
  }
  if (ui_.SetClipboardText(text)) {
    ui_.PassingNote("Data copied to Clipboard", 1000);
  }
}

std::string Application::PageHelpTopic(int page) {
  static const char* const kTopics[kPageCount] = {"",       "",        "title", "model-data", "closure",
                                                  "shocks", "outputs", "solve", "results"};
  return page >= 0 && page < kPageCount ? kTopics[page] : std::string();
}

std::string Application::MessageHelpTopic(int helpTopic) {
  // The Results page's dialogs have sections of their own.
  if (helpTopic == kAccSummaryHelp) {
    return "accuracy-summary";
  }
  if (helpTopic == kInspectorHelp) {
    return "inspector";
  }
  const int page = helpTopic / 100;
  return helpTopic > 0 && page >= kTitlePage && page < kPageCount ? PageHelpTopic(page) : std::string();
}

void Application::ShowHelpContext(int helpContext) {
  ui_.ShowHelp(App.HelpFile, MessageHelpTopic(helpContext));
}

void Application::CurrentPage1Click() {
  ui_.ShowHelp(App.HelpFile, PageHelpTopic(Window.currentPage));
}

void Application::Contents1Click() {
  ui_.ShowHelp(App.HelpFile, "");
}

void Application::WhatsNew1Click() {
  ui_.ShowHelp(App.HelpFile, "whats-new");
}

void Application::HelpOnThisModel1Click() {
  if (CustomModel.modelHelpExists) {
    ui_.ShowHelp(CustomModel.modelHelp, "");
  }
}

void Application::ShowDeveloperControls(bool visible) {
  if (Parts.showModelDeveloperButtons) {
    Parts.showModelDeveloperButtons(visible);
  }
  if (Parts.showSelectFileItem) {
    Parts.showSelectFileItem(visible);
  }
  Menu.EditCMFSTARTFile.visible = visible;
  TitlePage.headingVisible = visible;
  Menu.ChangeTextEditor.visible = visible;
  Menu.ReloadModel.visible = visible;
}

void Application::SetDeveloperMode(bool flag) {
  App.DeveloperMode = flag;
  Menu.Developer.visible = flag;
  if (Parts.showSelectFileItem) {
    Parts.showSelectFileItem(flag);
  }
}

void Application::GoDevMode() {
  if (App.DeveloperMode) {
    return;
  }
  ui_.Message(MessageKind::Information, "Going into developer mode.");
  SetDeveloperMode(true);
  ShowDeveloperControls(true);
}

void Application::Waiting(bool flag) {
  ui_.Busy(flag);
  if (flag) {
    ui_.ProcessEvents();
  }
  Window.enabled = !flag;
}

std::optional<std::string> Application::GetSaveFileName(FileDialogRequest request) {
  if (request.initialDir.empty()) {
    request.initialDir = App.LastSaveDir;
  }
  std::optional<std::string> chosen = ui_.SaveFileDialog(request);
  if (chosen) {
    std::string folder = ExtractFilePath(*chosen);
    while (folder.size() > 1 && folder.back() == kPathSeparator) {
      folder.pop_back();
    }
    if (!folder.empty()) {
      App.LastSaveDir = folder;
    }
  }
  return chosen;
}

void Application::ApplyOptionMarks() {
  Menu.ShowLevelsResults.checked = !Settings.ignoreLevelsResults;
  Menu.IgnoreLevelsResults.checked = Settings.ignoreLevelsResults;
  Menu.ShowSubtotalsResults.checked = Settings.getSubtotalsResults;
  Menu.IgnoreSubtotalsResults.checked = !Settings.getSubtotalsResults;
  Menu.CreateXACFile.checked = Settings.createXacFile;
  Menu.DoNotCreateXACFile.checked = !Settings.createXacFile;
}

void Application::AddModel1Click() {
  pelorin::AddModel1Click(App.ProgramDir, ui_);
}

void Application::ShellToDOS1Click() {
  const std::string output = Parts.outputDir ? Parts.outputDir() : CustomModel.outputDir;
  Programs.ShellToDos(App.WorkDir, output, Interpreter);
}

void Application::Exit1Click() {
  Window.closeRequested = true;
}

void Application::ShowLevelsResults1Click() {
  Settings.ignoreLevelsResults = false;
  ApplyOptionMarks();
}

void Application::IgnoreLevelsResults1Click() {
  Settings.ignoreLevelsResults = true;
  ApplyOptionMarks();
}

void Application::ShowSubtotalsResults1Click() {
  Settings.getSubtotalsResults = true;
  ApplyOptionMarks();
}

void Application::IgnoreSubtotalsResults1Click() {
  Settings.getSubtotalsResults = false;
  ApplyOptionMarks();
}

void Application::CreateXACFile1Click() {
  Settings.createXacFile = true;
  ApplyOptionMarks();
}

void Application::DoNotCreateXACFile1Click() {
  Settings.createXacFile = false;
  ApplyOptionMarks();
}

void Application::StartupMusic1Click() {
  App.PlayMusic = !App.PlayMusic;
  Menu.StartupMusic.checked = App.PlayMusic;
  if (!App.PlayMusic) {
    Window.soundPlaying = false;
  }
}

void Application::ReloadModel1Click() {
  if (Parts.processModel) {
    Parts.processModel(true);
  }
}

void Application::CloseDown() {
  if (App.SettingsWritable) {
    Settings.playMusic = App.PlayMusic;
    Settings.modelDesc = App.ModelDescription;
    if (Parts.storeSettings) {
      Parts.storeSettings(Settings);
    }
    // A model that could not be restored took its lists with it; writing the empty ones would lose the
    // user's work for good, though the model may be mended later. Unless another model has been chosen
    // since, its sections stay as the file has them.
    const bool keepModelSections = Settings.modelNotRestored && !HasModelFile();
    if (keepModelSections) {
      ui_.Message(MessageKind::Information,
                  "The model named in the settings file could not be restored, so its data files, closure, "
                  "shocks, output files and solution method were left in\r\n" +
                      App.SettingsPath + "\r\nas they were.");
    }
    ErrorText ignored; // a failed write keeps the previous settings and is not reported
    WriteIniOptions(App.SettingsPath, Settings, ignored,
                    keepModelSections ? SettingsParts::OptionsOnly : SettingsParts::All);
  }
  // Only a work folder start-up has made is emptied: before that WorkDir holds "nosuchdir", which names a
  // folder relative to wherever the program happens to run. The clearing itself refuses a link and every
  // folder that resolves to the program's, the model's, the home or the root folder.
  if (!App.DeveloperMode && App.WorkDir.size() > 3 && !SameText(App.WorkDir, App.ProgramDir)) {
    ErrorText ignored; // nothing is shown while the program closes
    ClearWorkFolder(App, ignored);
  }
  Window.soundPlaying = false;
}

} // namespace pelorin
