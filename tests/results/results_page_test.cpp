// The Results page's logic: screens, tool bar, sizes, clicks, the charting hand-off, Copy and Description.
#include "results/decimal_separator.h"
#include "results/results_model.h"
#include "results/results_page.h"
#include "solution_files.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorin::test {
namespace {

constexpr const char* kContentsStatus = "  Double click on an  item to view it (or arrow keys + spacebar)";

class ResultsPageTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetDecimalSeparator('.');
    page.BuildPage();
    SimFiles files = ViewSim();
    // A vector over a set that only the cumulative solution uses.
    files.sets.push_back(MakeSet("XTRA", {"x1", "x2"}));
    files.vars.push_back({"xonly", {4}, 'p', "extra", {}, true});
    sol = files.Write(dir.Path().string());
    ASSERT_TRUE(page.PVLoadSol(sol, " ", dir.File("sim.sli"), true, true, error)) << error;
    page.SetChartingLink({[this] { return chartingRuns; }, [this] { ++notified; }});
  }
  int Line(const std::string& first) const {
    const SimTab& table = page.ContentsTable();
    for (int r = 1; r <= table.nrow; ++r) {
      if (table.Cell(r, 0) == first) {
        return r;
      }
    }
    ADD_FAILURE() << "no contents line " << first;
    return 0;
  }
  int FilterIndex(const std::string& element) const {
    const auto& items = page.State().filterItems;
    return static_cast<int>(std::find(items.begin(), items.end(), element) - items.begin());
  }
  const ResultsPageState& State() const { return page.State(); }

  TempDir dir;
  ScriptedUserInterface ui;
  ResultsModel model{ui};
  ResultsPage page{model, ui};
  ErrorText error;
  std::string sol;
  bool chartingRuns = true;
  int notified = 0;
};

TEST_F(ResultsPageTest, LoadShowsContentsFilterAndSolutionChooser) {
  EXPECT_EQ(State().view, ResultsView::Contents);
  EXPECT_EQ(State().statusText, kContentsStatus);
  EXPECT_TRUE(State().formatButtonVisible);
  EXPECT_FALSE(State().decimalsVisible);
  EXPECT_FALSE(State().contentsButtonVisible);
  EXPECT_TRUE(State().solutionChooserVisible);
  EXPECT_EQ(State().solutionItems, (std::vector<std::string>{"1 (Sim)", "2 tariff"}));
  EXPECT_EQ(State().solutionIndex, 0);
  EXPECT_EQ(model.CurSol(), 1);
  ASSERT_GE(State().filterItems.size(), 3u);
  EXPECT_EQ(State().filterItems[0], "Everything");
  EXPECT_EQ(State().filterItems[1], "c1");
  EXPECT_EQ(State().filterIndex, 0);
  // 18-pixel font, row factor 12, column factor 5: 22-pixel rows, 10 pixels per character plus 10.
  EXPECT_EQ(State().contentsGrid.rowHeight, 22);
  EXPECT_EQ(State().contentsGrid.colCount, 4);
  EXPECT_EQ(State().contentsGrid.colWidths[1], (page.ContentsTable().ColWidth[1] + 1) * 10);
}

TEST_F(ResultsPageTest, OpeningALineShowsItsDataViewAndThreeDimensionsAreRefused) {
  page.OpenContentsLine(Line("t"));
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{
                "Sorry, you cannot view a 3-D matrix unless filtering on a particular element name"}));
  EXPECT_EQ(State().view, ResultsView::Contents);

  page.OpenContentsLine(Line("a1"));
  EXPECT_EQ(State().view, ResultsView::Data);
  EXPECT_EQ(State().statusText, " a1(REG) [%-change]: a one");
  EXPECT_TRUE(State().decimalsVisible);
  EXPECT_TRUE(State().contentsButtonVisible);
  EXPECT_FALSE(State().formatButtonVisible);
  EXPECT_FALSE(State().contentsGridEnabled);
  EXPECT_EQ(State().frontGrid, ResultsView::Data);
  EXPECT_EQ(State().lastClickRow, -3);
  EXPECT_FALSE(State().busy);
  EXPECT_FALSE(ui.busy);
  EXPECT_EQ(page.DataTable().Cell(1, 1), "101.20");

  page.DecimalsChange(0);
  EXPECT_EQ(page.DataTable().Cell(1, 1), "101");
  page.ContentsButtonClick();
  EXPECT_EQ(State().view, ResultsView::Contents);
  EXPECT_EQ(State().statusText, kContentsStatus);
}

