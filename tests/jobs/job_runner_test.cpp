// The job runner inside the application, with stand-in suite programs run as real processes: the solve chain
// and each way it can end, Cancel, the closure check, and what the window sees on the way.

#include "../results/solution_files.h"
#include "app/application.h"
#include "modelinfo/model_info_reader.h"
#include "modelinfo/model_info_writer.h"
#include "stand_in_suite.h"
#include "support/saved_environment.h"
#include "support/scripted_ui.h"

#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <thread>

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class JobRunnerTest : public ::testing::Test {
protected:
  void SetUp() override {
    program.InstallModel("Minimal", 3, 12);
    home = program.programDir + "/Minimal";
    control = program.dir.File("control");
    test::InstallStandInSuite(program, control);
  }

  void Control(const std::string& name, const std::string& text) const {
    program.dir.Write("control/" + name, text);
  }
  std::string Calls() const { return test::ReadFileBytes(control + "/calls"); }

  // Starts the application as the window program does, up to its first tick.
  void Start() {
    ApplicationOptions options;
    options.executablePath = program.programDir + "/pelorin";
    options.exit = [this](int code) { exits.push_back(code); };
    options.changeToRoot = false;
    app = std::make_unique<Application>(ui, options);
    ASSERT_EQ(app->FormCreate(), Application::StartOutcome::Ready);
    app->DosJobTimerTimer();
    ASSERT_TRUE(ui.messages.empty()) << ui.Texts().front();
    app->Jobs.Pause = [this](int milliseconds) { pauses.push_back(milliseconds); };
    app->Jobs.Hooks.showAccSummary = [this](AccSummaryDialog& dialog) {
      accuracy = std::make_unique<AccSummaryRec>(dialog.Record());
    };
    output = app->Model.Model.OutputDir;
    work = app->App.WorkDir;
    fs::create_directories(output);
  }

  // Results as the converter leaves them, in the output folder under the solution's name.
  void WriteResults() const {
    test::SimFiles files;
    files.sets = {test::MakeSet("SET1", test::Names("e1_", 10)),
                  test::MakeSet("SET2", test::Names("e2_", 10))};
    files.vars = {{"v1", {1}, 'p', "Variable number 1", {{1, 10}}},
                  {"v2", {2}, 'c', "Variable number 2", {}},
                  {"v3", {1, 2}, 'p', "Variable number 3", {}},
                  {"gdp", {}, 'p', "Real GDP", {}}};
    files.levelsAvailable = true;
    files.subtotalsAvailable = 1;
    files.subtotalDescriptions = {"shock to v1"};
    files.Write(output, "sim1");
  }

  // Ticks the timer while it runs (each tick counts 0.6 seconds); returns the number of ticks.
  int Run() {
    int ticks = 0;
    while (app->Window.timerEnabled && ticks < 2000) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      app->DosJobTimerTimer();
      ++ticks;
    }
    EXPECT_FALSE(app->Window.timerEnabled) << "the job never ended";
    return ticks;
  }
  int Solve() {
    app->Simulation.Solve.SolveButtonClick();
    return Run();
  }

  test::SavedEnvironment environment;
  test::InstalledProgram program;
  std::string home;
  std::string control;
  std::string output;
  std::string work;
  test::ScriptedUserInterface ui;
  std::unique_ptr<Application> app;
  std::vector<int> exits;
  std::vector<int> pauses;
  std::unique_ptr<AccSummaryRec> accuracy;
};

