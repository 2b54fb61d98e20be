// The solver's linear algebra (substitution of explicitly defined variables, the sparse LU, the threads) must
// never change a result beyond rounding: the same model is solved every way and the numbers compared.

#include "engine/closure.h"
#include "engine/command_file.h"
#include "engine/solution_file.h"
#include "engine/solver.h"
#include "generated_trade.h"
#include "mrklang/parser.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace pelorin::engine {
namespace {

/// A model loaded with its data, closure and shocks, ready to be solved any number of times.
struct Problem {
  std::string name;
  mrk::Model model;
  std::vector<DataFile> data;
  ModelRuntime rt;
  CommandFile cmf;
  Simulation sim;
  std::string errors;

  bool Setup(const std::string& source, std::vector<DataFile> files, const std::string& commands) {
    std::vector<mrk::Diagnostic> diagnostics;
    if (!mrk::ParseModel(source, model, diagnostics)) {
      errors = mrk::FormatDiagnostic(name, diagnostics[0]);
      return false;
    }
    data = std::move(files);
    std::vector<const DataFile*> inputs(model.files.size(), nullptr);
    std::vector<std::string> names(model.files.size(), name);
    for (std::size_t f = 0; f < model.files.size() && f < data.size(); ++f) {
      inputs[f] = &data[f];
    }
    return rt.Load(model, inputs, names, errors) && ParseCommandFile(commands, name + ".cmf", cmf, errors) &&
           BuildClosure(cmf, rt, sim, errors) && BuildShocks(cmf, rt, sim, errors) && rt.BuildTapes(errors);
  }

