#include "datafiles/dyn_arrays.h"
#include "results/decimal_separator.h"
#include "results/sim_tab.h"
#include "support/scripted_ui.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

// Keeps the tables' decimal separator at "." for a test and restores the previous one afterwards.
class SimTabTest : public ::testing::Test {
protected:
  void SetUp() override {
    saved_ = DecimalSeparator();
    SetDecimalSeparator('.');
  }
  void TearDown() override { SetDecimalSeparator(saved_); }

  // A 2 x 2 table with headings: corner "C", columns "A" "B", rows "x" "y", values 1..4.
  static SimTab TwoByTwo() {
    SimTab table;
    ErrorText error;
    const std::vector<float> values{1, 2, 3, 4};
    const std::vector<std::string> cols{"A", "B"};
    const std::vector<std::string> rows{"x", "y"};
    R2TableSource source{.matrix = values, .colLabels = cols, .rowLabels = rows, .corner = "C"};
    EXPECT_TRUE(MakeSimpleR2Table(table, source, 0, 2, 2, error)) << error;
    return table;
  }

  ErrorText error;

private:
  char saved_ = '.';
};

std::string Format(float value, int decimals, char separator = '.') {
  std::string text;
  FormatSimTabNumber(value, decimals, separator, text);
  return text;
}

TEST_F(SimTabTest, InitGivesEmptyCellsAndRefusesNegativeSizesLeavingTheTable) {
  SimTab table;
  ASSERT_TRUE(InitSimTab(table, 2, 3, error));
  EXPECT_EQ(table.Contents.size(), 12u);
  EXPECT_EQ(table.ColChars.size(), 4u);
  EXPECT_EQ(table.Cell(2, 3), "");
  EXPECT_FALSE(table.HasMarks());
  ASSERT_TRUE(SetSimTabString(table, 2, 3, "kept", error));

  EXPECT_FALSE(InitSimTab(table, -1, 3, error));
  EXPECT_EQ(error, "nrow<0[InitSimTab]");
  error.clear();
  EXPECT_FALSE(InitSimTab(table, 1, -2, error));
  EXPECT_EQ(error, "ncol<0[InitSimTab]");
  EXPECT_EQ(table.Cell(2, 3), "kept");

  // A table refused for want of memory is not freed first: the old one stays whole.
  error.clear();
  SetMemoryStatusSource([] { return MemoryStatus{(50ull << 20) + (1ull << 20), 0}; }); // 1 MB free
  EXPECT_FALSE(InitSimTab(table, 3000, 3000, error));
  SetMemoryStatusSource(nullptr);
  EXPECT_EQ(error, "Out of Memory[InitSimTab]");
  EXPECT_EQ(table.nrow, 2);
  EXPECT_EQ(table.Contents.size(), 12u);
  EXPECT_EQ(table.Cell(2, 3), "kept");

  ASSERT_TRUE(InitSimTab(table, 0, 0, error));
  EXPECT_EQ(table.Contents.size(), 1u);
  EXPECT_TRUE(FreeSimTab(table, error));
  EXPECT_FALSE(table.HasContents());
  EXPECT_EQ(table.nrow, 0);
  EXPECT_TRUE(FreeSimTab(table, error)); // freeing an empty table is fine
}

TEST_F(SimTabTest, SettersCheckBoundsWithTheSystemsMessages) {
  SimTab table;
  ASSERT_TRUE(InitSimTab(table, 2, 2, error));
  EXPECT_FALSE(SetSimTabString(table, 3, 1, "x", error));
  EXPECT_EQ(error, "SimTab row>nrow 3>2[SetSimTabString]");
  error.clear();
  EXPECT_FALSE(SetSimTabString(table, 1, 3, "x", error));
  EXPECT_EQ(error, "SimTab col>ncol 3>2[SetSimTabString]");
  error.clear();
  EXPECT_FALSE(SetSimTabString(table, -1, 0, "x", error));
  EXPECT_EQ(error, "SimTab row<0 -1[SetSimTabString]");
  error.clear();
  EXPECT_FALSE(SetSimTabInteger(table, 0, -5, 7, error));
  EXPECT_EQ(error, "SimTab col<0 -5[SetSimTabString]");
  error.clear();

  ASSERT_TRUE(SetSimTabInteger(table, 2, 2, -42, error));
  EXPECT_EQ(table.Cell(2, 2), "-42");

  SimTab freed;
  EXPECT_FALSE(SetSimTabString(freed, 0, 0, "x", error));
  EXPECT_EQ(error, "Contents=nil[SetSimTabString]");
}

