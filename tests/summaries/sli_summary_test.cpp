#include "modelinfo/model_info_writer.h"
#include "summaries/line_source.h"
#include "summaries/sli_summary.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

// The summary lines of a converted solution as the converter writes them, among model information sections
// the summary reader passes over.
const std::string kSummary = "#SETS\r\n"
                             "1\r\n"
                             "     1COM           2  k Commodities\r\n"
                             "food\r\n"
                             "#TMDATE\r\n"
                             "Mon Feb 12 10:11:12 2024   \r\n"
                             "#AVAIL\r\n"
                             "y,n,y 2\r\n"
                             "#LEV4\r\n"
                             "#NSOL\r\n"
                             "1 2 0 3\r\n"
                             "#SBTDESC\r\n"
                             "2\r\n"
                             "Tariff shocks\r\n"
                             "Technology shocks\r\n";

class SliSummaryTest : public ::testing::Test {
protected:
  // Reads the summary lines of `text` as GetSLISummary would, leaving the text as a fuzz seed.
  bool Read(const std::string& text, int stampLength = 40) {
    test::SaveFuzzSeed("summaries_sli", "seed" + std::to_string(++seeds_), text);
    summary = SLISummary{};
    error.clear();
    LineSource source(text);
    return ReadSLISummary(source, stampLength, summary, error);
  }
  bool Subtotals(const std::string& text) {
    test::SaveFuzzSeed("summaries_sli", "seed" + std::to_string(++seeds_), text);
    error.clear();
    LineSource source(text);
    return ReadNumSubTotals(source, numSubTotals, descriptions, error);
  }

  SLISummary summary;
  ErrorText error;
  int numSubTotals = 0;
  std::vector<std::string> descriptions;

private:
  static inline int seeds_ = 0;
};

TEST_F(SliSummaryTest, ReadsEveryValueOfAFileWithAStamp) {
  ASSERT_TRUE(Read(kSummary)) << error;
  EXPECT_EQ(summary.stamp, "Mon Feb 12 10:11:12 2024");
  EXPECT_TRUE(summary.stampPresent);
  EXPECT_EQ(summary.cumulative, 'y');
  EXPECT_EQ(summary.indivRetained, 'n');
  EXPECT_EQ(summary.levelsPresent, 'y');
  EXPECT_EQ(summary.numSubtotals, 2);
  EXPECT_EQ(summary.levelsChar, '4');
  EXPECT_EQ(summary.nsol, (std::array<int, 4>{1, 2, 0, 3}));
  EXPECT_EQ(summary.sectionsRead, 3);

  ASSERT_TRUE(Read(kSummary, 3));
  EXPECT_EQ(summary.stamp, "Mon");
}

TEST_F(SliSummaryTest, WithoutStampNsolHasThreeIntegersThatMaySpanLines) {
  ASSERT_TRUE(Read("#AVAIL\ny n n\n 0\n#LEVN\n#NSOL\n1\n0 0\n4\n"));
  EXPECT_EQ(summary.stamp, "?");
  EXPECT_FALSE(summary.stampPresent);
  EXPECT_EQ(summary.numSubtotals, 0);
  EXPECT_EQ(summary.levelsChar, 'N');
  EXPECT_EQ(summary.nsol, (std::array<int, 4>{1, 0, 0, -1}));

  // Nothing to read leaves every value unknown.
  ASSERT_TRUE(Read("#LEV\n#TMDATEX\nplain text\n"));
  EXPECT_EQ(summary.levelsChar, '?');
  EXPECT_EQ(summary.cumulative, '?');
  EXPECT_EQ(summary.numSubtotals, -1);
  EXPECT_EQ(summary.nsol[0], -1);
  EXPECT_EQ(summary.sectionsRead, 0);

  // A stamp heading on the last line still counts as a stamp.
  ASSERT_TRUE(Read("#TMDATE"));
  EXPECT_EQ(summary.stamp, "");
  EXPECT_TRUE(summary.stampPresent);
}

TEST_F(SliSummaryTest, AvailCharactersAreCheckedUnlessTheSeparatorsAreUnknown) {
  ASSERT_TRUE(Read("#AVAIL\nn?x?z 0\n"));
  EXPECT_EQ(summary.indivRetained, 'x');
  EXPECT_EQ(summary.levelsPresent, 'z');

  EXPECT_FALSE(Read("#AVAIL\ny,x,y 0\n"));
  EXPECT_EQ(error, "IndivRetainedOnSL4<>\"n\" or \"y\"[ReadSLISummary]");
  EXPECT_FALSE(Read("#AVAIL\ny,N,? 0\n"));
  EXPECT_EQ(error, "LevsPresentOnSL4<>\"y\" or \"n\"[ReadSLISummary]");
  EXPECT_FALSE(Read("#AVAIL\ny,n\n 0\n"));
  EXPECT_EQ(error, "LevsPresentOnSL4<>\"y\" or \"n\"[ReadSLISummary]");
  EXPECT_FALSE(Read("#AVAIL\ny,n,n many\n"));
  EXPECT_EQ(error, "#AVAIL read error[ReadSLISummary]");
  EXPECT_FALSE(Read("#AVAIL"));
  EXPECT_EQ(error, "#AVAIL read error[ReadSLISummary]");
}

