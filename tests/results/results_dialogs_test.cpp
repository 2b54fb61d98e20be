// The log tail, the accuracy summary dialog and the sets and variables inspector.
#include "results/acc_summary_dialog.h"
#include "results/inspector.h"
#include "results/log_tail.h"
#include "support/fuzz_seed.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorin::test {
namespace {

// --- Log tail ---

std::string LogOf(int lines, const std::vector<std::pair<int, std::string>>& replacements = {}) {
  std::string text;
  for (int i = 1; i <= lines; ++i) {
    std::string line = "line " + std::to_string(i);
    for (const auto& [at, replacement] : replacements) {
      if (at == i) {
        line = replacement;
      }
    }
    text += line + (i % 2 ? "\n" : "\r\n");
  }
  return text;
}

TEST(LogTail, KeepsTheLast700LinesWithANotice) {
  TempDir dir;
  const std::string log = dir.Write("solve.log", LogOf(750));
  SaveFuzzSeed("results_log", "long", ReadFileBytes(log));
  LogMemo memo;
  ErrorText error;
  ASSERT_TRUE(GetLog(log, memo, error)) << error;
  ASSERT_EQ(memo.lines.size(), 702u);
  EXPECT_EQ(memo.lines.front(), "line 51");
  EXPECT_EQ(memo.lines[699], "line 750");
  EXPECT_EQ(memo.lines[700], "Log file has 750 lines, but only the last 700 lines are shown here.");
  EXPECT_EQ(memo.lines[701], "Use View..Log to see the whole file.");
  EXPECT_EQ(memo.selStart, 0);
  EXPECT_EQ(memo.selLength, 0);
  EXPECT_TRUE(memo.visible);

  ASSERT_TRUE(GetLog(dir.Write("short.log", LogOf(699)), memo, error));
  EXPECT_EQ(memo.lines.size(), 699u);
  ASSERT_TRUE(GetLog(dir.Write("exact.log", LogOf(700)), memo, error));
  EXPECT_EQ(memo.lines.size(), 702u);

  error.clear();
  EXPECT_FALSE(GetLog(dir.File("missing.log"), memo, error));
  EXPECT_EQ(error, "Cannot open file " + dir.File("missing.log") + "[TxtOpen][GetLog]");
}

TEST(LogTail, SelectsTheLineWorthReading) {
  TempDir dir;
  LogMemo memo;
  ErrorText error;
  // The last "%%" line that does not say "Search for" wins over any error line.
  const std::string log =
      dir.Write("a.log", LogOf(5, {{2, "%% first marked"}, {3, "An ERROR here"}, {4, "%% Search for this"}}));
  SaveFuzzSeed("results_log", "marked", ReadFileBytes(log));
  ASSERT_TRUE(GetLog(log, memo, error)) << error;
  EXPECT_EQ(memo.selStart, 8);
  EXPECT_EQ(memo.selLength, 15);

  ASSERT_TRUE(GetLog(dir.Write("b.log", LogOf(5, {{2, "an Error"}, {4, "%% Search for it"}})), memo, error));
  EXPECT_EQ(memo.selStart, 8);
  EXPECT_EQ(memo.selLength, 8);

  // Only the first 80 characters of a line are kept.
  ASSERT_TRUE(GetLog(dir.Write("c.log", std::string(100, 'x') + "%%\n"), memo, error));
  EXPECT_EQ(memo.lines[0].size(), 80u);
  EXPECT_EQ(memo.selLength, 0);
}

TEST(LogTail, SelectionPositionsCountOneCharacterPerLineBreakInATextBox) {
  const std::vector<std::string> lines{"ab", "", "cde"};
  // "ab\r\n\r\ncde" against "ab\n\ncde".
  EXPECT_EQ(SingleBreakPosition(lines, 0), 0);
  EXPECT_EQ(SingleBreakPosition(lines, 2), 2);
  EXPECT_EQ(SingleBreakPosition(lines, 3), 2); // inside the first break: the end of its line
  EXPECT_EQ(SingleBreakPosition(lines, 4), 3);
  EXPECT_EQ(SingleBreakPosition(lines, 6), 4);
  EXPECT_EQ(SingleBreakPosition(lines, 9), 7);
  EXPECT_EQ(SingleBreakPosition(lines, 500), 7);
  EXPECT_EQ(SingleBreakPosition(lines, -1), 0);
  EXPECT_EQ(SingleBreakPosition({}, 3), 0);

  // The selection GetLog makes lands on the chosen line in a text box.
  LogMemo memo;
  TempDir dir;
  ErrorText error;
  ASSERT_TRUE(GetLog(dir.Write("d.log", LogOf(5, {{3, "An ERROR here"}})), memo, error)) << error;
  std::string text;
  for (const std::string& line : memo.lines) {
    text += (text.empty() ? "" : "\n") + line;
  }
  const int start = SingleBreakPosition(memo.lines, memo.selStart);
  EXPECT_EQ(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(memo.selLength)),
            "An ERROR here");
}

// --- Accuracy summary dialog ---