TEST_F(SimTabTest, GetColumnCopiesHeadingAndValuesAndChecksItsArguments) {
  SimTab table = TwoByTwo();
  std::vector<std::string> column;
  ASSERT_TRUE(GetSimTabColumn(table, 2, column, error));
  EXPECT_EQ(column, (std::vector<std::string>{"B", "2", "4"}));
  EXPECT_FALSE(GetSimTabColumn(table, 1, column, error));
  EXPECT_EQ(error, "expected nil colvec[GetSimTabColumn]");
  error.clear();
  column.clear();
  EXPECT_FALSE(GetSimTabColumn(table, 3, column, error));
  EXPECT_EQ(error, "ColNo>NCol[GetSimTabColumn]");
  error.clear();
  SimTab empty;
  EXPECT_FALSE(GetSimTabColumn(empty, 0, column, error));
  EXPECT_EQ(error, "Contents=nil[GetSimTabColumn]");
}

TEST_F(SimTabTest, NumbersAreWrittenWithFixedDecimalsRoundedHalfAwayFromZero) {
  EXPECT_EQ(Format(2.5f, 0), "3");
  EXPECT_EQ(Format(-2.5f, 0), "-3");
  EXPECT_EQ(Format(-0.4f, 0), "-0");
  EXPECT_EQ(Format(0.0f, 0), "0");
  EXPECT_EQ(Format(0.0f, 4), "0");
  EXPECT_EQ(Format(-0.0f, 3), "0");
  EXPECT_EQ(Format(1.5f, 3), "1.500");
  EXPECT_EQ(Format(0.125f, 2), "0.13");
  EXPECT_EQ(Format(-12.34567f, 6), "-12.345670");
  EXPECT_EQ(Format(0.0001f, 2), "0.00");
  EXPECT_EQ(Format(1.0E10f, 2), "n.a.");
  EXPECT_EQ(Format(424242.0f, 1), "424242.0");
  EXPECT_EQ(Format(0x1p70f, 1), "1180591620717411303424.0"); // beyond the integer path, still exact
  EXPECT_EQ(Format(1.5f, 3, ','), "1,500");
  EXPECT_EQ(Format(7.25f, 9), "7.250000"); // more than 6 decimals is held at 6
}

TEST_F(SimTabTest, SimpleR2TableOfOneCellWithoutMatrixOrLabels) {
  SimTab table;
  ASSERT_TRUE(MakeSimpleR2Table(table, {.corner = "Macros"}, 2, 1, 1, error));
  EXPECT_EQ(table.Cell(0, 0), "Macros");
  EXPECT_EQ(table.Cell(0, 1), "1");
  EXPECT_EQ(table.Cell(1, 0), "1");
  EXPECT_EQ(table.Cell(1, 1), "n.a.");
  EXPECT_EQ(table.FirstRow, 1);
  EXPECT_EQ(table.LastCol, 1);
  EXPECT_EQ(table.ColChars, (std::vector<int>{6, 4}));
  EXPECT_EQ(table.ColWidth, table.ColChars);

  EXPECT_FALSE(MakeSimpleR2Table(table, {}, 2, 1, 0, error));
  EXPECT_EQ(error, "MRow=0 [MakeSimpleR2Table]");
  error.clear();
  EXPECT_FALSE(MakeSimpleR2Table(table, {}, 2, 0, 1, error));
  EXPECT_EQ(error, "MCol=0 [MakeSimpleR2Table]");
  error.clear();
  const std::vector<float> tooSmall{1, 2, 3};
  EXPECT_FALSE(MakeSimpleR2Table(table, {.matrix = tooSmall}, 2, 2, 2, error));
  EXPECT_EQ(error, "matrix smaller than table [MakeSimpleR2Table]");
}