TEST_F(JobRunnerTest, ASolveRunsTheWholeChainAndMovesToTheResults) {
  ASSERT_NO_FATAL_FAILURE(Start());
  WriteResults();
  fs::remove(home + "/Minimal.cls"); // made again from the closure after the solve
  const int ticks = Solve();

  // Four jobs, each polled until it ended, with the answer files of the work folder.
  EXPECT_EQ(Calls(), "solver -sti " + work + "/solve.sti -lon " + work + "/solve.log\n" +
                         "praxola.exe -sti " + work + "/praxol.inp -los " + work + "/praxol.log\n" +
                         "mirdaa.exe -sti " + work + "/mirdashk.inp -los " + work + "/mirdashk.log\n" +
                         "praxola.exe -sti " + work + "/praxolsh.inp -los " + work + "/praxolsh.log\n");
  EXPECT_EQ(ui.wait.caption, "Please Wait - KALVIMO at work");
  EXPECT_THAT(ui.wait.texts, ElementsAre("Calculating Solution",
                                         "Running PRAXOL to convert Solution file to Header Array file",
                                         "Running MIRDA to prepare for possible SSA job",
                                         "Running PRAXOL to prepare for possible SSA job"));
  EXPECT_EQ(ui.wait.opened, 1);
  EXPECT_EQ(ui.wait.closed, 1);
  EXPECT_FALSE(app->App.WaitDialogShown);

  // The messages: the default closure file made again, then the solve's time counted in ticks.
  char seconds[16];
  std::snprintf(seconds, sizeof seconds, "%.1f", ticks * 0.6);
  EXPECT_THAT(ui.Texts(), ElementsAre("New Solution generated in " + std::string(seconds) +
                                          " seconds\r\nMoving to Results Page",
                                      "Created default Model Closure file " + home + "/Minimal.cls"));
  EXPECT_TRUE(exits.empty());

  // The application after a solve.
  EXPECT_TRUE(app->App.Solved);
  EXPECT_FALSE(app->App.ResultsOutdated);
  EXPECT_TRUE(app->App.SolutionPresent);
  EXPECT_TRUE(app->Window.enabled);
  EXPECT_EQ(app->Window.currentPage, kResultsPage);
  EXPECT_TRUE(app->Menu.Copy.enabled);
  EXPECT_TRUE(app->Simulation.Solve.LookAtCmfVisible);
  EXPECT_FALSE(app->Simulation.Solve.ErrorLogVisible);
  EXPECT_EQ(app->Model.Model.ModelGpVer, 12);
  const LastSolveFiles& last = app->Model.LastSolve;
  EXPECT_EQ(last.SolutionFile, output + "/sim1.sl4");
  EXPECT_EQ(last.CmfFile, output + "/sim1.cmf");
  EXPECT_EQ(last.LogCopy, output + "/sim1.log");
  EXPECT_EQ(last.XacFile, output + "/sim1.xac");
  EXPECT_EQ(last.LastOutputDir, output);
  EXPECT_TRUE(last.LastPostSimName.empty());
  EXPECT_TRUE(fs::exists(last.CmfFile));
  EXPECT_EQ(test::ReadFileBytes(last.LogCopy), test::ReadFileBytes(work + "/solve.log"));

  // The results: cumulative, three levels solutions and the subtotal; the contents on the page.
  ASSERT_EQ(app->ResultsData.Nsol(), 5);
  EXPECT_EQ(app->Results.State().view, ResultsView::Contents);
  EXPECT_EQ(app->Results.ContentsTable().nrow, 4); // the macros, v1, v2, v3 (a matrix)
  // Three solutions in the method: the accuracy summary was read from the solver's log.
  ASSERT_NE(accuracy, nullptr);
  EXPECT_EQ(accuracy->numSubintervals, 2);
  EXPECT_EQ(accuracy->sub[2].levels.counts[6], 12);
  EXPECT_TRUE(last.AccuracySummaryMade);
  // "Accu&racy Summary" shows it again while the log is there.
  accuracy.reset();
  app->Jobs.AccuracySummary1Click();
  EXPECT_NE(accuracy, nullptr);
  fs::remove(work + "/solve.log");
  app->Jobs.AccuracySummary1Click();
  EXPECT_THAT(ui.messages.back().text,
              ::testing::StartsWith("Could not make accuracy summary:\r\nNo log file"));
  EXPECT_FALSE(last.AccuracySummaryMade);

  // The solution's summary is the model information now.
  EXPECT_EQ(app->Model.Model.SviFile, home + "/current.svi");
  EXPECT_EQ(test::ReadFileBytes(home + "/current.svi"), test::ReadFileBytes(output + "/sim1.sli"));
  EXPECT_EQ(app->ModelInfo.NVar, 4);
  EXPECT_EQ(app->Simulation.Closure.ExoList.at("v1"), FindVariable(app->ModelInfo, "v1"));
  EXPECT_TRUE(pauses.empty());
}

