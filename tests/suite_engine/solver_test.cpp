#include "engine/closure.h"
#include "engine/command_file.h"
#include "engine/solution_file.h"
#include "engine/solver.h"
#include "mrklang/parser.h"
#include "summaries/acc_summary.h"
#include "support/temp_dir.h"

#include <cmath>
#include <gtest/gtest.h>

namespace pelorin::engine {
namespace {

// A small economy with a closed-form answer: income is wages plus transfers, prices follow wages and
// productivity, demand takes fixed budget shares (Cobb-Douglas). The sum in the income equation makes the
// model nonlinear in the logarithms of the levels the solver works with.
const char* const kEconomy = R"(model Economy "Closed-form economy" ;
file BASE "Base data" input text updated ;
set COM "Commodities" = (c1, c2, c3) ;
coefficient S(c in COM) "Budget share" = read BASE "S" ;
variable percent W "Wage" = read BASE "W" ;
variable percent L "Labour" = read BASE "L" ;
variable change TR "Transfers" = read BASE "TR" ;
variable percent A(c in COM) "Productivity" = read BASE "A" ;
variable percent Y "Income" = W * L + TR ;
variable percent P(c in COM) "Price" = W / A(c) ;
variable percent X(c in COM) "Demand" = S(c) * Y / P(c) ;
equation E_Y "Income" : Y = W * L + TR ;
equation E_P(c in COM) "Price" : P(c) = W / A(c) ;
equation E_X(c in COM) "Demand" : P(c) * X(c) = S(c) * Y ;
update BASE "L" = L ;
update BASE "TR" = TR ;
)";

const char* const kEconomyData = R"(header "S" real 3 ;
0.2 0.3 0.5
header "W" real ;
1
header "L" real ;
100
header "TR" real ;
20
header "A" real 3 ;
1 2 4
)";

const char* const kEconomyShocks = R"(
exogenous W L TR A ;
rest endogenous ;
shock L = 10 ;
shock A("c1") = 5 ;
change TR = 3 ;
)";

struct Economy {
  mrk::Model model;
  DataFile data;
  ModelRuntime rt;
  CommandFile cmf;
  Simulation sim;
  std::vector<std::string> log;
  std::string errors;

  bool Setup(const std::string& source, const std::string& dataText, const std::string& cmfText) {
    std::vector<mrk::Diagnostic> diagnostics;
    if (!mrk::ParseModel(source, model, diagnostics)) {
      errors = mrk::FormatDiagnostic("m", diagnostics[0]);
      return false;
    }
    if (!ParseTextData(dataText, "base.txt", data, errors)) {
      return false;
    }
    std::vector<const DataFile*> inputs(model.files.size(), &data);
    std::vector<std::string> names(model.files.size(), "base.txt");
    return rt.Load(model, inputs, names, errors) && ParseCommandFile(cmfText, "t.cmf", cmf, errors) &&
           ApplyExtraSets(cmf, rt, errors) && BuildClosure(cmf, rt, sim, errors) &&
           BuildShocks(cmf, rt, sim, errors) && rt.BuildTapes(errors);
  }

  bool Solve(const MethodOptions& options, SolveOutcome& out) {
    Solver solver(rt, sim, [this](const std::string& line) { log.push_back(line); });
    std::string reason;
    if (!solver.CheckClosure(reason)) {
      errors = reason;
      return false;
    }
    return solver.CheckInitialData(errors) && solver.Solve(options, nullptr, {}, out, errors);
  }

  double Post(const SolveOutcome& out, const std::string& name, int element = 0) {
    const int v = model.FindVariable(name);
    const std::int64_t k = rt.VarOffset(v) + element;
    return rt.PercentComponents()[k] ? std::exp(out.y1[k]) : out.y1[k];
  }
};

MethodOptions Method(int method, std::vector<int> steps) {
  MethodOptions m;
  m.method = method;
  m.steps = std::move(steps);
  return m;
}

