// kvdump har: the listing, one header's values as tables and CSV, and bad files.

#include "datafiles/har_writer.h"
#include "support/temp_dir.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace pelorin {
namespace {

struct Output {
  int code = -1;
  std::string out;
};

// Runs kvdump with arguments; standard error is captured into `out` after standard output.
Output Kvdump(const std::string& args) {
  Output run;
  std::FILE* pipe = popen((std::string(KVDUMP_PATH) + " " + args + " 2>&1").c_str(), "r");
  std::array<char, 4096> chunk;
  std::size_t got = 0;
  while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
    run.out.append(chunk.data(), got);
  }
  const int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class KvdumpTest : public ::testing::Test {
protected:
  void SetUp() override {
    ErrorText errorText;
    const HarDim com = SetDim("COM", {"food", "mfg"});
    ASSERT_TRUE(
        WriteHarFile(file,
                     {MakeStrings("NOTE", "A note", {"hello, world"}),
                      MakeReals("FLOW", "Flows", {com, SetDim("REG", {"n", "s"}), SetDim("YR", {"y1", "y2"})},
                                {1, 2, 3, 4, 5, 6, 7, 8.5f}),
                      MakeIntMatrix("INTS", "Integers", 1, 2, {7, 9})},
                     {}, errorText))
        << errorText;
  }
  test::TempDir dir;
  std::string file = dir.File("k.har");
};

TEST_F(KvdumpTest, ListsHeadersWithTypesDimensionsAndCounts) {
  const Output run = Kvdump("har " + file);
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("(Lahey flavour, 7 headers)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("FLOW  RE    FULL     COM*REG*YR (2*2*2)       8  Flows"), std::string::npos)
      << run.out;
  const Output csv = Kvdump("har --csv " + file);
  EXPECT_NE(csv.out.find("FLOW,RE,FULL,COM*REG*YR,2*2*2,8,Flows,Lahey\n"), std::string::npos) << csv.out;
}

TEST_F(KvdumpTest, PrintsHigherDimensionsAsLabelledSlices) {
  const Output run = Kvdump("har " + file + " flow");
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("YR (dimension 3) = y2\nCOM\\REG  n    s\nfood     5    7\nmfg      6  8.5\n"),
            std::string::npos)
      << run.out;
  // An array with a size 0 has nothing to show.
  ErrorText errorText;
  const std::string empty = dir.File("empty.har");
  ASSERT_TRUE(
      WriteHarFile(empty, {MakeReals("NONE", "", {SizeDim(2), SizeDim(2), SizeDim(0)}, {})}, {}, errorText));
  EXPECT_NE(Kvdump("har " + empty + " NONE").out.find("(no values)\n"), std::string::npos);
  const Output csv = Kvdump("har --csv " + file + " NOTE");
  EXPECT_EQ(csv.out, "\"hello, world\"\n");
}

TEST_F(KvdumpTest, BadFilesReportTheReadersMessageAndExitOne) {
  const Output missing = Kvdump("har " + dir.File("none.har"));
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.out,
            "File " + dir.File("none.har") + " does not exist.  [ReadMoreIntoHarFile] [ReadHarFile]\n");
  const Output junk = Kvdump("har " + dir.Write("junk.har", "\x01\x02\x03"));
  EXPECT_EQ(junk.code, 1);
  EXPECT_NE(junk.out.find("[IsWhichLaheyFile] [OpenLaheyFile]"), std::string::npos) << junk.out;
  EXPECT_EQ(Kvdump("har " + file + " NONE").code, 1);
  EXPECT_EQ(Kvdump("nosuch").code, 2);
}

} // namespace
} // namespace pelorin