TEST_F(ResultsPageTest, SizeButtonsClampAndRebuild) {
  for (int i = 0; i < 40; ++i) {
    page.SizeButtonClick(SizeKind::FontHeight, +1);
  }
  EXPECT_EQ(State().fontHeight, 50);
  EXPECT_EQ(State().statusText, " 50 12 5");
  EXPECT_TRUE(State().sizeButtonsEnabled);
  EXPECT_FALSE(State().repaintSuspended);
  EXPECT_EQ(State().contentsGrid.rowHeight, 60);
  for (int i = 0; i < 40; ++i) {
    page.SizeButtonClick(SizeKind::ColumnWidth, -1);
    page.SizeButtonClick(SizeKind::RowHeight, +1);
  }
  EXPECT_EQ(State().statusText, " 50 35 3");

  ResultsModel empty(ui);
  ResultsPage fresh(empty, ui);
  fresh.SizeButtonClick(SizeKind::FontHeight, +1);
  EXPECT_EQ(fresh.State().fontHeight, 18);
}

TEST_F(ResultsPageTest, ClicksOnTheDataGrid) {
  page.OpenContentsLine(Line("Macros"));
  ASSERT_EQ(page.DataTable().Cell(1, 0), "cpi");
  page.DataGridMouseDown(1, 2, MouseButton::Left);
  EXPECT_EQ(State().statusText, " cpi:  prices");
  EXPECT_EQ(State().lastStatusSet, " Macros");
  EXPECT_EQ(State().activeDataRow, 1);
  page.DataGridMouseDown(2, 1, MouseButton::Left);
  EXPECT_EQ(State().statusText, " gdp:  gdp");
  page.DataGridMouseDown(1, 2, MouseButton::Left);
  EXPECT_EQ(State().view, ResultsView::Data); // another cell came in between
  page.DataGridMouseDown(1, 2, MouseButton::Left);
  EXPECT_EQ(State().view, ResultsView::Contents);
}

TEST_F(ResultsPageTest, RightClickOnHeadingsHandsTablesToTheChartingProgram) {
  page.OpenContentsLine(Line("a1"));
  page.DataGridMouseDown(0, 0, MouseButton::Right);
  std::string whole;
  ASSERT_TRUE(CopySimTabToString(page.DataTable(), kSimTabWithHeadings, whole, error));
  whole.pop_back();
  EXPECT_EQ(ui.clipboard, whole);
  EXPECT_EQ(notified, 1);

  page.DataGridMouseDown(2, 0, MouseButton::Right);
  EXPECT_EQ(ui.clipboard, "a1\t(Sim)\ttariff\r\nr2\t102.20\t1102.20\r\n");
  page.DataGridMouseDown(0, 2, MouseButton::Right);
  EXPECT_EQ(ui.clipboard.substr(0, 10), "a1\tr1\tr2\tr");
  EXPECT_EQ(ui.clipboard.substr(ui.clipboard.find("\r\n")),
            "\r\ntariff\t1101.20\t1102.20\t1103.20\t1104.20\t1105.20\t1106.20\t"
            "1107.20\t1108.20\t1109.20\t1110.20\r\n");
  EXPECT_EQ(notified, 3);

  chartingRuns = false;
  page.DataGridMouseDown(0, 1, MouseButton::Right);
  EXPECT_EQ(ui.Texts().back(),
            "Error: Could not locate or launch the Vexmoor[CheckVexmoorRunning][SendChartInfo]");
  EXPECT_EQ(notified, 3);
}

TEST_F(ResultsPageTest, ElementFilterChoices) {
  page.ElementFilterChange(FilterIndex("r2"));
  EXPECT_TRUE(model.ElmFiltered);
  EXPECT_EQ(State().view, ResultsView::Contents);
  EXPECT_EQ(page.ContentsTable().Cell(1, 0), "Vector elements:");

  page.OpenContentsLine(Line("Vector elements:"));
  EXPECT_EQ(State().statusText, " Vector Elements matching r2");
  page.ElementFilterChange(FilterIndex("r3"));
  EXPECT_EQ(State().view, ResultsView::Data); // filter was on: the data view is rebuilt
  EXPECT_EQ(State().statusText, " Vector Elements matching r3");
  EXPECT_EQ(page.ContentsTable().Cell(1, 3), "matching filter: r3");

  page.ElementFilterChange(0);
  EXPECT_FALSE(model.ElmFiltered);
  EXPECT_EQ(State().view, ResultsView::Contents);
  EXPECT_EQ(page.ContentsTable().Cell(1, 0), "Macros");
}

