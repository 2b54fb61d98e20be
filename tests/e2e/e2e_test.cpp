// Simulations from end to end: the program folder as the build installs it, the application core with a
// scripted person, and the suite's real programs run as the job runner runs them; then pelorin-solve on the
// same folder.

#include "app/application.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "shell/settings.h"
#include "simspec/subtotal_dialog.h"
#include "support/saved_environment.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

// Runs a program to its end as the job runner polls it; returns its exit code.
int RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& folder) {
  ChildProcess process;
  ProcessOptions options;
  options.folder = folder;
  ErrorText error;
  if (!process.Start(program, arguments, options, error)) {
    ADD_FAILURE() << error;
    return -1;
  }
  while (process.Running()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return process.ExitCode();
}

class EndToEnd : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    prog_ = dir_->File("prog");
    ASSERT_EQ(RunToEnd("/bin/sh",
                       {"-c", std::string(PELORIN_CMAKE) + " --install " + PELORIN_BINARY_DIR + " --prefix " +
                                  prog_ + " > install.log 2>&1"},
                       dir_->File("")),
              0)
        << test::ReadFileBytes(dir_->File("install.log"));
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  // Starts the application on an installed model (0 Minimal, 1 Trade) as the window program does, with this
  // test's own work, keep and output folders.
  void Start(int model) {
    for (const char* folder : {"work", "keep", "out"}) {
      fs::create_directories(run.File(folder));
    }
    ApplicationOptions options;
    options.executablePath = prog_ + "/pelorin";
    options.exit = [this](int code) { exits.push_back(code); };
    options.changeToRoot = false;
    options.workDir = run.File("work");
    options.keepDir = run.File("keep");
    app = std::make_unique<Application>(ui, options);
    ui.choices.push_back(model);
    ASSERT_EQ(app->FormCreate(), Application::StartOutcome::Ready);
    app->DosJobTimerTimer();
    ASSERT_TRUE(exits.empty());
    ASSERT_FALSE(app->Model.Model.ModelFile.empty());
    app->Model.Model.OutputDir = run.File("out");
    app->Jobs.Hooks.showAccSummary = [this](AccSummaryDialog& dialog) {
      accuracy = std::make_unique<AccSummaryRec>(dialog.Record());
    };
    ui.messages.clear(); // what the first tick says about viewers and help this folder lacks
  }

  // Ticks the job runner until nothing is watched.
  void Run() {
    for (int ticks = 0; app->Window.timerEnabled && ticks < 3000; ++ticks) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      app->DosJobTimerTimer();
    }
    ASSERT_FALSE(app->Window.timerEnabled) << "the job did not end";
  }

  // The row of the contents table that names `variable`, 0 when none.
  int ContentsRow(const std::string& variable) const {
    const SimTab& table = app->Results.ContentsTable();
    for (int r = 1; r <= table.nrow; ++r) {
      if (table.Cell(r, 0) == variable) {
        return r;
      }
    }
    return 0;
  }

  std::string Work(const std::string& name) const { return run.File("work/" + name); }

  static test::TempDir* dir_;
  static std::string prog_;

  test::SavedEnvironment environment;
  test::TempDir run;
  test::ScriptedUserInterface ui;
  std::unique_ptr<Application> app;
  std::vector<int> exits;
  std::unique_ptr<AccSummaryRec> accuracy;
};

test::TempDir* EndToEnd::dir_ = nullptr;
std::string EndToEnd::prog_;

