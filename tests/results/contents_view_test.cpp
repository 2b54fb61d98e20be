// The contents list, its table and the data views of every kind of line.
#include "datafiles/dyn_arrays.h"
#include "results/contents_view.h"
#include "results/decimal_separator.h"
#include "results/results_model.h"
#include "solution_files.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorin::test {
namespace {

using Row = std::vector<std::string>;

// REG has 10 regions, COM 10 commodities, SRC 2 sources. Four vectors over REG, two over COM, two scalars,
// a matrix and a 3-dimensional variable; the cumulative file also holds a scalar and a vector that the
// subtotal file lacks.
class ContentsViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetDecimalSeparator('.');
    files = ViewSim();
    const std::string sol = files.Write(dir.Path().string());
    ASSERT_TRUE(model.PVLoadSol(sol, "run", dir.File("sim.sli"), true, true, error)) << error;
    ASSERT_EQ(model.Nsol(), 2);
  }

  Row TableRow(const SimTab& table, int r) const {
    Row row;
    for (int c = 0; c <= table.ncol; ++c) {
      row.push_back(table.Cell(r, c));
    }
    return row;
  }
  std::vector<Row> Rows(const SimTab& table) const {
    std::vector<Row> rows;
    for (int r = 0; r <= table.nrow; ++r) {
      rows.push_back(TableRow(table, r));
    }
    return rows;
  }
  void Contents() {
    ASSERT_TRUE(model.ElmFiltered ? MakeFilteredContentsList(model, list, contents, error)
                                  : MakeContentsList(model, list, contents, error))
        << error;
  }
  void Filter(const std::string& element) {
    model.ElmFiltered = true;
    model.FilterElement = element;
    model.SetFilterPositions(element);
  }
  // Builds the view of the contents line whose first cell is `first`.
  void Open(const std::string& first) {
    for (int r = 1; r <= contents.nrow; ++r) {
      if (contents.Cell(r, 0) == first) {
        ASSERT_TRUE(BuildDataTable(model, list[static_cast<std::size_t>(r - 1)], 2, data, title, error))
            << error;
        return;
      }
    }
    FAIL() << "no contents line " << first;
  }

  SimFiles files;
  TempDir dir;
  ScriptedUserInterface ui;
  ResultsModel model{ui};
  ErrorText error;
  ContentsList list;
  SimTab contents;
  SimTab data;
  std::string title;
};

TEST_F(ContentsViewTest, GroupedFormatPutsScalarsThenVectorGroupsThenSingles) {
  model.ContentsFormat = 2;
  Contents();
  EXPECT_EQ(
      Rows(contents),
      (std::vector<Row>{{"Variable", "Size", "No.", "Name"},
                        {"Macros", "1", "3", "Scalar variables (just one element)"},
                        {"Vectors size:", "10 COM", "2", "Vector variables ranging over set COM (size 10 )"},
                        {"Vectors size:", "10 REG", "5", "Vector variables ranging over set REG (size 10 )"},
                        {"m", "COM*REG", "1", "flows"},
                        {"t", "COM*REG*SRC", "1", "trade"}}));
  EXPECT_EQ(list[1].key, "B0010COM");
  EXPECT_EQ(list[4].label, "10*10*2 ");
  EXPECT_EQ(contents.ColChars[3],
            static_cast<int>(std::string("Vector variables ranging over set COM (size 10 )").size()));
}

TEST_F(ContentsViewTest, PlainFormatListsEveryVectorAlphabetically) {
  Contents();
  std::vector<std::string> firsts;
  for (int r = 1; r <= contents.nrow; ++r) {
    firsts.push_back(contents.Cell(r, 0));
  }
  EXPECT_EQ(firsts,
            (std::vector<std::string>{"Macros", "a1", "a2", "a3", "a4", "b1", "b2", "m", "t", "vonly"}));
  EXPECT_EQ(TableRow(contents, 2), (Row{"a1", "REG", "1", "a one"}));
  EXPECT_EQ(list[1].label, "10");
}

TEST_F(ContentsViewTest, NoVariableInTheSolutionGivesTheNoDataLine) {
  ResultsModel empty(ui);
  ASSERT_TRUE(MakeContentsList(empty, list, contents, error)) << error;
  EXPECT_EQ(Rows(contents), (std::vector<Row>{{"Variable", "Size", "No.", "Name"},
                                              {" ", " ", " ", "No data matching current criteria"}}));
  EXPECT_FALSE(MakeFilteredContentsList(empty, list, contents, error));
  EXPECT_EQ(error, "ElmFiltered set wrong[MakeFilteredContentsList]");
}