TEST_F(SimTabTest, SimpleR2TableReadsColumnMajorValuesAndMarks) {
  // Two rows, three columns given column by column: column c holds rows (10c+1, 10c+2).
  const std::vector<float> values{11, 12, 21, 22, 31, 32};
  const std::vector<std::uint8_t> marks{0, 1, 0, 0, 1, 0};
  SimTab table;
  ASSERT_TRUE(MakeSimpleR2Table(table, {.matrix = values, .marks = marks, .corner = "V", .columnMajor = true},
                                0, 3, 2, error));
  EXPECT_EQ(table.Cell(1, 2), "21");
  EXPECT_EQ(table.Cell(2, 1), "12");
  EXPECT_EQ(table.Cell(2, 3), "32");
  EXPECT_TRUE(table.Marked(2, 1));
  EXPECT_TRUE(table.Marked(1, 3));
  EXPECT_FALSE(table.Marked(1, 1));
  EXPECT_FALSE(table.Marked(2, 3));

  ASSERT_TRUE(MakeSimpleR2Table(table, {.matrix = values, .marks = marks}, 0, 3, 2, error));
  EXPECT_EQ(table.Cell(1, 2), "12");
  EXPECT_TRUE(table.Marked(1, 2));
  EXPECT_FALSE(table.Marked(2, 1));
}

TEST_F(SimTabTest, CommaSeparatorReachesTheCellsUnlessThePointIsForced) {
  const std::vector<float> values{1.5f};
  SimTab table;
  SetDecimalSeparator(',');
  ASSERT_TRUE(MakeSimpleR2Table(table, {.matrix = values}, 3, 1, 1, error));
  EXPECT_EQ(table.Cell(1, 1), "1,500");
  SetDecimalSeparator('.');
  ASSERT_TRUE(MakeSimpleR2Table(table, {.matrix = values}, 3, 1, 1, error));
  EXPECT_EQ(table.Cell(1, 1), "1.500");
}

TEST_F(SimTabTest, CopyWithHeadingsWritesTabsCrLfAndOneNul) {
  SimTab table = TwoByTwo();
  std::string text;
  ASSERT_TRUE(CopySimTabToString(table, kSimTabWholeTable, text, error)) << error;
  EXPECT_EQ(text, std::string("C\tA\tB\r\nx\t1\t2\r\ny\t3\t4\r\n\0", 22));

  ASSERT_TRUE(CopySimTabToString(table, 0, text, error));
  EXPECT_EQ(text, std::string("1\t2\r\n3\t4\r\n\0", 11));

  table.LastRow = 1;
  table.FirstCol = 2;
  ASSERT_TRUE(CopySimTabToString(table, 0, text, error));
  EXPECT_EQ(text, std::string("2\r\n\0", 4));
  ASSERT_TRUE(CopySimTabToString(table, kSimTabToTableEnd, text, error));
  EXPECT_EQ(text, std::string("2\r\n4\r\n\0", 7));
  std::size_t length = 0;
  ASSERT_TRUE(SimTabLength(table, kSimTabWithHeadings, length, error));
  EXPECT_EQ(length, 6u); // C A x 1 B 2... rows 0..1, columns 0..2
}

TEST_F(SimTabTest, TransposedCopyExchangesHeadingsAndLeavesTheSourceAlone) {
  SimTab table = TwoByTwo();
  ASSERT_TRUE(SetSimTabString(table, 1, 2, "long value", error));
  const SimTab before = table;
  std::string text;
  ASSERT_TRUE(CopySimTabToString(table, kSimTabWholeTable | kSimTabTransposed, text, error));
  EXPECT_EQ(text, std::string("C\tx\ty\r\nA\t1\t3\r\nB\tlong value\t4\r\n\0", 31));
  EXPECT_EQ(table.Contents, before.Contents);

  // The virtual transposition agrees with the real one, data range included.
  table.LastCol = 1;
  SimTab transposed;
  ASSERT_TRUE(MakeTransposedSimTab(table, transposed, error));
  EXPECT_EQ(transposed.nrow, 2);
  EXPECT_EQ(transposed.LastRow, 1);
  EXPECT_EQ(transposed.LastCol, 2);
  EXPECT_EQ(transposed.ColChars, (std::vector<int>{1, 10, 1}));
  for (int flags : {0, 1, 256, 257}) {
    std::string direct;
    std::string viaTable;
    ASSERT_TRUE(CopySimTabToString(table, flags | kSimTabTransposed, direct, error));
    ASSERT_TRUE(CopySimTabToString(transposed, flags, viaTable, error));
    EXPECT_EQ(direct, viaTable) << flags;
  }
  SimTab empty;
  EXPECT_FALSE(MakeTransposedSimTab(empty, transposed, error));
  EXPECT_EQ(error, "OldT is null[MakeTransposedSimTab]");
}