TEST_F(EndToEnd, MinimalSolvesAndItsResultsCarryTheEnginesNumbers) {
  ASSERT_NO_FATAL_FAILURE(Start(0));
  EXPECT_EQ(app->Model.Model.ModelFile, prog_ + "/Minimal/Minimal.exe");
  app->Simulation.Solve.SolveButtonClick();
  ASSERT_NO_FATAL_FAILURE(Run());
  EXPECT_THAT(ui.Texts(), ElementsAre(StartsWith("New Solution generated in ")));
  EXPECT_TRUE(app->App.Solved);
  EXPECT_EQ(app->Window.currentPage, kResultsPage);

  // The cumulative solution, the three levels solutions and one per subtotal.
  const ResultsModel& results = app->ResultsData;
  ASSERT_EQ(results.Nsol(), 6);
  EXPECT_EQ(results.Sol(1).SolLabel, "(Sim)");
  EXPECT_EQ(results.Sol(5).SolLabel, "more labour");
  EXPECT_EQ(results.Sol(6).SolLabel, "more income");

  // QFAC: labour supply 10 percent up from the data's 30 + 40 + 60, all of it from the labour shock.
  const int row = ContentsRow("QFAC");
  ASSERT_GT(row, 0);
  app->Results.OpenContentsLine(row);
  const SimTab& data = app->Results.DataTable();
  ASSERT_EQ(app->Results.State().view, ResultsView::Data);
  ASSERT_EQ(data.nrow, 2);
  ASSERT_EQ(data.ncol, 6);
  EXPECT_EQ(data.Cell(1, 0), "labour");
  std::vector<std::string> labour;
  for (int c = 1; c <= 6; ++c) {
    labour.push_back(data.Cell(1, c));
  }
  EXPECT_THAT(labour, ElementsAre("10.00", "130.00", "143.00", "13.00", "10.00", "0"));
  EXPECT_EQ(data.Cell(2, 0), "capital");
  EXPECT_EQ(data.Cell(2, 1), "0"); // an engine zero (1e-14) shows as 0

  // Copy on the Results page puts the data view on the clipboard.
  app->Copy1Click();
  EXPECT_THAT(ui.clipboard, HasSubstr("labour\t10.00\t130.00\t143.00"));

  // Three solutions in the method: the accuracy summary of the solver's log.
  ASSERT_NE(accuracy, nullptr);
  EXPECT_TRUE(accuracy->overallFound);
  EXPECT_GT(accuracy->sub[static_cast<std::size_t>(accuracy->overallLevelsPos)].levels.counts[6], 0);
  EXPECT_TRUE(app->Model.LastSolve.AccuracySummaryMade);

  // The solution's summary is the current model information, kept as "current.svi".
  EXPECT_EQ(app->Model.Model.SviFile, run.File("keep/current.svi"));
  EXPECT_EQ(app->ModelInfo.NVar, 7);
  EXPECT_TRUE(fs::exists(run.File("out/sim1.log")));
  EXPECT_TRUE(fs::exists(run.File("out/sim1ps.dis"))); // the post-simulation ran too
  EXPECT_TRUE(exits.empty());
}

TEST_F(EndToEnd, TheClosureCheckOfTradeMakesItsRegionsKnownToTheShocksPage) {
  ASSERT_NO_FATAL_FAILURE(Start(1));
  ShocksPage& shocks = app->Simulation.Shocks;
  const auto choose = [&](const std::string& variable) {
    for (std::size_t i = 0; i < shocks.VarChoices.size(); ++i) {
      if (shocks.VarChoices[i].text == variable) {
        shocks.ExoVarComboBoxChange(static_cast<int>(i));
        return true;
      }
    }
    return false;
  };
  // Before the check the regions come from the data and are not known.
  ASSERT_TRUE(choose("tms"));
  EXPECT_THAT(shocks.Dims[1].entries, ::testing::Not(Contains(::testing::Field(&ChoiceEntry::text, "usa"))));

  app->Simulation.Closure.CheckClosureButtonClick();
  ASSERT_NO_FATAL_FAILURE(Run());
  EXPECT_THAT(ui.Texts(), ElementsAre("Closure is fine"));
  EXPECT_EQ(app->Model.Model.SviFile, run.File("keep/current.svi"));
  EXPECT_GT(app->Model.Model.ModelGpVer, 0);

  ASSERT_TRUE(choose("tms"));
  for (int d = 1; d <= 2; ++d) {
    EXPECT_THAT(shocks.Dims[static_cast<std::size_t>(d)].entries,
                Contains(::testing::Field(&ChoiceEntry::text, "usa")));
    EXPECT_THAT(shocks.Dims[static_cast<std::size_t>(d)].entries,
                Contains(::testing::Field(&ChoiceEntry::text, "asia")));
  }
  EXPECT_TRUE(exits.empty());
}

