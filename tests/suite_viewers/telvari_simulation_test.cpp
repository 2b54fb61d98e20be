// The solution viewer's simulations on the demo models solved end to end: every number a data view shows is
// the engine's, through the converter and the results core; several simulations side by side; the accuracy
// figures of the solution file.

#include "demo_solutions.h"
#include "results/solution_comparison.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "telvari/telvari_simulation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin::telv {
namespace {

const test::DemoSolutions& Demo() {
  const test::DemoSolutions& demo = test::DemoSolutions::Get();
  EXPECT_TRUE(demo.minimal.ok && demo.trade.ok && demo.trade2.ok) << "the demo models were not solved";
  return demo;
}

// The engine's value of solution column `column` (1 cumulative, 2 pre, 3 post, 4 change, then the
// subtotals) for component k.
float EngineValue(const conv::Solution& solution, int column, std::int64_t k) {
  switch (column) {
  case 1:
    return solution.cumulative[static_cast<std::size_t>(k)];
  case 2:
    return solution.pre[static_cast<std::size_t>(k)];
  case 3:
    return solution.post[static_cast<std::size_t>(k)];
  case 4:
    return static_cast<float>(solution.LevelChange(k));
  default:
    return solution.subtotals[static_cast<std::size_t>(column - 5)][static_cast<std::size_t>(k)];
  }
}

class TelvariDemo : public ::testing::TestWithParam<const char*> {};

TEST_P(TelvariDemo, EveryNumberShownIsTheEngines) {
  const test::DemoRun& run = std::string(GetParam()) == "Minimal" ? Demo().minimal : Demo().trade;
  test::ScriptedUserInterface ui;
  test::TempDir scratch;
  TelvariSimulation sim(ui);
  ErrorText err;
  ASSERT_TRUE(sim.Open(run.solution, scratch.File("conv"), err)) << err;
  const conv::Solution& solution = sim.Solution();
  const int columns = 4 + static_cast<int>(solution.subtotals.size());
  ASSERT_EQ(sim.Model().Nsol(), columns);
  EXPECT_EQ(sim.Label(), "sim1");

  // Every value of every solution equals the engine's, component by component.
  for (const conv::SolutionVariable& var : solution.variables) {
    const int pv = sim.Model().FindPV(var.name);
    ASSERT_GT(pv, 0) << var.name;
    for (int s = 1; s <= columns; ++s) {
      const ResultHeader* h = sim.Model().Header(pv, s);
      ASSERT_NE(h, nullptr) << var.name << " solution " << s;
      ASSERT_EQ(h->NumValues(), var.size);
      for (std::int64_t i = 0; i < var.size; ++i) {
        EXPECT_FLOAT_EQ(h->Values()[static_cast<std::size_t>(i)], EngineValue(solution, s, var.offset + i))
            << var.name << " solution " << s << " value " << i;
      }
    }
  }

  // And the tables the page shows carry them: each vector's data view, every solution side by side.
  ResultsPage& page = sim.Page();
  int vectors = 0;
  for (std::size_t line = 0; line < page.Contents().size(); ++line) {
    const ContentsItem& item = page.Contents()[line];
    if (item.ContentsItemType != kVector) {
      continue;
    }
    const std::string name = sim.Model().PV(item.pv).name;
    const auto var = std::find_if(solution.variables.begin(), solution.variables.end(),
                                  [&](const conv::SolutionVariable& v) { return v.name == name; });
    ASSERT_NE(var, solution.variables.end());
    SimTab table;
    std::string title;
    ASSERT_TRUE(BuildDataTable(sim.Model(), item, 4, table, title, err)) << err;
    ASSERT_EQ(table.nrow, var->size);
    ASSERT_EQ(table.ncol, columns);
    for (int r = 1; r <= table.nrow; ++r) {
      for (int c = 1; c <= table.ncol; ++c) {
        std::string expected;
        FormatSimTabNumber(EngineValue(solution, c, var->offset + r - 1), 4, '.', expected);
        EXPECT_EQ(table.Cell(r, c), expected) << name << " row " << r << " column " << c;
      }
    }
    ++vectors;
  }
  EXPECT_GT(vectors, 0);

  // Gragg 2-4-6: every component has its figures of accuracy, and the table counts them all.
  ASSERT_EQ(static_cast<std::int64_t>(sim.Accuracy().size()), solution.NumComponents());
  const SimTab& accuracy = sim.AccuracyTable();
  ASSERT_EQ(accuracy.nrow, static_cast<int>(solution.variables.size()) + 1);
  EXPECT_EQ(accuracy.Cell(accuracy.nrow, 0), "All");
  std::int64_t counted = 0;
  for (int f = 0; f <= 6; ++f) {
    counted += std::stoll(accuracy.Cell(accuracy.nrow, 3 + f));
  }
  EXPECT_EQ(counted, solution.NumComponents());
}

INSTANTIATE_TEST_SUITE_P(DemoModels, TelvariDemo, ::testing::Values("Minimal", "Trade"));

TEST(Telvari, TwoSimulationsOfTradeSideBySideWithTheirDifference) {
  test::ScriptedUserInterface ui;
  test::TempDir scratch;
  TelvariSimulation first(ui);
  TelvariSimulation second(ui);
  ErrorText err;
  ASSERT_TRUE(first.Open(Demo().trade.solution, scratch.File("1"), err)) << err;
  ASSERT_TRUE(second.Open(Demo().trade2.solution, scratch.File("2"), err)) << err;
  const std::vector<ComparedSimulation> sims{{&first.Model(), first.Label()},
                                             {&second.Model(), second.Label()}};
  SimTab table;
  std::string title;
  ASSERT_TRUE(BuildComparisonTable(sims, "TMS", 1, 4, table, title, err)) << err;
  EXPECT_EQ(title, "TMS(COM,REG,REG) [%-change]: Tariff power");
  ASSERT_EQ(table.ncol, 3);
  EXPECT_EQ(table.Cell(0, 3), "sim2 - sim1");
  // The shocked tariff powers: cut by 5 and by 10 per cent, a difference of -5.
  int shocked = 0;
  for (int r = 1; r <= table.nrow; ++r) {
    if (table.Cell(r, 0) == "food,usa,eu" || table.Cell(r, 0) == "food,asia,eu") {
      EXPECT_EQ(table.Cell(r, 1), "-5.0000");
      EXPECT_EQ(table.Cell(r, 2), "-10.0000");
      EXPECT_EQ(table.Cell(r, 3), "-5.0000");
      EXPECT_TRUE(table.Marked(r, 1));
      ++shocked;
    }
  }
  EXPECT_EQ(shocked, 2);
}

TEST(Telvari, AccuracyTableWithoutFiguresSaysSo) {
  conv::Solution solution;
  solution.cumulative.assign(3, 0);
  solution.variables.push_back({"X", "x", true, {}, 0, 3});
  SimTab table;
  ErrorText err;
  ASSERT_TRUE(BuildAccuracyTable(solution, {-1, -1, -1}, table, err)) << err;
  ASSERT_EQ(table.nrow, 1);
  EXPECT_THAT(table.Cell(1, 2), ::testing::HasSubstr("this solution has none"));
  ASSERT_TRUE(BuildAccuracyTable(solution, {6, 4, 5}, table, err)) << err;
  EXPECT_EQ(table.Cell(1, 2), "4");
  EXPECT_EQ(table.Cell(2, 9), "1");
  EXPECT_FALSE(BuildAccuracyTable(solution, {6, 4}, table, err));
}

} // namespace
} // namespace pelorin::telv
