#include "support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace pelorin {
namespace {

struct KvdumpRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

KvdumpRun Kvdump(const test::TempDir& dir, const std::string& arguments) {
  const std::string out = dir.File("out.txt");
  const std::string err = dir.File("err.txt");
  const int status =
      std::system((std::string(KVDUMP_PATH) + " " + arguments + " >" + out + " 2>" + err).c_str());
  return KvdumpRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFileBytes(out),
                   test::ReadFileBytes(err)};
}

const char* const kSummary = "#TMDATE\n"
                             "Mon Feb 12 10:11:12 2024\n"
                             "#AVAIL\n"
                             "y n y 2\n"
                             "#LEV4\n"
                             "#NSOL\n"
                             "1 2 0 3\n"
                             "#SBTDESC\n"
                             "2\n"
                             "Tariff shocks\n"
                             "Technology, land\n";

TEST(KvdumpSli, PrintsTheSummaryValuesAndSubtotals) {
  test::TempDir dir;
  const std::string name = dir.Write("sim.sli", kSummary);
  const KvdumpRun run = Kvdump(dir, "sli " + name);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Solution summary file " + name +
                         "\n\n"
                         "item                         value\n"
                         "time-date stamp              Mon Feb 12 10:11:12 2024\n"
                         "cumulative results           y\n"
                         "individual columns retained  n\n"
                         "levels results present       y\n"
                         "subtotals available          2\n"
                         "levels indicator             4\n"
                         "cumulative solutions         1\n"
                         "subtotals made               2\n"
                         "individual columns           0\n"
                         "levels solutions             3\n"
                         "\n"
                         "Subtotals (2)\n"
                         "no.  description\n"
                         "  1  Tariff shocks\n"
                         "  2  Technology, land\n");
  const KvdumpRun csv = Kvdump(dir, "sli --csv " + name);
  EXPECT_NE(csv.out.find("\nlevels solutions,3\n"), std::string::npos) << csv.out;
  EXPECT_NE(csv.out.find("\n2,\"Technology, land\"\n"), std::string::npos) << csv.out;
}

TEST(KvdumpSli, ABadFileGivesTheMessageChainAndExitCodeOne) {
  test::TempDir dir;
  const KvdumpRun run = Kvdump(dir, "sli " + dir.Write("bad.sli", "#NSOL\n2 0 0\n"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "NCumSOL<>1[ReadSLISummary][GetSLISummary]\n");
  EXPECT_TRUE(run.out.empty());
  EXPECT_EQ(Kvdump(dir, "sli").exitCode, 2);
}

TEST(KvdumpAcc, PrintsHistogramsAveragesGradesAndWorst) {
  test::TempDir dir;
  const std::string log = dir.Write("solve.log", " Below are for levels values\n"
                                                 "  3 results are judged accurate to 6 figures.\n"
                                                 "  1 results are judged accurate to 2 figures.\n"
                                                 "\n"
                                                 " NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE \"X\"\n"
                                                 "  4 results are judged accurate to 5 figures.\n"
                                                 "\n"
                                                 " ACCURACY SUMMARY FOR OVERALL RESULTS\n"
                                                 " Below are for overall levels values\n"
                                                 "  4 results are judged accurate to 6 figures.\n"
                                                 "end\n");
  const KvdumpRun run = Kvdump(dir, "acc " + log + " 1");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Accuracy summary of " + log +
                         " (1 updated data files)\n"
                         "Subintervals: 1\n"
                         "Overall summary: present (no data part)\n"
                         "Worst subinterval for variables: 1; for data: 1\n"
                         "\n"
                         "summary  part       0  1  2  3  4  5  6  average  grade\n"
                         "1        variables  0  0  1  0  0  0  3     5.00      6\n"
                         "1        data       0  0  0  0  0  4  0     5.00      6\n"
                         "overall  variables  0  0  0  0  0  0  4     6.00     10\n");
}

TEST(KvdumpAcc, CountsTheSolvedSubintervalsWithoutTheOverallSummary) {
  test::TempDir dir;
  std::string text;
  for (int i = 1; i <= 2; ++i) {
    text += " Below are for levels values\n  " + std::to_string(i) +
            " results are judged accurate to 6 figures.\n\n";
  }
  text += " ACCURACY SUMMARY FOR OVERALL RESULTS\n Below are for overall levels values\n"
          "  3 results are judged accurate to 6 figures.\n\n";
  const KvdumpRun two = Kvdump(dir, "acc " + dir.Write("two.log", text));
  ASSERT_EQ(two.exitCode, 0) << two.err;
  EXPECT_NE(two.out.find("\nSubintervals: 2\nOverall summary: present (no data part)\n"), std::string::npos)
      << two.out;
  EXPECT_NE(two.out.find("\n2        variables"), std::string::npos) << two.out;
  EXPECT_NE(two.out.find("\noverall  variables"), std::string::npos) << two.out;
  // One subinterval: the overall summary is the whole solve.
  const KvdumpRun one = Kvdump(dir, "acc " + dir.Write("one.log", text.substr(text.find(" ACCURACY"))));
  EXPECT_NE(one.out.find("\nSubintervals: 1\n"), std::string::npos) << one.out;
}

TEST(KvdumpFiles, AFileOfAnotherKindIsRefusedSayingWhatWasExpected) {
  test::TempDir dir;
  const std::string log = dir.Write("sim.log", " Solution file written: sim.sl4\n");
  const std::string har = dir.Write("sim.sl4", std::string("\xfd\x04\x00\x00\x00NAME\xfd", 10));
  const std::string sli = dir.Write("sim.sli", kSummary);
  KvdumpRun run = Kvdump(dir, "sli " + log);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err,
            "kvdump sli: " + log +
                " is not a solution summary file; expected the lines \"#AVAIL\" and \"#NSOL\" of a .sli\n");
  EXPECT_TRUE(run.out.empty());
  for (const std::string& file : {har, sli, log}) {
    run = Kvdump(dir, "acc " + file);
    EXPECT_EQ(run.exitCode, 1) << file;
    EXPECT_EQ(run.err,
              "kvdump acc: " + file +
                  " holds no accuracy summary; expected the log of a solve with extrapolation (a block "
                  "after \"Below are for levels values\")\n");
    EXPECT_TRUE(run.out.empty());
  }
  run = Kvdump(dir, "har " + log);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "kvdump har: " + log + " is not a Header Array file");
  EXPECT_NE(run.err.find("[IsWhichLaheyFile]"), std::string::npos) << run.err;
  EXPECT_EQ(Kvdump(dir, "info " + log).exitCode, 1);
}

TEST(KvdumpAcc, BadLogsAndArgumentsAreRefused) {
  test::TempDir dir;
  KvdumpRun run = Kvdump(dir, "acc " + dir.File("none.log"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "File \"" + dir.File("none.log") + "\" not found[GetAccSummary2][GetAccSummary]\n");
  const std::string log = dir.Write(
      "solve.log", " Below are for levels values\n  1 results are judged accurate to 6 figures.\n\n");
  run = Kvdump(dir, "acc " + log + " 2");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "Cannot find data accuracy summary[GetAccSummary2][GetAccSummary]\n");
  EXPECT_EQ(Kvdump(dir, "acc " + log + " two").exitCode, 2);
  EXPECT_EQ(Kvdump(dir, "acc " + log + " -1").exitCode, 2);
  EXPECT_EQ(Kvdump(dir, "acc").exitCode, 2);
}

} // namespace
} // namespace pelorin
