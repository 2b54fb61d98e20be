#pragma once

#include "app/main_window_state.h"
#include "jobs/job_runner.h"
#include "model/model_set_up.h"
#include "modelinfo/sol_info.h"
#include "platform/user_interface.h"
#include "results/results_model.h"
#include "results/results_page.h"
#include "shell/app_state.h"
#include "shell/catalogue.h"
#include "shell/companion_programs.h"
#include "shell/fatal.h"
#include "shell/settings.h"
#include "simspec/simulation_pages.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace pelorin {

/// What the application needs to know about the process it runs in.
struct ApplicationOptions {
  /// Full path of the running executable (its folder is the program folder, its name the title).
  std::string executablePath;
  /// The value of COMSPEC when the process started (empty when unset).
  std::string comspec;
  /// How a fatal error ends the program.
  ExitHook exit = ProcessExit();
  /// Whether the machine can play sounds; asked only when the model has a start-up sound (the answer may
  /// take the sound system a while). Unset: no sound.
  std::function<bool()> hasWaveDevice;
  /// Change the current folder to the file-system root at start-up, as the program does.
  bool changeToRoot = true;
  /// A run without a window gives each run its own folders: the settings file read instead of the model's
  /// own, the work folder instead of ProgramDir/work, and the folder that keeps "current.svi" instead of the
  /// model's folder. Empty: the program's usual places.
  std::string settingsPath;
  std::string workDir;
  std::string keepDir;
  /// Start-up checks that the program folder can be written and makes the model's output folder in it. A run
  /// without a window that is given its own work, keep and output folders writes nothing there and does
  /// without (a read-only installation).
  bool writableProgramDir = true;
};

/// What the application asks of the model set-up, the simulation pages, the job runner and the results page.
/// Their owners set these hooks when they join the application; an unset hook is skipped (a question then
/// answers "no model", "nothing edited", "nothing to copy").
struct ApplicationParts {
  // Settings and model loading.
  std::function<bool(const std::string& modelFile)> findModelFiles;
  std::function<void(const IniOptions& settings)> applySettings;
  std::function<void(IniOptions& settings)> storeSettings;
  std::function<void(bool newModel)> processModel;
  std::function<void()> clearModel;
  std::function<void()> closureChanged;
  std::function<void()> hideShockType;
  std::function<std::string()> modelFile;
  std::function<bool()> modelIsExe;
  std::function<std::string()> modelStem;
  std::function<std::string()> outputDir;
  std::function<void()> changeModelButtonClick;
  std::function<bool(bool quiet)> areInputDataFilesSelected;
  /// Shows or hides the Model/Data page's developer buttons ("&Change Model", "Save &As...", "&Load...").
  std::function<void(bool visible)> showModelDeveloperButtons;
  /// Shows or hides the input list's context-menu item "&Select or change the file name".
  std::function<void(bool visible)> showSelectFileItem;
  // Start-up steps of other parts.
  std::function<void()> chooseJobStart;
  std::function<void()> createResultsTables;
  // Page changes and Copy.
  std::function<bool()> takeClosureEdited;
  std::function<bool()> takeShocksEdited;
  std::function<void()> refreshResults;
  std::function<std::string()> copyClosure;
  std::function<std::string()> copyShocks;
  std::function<bool(ErrorText& errorText)> copyResults;
  // The job runner's tick once start-up is over.
  std::function<void()> pollJob;
};

/// The application: owns the application state, the current model information and the state of the main
/// window's menus and first pages, and runs start-up, the first tick, page changes, Copy, developer mode and
/// close-down. The window layer forwards its events here and mirrors the state.
class Application {
public:
  /// Also routes the Header Array readers' warnings (a header too large for memory, which is skipped) to
  /// `ui` as a warning with a Help button, for as long as the application lives.
  Application(UserInterface& ui, ApplicationOptions options);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  AppState App;
  SolInfoRec ModelInfo;
  /// The settings as read at start-up, updated at close-down and written back.
  IniOptions Settings;
  MainMenuState Menu;
  MainWindowState Window;
  TitlePageState TitlePage;
  PicturePage Picture;
  TextPage Text;
  /// The chosen model's folders and files from the catalogue.
  CustomModelSetUp CustomModel;
  CompanionPrograms Programs;
  ApplicationParts Parts;
  /// The model set-up: the model, the Model/Data and Output files pages, the View menu and file utilities.
  ModelSetUp Model;
  /// The simulation pages: the Closure, Shocks and Solve pages, the solution method, and the writers
  /// of command files and job inputs.
  SimulationPages Simulation;
  /// The open solutions and the variable plan.
  ResultsModel ResultsData;
  /// The Results page.
  ResultsPage Results;
  /// The job runner: solve chains and closure checks.
  JobRunner Jobs;
  /// The running executable's full path, as the program was started.
  const std::string& ExecutablePath() const { return options_.executablePath; }
  /// The command interpreter (COMSPEC or /bin/sh), fixed when the program starts.
  std::string Interpreter;
  /// Where the converter was found by the first tick (empty when missing).
  std::string PraxolProgram;

