#include "summaries/acc_summary.h"
#include "summaries/line_source.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace pelorin {
namespace {

using Counts = std::array<int, 7>;

// Writes solver logs the way the solver reports accuracy: per subinterval a block for the variables and, with
// updated data, one for the data; an overall block at the end.
class LogBuilder {
public:
  LogBuilder& Line(const std::string& line) {
    text_ += line + "\n";
    return *this;
  }
  LogBuilder& Block(const Counts& levels, std::optional<Counts> data = {}, bool allData = true) {
    Line(" Below are for levels values of all endogenous variables.");
    Accuracy(levels);
    if (data) {
      Line(allData ? " NEXT SUMMARY IS FOR ALL UPDATED DATA"
                   : " NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE \"X\"");
      Accuracy(*data);
    }
    return *this;
  }
  LogBuilder& Overall(const Counts& levels, std::optional<Counts> data = {}) {
    Line(" ACCURACY SUMMARY FOR OVERALL RESULTS");
    Line(" Below are for overall levels values");
    Accuracy(levels);
    if (data) {
      Line(" NEXT SUMMARY IS FOR ALL UPDATED DATA");
      Accuracy(*data);
    }
    return *this;
  }
  LogBuilder& Redone(int subinterval) {
    return Line(" Accuracy for subinterval " + std::to_string(subinterval) +
                " not sufficient - accuracy was 4 figures.");
  }
  const std::string& Text() const { return text_; }

private:
  void Accuracy(const Counts& counts) {
    for (int f = 0; f < 7; ++f) {
      if (counts[f] != 0) {
        Line("  " + std::to_string(counts[f]) + " results are judged accurate to " + std::to_string(f) +
             " figures.");
      }
    }
    Line(" (end of summary)");
  }

  std::string text_;
};

class AccSummaryTest : public ::testing::Test {
protected:
  bool Read(const std::string& log, int numUpdated, int expected = 1, bool overallOnly = false,
            bool exactlyOne = false) {
    test::SaveFuzzSeed("summaries_acc", "seed" + std::to_string(++seeds_),
                       std::string(1, static_cast<char>('0' + numUpdated % 3)) + log);
    error.clear();
    LineSource source(log);
    return ReadAccSummary(source, numUpdated, expected, overallOnly, exactlyOne, *record, error);
  }
  bool Places(const std::string& lines) {
    error.clear();
    histogram = AccHistogram{};
    LineSource source(lines);
    return GetPlacesSumry(source, histogram, error);
  }

