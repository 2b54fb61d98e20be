#include "modelinfo/model_info_writer.h"
#include "sample_model.h"
#include "support/temp_dir.h"

#include <cstdlib>
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

TEST(KvdumpInfo, PrintsSetsSubsetsAndTheClosure) {
  test::TempDir dir;
  const std::string name = dir.File("trade.cli");
  ErrorText error;
  ASSERT_TRUE(WriteModelInfo(name, test::SampleModel(), error)) << error;
  const Outcome run = Kvdump(dir, "info " + name);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("     4  REG             2  Regions                 (not listed: REG1 .. REG2)\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("FOODCOM  TRADCOM\n"), std::string::npos);
  EXPECT_NE(
      run.out.find("     2  qxs       COM*REG                             6  percentage   x        1-3 5 "),
      std::string::npos);

  const Outcome csv = Kvdump(dir, "info --csv " + name);
  EXPECT_NE(csv.out.find("\n2,qxs,COM*REG,6,percentage,x,1-3 5,Exports by region\n"), std::string::npos);
}

TEST(KvdumpInfo, ABadFileGivesTheMessageChainAndExitCodeOne) {
  test::TempDir dir;
  const std::string name = dir.Write("bad.min", "#VARIABLES\n0\n");
  const Outcome run = Kvdump(dir, "info " + name);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "Data Item #SETS is not read[GetModelInfo][AddSolInfo:" + name +
                         "][RequestSolInfo:" + name + "]\n");
  EXPECT_TRUE(run.out.empty());
  EXPECT_EQ(Kvdump(dir, "info").exitCode, 2);
}

} // namespace
} // namespace pelorin
