#include "platform/paths.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace pelorin {
namespace {

TEST(Paths, JoinPathUsesExactlyOneSeparator) {
  EXPECT_EQ(JoinPath("/a/b", "c.txt"), "/a/b/c.txt");
  EXPECT_EQ(JoinPath("/a/b///", "//c.txt"), "/a/b/c.txt");
  EXPECT_EQ(JoinPath("", "c.txt"), "/c.txt");
}

TEST(Paths, QuoteIfNeededQuotesOnlyWhatTheShellWouldSplit) {
  EXPECT_EQ(QuoteIfNeeded("  /a/b.har "), "/a/b.har");
  EXPECT_EQ(QuoteIfNeeded("/my data/b.har"), "\"/my data/b.har\"");
  for (const char* special : {"&", "(", ")", "<", ">", "@", "^"}) {
    EXPECT_EQ(QuoteIfNeeded(std::string("a") + special + "b"), std::string("\"a") + special + "b\"");
  }
  EXPECT_EQ(QuoteIfNeeded("\"already quoted\""), "\"already quoted\"");
  EXPECT_EQ(QuoteIfNeeded("\""), "\"");
  EXPECT_EQ(QuoteIfNeeded("\"a b"), "\"\"a b\"");
}

TEST(Paths, NamePartsAndExtensions) {
  EXPECT_EQ(ExtractFilePath("/x/y/model.min"), "/x/y/");
  EXPECT_EQ(ExtractFileName("/x/y/model.min"), "model.min");
  EXPECT_EQ(ExtractFileExt("/x.d/model"), "");
  EXPECT_EQ(ExtractFileExt("/x/model.tar.gz"), ".gz");
  EXPECT_EQ(ChangeFileExt("/x.d/model", ".cli"), "/x.d/model.cli");
  EXPECT_EQ(ChangeFileExt("/x/model.min", ".cli"), "/x/model.cli");
}

TEST(Paths, FindFileIgnoringCasePrefersTheExactName) {
  test::TempDir dir;
  dir.Write("MODEL.MIN", "");
  EXPECT_EQ(FindFileIgnoringCase(dir.Path().string(), "model.min"), dir.File("MODEL.MIN"));
  EXPECT_EQ(FindPathIgnoringCase(dir.File("Model.Min")), dir.File("MODEL.MIN"));
  dir.Write("model.min", "");
  EXPECT_EQ(FindFileIgnoringCase(dir.Path().string(), "model.min"), dir.File("model.min"));
  EXPECT_FALSE(FindFileIgnoringCase(dir.Path().string(), "model.axt").has_value());
  EXPECT_FALSE(FindFileIgnoringCase("/no/such/folder", "x").has_value());
}

} // namespace
} // namespace pelorin
