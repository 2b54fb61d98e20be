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

TEST_F(KvdumpTest, EveryHeaderTheListingShowsCanBePrintedByName) {
  // The file has no bookkeeping headers of its own; the listing shows those the reader makes.
  const Output list = Kvdump("har --csv " + file);
  for (const char* name : {"XXCD", "XXCR", "XXCP", "XXHS", "NOTE", "FLOW", "INTS"}) {
    ASSERT_NE(list.out.find(std::string("\n") + name + ","), std::string::npos) << name << list.out;
    const Output run = Kvdump("har " + file + " " + name);
    EXPECT_EQ(run.code, 0) << name << run.out;
    EXPECT_EQ(run.out.substr(0, 5), std::string(name) + " ") << run.out;
  }
  EXPECT_EQ(Kvdump("har --csv " + file + " XXCP").out, "unknown\n");
}

TEST_F(KvdumpTest, CsvValuesAreTheShortestThatReadBackAtTheirOwnPrecision) {
  ErrorText errorText;
  const std::string mixed = dir.File("mixed.har");
  HarHeader sparse = MakeDoubles("SPDE", "Sparse doubles", {SetDim("REG", {"n", "s"})}, {0, 356.62452187});
  sparse.sparse = true;
  ASSERT_TRUE(
      WriteHarFile(mixed,
                   {MakeReals("RE", "Singles", {SetDim("REG", {"n", "s"})}, {1.14f, 356.62452187f}),
                    MakeDoubles("DE", "Doubles", {SetDim("REG", {"n", "s"})}, {1.14, 356.62452187}),
                    MakeDoubles("DL", "Unlabelled", {SizeDim(2), SizeDim(2)}, {0.1, 0.2, 1.0 / 3.0, 4}),
                    sparse, MakeDoubles("ONE", "Scalar", {SizeDim(1)}, {2.0 / 3.0})},
                   {}, errorText))
      << errorText;
  EXPECT_EQ(Kvdump("har --csv " + mixed + " RE").out, "REG,value\nn,1.14\ns,356.6245\n");
  EXPECT_EQ(Kvdump("har --csv " + mixed + " DE").out, "REG,value\nn,1.14\ns,356.62452187\n");
  EXPECT_EQ(Kvdump("har --csv " + mixed + " DL").out, "dim1\\dim2,1,2\n1,0.1,0.3333333333333333\n2,0.2,4\n");
  EXPECT_EQ(Kvdump("har --csv " + mixed + " SPDE").out, "REG,value\nn,0\ns,356.62452187\n");
  EXPECT_EQ(Kvdump("har --csv " + mixed + " ONE").out, "value,0.6666666666666666\n");
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