TEST_F(JobRunnerTest, SolverFailuresEndTheChainBeforeAnyConversion) {
  ASSERT_NO_FATAL_FAILURE(Start());
  WriteResults();

  // An error exit: the flag file is seen and the log is shown with the line worth reading selected.
  Control("solver", "fail");
  Solve();
  EXPECT_THAT(ui.Texts(), ElementsAre("Error at Minimal stage - see log window"));
  EXPECT_TRUE(app->Simulation.Solve.ErrorLogVisible);
  EXPECT_THAT(app->Simulation.Solve.ErrorLog, ::testing::Contains(" %% Error: the matrix is singular"));
  EXPECT_GT(app->Jobs.ErrorLogMemo.selLength, 0);
  EXPECT_EQ(app->Simulation.Solve.ErrorLogSelStart, app->Jobs.ErrorLogMemo.selStart);
  EXPECT_EQ(app->Simulation.Solve.ErrorLogSelLength, app->Jobs.ErrorLogMemo.selLength);
  EXPECT_THAT(Calls(), ::testing::Not(HasSubstr("praxola")));
  EXPECT_FALSE(app->App.Solved);
  EXPECT_TRUE(app->App.ResultsOutdated);
  EXPECT_FALSE(ui.wait.open);
  EXPECT_TRUE(app->Window.enabled);
  EXPECT_FALSE(app->Jobs.Running());

  // Exit code 0 without a solution file: the script flags it.
  ui.messages.clear();
  Control("solver", "nosolution");
  Solve();
  EXPECT_THAT(ui.Texts(), ElementsAre("Error at Minimal stage - see log window"));
  EXPECT_THAT(app->Simulation.Solve.ErrorLog,
              ::testing::Contains("*** But Solution file was not created ***"));

  // No report: a warning first, then the chain goes on.
  ui.messages.clear();
  Control("solver", "noreport");
  Solve();
  ASSERT_GE(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text,
            "The program " + home +
                "/Minimal.exe\r\n you are using to solve the model did not produce a Report "
                "file.\r\nMaybe the program is not a stand-alone EXE.\r\n[Alternatively, "
                "perhaps the program did not run,\r\n or is from Release 5.1 or earlier of "
                "KALVIMO.]");
  EXPECT_THAT(ui.messages[1].text, HasSubstr("New Solution generated in "));
  EXPECT_EQ(app->Model.Model.ModelGpVer, 0);
}

TEST_F(JobRunnerTest, AJobThatCannotRunOrStartIsReported) {
  ASSERT_NO_FATAL_FAILURE(Start());
  WriteResults();
  // An interpreter that runs nothing: no log appears.
  app->Jobs.Interpreter = "/bin/true";
  Solve();
  EXPECT_THAT(ui.Texts(), ElementsAre("Minimal failed to run"));
  EXPECT_FALSE(app->Simulation.Solve.ErrorLogVisible);

  // An interpreter that cannot be started: nothing is watched.
  ui.messages.clear();
  app->Jobs.Interpreter = program.programDir + "/no-shell";
  app->Simulation.Solve.SolveButtonClick();
  EXPECT_THAT(ui.Texts(), ElementsAre("Could not launch solution process !"));
  EXPECT_FALSE(app->Window.timerEnabled);
  EXPECT_FALSE(app->Jobs.Running());
  EXPECT_EQ(ui.wait.opened, 1); // only the first solve's

  // The sensitivity preparation missing once the solver and the converter have run.
  ui.messages.clear();
  app->Jobs.Interpreter = "/bin/sh";
  fs::remove(program.programDir + "/mirdaa.exe");
  Solve();
  EXPECT_THAT(ui.Texts(), ElementsAre("Problem:\r\nProgram needed for mirda1 job is missing !"));
  EXPECT_FALSE(ui.wait.open);
  EXPECT_FALSE(app->App.Solved);
}

