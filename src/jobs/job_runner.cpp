#include "jobs/job_runner.h"

#include "jobs/job_scripts.h"
#include "model/file_lines.h"
#include "model/model_set_up.h"
#include "modelinfo/model_info_reader.h"
#include "platform/paths.h"
#include "platform/user_interface.h"
#include "results/results_page.h"
#include "shell/app_state.h"
#include "shell/companion_programs.h"
#include "shell/startup_checks.h"
#include "simspec/cmf_writer.h"
#include "simspec/simulation_pages.h"

#include <charconv>
#include <filesystem>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

// Seconds with one decimal, whatever the locale says.
std::string OneDecimal(double seconds) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed, 1);
  return std::string(buffer, result.ptr);
}

} // namespace

std::string RunningJobMessage(const std::string& folder, const std::string& job) {
  return "Another job is still running and writing into the folder\r\n" + folder + "\r\nJob: " + job +
         "\r\nA job given up with Cancel goes on to its end and writes its files there, which would spoil a "
         "new job.\r\nPlease wait until it has ended, then try again.";
}

JobRunner::JobRunner(AppState& app, ModelSetUp& model, SimulationPages& simulation, SolInfoRec& modelInfo,
                     ResultsPage& results, UserInterface& ui)
    : app_(app), model_(model), simulation_(simulation), modelInfo_(modelInfo), results_(results), ui_(ui) {}

std::string JobRunner::WorkFile(const std::string& name) const {
  return JoinPath(app_.WorkDir, name);
}

std::string JobRunner::StageName() const {
  return model_.Model.ModelIsExe ? model_.Model.ModelStem : std::string("DRAVEX");
}

std::string JobRunner::SolverName() const {
  return model_.Model.ModelIsExe ? model_.Model.ModelFile : std::string("DRAVEX");
}

int JobRunner::UpdatedFileCount() const {
  int count = 0;
  for (const std::string& line : model_.OutputPage.OutputLines) {
    count += IsUpdatedLine(line) ? 1 : 0;
  }
  return count;
}

void JobRunner::SetTimer(bool enabled) {
  if (Hooks.setTimer) {
    Hooks.setTimer(enabled);
  }
}

void JobRunner::Problem(const std::string& text) {
  ui_.Message(MessageKind::Error, "Problem:\r\n" + text);
}

// The wait dialog.

void JobRunner::ShowWaitDialog(const std::string& text) {
  if (Hooks.enableMainWindow) {
    Hooks.enableMainWindow(false);
  }
  ui_.ProcessEvents();
  Wait = WaitDialogState{true, text, 1};
  Job.KillRequested = false;
  ui_.ShowWaitDialog(kWaitCaption, text);
  app_.WaitDialogShown = true;
}

void JobRunner::CloseWaitDialog() {
  if (!Wait.shown) {
    return;
  }
  ui_.CloseWaitDialog();
  Wait.shown = false;
  app_.WaitDialogShown = false;
  ui_.RestoreApplication();
  ui_.ProcessEvents();
  ui_.Busy(false);
  if (Hooks.enableMainWindow) {
    Hooks.enableMainWindow(true);
  }
}

void JobRunner::HideButtonClick() {
  ui_.MinimizeApplication();
}

void JobRunner::CancelButtonClick() {
  if (ui_.Message(MessageKind::Confirmation, "Do you really want to kill this job?", MessageButtons::YesNo) ==
      MessageAnswer::Yes) {
    Job.KillRequested = true;
  }
}

// Starting jobs.

bool JobRunner::RefusedWhileAJobRuns() {
  abandoned_.Reap();
  // The work folder first: its note names the job.
  for (const std::string& folder : {app_.WorkDir, model_.Model.OutputDir}) {
    if (const std::optional<std::string> running = RunningJobIn(folder)) {
      ui_.Message(MessageKind::Error, RunningJobMessage(folder, *running));
      return true;
    }
  }
  return false;
}

void JobRunner::StartSolve() {
  // A job given up with Cancel still writes its flag, log and solution under the names a new solve uses.
  if (RefusedWhileAJobRuns()) {
    return;
  }
  Job.TotalSeconds = 0;
  simulation_.Solve.ErrorLogVisible = false;
  Job.JobName = "solve1";
  LaunchJob();
}