TEST_F(EndToEnd, ASolverErrorIsShownWithItsLog) {
  ASSERT_NO_FATAL_FAILURE(Start(0));
  // Income is shocked but left endogenous: the solver refuses the simulation.
  app->Simulation.Closure.Lines = {"exogenous QFAC ;", "rest endogenous ;"};
  app->Simulation.Closure.Modified = true;
  app->Simulation.Solve.SolveButtonClick();
  ASSERT_NO_FATAL_FAILURE(Run());
  EXPECT_THAT(ui.Texts(), ElementsAre("Error at Minimal stage - see log window"));
  EXPECT_TRUE(app->Simulation.Solve.ErrorLogVisible);
  EXPECT_FALSE(app->Simulation.Solve.ErrorLog.empty());
  EXPECT_GT(app->Jobs.ErrorLogMemo.selLength, 0); // the line worth reading is selected
  EXPECT_FALSE(fs::exists(Work("praxol.log")));
  EXPECT_FALSE(app->App.Solved);
}

TEST_F(EndToEnd, ASolveThatLeavesNoSolutionFileEndsBeforeTheConversion) {
  ASSERT_NO_FATAL_FAILURE(Start(0));
  // A command-file preamble that asks for no equations: the solver ends well without a solution.
  std::ofstream(run.File("out/CMFSTART")) << "neq = yes ;\n";
  app->Simulation.Solve.SolveButtonClick();
  ASSERT_NO_FATAL_FAILURE(Run());
  EXPECT_THAT(ui.Texts(), ElementsAre("Error at Minimal stage - see log window"));
  EXPECT_THAT(app->Simulation.Solve.ErrorLog, Contains("*** But Solution file was not created ***"));
  EXPECT_FALSE(fs::exists(Work("praxol.log")));
  EXPECT_FALSE(app->App.Solved);
}

TEST_F(EndToEnd, AFailingConverterGivesNoResultsAFailingPreparationStillShowsThem) {
  ASSERT_NO_FATAL_FAILURE(Start(0));
  app->Simulation.Solve.SolveButtonClick();
  std::ofstream(Work("praxol.inp")) << "bat\nrpt\n" << Work("praxol.rpt") << "\nnonsense\n";
  ASSERT_NO_FATAL_FAILURE(Run());
  EXPECT_THAT(
      ui.Texts(),
      ElementsAre("Error running PRAXOL to convert Solution file to Header Array file - see log window."));
  EXPECT_TRUE(app->Simulation.Solve.ErrorLogVisible);
  EXPECT_FALSE(fs::exists(Work("mirdashk.log")));
  EXPECT_FALSE(app->App.Solved);
  EXPECT_EQ(app->ResultsData.Nsol(), 0);

  ui.messages.clear();
  app->Simulation.Solve.SolveButtonClick();
  std::ofstream(Work("mirdashk.inp")) << "bat\nrpt\n" << Work("mirdashk.rpt") << "\nnonsense\n";
  ASSERT_NO_FATAL_FAILURE(Run());
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Error running MIRDA to prepare for possible SSA jobs - see log window.\r\n"
                                 "However, simulation results generated Ok. You can view them.");
  EXPECT_THAT(ui.messages[1].text, StartsWith("New Solution generated in "));
  EXPECT_TRUE(app->App.Solved);
  EXPECT_EQ(app->ResultsData.Nsol(), 6);
  EXPECT_FALSE(fs::exists(Work("praxolsh.log")));
}