// Closed form after the shocks: L = 110, A(c1) = 1.05, TR = 23, W = 1.
const double kY = 110.0 + 23.0;
const double kX[3] = {0.2 * kY * 1.05, 0.3 * kY * 2.0, 0.5 * kY * 4.0};

TEST(EngineSolver, GraggExtrapolationMatchesTheClosedFormToSixFigures) {
  Economy e;
  ASSERT_TRUE(e.Setup(kEconomy, kEconomyData, kEconomyShocks)) << e.errors;
  SolveOutcome out;
  ASSERT_TRUE(e.Solve(Method(MethodOptions::Gragg, {2, 4, 6}), out)) << e.errors;
  EXPECT_NEAR(e.Post(out, "Y") / kY, 1.0, 5e-7);
  for (int c = 0; c < 3; ++c) {
    EXPECT_NEAR(e.Post(out, "X", c) / kX[c], 1.0, 5e-7) << c;
  }
  EXPECT_NEAR(e.Post(out, "P", 0), 1.0 / 1.05, 5e-7);
  // Every endogenous result is judged accurate, and the overall summary is in the log.
  const std::string joined = [&] {
    std::string j;
    for (const auto& l : e.log) {
      j += l + "\n";
    }
    return j;
  }();
  EXPECT_NE(joined.find("ACCURACY SUMMARY FOR OVERALL RESULTS"), std::string::npos);
}

TEST(EngineSolver, EulerErrorHalvesAndGraggErrorQuartersWhenStepsDouble) {
  auto error = [](int method, int steps) {
    Economy e;
    EXPECT_TRUE(e.Setup(kEconomy, kEconomyData, kEconomyShocks)) << e.errors;
    SolveOutcome out;
    EXPECT_TRUE(e.Solve(Method(method, {steps}), out)) << e.errors;
    return std::fabs(e.Post(out, "Y") - kY);
  };
  const double euler4 = error(MethodOptions::Euler, 4);
  const double euler8 = error(MethodOptions::Euler, 8);
  const double euler16 = error(MethodOptions::Euler, 16);
  EXPECT_NEAR(euler4 / euler8, 2.0, 0.2);
  EXPECT_NEAR(euler8 / euler16, 2.0, 0.1);
  const double gragg2 = error(MethodOptions::Gragg, 2);
  const double gragg4 = error(MethodOptions::Gragg, 4);
  const double gragg8 = error(MethodOptions::Gragg, 8);
  EXPECT_NEAR(gragg2 / gragg4, 4.0, 0.5);
  EXPECT_NEAR(gragg4 / gragg8, 4.0, 0.3);
  EXPECT_LT(gragg8, euler16);
}

TEST(EngineSolver, JohansenIsTheLinearisedSolution) {
  Economy e;
  ASSERT_TRUE(e.Setup(kEconomy, kEconomyData, kEconomyShocks)) << e.errors;
  SolveOutcome out;
  ASSERT_TRUE(e.Solve(Method(MethodOptions::Johansen, {1}), out)) << e.errors;
  // Linearised in y = ln(level) (percentage-change variables) and levels (TR): one step from the data.
  const double dyL = std::log(1.1);
  const double dyY = (100.0 * dyL + 3.0) / 120.0;
  std::vector<ComponentResult> results;
  std::vector<std::vector<double>> subtotals;
  ComputeResults(e.rt, out, results, subtotals);
  const std::int64_t y = e.rt.VarOffset(e.model.FindVariable("Y"));
  EXPECT_NEAR(results[y].cumulative, 100.0 * std::expm1(dyY), 1e-9);
  const std::int64_t x1 = e.rt.VarOffset(e.model.FindVariable("X"));
  EXPECT_NEAR(results[x1].cumulative, 100.0 * std::expm1(dyY + std::log(1.05)), 1e-9);
  // The shocked components move exactly by their shocks.
  const std::int64_t l = e.rt.VarOffset(e.model.FindVariable("L"));
  EXPECT_NEAR(results[l].cumulative, 10.0, 1e-12);
  const std::int64_t tr = e.rt.VarOffset(e.model.FindVariable("TR"));
  EXPECT_NEAR(results[tr].cumulative, 3.0, 1e-12);
}

