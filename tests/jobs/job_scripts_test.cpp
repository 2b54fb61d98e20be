// solve.bat run by the shell with stand-in solvers: what it leaves behind for each way a solver can end, and
// the Windows dialect's text.

#include "jobs/job_scripts.h"
#include "model/file_lines.h"
#include "platform/process.h"
#include "support/temp_dir.h"

#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class SolveBatchTest : public ::testing::Test {
protected:
  SolveBatchTest() {
    fs::create_directories(work);
    fs::create_directories(output);
  }

  // A stand-in solver: writes its log and, unless told otherwise, the solution file; exits with `code`.
  std::string Solver(const std::string& name, int code, bool writesSolution) {
    const std::string path =
        dir.Write(name, "#!/bin/sh\necho \"solved $*\" > \"$4\"\n" +
                            std::string(writesSolution ? ": > '" + solution + "'\n" : "") + "exit " +
                            std::to_string(code) + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
  }

  // Writes solve.bat and runs it with /bin/sh to its end.
  void Run(const std::string& solver, bool postSim = false) {
    SolveBatch batch = SolveBatchPaths(work, output, solver, solution, postSim);
    std::vector<std::string> lines;
    ErrorText error;
    SolveBatchLines(ScriptDialect::Sh, batch, lines, error);
    ASSERT_EQ(error, "");
    ASSERT_TRUE(WriteLines(work + "/solve.bat", lines));
    ChildProcess process;
    ProcessOptions options;
    options.folder = work;
    options.discardOutput = true;
    ASSERT_TRUE(process.Start("/bin/sh", {work + "/solve.bat"}, options, error)) << error;
    while (process.Running()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  std::string Read(const std::string& path) const { return test::ReadFileBytes(path); }
  bool Exists(const std::string& path) const { return fs::exists(path); }

  test::TempDir dir;
  // Blanks and a quote in the folders: the script's quoting must hold.
  std::string work = dir.File("work it's");
  std::string output = dir.File("out put");
  std::string solution = output + "/sim1.sl4";
};

TEST_F(SolveBatchTest, ASolverThatSucceedsLeavesItsLogBesideTheSolutionAndNoFlag) {
  dir.Write("out put/sim1.slc", "old");
  dir.Write("out put/sim1.xac", "old");
  Run(Solver("model.exe", 0, true));
  EXPECT_TRUE(Exists(solution));
  EXPECT_FALSE(Exists(output + "/sim1.slc"));
  EXPECT_FALSE(Exists(output + "/sim1.xac"));
  EXPECT_EQ(Read(work + "/solve.log"), "solved -sti " + work + "/solve.sti -lon " + work + "/solve.log\n");
  EXPECT_EQ(Read(output + "/sim1.log"), Read(work + "/solve.log"));
  EXPECT_FALSE(Exists(work + "/solve.flg"));
}

TEST_F(SolveBatchTest, SolverFailuresWriteTheFlagFile) {
  // Exit code 0 but no solution file: both logs say so.
  dir.Write("out put/sim1.sl4", "an old solution");
  Run(Solver("nosol.exe", 0, false));
  EXPECT_FALSE(Exists(solution)); // the old one was removed first
  EXPECT_THAT(Read(work + "/solve.log"), HasSubstr("solved -sti"));
  EXPECT_THAT(Read(work + "/solve.log"), HasSubstr("*** But Solution file was not created ***\n"));
  EXPECT_THAT(Read(output + "/sim1.log"), HasSubstr("*** But Solution file was not created ***\n"));
  EXPECT_EQ(Read(work + "/solve.flg"), "error at model solution stage\n");

  // An error exit: the log is still copied.
  fs::remove(work + "/solve.flg");
  Run(Solver("fails.exe", 3, true));
  EXPECT_EQ(Read(work + "/solve.flg"), "error at model solution stage\n");
  EXPECT_EQ(Read(output + "/sim1.log"), Read(work + "/solve.log"));

  // A solver that cannot start leaves only the note in the log.
  fs::remove(work + "/solve.flg");
  Run(dir.File("missing.exe"));
  EXPECT_EQ(Read(work + "/solve.log"),
            "** " + dir.File("missing.exe") + " did not produce \"" + work + "/solve.log\"\n");
  EXPECT_TRUE(Exists(work + "/solve.flg"));
}

TEST_F(SolveBatchTest, PostSimulationRunsInTheWorkFolderAfterASolution) {
  Run(Solver("model.exe", 0, true), true);
  EXPECT_EQ(Read(work + "/postsim.log"),
            "solved -sti " + work + "/postsim.sti -lon " + work + "/postsim.log\n");
  EXPECT_FALSE(Exists(work + "/postsim.flg"));

  const std::string post = dir.Write("post.exe", "#!/bin/sh\necho \"solved $*\" > \"$4\"\n: > '" + solution +
                                                     "'\ncase \"$2\" in *postsim.sti) exit 2;; esac\n");
  ::chmod(post.c_str(), 0755);
  Run(post, true);
  EXPECT_EQ(Read(work + "/postsim.flg"), "error at PostSim stage\n");
  EXPECT_FALSE(Exists(work + "/solve.flg"));

  // No solution, no post-simulation.
  fs::remove(work + "/postsim.log");
  Run(Solver("nosol.exe", 0, false), true);
  EXPECT_FALSE(Exists(work + "/postsim.log"));
}

TEST_F(SolveBatchTest, AnOutputFolderTheScriptCannotEnterEndsTheScriptThere) {
  std::vector<std::string> lines;
  ErrorText error;
  SolveBatchLines(ScriptDialect::Sh, SolveBatchPaths(work, "out", "model.exe", "out/sim1.sl4", false), lines,
                  error);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(error, "[ChangeDirBat]");
  lines.clear();
  error.clear();
  SolveBatchLines(ScriptDialect::Sh, SolveBatchPaths("work", output, "model.exe", solution, true), lines,
                  error);
  EXPECT_EQ(error, "[ChangeDirBat]");
  EXPECT_EQ(lines.back(), "fi"); // the solve's part is there, the post-simulation's is not
}

TEST(SolveBatchCmd, WindowsDialectKeepsTheBatchFileSteps) {
  SolveBatch batch;
  batch.outputDir = "C:\\out put";
  batch.workDir = "C:\\kv\\work";
  batch.solver = "C:\\models\\sj.exe";
  batch.solutionFile = "C:\\out put\\sim1.sl4";
  batch.logCopy = "C:\\out put\\sim1.log";
  batch.solveSti = "C:\\kv\\work\\solve.sti";
  batch.solveLog = "C:\\kv\\work\\solve.log";
  batch.solveFlag = "C:\\kv\\work\\solve.flg";
  batch.postSim = true;
  batch.postSimSti = "C:\\kv\\work\\postsim.sti";
  batch.postSimLog = "C:\\kv\\work\\postsim.log";
  batch.postSimFlag = "C:\\kv\\work\\postsim.flg";
  std::vector<std::string> lines;
  ErrorText error;
  SolveBatchLines(ScriptDialect::Cmd, batch, lines, error);
  EXPECT_EQ(error, "");
  const std::vector<std::string> expected{
      "C:",
      "cd \"C:\\out put\"",
      "del \"C:\\out put\\sim1.sl4\"",
      "del \"C:\\out put\\sim1.slc\"",
      "del \"C:\\out put\\sim1.xac\"",
      "echo ** C:\\models\\sj.exe did not produce C:\\kv\\work\\solve.log > C:\\kv\\work\\solve.log",
      "C:\\models\\sj.exe -sti C:\\kv\\work\\solve.sti -lon C:\\kv\\work\\solve.log",
      "if errorlevel 1 goto error1",
      "copy C:\\kv\\work\\solve.log \"C:\\out put\\sim1.log\"",
      "if exist \"C:\\out put\\sim1.sl4\" goto sl4ok",
      "goto error1s",
      ":sl4ok",
      "C:",
      "cd C:\\kv\\work",
      "echo ** C:\\models\\sj.exe did not produce C:\\kv\\work\\postsim.log > C:\\kv\\work\\postsim.log",
      "C:\\models\\sj.exe -sti C:\\kv\\work\\postsim.sti -lon C:\\kv\\work\\postsim.log",
      "if errorlevel 1 goto error3",
      "goto endbat",
      ":error1",
      "copy C:\\kv\\work\\solve.log \"C:\\out put\\sim1.log\"",
      ":error1a",
      "echo error at model solution stage > C:\\kv\\work\\solve.flg",
      "goto endbat",
      ":error1s",
      "echo *** But Solution file was not created *** >> \"C:\\out put\\sim1.log\"",
      "echo *** But Solution file was not created *** >> C:\\kv\\work\\solve.log",
      "goto error1a",
      "goto endbat",
      ":error3",
      "echo error at PostSim stage > C:\\kv\\work\\postsim.flg",
      "goto endbat",
      ":endbat"};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(ScriptArguments(ScriptDialect::Cmd, "C:\\kv\\work\\solve.bat", true),
            (std::vector<std::string>{"/e:2000", "/c", "C:\\kv\\work\\solve.bat"}));
  EXPECT_EQ(ScriptArguments(ScriptDialect::Cmd, "C:\\kv\\work\\clcheck.bat", false),
            (std::vector<std::string>{"/c", "C:\\kv\\work\\clcheck.bat"}));
  EXPECT_EQ(ScriptArguments(ScriptDialect::Sh, "/w/solve.bat", true),
            (std::vector<std::string>{"/w/solve.bat"}));

  // Without a drive letter the batch ends after the folder change's failure.
  lines.clear();
  batch.outputDir = "\\out";
  SolveBatchLines(ScriptDialect::Cmd, batch, lines, error);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(error, "[ChangeDirBat]");
}

} // namespace
} // namespace pelorin