TEST_F(EndToEnd, CancelLeavesTheSolveToItselfAndShowsNoResults) {
  ASSERT_NO_FATAL_FAILURE(Start(0));
  app->Simulation.Solve.SolveButtonClick();
  app->Jobs.CancelButtonClick();
  app->DosJobTimerTimer();
  EXPECT_THAT(ui.Texts(),
              ElementsAre("Do you really want to kill this job?", "Solve job aborted via Cancel button",
                          StartsWith("However the DOS batch job is still running.")));
  EXPECT_FALSE(app->Window.timerEnabled);
  EXPECT_FALSE(app->App.Solved);
  for (int i = 0; i < 1000 && app->Jobs.Abandoned().Count() > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    app->Jobs.DosJobTimerTimer();
  }
  EXPECT_EQ(app->Jobs.Abandoned().Count(), 0u);
  EXPECT_TRUE(fs::exists(run.File("out/sim1.sl4"))); // the solver went on to its end, unwatched
  EXPECT_FALSE(fs::exists(Work("praxol.log")));
}

// pelorin-solve, as a batch of scenarios would run it: each run with its own folder, side by side.
TEST_F(EndToEnd, PelorinSolveSolvesBothModelsSideBySide) {
  const std::string solve = prog_ + "/pelorin-solve";
  const auto command = [&](const std::string& model, const std::string& folder) {
    return "(" + solve + " " + model + " --work " + run.File(folder) + " --csv " + run.File(folder + "/csv") +
           " > " + run.File(folder + ".out") + " 2> " + run.File(folder + ".err") + "; echo $? > " +
           run.File(folder + ".rc") + ")";
  };
  ASSERT_EQ(RunToEnd("/bin/sh",
                     {"-c", command("Minimal", "a") + " & " + command("trade", "b") + " & " +
                                command("Minimal", "c") + " & wait"},
                     run.File("")),
            0);
  for (const char* folder : {"a", "b", "c"}) {
    EXPECT_EQ(test::ReadFileBytes(run.File(std::string(folder) + ".rc")), "0\n")
        << test::ReadFileBytes(run.File(std::string(folder) + ".err"));
  }
  const std::string minimal = test::ReadFileBytes(run.File("a.out"));
  EXPECT_THAT(minimal, HasSubstr("Variable")) << test::ReadFileBytes(run.File("a.err"));
  EXPECT_THAT(minimal, HasSubstr("QFAC      FAC      1    Factor supply"));
  EXPECT_THAT(minimal,
              HasSubstr("Solutions:  1 (Sim), 2 Pre  , 3 Post  , 4 Chng  , 5 more labour, 6 more income"));
  EXPECT_THAT(test::ReadFileBytes(run.File("a/csv/QFAC.csv")),
              HasSubstr("QFAC,(Sim),Pre,Post,Chng,more labour,more income\nlabour,10,130,143,13,10,0"));
  EXPECT_THAT(test::ReadFileBytes(run.File("b.out")), HasSubstr("TMS       COM*REG*REG  1    Tariff power"))
      << test::ReadFileBytes(run.File("b.err"));
  EXPECT_THAT(test::ReadFileBytes(run.File("b/csv/TMS.csv")), StartsWith("COM,REG,REG_2,(Sim),"));
  EXPECT_TRUE(fs::exists(run.File("b/sim1.sol")));
  EXPECT_TRUE(fs::exists(run.File("b/work/solve.log")));
  // The accuracy criterion is "Data" by default: the updated data's accuracy shows beside the variables'.
  EXPECT_THAT(test::ReadFileBytes(run.File("b.out")),
              HasSubstr("Accuracy:   results accurate to 0..6 figures: 0 0 0 0 0 0 96 (overall)\n"
                        "            updated data accurate to 0..6 figures: 0 0 0 0 0 0 54 (overall)\n"));
  std::string solution = test::ReadFileBytes(prog_ + "/Trade/Trade.ini");
  solution.replace(solution.find("Automatic accuracy=0"), 20, "Automatic accuracy=1\nAuto Acc Criterion=1");
  std::ofstream(run.File("solution.ini")) << solution;
  ASSERT_EQ(RunToEnd("/bin/sh", {"-c", solve + " Trade --settings solution.ini --work e > e.out 2> e.err"},
                     run.File("")),
            0)
      << test::ReadFileBytes(run.File("e.err"));
  EXPECT_THAT(test::ReadFileBytes(run.File("e.out")), HasSubstr("Accuracy:   results accurate"));
  EXPECT_THAT(test::ReadFileBytes(run.File("e.out")), Not(HasSubstr("updated data accurate")));

  // A model that is not installed, and a simulation the solver refuses: exit code 1 with the reason.
  EXPECT_EQ(RunToEnd("/bin/sh", {"-c", solve + " Nothing 2> nothing.err"}, run.File("")), 1);
  EXPECT_THAT(test::ReadFileBytes(run.File("nothing.err")), HasSubstr("no model Nothing is installed"));
  std::string settings = test::ReadFileBytes(prog_ + "/Minimal/Minimal.ini");
  settings.replace(settings.find("0=exogenous QFAC INCOME ;"), 25, "0=exogenous QFAC ;");
  std::ofstream(run.File("bad.ini")) << settings;
  EXPECT_EQ(RunToEnd("/bin/sh", {"-c", solve + " Minimal --settings bad.ini --work d > d.out 2> d.err"},
                     run.File("")),
            1);
  EXPECT_THAT(test::ReadFileBytes(run.File("d.err")),
              HasSubstr("error: Error at Minimal stage - see log window"));
  EXPECT_THAT(test::ReadFileBytes(run.File("d.err")), HasSubstr("did not succeed"));
}

