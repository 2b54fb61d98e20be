// The viewer's reading path and grid: the header list read without values, single headers read from their
// place, finding a header, and a header shown as a grid of strings, integers or a slice of a real array with
// sums, formats, copied ranges and CSV.

#include "datafiles/har_grid.h"
#include "datafiles/har_headings.h"
#include "datafiles/har_writer.h"
#include "support/fuzz_seed.h"
#include "support/har_samples.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<HarHeader> EveryKind() {
  return test::EveryKindOfHeader({"first, with comma", "second"});
}

class HarViewTest : public ::testing::Test {
protected:
  std::string Write(const std::string& name, const std::vector<HarHeader>& headers, bool fujitsu = false) {
    HarWriteOptions options;
    options.isFujitsu = fujitsu;
    const std::string bytes = HarFileBytes(headers, options);
    test::SaveFuzzSeed("datafiles_har_view", name, bytes);
    return dir.Write(name + ".har", bytes);
  }

  std::unique_ptr<THeadRecz> Load(const std::string& path, const HarHeadingList& list, int i) {
    std::unique_ptr<THeadRecz> head;
    errorText.clear();
    EXPECT_TRUE(ReadHarHeaderAt(path, list.headings[static_cast<std::size_t>(i)], head, errorText))
        << errorText;
    return head;
  }

  HarGrid GridOf(std::unique_ptr<THeadRecz> head) {
    HarGrid grid;
    grid.SetHeader(std::shared_ptr<const THeadRecz>(std::move(head)));
    return grid;
  }

  test::TempDir dir;
  ErrorText errorText;
};

TEST_F(HarViewTest, HeaderListHasEveryHeadingWithoutValuesInBothFlavours) {
  for (bool fujitsu : {false, true}) {
    const std::string path = Write(fujitsu ? "kinds_fujitsu" : "kinds", EveryKind(), fujitsu);
    HarHeadingList list;
    ASSERT_TRUE(ReadHarHeadings(path, list, errorText)) << errorText;
    EXPECT_EQ(list.isLahey, !fujitsu);
    ASSERT_EQ(list.headings.size(), 7u);
    std::vector<std::vector<std::string>> rows;
    for (const HarHeading& heading : list.headings) {
      EXPECT_FALSE(heading.head->values.Allocated()) << heading.head->name;
      EXPECT_TRUE(heading.head->strings.empty()) << heading.head->name;
      rows.push_back(HeadingColumns(*heading.head));
    }
    EXPECT_THAT(rows[0], ElementsAre("NOTE", "1C", "2 length 17", "Some notes", "FULL"));
    EXPECT_THAT(rows[1], ElementsAre("INTM", "2I", "2*3", "Integers", "FULL"));
    EXPECT_THAT(rows[2], ElementsAre("MATR", "2R", "2*2", "A 2R matrix", "FULL"));
    EXPECT_THAT(rows[3], ElementsAre("VECT", "RE", "REG (3)", "Vector", "FULL"));
    EXPECT_THAT(rows[4], ElementsAre("FOUR", "RE", "COM*REG*2*SRC (2*3*2*2)", "Four dimensions", "FULL"));
    EXPECT_THAT(rows[5], ElementsAre("SPAR", "DE", "A (3)", "Sparse doubles", "SPSE"));
    EXPECT_THAT(rows[6], ElementsAre("V3RE", "03 rl", "2*2", "Version 3", "FULL"));
    EXPECT_EQ(HeaderValueCount(*list.headings[4].head), 24);

    // Each header read from its place equals the header a search by name finds.
    for (std::size_t i = 0; i < list.headings.size(); ++i) {
      auto head = Load(path, list, static_cast<int>(i));
      std::unique_ptr<THeadRecz> searched;
      ASSERT_TRUE(ReadHeaderFromHarFile(path, list.headings[i].head->name, false, searched, errorText));
      ASSERT_NE(head, nullptr);
      EXPECT_EQ(head->headType, searched->headType);
      EXPECT_EQ(head->numStrings, searched->numStrings);
      EXPECT_EQ(head->values.Count(), searched->values.Count());
      for (std::int64_t k = 0; k < head->values.Count(); ++k) {
        EXPECT_EQ(head->values.Data()[k], searched->values.Data()[k]) << head->name << k;
      }
    }
  }
}

