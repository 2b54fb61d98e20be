#include "shell/fatal.h"
#include "shell/startup_checks.h"
#include "support/saved_environment.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
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
  std::string found;
  EXPECT_TRUE(FindWritableTempArea(error, &found));
  EXPECT_EQ(found, dir.File("tmp/KVTEMP/ORVANE")); // a folder of one user's own keeps the one name
  EXPECT_TRUE(fs::is_directory(dir.File("tmp/KVTEMP/ORVANE")));
  EXPECT_TRUE(fs::is_empty(dir.File("tmp/KVTEMP/ORVANE")));
  EXPECT_EQ(error, "");
  ::unsetenv("KVTEMP");
  ::unsetenv("TMP");
  EXPECT_TRUE(FindWritableTempArea(error)); // the system's own temporary folder
}

// Two users of one machine share /tmp: the first to start must not own the folder every other user's probe
// needs. The second user is "nobody", taken on by a child process that gives up root, so this runs as root.
TEST(StartupChecks, TwoUsersOfASharedTemporaryAreaEachGetAFolderOfTheirOwn) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "a second user can only be taken on by root";
  }
  constexpr uid_t kSecondUser = 65534;
  const passwd* second = ::getpwuid(kSecondUser);
  const std::string secondName = second != nullptr ? second->pw_name : std::to_string(kSecondUser);
  const passwd* first = ::getpwuid(0);
  const std::string firstName = first != nullptr ? first->pw_name : "0";
  std::string shared = (fs::temp_directory_path() / "pelorin-shared-XXXXXX").string();
  ASSERT_NE(::mkdtemp(shared.data()), nullptr);
  const struct Removed {
    std::string path;
    ~Removed() {
      std::error_code ec;
      fs::remove_all(path, ec);
    }
  } removed{shared};
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0); // like /tmp: everyone writes, nobody removes another's files
  const test::SavedEnvironment saved;
  ::setenv("KVTEMP", shared.c_str(), 1);
  ::unsetenv("TMP");
  ::unsetenv("TEMP");

  ErrorText error;
  std::string found;
  ASSERT_TRUE(FindWritableTempArea(error, &found));
  EXPECT_EQ(found, shared + "/KVTEMP-" + firstName + "/ORVANE");

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kSecondUser) != 0 || ::setuid(kSecondUser) != 0) {
      ::_exit(2);
    }
    ErrorText childError;
    std::string childFound;
    const bool ok = FindWritableTempArea(childError, &childFound);
    ::_exit(ok && childFound == shared + "/KVTEMP-" + secondName + "/ORVANE" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  struct stat st {};
  ASSERT_EQ(::lstat((shared + "/KVTEMP-" + secondName).c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, kSecondUser);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // A user's folder that is someone else's, or a link, is not used.
  const std::string own = shared + "/KVTEMP-" + firstName;
  fs::remove_all(own);
  fs::create_directory(own);
  ASSERT_EQ(::chown(own.c_str(), kSecondUser, kSecondUser), 0);
  EXPECT_EQ(TempAreaFolder(shared), std::nullopt);
  fs::remove_all(own);
  fs::create_directory_symlink(shared + "/KVTEMP-" + secondName, own);
  EXPECT_EQ(TempAreaFolder(shared), std::nullopt);
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