// A subtotal described as 12" pipes once took the shock after it into its description: the solve succeeded
// with that shock missing.
TEST_F(EndToEnd, AQuoteInASubtotalDescriptionCannotSwallowTheShockAfterIt) {
  ASSERT_NO_FATAL_FAILURE(Start(1));
  ShocksPage& shocks = app->Simulation.Shocks;
  shocks.Lines = {"Shock TMS(\"food\", \"usa\", \"eu\") = -5 ;",
                  "Shock TMS(\"food\", \"asia\", \"eu\") = -5 ;"};
  auto subtotal = shocks.DefineSubtotalBtn1Click();
  ASSERT_EQ(subtotal->VarChoices.size(), 2u);
  subtotal->VarComboChange(1);
  subtotal->AddButtonClick();
  ui.prompts.push_back("12\" pipes");
  ASSERT_TRUE(subtotal->OkButtonClick());
  shocks.AppendSubtotal(subtotal->SubtotalLines);
  shocks.Lines.push_back("Shock AO(\"manuf\", \"asia\") = 10 ;");
  EXPECT_EQ(shocks.Lines[2], "Subtotal TMS = 12' pipes ;");

  // Saved as a settings file and solved by pelorin-solve: manufactures in Asia grow as in the model's own
  // simulation.
  IniOptions settings = app->Settings;
  app->Simulation.StoreSettings(settings);
  ErrorText errorText;
  ASSERT_TRUE(WriteIniOptions(run.File("pipes.ini"), settings, errorText)) << errorText;
  const std::string solve = prog_ + "/pelorin-solve Trade --settings pipes.ini";
  ASSERT_EQ(RunToEnd("/bin/sh", {"-c", solve + " --work p --csv p/csv > p.out 2> p.err"}, run.File("")), 0)
      << test::ReadFileBytes(run.File("p.err"));
  const std::string output = test::ReadFileBytes(run.File("p/csv/QO.csv"));
  EXPECT_THAT(output, StartsWith("COM,REG,(Sim),Pre,Post,Chng,12' pipes\n"));
  EXPECT_THAT(output, HasSubstr("\nmanuf,asia,5.647"));

  // The same settings edited by hand to hold the quote: refused before anything runs, naming the line.
  std::string edited = test::ReadFileBytes(run.File("pipes.ini"));
  const std::size_t described = edited.find("12' pipes");
  ASSERT_NE(described, std::string::npos);
  edited[described + 2] = '"';
  std::ofstream(run.File("quoted.ini")) << edited;
  EXPECT_EQ(RunToEnd("/bin/sh",
                     {"-c", prog_ + "/pelorin-solve Trade --settings quoted.ini --work q > q.out 2> q.err"},
                     run.File("")),
            1);
  EXPECT_THAT(test::ReadFileBytes(run.File("q.err")),
              HasSubstr("error: A quoted text is not closed at the end of line 3 in shocks memo."));
  EXPECT_FALSE(fs::exists(run.File("q/work/solve.log")));
}

