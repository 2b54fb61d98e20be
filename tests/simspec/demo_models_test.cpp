// The demo models as the build makes them: the files a solve and a closure check write for each, from the
// page state its own settings restore, compared with the expected files, then run by the model's own solver.

#include "app/application.h"
#include "datafiles/har_writer.h"
#include "engine_runs.h"
#include "golden_files.h"
#include "model/file_lines.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "simspec/subtotal_dialog.h"
#include "support/saved_environment.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::string BuildDir() {
  const char* dir = std::getenv("PELORIN_BUILD_DIR");
  return dir != nullptr && *dir != '\0' ? std::string(dir) : std::string(SIMSPEC_BUILD_DIR);
}

// A program folder holding one demo model copied from the build, with stand-ins for the companion programs,
// and the application started on it as the window program starts: the model restored from its own settings
// and the first tick's checks passed without a word.
class DemoModel : public ::testing::Test {
protected:
  void Start(const std::string& name) {
    const fs::path built = fs::path(BuildDir()) / "models" / name;
    ASSERT_TRUE(fs::is_regular_file(built / (name + ".min"))) << "the build has not made model " << name;
    programDir = dir.File("prog");
    fs::create_directories(programDir);
    fs::copy(built, JoinPath(programDir, name), fs::copy_options::recursive);
    for (const char* file : {"praxola.exe", "mirdaa.exe", "lumarix.exe", "orvane.html"}) {
      WriteLines(JoinPath(programDir, file), {});
    }
    ApplicationOptions options;
    options.executablePath = JoinPath(programDir, "pelorin");
    options.exit = [this](int code) { exits.push_back(code); };
    options.changeToRoot = false;
    app = std::make_unique<Application>(ui, options);
    ASSERT_EQ(app->FormCreate(), Application::StartOutcome::Ready);
    app->DosJobTimerTimer();
    ASSERT_TRUE(exits.empty());
    ASSERT_THAT(ui.Texts(), IsEmpty());
    ASSERT_EQ(app->Model.Model.ModelFile, JoinPath(JoinPath(programDir, name), name + ".exe"));
    workDir = app->App.WorkDir;
    modelDir = app->Model.Model.ModelDir;
    outputDir = app->Model.Model.OutputDir;
  }

  // Presses Solve and Check Closure with the written files compared with golden/`name`/ in place of the jobs.
  void ExpectGoldenFiles(const std::string& name) {
    bool written = false;
    SimulationPages& sim = app->Simulation;
    sim.Context.hooks.startSolve = [&] {
      test::ExpectGoldenJobFiles(sim, app->Model, workDir, dir.Path().string(), name,
                                 app->Model.PostSimRequested());
      written = true;
    };
    sim.Solve.SolveButtonClick();
    EXPECT_TRUE(written);
    EXPECT_THAT(ui.Texts(), IsEmpty());
  }

  // Runs the solver of the model on the closure check and the solve the pages start.
  void UseEngine() {
    SimulationPages& sim = app->Simulation;
    sim.Context.hooks.startClosureCheck = [this] {
      checkPassed = test::CheckClosureWithEngine(app->Simulation, workDir);
    };
    sim.Context.hooks.startSolve = [this] {
      solve = test::SolveWithEngine(app->Simulation, app->Model, workDir);
    };
  }

  std::string Log(const std::string& name) const { return test::ReadFileBytes(JoinPath(workDir, name)); }

  // Selects the entry `text` of dimension choice `d` of the Shocks page.
  void ChooseDimension(int d, const std::string& text) {
    ShocksPage& shocks = app->Simulation.Shocks;
    const std::vector<ChoiceEntry>& entries = shocks.Dims[static_cast<std::size_t>(d)].entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].text == text) {
        shocks.ExoDimCombo1Change(d, static_cast<int>(i));
        return;
      }
    }
    ADD_FAILURE() << text << " is not offered in dimension " << d + 1;
  }

  test::SavedEnvironment environment;
  test::TempDir dir;
  test::ScriptedUserInterface ui;
  std::unique_ptr<Application> app;
  std::vector<int> exits;
  std::string programDir;
  std::string workDir;
  std::string modelDir;
  std::string outputDir;
  bool checkPassed = false;
  test::EngineSolve solve;
};

TEST_F(DemoModel, MinimalWritesTheExpectedFilesFromItsSettings) {
  ASSERT_NO_FATAL_FAILURE(Start("Minimal"));
  EXPECT_TRUE(app->Model.PostSimRequested());
  ExpectGoldenFiles("Minimal");
}

TEST_F(DemoModel, TradeWritesTheExpectedFilesFromItsSettings) {
  ASSERT_NO_FATAL_FAILURE(Start("Trade"));
  ASSERT_TRUE(app->Model.PostSimRequested());
  ExpectGoldenFiles("Trade");
}

