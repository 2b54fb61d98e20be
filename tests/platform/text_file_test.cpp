#include "platform/text_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace pelorin {
namespace {

TEST(TextFile, OpenFailuresCarryTheRoutineTag) {
  TextFile file;
  ErrorText error;
  EXPECT_FALSE(TxtOpen(file, "", error));
  EXPECT_EQ(error, "Blank File Name[TxtOpen]");
  error.clear();
  EXPECT_FALSE(TxtOpen(file, "/no/such/file.txt", error));
  EXPECT_EQ(error, "Cannot open file /no/such/file.txt[TxtOpen]");
  error.clear();
  EXPECT_FALSE(TxtCreate(file, "/no/such/folder/out.txt", error));
  EXPECT_EQ(error, "Cannot create file /no/such/folder/out.txt[TxtCreate]");
}

TEST(TextFile, ReadsLinesWithEitherLineEndAndALastLineWithoutOne) {
  test::TempDir dir;
  const std::string name = dir.Write("in.txt", "one\r\ntwo\n\nthree");
  TextFile file;
  ErrorText error;
  ASSERT_TRUE(TxtOpen(file, name, error));
  std::string line;
  std::vector<std::string> lines;
  while (file.ReadLine(line)) {
    lines.push_back(line);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "three"}));
  EXPECT_TRUE(TxtClose(file, error));
  EXPECT_TRUE(error.empty());
}

TEST(TextFile, AppendCopiesEveryLineAndReportsAMissingSource) {
  test::TempDir dir;
  const std::string source = dir.Write("source.txt", "a\r\nb\n");
  TextFile out;
  ErrorText error;
  ASSERT_TRUE(TxtCreate(out, dir.File("out.txt"), error));
  ASSERT_TRUE(out.WriteLine("start"));
  ASSERT_TRUE(TxtAppend(out, source, error));
  EXPECT_FALSE(TxtAppend(out, dir.File("missing.txt"), error));
  EXPECT_EQ(error, "Cannot open file " + dir.File("missing.txt") + "[TxtAppend]");
  ASSERT_TRUE(TxtClose(out, error));
  EXPECT_EQ(test::ReadFileBytes(dir.File("out.txt")), "start\na\nb\n");
}

} // namespace
} // namespace pelorin
