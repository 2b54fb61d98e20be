#include "shell/companion_programs.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

struct Launch {
  std::string program;
  std::vector<std::string> arguments;
  std::string folder;
};

class CompanionTest : public ::testing::Test {
protected:
  CompanionTest()
      : programs(dir.Path().string(), ui,
                 [this](const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& folder, ErrorText&) {
                   launches.push_back({program, arguments, folder});
                   return launchWorks;
                 }) {
    savedPath = std::getenv("PATH");
    fs::create_directories(dir.File("bin"));
    ::setenv("PATH", (dir.File("bin") + ":/usr/bin:/bin").c_str(), 1);
  }
  ~CompanionTest() override { ::setenv("PATH", savedPath.c_str(), 1); }

  test::TempDir dir;
  test::ScriptedUserInterface ui;
  std::vector<Launch> launches;
  bool launchWorks = true;
  CompanionPrograms programs;
  std::string savedPath;
};

TEST_F(CompanionTest, FindProgramLooksInTheProgramFolderThenOnThePath) {
  const std::string programDir = dir.Path().string();
  dir.Write("praxola.exe", "");
  dir.Write("bin/mirdaa.exe", "");
  dir.Write("DRAVEX.EXE", "");
  fs::permissions(dir.Write("bin/telvari.exe", ""), fs::perms::owner_all);
  EXPECT_EQ(RequiredProgramName("PRAXOL"), "praxola.exe");
  EXPECT_EQ(FindProgram("PRAXOL", programDir), dir.File("praxola.exe"));
  EXPECT_EQ(FindProgram("MIRDA", programDir), ""); // only in the program folder
  EXPECT_EQ(FindProgram("DRAVEX", programDir), dir.File("DRAVEX.EXE"));
  EXPECT_EQ(FindProgram("Telvari", programDir), dir.File("bin/telvari.exe"));
  EXPECT_EQ(FindProgram("Lumarix", programDir), "");
}

// Programs are started from the model or the work folder: a hit on a relative or empty PATH entry is made
// absolute at lookup, and a file that cannot be run is passed over.
TEST_F(CompanionTest, ProgramsOnRelativePathEntriesAreFoundByTheirAbsolutePaths) {
  const fs::path before = fs::current_path();
  fs::current_path(dir.Path());
  fs::create_directories(dir.File("relbin"));
  fs::create_directories(dir.File("prog"));
  fs::permissions(dir.Write("relbin/Lumarix.exe", ""), fs::perms::owner_all);
  fs::permissions(dir.Write("DRAVEX.EXE", ""), fs::perms::owner_all);
  dir.Write("bin/Telvari.exe", ""); // no run bit
  ::setenv("PATH", ("relbin::" + dir.File("bin")).c_str(), 1);
  const std::string programDir = dir.File("prog");
  EXPECT_EQ(FindProgram("Lumarix", programDir), dir.File("relbin/Lumarix.exe"));
  EXPECT_EQ(FindProgram("DRAVEX", programDir), dir.File("DRAVEX.EXE"));
  EXPECT_EQ(FindProgram("Telvari", programDir), "");
  ::setenv("PATH", ".", 1);
  EXPECT_EQ(FindProgram("DRAVEX", programDir), dir.File("DRAVEX.EXE"));
  // The terminal of "Shell to DOS" the same way, found on the empty entry.
  fs::permissions(dir.Write("x-terminal-emulator", ""), fs::perms::owner_all);
  ::setenv("PATH", ("relbin::" + dir.File("bin")).c_str(), 1);
  fs::create_directories(dir.File("work"));
  ASSERT_TRUE(programs.ShellToDos(dir.File("work"), "/out", "/bin/sh"));
  EXPECT_EQ(launches.back().program, dir.File("x-terminal-emulator"));
  fs::current_path(before);
}

TEST_F(CompanionTest, ViewersAreStartedWithTheirArgumentForms) {
  dir.Write("lumarix.exe", "");
  dir.Write("Telvari.exe", "");
  const std::string file = dir.Write("base.har", "");
  ASSERT_TRUE(programs.StartLumarix(CompanionPrograms::LumarixTarget::File, file, "/models/m"));
  ASSERT_TRUE(programs.StartLumarix(CompanionPrograms::LumarixTarget::ViewFile, file, "/models/m"));
  ASSERT_TRUE(programs.StartLumarix(CompanionPrograms::LumarixTarget::Folder, "/no/check", "/models/m"));
  ASSERT_TRUE(programs.StartTelvari("/out/sim1.sl4", false, "/models/m"));
  ASSERT_TRUE(programs.StartTelvari("/out", true, "/models/m"));
  ASSERT_EQ(launches.size(), 5u);
  EXPECT_EQ(launches[0].program, dir.File("lumarix.exe"));
  EXPECT_EQ(launches[0].arguments, std::vector<std::string>{file});
  EXPECT_EQ(launches[0].folder, "/models/m");
  EXPECT_EQ(launches[1].arguments, std::vector<std::string>{"#" + file});
  EXPECT_EQ(launches[2].arguments, std::vector<std::string>{"%/no/check"});
  EXPECT_EQ(launches[3].program, dir.File("Telvari.exe"));
  EXPECT_EQ(launches[3].arguments, std::vector<std::string>{"/out/sim1.sl4"});
  EXPECT_EQ(launches[4].arguments, std::vector<std::string>{"%/out"});
  EXPECT_TRUE(ui.messages.empty());

  EXPECT_FALSE(programs.StartLumarix(CompanionPrograms::LumarixTarget::ViewFile, dir.File("gone.har"), "/m"));
  launchWorks = false;
  EXPECT_FALSE(programs.StartLumarix(CompanionPrograms::LumarixTarget::File, file, "/m"));
  EXPECT_FALSE(programs.StartTelvari("/out", true, "/m"));
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{"Cannot find file:\r\n" + dir.File("gone.har"),
                                      "Could not launch Lumarix !", "Could not launch Telvari !"}));
}