TEST_F(DemoModel, MinimalIsCheckedAndSolvedFromItsSettings) {
  ASSERT_NO_FATAL_FAILURE(Start("Minimal"));
  UseEngine();
  app->Simulation.Closure.CheckClosureButtonClick();
  ASSERT_TRUE(checkPassed) << Log("clcheck.log");
  ui.messages.clear();

  app->Simulation.Solve.SolveButtonClick();
  EXPECT_THAT(ui.Texts(), IsEmpty());
  ASSERT_EQ(solve.solveExit, 0) << Log("solve.log");
  EXPECT_TRUE(fs::exists(JoinPath(outputDir, "sim1.sl4")));
  EXPECT_TRUE(fs::exists(JoinPath(outputDir, "sim1.upd")));
  ASSERT_TRUE(solve.postSim);
  ASSERT_EQ(solve.postSimExit, 0) << Log("postsim.log");
  EXPECT_TRUE(fs::exists(JoinPath(outputDir, "sim1ps.ou1")));
  EXPECT_TRUE(fs::exists(JoinPath(outputDir, "sim1ps.dis")));
}

TEST_F(DemoModel, TradeIsCheckedThenSolvedWithShocksBuiltOnThePages) {
  ASSERT_NO_FATAL_FAILURE(Start("Trade"));
  UseEngine();
  // The regions and commodities come from the data: the closure check makes them known.
  app->Simulation.Closure.CheckClosureButtonClick();
  ASSERT_TRUE(checkPassed) << Log("clcheck.log");
  EXPECT_THAT(ui.Texts(), ElementsAre("Closure is fine"));
  const SolInfoRec& info = app->ModelInfo;
  for (const TSetRec& set : info.SetData) {
    EXPECT_TRUE(set.ElementsKnown) << set.name;
  }

  // Shocks built on the page: over a subset and one element, three single elements, then a "select from
  // file" shock typed in, and a subtotal from the dialog.
  ShocksPage& shocks = app->Simulation.Shocks;
  shocks.Lines.clear();
  test::ChooseShockVariable(shocks, "ao");
  ChooseDimension(0, "All TRAD");
  ChooseDimension(1, "asia");
  shocks.ShockValueChange("10");
  shocks.AddShockButtonClick();
  test::ChooseShockVariable(shocks, "tms");
  ChooseDimension(0, "food");
  ChooseDimension(1, "usa");
  ChooseDimension(2, "eu");
  shocks.ShockValueChange("-5");
  shocks.AddShockButtonClick();
  EXPECT_THAT(shocks.Lines, ElementsAre(" Shock ao(TRAD,\"asia\") = uniform 10;",
                                        " Shock tms(\"food\",\"usa\",\"eu\") = -5;"));
  ErrorText errorText;
  ASSERT_TRUE(WriteHarFile(
      JoinPath(modelDir, "spend.har"),
      {MakeReals("EXPS", "Spending shocks", {SizeDim(3), SizeDim(3)}, {1, 2, 3, 4, 5, 6, 7, 8, 9})}, {},
      errorText))
      << errorText;
  shocks.Lines.push_back("Shock expend(\"services\",REG) = select from file spend.har header \"EXPS\";");
  auto subtotal = shocks.DefineSubtotalBtn1Click();
  ASSERT_NE(subtotal, nullptr);
  for (std::size_t i = 0; i < subtotal->VarChoices.size(); ++i) {
    if (SameText(subtotal->VarChoices[i].text, "TMS")) {
      subtotal->VarComboChange(static_cast<int>(i));
    }
  }
  subtotal->AddButtonClick();
  ui.prompts.push_back("tariff cut");
  ASSERT_TRUE(subtotal->OkButtonClick());
  shocks.AppendSubtotal(subtotal->SubtotalLines);

  app->Simulation.Context.method = {SolutionMethod::Gragg, 3, {2, 4, 6}, 1, true};
  app->Simulation.Solve.VerbalDescription = "Tariff cut; more manufactures";
  ui.messages.clear();
  app->Simulation.Solve.SolveButtonClick();
  EXPECT_THAT(ui.Texts(), IsEmpty());
  ASSERT_EQ(solve.solveExit, 0) << Log("solve.log");
  const std::string log = Log("solve.log");
  EXPECT_THAT(log, HasSubstr("automatic accuracy"));
  EXPECT_THAT(log, HasSubstr("ACCURACY SUMMARY FOR OVERALL RESULTS"));
  for (const char* file : {"sim1.sl4", "sim1.upd", "sim1a.upd"}) {
    EXPECT_TRUE(fs::exists(JoinPath(outputDir, file))) << file;
  }
  ASSERT_TRUE(solve.postSim);
  ASSERT_EQ(solve.postSimExit, 0) << Log("postsim.log");
  EXPECT_TRUE(fs::exists(JoinPath(outputDir, "sim1ps.ou1")));
  EXPECT_TRUE(fs::exists(JoinPath(outputDir, "sim1ps.dis")));
}

} // namespace
} // namespace pelorin