TEST_F(ContentsViewTest, FilteredContentsSliceMatricesAndGroupVectors) {
  Filter("R2");
  Contents();
  EXPECT_EQ(Rows(contents), (std::vector<Row>{{"Variable", "Size", "No.", "Name"},
                                              {"Vector elements:", "1", "5", "matching filter: R2"},
                                              {"m[*,R2]", "COM", "1", "flows"},
                                              {"t[*,R2,*]", "COM*SRC", "1", "trade"}}));
  model.ContentsFormat = 2;
  Contents();
  EXPECT_EQ(TableRow(contents, 2), (Row{"Matrix row/cols size:", "10 COM", "1", "matching filter: R2"}));

  Filter("imp");
  Contents();
  EXPECT_EQ(TableRow(contents, 1), (Row{"t[*,*,imp]", "COM*REG", "1", "trade"}));
  Filter("nothing");
  Contents();
  EXPECT_EQ(TableRow(contents, 1), (Row{" ", " ", " ", "No data matching current criteria"}));
  model.ElmFiltered = true;
  EXPECT_FALSE(MakeContentsList(model, list, contents, error));
}

TEST_F(ContentsViewTest, MacrosShowEveryScalarInEverySolution) {
  Contents();
  Open("Macros");
  EXPECT_EQ(title, "Macros");
  EXPECT_EQ(Rows(data), (std::vector<Row>{{"Macros", "(Sim)", "tariff"},
                                          {"cpi", "101.30", "1101.30"},
                                          {"gdp", "101.30", "1101.30"},
                                          {"onlyc", "101.50", "n.a."}}));
}

TEST_F(ContentsViewTest, VectorViewHasAColumnPerSolutionHoldingIt) {
  Contents();
  Open("a2");
  EXPECT_EQ(title, "a2(REG) [%-change]: a two");
  EXPECT_EQ(TableRow(data, 0), (Row{"a2", "(Sim)", "tariff"}));
  EXPECT_EQ(TableRow(data, 10), (Row{"r10", "110.20", "1110.20"}));
  Open("vonly");
  EXPECT_EQ(TableRow(data, 0), (Row{"vonly", "(Sim)"}));
  Open("b1");
  EXPECT_EQ(title, "b1(COM) [change]: b one");
}

TEST_F(ContentsViewTest, MatrixViewCarriesExogenousMarks) {
  Contents();
  Open("m");
  EXPECT_EQ(title, "m(COM,REG) [%-change]: flows");
  ASSERT_EQ(data.nrow, 10);
  ASSERT_EQ(data.ncol, 10);
  EXPECT_EQ(TableRow(data, 0)[0], "m");
  EXPECT_EQ(data.Cell(0, 2), "r2");
  EXPECT_EQ(data.Cell(3, 0), "c3");
  EXPECT_EQ(data.Cell(3, 1), "103.10"); // component 3: c3, r1
  EXPECT_EQ(data.Cell(2, 2), "112.10"); // component 12: c2, r2
  EXPECT_TRUE(data.Marked(3, 1));
  EXPECT_TRUE(data.Marked(4, 1));
  EXPECT_FALSE(data.Marked(5, 1));
}

TEST_F(ContentsViewTest, GroupViewsTakeTheirMembersFromTheCurrentSolution) {
  model.ContentsFormat = 2;
  Contents();
  Open("Vectors size:"); // COM first
  EXPECT_EQ(title, "Vectors size: 10 COM");
  EXPECT_EQ(TableRow(data, 0), (Row{"10 COM", "b1", "b2"}));
  EXPECT_EQ(TableRow(data, 1), (Row{"c1", "101.20", "101.20"}));

  Filter("r3");
  Contents();
  Open("Vector elements:");
  EXPECT_EQ(title, "Vector Elements matching r3");
  EXPECT_EQ(TableRow(data, 0), (Row{"V[r3]", "(Sim)", "tariff"}));
  EXPECT_EQ(TableRow(data, 5), (Row{"vonly", "103.50", "n.a."}));
  Open("Matrix row/cols size:");
  EXPECT_EQ(title, "Matrix row/cols size: 10 COM, matching \"r3\"");
  EXPECT_EQ(TableRow(data, 0), (Row{"M[r3]", "m[*,r3]"}));
  EXPECT_EQ(TableRow(data, 2), (Row{"c2", "122.10"}));
}