// Runs that would write broken or overwritten command files are refused before anything runs.
TEST_F(EndToEnd, PelorinSolveRefusesFoldersAndNamesThatWouldBreakTheCommandFiles) {
  const auto refused = [&](const std::string& arguments, const std::string& folder) {
    EXPECT_EQ(
        RunToEnd("/bin/sh", {"-c", prog_ + "/pelorin-solve Trade " + arguments + " 2> err"}, run.File("")), 1)
        << arguments;
    EXPECT_FALSE(fs::exists(run.File(folder + "/work/solve.log")));
    return test::ReadFileBytes(run.File("err"));
  };
  // Trade's post-simulation command file names the output folder, which is the run's folder here.
  EXPECT_THAT(refused("--work 'runs#1'", "runs#1"),
              HasSubstr("error: Cannot solve: the output folder\n       " + run.File("runs#1") +
                        "\n       holds the character \"#\""));

  // A solution whose name the post-simulation files take as it stands (its first six letters and "ps").
  std::string settings = test::ReadFileBytes(prog_ + "/Trade/Trade.ini");
  settings.replace(settings.find("0=Solution file = sim1 ;"), 24, "0=Solution file = tariffps ;");
  std::ofstream(run.File("same.ini")) << settings;
  EXPECT_THAT(
      refused("--settings same.ini --work same", "same"),
      HasSubstr("error: The post-simulation files are named \"tariffps\": the post-simulation file\n       " +
                run.File("same/tariffps.cmf")));
}

// Settings files written on other systems: one that an editor saved with a byte-order mark and CR LF line
// ends solves as the plain one does; one with a gap in its shock list is refused with the keys it would have
// lost.
TEST_F(EndToEnd, PelorinSolveReadsAMarkedSettingsFileAndRefusesOneWithAGapInAList) {
  const std::string solve = prog_ + "/pelorin-solve";
  const std::string settings = test::ReadFileBytes(prog_ + "/Minimal/Minimal.ini");
  const std::size_t shocks = settings.find("[Shocks]\n");
  const std::size_t outputs = settings.find("[Output Files]\n");
  ASSERT_NE(shocks, std::string::npos);
  ASSERT_LT(shocks, outputs);
  // The shocks come first, so a mark hiding the first section's header would lose them.
  std::string marked = "\xEF\xBB\xBF" + settings.substr(shocks, outputs - shocks) +
                       settings.substr(0, shocks) + settings.substr(outputs);
  for (std::size_t at = marked.find('\n'); at != std::string::npos; at = marked.find('\n', at + 2)) {
    marked.insert(at, "\r");
  }
  std::ofstream(run.File("marked.ini"), std::ios::binary) << marked;
  ASSERT_EQ(RunToEnd("/bin/sh",
                     {"-c", solve + " Minimal --settings marked.ini --work m --csv m/csv > m.out 2> m.err"},
                     run.File("")),
            0)
      << test::ReadFileBytes(run.File("m.err"));
  EXPECT_THAT(test::ReadFileBytes(run.File("m/csv/QFAC.csv")),
              HasSubstr("QFAC,(Sim),Pre,Post,Chng,more labour,more income\nlabour,10,130,143,13,10,0"));

  std::string gap = settings;
  const std::size_t income = gap.find("1=Shock INCOME = 5 ;\n");
  ASSERT_NE(income, std::string::npos);
  gap.erase(income, 21);
  std::ofstream(run.File("gap.ini")) << gap;
  EXPECT_EQ(RunToEnd("/bin/sh", {"-c", solve + " Minimal --settings gap.ini --work g > g.out 2> g.err"},
                     run.File("")),
            1);
  const std::string said = test::ReadFileBytes(run.File("g.err"));
  EXPECT_THAT(said, HasSubstr("has no key 1 in section [Shocks], so its list ends there."));
  EXPECT_THAT(said, HasSubstr("These lines after the gap were ignored:"));
  EXPECT_THAT(said, HasSubstr("2=Subtotal QFAC = more labour ;"));
  EXPECT_THAT(said, HasSubstr("3=Subtotal INCOME = more income ;"));
  EXPECT_THAT(said, HasSubstr("nothing was solved"));
  EXPECT_FALSE(fs::exists(run.File("g/sim1.sl4")));
}