  /// How start-up ended.
  enum class StartOutcome {
    Ready,   ///< the window is ready and the timer armed
    NoModel, ///< no model was chosen: end with exit code 0 without showing the window
    Halted,  ///< a fatal error ended the program (exit code 1)
  };

  /// The start-up sequence, from the title to the armed timer.
  StartOutcome FormCreate();
  /// A tick of the 600 ms timer: the first runs the post-start checks, later ones poll the job.
  void DosJobTimerTimer();
  /// The checks that run once the window is visible: companion programs, program files, help, the model.
  void JustAfterStarting();
  /// Sets the Title page's labels.
  bool LoadModel();
  /// Keeps the window at least 50 x 30 font units.
  void FormResize(int width, int height);

  /// Moves to another page with the page-change rules; false when the page was refused (it stays).
  bool ShowPage(int page);
  /// Leaving the current page: passes on closure and shock edits.
  void TabbedNotebook1Changing();
  /// Entering a page (already current): stops the sound, guards the Results page, sets "&Copy".
  void TabbedNotebook1Change();

  /// "&Copy": copies the current page to the clipboard.
  void Copy1Click();
  /// Help: the current page's topic, the contents, what's new, the model's own help.
  void CurrentPage1Click();
  void Contents1Click();
  void WhatsNew1Click();
  void HelpOnThisModel1Click();

  /// Stores the developer flag and shows or hides the "&Developer" menu and the select-file item.
  void SetDeveloperMode(bool flag);
  /// The About/Diagnostics dialog's way into developer mode (not kept in the settings).
  void GoDevMode();
  /// Busy or idle: the busy cursor, pending events handled, the window disabled while busy.
  void Waiting(bool flag);
  /// A save dialog that starts in LastSaveDir unless the request names a folder; the folder of the file
  /// chosen becomes LastSaveDir. Nothing when cancelled.
  std::optional<std::string> GetSaveFileName(FileDialogRequest request);

  // Menu commands of this part.
  void AddModel1Click();
  void ShellToDOS1Click();
  void Exit1Click();
  void ShowLevelsResults1Click();
  void IgnoreLevelsResults1Click();
  void ShowSubtotalsResults1Click();
  void IgnoreSubtotalsResults1Click();
  void CreateXACFile1Click();
  void DoNotCreateXACFile1Click();
  void StartupMusic1Click();
  void ReloadModel1Click();
  /// "Export Table as CSV...": writes the Results page's table to a CSV file chosen in a save dialog that
  /// starts in LastSaveDir; nothing happens while the page shows no table.
  void ExportTableAsCsv1Click();

  /// Closing the main window: writes the settings (when allowed), clears the work folder outside developer
  /// mode, stops the sound.
  void CloseDown();

  /// The help topic (an anchor of the help page) of a page; empty for the contents.
  static std::string PageHelpTopic(int page);
  /// The help topic of a message box's Help button: the page its number belongs to (400 to 499 the Closure
  /// page, 500 to 599 the Shocks page and subtotals, ...); empty (the contents) for 0 and numbers of no page.
  static std::string MessageHelpTopic(int helpTopic);
  /// A dialog's Help button: the help file at the topic of the dialog's help context.
  void ShowHelpContext(int helpContext);

private:
  /// Connects the model set-up to the application's parts and hooks.
  void AttachModelSetUp();
  /// Connects the simulation pages to the application's parts, the model set-up and the main window.
  void AttachSimulation();
  /// Connects the Results page: built at start-up, refreshed when shown, copied by "&Copy".
  void AttachResults();
  /// Connects the job runner to the simulation pages, the timer and the main window.
  void AttachJobs();
  bool HasModelFile() const;
  void ShowDeveloperControls(bool visible);
  void ApplyOptionMarks();

  UserInterface& ui_;
  ApplicationOptions options_;
  int previousPage_ = kPicturePage;
  /// The reader warnings' way to ui_; emptied when the application goes, so a handler left installed
  /// never reaches a user interface that is gone.
  std::shared_ptr<UserInterface*> warningTarget_;
};

} // namespace pelorin