TEST_F(HarViewTest, DamagedFilesGiveTheReadersWholeMessage) {
  // A cut file: the list fails with the reader's message, and nothing is left half listed.
  std::string bytes = HarFileBytes(EveryKind());
  const std::string cut = dir.Write("cut.har", bytes.substr(0, bytes.size() / 2));
  test::SaveFuzzSeed("datafiles_har_view", "cut", bytes.substr(0, bytes.size() / 2));
  HarHeadingList list;
  EXPECT_FALSE(ReadHarHeadings(cut, list, errorText));
  EXPECT_THAT(errorText, HasSubstr("[ReadHarHeadings]"));
  EXPECT_THAT(errorText, HasSubstr("Unexpected end-of-file"));
  EXPECT_TRUE(list.headings.empty());

  errorText.clear();
  EXPECT_FALSE(ReadHarHeadings(dir.File("missing.har"), list, errorText));
  EXPECT_THAT(errorText, HasSubstr("missing.har"));

  // A file changed after it was listed: the header is no longer what the list says.
  const std::string path = Write("changing", EveryKind());
  ASSERT_TRUE(ReadHarHeadings(path, list, errorText)) << errorText;
  Write("changing", {MakeStrings("ONE", "", {"x"})});
  std::unique_ptr<THeadRecz> head;
  errorText.clear();
  EXPECT_FALSE(ReadHarHeaderAt(path, list.headings[4], head, errorText));
  EXPECT_THAT(errorText, HasSubstr("[ReadHarHeaderAt]"));
  EXPECT_EQ(head, nullptr);
}

TEST_F(HarViewTest, FindsHeadersByNameThenByLongNameAndWrapsRound) {
  HarHeadingList list;
  ASSERT_TRUE(ReadHarHeadings(Write("find", EveryKind()), list, errorText)) << errorText;
  EXPECT_EQ(FindHeading(list, "vec", -1), 3);
  EXPECT_EQ(FindHeading(list, "  FOUR ", -1), 4);
  EXPECT_EQ(FindHeading(list, "v", 3), 6); // the next one whose name starts with V
  EXPECT_EQ(FindHeading(list, "v", 6), 3); // wraps round
  EXPECT_EQ(FindHeading(list, "doubles", -1), 5);
  EXPECT_EQ(FindHeading(list, "nothing like it", -1), -1);
  EXPECT_EQ(FindHeading(list, "", -1), -1);
}

TEST_F(HarViewTest, FourDimensionalHeaderIsSlicedBothWays) {
  const std::string path = Write("four", {test::FourDims()});
  HarHeadingList list;
  ASSERT_TRUE(ReadHarHeadings(path, list, errorText)) << errorText;
  HarGrid grid = GridOf(Load(path, list, 0));
  ASSERT_EQ(grid.NumDims(), 4);
  EXPECT_EQ(grid.DimName(0), "COM");
  EXPECT_EQ(grid.DimName(2), "Dim 3");
  EXPECT_EQ(grid.DimName(3), "SRC");
  // Rows COM, columns REG, the third dimension at its first element.
  EXPECT_EQ(grid.Rows(), 2);
  EXPECT_EQ(grid.Cols(), 3);
  EXPECT_EQ(grid.RowLabel(1), "mfg");
  EXPECT_EQ(grid.ColLabel(2), "row");
  EXPECT_EQ(grid.Value(1, 2), 2311);
  ASSERT_TRUE(grid.SetFixed(2, 1));
  EXPECT_EQ(grid.Value(1, 2), 2321);
  EXPECT_FALSE(grid.SetFixed(0, 0)); // a row dimension is not fixed
  EXPECT_FALSE(grid.SetFixed(2, 2)); // beyond its size

  // Rows over the third dimension, columns over COM, REG fixed at "eu".
  ASSERT_TRUE(grid.SetAxes(2, 0));
  ASSERT_TRUE(grid.SetFixed(1, 1));
  EXPECT_EQ(grid.Rows(), 2);
  EXPECT_EQ(grid.Cols(), 2);
  EXPECT_EQ(grid.RowLabel(1), "2");
  EXPECT_EQ(grid.ColLabel(0), "food");
  EXPECT_EQ(grid.Value(1, 0), 1221);
  EXPECT_EQ(grid.Value(0, 1), 2211);
  EXPECT_EQ(grid.CornerLabel(), "Dim 3 \\ COM");
  EXPECT_EQ(grid.SliceDescription(), "FOUR: Four dimensions - rows Dim 3, columns COM, REG = eu, SRC = dom");
  EXPECT_FALSE(grid.SetAxes(1, 1));
  EXPECT_FALSE(grid.SetAxes(-1, 0));

  // Sums: a Total column over each row and a Total row over each column.
  grid.SetShowSums(true);
  EXPECT_EQ(grid.DisplayRows(), 3);
  EXPECT_EQ(grid.DisplayCols(), 3);
  EXPECT_EQ(grid.RowLabel(2), "Total");
  EXPECT_EQ(grid.ColLabel(2), "Total");
  EXPECT_EQ(grid.Value(0, 2), 1211 + 2211);
  EXPECT_EQ(grid.Value(2, 0), 1211 + 1221);
  EXPECT_EQ(grid.Value(2, 2), 1211 + 2211 + 1221 + 2221);
  // Sums follow a change of slice.
  ASSERT_TRUE(grid.SetFixed(1, 2));
  ASSERT_TRUE(grid.SetFixed(3, 1));
  EXPECT_EQ(grid.Value(2, 2), 1312 + 2312 + 1322 + 2322);

  // A single column: the rows over REG.
  ASSERT_TRUE(grid.SetAxes(1, -1));
  grid.SetShowSums(false);
  EXPECT_EQ(grid.Cols(), 1);
  EXPECT_EQ(grid.ColLabel(0), "FOUR");
  EXPECT_EQ(grid.Value(2, 0), 1322); // COM at food, the third dimension still at its second element
}

