#pragma once

#include "model/model_state.h"
#include "model/view_menu.h"
#include "platform/user_interface.h"
#include "shell/companion_programs.h"
#include "shell/fatal.h"

#include <functional>
#include <string>
#include <vector>

namespace pelorin {

struct AppState;
struct FileSection;
struct IniOptions;
struct SolInfoRec;

/// What model loading and the file pages ask of the parts above them (the closure and shock logic, the main
/// window). The application object sets them; an unset hook is skipped.
struct ModelHooks {
  /// Loads a closure file (and its ".CLI" companion when present) into the closure text and processes it.
  std::function<void(const std::string& closureFile)> processClosureFile;
  /// Empties the closure text.
  std::function<void()> clearClosure;
  /// Makes a closure-information file the current model information.
  std::function<void(const std::string& sviFile)> processClosureInfoFile;
  /// Forgets the closure information because the input data changed (back to the model's own information).
  std::function<void()> clearSviInfo;
  /// Puts the simulation pages back to their start for a new model (newModel) or for no model: shock
  /// text emptied, verbal description "?", solution method defaults and description; for a new model also no
  /// accuracy summary and "Look at CMF File" hidden.
  std::function<void(bool newModel)> resetSimulation;
  /// The closure text's lines (written as the model's default closure file).
  std::function<std::vector<std::string>()> closureLines;
  /// Sets the main window's caption.
  std::function<void(const std::string& caption)> setCaption;
  /// The solution method makes three multi-step solutions and "Create XAC file" is on.
  std::function<bool()> xacWanted;
};

/// The state of the input data list's right-click menu.
struct DataFilesPopup {
  bool SelectVisible = false; ///< "&Select or change the file name" (developer mode only)
  bool ViewEnabled = false;   ///< "&View this file" (the line names an existing file)
};

/// Which default list files CreateDefaultListFiles makes.
enum class DefaultListFiles { DataList = 1, Closure = 2, Both = 3 };

/// The model set-up: owns the model state, the Model/Data and Output files pages and the View menu, and holds
/// the routines that choose and load a model, edit its input and output file lines and show its files.
class ModelSetUp {
public:
  ModelSetUp(AppState& app, UserInterface& ui, SolInfoRec& modelInfo);

  ModelState Model;
  ModelDataPage DataPage;
  OutputFilesPage OutputPage;
  ViewMenuState ViewMenu;
  DataFilesPopup Popup;
  LastSolveFiles LastSolve;
  /// Path of the external text editor; empty means the built-in editor (settings key "Text Editor").
  std::string TextEditor;
  ModelHooks Hooks;
  /// How the program ends after a fatal error (tests record it instead).
  ExitHook Exit = ProcessExit();
  /// How viewers and the editor are started (tests record them instead).
  ProgramLauncher Launcher = DetachedLauncher();
  /// The folder Brisolent is looked for in after the program folder and PATH (tests point it elsewhere).
  std::string BrisolentFallbackDir{kSuiteFallbackDir};

  // Model discovery and loading.

  /// "&Change Model": asks for a model file and, when its companion files belong together, loads it as a new
  /// model.
  void ChangeModelButtonClick();
  /// Checks a model file's companion files, their creation stamps and the file section; sets PostSimPossible.
  /// Shows why a model is refused; a refusal changes nothing.
  bool FindModelFiles(const std::string& modelFile);
  /// Loads the model named by Model.ModelFile: as a new model (default lists, closure and method) or, at
  /// start-up, restoring the lists read from the settings.
  void ProcessModel(bool newModel);
  /// Forgets the model.
  void ClearModel();
  /// Takes the model, its lists, output folder, post-simulation name and editor from the settings just read.
  void ApplySettings(const IniOptions& options);
  /// Puts the model's values into the settings to be written.
  void StoreSettings(IniOptions& options) const;

  // Input data files.

