// The open solutions and the variable plan, loaded from files written by the project's own writers.
#include "results/results_model.h"
#include "solution_files.h"
#include "support/fuzz_seed.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>

namespace pelorin::test {
namespace {

// Sets: COM (food, mfg, Svc), REG (north, South); variables over them.
SimFiles SmallSim() {
  SimFiles files;
  files.sets = {MakeSet("COM", {"food", "mfg", "Svc"}), MakeSet("REG", {"north", "South"}),
                MakeSet("UNUSED", {"zz1", "zz2"})};
  files.vars = {
      {"x", {1, 2}, 'p', "output by region", {{2, 3}}},
      {"gdp", {}, 'p', "real gdp", {}},
      {"Pm", {1}, 'p', "import prices", {{1, 3}}},
      {"dtax", {2}, 'c', "tax change", {}},
  };
  return files;
}

class ResultsModelTest : public ::testing::Test {
protected:
  std::string Load(const SimFiles& files, bool subtotals = true, bool levels = true,
                   const std::string& display = "run1") {
    const std::string sol = files.Write(dir.Path().string());
    error.clear();
    loaded = model.PVLoadSol(sol, display, ChangeExt(sol, ".sli"), subtotals, levels, error);
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    SaveFuzzSeed("results_load", test + "_" + std::to_string(seed++),
                 LoadFuzzInput(ReadFileBytes(ChangeExt(sol, ".sli")), ReadFileBytes(sol)));
    return sol;
  }
  static std::string ChangeExt(const std::string& path, const std::string& ext) {
    return std::filesystem::path(path).replace_extension(ext).string();
  }
  std::vector<std::string> PlanNames() const {
    std::vector<std::string> names;
    for (int i = 1; i <= model.PlanCount(); ++i) {
      names.push_back(model.PV(model.VarOrder(i)).name);
    }
    return names;
  }
  const ResultHeader* Var(const std::string& name, int s) const {
    return model.Header(model.FindPV(name), s);
  }

  TempDir dir;
  ScriptedUserInterface ui;
  ResultsModel model{ui};
  ErrorText error;
  bool loaded = false;
  int seed = 0;
};

TEST_F(ResultsModelTest, CumulativeSolutionMergesSummaryIntoHeaders) {
  Load(SmallSim());
  ASSERT_TRUE(loaded) << error;
  ASSERT_EQ(model.Nsol(), 1);
  EXPECT_EQ(model.CurSol(), 1);
  EXPECT_EQ(model.Sol(1).SolLabel, "run1");
  EXPECT_EQ(PlanNames(), (std::vector<std::string>{"dtax", "gdp", "Pm", "x"}));

  const ResultHeader* x = Var("X", 1);
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x->nDim, 2);
  EXPECT_EQ(x->changeType, 'p');
  EXPECT_EQ(x->DimText(true), "COM*REG");
  EXPECT_EQ(x->DimText(false), "3*2");
  EXPECT_EQ(x->CleanLongName(), "output by region");
  EXPECT_EQ(x->exoMarks, (std::vector<std::uint8_t>{0, 1, 1, 0, 0, 0}));
  EXPECT_EQ(x->ElementLabel(2, 2), "South");
  EXPECT_EQ(Var("gdp", 1)->nDim, 0);
  EXPECT_TRUE(model.PV(model.FindPV("gdp")).ScalarSomewhere);
  EXPECT_EQ(Var("dtax", 1)->changeType, 'c');

  // The unused set is freed; the element list holds each name once, sorted ignoring case.
  const OpenSolution& sol = model.Sol(1);
  EXPECT_FALSE(sol.sets[3].present);
  EXPECT_EQ(sol.ElmNames, (std::vector<std::string>{"food", "mfg", "north", "South", "Svc"}));
  EXPECT_EQ(sol.SolDesc.lines,
            (std::vector<std::string>{"A test simulation.",
                                      "There are no levels solutions available on the SL4 file.",
                                      "No subtotals are available on the SL4 file.",
                                      "This solution shows %-changes or changes in model variables."}));
}

TEST_F(ResultsModelTest, LevelsAndSubtotalsBecomeSolutionsOfTheirOwn) {
  SimFiles files = SmallSim();
  files.levelsAvailable = true;
  files.subtotalsAvailable = 2;
  files.subtotalDescriptions = {"  tariff  ", "a description far longer than fifteen"};
  Load(files);
  ASSERT_TRUE(loaded) << error;
  ASSERT_EQ(model.Nsol(), 6);
  EXPECT_EQ(model.CurSol(), 1);
  std::vector<std::string> labels;
  for (int s = 1; s <= model.Nsol(); ++s) {
    labels.push_back(model.Sol(s).SolLabel);
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"(Sim)", "Pre run1", "Post run1", "Chng run1", "tariff",
                                              "Subtotal 2"}));
  const std::vector<std::string>& cumulative = model.Sol(1).SolDesc.lines;
  EXPECT_EQ(std::vector<std::string>(cumulative.begin() + 1, cumulative.end()),
            (std::vector<std::string>{"Levels solutions are available on the SL4 file (and shown here).",
                                      "There are 2 subtotals available on the SL4 file, as follows:",
                                      "1:   tariff  ", "2: a description far longer than fifteen",
                                      "This solution shows %-changes or changes in model variables."}));
  EXPECT_EQ(model.Sol(3).SolDesc.lines.back(), "These are post-simulation levels values.");
  const std::vector<std::string>& subtotal = model.Sol(5).SolDesc.lines;
  EXPECT_EQ(subtotal[subtotal.size() - 2], "Description of this subtotal:");
  EXPECT_EQ(subtotal.back(), "  tariff  ");
  // Every solution holds every variable, with the values of its own file.
  EXPECT_EQ(model.PV(model.FindPV("x")).SolCount, 6);
  EXPECT_FLOAT_EQ(Var("Pm", 3)->Values()[1], 302.2f);
  EXPECT_FLOAT_EQ(Var("Pm", 6)->Values()[0], 1201.2f);
}

