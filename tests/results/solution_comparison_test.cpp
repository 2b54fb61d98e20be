// Simulations side by side: one variable from each in one table, with the differences from the first, the
// elements matched by their labels.
#include "results/results_model.h"
#include "results/solution_comparison.h"
#include "solution_files.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin::test {
namespace {

using ::testing::ElementsAre;

// COM (food, mfg), REG (north, south) or, in the second simulation, (north, south, east); x(COM,REG) with its
// second component exogenous, scalar gdp, dtax(REG) an ordinary change; only the first has Pm(COM).
SimFiles Simulation(bool second) {
  SimFiles files;
  files.sets = {MakeSet("COM", {"food", "mfg"}),
                MakeSet("REG", second ? std::vector<std::string>{"north", "south", "east"}
                                      : std::vector<std::string>{"north", "south"})};
  files.vars = {{"x", {1, 2}, 'p', "output by region", {{2, 2}}},
                {"gdp", {}, 'p', "real gdp", {}},
                {"dtax", {2}, 'c', "tax change", {}}};
  if (!second) {
    files.vars.push_back({"Pm", {1}, 'p', "import prices", {}});
  }
  files.levelsAvailable = true;
  files.value = [second](const SimVar&, int file, int component) {
    return file == 1 ? (second ? 2.0f : 1.0f) * static_cast<float>(component) + 0.25f : 7.0f;
  };
  return files;
}

class SolutionComparisonTest : public ::testing::Test {
protected:
  void Load(ResultsModel& model, bool isSecond) {
    const std::string folder = dir.File(isSecond ? "b" : "a");
    std::filesystem::create_directories(folder);
    const std::string sol = Simulation(isSecond).Write(folder);
    ErrorText error;
    ASSERT_TRUE(model.InitPlan(error)) << error;
    ASSERT_TRUE(model.PVLoadSol(sol, " ", std::filesystem::path(sol).replace_extension(".sli").string(), true,
                                true, error))
        << error;
  }

  std::vector<std::string> Row(const SimTab& table, int r) const {
    std::vector<std::string> cells;
    for (int c = 0; c <= table.ncol; ++c) {
      cells.push_back(table.Cell(r, c));
    }
    return cells;
  }

  TempDir dir;
  ScriptedUserInterface ui;
  ResultsModel first{ui};
  ResultsModel second{ui};
};

TEST_F(SolutionComparisonTest, SameVariableSideBySideWithItsDifference) {
  Load(first, false);
  Load(second, true);
  const std::vector<ComparedSimulation> sims{{&first, "sim1"}, {&second, "sim2"}};
  EXPECT_THAT(ComparableVariables(sims, 1), ElementsAre("dtax", "gdp", "Pm", "x"));

  SimTab table;
  std::string title;
  ErrorText error;
  ASSERT_TRUE(BuildComparisonTable(sims, "x", 1, 2, table, title, error)) << error;
  EXPECT_EQ(title, "x(COM,REG) [%-change]: output by region");
  ASSERT_EQ(table.ncol, 3);
  ASSERT_EQ(table.nrow, 6);
  EXPECT_THAT(Row(table, 0), ElementsAre("x", "sim1", "sim2", "sim2 - sim1"));
  EXPECT_THAT(Row(table, 1), ElementsAre("food,north", "1.25", "2.25", "1.00"));
  EXPECT_THAT(Row(table, 4), ElementsAre("mfg,south", "4.25", "8.25", "4.00"));
  // Elements only the second simulation has: no value and no difference for the first.
  EXPECT_THAT(Row(table, 5), ElementsAre("food,east", "n.a.", "10.25", "n.a."));
  EXPECT_THAT(Row(table, 6), ElementsAre("mfg,east", "n.a.", "12.25", "n.a."));
  // The exogenous element keeps its mark in each simulation's column, never in the difference.
  EXPECT_TRUE(table.Marked(2, 1));
  EXPECT_TRUE(table.Marked(2, 2));
  EXPECT_FALSE(table.Marked(2, 3));
  EXPECT_FALSE(table.Marked(1, 1));

  // A variable only the first holds, and a scalar.
  ASSERT_TRUE(BuildComparisonTable(sims, "pm", 1, 1, table, title, error)) << error;
  EXPECT_EQ(title, "Pm(COM) [%-change]: import prices"); // the name as the simulation spells it
  EXPECT_EQ(table.Cell(0, 0), "Pm");
  EXPECT_THAT(Row(table, 1), ElementsAre("food", "1.3", "n.a.", "n.a."));
  ASSERT_TRUE(BuildComparisonTable(sims, "gdp", 1, 2, table, title, error)) << error;
  ASSERT_EQ(table.nrow, 1);
  EXPECT_THAT(Row(table, 1), ElementsAre("1", "1.25", "2.25", "1.00"));

  // Another solution of each simulation: the pre-simulation levels.
  ASSERT_TRUE(BuildComparisonTable(sims, "dtax", 2, 0, table, title, error)) << error;
  EXPECT_THAT(Row(table, 1), ElementsAre("north", "7", "7", "0"));

  error.clear();
  EXPECT_FALSE(BuildComparisonTable(sims, "nothing", 1, 2, table, title, error));
  EXPECT_EQ(error, "No simulation holds nothing [BuildComparisonTable]");
  error.clear();
  EXPECT_FALSE(BuildComparisonTable({}, "x", 1, 2, table, title, error));
  EXPECT_EQ(error, "No simulations [BuildComparisonTable]");
}

} // namespace
} // namespace pelorin::test