void JobRunner::LaunchJob() {
  abandoned_.Reap();
  if (Job.JobName == "solve1") {
    LaunchSolve();
  } else if (Job.JobName == "praxol1") {
    LaunchFollowUp(FindProgram("PRAXOL", app_.ProgramDir), WorkFile("praxol.inp"),
                   "Running PRAXOL to convert Solution file to Header Array file");
  } else if (Job.JobName == "mirda1") {
    LaunchFollowUp(FindProgram("MIRDA", app_.ProgramDir), WorkFile("mirdashk.inp"),
                   "Running MIRDA to prepare for possible SSA job");
  } else if (Job.JobName == "praxol2") {
    LaunchFollowUp(FindProgram("PRAXOL", app_.ProgramDir), WorkFile("praxolsh.inp"),
                   "Running PRAXOL to prepare for possible SSA job");
  } else {
    LaunchFollowUp(std::string(), std::string(), Wait.text);
  }
}

bool JobRunner::WriteSolveFiles() {
  ModelState& model = model_.Model;
  LastSolveFiles& last = model_.LastSolve;
  ErrorText errorText;
  Job.CmfFile = ChangeFileExt(Job.SolutionFile, ".cmf");
  last.CmfFile = Job.CmfFile;
  if (!simulation_.CreateCMF(Job.CmfFile, false, errorText)) {
    Problem("Could not create CMF file\r\n" + errorText);
    return false;
  }
  Job.PostSimRequested = model_.PostSimRequested();
  Job.PostSimCmfFile.clear();
  if (Job.PostSimRequested) {
    Job.PostSimCmfFile = PostSimCmfPath(model.OutputDir, model_.OutputPage.PostSimName);
    last.PostSimDisplayFile = JoinPath(model.OutputDir, model_.OutputPage.PostSimName + ".dis");
    if (!simulation_.CreateCMF(Job.PostSimCmfFile, true, errorText)) {
      Problem("Could not create Postsim CMF file\r\n" + errorText);
      return false;
    }
  }
  if (!simulation_.WriteSolveJobInputs(Job.SolutionFile, Job.CmfFile, Job.PostSimCmfFile,
                                       Job.PostSimRequested, errorText)) {
    Problem("Could not create the job input files\r\n" + errorText);
    return false;
  }
  // An output folder the script cannot change to leaves a script that ends there; the solve then finds no log
  // and says the solver failed to run.
  std::vector<std::string> lines;
  ErrorText ignored;
  SolveBatchLines(Dialect,
                  SolveBatchPaths(app_.WorkDir, model.OutputDir, model.SolverProgram, Job.SolutionFile,
                                  Job.PostSimRequested),
                  lines, ignored);
  if (!WriteLines(WorkFile("solve.bat"), lines)) {
    Problem("Could not create the job input files\r\nCannot create file " + WorkFile("solve.bat"));
    return false;
  }
  return true;
}

void JobRunner::LaunchSolve() {
  ModelState& model = model_.Model;
  LastSolveFiles& last = model_.LastSolve;
  app_.SolutionPresent = false;
  Job.SsaPreparationFailed = false;
  simulation_.Solve.LookAtCmfVisible = false;
  // The work folder start-up accepted may have been swapped for a link since: its files are not deleted then.
  if (const std::optional<std::string> problem = WorkFolderProblem(app_)) {
    Problem(*problem + app_.WorkDir);
    return;
  }
  ErrorText ignored; // a file that cannot be deleted is written over or reported by the job
  ClearWorkFolder(app_, ignored);

  Job.SolutionFile = SolutionFilePath(model.OutputDir, model_.OutputPage.OutputLines);
  Job.LogCopy = ChangeFileExt(Job.SolutionFile, ".log");
  Job.SolveLog = WorkFile("solve.log");
  Job.PostSimLog = WorkFile("postsim.log");
  Job.CheckLog = WorkFile("clcheck.log");
  last.SolutionFile = Job.SolutionFile;
  last.LogCopy = Job.LogCopy;
  last.PostSimLog = Job.PostSimLog;
  last.AccuracySummaryMade = false;
  app_.Solved = false;
  app_.ResultsOutdated = true;

  if (!WriteSolveFiles()) {
    return;
  }
  ErrorText errorText;
  if (!StartConsoleJob(
          Interpreter, ScriptArguments(Dialect, WorkFile("solve.bat"), true), app_.WorkDir,
          {"solve1 (solve.bat running " + ExtractFileName(model.SolverProgram) + ")", {model.OutputDir}},
          Job.Process, errorText)) {
    ui_.Message(MessageKind::Error, "Could not launch solution process !");
    return;
  }
  ShowWaitDialog("Calculating Solution");
  Job.StartedJob = kSolveJob;
  SetTimer(true);
}