TEST_F(ResultsModelTest, SummaryFailuresNameTheFileAndEveryRoutine) {
  SimFiles files = SmallSim();
  files.stamp = false;
  Load(files, true, true, "D");
  EXPECT_FALSE(loaded);
  EXPECT_EQ(error, "SLI file made by obsolete PRAXOL\r\nFile: D\r\n [GatherSolutionInformation] [PVLoadSol]");

  files = SmallSim();
  files.cumulative = 'n';
  Load(files, true, true, "D");
  EXPECT_FALSE(loaded);
  EXPECT_EQ(error, "No solutions can be shown\r\nFile: D\r\n [GatherSolutionInformation] [PVLoadSol]");
  ASSERT_EQ(ui.Texts().size(), 1u);
  EXPECT_EQ(
      ui.Texts()[0],
      "This Solution file (presumably produced by TIRMO) does not contain a cumulative solution\r\n and was "
      "produced by Release 8 or earlier of KALVIMO.\r\nSo Telvari cannot show any of the results from this "
      "Solution file.");
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Information);

  error.clear();
  EXPECT_FALSE(model.PVLoadSol(dir.File("sim.sol"), "D", dir.File("sim.txt"), true, true, error));
  EXPECT_EQ(error, "Bad suffix for SLI file " + dir.File("sim.txt") +
                       "\r\nFile: D\r\n [GatherSolutionInformation] [PVLoadSol]");
  error.clear();
  EXPECT_FALSE(model.PVLoadSol(dir.File("sim.har"), "D", dir.File("sim.SLI"), true, true, error));
  EXPECT_EQ(error.rfind("Bad suffix for SOL file " + dir.File("sim.har"), 0), 0u) << error;
}

TEST_F(ResultsModelTest, MissingLevelsFileFailsAfterTheCumulativeSolution) {
  SimFiles files = SmallSim();
  files.levelsAvailable = true;
  const std::string sol = Load(files);
  ASSERT_TRUE(loaded) << error;
  std::filesystem::remove(ChangeExt(sol, ".SO3"));
  error.clear();
  EXPECT_FALSE(model.PVLoadSol(sol, " ", ChangeExt(sol, ".sli"), true, true, error));
  EXPECT_EQ(error, "Did not find one of the 3 SOL files containing levels results:\r\n" +
                       ChangeExt(sol, ".SO3") +
                       "\r\n\r\nFile:  \r\n [GatherSolutionInformation] [PVLoadSol]");
  EXPECT_EQ(model.Nsol(), 1);
}

TEST_F(ResultsModelTest, LevelsAndSubtotalsNotAvailableOrNotWanted) {
  SimFiles files = SmallSim();
  files.subtotalsAvailable = 3;
  files.subtotalsMade = 0;
  Load(files);
  ASSERT_TRUE(loaded) << error;
  EXPECT_EQ(model.Nsol(), 1);
  const std::vector<std::string>& lines = model.Sol(1).SolDesc.lines;
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end() - 1),
            (std::vector<std::string>{"There are no levels solutions available on the SL4 file.",
                                      "There are 3 subtotals available on the SL4 file",
                                      " but none are shown here."}));

  // Levels that were not converted are described as not shown and not looked for.
  files = SmallSim();
  files.levelsAvailable = true;
  files.levelsShown = 0;
  files.writeLevels = false;
  Load(files);
  ASSERT_TRUE(loaded) << error;
  EXPECT_EQ(model.Nsol(), 1);
  EXPECT_EQ(model.Sol(1).SolDesc.lines[1],
            "Levels solutions are available on the SL4 file (but are not shown here).");

  // The settings can leave both out.
  files = SmallSim();
  files.levelsAvailable = true;
  files.subtotalsAvailable = 1;
  Load(files, false, false);
  ASSERT_TRUE(loaded) << error;
  EXPECT_EQ(model.Nsol(), 1);
}

