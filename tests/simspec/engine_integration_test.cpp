// The files the simulation pages write, run by the real suite: a model compiled by the model compiler, its
// closure checked by the check batch, then a simulation and its post-simulation run on the command files and
// stored inputs written from the pages.

#include "datafiles/har_writer.h"
#include "engine_runs.h"
#include "platform/paths.h"
#include "sim_fixture.h"
#include "simspec/subtotal_dialog.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

const char* const kTradeModel = R"(model Trade "Two-region demand" ;
file BASEDATA "Base data" input har updated ;
file SUMMARY "Summary" output har ;
set COM "Commodities" = (food, mfg, svc) ;
set TRAD "Traded commodities" = (food, mfg) ;
subset TRAD of COM ;
set REG "Regions" = read BASEDATA "REG" ;
coefficient SHR(c in COM) "Budget share" = read BASEDATA "SHR" ;
variable percent Y(r in REG) "Income" = read BASEDATA "Y" ;
variable percent P(c in COM, r in REG) "Price" = 1 ;
variable percent X(c in COM, r in REG) "Demand" = SHR(c) * Y(r) / P(c, r) ;
equation E_X(c in COM, r in REG) "Demand" : P(c, r) * X(c, r) = SHR(c) * Y(r) ;
update BASEDATA "Y" (r in REG) = Y(r) ;
update BASEDATA "XV" (c in COM, r in REG) = P(c, r) * X(c, r) ;
write SHR to SUMMARY "SHR" ;
display SHR ;
)";

class EngineIntegration : public test::SimFixture {
protected:
  void SetUp() override {
    modelDir = JoinPath(programDir, "trade");
    fs::create_directories(modelDir);
    app.ModelName = "trade";
    app.ModelHomeDir = modelDir;
    app.KeepDir = modelDir;
    WriteText(JoinPath(programDir, "praxola.exe"), {});
    const std::string source = JoinPath(modelDir, "trade.mrk");
    WriteText(source, {kTradeModel});
    ASSERT_EQ(test::RunProgram(PELORIN_MERKA_PATH, {source, "-o", modelDir}, modelDir), 0);
    ErrorText errorText;
    ASSERT_TRUE(
        WriteHarFile(JoinPath(modelDir, "base.har"),
                     {MakeStrings("REG", "Regions", {"usa", "eu"}),
                      MakeReals("SHR", "Shares", {SetDim("COM", {"food", "mfg", "svc"})}, {0.3f, 0.3f, 0.4f}),
                      MakeReals("Y", "Income", {SetDim("REG", {"usa", "eu"})}, {100.0f, 50.0f}),
                      MakeReals("XV", "Spending", {SizeDim(3), SizeDim(2)}, {30, 30, 40, 15, 15, 20})},
                     {}, errorText))
        << errorText;

    // Choose the model and its data file as a person would.
    const std::string modelFile = JoinPath(modelDir, "trade.exe");
    ASSERT_TRUE(model->FindModelFiles(modelFile)) << ::testing::PrintToString(ui.Texts());
    model->Model.ModelFile = modelFile;
    model->Model.ModelIsExe = true;
    model->Model.SolverProgram = modelFile;
    model->ProcessModel(true);
    ui.files.push_back(JoinPath(modelDir, "base.har"));
    ASSERT_TRUE(model->OrigDataFilesCMFListBoxChange(0));
    ui.messages.clear();

    sim->Context.hooks.startClosureCheck = [this] {
      checkPassed = test::CheckClosureWithEngine(*sim, workDir);
    };
    sim->Context.hooks.startSolve = [this] { solve = test::SolveWithEngine(*sim, *model, workDir); };
  }

  bool checkPassed = false;
  test::EngineSolve solve;
};