// A solve empties the work folder first: one swapped for a link since start-up stops the solve instead.
TEST_F(JobRunnerTest, AWorkFolderSwappedForALinkIsNotEmptiedAndStopsTheSolve) {
  ASSERT_NO_FATAL_FAILURE(Start());
  fs::create_directories(program.dir.File("precious"));
  program.dir.Write("precious/thesis.tex", "t");
  fs::remove_all(work);
  fs::create_directory_symlink(program.dir.File("precious"), work);
  app->Simulation.Solve.SolveButtonClick();
  EXPECT_THAT(ui.Texts(), ElementsAre("Problem:\r\nWork folder is a symbolic link: " + work));
  EXPECT_TRUE(fs::exists(program.dir.File("precious/thesis.tex")));
  EXPECT_FALSE(app->Window.timerEnabled);
  EXPECT_EQ(Calls(), "");
}

TEST_F(JobRunnerTest, ConverterFailuresAtTheFirstStepGiveNoResultsLaterOnesStillShowThem) {
  ASSERT_NO_FATAL_FAILURE(Start());
  WriteResults();
  Control("praxol", "fail");
  Solve();
  EXPECT_THAT(ui.Texts(), ElementsAre("Error running PRAXOL to convert Solution file to Header Array file - "
                                      "see log window."));
  EXPECT_THAT(app->Simulation.Solve.ErrorLog, ElementsAre("praxol log", " Error: cannot read the solution"));
  EXPECT_TRUE(app->Simulation.Solve.ErrorLogVisible);
  EXPECT_THAT(Calls(), ::testing::Not(HasSubstr("mirdaa")));
  EXPECT_FALSE(app->App.Solved);
  EXPECT_EQ(app->ResultsData.Nsol(), 0);

  ui.messages.clear();
  fs::remove(control + "/praxol");
  fs::remove(control + "/calls");
  Control("mirdashk", "fail");
  Solve();
  ASSERT_GE(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Error running MIRDA to prepare for possible SSA jobs - see log window.\r\n"
                                 "However, simulation results generated Ok. You can view them.");
  EXPECT_THAT(ui.messages[1].text, HasSubstr("New Solution generated in "));
  EXPECT_THAT(Calls(), ::testing::Not(HasSubstr("praxolsh")));
  EXPECT_TRUE(app->App.Solved);
  EXPECT_EQ(app->ResultsData.Nsol(), 5);
  EXPECT_TRUE(app->Jobs.Job.SsaPreparationFailed);

  ui.messages.clear();
  fs::remove(control + "/mirdashk");
  Control("praxolsh", "fail");
  Solve();
  ASSERT_GE(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Error running PRAXOL to prepare for possible SSA jobs - see log window.\r\n"
                                 "However, simulation results generated Ok. You can view them.");
  EXPECT_THAT(ui.messages[1].text, HasSubstr("New Solution generated in "));
  EXPECT_TRUE(app->App.Solved);
  EXPECT_THAT(app->Simulation.Solve.ErrorLog,
              ElementsAre("praxolsh log", " Error: cannot read the solution"));
  EXPECT_TRUE(app->Jobs.Job.SsaPreparationFailed);

  // A solve whose every step succeeds clears the mark.
  fs::remove(control + "/praxolsh");
  Solve();
  EXPECT_TRUE(app->App.Solved);
  EXPECT_FALSE(app->Jobs.Job.SsaPreparationFailed);
}