AccHistogram Histogram(std::array<int, 7> counts, int grade) {
  AccHistogram histogram;
  histogram.counts = counts;
  histogram.present = true;
  histogram.grade = grade;
  return histogram;
}

// Three subintervals and an overall summary without a data part.
AccSummaryRec ThreeAndOverall() {
  AccSummaryRec record;
  record.numSubintervals = 4;
  record.sub[1] = {Histogram({0, 0, 0, 0, 2, 5, 10}, 9), Histogram({0, 0, 0, 0, 0, 1, 9}, 10)};
  record.sub[2] = {Histogram({0, 0, 1, 3, 5, 5, 4}, 6), Histogram({0, 0, 4, 0, 0, 0, 0}, 3)};
  record.sub[3] = {Histogram({0, 0, 0, 0, 1, 5, 9}, 9), Histogram({0, 0, 0, 0, 0, 0, 10}, 10)};
  record.sub[4] = {Histogram({0, 0, 0, 0, 0, 3, 4}, 10), AccHistogram{}};
  record.overallFound = true;
  record.overallLevelsPos = 4;
  record.overallDataPos = -1;
  record.worstLevels = 2;
  record.worstData = 2;
  return record;
}

TEST(AccSummaryDialog, OverallWithoutDataPart) {
  ScriptedUserInterface ui;
  const AccSummaryRec record = ThreeAndOverall();
  AccSummaryDialog dialog(record, ui);
  EXPECT_EQ(dialog.State().current, 4);
  EXPECT_EQ(dialog.State().caption, "Overall Accuracy Summary (no corresponding summary for data)");
  EXPECT_EQ(dialog.State().bars, (std::array<int, 7>{0, 0, 0, 0, 0, 278, 370}));

  const AccListItem overall = dialog.ItemText(4);
  EXPECT_EQ(overall.name, "Overall");
  EXPECT_EQ(overall.variablesText, "10");
  EXPECT_EQ(overall.dataText, "-");
  EXPECT_EQ(overall.dataFace, -1);
  const AccListItem second = dialog.ItemText(2);
  EXPECT_EQ(second.name, "Subinterval 2");
  EXPECT_EQ(second.variablesText, "6 worst");
  EXPECT_EQ(second.dataText, "3 worst");
  EXPECT_EQ(dialog.ItemText(1).dataText, "10");

  // Moving to the data side moves to the worst data subinterval.
  dialog.SideChange(AccSide::Data);
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{
                "The Overall Accuracy Summary does not contain a summary for the data.\r\nWill show the "
                "worst subinterval for data accuracy\r\n which is subinterval number 2."}));
  EXPECT_EQ(dialog.State().current, 2);
  EXPECT_EQ(dialog.State().listIndex, 1);
  EXPECT_EQ(dialog.State().caption, "Accuracy Summary for Subinterval Number 2: data");
  EXPECT_EQ(dialog.State().bars, (std::array<int, 7>{0, 0, 370, 0, 0, 0, 0}));

  // Choosing the overall summary on the data side switches back to the variables.
  dialog.ListClick(3);
  EXPECT_EQ(dialog.State().side, AccSide::Variables);
  EXPECT_EQ(dialog.State().current, 4);
  dialog.ListClick(0);
  EXPECT_EQ(dialog.State().caption, "Accuracy Summary for Subinterval Number 1: variables");

  dialog.HoldLegend(true);
  EXPECT_EQ(dialog.State().dialogHeight, 296);
  EXPECT_EQ(dialog.State().stripHeight, 125);
  dialog.HoldLegend(false);
  EXPECT_EQ(dialog.State().dialogHeight, 241);
}

TEST(AccSummaryDialog, SingleSummaryAndEmptyCounts) {
  ScriptedUserInterface ui;
  AccSummaryRec record;
  record.numSubintervals = 1;
  record.sub[1].levels = Histogram({0, 0, 0, 0, 0, 0, 0}, 0);
  record.sub[1].data = Histogram({0, 0, 0, 1, 0, 0, 0}, 3);
  record.worstLevels = record.worstData = 1;
  AccSummaryDialog dialog(record, ui);
  EXPECT_EQ(dialog.ItemText(1).name, " ");
  EXPECT_EQ(dialog.ItemText(1).variablesText, "0");
  EXPECT_EQ(dialog.ItemText(1).dataText, "3");
  EXPECT_EQ(dialog.State().caption, "Accuracy Summary for whole simulation: variables");
  EXPECT_EQ(dialog.State().bars, (std::array<int, 7>{}));
  dialog.SideChange(AccSide::Data);
  EXPECT_EQ(dialog.State().bars, (std::array<int, 7>{0, 0, 0, 370, 0, 0, 0}));

  // An overall summary alone without data: the data side has nothing to show and is not taken.
  AccSummaryRec overallOnly;
  overallOnly.numSubintervals = 1;
  overallOnly.overallFound = true;
  overallOnly.overallLevelsPos = 1;
  AccSummaryDialog lone(overallOnly, ui);
  lone.SideChange(AccSide::Data);
  EXPECT_EQ(lone.State().side, AccSide::Variables);
  EXPECT_EQ(lone.State().current, 1);
  EXPECT_TRUE(ui.Texts().empty());
}