TEST_F(CompanionTest, MissingViewersSaySoAndWhere) {
  EXPECT_FALSE(programs.StartLumarix(CompanionPrograms::LumarixTarget::File, "x.har", "/m"));
  EXPECT_FALSE(programs.StartTelvari("x.sl4", false, "/m"));
  EXPECT_FALSE(programs.StartBrisolent("/out/x.sl4"));
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{
                "Lumarix is not available\r\n(either in Orvane's directory or on the DOS Path).\r\n"
                "You cannot examine Header Array files.",
                "Telvari is not available\r\n(either in Orvane's directory or on the DOS Path).\r\n"
                "You cannot examine Solution files via Telvari.",
                "Cannot find Brisolent.\r\n[In " + dir.Path().string() + ",\r\non PATH or in /kv]"}));
  EXPECT_TRUE(launches.empty());
}

TEST_F(CompanionTest, BrisolentStartsInTheSolutionsFolderAndEditorsViewWithHash) {
  fs::permissions(dir.Write("bin/brisolent.exe", ""), fs::perms::owner_all);
  ASSERT_TRUE(programs.StartBrisolent("/runs/one/sim1.sl4"));
  EXPECT_EQ(launches.back().folder, "/runs/one");
  EXPECT_EQ(launches.back().arguments, std::vector<std::string>{"/runs/one/sim1.sl4"});

  const std::string file = dir.Write("notes.txt", "");
  ASSERT_TRUE(programs.StartEditor("/opt/Scribix.exe", file, true, "/m"));
  EXPECT_EQ(launches.back().arguments, std::vector<std::string>{"#" + file});
  ASSERT_TRUE(programs.StartEditor("/opt/scribix.exe", file, false, "/m"));
  EXPECT_EQ(launches.back().arguments, std::vector<std::string>{file});
  ASSERT_TRUE(programs.StartEditor("/usr/bin/gedit", file, true, "/m"));
  EXPECT_EQ(launches.back().arguments, std::vector<std::string>{file});
  launchWorks = false;
  EXPECT_FALSE(programs.StartEditor("/usr/bin/gedit", file, true, "/m"));
  EXPECT_FALSE(programs.StartBrisolent("/runs/one/sim1.sl4"));
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Could not launch /usr/bin/gedit !",
                                                  "Could not run \r\n" + dir.File("bin/brisolent.exe")}));
}

TEST_F(CompanionTest, ShellToDosWritesNumberedScriptsThatChangeToTheOutputFolder) {
  EXPECT_EQ(CompanionPrograms::ShellScript("/out/it's here", "/bin/sh"),
            "#!/bin/sh\ncd '/out/it'\\''s here' || exit 1\nexec '/bin/sh'\n");
  EXPECT_EQ(CompanionPrograms::ShellScript("relative/out", "/bin/sh"), "#!/bin/sh\nexit 1\n");

  const std::string term = dir.Write("bin/x-terminal-emulator", "");
  ::chmod(term.c_str(), 0755);
  fs::create_directories(dir.File("work"));
  dir.Write("work/wg1.bat", "taken");
  ASSERT_TRUE(programs.ShellToDos(dir.File("work"), "/out", "/bin/sh"));
  EXPECT_EQ(test::ReadFileBytes(dir.File("work/wg1.bat")), "taken");
  EXPECT_EQ(test::ReadFileBytes(dir.File("work/wg2.bat")),
            "#!/bin/sh\ncd '/out' || exit 1\nexec '/bin/sh'\n");
  EXPECT_EQ(launches.back().program, term);
  EXPECT_EQ(launches.back().arguments, (std::vector<std::string>{"-e", "/bin/sh", dir.File("work/wg2.bat")}));
  EXPECT_EQ(launches.back().folder, dir.Path().string());

  launchWorks = false;
  EXPECT_FALSE(programs.ShellToDos(dir.File("work"), "/out", "/bin/sh"));
  EXPECT_FALSE(fs::exists(dir.File("work/wg3.bat")));
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Unable to run /bin/sh"}));
}

} // namespace
} // namespace pelorin