TEST_F(SimTabTest, TransposingCarriesTheMarks) {
  const std::vector<float> values{1, 2, 3, 4, 5, 6};
  const std::vector<std::uint8_t> marks{0, 0, 1, 0, 0, 0};
  SimTab table;
  ASSERT_TRUE(MakeSimpleR2Table(table, {.matrix = values, .marks = marks}, 0, 3, 2, error));
  ASSERT_TRUE(table.Marked(1, 3));
  SimTab transposed;
  ASSERT_TRUE(MakeTransposedSimTab(table, transposed, error));
  EXPECT_TRUE(transposed.Marked(3, 1));
  EXPECT_FALSE(transposed.Marked(1, 3));
  ASSERT_TRUE(MakeTransposedSimTab(transposed, transposed, error)); // in place
  EXPECT_EQ(transposed.Contents, table.Contents);
  EXPECT_EQ(transposed.CellMarks, table.CellMarks);
}

TEST_F(SimTabTest, CopyRefusesAnEmptyTableAndARangeOutsideIt) {
  SimTab table;
  std::string text;
  EXPECT_FALSE(CopySimTabToString(table, kSimTabWholeTable, text, error));
  EXPECT_EQ(error, "nothing to copy[CopySimTabToString]");
  error.clear();
  table = TwoByTwo();
  table.LastRow = 5;
  EXPECT_FALSE(CopySimTabToString(table, 0, text, error));
  EXPECT_EQ(error, "SimTab range outside table: rows 1..5, cols 1..2[CopySimTabToString]");
  error.clear();
  std::size_t length = 0;
  EXPECT_FALSE(SimTabLength(table, 0, length, error));
  EXPECT_EQ(error, "SimTab range outside table: rows 1..5, cols 1..2 [SimTabLength]");
  // An empty range copies nothing but the terminating NUL.
  table.LastRow = 0;
  ASSERT_TRUE(CopySimTabToString(table, 0, text, error));
  EXPECT_EQ(text, std::string(1, '\0'));
  // Rows without columns write line ends the count does not hold: reported, not copied as empty text.
  error.clear();
  table.LastRow = 2;
  table.FirstCol = 2;
  table.LastCol = 1;
  EXPECT_FALSE(CopySimTabToString(table, 0, text, error));
  EXPECT_EQ(error, "Program Mis-count Error in Copy Operation 5<>3[CopySimTabToString]");
  EXPECT_EQ(text, "");
  error.clear();
  ASSERT_TRUE(InitSimTab(table, 3, 0, error));
  EXPECT_FALSE(CopySimTabToString(table, 0, text, error));
  EXPECT_EQ(error, "Program Mis-count Error in Copy Operation 7<>4[CopySimTabToString]");
  // With its heading column the same table has a column to copy.
  ASSERT_TRUE(CopySimTabToString(table, kSimTabWholeTable, text, error)) << error;
  EXPECT_EQ(text, std::string("\r\n\r\n\r\n\r\n") + '\0');
}

TEST_F(SimTabTest, ClipboardIsRetriedWithGrowingPausesAndAFailureIsReported) {
  SimTab table = TwoByTwo();
  test::ScriptedUserInterface ui;
  std::vector<int> pauses;
  const auto record = [&](int ms) { pauses.push_back(ms); };
  ASSERT_TRUE(CopySimTabToClipboard(table, kSimTabWholeTable, ui, error, record));
  EXPECT_EQ(ui.clipboard, "C\tA\tB\r\nx\t1\t2\r\ny\t3\t4\r\n");
  EXPECT_TRUE(pauses.empty());

  ui.clipboardWorks = false;
  EXPECT_FALSE(CopySimTabToClipboard(table, kSimTabWholeTable, ui, error, record));
  EXPECT_EQ(pauses, (std::vector<int>{20, 40, 60, 80, 100, 120, 140, 160, 180, 200}));
  EXPECT_EQ(error, "Clipboard not available[CopySimTabToClipboard]");
  EXPECT_TRUE(ui.messages.empty());
}

} // namespace
} // namespace pelorin
