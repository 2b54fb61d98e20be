// kvdump rtf: a description as plain text or HTML, and the files it refuses.

#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace pelorin {
namespace {

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

Outcome Kvdump(const test::TempDir& dir, const std::string& arguments) {
  const std::string out = dir.File("out.txt");
  const std::string err = dir.File("err.txt");
  const int status =
      std::system((std::string(KVDUMP_PATH) + " " + arguments + " >" + out + " 2>" + err).c_str());
  return Outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFileBytes(out),
                 test::ReadFileBytes(err)};
}

TEST(KvdumpRtf, PrintsTheTextOrTheHtmlAndRefusesWhatItCannotRead) {
  test::TempDir dir;
  const std::string file = dir.Write("m.rtf", "{\\rtf1\\ansi The \\b Minimal\\b0  model\\par caf\\'e9}");
  Outcome run = Kvdump(dir, "rtf " + file);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "The Minimal model\ncafé\n");
  run = Kvdump(dir, "rtf --html " + file);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("The <span style=\"font-weight:bold;\">Minimal</span> model</p>"), std::string::npos)
      << run.out;

  run = Kvdump(dir, "rtf " + dir.Write("x.rtf", "{\\rtf1 open"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "Rich text groups do not balance: 1 group is not closed at the end[RtfToPlainText]\n");
  std::filesystem::resize_file(dir.Write("huge.rtf", "{\\rtf1 "), 1u << 30);
  run = Kvdump(dir, "rtf " + dir.File("huge.rtf"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "The file " + dir.File("huge.rtf") +
                         " is too large for a model description: 1073741824 bytes, at most 33554432\n");
  EXPECT_EQ(Kvdump(dir, "rtf").exitCode, 2);
  EXPECT_EQ(Kvdump(dir, "rtf a b").exitCode, 2);
}

} // namespace
} // namespace pelorin