TEST_F(HarViewTest, StringsIntegersAndFormatsAreShownAsTheyAre) {
  const std::string path = Write("shown", EveryKind());
  HarHeadingList list;
  ASSERT_TRUE(ReadHarHeadings(path, list, errorText)) << errorText;

  HarGrid strings = GridOf(Load(path, list, 0));
  EXPECT_EQ(strings.GetKind(), HarGrid::Kind::Strings);
  EXPECT_EQ(strings.Rows(), 2);
  EXPECT_EQ(strings.CellText(0, 0), "first, with comma");
  strings.SetShowSums(true);
  EXPECT_EQ(strings.DisplayRows(), 2); // strings have no sums
  EXPECT_EQ(strings.CsvText(), "\"first, with comma\"\nsecond\n");

  HarGrid ints = GridOf(Load(path, list, 1));
  EXPECT_EQ(ints.GetKind(), HarGrid::Kind::Integers);
  ints.SetNumberFormat(HarNumberFormat::Fixed, 3);
  EXPECT_EQ(ints.CellText(1, 2), "6");
  ints.SetShowSums(true);
  EXPECT_EQ(ints.CellText(2, 3), "21");
  EXPECT_EQ(ints.RangeText(0, 2, 0, 3, true),
            "Row \\ Column\t1\t2\t3\tTotal\n1\t1\t3\t5\t9\n2\t2\t4\t6\t12\nTotal\t3\t7\t11\t21\n");
  EXPECT_EQ(ints.CsvText(), "Row \\ Column,1,2,3\n1,1,3,5\n2,2,4,6\n");

  HarGrid vector = GridOf(Load(path, list, 3));
  vector.SetNumberFormat(HarNumberFormat::Fixed, 2);
  EXPECT_EQ(vector.CellText(1, 0), "2.00");
  vector.SetNumberFormat(HarNumberFormat::Exponent, 1);
  EXPECT_EQ(vector.CellText(2, 0), "3.0E+00");
  vector.SetNumberFormat(HarNumberFormat::Fixed, 0);
  EXPECT_EQ(vector.RangeText(1, 2, 0, 0, false), "2\n3\n");
  EXPECT_EQ(vector.CsvText(), "REG,VECT\nusa,1\neu,2\nrow,3\n");

  HarGrid sparse = GridOf(Load(path, list, 5));
  EXPECT_EQ(sparse.Value(1, 0), 2.5);
  EXPECT_EQ(sparse.Value(2, 0), 0);

  // Three or more dimensions go to CSV one value per line, in full precision.
  HarGrid four = GridOf(Load(path, list, 4));
  const std::string csv = four.CsvText();
  EXPECT_EQ(csv.substr(0, csv.find('\n', csv.find('\n') + 1) + 1),
            "COM,REG,Dim 3,SRC,FOUR\nfood,usa,1,dom,1111\n");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 25);

  EXPECT_EQ(HarGrid::FormatNumber(-0.0001, HarNumberFormat::Fixed, 2), "0.00");
  EXPECT_EQ(HarGrid::FormatNumber(-0.6, HarNumberFormat::Fixed, 0), "-1");
  EXPECT_EQ(HarGrid::FormatNumber(-0.01, HarNumberFormat::Exponent, 1), "-1.0E-02");
  EXPECT_EQ(HarGrid::FormatNumber(0.1f, HarNumberFormat::Fixed, -1), "0.1");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
}

TEST_F(HarViewTest, SolutionLongNamesGiveTheFullNameAndItsWords) {
  const std::string path = Write(
      "solution", {MakeReals("TARR", "TARREV # Tariff revenue #", {SetDim("REG", {"usa", "eu"})}, {1, 2})});
  HarHeadingList list;
  ASSERT_TRUE(ReadHarHeadings(path, list, errorText)) << errorText;
  EXPECT_EQ(GridOf(Load(path, list, 0)).SliceDescription(), "TARREV: Tariff revenue");
}

TEST_F(HarViewTest, EmptyGridShowsNothing) {
  HarGrid grid;
  grid.SetHeader(nullptr);
  EXPECT_EQ(grid.Rows(), 0);
  EXPECT_EQ(grid.CellText(0, 0), "");
  EXPECT_EQ(grid.CsvText(), "");
  EXPECT_EQ(grid.RangeText(0, 5, 0, 5, true), "");
}

} // namespace
} // namespace pelorin