  /// Checks every input line: a file that no longer exists is shortened to "??" and, unless quiet, the user
  /// is asked to choose it again. True when every file is named and exists. Enables "Save &As..."
  /// accordingly.
  bool AreInputDataFilesSelected(bool quiet);
  /// Asks for the file of input line `index`; true when one was chosen.
  bool OrigDataFilesCMFListBoxChange(int index);
  /// A right button press on input line `index`: selects it and sets up the popup menu.
  void OrigDataFilesCMFListBoxMouseDown(int index);
  /// Popup "&Select or change the file name".
  void SelectFileName1Click();
  /// Popup "&View this file".
  void ViewThisFile1Click();
  /// Popup "&Tell me more about this file".
  void TellMeMore1Click();
  /// "Save &As...": writes the input lines to a model data-file list.
  void SaveDataFilesButtonClick();
  /// "&Load...": replaces the input lines by those of a model data-file list.
  void LoadDataFilesButtonClick();

  // Output files.

  /// A click on output line `index`: asks for a new name and renames the file (line 0: the solution, which
  /// the other names follow).
  void OutputFilesListBoxChange(int index);
  /// A post-simulation run follows each solve: the model has outputs and updates no data read from the
  /// terminal.
  bool PostSimRequested() const { return !ViewMenu.OutputsPreSim.Items.empty() && Model.PostSimPossible; }
  /// Derives the post-simulation name from a solution name.
  void SetPostSimNames(const std::string& solutionName);
  /// "Change" on the Output files page: asks for the default output folder.
  void ChangeOutputDirButtonClick();
  /// Makes the model's default data-file list and closure files when they are missing.
  void CreateDefaultListFiles(DefaultListFiles which);

  // View menu.

  /// Rebuilds the four View sub-menus from the model's file list.
  void RebuildViewMenus();
  /// Sets the enabled state of the View menu's entries (run each time the menu opens).
  void ViewData1Click();
  void ViewInputDataItemClick(int item);
  void ViewUpdatedDataItemClick(int item);
  void ViewPreSimItemClick(int item);
  void ViewPostSimItemClick(int item);
  void XACFile1Click();
  void LogFile1Click();
  void MainMERKAFile1Click();
  void MERKASTIFile1Click();
  /// "Look at CMF File" on the Solve page.
  void LookAtCMFFileButtonClick();
  void OtherTextFile1Click();
  void OtherHeaderArrayFile1Click();
  void ViewTempDirTextFiles1Click();
  void ViewTempDirHARFiles1Click();
  void SolutionViaTelvari1Click();
  void SolutionViaLumarix1Click();
  void SolutionViaBrisolent1Click();
  /// Shows a text file in the external editor when one is configured, otherwise in the built-in editor.
  void ViewTextFile(const std::string& file, const std::string& title, bool editable, int helpTopic = 0);
  /// Asks for any file below `initialDir` and shows it editable, refusing binary files.
  void ViewAnyTextFile(const std::string& initialDir);

  // File utilities.

  /// Edits the command-file preamble "CMFSTART" (creating it on request).
  void EditCMFSTARTFile();
  /// Opening "Change Text &Editor ...": drops an editor that no longer exists and sets the check marks.
  void ChangeTextEditor1Click();
  /// "Use &Orvane's editor".
  void UseOrvanesEditor1Click();
  /// "Use &Another editor".
  void UseAnotherEditor1Click();
  void ZipTempDir1Click();
  void ZipKeepDir1Click();
  void ZipModelDir1Click();

private:
  bool StampsAgree(const std::string& infoFile, const std::string& auxFile);
  bool ReadModelInformation();
  void BuildDefaultLists(const FileSection& section);
  void ShowPostSimRequest(bool newModel);
  void SetOutputDir(const std::string& folder);
  std::string OutputLineFile(const std::string& label) const;
  void ShowByType(const std::string& file, const std::string& type, const std::string& textTitle);
  bool ViewerFound(const std::string& name) const;
  void StartLumarix(const std::string& argument);
  void StartTelvari(const std::string& argument);
  void StartBrisolent(const std::string& solutionFile);
  void StartEditor(const std::string& file, bool editable);
  std::string SaveDialog(FileDialogRequest request);
  void ZipDirectory(const std::string& folder, const std::string& name, const std::string& words);

  AppState& app_;
  UserInterface& ui_;
  SolInfoRec& modelInfo_;
};

} // namespace pelorin