  std::unique_ptr<AccSummaryRec> record = std::make_unique<AccSummaryRec>();
  AccHistogram histogram;
  ErrorText error;

private:
  static inline int seeds_ = 0;
};

TEST_F(AccSummaryTest, PlacesBlockGivesHistogramAverageAndGrade) {
  ASSERT_TRUE(Places("header\n 10 results are judged accurate to 4 figures.\n"
                     "1 000 results are judged accurate to  6 figures.\n"
                     "3 results are judged accurate to 5  figures.\nend\n"))
      << error;
  EXPECT_EQ(histogram.counts, (Counts{0, 0, 0, 0, 10, 3, 1000}));
  EXPECT_FLOAT_EQ(histogram.average10, 10.0f * (40 + 15 + 6000) / 1013);
  EXPECT_EQ(histogram.grade, 10);

  ASSERT_TRUE(Places("0 results are judged accurate to 3 figures.\n\n"));
  EXPECT_EQ(histogram.average10, 0.0f);
  EXPECT_EQ(histogram.grade, 0);
  ASSERT_TRUE(Places("5 results are judged accurate to 6 figures.\nx\n"));
  EXPECT_EQ(histogram.average10, 60.0f);
  EXPECT_EQ(histogram.grade, 10);
  ASSERT_TRUE(Places(
      "1 results are judged accurate to 3 figures.\n1 results are judged accurate to 2 figures.\n-\n"));
  EXPECT_EQ(histogram.average10, 25.0f);
  EXPECT_EQ(histogram.grade, 3);
}

TEST_F(AccSummaryTest, GradesFollowTheRoundedAverage) {
  const std::pair<float, int> grades[] = {{0, 0},  {8.4f, 0}, {8.6f, 1},   {16, 1}, {17, 2}, {24, 2},
                                          {25, 3}, {32, 3},   {33, 4},     {39, 4}, {40, 5}, {45, 5},
                                          {46, 6}, {50, 6},   {51, 7},     {54, 7}, {55, 8}, {57, 8},
                                          {58, 9}, {59, 9},   {59.6f, 10}, {60, 10}};
  for (const auto& [average, grade] : grades) {
    EXPECT_EQ(AccuracyGrade(average), grade) << average;
  }
}

TEST_F(AccSummaryTest, PlacesBlockRefusesBadLinesAndAnEarlyEnd) {
  EXPECT_FALSE(Places("nothing here\n"));
  EXPECT_EQ(error, "Unexpected end-of-file[GetPlacesSumry]");
  EXPECT_FALSE(Places("5 results are judged accurate to 6 figures."));
  EXPECT_EQ(error, "Unexpected end-of-file[GetPlacesSumry]");
  EXPECT_FALSE(Places("5 results are judged accurate to 7 figures.\n\n"));
  EXPECT_EQ(error,
            "Could not interpret accuracy line: 5 results are judged accurate to 7 figures.[GetPlacesSumry]");
  EXPECT_FALSE(Places("-5 results are judged accurate to 2 figures.\n\n"));
  EXPECT_FALSE(Places("5 results are judged accurate to 2 digits.\n\n"));
  EXPECT_FALSE(Places("5 results are judged accurate to figures.\n\n")); // no room for a number
  EXPECT_FALSE(Places("five results are judged accurate to 2 figures.\n\n"));
  EXPECT_FALSE(Places("results are judged accurate to 2 figures.\n\n"));
  EXPECT_FALSE(Places("5 results are judged accurate to 1.5 figures.\n\n"));
  EXPECT_FALSE(Places("99999999999 results are judged accurate to 5 figures.\n\n"));
}

TEST_F(AccSummaryTest, SubintervalsRedoneAreCountedOnceWithDataAndWorstOfEach) {
  LogBuilder log;
  log.Line("start of log")
      .Block({0, 0, 0, 0, 0, 5, 5}, Counts{0, 0, 0, 0, 0, 0, 9})
      .Block({0, 0, 0, 9, 1, 0, 0}, Counts{0, 0, 0, 0, 0, 9, 0})
      .Redone(2)
      .Block({0, 0, 0, 0, 2, 8, 0}, Counts{0, 0, 0, 0, 0, 0, 4})
      .Overall({0, 0, 0, 0, 1, 9, 10}, Counts{0, 0, 0, 0, 0, 1, 4})
      .Line("end of log");
  ASSERT_TRUE(Read(log.Text(), 2)) << error;
  EXPECT_EQ(record->numSubintervals, 3);
  EXPECT_EQ(record->sub[2].levels.counts, (Counts{0, 0, 0, 0, 2, 8, 0}));
  EXPECT_EQ(record->sub[2].data.counts, (Counts{0, 0, 0, 0, 0, 0, 4}));
  EXPECT_TRUE(record->sub[3].levels.present);
  EXPECT_TRUE(record->sub[3].data.present);
  EXPECT_TRUE(record->overallFound);
  EXPECT_EQ(record->overallLevelsPos, 3);
  EXPECT_EQ(record->overallDataPos, 3);
  EXPECT_EQ(record->worstLevels, 2);
  EXPECT_EQ(record->worstData, 1); // 60 in both; the earlier subinterval wins the tie
  EXPECT_FALSE(record->sub[4].levels.present);
}

TEST_F(AccSummaryTest, OneUpdatedFileHasItsOwnMarkAndTheOverallMayLackData) {
  LogBuilder log;
  log.Block({0, 0, 0, 0, 0, 0, 3}, Counts{0, 0, 0, 0, 3, 0, 0}, false)
      .Block({0, 0, 0, 0, 0, 3, 0}, Counts{0, 0, 0, 0, 0, 3, 0}, false)
      .Overall({0, 0, 0, 0, 0, 3, 3});
  ASSERT_TRUE(Read(log.Text(), 1)) << error;
  EXPECT_EQ(record->numSubintervals, 3);
  EXPECT_EQ(record->overallLevelsPos, 3);
  EXPECT_EQ(record->overallDataPos, -1);
  EXPECT_FALSE(record->sub[3].data.present);
  EXPECT_EQ(record->worstLevels, 2);
  EXPECT_EQ(record->worstData, 1);

  // The mark for several files is not the mark for one.
  EXPECT_FALSE(Read(log.Text(), 2));
  EXPECT_EQ(error, "Cannot find data accuracy summary[GetAccSummary2]");

  // Without updated data a single block is the whole simulation.
  ASSERT_TRUE(Read(LogBuilder().Block({1, 0, 0, 0, 0, 0, 0}).Text(), 0));
  EXPECT_EQ(record->numSubintervals, 1);
  EXPECT_FALSE(record->overallFound);
  EXPECT_EQ(record->overallLevelsPos, -1);
  EXPECT_EQ(record->worstLevels, 1);
  EXPECT_FALSE(record->sub[1].data.present);
}

TEST_F(AccSummaryTest, OverallOnlyAndExactlyOneSelectBlocks) {
  LogBuilder log;
  log.Block({0, 0, 0, 0, 0, 0, 3}).Block({0, 0, 0, 0, 0, 3, 0}).Overall({0, 0, 0, 0, 3, 0, 0});
  ASSERT_TRUE(Read(log.Text(), 0, 1, true, true)) << error;
  EXPECT_EQ(record->numSubintervals, 1);
  EXPECT_EQ(record->sub[1].levels.counts[4], 3);
  EXPECT_EQ(record->overallLevelsPos, 1);
  EXPECT_EQ(record->worstLevels, 0); // only the overall summary, which is never the worst

  EXPECT_FALSE(Read(log.Text(), 0, 1, false, true));
  EXPECT_EQ(error, "Expected just one subinterval, but found more[GetAccSummary2]");

  // A redo line before any block cannot take the count below its start.
  ASSERT_TRUE(Read(LogBuilder().Redone(1).Redone(1).Block({0, 0, 0, 0, 0, 0, 1}).Text(), 0));
  EXPECT_EQ(record->numSubintervals, 1);
  EXPECT_TRUE(record->sub[1].levels.present);
}

TEST_F(AccSummaryTest, RefusesMoreThan300SubintervalsAndBrokenBlocks) {
  LogBuilder log;
  for (int i = 0; i < 300; ++i) {
    log.Block({0, 0, 0, 0, 0, 0, 1});
  }
  ASSERT_TRUE(Read(log.Text(), 0)) << error;
  EXPECT_EQ(record->numSubintervals, 300);
  log.Block({0, 0, 0, 0, 0, 0, 1});
  EXPECT_FALSE(Read(log.Text(), 0));
  EXPECT_EQ(error, "Too many subintervals for accuracy summary[GetAccSummary2]");
  EXPECT_FALSE(Read(log.Text(), 0, 302));
  EXPECT_EQ(error, "Too many subintervals for accuracy summary[GetAccSummary2]");

  EXPECT_FALSE(Read(" Below are for levels values\n no figures follow\n", 0));
  EXPECT_EQ(error, "Unexpected end-of-file[GetPlacesSumry][GetAccSummary2]");
  EXPECT_FALSE(Read(" Below are for levels values\n 3 results are judged accurate to 9 figures.\n\n", 0));
  EXPECT_EQ(error,
            "Could not interpret accuracy line:  3 results are judged accurate to 9 figures.[GetPlacesSumry]"
            "[GetAccSummary2]");
  ASSERT_TRUE(Read("a log without any accuracy summary\n", 0));
  EXPECT_EQ(record->numSubintervals, 0);
  EXPECT_EQ(record->worstLevels, 0);
}

TEST_F(AccSummaryTest, LogFileMustExist) {
  test::TempDir dir;
  EXPECT_FALSE(GetAccSummary(dir.File("solve.log"), 0, *record, error));
  EXPECT_EQ(error, "File \"" + dir.File("solve.log") + "\" not found[GetAccSummary2][GetAccSummary]");
  error.clear();
  const std::string name =
      dir.Write("solve.log", LogBuilder().Block({0, 0, 0, 0, 0, 0, 2}, Counts{0, 0, 0, 0, 0, 2, 0}).Text());
  ASSERT_TRUE(GetAccSummary(name, 3, *record, error)) << error;
  EXPECT_EQ(record->sub[1].data.counts[5], 2);
  ASSERT_TRUE(GetAccSummary2(name, 3, 1, false, true, *record, error)) << error;
  EXPECT_FALSE(GetAccSummary2(dir.Path().string(), 3, 1, false, true, *record, error));
  EXPECT_EQ(error, "read error from file " + dir.Path().string() + "[GetAccSummary2]");
}

} // namespace
} // namespace pelorin