TEST(EngineSolver, SubtotalsAddUpAndLevelsAgreeWithChanges) {
  Economy e;
  const std::string cmf = std::string(kEconomyShocks) +
                          "subtotal L = labour ;\nsubtotal A TR = productivity and transfers ;\n"
                          "subtotal A(\"c1\") = only productivity ;\n";
  ASSERT_TRUE(e.Setup(kEconomy, kEconomyData, cmf)) << e.errors;
  for (int method : {MethodOptions::Euler, MethodOptions::Gragg, MethodOptions::Midpoint}) {
    MethodOptions m = Method(method, {2, 4, 6});
    m.subintervals = 2;
    SolveOutcome out;
    ASSERT_TRUE(e.Solve(m, out)) << e.errors;
    std::vector<ComponentResult> results;
    std::vector<std::vector<double>> subtotals;
    ComputeResults(e.rt, out, results, subtotals);
    ASSERT_EQ(subtotals.size(), 3u);
    for (std::size_t k = 0; k < results.size(); ++k) {
      const double sum = subtotals[0][k] + subtotals[1][k];
      EXPECT_NEAR(sum, results[k].cumulative, 1e-6 * std::max(1.0, std::fabs(results[k].cumulative))) << k;
      const double change = results[k].post - results[k].pre;
      const double expected = e.rt.PercentComponents()[k] ? results[k].pre * results[k].cumulative / 100.0
                                                          : results[k].cumulative;
      EXPECT_NEAR(change, expected, 1e-9 * std::max(1.0, std::fabs(results[k].post))) << k;
    }
    // Demand for c2 does not depend on productivity in c1: the productivity-only subtotal explains nothing.
    const std::int64_t x2 = e.rt.VarOffset(e.model.FindVariable("X")) + 1;
    EXPECT_NEAR(subtotals[2][x2], 0.0, 1e-9);
  }
}

TEST(EngineSolver, UnshockedExogenousComponentsGiveExactZeros) {
  // Levels whose logarithms are not exact in binary: any result rebuilt from levels would carry their
  // rounding into the results of components that do not move.
  const std::string data =
      std::string(kEconomyData).replace(std::string(kEconomyData).find("1 2 4"), 5, "1.7 2.9 4.3");
  Economy e;
  const std::string cmf = std::string(kEconomyShocks) + "subtotal L = labour ;\nsubtotal A TR = rest ;\n";
  ASSERT_TRUE(e.Setup(kEconomy, data, cmf)) << e.errors;
  const std::int64_t a = e.rt.VarOffset(e.model.FindVariable("A"));
  const std::int64_t w = e.rt.VarOffset(e.model.FindVariable("W"));
  for (int method : {MethodOptions::Euler, MethodOptions::Gragg, MethodOptions::Midpoint}) {
    MethodOptions m = Method(method, {2, 4, 6});
    m.subintervals = 3;
    SolveOutcome out;
    ASSERT_TRUE(e.Solve(m, out)) << e.errors;
    std::vector<ComponentResult> results;
    std::vector<std::vector<double>> subtotals;
    ComputeResults(e.rt, out, results, subtotals);
    for (std::int64_t k : {w, a + 1, a + 2}) {
      EXPECT_EQ(results[k].cumulative, 0.0) << method << " " << e.rt.ComponentName(k);
      EXPECT_EQ(results[k].post, results[k].pre) << method << " " << e.rt.ComponentName(k);
      EXPECT_EQ(subtotals[0][k], 0.0) << method << " " << e.rt.ComponentName(k);
      EXPECT_EQ(subtotals[1][k], 0.0) << method << " " << e.rt.ComponentName(k);
      for (const auto& move : out.solutionMove) {
        EXPECT_EQ(move[k], 0.0) << method << " " << e.rt.ComponentName(k);
      }
    }
    // A shocked component ends exactly on its shock's move of y.
    const std::int64_t tr = e.rt.VarOffset(e.model.FindVariable("TR"));
    EXPECT_EQ(results[tr].cumulative, 3.0) << method;
    EXPECT_EQ(results[tr].post, 23.0) << method;
  }
}