void JobRunner::LaunchFollowUp(const std::string& program, const std::string& input,
                               const std::string& text) {
  Wait.text = text;
  if (Wait.shown) {
    ui_.UpdateWaitDialog(Wait.text, Wait.image);
  }
  ErrorText errorText;
  if (program.empty() || !IsFile(program)) {
    Problem("Program needed for " + Job.JobName + " job is missing !");
  } else if (!StartConsoleJob(program, {"-sti", input, "-los", ChangeFileExt(input, ".log")}, app_.WorkDir,
                              {Job.JobName + " (" + ExtractFileName(program) + ")", {model_.Model.OutputDir}},
                              Job.Process, errorText)) {
    Problem("Could not launch windows " + Job.JobName + " job !");
  } else {
    Job.StartedJob = kSolveJob;
    SetTimer(true);
    return;
  }
  Job.StartedJob = kNoJob;
  CloseWaitDialog();
}

void JobRunner::StartClosureCheck() {
  if (RefusedWhileAJobRuns()) {
    return;
  }
  // The verdict is read from the flag and the report: those of an earlier check must not speak for this one.
  for (const char* stale : {"clcheck.flg", "clcheck.rpt"}) {
    std::error_code ec;
    fs::remove(WorkFile(stale), ec);
  }
  ErrorText errorText;
  if (!simulation_.CheckClosureCMF(errorText)) {
    Problem("Could not create the closure-check files\r\n" + errorText);
    return;
  }
  Job.CheckLog = WorkFile("clcheck.log");
  if (!StartConsoleJob(
          Interpreter, ScriptArguments(Dialect, WorkFile("clcheck.bat"), false), app_.WorkDir,
          {"closure check (clcheck.bat running " + ExtractFileName(model_.Model.SolverProgram) + ")", {}},
          Job.Process, errorText)) {
    ui_.Message(MessageKind::Error, "Could not launch closure-checking process !");
    return;
  }
  ShowWaitDialog("Checking closure");
  SetTimer(true);
  Job.StartedJob = kClosureJob;
}

// Watching jobs.

void JobRunner::DosJobTimerTimer() {
  ui_.ProcessEvents();
  Job.TotalSeconds += TimerInterval / 1000.0;
  abandoned_.Reap();
  if (!Running()) {
    SetTimer(false);
    return;
  }
  Wait.image = Wait.image % kWaitImages + 1;
  if (Job.StartedJob == kSolveJob && Job.JobName == "solve1" && Job.PostSimRequested &&
      IsFile(Job.PostSimLog)) {
    Wait.text = "Producing outputs relating to post-simulation data";
  }
  if (Wait.shown) {
    ui_.UpdateWaitDialog(Wait.text, Wait.image);
  }
  if (!Job.KillRequested && !ProcessFinished(Job.Process)) {
    return;
  }
  SetTimer(false);
  if (!Job.KillRequested) {
    std::error_code ec; // the job has ended: its note no longer names a running job
    fs::remove(WorkFile(std::string(kRunningJobNote)), ec);
  }
  if (Job.KillRequested) {
    EndAfterCancel();
  } else if (Job.StartedJob == kSolveJob) {
    EndOfSolveJob();
  } else if (Job.StartedJob == kClosureJob) {
    EndOfClosureCheck();
  } else {
    ui_.Message(MessageKind::Error, "Problem with StartedJob value");
    CloseWaitDialog();
    ui_.Message(MessageKind::Error, "Error: " + app_.ErrorText);
  }
  // A job that follow-up launched is watched now; otherwise nothing is.
  if (!Job.Process) {
    Job.StartedJob = kNoJob;
  }
}

void JobRunner::EndAfterCancel() {
  abandoned_.Add(std::move(Job.Process));
  Job.StartedJob = kNoJob;
  Job.KillRequested = false;
  CloseWaitDialog();
  ui_.Message(MessageKind::Information, "Solve job aborted via Cancel button");
  ui_.Message(
      MessageKind::Information,
      "However the DOS batch job is still running.\r\nYou may be able to kill it by clicking on this job "
      "in the TaskBar and then hitting Control-C.");
}