TEST_F(JobRunnerTest, ResultsThatCannotBeReadAreNoResults) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const SolInfoRec before = app->ModelInfo;
  Solve(); // the converter "succeeds" but leaves no files
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_THAT(ui.messages[0].text, ::testing::StartsWith("Error: "));
  EXPECT_THAT(ui.messages[0].text, HasSubstr("[PVLoadSol]"));
  EXPECT_FALSE(app->App.Solved);
  EXPECT_FALSE(app->App.SolutionPresent);
  EXPECT_TRUE(app->Model.Model.SviFile.empty());
  EXPECT_EQ(app->ModelInfo.NVar, before.NVar);
  EXPECT_TRUE(exits.empty());
  EXPECT_TRUE(app->Window.enabled);
}

TEST_F(JobRunnerTest, CancelLeavesTheJobRunningAndUnwatched) {
  ASSERT_NO_FATAL_FAILURE(Start());
  WriteResults();
  Control("hold", "");
  app->Simulation.Solve.SolveButtonClick();
  ASSERT_TRUE(app->Window.timerEnabled);
  EXPECT_FALSE(app->Window.enabled);
  for (int i = 0; i < 3; ++i) {
    app->DosJobTimerTimer();
  }
  app->Jobs.HideButtonClick();
  EXPECT_EQ(ui.minimized, 1);

  // "No" changes nothing.
  ui.answers.push_back(MessageAnswer::No);
  app->Jobs.CancelButtonClick();
  app->DosJobTimerTimer();
  EXPECT_TRUE(app->Jobs.Running());
  EXPECT_TRUE(ui.wait.open);
  EXPECT_THAT(ui.wait.images, ElementsAre(2, 3, 4, 1)); // one image per tick, round and round

  app->Jobs.CancelButtonClick();
  EXPECT_TRUE(app->Jobs.Running()); // given up at the next tick
  app->DosJobTimerTimer();
  EXPECT_THAT(ui.Texts(),
              ElementsAre("Do you really want to kill this job?", "Do you really want to kill this job?",
                          "Solve job aborted via Cancel button",
                          "However the DOS batch job is still running.\r\nYou may be able to kill it "
                          "by clicking on this job in the TaskBar and then hitting Control-C."));
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_FALSE(app->Jobs.Running());
  EXPECT_FALSE(app->Window.timerEnabled);
  EXPECT_TRUE(app->Window.enabled);
  EXPECT_FALSE(ui.wait.open);
  EXPECT_GE(ui.restored, 1);
  EXPECT_FALSE(app->App.Solved);

  // The job still runs; once it ends it is reaped, never judged.
  ASSERT_EQ(app->Jobs.Abandoned().Count(), 1u);
  Control("release", "");
  for (int i = 0; i < 500 && app->Jobs.Abandoned().Count() > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    app->Jobs.DosJobTimerTimer();
  }
  EXPECT_EQ(app->Jobs.Abandoned().Count(), 0u);
  EXPECT_EQ(ui.messages.size(), 4u);
  EXPECT_FALSE(fs::exists(output + "/sim1.log") && app->App.Solved);
}