TEST_F(SliSummaryTest, NsolValuesAreChecked) {
  EXPECT_FALSE(Read("#NSOL\n2 0 0\n"));
  EXPECT_EQ(error, "NCumSOL<>1[ReadSLISummary]");
  EXPECT_FALSE(Read("#NSOL\n1 0 1\n"));
  EXPECT_EQ(error, "NIndivRetained<>0[ReadSLISummary]");
  EXPECT_FALSE(Read("#TMDATE\nstamp\n#NSOL\n1 0 0\n#SBTDESC\n"));
  EXPECT_EQ(error, "#NSOL read error[ReadSLISummary]");
  EXPECT_FALSE(Read("#NSOL\n1 0 99999999999\n"));
  EXPECT_EQ(error, "#NSOL read error[ReadSLISummary]");
  EXPECT_FALSE(Read("#NSOL\n1 0x 0\n"));
  EXPECT_EQ(error, "#NSOL read error[ReadSLISummary]");
  // A later section overrides an earlier one.
  ASSERT_TRUE(Read("#NSOL\n1 3 0\n#NSOL\n+1 -4 0\n"));
  EXPECT_EQ(summary.nsol[1], -4);
  EXPECT_EQ(summary.sectionsRead, 2);
}

TEST_F(SliSummaryTest, GetSLISummaryOpensTheFileAndTagsFailures) {
  test::TempDir dir;
  SLISummary read;
  ASSERT_TRUE(GetSLISummary(dir.Write("sim.sli", kSummary), 40, read, error)) << error;
  EXPECT_EQ(read.nsol[3], 3);
  EXPECT_FALSE(GetSLISummary(dir.File("none.sli"), 40, read, error));
  EXPECT_EQ(error, "Cannot open file " + dir.File("none.sli") + "[TxtOpen][GetSLISummary]");
  error.clear();
  EXPECT_FALSE(GetSLISummary(dir.Write("bad.sli", "#NSOL\n7 0 0\n"), 40, read, error));
  EXPECT_EQ(error, "NCumSOL<>1[ReadSLISummary][GetSLISummary]");
  error.clear();
  EXPECT_FALSE(GetSLISummary(dir.Path().string(), 40, read, error));
  EXPECT_EQ(error, "read error from file " + dir.Path().string() + "[ReadSLISummary][GetSLISummary]");
}

TEST_F(SliSummaryTest, SubtotalDescriptionsMustMatchTheNumberMade) {
  ASSERT_TRUE(Subtotals(kSummary)) << error;
  EXPECT_EQ(numSubTotals, 2);
  EXPECT_EQ(descriptions, (std::vector<std::string>{"Tariff shocks", "Technology shocks"}));

  ASSERT_TRUE(Subtotals("#NSOL\n1 0 0\n"));
  EXPECT_EQ(numSubTotals, 0);
  EXPECT_TRUE(descriptions.empty());
  ASSERT_TRUE(Subtotals("#AVAIL\ny,n,n 0\n"));
  EXPECT_EQ(numSubTotals, -1);

  EXPECT_FALSE(Subtotals("#NSOL\n1 3 0\n#SBTDESC\n2\none\ntwo\n"));
  EXPECT_EQ(error, "NumSubTotals mismatch[GetNumSubTotals]");
  EXPECT_FALSE(Subtotals("#NSOL\n1 x 0\n"));
  EXPECT_EQ(error, "#NSOL 1 x 0 Error[GetNumSubTotals]");
  EXPECT_FALSE(Subtotals("#NSOL\n1\n2 0\n"));
  EXPECT_EQ(error, "#NSOL 1 Error[GetNumSubTotals]");
  EXPECT_FALSE(Subtotals("#NSOL\n1 2 0\n"));
  EXPECT_EQ(error, "Could not find \"#SBTDESC\" line[GetNumSubTotals]");
  EXPECT_FALSE(Subtotals("#NSOL\n1 2 0\n#SBTDESC\nmany\n"));
  EXPECT_EQ(error, "cannot read NDescLine[GetNumSubTotals]");
  EXPECT_FALSE(Subtotals("#NSOL\n1 2 0\n#SBTDESC\n-2\n"));
  EXPECT_EQ(error, "NumToRead<0[GetNumSubTotals]");
  EXPECT_FALSE(Subtotals("#NSOL\n1 2 0\n#SBTDESC\n2000000000\none\n"));
  EXPECT_EQ(error, "Unexpected end of file[GetNumSubTotals]");

  test::TempDir dir;
  error.clear();
  EXPECT_FALSE(GetNumSubTotals(dir.File("x.sli"), numSubTotals, descriptions, error));
  EXPECT_EQ(numSubTotals, -1);
  EXPECT_EQ(error, "Cannot open file " + dir.File("x.sli") + "[TxtOpen][GetNumSubTotals]");
  ASSERT_TRUE(GetNumSubTotals(dir.Write("s.sli", kSummary), numSubTotals, descriptions, error));
  EXPECT_EQ(descriptions.size(), 2u);
}

