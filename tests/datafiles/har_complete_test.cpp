// Header Array data built in memory: the bookkeeping headers, the all-zero test and long-name descriptions.

#include "datafiles/har_data.h"
#include "datafiles/har_writer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

TEST(CompleteHarFile, MissingBookkeepingHeadersAreMadeAndPresentOnesKept) {
  test::TempDir dir;
  ErrorText errorText;
  const std::string bare = dir.File("bare.har");
  ASSERT_TRUE(WriteHarFile(bare, {MakeStrings("A", "", {"a"})}, {}, errorText));
  std::unique_ptr<HarData> data;
  bool skipped = false;
  ASSERT_TRUE(ReadHarFile(bare, false, false, data, skipped, errorText)) << errorText;
  ASSERT_TRUE(data->xxhs && data->xxcd && data->xxcr && data->xxcp);
  EXPECT_EQ(data->xxhs->numStrings, 0);
  EXPECT_EQ(data->xxhs->longName, "File History");
  EXPECT_EQ(data->xxcd->strings, (PStrVec{"", "at unknown time"}));
  EXPECT_EQ(data->xxcr->strings, (PStrVec{"", "unknown", "unknown"}));
  EXPECT_EQ(data->xxcp->strings, (PStrVec{"", "unknown"}));
  EXPECT_EQ(data->xxcd->dimTextSizes, "1 length 70");

  const std::string dated = dir.File("dated.har");
  ASSERT_TRUE(
      WriteHarFile(dated, {MakeStrings("XXCD", "Creation Date and Time", {"at dawn"}, 70)}, {}, errorText));
  ASSERT_TRUE(ReadHarFile(dated, false, false, data, skipped, errorText)) << errorText;
  EXPECT_EQ(data->xxcd->strings[1], "at dawn");
  EXPECT_EQ(data->xxcr->strings[1], "unknown");

  // Written back in the flavour it came in, the completed file keeps every bookkeeping header.
  data->isLahey = false;
  const std::string again = dir.File("again.har");
  ASSERT_TRUE(WriteHarData(again, *data, errorText)) << errorText;
  std::unique_ptr<HarData> reread;
  ASSERT_TRUE(ReadHarFile(again, false, false, reread, skipped, errorText)) << errorText;
  EXPECT_FALSE(reread->isLahey);
  EXPECT_EQ(reread->xxcd->strings[1], "at dawn");
  EXPECT_EQ(reread->xxcp->strings[1], "unknow"); // what fits its 6 characters

  EXPECT_FALSE(CompleteHarFile(nullptr, false, errorText));
  EXPECT_EQ(errorText, "Unexpected Nil Pointer [CompleteHarFile]");
}

TEST(CompleteHarFile, RealTotalCountsEveryRealValue) {
  HarData data;
  ErrorText errorText;
  for (std::int64_t n : {6, 4}) {
    auto head = std::make_unique<THeadRecz>();
    head->isReal = true;
    head->numValues = n;
    data.heads.push_back(std::move(head));
  }
  ASSERT_TRUE(CompleteHarFile(&data, false, errorText));
  EXPECT_EQ(data.totalReals, 10.0);
}

TEST(Create1C, TakesOverTheStringList) {
  std::unique_ptr<THeadRecz> slot = std::make_unique<THeadRecz>();
  PStrVec strings{"", "one", "two"};
  ErrorText errorText;
  ASSERT_TRUE(Create1C(slot, "note", "A note", 10, 2, strings, errorText));
  EXPECT_TRUE(strings.empty());
  EXPECT_EQ(slot->name, "NOTE");
  EXPECT_EQ(slot->strings[2], "two");
  EXPECT_EQ(slot->dimTextLabelled, "2 length 10");
}

TEST(Testzero7, FindsTheFirstNonZeroValue) {
  ErrorText errorText;
  Arr7<float> values;
  bool nonZero = true;
  EXPECT_FALSE(testzero7(values, nonZero, errorText));
  EXPECT_EQ(errorText, "Unexpected Nil Pointer [testzero7]");
  ASSERT_TRUE(AllocArr7UK(values, {2, 2, 1, 1, 1, 1, 2}, ElemType::Real, errorText));
  values.At(2, 2, 1, 1, 1, 1, 2) = -0.0f;
  ASSERT_TRUE(testzero7(values, nonZero, errorText));
  EXPECT_FALSE(nonZero);
  values.At(1, 1, 1, 1, 1, 1, 2) = 1e-30f;
  ASSERT_TRUE(testzero7(values, nonZero, errorText));
  EXPECT_TRUE(nonZero);
}

TEST(DescriptionFromLongName, KeepsTheTextBetweenTheMarks) {
  EXPECT_EQ(DescriptionFromLongName("pfd # Price of food #"), "Price of food");
  EXPECT_EQ(DescriptionFromLongName("  Plain text  "), "Plain text");
  EXPECT_EQ(DescriptionFromLongName("x # no end mark"), "no end mark");
  EXPECT_EQ(DescriptionFromLongName("x # a # b #"), "a # b");
}

} // namespace
} // namespace pelorin