TEST_F(JobRunnerTest, AJobGivenUpThatStillRunsRefusesTheNextSolveAndClosureCheck) {
  ASSERT_NO_FATAL_FAILURE(Start());
  WriteResults();
  Control("hold", "");
  app->Simulation.Solve.SolveButtonClick();
  app->Jobs.CancelButtonClick();
  app->DosJobTimerTimer();
  ASSERT_FALSE(app->Jobs.Running());
  ui.messages.clear();
  const std::string calls = Calls();
  const std::string note = test::ReadFileBytes(work + "/running.job");
  ASSERT_THAT(note, ::testing::StartsWith("solve1 (solve.bat running Minimal.exe), process "));
  const std::string refusal =
      "Another job is still running and writing into the folder\r\n" + work +
      "\r\nJob: " + note.substr(0, note.size() - 1) +
      "\r\nA job given up with Cancel goes on to its end and writes its files there, which would spoil a new "
      "job.\r\nPlease wait until it has ended, then try again.";

  // Neither starts, and the files of the job still running are left alone.
  app->Simulation.Solve.SolveButtonClick();
  app->Simulation.Closure.CheckClosureButtonClick();
  EXPECT_THAT(ui.Texts(), ElementsAre(refusal, refusal));
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
  EXPECT_FALSE(app->Window.timerEnabled);
  EXPECT_FALSE(ui.wait.open);
  EXPECT_TRUE(fs::exists(work + "/solve.bat"));
  EXPECT_FALSE(fs::exists(work + "/clcheck.bat"));
  EXPECT_EQ(Calls(), calls);

  // Once it has ended, the next solve runs.
  Control("release", "");
  for (int i = 0; i < 500 && RunningJobIn(work); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ui.messages.clear();
  Solve();
  EXPECT_THAT(ui.Texts(), ElementsAre(::testing::StartsWith("New Solution generated in ")));
}

TEST_F(JobRunnerTest, AClosureCheckIsJudgedByItsOwnFlagAndReportOnly) {
  ASSERT_NO_FATAL_FAILURE(Start());
  // An earlier check's error flag: a check that leaves no closure information and no flag says so.
  program.dir.Write(fs::relative(work + "/clcheck.flg", program.dir.Path()).string(), "error\n");
  Control("check", "nocli");
  app->Simulation.Closure.CheckClosureButtonClick();
  Run();
  EXPECT_THAT(ui.Texts(),
              ElementsAre("Closure is not valid",
                          "Closure Check did not produce output file:\r\n" + work + "/clcheck.cli"));
  EXPECT_FALSE(app->Simulation.Closure.ErrorLogVisible);

  // An earlier check's report: a check that writes none is warned about, and its version is not taken.
  ui.messages.clear();
  program.dir.Write(fs::relative(work + "/clcheck.rpt", program.dir.Path()).string(),
                    "[Result]\nStatus=ok\nGPVer Large=99\n");
  Control("check", "noreport");
  app->Simulation.Closure.CheckClosureButtonClick();
  Run();
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_THAT(ui.messages[0].text, HasSubstr("did not produce a Report file"));
  EXPECT_EQ(app->Model.Model.ModelGpVer, 0);
}

TEST_F(JobRunnerTest, ModelsWithOutputsRunThePostSimulationAfterEachSolve) {
  SolInfoRec info;
  ErrorText error;
  ASSERT_TRUE(ReadModelInfo(home + "/Minimal.min", error, info)) << error;
  ModelInfoDescription description = DescribeSolInfo(info);
  // The installed model's three inputs, and an output file.
  description.hasFileSection = true;
  description.files.clear();
  for (int i = 0; i < 3; ++i) {
    const std::string n = std::to_string(i);
    description.files.push_back({"DATA" + n, "in", i == 0, "har", "", "Data file data" + n + ".har"});
  }
  description.files.push_back({"SUMMARY", "out", false, "har", "", "Summary of results"});
  ASSERT_TRUE(WriteModelInfo(home + "/Minimal.min", description, error)) << error;
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(app->Model.PostSimRequested());
  WriteResults();

  // While the post-simulation runs the wait dialog says so.
  Control("holdpost", "");
  app->Simulation.Solve.SolveButtonClick();
  for (int i = 0; i < 1000 && ui.wait.text == "Calculating Solution"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    app->DosJobTimerTimer();
  }
  EXPECT_EQ(ui.wait.text, "Producing outputs relating to post-simulation data");
  Control("release", "");
  Run();
  EXPECT_THAT(Calls(), HasSubstr("solver -sti " + work + "/postsim.sti -lon " + work + "/postsim.log\n"));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_THAT(ui.messages[0].text, HasSubstr("New Solution generated in "));
  const std::string name = app->Model.OutputPage.PostSimName;
  EXPECT_TRUE(fs::exists(output + "/" + name + ".cmf"));
  EXPECT_EQ(app->Model.LastSolve.LastPostSimName, name);
  EXPECT_EQ(app->Model.LastSolve.LastPostSimDir, output);
  EXPECT_EQ(app->Model.LastSolve.PostSimDisplayFile, output + "/" + name + ".dis");

  // A failing post-simulation ends the chain before any conversion.
  ui.messages.clear();
  fs::remove(control + "/calls");
  Control("postsim", "fail");
  Solve();
  EXPECT_THAT(ui.Texts(), ElementsAre("Error at Post-simulation stage - see log window"));
  EXPECT_TRUE(app->Simulation.Solve.ErrorLogVisible);
  EXPECT_THAT(Calls(), ::testing::Not(HasSubstr("praxola")));
  EXPECT_FALSE(app->App.Solved);
}

TEST_F(JobRunnerTest, ClosureCheckMakesItsInformationCurrentOrShowsWhyNot) {
  ASSERT_NO_FATAL_FAILURE(Start());
  // The information the solver reports: the model's own with the elements of SET2 (v1's first set) renamed.
  SolInfoRec info;
  ErrorText error;
  ASSERT_TRUE(ReadModelInfo(home + "/Minimal.min", error, info)) << error;
  ModelInfoDescription description = DescribeSolInfo(info);
  description.sets[1].elements = test::Names("region", 10);
  std::string text;
  ASSERT_TRUE(ModelInfoText(description, text, error)) << error;
  Control("cli", text);

  app->Simulation.Closure.CheckClosureButtonClick();
  EXPECT_EQ(ui.wait.text, "Checking closure");
  Run();
  EXPECT_THAT(ui.Texts(), ElementsAre("Closure is fine"));
  EXPECT_EQ(Calls(), "solver -sti " + work + "/clcheck.sti -lon " + work + "/clcheck.log\n");
  EXPECT_EQ(app->Model.Model.SviFile, home + "/current.svi");
  EXPECT_EQ(app->Model.Model.ModelGpVer, 12);
  // The Shocks page offers the elements the check reported.
  ShocksPage& shocks = app->Simulation.Shocks;
  ASSERT_EQ(shocks.VarChoices.size(), 3u); // None Selected, v1, v2
  EXPECT_EQ(shocks.VarChoices[1].text, "v1");
  shocks.ExoVarComboBoxChange(1);
  EXPECT_THAT(shocks.Dims[0].entries, ::testing::Contains(::testing::Field(&ChoiceEntry::text, "region1")));
  EXPECT_FALSE(app->Window.timerEnabled);

  // No closure information and no flag: the solver said nothing useful.
  ui.messages.clear();
  Control("check", "nocli");
  app->Simulation.Closure.CheckClosureButtonClick();
  Run();
  EXPECT_THAT(ui.Texts(),
              ElementsAre("Closure is not valid",
                          "Closure Check did not produce output file:\r\n" + work + "/clcheck.cli"));
  // An error exit: the closure page shows the log.
  ui.messages.clear();
  Control("check", "fail");
  app->Simulation.Closure.CheckClosureButtonClick();
  Run();
  EXPECT_THAT(ui.Texts(),
              ElementsAre("Closure is not valid", "Error at Closure Check stage - see log window"));
  EXPECT_TRUE(app->Simulation.Closure.ErrorLogVisible);
  EXPECT_THAT(app->Simulation.Closure.ErrorLog, ::testing::Contains(" %% Error: the matrix is singular"));
  EXPECT_GT(app->Simulation.Closure.ErrorLogSelLength, 0);
  EXPECT_FALSE(app->Simulation.Solve.ErrorLogVisible);
}

} // namespace
} // namespace pelorin