// A model compiled for the general simulation program: its folder keeps what the catalogue asks for
// (MODEL.ini and MODEL.exe), the compiler's -gss run adds MODEL.gss and MODEL.gst and stamps MODEL.min like
// them, and the settings name MODEL.gss. dravex.exe then solves it to the same numbers as the model's own
// executable.
TEST_F(EndToEnd, AModelCompiledForTheGeneralProgramIsSolvedByDravex) {
  const std::string gss = run.File("gss");
  fs::copy(prog_, gss, fs::copy_options::recursive | fs::copy_options::create_hard_links);
  fs::remove_all(gss + "/Trade");
  fs::remove_all(gss + "/Minimal"); // written to below: a copy of its own, not links to the installed files
  fs::copy(prog_ + "/Minimal", gss + "/Minimal", fs::copy_options::recursive);
  ASSERT_EQ(RunToEnd("/bin/sh", {"-c", gss + "/merka.exe Minimal.mrk -o . -gss > merka.out 2>&1"},
                     gss + "/Minimal"),
            0)
      << test::ReadFileBytes(gss + "/Minimal/merka.out");
  ASSERT_TRUE(fs::exists(gss + "/Minimal/Minimal.gss") && fs::exists(gss + "/Minimal/Minimal.gst"));
  std::string settings = test::ReadFileBytes(gss + "/Minimal/Minimal.ini");
  settings.replace(settings.find("Model=Minimal.exe"), 17, "Model=Minimal.gss");
  fs::remove(gss + "/Minimal/Minimal.ini");
  std::ofstream(gss + "/Minimal/Minimal.ini") << settings;

  const auto solve = [&](const std::string& folder, const std::string& name) {
    return RunToEnd("/bin/sh",
                    {"-c", folder + "/pelorin-solve Minimal --work " + run.File(name) + " --csv " +
                               run.File(name + "/csv") + " > " + name + ".out 2> " + name + ".err"},
                    run.File(""));
  };
  ASSERT_EQ(solve(gss, "viagss"), 0) << test::ReadFileBytes(run.File("viagss.err"));
  ASSERT_EQ(solve(prog_, "viaexe"), 0) << test::ReadFileBytes(run.File("viaexe.err"));
  EXPECT_THAT(test::ReadFileBytes(run.File("viagss.out")),
              HasSubstr("Model:      Minimal  (" + gss + "/Minimal/Minimal.gss)"));
  EXPECT_THAT(test::ReadFileBytes(run.File("viagss/work/solve.bat")),
              HasSubstr("'" + gss + "/dravex.exe' -sti '" + run.File("viagss/work/solve.sti") + "'"));
  EXPECT_THAT(test::ReadFileBytes(run.File("viagss/sim1.cmf")),
              HasSubstr("Auxiliary files = " + gss + "/Minimal/Minimal ;"));
  int compared = 0;
  for (const auto& entry : fs::directory_iterator(run.File("viaexe/csv"))) {
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(test::ReadFileBytes(run.File("viagss/csv/" + name)), test::ReadFileBytes(entry.path())) << name;
    ++compared;
  }
  EXPECT_EQ(compared, 6);
}

} // namespace
} // namespace pelorin
