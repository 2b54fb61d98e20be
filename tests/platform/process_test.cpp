#include "platform/process.h"
#include "support/temp_dir.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

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

TEST(Process, RunsInASessionOfItsOwnAndKeepsTheDescriptorsItIsGiven) {
  test::TempDir dir;
  const int kept = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const int other = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(kept, 0);
  ASSERT_GE(other, 0);
  const auto has = [](int fd) {
    return "[ -e /proc/self/fd/" + std::to_string(fd) + " ] && echo yes || echo no";
  };
  ChildProcess process;
  ErrorText error;
  ProcessOptions options{dir.Path().string(), false, {kept}};
  ASSERT_TRUE(process.Start("/bin/sh", {"-c", "(" + has(kept) + "; " + has(other) + ") > fds; sleep 0.2"},
                            options, error))
      << error;
  ::close(kept);
  ::close(other);
  // Its own session and process group: an interrupt sent to ours (Control-C at our terminal) passes it by.
  EXPECT_EQ(::getsid(process.Pid()), process.Pid());
  EXPECT_EQ(::getpgid(process.Pid()), process.Pid());
  ASSERT_TRUE(EndsWithin(process, std::chrono::seconds(10)));
  EXPECT_EQ(process.ExitCode(), 0);
  EXPECT_EQ(test::ReadFileBytes(dir.File("fds")), "yes\nno\n");
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

// The program is started in another folder than ours: a relative path and a PATH hit on a relative or empty
// entry still name the program we found, and a file without the run bit is passed over.
TEST(Process, RelativeProgramsAreTakenFromOurFolderNotTheChilds) {
  test::TempDir dir;
  const fs::path before = fs::current_path();
  const char* savedPath = std::getenv("PATH");
  const std::string oldPath = savedPath != nullptr ? savedPath : "";
  fs::create_directories(dir.File("mine/bin"));
  fs::create_directories(dir.File("there/bin"));
  for (const char* side : {"mine", "there"}) {
    const std::string script =
        dir.Write(std::string(side) + "/bin/tool", std::string("#!/bin/sh\necho ") + side + " > ran.txt\n");
    fs::permissions(script, fs::perms::owner_all);
  }
  dir.Write("mine/plain", "#!/bin/sh\n"); // not runnable
  fs::current_path(dir.File("mine"));
  ::setenv("PATH", ("bin::" + oldPath).c_str(), 1);
  EXPECT_EQ(SearchPath("tool"), dir.File("mine/bin/tool"));
  EXPECT_EQ(SearchPath("plain"), "");
  ::setenv("PATH", ":/usr/bin:/bin", 1);
  fs::permissions(dir.Write("mine/runnable", "#!/bin/sh\n"), fs::perms::owner_all);
  EXPECT_EQ(SearchPath("runnable"), dir.File("mine/runnable"));
  ::setenv("PATH", ("bin:" + oldPath).c_str(), 1);

  ErrorText error;
  for (const std::string program : {"tool", "bin/tool"}) {
    ChildProcess process;
    fs::remove(dir.File("there/ran.txt"));
    ASSERT_TRUE(process.Start(program, {}, {dir.File("there"), false}, error)) << error;
    ASSERT_TRUE(EndsWithin(process, std::chrono::seconds(10)));
    EXPECT_EQ(test::ReadFileBytes(dir.File("there/ran.txt")), "mine\n") << program;
  }
  ::setenv("PATH", oldPath.c_str(), 1);
  fs::current_path(before);
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
