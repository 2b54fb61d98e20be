#pragma once

// The job runner: writes the files of a solve or closure check, starts the job, polls it on each tick of the
// main window's timer, judges it by the files it leaves, chains the jobs of a solve, and hands the solution
// to the Results page. Nothing here blocks on a child process, and no child is ever killed: a Cancel leaves
// the job running, unwatched.

#include "jobs/console_job.h"
#include "jobs/job_reports.h"
#include "jobs/job_state.h"
#include "results/acc_summary_dialog.h"
#include "results/log_tail.h"
#include "shell/fatal.h"
#include "simspec/job_inputs.h"

#include <functional>
#include <string>

namespace pelorin {

struct AppState;
class ModelSetUp;
class ResultsPage;
class SimulationPages;
struct SolInfoRec;
class UserInterface;

/// The wait dialog's caption and the number of images of its animation.
inline constexpr std::string_view kWaitCaption = "Please Wait - KALVIMO at work";
inline constexpr int kWaitImages = 4;

/// The wait dialog as the window layer shows it.
struct WaitDialogState {
  bool shown = false;
  std::string text;
  int image = 1; ///< 1..4, advanced one per tick
};

/// What the job runner asks of the main window. The application object sets them; an unset hook is skipped.
struct JobHooks {
  /// Starts (true) or stops the 600 ms timer whose ticks call DosJobTimerTimer.
  std::function<void(bool enabled)> setTimer;
  /// Enables (true) or disables the main window.
  std::function<void(bool enabled)> enableMainWindow;
  /// Shows a page of the main window (the Results page after a solve).
  std::function<void(int page)> showPage;
  /// Enables the main menu's "&Copy".
  std::function<void()> enableCopy;
  /// Shows the accuracy summary dialog (modally) over the main window.
  ShowAccSummary showAccSummary;
};

/// Where the results of a solve are shown: the Results page.
inline constexpr int kResultsPageIndex = 8;

/// The message that refuses a new solve or closure check while `job` (RunningJobIn) still runs and writes
/// into `folder` (the work or the output folder).
std::string RunningJobMessage(const std::string& folder, const std::string& job);

/// The job runner. One lives in the application object.
class JobRunner {
public:
  JobRunner(AppState& app, ModelSetUp& model, SimulationPages& simulation, SolInfoRec& modelInfo,
            ResultsPage& results, UserInterface& ui);
  JobRunner(const JobRunner&) = delete;
  JobRunner& operator=(const JobRunner&) = delete;

  JobState Job;
  WaitDialogState Wait;
  /// The command interpreter that runs job scripts (fixed when the program starts).
  std::string Interpreter = "/bin/sh";
  /// The dialect of the job scripts.
  ScriptDialect Dialect = kNativeDialect;
  JobHooks Hooks;
  /// The timer's interval in milliseconds: each tick counts that much time (a run without a window may tick
  /// faster than the main window's 600 ms).
  int TimerInterval = kJobTimerInterval;
  /// How the retries of reading reports and copying the solution summary wait.
  RetryPause Pause = SleepingPause();
  /// How a fatal error ends the program.
  ExitHook Exit = ProcessExit();
  /// The last log shown in a page's error log, with the line worth reading selected, and its file.
  LogMemo ErrorLogMemo;
  std::string ErrorLogFile;

  /// True while a job is watched.
  bool Running() const { return Job.StartedJob != kNoJob; }

  /// "Solve", after the Solve page's checks: the clock starts, the error log is hidden and job "solve1"
  /// starts. Refused, with a message naming it, while a job given up earlier still writes into the work or
  /// the output folder.
  void StartSolve();
  /// Starts the solve job named by Job.JobName.
  void LaunchJob();
  /// The closure check, after the Closure page's checks; refused like StartSolve. The flag and report of an
  /// earlier check are removed first.
  void StartClosureCheck();
  /// The tick of the 600 ms timer while a job is watched.
  void DosJobTimerTimer();
  /// Judges a finished job by its log, its flag file (log with ".flg") and its expected output (none when
  /// empty). False after a message; `flagSeen` tells that the flag file was there.
  bool CheckJob(const std::string& stage, const std::string& log, const std::string& expected,
                bool& flagSeen);

  /// Opens the wait dialog: main window disabled, pending events handled, Cancel not yet asked for.
  void ShowWaitDialog(const std::string& text);
  /// Closes the wait dialog and gives the main window back.
  void CloseWaitDialog();
  /// The wait dialog's "&Hide": the whole application is minimised.
  void HideButtonClick();
  /// The wait dialog's "&Cancel": asks, and on Yes the job is given up at the next tick.
  void CancelButtonClick();

  /// "Accu&racy Summary": the accuracy summary of the last solve's log.
  void AccuracySummary1Click();

  /// Processes given up by a Cancel that still run.
  const AbandonedJobs& Abandoned() const { return abandoned_; }

  /// While a job given up earlier (by this or another run of the program) still writes into the work or the
  /// output folder: shows the message naming it and answers true.
  bool RefusedWhileAJobRuns();

private:
  void LaunchSolve();
  void LaunchFollowUp(const std::string& program, const std::string& input, const std::string& text);
  bool WriteSolveFiles();
  void EndAfterCancel();
  void EndOfClosureCheck();
  void EndOfSolveJob();
  void EndOfSolve1();
  bool FollowUpOk(const std::string& stem, const std::string& message);
  void ShowSolveResults();
  void ReadSolutionInformation();
  void RefreshExogenousVariables();
  enum class LogPage { Closure, Solve };
  /// Shows the tail of `log` in the error log of the Closure or the Solve page, its line worth reading
  /// selected.
  void ShowLogIn(LogPage page, const std::string& log);
  void SetTimer(bool enabled);
  void Problem(const std::string& text);
  std::string StageName() const;
  std::string SolverName() const;
  std::string WorkFile(const std::string& name) const;
  int UpdatedFileCount() const;

  AppState& app_;
  ModelSetUp& model_;
  SimulationPages& simulation_;
  SolInfoRec& modelInfo_;
  ResultsPage& results_;
  UserInterface& ui_;
  AbandonedJobs abandoned_;
};

} // namespace pelorin