TEST_F(ResultsModelTest, MissingSubtotalFileRegistersNothingAndIsDescribed) {
  SimFiles files = SmallSim();
  files.subtotalsAvailable = 3;
  files.subtotalDescriptions = {"one", "two", "three"};
  files.skipSubtotalFiles = {2};
  const std::string sol = Load(files);
  ASSERT_TRUE(loaded) << error;
  ASSERT_EQ(model.Nsol(), 3);
  EXPECT_EQ(model.Sol(2).SolLabel, "one");
  EXPECT_EQ(model.Sol(3).SolLabel, "three");
  const std::string note = "Subtotal 2 is not shown: its file " + ChangeExt(sol, ".SU2") + " was not found.";
  for (int s = 1; s <= 3; ++s) {
    const auto& lines = model.Sol(s).SolDesc.lines;
    EXPECT_NE(std::find(lines.begin(), lines.end(), note), lines.end()) << s;
  }
}

TEST_F(ResultsModelTest, TwoHeadersForOneVariableNameFailTheLoad) {
  SimFiles files = SmallSim();
  SimVar twin{"PM", {1}, 'p', "twin", {}};
  files.extraHeaders.push_back(VariableHeader(files, twin, 99, 1));
  Load(files, true, true, "D");
  EXPECT_FALSE(loaded);
  EXPECT_EQ(error, "Header should be nil for PM, sol 1[AddVarToPlan][MergeSoltoFmt]\r\nFile: D\r\n "
                   "[GatherSolutionInformation] [PVLoadSol]");
  // What was registered before the failure stays open.
  EXPECT_EQ(model.Nsol(), 1);
}

TEST_F(ResultsModelTest, HeadersOfMoreThanThreeDimensionsAreDropped) {
  SimFiles files = SmallSim();
  files.extraHeaders.push_back(MakeReals("BIG4", "big4 # four dims #",
                                         {SizeDim(2), SizeDim(2), SizeDim(2), SizeDim(2)},
                                         std::vector<float>(16, 1.0f)));
  Load(files);
  ASSERT_TRUE(loaded) << error;
  EXPECT_EQ(model.FindPV("big4"), 0);
  EXPECT_EQ(model.PlanCount(), 4);
}

TEST_F(ResultsModelTest, WarningListsOfPercentChangesAndNaN) {
  SimFiles files;
  files.sets = {MakeSet("REG", {"r1", "r2"})};
  for (int i = 1; i <= 11; ++i) {
    files.vars.push_back({"p" + std::to_string(100 + i), {1}, 'p', "falls", {}});
  }
  files.vars.push_back({"chg", {1}, 'c', "ordinary", {}});
  files.vars.push_back({"bad", {1}, 'c', "not finite", {}});
  files.value = [](const SimVar& var, int, int component) {
    if (var.name == "bad") {
      return std::numeric_limits<float>::quiet_NaN();
    }
    return component == 1 ? -50.0f : -120.0f;
  };
  Load(files);
  ASSERT_TRUE(loaded) << error;
  const std::vector<std::string>& lines = model.Sol(1).SolDesc.lines;
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[1], "Following 11 variables contain elements <=-100 (%change sign):");
  // Met from the last header to the first (headers are sorted by their names in the file).
  EXPECT_EQ(lines[2], "  p111  p110  p109  p108  p107  p106  p105  p104  p103\r\n    p102  p101");
  EXPECT_EQ(lines[3], "Following 1 variables contain NaN [eg, log(-1)] values :");
  EXPECT_EQ(lines[4], "  bad");
}