bool JobRunner::CheckJob(const std::string& stage, const std::string& log, const std::string& expected,
                         bool& flagSeen) {
  flagSeen = false;
  if (!IsFile(log)) {
    CloseWaitDialog();
    ui_.Message(MessageKind::Error, stage + " failed to run");
    return false;
  }
  if (IsFile(ChangeFileExt(log, ".flg"))) {
    CloseWaitDialog();
    ui_.Message(MessageKind::Error, "Error at " + stage + " stage - see log window");
    ShowLogIn(Job.StartedJob == kClosureJob ? LogPage::Closure : LogPage::Solve, log);
    flagSeen = true;
    return false;
  }
  if (!expected.empty() && !IsFile(expected)) {
    CloseWaitDialog();
    ui_.Message(MessageKind::Error, stage + " did not produce output file:\r\n" + expected);
    return false;
  }
  return true;
}

void JobRunner::ShowLogIn(LogPage page, const std::string& log) {
  ErrorLogMemo = LogMemo{};
  ErrorLogFile = log;
  ErrorText ignored; // a log that cannot be read shows an empty memo
  GetLog(log, ErrorLogMemo, ignored);
  if (page == LogPage::Closure) {
    ClosurePage& closure = simulation_.Closure;
    closure.ErrorLog = ErrorLogMemo.lines;
    closure.ErrorLogSelStart = ErrorLogMemo.selStart;
    closure.ErrorLogSelLength = ErrorLogMemo.selLength;
    closure.ErrorLogVisible = true;
  } else {
    SolvePage& solve = simulation_.Solve;
    solve.ErrorLog = ErrorLogMemo.lines;
    solve.ErrorLogSelStart = ErrorLogMemo.selStart;
    solve.ErrorLogSelLength = ErrorLogMemo.selLength;
    solve.ErrorLogVisible = true;
  }
}

void JobRunner::EndOfClosureCheck() {
  CloseWaitDialog();
  const std::string report = WorkFile("clcheck.rpt");
  WarnIfNoReport(report, SolverName(), ui_);
  model_.Model.ModelGpVer = ReportSuiteVersion(report);
  if (simulation_.Closure.ClosureCheckEnded()) {
    RefreshExogenousVariables();
    return;
  }
  bool flagSeen = false;
  CheckJob("Closure Check", Job.CheckLog, WorkFile("clcheck.cli"), flagSeen);
}

void JobRunner::EndOfSolveJob() {
  if (Job.JobName == "solve1") {
    EndOfSolve1();
  } else if (Job.JobName == "praxol1") {
    if (FollowUpOk("praxol", "Error running PRAXOL to convert Solution file to Header Array file - see log "
                             "window.")) {
      Job.JobName = "mirda1";
      LaunchJob();
    }
  } else if (Job.JobName == "mirda1") {
    if (FollowUpOk("mirdashk", "Error running MIRDA to prepare for possible SSA jobs - see log window.\r\n"
                               "However, simulation results generated Ok. You can view them.")) {
      Job.JobName = "praxol2";
      LaunchJob();
    } else {
      Job.SsaPreparationFailed = true;
      ShowSolveResults();
    }
  } else if (Job.JobName == "praxol2") {
    if (FollowUpOk("praxolsh", "Error running PRAXOL to prepare for possible SSA jobs - see log window.\r\n"
                               "However, simulation results generated Ok. You can view them.")) {
      CloseWaitDialog();
    } else {
      Job.SsaPreparationFailed = true;
    }
    ShowSolveResults();
  } else {
    ui_.Message(MessageKind::Error, "Problem with StartedJob value");
    CloseWaitDialog();
    ui_.Message(MessageKind::Error, "Error: " + app_.ErrorText);
  }
}

void JobRunner::EndOfSolve1() {
  if (IsFile(Job.SolveLog)) {
    const std::string report = WorkFile("solve.rpt");
    WarnIfNoReport(report, SolverName(), ui_);
    model_.Model.ModelGpVer = ReportSuiteVersion(report);
  }
  bool solveFlag = false;
  bool postSimFlag = false;
  const bool ok = CheckJob(StageName(), Job.SolveLog, Job.SolutionFile, solveFlag) &&
                  (!Job.PostSimRequested || CheckJob("Post-simulation", Job.PostSimLog, "", postSimFlag));
  if (!ok) {
    if (solveFlag || postSimFlag) {
      simulation_.Solve.ErrorLogVisible = true;
    }
    CloseWaitDialog();
    return;
  }
  Job.JobName = "praxol1";
  LaunchJob();
}