TEST_F(ContentsViewTest, SlicesAtTheFilterElement) {
  Filter("c2");
  Contents();
  Open("m[c2,*]");
  EXPECT_EQ(title, "m(COM,REG) [%-change]: flows: \"c2\" row");
  EXPECT_EQ(TableRow(data, 0), (Row{"m[c2*]", "(Sim)", "tariff"}));
  EXPECT_EQ(TableRow(data, 3), (Row{"r3", "122.10", "1122.10"}));
  Open("t[c2,*,*]");
  EXPECT_EQ(title, "t(c2,*,*) [change]: trade");
  EXPECT_EQ(TableRow(data, 0), (Row{"t[c2**]", "dom", "imp"}));
  EXPECT_EQ(TableRow(data, 2), (Row{"r2", "112.10", "212.10"}));
}

TEST_F(ContentsViewTest, ViewsWithoutDataAndLinesWithoutViews) {
  ContentsItem item;
  item.ContentsItemType = kVector;
  item.pv = model.FindPV("vonly");
  model.SetCurSol(2);
  ASSERT_TRUE(BuildDataTable(model, item, 2, data, title, error)) << error;
  EXPECT_EQ(title, "No data matching current contents item for current solution");
  EXPECT_EQ(Rows(data), (std::vector<Row>{{"2", "1"}, {"1", "n.a."}}));

  item.ContentsItemType = kThreeDim;
  EXPECT_FALSE(BuildDataTable(model, item, 2, data, title, error));
  EXPECT_EQ(error, "Invalid ContentsItemType[BuildDataTable]");
  error.clear();
  item.ContentsItemType = kThreeDimSlice;
  item.filterDim = 4;
  EXPECT_FALSE(BuildDataTable(model, item, 2, data, title, error));
  EXPECT_EQ(error, "Dim must be 1, 2, or 3[BuildDataTable]");
}

TEST_F(ContentsViewTest, ViewsBeyondTheMemoryAvailableAreRefused) {
  Contents();
  // 2 KB free: the 10 x 10 matrix's numbers would fit, its labels and texts would not.
  SetMemoryStatusSource([] { return MemoryStatus{(kMemoryReserveKb + 2) << 10, 0}; });
  ContentsItem item = list.front();
  for (const ContentsItem& line : list) {
    if (line.ContentsItemType == kMatrix) {
      item = line;
    }
  }
  const bool built = BuildDataTable(model, item, 2, data, title, error);
  SetMemoryStatusSource(nullptr);
  EXPECT_FALSE(built);
  EXPECT_EQ(error, "Not enough memory for a view of 10 rows and 10 columns[Allocs][BuildDataTable]");
  error.clear();
  ASSERT_TRUE(BuildDataTable(model, item, 2, data, title, error)) << error;
  EXPECT_EQ(data.nrow, 10);
}

TEST(ContentsViewParts, ColumnLabelsShortenOnlyWhenTheyAgree) {
  const auto shorten = [](std::vector<std::string> labels) {
    ShortenColumnLabels(labels);
    return labels;
  };
  EXPECT_EQ(shorten({"BASE-2011", "base-2012"}), (std::vector<std::string>{"2011", "2012"}));
  EXPECT_EQ(shorten({"SIM-1999", "SIM-2000"}), (std::vector<std::string>{"SIM-1999", "SIM-2000"}));
  EXPECT_EQ(shorten({"A-2011", "AB-2012"}), (std::vector<std::string>{"A-2011", "AB-2012"}));
  EXPECT_EQ(shorten({"X-2011x", "x-2-2012"}), (std::vector<std::string>{"X-2011x", "x-2-2012"}));
  EXPECT_EQ(shorten({"X-201", "X-2012"}), (std::vector<std::string>{"X-201", "X-2012"}));
  EXPECT_EQ(shorten({"run-2030", "RUN-3040"}), (std::vector<std::string>{"run-2030", "RUN-3040"}));
  EXPECT_EQ(shorten({"run-2030-high", "RUN-2031-low"}), (std::vector<std::string>{"2030-high", "2031-low"}));
  EXPECT_EQ(Pad4(7), "0007");
  EXPECT_EQ(Pad4(12345), "12345");
}

} // namespace
} // namespace pelorin::test
