#include "shell/fatal.h"
#include "shell/startup_checks.h"
#include "support/saved_environment.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

TEST(Fatal, EachExitShowsItsMessagesThenEndsWithCodeOne) {
  test::ScriptedUserInterface ui;
  std::vector<int> exits;
  const ExitHook exit = [&](int code) { exits.push_back(code); };
  FatalError(ui, exit, "Cannot create work folder: ", "/p/work", "Please ensure ...");
  FatalErrorText(ui, exit, "Program files are missing !");
  ProgramError(ui, exit, "Cannot open file x.min");
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{
                "Fatal Error:\r\nCannot create work folder: \r\n/p/work\r\nPlease ensure ...\r\n"
                "Click Help for more information.",
                "Program will be halted due to fatal errors.", "Program files are missing !",
                "Program will be halted due to fatal errors", "Program  Error:\r\nCannot open file x.min",
                "Program will be halted due to fatal errors"}));
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::OkHelp);
  EXPECT_EQ(ui.messages[2].buttons, MessageButtons::OkHelp);
  EXPECT_EQ(exits, (std::vector<int>{1, 1, 1}));
}

TEST(StartupChecks, ProgramFolderNamesAreCheckedInOrder) {
  EXPECT_EQ(ProgramDirNameProblem("/opt/pelorin"), std::nullopt);
  EXPECT_EQ(ProgramDirNameProblem("/opt/50% (x)"), "Pelorin directory name contains % symbol:");
  EXPECT_EQ(ProgramDirNameProblem("/opt/a(b"), "Pelorin directory name contains \"(\" symbol:");
  EXPECT_EQ(ProgramDirNameProblem("/opt/a)b"), "Pelorin directory name contains \")\" symbol:");
  EXPECT_EQ(ProgramDirNameProblem("/opt/a b"), "Pelorin directory name contains spaces:");
  EXPECT_EQ(ProgramDirNameProblem("/" + std::string(69, 'x')), std::nullopt);
  EXPECT_EQ(ProgramDirNameProblem("/" + std::string(70, 'x')),
            "Pelorin directory name is too long (max=70 chars):");
}

TEST(StartupChecks, TheInterpreterMustExist) {
  test::TempDir dir;
  EXPECT_EQ(CommandInterpreter(""), "/bin/sh");
  EXPECT_EQ(CommandInterpreter("  "), "/bin/sh");
  const std::string shell = dir.Write("mysh", "");
  EXPECT_EQ(CommandInterpreter(" " + shell + " "), shell);
  EXPECT_EQ(CommandInterpreter(dir.File("none")), "");
}

TEST(StartupChecks, TemporaryAreaProbeTriesEachVariableThenReportsFailure) {
  test::TempDir dir;
  const test::SavedEnvironment saved;
  const std::string blocked = dir.Write("file-not-folder", "");
  ::setenv("KVTEMP", blocked.c_str(), 1);
  ::setenv("TMP", (dir.File("tmp") + "/").c_str(), 1);
  ::unsetenv("TEMP");
  ErrorText error;
  EXPECT_TRUE(FindWritableTempArea(error));
  EXPECT_TRUE(fs::is_directory(dir.File("tmp/KVTEMP/ORVANE")));
  EXPECT_TRUE(fs::is_empty(dir.File("tmp/KVTEMP/ORVANE")));
  EXPECT_EQ(error, "");
  ::unsetenv("KVTEMP");
  ::unsetenv("TMP");
  EXPECT_TRUE(FindWritableTempArea(error)); // the system's own temporary folder
}

TEST(StartupChecks, TestFilesAreWrittenAndErased) {
  test::TempDir dir;
  EXPECT_TRUE(CanWriteTestFile(dir.Path().string()));
  EXPECT_TRUE(fs::is_empty(dir.Path()));
  EXPECT_FALSE(CanWriteTestFile(dir.File("missing")));
  EXPECT_FALSE(CanWriteTestFile(""));
}

// Two programs starting at once in one folder (parallel headless runs) must both find it writable.
TEST(StartupChecks, TestFilesOfTwoProgramsStartingAtOnceDoNotCollide) {
  test::TempDir dir;
  const std::string folder = dir.Path().string();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  int failures = 0;
  for (int i = 0; i < 2000; ++i) {
    failures += CanWriteTestFile(folder) ? 0 : 1;
  }
  if (child == 0) {
    ::_exit(failures == 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(failures, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(StartupChecks, JobEnvironmentKeepsTheOriginalsAndPointsAtTheWorkFolder) {
  const test::SavedEnvironment saved;
  ::setenv("TMP", "/original/tmp", 1);
  ::unsetenv("TEMP");
  ::unsetenv("ORIGINAL_TEMP");
  ::setenv("KVTEMP", "/original/kv", 1);
  test::ScriptedUserInterface ui;
  ASSERT_TRUE(SetJobEnvironment("/p/work", ui));
  EXPECT_STREQ(std::getenv("ORIGINAL_TMP"), "/original/tmp");
  EXPECT_STREQ(std::getenv("ORIGINAL_KVTEMP"), "/original/kv");
  EXPECT_EQ(std::getenv("ORIGINAL_TEMP"), nullptr);
  for (const char* name : {"TMP", "TEMP", "KVTEMP"}) {
    EXPECT_STREQ(std::getenv(name), "/p/work");
  }
  EXPECT_TRUE(ui.messages.empty());
}

} // namespace
} // namespace pelorin