TEST(SolFileSuffix, LevelsAndSubtotalFilesAreNamedByNumber) {
  EXPECT_EQ(LevelsSolFileSuffix(2), ".SO2");
  EXPECT_EQ(LevelsSolFileSuffix(4), ".SO4");
  EXPECT_EQ(LevelsSolFileSuffix(1), ".???");
  EXPECT_EQ(LevelsSolFileSuffix(5), ".???");
  EXPECT_EQ(SubtotalSolFileSuffix(1), ".SU1");
  EXPECT_EQ(SubtotalSolFileSuffix(7), ".SU7");
  EXPECT_EQ(SubtotalSolFileSuffix(10), ".S10");
  EXPECT_EQ(SubtotalSolFileSuffix(12), ".S12");
  EXPECT_EQ(SubtotalSolFileSuffix(99), ".S99");
  EXPECT_EQ(SubtotalSolFileSuffix(100), ".100");
  EXPECT_EQ(SubtotalSolFileSuffix(123), ".123");
  EXPECT_EQ(SubtotalSolFileSuffix(999), ".999");
  EXPECT_EQ(SubtotalSolFileSuffix(1000), ".???");
  EXPECT_EQ(SubtotalSolFileSuffix(0), ".???");
  EXPECT_EQ(SubtotalSolFileSuffix(-3), ".???");
}

} // namespace
} // namespace pelorin

namespace pelorin {
namespace {

// The converter writes summary files with the model-information writer; the summary reader must read back
// what it wrote, around the model sections.
TEST(SliSummaryRoundTrip, TheWritersSummaryReadsBack) {
  ModelInfoDescription description;
  description.tmDate = "Tue Mar  5 08:00:00 2024";
  description.sets = {{.name = "COM", .label = "Commodities", .size = 2, .elements = {"food", "mfg"}}};
  VariableDescription prices;
  prices.name = "p";
  prices.size = 2;
  prices.argSets = {1};
  prices.exoStat = 'X';
  description.variables = {prices};
  description.descriptionLines = {"A simulation"};
  description.summary = SolutionSummaryDescription{.cumulative = 'y',
                                                   .indivRetained = 'n',
                                                   .levelsPresent = 'y',
                                                   .numSubtotals = 2,
                                                   .levelsIndicator = '4',
                                                   .subtotalsMade = 2,
                                                   .levelsSolutions = 3,
                                                   .subtotalDescriptions = {"Tariffs", "Technology"}};
  for (bool stamped : {true, false}) {
    if (!stamped) {
      description.tmDate.reset();
    }
    std::string text;
    ErrorText error;
    ASSERT_TRUE(ModelInfoText(description, text, error)) << error;
    test::SaveFuzzSeed("summaries_sli", stamped ? "writer_stamped" : "writer_plain", text);
    LineSource source(text);
    SLISummary summary;
    ASSERT_TRUE(ReadSLISummary(source, 40, summary, error)) << error;
    EXPECT_EQ(summary.stampPresent, stamped);
    EXPECT_EQ(summary.stamp, stamped ? "Tue Mar  5 08:00:00 2024" : "?");
    EXPECT_EQ(summary.cumulative, 'y');
    EXPECT_EQ(summary.levelsPresent, 'y');
    EXPECT_EQ(summary.numSubtotals, 2);
    EXPECT_EQ(summary.levelsChar, '4');
    EXPECT_EQ(summary.nsol, (std::array<int, 4>{1, 2, 0, stamped ? 3 : -1}));
    LineSource again(text);
    int made = 0;
    std::vector<std::string> descriptions;
    ASSERT_TRUE(ReadNumSubTotals(again, made, descriptions, error)) << error;
    EXPECT_EQ(made, 2);
    EXPECT_EQ(descriptions, (std::vector<std::string>{"Tariffs", "Technology"}));
  }
}

} // namespace
} // namespace pelorin
