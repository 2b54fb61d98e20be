#include "platform/paths.h"
#include "shell/settings.h"
#include "sim_fixture.h"
#include "simspec/solve_method_dialog.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

using ::testing::ElementsAre;

class Solve : public test::SimFixture {
protected:
  void SetUp() override {
    InstallModel("trade", test::TradeModelInfo());
    WriteText(JoinPath(programDir, "praxola.exe"), {});
    sim->Closure.Lines = {"exogenous pop p_x tf kt ;", "rest endogenous ;"};
    sim->Shocks.Lines = {" Shock pop = 1;"};
  }

  // Presses Solve and returns the message shown (empty when the solve started).
  std::string Press() {
    ui.messages.clear();
    pages.clear();
    sim->Solve.SolveButtonClick();
    return ui.messages.empty() ? std::string() : ui.messages.front().text;
  }
};

TEST_F(Solve, ChecksRunInOrderAndSendTheUserToThePageToFix) {
  sim->Solve.ErrorLogVisible = true;
  EXPECT_EQ(Press(), "");
  EXPECT_FALSE(sim->Solve.ErrorLogVisible);
  EXPECT_EQ(solves, 1);

  sim->Shocks.Lines = {"   "};
  EXPECT_EQ(Press(), "You must set some shocks first !");
  EXPECT_THAT(pages, ElementsAre(kShocksPage));

  sim->Closure.Lines.clear();
  EXPECT_EQ(Press(), "You must set the closure first !");
  EXPECT_THAT(pages, ElementsAre(kClosurePage));

  model->DataPage.InputLines[0] = "File BASEDATA = ?? ;";
  EXPECT_EQ(Press(), "You must specify all input data files before solving.");
  EXPECT_THAT(pages, ElementsAre(kModelDataPage));

  std::filesystem::remove(JoinPath(programDir, "praxola.exe"));
  EXPECT_EQ(Press(), "Sorry, cannot solve since the program \r\n" + JoinPath(programDir, "praxola.exe") +
                         "\r\nwhich is required by Orvane, is not available.");
  EXPECT_EQ(ui.messages.front().kind, MessageKind::Error);

  model->Model.ModelIsExe = false;
  EXPECT_EQ(Press(), "Sorry, cannot solve since DRAVEX is not available\r\n"
                     "(either in Orvane's directory or on the DOS Path).");

  model->Model.ModelFile.clear();
  EXPECT_EQ(Press(), "You must specify the model first !");
  EXPECT_THAT(pages, ElementsAre(kModelDataPage));
  EXPECT_EQ(solves, 1);
}

TEST_F(Solve, ClosureAndShockTextsAreCheckedAndCleanedBeforeTheSolve) {
  sim->Closure.Lines = {"exogenous pop nosuch ;", "rest endogenous ;"};
  EXPECT_EQ(Press(), "Warning: \"nosuch\"\r\nis not a variable.\r\nPlease amend closure.");
  EXPECT_THAT(pages, ElementsAre(kClosurePage));

  sim->Closure.Lines = {"exogenous pop ;", "rest endogenous ;", "shock pop = 1 ;"};
  EXPECT_EQ(Press(), "Key word \"shock\" must not be in the closure memo.\r\nPlease fix this.");
  EXPECT_THAT(pages, ElementsAre(kClosurePage));

  sim->Closure.Lines = {"exogenous\tpop ;", "rest endogenous ;"};
  sim->Shocks.Lines = {"shock pop = 1;", "swap a = b;"};
  EXPECT_EQ(Press(), "Key word \"swap\" must not be in shocks memo.\r\nPlease fix this.");
  EXPECT_THAT(pages, ElementsAre(kShocksPage));
  EXPECT_EQ(sim->Closure.Lines[0], "exogenous pop ;");

  // A quote left open would take the next shock into the subtotal's description.
  sim->Shocks.Lines = {"Subtotal pop = 12\" pipes ;", "shock pop = 1;"};
  EXPECT_THAT(Press(),
              ::testing::StartsWith("A quoted text is not closed at the end of line 1 in shocks memo."));
  EXPECT_THAT(pages, ElementsAre(kShocksPage));

  // A Control-Z is blanked by the cleaning before the check, as every other control character.
  sim->Shocks.Lines = {"shock pop = 1\x1a;"};
  EXPECT_EQ(Press(), "");
  EXPECT_EQ(sim->Shocks.Lines[0], "shock pop = 1 ;");
  EXPECT_EQ(solves, 1);
}