  /// Every update statement's values at the given levels.
  std::vector<std::vector<double>> Updated(const std::vector<double>& levels) const {
    std::vector<std::vector<double>> values;
    for (std::size_t u = 0; u < model.updates.size(); ++u) {
      values.push_back(rt.EvalOverDomain(rt.UpdateFormula(static_cast<int>(u)), levels.data()));
    }
    return values;
  }
};

/// What one way of solving gives.
struct Solved {
  SolveOutcome out;
  std::vector<ComponentResult> results;
  std::vector<std::vector<double>> subtotals, updated;
  std::string log;
};

bool SolveProblem(Problem& p, const SolverOptions& options, Solved& solved, int subintervals = 1) {
  Solver solver(
      p.rt, p.sim, [&](const std::string& line) { solved.log += line + "\n"; }, options);
  std::string reason;
  if (!solver.CheckClosure(reason)) {
    p.errors = reason;
    return false;
  }
  MethodOptions method; // Gragg 2-4-6
  method.subintervals = subintervals;
  // Updated data judged for accuracy too, as one file.
  const UpdatedDataFn updated = [&](const std::vector<double>& levels) {
    return std::vector<std::vector<std::vector<double>>>{p.Updated(levels)};
  };
  if (!solver.CheckInitialData(p.errors) || !solver.Solve(method, updated, {"DATA"}, solved.out, p.errors)) {
    return false;
  }
  ComputeResults(p.rt, solved.out, solved.results, solved.subtotals);
  solved.updated = p.Updated(LevelsAfterMoves(p.rt, solved.out.move));
  return true;
}

/// Within 1e-9 relative, or absolute for numbers below 1 (results that are zero in truth differ by rounding).
bool Close(double a, double b) {
  return std::fabs(a - b) <= 1e-9 * std::max({std::fabs(a), std::fabs(b), 1.0});
}

/// Results, levels, subtotals, each solution's results, accuracy figures and updated data agree to 1e-9.
void ExpectSameNumbers(const Problem& p, const Solved& a, const Solved& b) {
  ASSERT_EQ(a.results.size(), b.results.size());
  int differences = 0;
  for (std::size_t k = 0; k < a.results.size() && differences < 5; ++k) {
    const std::string where = p.name + " " + p.rt.ComponentName(static_cast<std::int64_t>(k));
    const bool same = Close(a.results[k].cumulative, b.results[k].cumulative) &&
                      Close(a.results[k].post, b.results[k].post) && a.out.figures[k] == b.out.figures[k];
    EXPECT_TRUE(same) << where << ": " << a.results[k].cumulative << " " << b.results[k].cumulative << ", "
                      << a.results[k].post << " " << b.results[k].post << ", " << a.out.figures[k] << " "
                      << b.out.figures[k];
    differences += same ? 0 : 1;
    for (std::size_t s = 0; s < a.subtotals.size(); ++s) {
      EXPECT_TRUE(Close(a.subtotals[s][k], b.subtotals[s][k]))
          << where << " subtotal " << s << ": " << a.subtotals[s][k] << " " << b.subtotals[s][k];
    }
    for (std::size_t i = 0; i < a.out.solutionMove.size(); ++i) {
      EXPECT_TRUE(Close(a.out.solutionMove[i][k], b.out.solutionMove[i][k])) << where << " solution " << i;
    }
  }
  ASSERT_EQ(a.updated.size(), b.updated.size());
  for (std::size_t u = 0; u < a.updated.size(); ++u) {
    for (std::size_t k = 0; k < a.updated[u].size(); ++k) {
      EXPECT_TRUE(Close(a.updated[u][k], b.updated[u][k]))
          << p.name << " update " << u << " value " << k << ": " << a.updated[u][k] << " " << b.updated[u][k];
    }
  }
  // The accuracy summaries of the log agree line for line.
  auto summaries = [](const std::string& log) {
    std::istringstream lines(log);
    std::string line, kept;
    while (std::getline(lines, line)) {
      if (line.find("results are judged accurate") != std::string::npos) {
        kept += line + "\n";
      }
    }
    return kept;
  };
  EXPECT_EQ(summaries(a.log), summaries(b.log)) << p.name;
}

DataFile BuiltData(const std::string& model, const std::string& file) {
  DataFile data;
  ErrorText err;
  EXPECT_TRUE(ReadDataFile(JoinPath(JoinPath(PELORIN_BUILT_MODELS_DIR, model), file), false, data, err)) << err;
  return data;
}

std::string Source(const std::string& model) {
  std::ifstream in(JoinPath(JoinPath(PELORIN_MODELS_DIR, model), model + ".mrk"));
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The demo models with the closure and shocks of their own settings (with subtotals), and the generated
// trade model.
void SetupDemoModels(Problem& minimal, Problem& trade, Problem& generated) {
  minimal.name = "Minimal";
  ASSERT_TRUE(
      minimal.Setup(Source("Minimal"), {BuiltData("Minimal", "basedata.har")},
                    "exogenous QFAC INCOME ;\nrest endogenous ;\nShock QFAC(\"labour\") = 10 ;\n"
                    "Shock INCOME = 5 ;\nSubtotal QFAC = more labour ;\nSubtotal INCOME = more income ;\n"))
      << minimal.errors;
  trade.name = "Trade";
  ASSERT_TRUE(trade.Setup(
      Source("Trade"), {BuiltData("Trade", "basedata.har"), BuiltData("Trade", "tariffs.har")},
      "exogenous TMS EXPEND AO ;\nrest endogenous ;\n"
      "Shock TMS(\"food\", \"usa\", \"eu\") = -5 ;\nShock TMS(\"food\", \"asia\", \"eu\") = -5 ;\n"
      "Shock AO(\"manuf\", \"asia\") = 10 ;\nSubtotal TMS = tariff cut ;\n"
      "Subtotal AO = productivity ;\n"))
      << trade.errors;
  generated.name = "Generated";
  DataFile data;
  ErrorText err;
  ASSERT_TRUE(ParseTextData(test::GeneratedTradeData(5, 7), "generated.txt", data, err)) << err;
  ASSERT_TRUE(generated.Setup(test::kGeneratedTradeModel, {data},
                              std::string(test::kGeneratedTradeCommands) + "subtotal TM = trade costs ;\n"))
      << generated.errors;
}

TEST(Condensation, SubstitutionChangesNoResultOnTheDemoModelsAndTheGeneratedModel) {
  Problem minimal, trade, generated;
  SetupDemoModels(minimal, trade, generated);
  for (Problem* p : {&minimal, &trade, &generated}) {
    Solved on, off;
    SolverOptions noCondensation;
    noCondensation.condense = false;
    ASSERT_TRUE(SolveProblem(*p, {}, on, 2)) << p->name << ": " << p->errors;
    ASSERT_TRUE(SolveProblem(*p, noCondensation, off, 2)) << p->name << ": " << p->errors;
    EXPECT_NE(on.log.find(" variable components substituted out"), std::string::npos) << p->name << on.log;
    EXPECT_LT(on.out.luSize, off.out.luSize) << p->name;
    EXPECT_NE(off.log.find(" Condensation: no variable substituted out (switched off)."), std::string::npos);
    ExpectSameNumbers(*p, on, off);
  }
  // Minimal: XOUT and VGDP are defined by their equations; QFAC is too, but it is exogenous.
  Solved minimalRun;
  ASSERT_TRUE(SolveProblem(minimal, {}, minimalRun));
  EXPECT_NE(minimalRun.log.find(" Condensation: 4 of 15 endogenous variable components substituted out"),
            std::string::npos)
      << minimalRun.log;
}

TEST(Condensation, ModelsWithNothingToSubstituteOrWithCyclesOfDefinitionsSolveAsWithout) {
  // No equation has a variable alone on its left.
  const char* implicit = R"(model Implicit ;
file D input text ;
variable percent A = 2 ;
variable percent B = 3 ;
variable percent C = 6 ;
equation E1 : A * B = C ;
equation E2 : 2 * A = B + 1 ;
)";
  // X and Y define each other: only one of them can be substituted, the other's pivot has changed by then.
  const char* cycle = R"(model Cycle ;
file D input text ;
variable percent Z = 1 ;
variable percent X = 4 ;
variable percent Y = 2 ;
variable change W = 3 ;
equation E_X : X = Z + Y + 1 ;
equation E_Y : Y = X / 2 ;
equation E_W : W = X - 1 ;
)";
  struct Case {
    const char* source;
    const char* commands;
    const char* said;
  };
  const Case cases[] = {
      {implicit, "exogenous C ;\nrest endogenous ;\nshock C = 10 ;\n",
       " Condensation: no variable substituted out (no equation defines one that can be)."},
      {cycle, "exogenous Z ;\nrest endogenous ;\nshock Z = 50 ;\n",
       " Condensation: 2 of 3 endogenous variable components substituted out"},
  };
  for (const Case& c : cases) {
    Problem p;
    p.name = c.source;
    ASSERT_TRUE(p.Setup(c.source, {}, c.commands)) << p.errors;
    Solved on, off;
    SolverOptions noCondensation;
    noCondensation.condense = false;
    ASSERT_TRUE(SolveProblem(p, {}, on)) << p.errors;
    ASSERT_TRUE(SolveProblem(p, noCondensation, off)) << p.errors;
    EXPECT_NE(on.log.find(c.said), std::string::npos) << on.log;
    ExpectSameNumbers(p, on, off);
  }
  // The cycle's closed form: X = 1.5 + 1 + X / 2, so X = 2 * (Z + 1): 5 after the shock; W = X - 1.
  Problem p;
  p.name = "cycle";
  ASSERT_TRUE(p.Setup(cycle, {}, cases[1].commands)) << p.errors;
  Solved on;
  ASSERT_TRUE(SolveProblem(p, {}, on)) << p.errors;
  EXPECT_NEAR(on.results[1].post, 5.0, 1e-6);
  EXPECT_NEAR(on.results[3].post, 4.0, 1e-6);
}