TEST(EngineSolver, AutomaticAccuracyRedoesAnInaccurateSubintervalAndSaysSo) {
  Economy e;
  const std::string big = "exogenous W L TR A ;\nrest endogenous ;\nshock L = 300 ;\nchange TR = -15 ;\n";
  ASSERT_TRUE(e.Setup(kEconomy, kEconomyData, big)) << e.errors;
  MethodOptions m = Method(MethodOptions::Euler, {1, 2, 3});
  m.automatic = true;
  m.subintervals = 1;
  m.figures = 6;
  m.percent = 99;
  m.criterion = 1;
  m.minLength = 0.01;
  m.failStop = false;
  SolveOutcome out;
  ASSERT_TRUE(e.Solve(m, out)) << e.errors;
  EXPECT_GT(out.subintervalsDone, 1);
  bool said = false;
  for (const std::string& line : e.log) {
    said =
        said || line.find("Accuracy for subinterval 1 not sufficient - accuracy was ") != std::string::npos;
  }
  EXPECT_TRUE(said);
  // The summaries read back as the program's accuracy reader reads them.
  test::TempDir dir;
  std::string text;
  for (const std::string& line : e.log) {
    text += line + "\n";
  }
  const std::string logFile = dir.Write("solve.log", text);
  AccSummaryRec record;
  ErrorText err;
  ASSERT_TRUE(GetAccSummary(logFile, 0, record, err)) << err;
  EXPECT_TRUE(record.overallFound);
  EXPECT_EQ(record.numSubintervals, out.subintervalsDone + 1);
  EXPECT_EQ(record.overallLevelsPos, record.numSubintervals);

  // Stopping at the minimum length fails the run with an error.
  Economy stop;
  ASSERT_TRUE(stop.Setup(kEconomy, kEconomyData, big)) << stop.errors;
  m.failStop = true;
  m.minLength = 0.5;
  EXPECT_FALSE(stop.Solve(m, out));
  EXPECT_NE(stop.errors.find("error: the required accuracy was not reached"), std::string::npos);
}

TEST(EngineSolver, BothCriterionAsksTheVariablesAndTheDataEachForTheirPercentage) {
  // Seven endogenous levels, all accurate with Gragg, and one updated data value that never agrees between
  // the two extrapolations: pooled they would make 7 of 8 (87.5 %), enough for 80 %.
  Economy e;
  ASSERT_TRUE(e.Setup(kEconomy, kEconomyData, kEconomyShocks)) << e.errors;
  int calls = 0;
  const UpdatedDataFn inaccurateData = [&calls](const std::vector<double>&) {
    return std::vector<std::vector<std::vector<double>>>{{{++calls % 2 == 0 ? 2.0 : 1.0}}};
  };
  MethodOptions m = Method(MethodOptions::Gragg, {2, 4, 6});
  m.automatic = true;
  m.figures = 4;
  m.percent = 80;
  m.minLength = 1.0;
  m.failStop = true;
  const auto solve = [&](int criterion, SolveOutcome& out, std::string& errors) {
    m.criterion = criterion;
    Solver solver(e.rt, e.sim, [&e](const std::string& line) { e.log.push_back(line); });
    std::string reason;
    ErrorText err;
    const bool ok = solver.CheckClosure(reason) && solver.Solve(m, inaccurateData, {"BASE"}, out, err);
    errors = err;
    return ok;
  };
  SolveOutcome out;
  std::string errors;
  EXPECT_TRUE(solve(1, out, errors)) << errors;
  EXPECT_FALSE(solve(0, out, errors));
  EXPECT_FALSE(solve(2, out, errors));
  EXPECT_NE(errors.find("the required accuracy was not reached in subinterval 1"), std::string::npos)
      << errors;
  EXPECT_NE(errors.find("(0.0% of results to 4 figures, 80% required)"), std::string::npos) << errors;
}