TEST_F(EngineIntegration, ClosureCheckSimulationAndPostSimulationRunOnTheWrittenFiles) {
  // The closure check makes the regions, read from the data, known.
  sim->Closure.Lines = {"exogenous Y", "  P ;  ! prices and incomes", "rest endogenous ;"};
  sim->Closure.Modified = true;
  sim->Closure.CheckClosureButtonClick();
  ASSERT_TRUE(checkPassed) << test::ReadFileBytes(JoinPath(workDir, "clcheck.log"));
  EXPECT_EQ(ui.Texts().front(), "Closure is fine");
  const TSetRec& regions = info.Set(3);
  EXPECT_EQ(regions.name, "REG");
  EXPECT_TRUE(regions.ElementsKnown);
  EXPECT_THAT(regions.elements, ::testing::ElementsAre("usa", "eu"));

  // Shocks built on the page: a subset and an element, one element, a file of values, and a subtotal.
  ShocksPage& shocks = sim->Shocks;
  test::ChooseShockVariable(shocks, "p");
  shocks.ExoDimCombo1Change(0, 1); // All TRAD
  shocks.ExoDimCombo1Change(1, 1); // usa
  shocks.ShockValueChange("5");
  shocks.AddShockButtonClick();
  test::ChooseShockVariable(shocks, "y");
  shocks.ExoDimCombo1Change(0, 2); // eu
  shocks.ShockValueChange("10");
  shocks.AddShockButtonClick();
  EXPECT_THAT(shocks.Lines,
              ::testing::ElementsAre(" Shock p(TRAD,\"usa\") = uniform 5;", " Shock y(\"eu\") = 10;"));
  WriteText(JoinPath(modelDir, "yshock.txt"), {"3 7"});
  shocks.Lines.push_back("Shock Y(\"usa\") = select from file yshock.txt; ! income of one region");
  auto subtotal = shocks.DefineSubtotalBtn1Click();
  subtotal->VarComboChange(1); // P
  subtotal->AddButtonClick();
  ui.prompts.push_back("price changes");
  ASSERT_TRUE(subtotal->OkButtonClick());
  shocks.AppendSubtotal(subtotal->SubtotalLines);

  sim->Context.method = {SolutionMethod::Gragg, 3, {2, 4, 6}, 1, true};
  sim->Solve.VerbalDescription = "Integration; prices up!";
  ui.messages.clear();
  sim->Solve.SolveButtonClick();
  EXPECT_THAT(ui.Texts(), ::testing::IsEmpty());
  ASSERT_EQ(solve.solveExit, 0) << test::ReadFileBytes(JoinPath(workDir, "solve.log"));
  const std::string log = test::ReadFileBytes(JoinPath(workDir, "solve.log"));
  EXPECT_NE(log.find("automatic accuracy"), std::string::npos);
  EXPECT_NE(log.find("ACCURACY SUMMARY FOR OVERALL RESULTS"), std::string::npos);
  EXPECT_TRUE(fs::exists(JoinPath(modelDir, "sim1.sl4")));
  EXPECT_TRUE(fs::exists(JoinPath(modelDir, "sim1.upd")));
  ASSERT_TRUE(solve.postSim);
  ASSERT_EQ(solve.postSimExit, 0) << test::ReadFileBytes(JoinPath(workDir, "postsim.log"));
  EXPECT_TRUE(fs::exists(JoinPath(modelDir, "sim1ps.ou1")));
  EXPECT_TRUE(fs::exists(JoinPath(modelDir, "sim1ps.dis")));
}

TEST_F(EngineIntegration, AnInvalidClosureIsReportedByTheCheck) {
  sim->Closure.Lines = {"exogenous Y ;", "rest endogenous ;"};
  sim->Closure.CheckClosureButtonClick();
  EXPECT_FALSE(checkPassed);
  EXPECT_EQ(ui.Texts().back(), "Closure is not valid");
  EXPECT_TRUE(fs::exists(JoinPath(workDir, "clcheck.flg")));
}

} // namespace
} // namespace pelorin