TEST(Condensation, EveryLuFactorisationGivesTheSameNumbers) {
  Problem minimal, trade, generated;
  SetupDemoModels(minimal, trade, generated);
  for (Problem* p : {&trade, &generated}) {
    Solved klu;
    ASSERT_TRUE(SolveProblem(*p, {}, klu)) << p->errors;
    for (LuKind kind : {LuKind::Umfpack, LuKind::EigenSparseLu}) {
      SolverOptions options;
      options.lu = kind;
      Solved other;
      ASSERT_TRUE(SolveProblem(*p, options, other)) << LuName(kind) << ": " << p->errors;
      ExpectSameNumbers(*p, klu, other);
    }
  }
}

TEST(Condensation, TheNumberOfThreadsNeverChangesAResultBit) {
  Problem minimal, trade, generated;
  SetupDemoModels(minimal, trade, generated);
  for (Problem* p : {&trade, &generated}) {
    std::vector<Solved> runs(3);
    for (int threads = 1; threads <= 3; ++threads) {
      SolverOptions options;
      options.threads = threads;
      ASSERT_TRUE(SolveProblem(*p, options, runs[threads - 1], 3)) << p->errors;
    }
    auto same = [](const std::vector<double>& a, const std::vector<double>& b) {
      return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
    };
    for (int t = 1; t < 3; ++t) {
      const SolveOutcome& a = runs[0].out;
      const SolveOutcome& b = runs[t].out;
      EXPECT_TRUE(same(a.move, b.move)) << p->name << ", " << t + 1 << " threads";
      for (std::size_t s = 0; s < a.subtotalY.size(); ++s) {
        EXPECT_TRUE(same(a.subtotalY[s], b.subtotalY[s])) << p->name << ", subtotal " << s;
      }
      for (std::size_t i = 0; i < a.solutionMove.size(); ++i) {
        EXPECT_TRUE(same(a.solutionMove[i], b.solutionMove[i])) << p->name << ", solution " << i;
      }
      EXPECT_EQ(a.figures, b.figures) << p->name;
      EXPECT_EQ(runs[0].log.substr(runs[0].log.find(" ACCURACY SUMMARY")),
                runs[t].log.substr(runs[t].log.find(" ACCURACY SUMMARY")));
    }
  }
}

} // namespace
} // namespace pelorin::engine