TEST(EngineSolver, ClosureCheckRefusesNonSquareAndSingularClosuresAndAcceptsAValidSwap) {
  struct Case {
    const char* closure;
    const char* reason; // empty: valid
  };
  const Case cases[] = {
      {"exogenous W L TR ;\nrest endogenous ;\n", "The closure is not valid: it has 10 endogenous variable "
                                                  "components but the model has 7 equations; the two "
                                                  "numbers must be equal."},
      {"exogenous W L TR Y A(\"c2\") A(\"c3\") ;\nrest endogenous ;\n",
       "The closure is not valid: the Jacobian of the endogenous variables is singular. Equation E_Y "
       "contains no "
       "endogenous variable, and no equation determines X(\"c1\")."},
      {"exogenous W L TR A ;\nrest endogenous ;\nswap L = Y ;\n", ""},
      {"exogenous W L TR P ;\nrest endogenous ;\n", ""},
  };
  for (const Case& c : cases) {
    Economy e;
    ASSERT_TRUE(e.Setup(kEconomy, kEconomyData, c.closure)) << c.closure << e.errors;
    Solver solver(e.rt, e.sim, nullptr);
    std::string reason;
    EXPECT_EQ(solver.CheckClosure(reason), std::string(c.reason).empty()) << c.closure;
    EXPECT_EQ(reason, c.reason) << c.closure;
  }
}

TEST(EngineSolver, NumericallySingularBlockIsRefused) {
  // Two equations that say the same thing about different variables: square, structurally fine, singular.
  const char* model = R"(model Twin ;
file D input text ;
variable percent A = 1 ;
variable percent B = 1 ;
variable percent C = 2 ;
equation E1 : A * B = C / 2 ;
equation E2 : 2 * A * B = C ;
)";
  Economy e;
  ASSERT_TRUE(e.Setup(model, "", "exogenous C ;\nrest endogenous ;\n")) << e.errors;
  Solver solver(e.rt, e.sim, nullptr);
  std::string reason;
  EXPECT_FALSE(solver.CheckClosure(reason));
  EXPECT_EQ(
      reason,
      "The closure is not valid: the Jacobian of the endogenous variables is singular at the initial data.");
}

TEST(EngineSolver, InitialDataThatViolatesTheEquationsIsRefusedNamingTheWorst) {
  Economy e;
  const std::string data = std::string(kEconomyData);
  const std::string model =
      std::string(kEconomy).replace(std::string(kEconomy).find("variable percent Y \"Income\" = W * L + TR"),
                                    std::string("variable percent Y \"Income\" = W * L + TR").size(),
                                    "variable percent Y \"Income\" = W * L + TR + 1");
  ASSERT_TRUE(e.Setup(model, data, kEconomyShocks)) << e.errors;
  SolveOutcome out;
  EXPECT_FALSE(e.Solve(Method(MethodOptions::Gragg, {2, 4, 6}), out));
  EXPECT_NE(e.errors.find("error: the equations do not hold at the initial data (1 of 7 equations fail)"),
            std::string::npos)
      << e.errors;
  EXPECT_NE(e.errors.find("  E_Y residual 1 "), std::string::npos) << e.errors;
}