TEST_F(ResultsModelTest, ClosingASolutionMovesTheLaterOnesDown) {
  SimFiles files = SmallSim();
  files.subtotalsAvailable = 3;
  files.subtotalDescriptions = {"one", "two", "three"};
  // Not in the summary, so it stays unmerged; one value over no set still makes it a scalar.
  files.extraHeaders.push_back(MakeReals("ONLY", "onlyin # only in the cumulative #", {SizeDim(1)}, {5.0f}));
  Load(files);
  ASSERT_TRUE(loaded) << error;
  ASSERT_EQ(model.Nsol(), 4);
  EXPECT_TRUE(model.PV(model.FindPV("onlyin")).ScalarSomewhere);
  model.FilterElement = "SOUTH";
  model.SetFilterPositions("SOUTH");
  model.Sol(4).FilterPos[2] = 7; // marks solution 4's filter positions
  const ResultHeader* three = Var("x", 3);
  const ResultHeader* four = Var("x", 4);
  model.SetCurSol(4);

  ASSERT_TRUE(model.ClearSol(2, error)) << error;
  ASSERT_EQ(model.Nsol(), 3);
  EXPECT_EQ(model.Sol(2).SolLabel, "two");
  EXPECT_EQ(model.Sol(3).SolLabel, "three");
  EXPECT_EQ(model.Sol(3).SolDesc.lines.back(), "three");
  EXPECT_EQ(model.Sol(3).FilterPos[2], 7);
  EXPECT_EQ(Var("x", 2), three);
  EXPECT_EQ(Var("x", 3), four);
  EXPECT_EQ(model.PV(model.FindPV("x")).SolCount, 3);
  EXPECT_EQ(model.CurSol(), 3);

  ASSERT_TRUE(model.ClearSol(1, error)) << error;
  EXPECT_EQ(model.PV(model.FindPV("onlyin")).SolCount, 0);
  EXPECT_FALSE(model.PV(model.FindPV("onlyin")).ScalarSomewhere);
  EXPECT_FALSE(model.ClearSol(3, error));
}

TEST_F(ResultsModelTest, FilterPositionsFollowEachSolutionsSets) {
  Load(SmallSim());
  ASSERT_TRUE(loaded) << error;
  model.SetFilterPositions("south");
  int position = 0;
  EXPECT_TRUE(model.ContainsFilterElement(model.FindPV("x"), 1, 2, position));
  EXPECT_EQ(position, 2);
  EXPECT_FALSE(model.ContainsFilterElement(model.FindPV("x"), 1, 1, position));
  EXPECT_TRUE(model.ContainsFilterElement(model.FindPV("dtax"), 1, 1, position));
  model.SetFilterPositions("nowhere");
  EXPECT_FALSE(model.ContainsFilterElement(model.FindPV("dtax"), 1, 1, position));
}

TEST_F(ResultsModelTest, PlanKeepsNamesOfEarlierLoadsAndRefusesA2001stName) {
  SimFiles files;
  files.sets = {MakeSet("ONE", {"a"})};
  for (int i = 0; i < kMaxPlanVars; ++i) {
    files.vars.push_back({"v" + std::to_string(i), {}, 'c', "d", {}});
  }
  files.value = [](const SimVar&, int, int) { return 1.0f; };
  Load(files);
  ASSERT_TRUE(loaded) << error;
  EXPECT_EQ(model.PlanCount(), kMaxPlanVars);

  SimFiles more = SmallSim();
  more.vars.resize(2);
  more.vars[0].name = "v7";  // known already
  more.vars[1].name = "new"; // would be the 2001st
  Load(more, true, true, "D");
  EXPECT_FALSE(loaded);
  EXPECT_EQ(error, "Too many variables: Max is 2000.[AddVarToPlan][MergeSoltoFmt]\r\nFile: D\r\n "
                   "[GatherSolutionInformation] [PVLoadSol]");
  EXPECT_EQ(model.PlanCount(), kMaxPlanVars);
  EXPECT_EQ(model.FindPV("new"), 0);
  EXPECT_EQ(model.PV(model.FindPV("v8")).SolCount, 0);
  ASSERT_TRUE(model.SetVarOrder(error)) << error;
}

TEST(ResultsModelParts, ElementListAndWarningTextAndLongNames) {
  std::vector<SolSet> sets(3);
  sets[1] = {"A", {"b", "A", "c"}, true, true};
  sets[2] = {"B", {"a", "B", "d"}, true, true};
  std::vector<std::string> names;
  ErrorText error;
  ASSERT_TRUE(BuildElementList(sets, names, error)) << error;
  EXPECT_EQ(names, (std::vector<std::string>{"A", "b", "c", "d"}));
  EXPECT_FALSE(BuildElementList(sets, names, error));
  EXPECT_EQ(error, "ElmNames<>nil[BuildElementList]");

  sets[2].hasElements = false;
  names.clear();
  error.clear();
  EXPECT_FALSE(BuildElementList(sets, names, error));
  EXPECT_EQ(error, "nil setelms, i: 2[BuildElementList]");
  sets[2] = {"B", {"x", ""}, true, true};
  error.clear();
  EXPECT_FALSE(BuildElementList(sets, names, error));
  EXPECT_EQ(error, "nil setelms^[j], i: 2 j:2[BuildElementList]");

  EXPECT_EQ(WarningListText({}), "");
  EXPECT_EQ(WarningListText({"a", "b"}), "  a  b");

  EXPECT_EQ(CleanLongName("  plain text "), "plain text");
  EXPECT_EQ(CleanLongName("x # real output #"), "real output");
  EXPECT_EQ(CleanLongName("x # a # b"), "a # b");
  EXPECT_EQ(CleanLongName("#"), "");
}

} // namespace
} // namespace pelorin::test