TEST(AccSummaryDialog, OpeningFromASolveLog) {
  TempDir dir;
  ScriptedUserInterface ui;
  int shown = 0;
  EXPECT_FALSE(OpenAccSummaryDialog(dir.File("solve.log"), 1, ui, [&](AccSummaryDialog&) { ++shown; }));
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Could not make accuracy summary:\r\nNo log file"}));

  const std::string log = dir.Write("solve.log", "Below are for levels values\n"
                                                 " 3 results are judged accurate to 6 figures.\n"
                                                 " 1 results are judged accurate to 4 figures.\n"
                                                 "end\n"
                                                 "NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE base\n"
                                                 " 5 results are judged accurate to 5 figures.\n"
                                                 "end\n");
  EXPECT_TRUE(OpenAccSummaryDialog(log, 1, ui, [&](AccSummaryDialog& dialog) {
    ++shown;
    EXPECT_EQ(dialog.Count(), 1);
    EXPECT_EQ(dialog.State().counts, (std::array<int, 7>{0, 0, 0, 0, 1, 0, 3}));
  }));
  EXPECT_EQ(shown, 1);
}

// --- Inspector ---

SolInfoRec InspectorInfo() {
  SolInfoRec info;
  const auto set = [](std::string name, std::string label, std::vector<std::string> elements, bool known) {
    TSetRec s;
    s.name = std::move(name);
    s.label = std::move(label);
    s.size = static_cast<int>(elements.size());
    s.ElementsKnown = known;
    if (known) {
      s.elements = std::move(elements);
    }
    return s;
  };
  info.SetData = {
      set("REG", "regions", {"north", "south"}, true), set("com", "goods", {"food", "mfg", "svc"}, true),
      set("TRAD", "traded goods", {"food", "mfg"}, true), set("UNK", "read at run time", {"a"}, false)};
  info.NumSets = 4;
  info.IsSubSet = SubsetMatrix(4);
  info.IsSubSet->Set(3, 2);
  TVarRec x;
  x.name = "x";
  x.description = "output";
  x.numArgs = 2;
  x.ArgSets = {2, 1};
  TVarRec gdp;
  gdp.name = "GDP";
  gdp.description = "real gdp";
  info.SVarData = {x, gdp};
  info.NVar = 2;
  return info;
}

TEST(Inspector, ListsSortedAndSetDetails) {
  const SolInfoRec info = InspectorInfo();
  Inspector inspector(info, kInspectorCaption, kInspectorHelp, -16,
                      [](std::string_view text) { return 7 * static_cast<int>(text.size()); });
  EXPECT_EQ(inspector.Caption(), "  Information about Sets, Subsets and Variables");
  EXPECT_TRUE(inspector.HelpVisible());
  EXPECT_EQ(inspector.ItemHeight(), 21);
  ASSERT_EQ(inspector.SetItems().size(), 4u);
  EXPECT_EQ(inspector.SetItems()[0].text, "com = goods");
  EXPECT_EQ(inspector.SetItems()[3].text, "UNK = read at run time");
  EXPECT_EQ(inspector.Members(), (std::vector<std::string>{"food", "mfg", "svc"}));
  EXPECT_EQ(inspector.Subsets(), (std::vector<std::string>{"TRAD"}));
  EXPECT_TRUE(inspector.Supersets().empty());
  inspector.ChooseSet(2);
  EXPECT_EQ(inspector.Supersets(), (std::vector<std::string>{"com"}));
  inspector.ChooseSet(3);
  EXPECT_TRUE(inspector.Members().empty());

  ASSERT_EQ(inspector.VariableItems().size(), 2u);
  EXPECT_EQ(inspector.VariableItems()[0].text, "GDP\t\treal gdp");
  EXPECT_EQ(inspector.VariableItems()[1].text, "x\tcom*REG\toutput");
  EXPECT_EQ(inspector.VariableScrollRange(), 7 * (3 + 7 + 8));
  EXPECT_TRUE(inspector.CoefficientItems().empty());
}

TEST(Inspector, CopyTextsPerPage) {
  const SolInfoRec info = InspectorInfo();
  Inspector inspector(info, "caption", 0, 12);
  EXPECT_FALSE(inspector.HelpVisible());
  ScriptedUserInterface ui;
  inspector.Copy(InspectorPage::Variables, ui);
  EXPECT_EQ(ui.clipboard, "GDP\t\treal gdp\r\nx\tcom*REG\toutput\r\n");
  inspector.ChooseSet(3);
  inspector.Copy(InspectorPage::Sets, ui);
  EXPECT_EQ(ui.clipboard,
            "com = goods\r\nREG = regions\r\nTRAD = traded goods\r\nUNK = read at run time\r\n\r\n");
  inspector.ChooseSet(1);
  EXPECT_EQ(inspector.CopyText(InspectorPage::Sets).substr(73), "\r\nnorth\r\nsouth\r\n");
  ui.clipboard = "kept";
  inspector.Copy(InspectorPage::Coefficients, ui);
  EXPECT_EQ(ui.clipboard, "kept");
}

} // namespace
} // namespace pelorin::test