TEST(EngineSolver, EveryShockFormMovesTheExogenousLevelsAsWritten) {
  Economy e;
  const char* cmf = R"(exogenous W L TR A ;
rest endogenous ;
xset SOME (c2, c3) ;
xsubset SOME is subset of COM ;
final_level L = 121 ;
percent_change TR = 50 ;
change A(SOME) = uniform 1 ;
shock W 1 = 0 ;
)";
  ASSERT_TRUE(e.Setup(kEconomy, kEconomyData, cmf)) << e.errors;
  SolveOutcome out;
  ASSERT_TRUE(e.Solve(Method(MethodOptions::Johansen, {1}), out)) << e.errors;
  EXPECT_NEAR(e.Post(out, "L"), 121.0, 1e-9);
  EXPECT_NEAR(e.Post(out, "TR"), 30.0, 1e-9);
  EXPECT_NEAR(e.Post(out, "A", 0), 1.0, 1e-12);
  EXPECT_NEAR(e.Post(out, "A", 1), 3.0, 1e-9);
  EXPECT_NEAR(e.Post(out, "A", 2), 5.0, 1e-9);
  EXPECT_NEAR(e.Post(out, "W"), 1.0, 1e-12);
  EXPECT_EQ(e.sim.shocks.size(), 5u);
}

TEST(EngineSolver, AResultEndingNearZeroIsJudgedAgainstItsVariable) {
  // GAP(c1) ends within the solution error of zero; GAP(c2) and GAP(c3) are far from it.
  std::string model = kEconomy;
  model.insert(model.find("equation E_Y"),
               "coefficient K(c in COM) \"Threshold\" = read BASE \"K\" ;\n"
               "variable change GAP(c in COM) \"Above threshold\" = X(c) - K(c) ;\n"
               "equation E_GAP(c in COM) \"Gap\" : GAP(c) = X(c) - K(c) ;\n");
  char k1[64];
  std::snprintf(k1, sizeof k1, "%.17g", kX[0]);
  const std::string data = std::string(kEconomyData) + "header \"K\" real 3 ;\n" + k1 + " 0 0\n";
  const std::string cmf = "exogenous W L TR A ;\nrest endogenous ;\nshock L = 10 ;\nshock A(\"c1\") = 5 ;\n"
                          "change TR = 3 ;\n";
  Economy e;
  ASSERT_TRUE(e.Setup(model, data, cmf)) << e.errors;
  SolveOutcome out;
  ASSERT_TRUE(e.Solve(Method(MethodOptions::Gragg, {2, 4, 6}), out)) << e.errors;
  const std::int64_t gap = e.rt.VarOffset(e.model.FindVariable("GAP"));
  ASSERT_LT(std::fabs(e.Post(out, "GAP", 0)), 1e-3);
  ASSERT_GT(std::fabs(e.Post(out, "GAP", 0)), 1e-12);
  EXPECT_EQ(out.figures[gap], 6);

  // Updated data are judged header by header in the same way; a difference that is not small against the
  // largest result still counts by its own figures.
  const double all[] = {1e-9, 50.0, -200.0};
  const double two[] = {3e-9, 50.0, -200.0001};
  int figures[3] = {};
  JudgeVariable(all, two, 3, figures);
  EXPECT_EQ(figures[0], 6);
  EXPECT_EQ(figures[1], 6);
  EXPECT_EQ(figures[2], 6);
  const double far[] = {1e-3, 50.0, -200.0};
  JudgeVariable(far, two, 3, figures);
  EXPECT_EQ(figures[0], 0);
}

TEST(EngineSolver, AgreeingFiguresCountsSignificantFigures) {
  EXPECT_EQ(AgreeingFigures(1.0, 1.0), 6);
  EXPECT_EQ(AgreeingFigures(123.4567, 123.4568), 6);
  EXPECT_EQ(AgreeingFigures(123.45, 123.46), 4);
  EXPECT_EQ(AgreeingFigures(1.0, 2.0), 0);
  EXPECT_EQ(AgreeingFigures(0.0, 1e-15), 6);
}

} // namespace
} // namespace pelorin::engine