bool JobRunner::FollowUpOk(const std::string& stem, const std::string& message) {
  if (ReportStatusOk(WorkFile(stem + ".rpt"), Pause)) {
    return true;
  }
  CloseWaitDialog();
  ShowLogIn(LogPage::Solve, WorkFile(stem + ".log"));
  ui_.Message(MessageKind::Error, message);
  return false;
}

// The results of a solve.

void JobRunner::ShowSolveResults() {
  ModelState& model = model_.Model;
  LastSolveFiles& last = model_.LastSolve;
  const SimulationContext& context = simulation_.Context;
  const SolveOptions options = context.CurrentOptions();

  // Results that cannot be read are no results: the solve's files stay for inspection, but the Results page
  // stays closed and the solution summary is not taken as model information.
  ErrorText errorText;
  if (!results_.PVLoadSol(ChangeFileExt(Job.SolutionFile, ".sol"), " ",
                          ChangeFileExt(Job.SolutionFile, ".sli"), options.getSubtotalsResults,
                          !options.ignoreLevelsResults, errorText)) {
    CloseWaitDialog();
    ui_.Message(MessageKind::Error, "Error: " + errorText);
    return;
  }
  if (context.method.solutions > 2) {
    last.AccuracySummaryMade =
        OpenAccSummaryDialog(Job.SolveLog, UpdatedFileCount(), ui_, Hooks.showAccSummary);
  }
  app_.ResultsOutdated = false;
  app_.Solved = true;
  ui_.Message(MessageKind::Information, "New Solution generated in " + OneDecimal(Job.TotalSeconds) +
                                            " seconds\r\nMoving to Results Page");
  if (Hooks.showPage) {
    Hooks.showPage(kResultsPageIndex);
  }
  if (Hooks.enableCopy) {
    Hooks.enableCopy();
  }

  app_.SolutionPresent = true;
  last.LastOutputDir = model.OutputDir;
  if (Job.PostSimRequested) {
    last.LastPostSimDir = model.OutputDir;
    last.LastPostSimName = model_.OutputPage.PostSimName;
  } else {
    last.LastPostSimDir.clear();
    last.LastPostSimName.clear();
  }
  model.OutputNamesChanged = false;
  model.DataFilesChanged = false;
  simulation_.Solve.LookAtCmfVisible = true;
  Job.XacFile = ChangeFileExt(Job.SolutionFile, ".xac");
  last.XacFile = Job.XacFile;

  model_.CreateDefaultListFiles(DefaultListFiles::Both);
  ReadSolutionInformation();
  CloseWaitDialog();
}

void JobRunner::ReadSolutionInformation() {
  const std::string summary = ChangeFileExt(Job.SolutionFile, ".sli");
  std::string current = JoinPath(app_.KeepDir, "current.svi");
  ErrorText copyError;
  // A copy that cannot be made would leave an older "current.svi" to be read: the summary itself is read
  // then.
  if (!CopyFileWithRetries(summary, current, Pause, copyError)) {
    current = summary;
  }
  model_.Model.SviFile = current;
  ErrorText errorText;
  if (!ReadModelInfo(current, errorText, modelInfo_)) {
    ProgramError(ui_, Exit, errorText);
    return;
  }
  ErrorText ignored;
  AddMinInfoToSolInfo(current, modelInfo_, ignored);
  RefreshExogenousVariables();
}

void JobRunner::RefreshExogenousVariables() {
  // The exogenous variables keep their names; their numbers follow the model information just read.
  for (auto& [name, number] : simulation_.Closure.ExoList) {
    number = FindVariable(modelInfo_, name);
  }
  simulation_.Shocks.SetUpExoVarComboBox();
  simulation_.Shocks.ShockPageInit();
}

void JobRunner::AccuracySummary1Click() {
  const std::string log = Job.SolveLog.empty() ? WorkFile("solve.log") : Job.SolveLog;
  model_.LastSolve.AccuracySummaryMade =
      OpenAccSummaryDialog(log, UpdatedFileCount(), ui_, Hooks.showAccSummary);
}

} // namespace pelorin
