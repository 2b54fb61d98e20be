#include "app/application.h"
#include "model/file_lines.h"
#include "platform/paths.h"
#include "sim_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

// The simulation pages inside the application object: page changes, Copy, settings and model loading reach
// them through the application's wiring.
class AppWiring : public ::testing::Test {
protected:
  AppWiring() {
    ApplicationOptions options;
    options.executablePath = JoinPath(dir.File("prog"), "pelorin");
    options.exit = [this](int code) { exits.push_back(code); };
    options.changeToRoot = false;
    application = std::make_unique<Application>(ui, options);
    test::InstallTestModel(dir.File("prog"), "trade", test::TradeModelInfo(), application->App,
                           application->Model, application->ModelInfo);
  }

  test::TempDir dir;
  test::ScriptedUserInterface ui;
  std::vector<int> exits;
  std::unique_ptr<Application> application;
};

TEST_F(AppWiring, LeavingTheClosurePageAfterTypingRebuildsTheExogenousList) {
  Application& app = *application;
  app.ShowPage(kClosurePage);
  app.Simulation.Closure.Lines = {"exogenous pop p_x nosuch ;", "rest endogenous ;"};
  app.Simulation.Closure.Modified = true;
  app.App.ResultsOutdated = false;
  app.ShowPage(kShocksPage);
  EXPECT_THAT(ui.Texts(), ElementsAre("Warning: \"nosuch\"\r\nis not a variable.\r\nPlease amend closure."));
  EXPECT_FALSE(app.Simulation.Closure.Modified);
  EXPECT_TRUE(app.App.ResultsOutdated);
  EXPECT_EQ(app.Simulation.Shocks.VarChoices.size(), 4u);

  // Shock edits outdate the results when the page is left.
  app.App.ResultsOutdated = false;
  app.Simulation.Shocks.Modified = true;
  app.ShowPage(kSolvePage);
  EXPECT_TRUE(app.App.ResultsOutdated);
  EXPECT_FALSE(app.Simulation.Shocks.Modified);

  // A page the shock logic asks for is shown through the page rules.
  app.Simulation.Context.ShowPage(kClosurePage);
  EXPECT_EQ(app.Window.currentPage, kClosurePage);
}

TEST_F(AppWiring, CopyTakesTheClosureAndShockTexts) {
  Application& app = *application;
  app.Simulation.Closure.Lines = {"exogenous pop ;", "rest endogenous ;"};
  app.ShowPage(kClosurePage);
  app.Copy1Click();
  EXPECT_EQ(ui.clipboard, "exogenous pop ;\nrest endogenous ;\n");
  app.Simulation.Shocks.Lines = {" Shock pop = 1;"};
  app.ShowPage(kShocksPage);
  app.Copy1Click();
  EXPECT_EQ(ui.clipboard, " Shock pop = 1;\n");

  // A selection is copied instead of the whole text, and is gone afterwards.
  app.Simulation.Shocks.Selection = "pop = 1";
  app.Copy1Click();
  EXPECT_EQ(ui.clipboard, "pop = 1");
  EXPECT_EQ(app.Simulation.Shocks.Selection, "");
  app.ShowPage(kClosurePage);
  app.Simulation.Closure.Selection = "rest";
  app.Copy1Click();
  EXPECT_EQ(ui.clipboard, "rest");
  app.Copy1Click();
  EXPECT_EQ(ui.clipboard, "exogenous pop ;\nrest endogenous ;\n");
}

TEST_F(AppWiring, OptionsMenuAndModelLoadingReachTheSimulationPages) {
  Application& app = *application;
  app.DoNotCreateXACFile1Click();
  app.IgnoreLevelsResults1Click();
  const SolveOptions options = app.Simulation.Context.CurrentOptions();
  EXPECT_FALSE(options.createXacFile);
  EXPECT_TRUE(options.ignoreLevelsResults);
  EXPECT_FALSE(app.Simulation.Sources().createXac);

  // The model set-up loads closure files and closure information through the closure logic.
  const std::string cls = JoinPath(app.Model.Model.ModelDir, "base.cls");
  WriteLines(cls, {"exogenous tf ;", "rest endogenous ;"});
  app.Model.Hooks.processClosureFile(cls);
  EXPECT_THAT(app.Simulation.Closure.ExoList, ElementsAre(Pair("tf", 4)));
  app.Model.Hooks.resetSimulation(true);
  EXPECT_EQ(app.Simulation.Solve.MethodLabel, "Gragg: 2-4-6 steps extrapolation");
  app.Model.Hooks.clearClosure();
  EXPECT_TRUE(app.Simulation.Closure.Lines.empty());
  EXPECT_TRUE(app.Simulation.Closure.ExoList.empty());
  EXPECT_EQ(app.Simulation.Shocks.VarChoices.size(), 1u);
}

} // namespace
} // namespace pelorin