TEST_F(ResultsPageTest, ChoosingASolutionWithoutTheFilterElementSwitchesTheFilterOff) {
  page.ElementFilterChange(FilterIndex("r2"));
  page.SolutionChooserChange(1);
  EXPECT_EQ(model.CurSol(), 2);
  EXPECT_TRUE(model.ElmFiltered); // every solution has r2
  EXPECT_EQ(State().filterItems[static_cast<std::size_t>(State().filterIndex)], "r2");

  page.SolutionChooserChange(0);
  page.ElementFilterChange(FilterIndex("x1"));
  page.OpenContentsLine(Line("Vector elements:"));
  ASSERT_EQ(State().view, ResultsView::Data);
  page.SolutionChooserChange(1);
  EXPECT_FALSE(model.ElmFiltered);
  EXPECT_EQ(State().filterIndex, 0);
  EXPECT_EQ(State().view, ResultsView::Contents);
  EXPECT_EQ(page.ContentsTable().Cell(1, 0), "Macros");
  EXPECT_EQ(State().solutionIndex, 1);
}

TEST_F(ResultsPageTest, FormatButtonGroupsVectors) {
  page.FormatButtonClick();
  EXPECT_EQ(model.ContentsFormat, 2);
  EXPECT_EQ(page.ContentsTable().Cell(2, 0), "Vectors size:");
  page.FormatButtonClick();
  EXPECT_EQ(model.ContentsFormat, 0);
  EXPECT_EQ(page.ContentsTable().Cell(2, 0), "a1");
}

TEST_F(ResultsPageTest, DescriptionAndCopy) {
  page.DescriptionButtonClick();
  EXPECT_EQ(
      ui.Texts().back(),
      "Verbal description of simulation was:\r\nA test simulation.\r\nThere are no levels solutions "
      "available "
      "on the SL4 file.\r\nThere are 1 subtotals available on the SL4 file, as follows:\r\n1: tariff\r\nThis "
      "solution shows %-changes or changes in model variables.");
  EXPECT_EQ(ui.messages.back().kind, MessageKind::Information);

  ASSERT_TRUE(page.Copy(error)) << error;
  std::string text;
  ASSERT_TRUE(CopySimTabToString(page.ContentsTable(), kSimTabWholeTable, text, error));
  text.pop_back();
  EXPECT_EQ(ui.clipboard, text);
  EXPECT_EQ(ui.clipboard.substr(0, 22), "Variable\tSize\tNo.\tName");

  ResultsModel empty(ui);
  ResultsPage fresh(empty, ui);
  error.clear();
  EXPECT_FALSE(fresh.Copy(error));
  EXPECT_EQ(error, "Nothing to copy");
  fresh.DescriptionButtonClick();
  EXPECT_EQ(ui.Texts().back(), "No solutions are open.");
}

TEST(ResultsPageLayout, ToolBarControlsFollowEachOther) {
  const std::vector<ToolBarSlot> slots = ToolBarLayout(21);
  ASSERT_EQ(slots.size(), 6u);
  EXPECT_EQ(slots[0].left, 1);
  EXPECT_EQ(slots[0].width, 105);
  EXPECT_EQ(slots[1].left, 108);
  EXPECT_EQ(slots[1].width, 32);
  EXPECT_EQ(slots[5].left, 1 + 105 + 2 + 32 + 2 + 42 + 2 + 63 + 2 + 84 + 2);
}

TEST_F(ResultsPageTest, FailedLoadLeavesNothingShown) {
  EXPECT_FALSE(page.PVLoadSol(dir.File("none.sol"), " ", dir.File("none.sli"), true, true, error));
  EXPECT_EQ(State().view, ResultsView::None);
  error.clear();
  EXPECT_FALSE(page.Copy(error));
}

} // namespace
} // namespace pelorin::test
