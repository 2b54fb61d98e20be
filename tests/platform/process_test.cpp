#include "platform/process.h"
#include "support/temp_dir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

bool EndsWithin(ChildProcess& process, std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (process.Running()) {
    if (std::chrono::steady_clock::now() > until) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

TEST(Process, RunsInItsFolderWithoutTerminalInputAndReportsItsExitCode) {
  test::TempDir dir;
  ChildProcess process;
  ErrorText error;
  // "read" fails at once on an empty input: a job never waits for a person at a terminal.
  ASSERT_TRUE(process.Start("/bin/sh", {"-c", "pwd > here.txt; read x; echo $? > read.txt; exit 3"},
                            {dir.Path().string(), false}, error))
      << error;
  EXPECT_GT(process.Pid(), 0);
  ASSERT_TRUE(EndsWithin(process, std::chrono::seconds(10)));
  EXPECT_EQ(process.ExitCode(), 3);
  EXPECT_FALSE(process.Running());
  EXPECT_EQ(test::ReadFileBytes(dir.File("here.txt")), fs::canonical(dir.Path()).string() + "\n");
  EXPECT_EQ(test::ReadFileBytes(dir.File("read.txt")), "1\n");
}

TEST(Process, ABareNameIsSearchedOnThePath) {
  ChildProcess process;
  ErrorText error;
  ASSERT_TRUE(process.Start("true", {}, {}, error)) << error;
  ASSERT_TRUE(EndsWithin(process, std::chrono::seconds(10)));
  EXPECT_EQ(process.ExitCode(), 0);
  EXPECT_FALSE(SearchPath("sh").empty());
  EXPECT_EQ(SearchPath("no-such-program-here"), "");
}

TEST(Process, StartFailuresAreReportedNotRun) {
  test::TempDir dir;
  ChildProcess process;
  ErrorText error;
  EXPECT_FALSE(process.Start("/no/such/program", {}, {}, error));
  EXPECT_EQ(error, "Cannot start /no/such/program: No such file or directory[StartProcess]");
  EXPECT_FALSE(process.Running());
  error.clear();
  EXPECT_FALSE(process.Start("/bin/sh", {"-c", "touch ran"}, {dir.File("missing"), false}, error));
  EXPECT_EQ(error, "Cannot start /bin/sh: No such file or directory[StartProcess]");
  error.clear();
  const std::string plain = dir.Write("plain.txt", "not a program");
  EXPECT_FALSE(StartDetached(plain, {}, {}, error));
  EXPECT_EQ(error, "Cannot start " + plain + ": Permission denied[StartDetached]");
}

TEST(Process, ADetachedProgramRunsOnItsOwn) {
  test::TempDir dir;
  ErrorText error;
  ASSERT_TRUE(StartDetached("/bin/sh", {"-c", "echo \"$1\" > got.txt", "sh", "a b \"c\""},
                            {dir.Path().string(), true}, error))
      << error;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (test::ReadFileBytes(dir.File("got.txt")).empty() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(test::ReadFileBytes(dir.File("got.txt")), "a b \"c\"\n");
}

} // namespace
} // namespace pelorin