TEST_F(Solve, PostSimulationFilesMayNotOverwriteTheSimulations) {
  model->RebuildViewMenus();
  ASSERT_TRUE(model->PostSimRequested());
  EXPECT_EQ(Press(), "");

  // A solution named like the post-simulation files: the command file would hold only the post-simulation.
  model->OutputPage.PostSimName = "sim1";
  EXPECT_EQ(Press(), "The post-simulation files are named \"sim1\": the post-simulation file\r\n" +
                         JoinPath(modelDir, "sim1.cmf") +
                         "\r\nwould overwrite the simulation's file of the same name.\r\n"
                         "Please give the post-simulation files another name on the Output files page.");
  EXPECT_EQ(ui.messages.front().kind, MessageKind::Error);
  EXPECT_THAT(pages, ElementsAre(kOutputPage));

  // An output file named as a post-simulation output would be.
  model->OutputPage.PostSimName = "post";
  model->OutputPage.OutputLines[3] = "File SUMMARY = post.ou1 ;";
  EXPECT_THAT(Press(), ::testing::HasSubstr("the post-simulation file\r\n" + JoinPath(modelDir, "post.ou1") +
                                            "\r\nwould overwrite"));

  model->OutputPage.PostSimName = " ";
  EXPECT_EQ(Press(),
            "The name for post-simulation files is empty: they would be called \".cmf\", \".dis\" and "
            "so on.\r\nPlease give them a name on the Output files page.");
  EXPECT_EQ(solves, 1);

  // Without a post-simulation run the name writes nothing.
  model->ViewMenu.OutputsPreSim.Items.clear();
  EXPECT_EQ(Press(), "");
  EXPECT_EQ(solves, 2);
}

TEST_F(Solve, FoldersThatCommandFilesCannotCarryAreRefused) {
  model->RebuildViewMenus();
  const std::string output = dir.File("runs#1");
  model->Model.OutputDir = output;
  EXPECT_EQ(Press(), "Cannot solve: the output folder\r\n" + output +
                         "\r\nholds the character \"#\", which the solver's command files cannot carry in a "
                         "file name.\r\nPlease use a folder whose path has none of ! # ; = \"");
  EXPECT_EQ(ui.messages.front().kind, MessageKind::Error);
  // Only the post-simulation command file names the output folder.
  model->ViewMenu.OutputsPreSim.Items.clear();
  EXPECT_EQ(Press(), "");

  for (const auto& [folder, breaker] : std::vector<std::pair<std::string, std::string>>{
           {"my!models", "!"}, {"a=b", "="}, {"x;y", ";"}, {"q\"m", "\""}}) {
    model->Model.ModelDir = dir.File(folder);
    model->Model.ModelFile = JoinPath(model->Model.ModelDir, "trade.exe");
    EXPECT_THAT(Press(), ::testing::StartsWith("Cannot solve: the model folder\r\n" + dir.File(folder) +
                                               "\r\nholds the character \"" + breaker + "\""))
        << folder;
  }
  EXPECT_EQ(solves, 1);
}

TEST_F(Solve, MethodDialogChangesRefreshTheLabelAndOutdateResults) {
  sim->Context.method = DefaultSolveMethod();
  sim->Solve.RefreshMethodLabel();
  EXPECT_EQ(sim->Solve.MethodLabel, "Gragg: 2-4-6 steps extrapolation");
  app.ResultsOutdated = false;

  auto dialog = sim->Solve.ChangeMethodButtonClick();
  dialog->SubintervalsChanged(4);
  dialog->CancelClick();
  sim->Solve.MethodDialogClosed(false);
  EXPECT_EQ(sim->Solve.MethodLabel, "Gragg: 2-4-6 steps extrapolation");
  EXPECT_FALSE(app.ResultsOutdated);

  dialog = sim->Solve.ChangeMethodButtonClick();
  dialog->SubintervalsChanged(4);
  ASSERT_TRUE(dialog->OkClick());
  sim->Solve.MethodDialogClosed(dialog->Changed());
  EXPECT_EQ(sim->Solve.MethodLabel, "Gragg: 2-4-6 steps extrapolation (4 subintervals)");
  EXPECT_TRUE(app.ResultsOutdated);
}

TEST_F(Solve, SettingsCarryTheTextsAndMethodBothWays) {
  IniOptions options;
  options.closure = {"exogenous pop ;", "rest endogenous ;"};
  options.shocks = {"shock pop = 1;\t"};
  options.verbalDescription = "base case";
  options.method = {SolutionMethod::Euler, 2, {3, 6, 9}, 2, false};
  sim->ApplySettings(options);
  EXPECT_EQ(sim->Shocks.Lines[0], "shock pop = 1; ");
  EXPECT_EQ(sim->Solve.MethodLabel, "Euler: 3-6 steps extrapolation");

  sim->Closure.Lines.push_back("exogenous p_x ;");
  sim->Closure.Modified = true;
  IniOptions stored;
  sim->StoreSettings(stored);
  EXPECT_FALSE(sim->Closure.Modified);
  EXPECT_EQ(stored.closure.size(), 3u);
  EXPECT_EQ(stored.verbalDescription, "base case");
  EXPECT_EQ(stored.method, options.method);

  sim->ResetSimulation(true);
  EXPECT_TRUE(sim->Shocks.Lines.empty());
  EXPECT_EQ(sim->Solve.VerbalDescription, "?");
  EXPECT_EQ(sim->Context.method, DefaultSolveMethod());
}

} // namespace
} // namespace pelorin
