// The viewers in the installed program folder: listed in vital.fil and found where the program looks for
// them, so start-up no longer warns that the Header Array viewer is missing.

#include "demo_solutions.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "shell/catalogue.h"
#include "shell/companion_programs.h"
#include "support/scripted_ui.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

#ifdef PELORIN_WITH_VIEWERS
TEST(InstalledViewers, AreListedAndFoundSoStartUpDoesNotWarn) {
  const std::string& prog = test::DemoSolutions::Get().programDir;
  const std::string vital = test::ReadFileBytes(JoinPath(prog, "vital.fil"));
  std::vector<std::string> programs{"lumarix.exe", "brisolent.exe"};
  std::vector<std::string> viewers{"Lumarix", "Brisolent"};
#ifdef PELORIN_WITH_TELVARI
  programs.push_back("telvari.exe");
  viewers.push_back("Telvari");
#endif
  for (const std::string& program : programs) {
    EXPECT_THAT(vital, ::testing::HasSubstr(program + "\n"));
    EXPECT_EQ(std::filesystem::status(JoinPath(prog, program)).permissions() &
                  std::filesystem::perms::owner_exec,
              std::filesystem::perms::owner_exec)
        << program;
  }
  for (const std::string& viewer : viewers) {
    EXPECT_EQ(FindProgram(viewer, prog), JoinPath(prog, LowerCase(viewer) + ".exe")) << viewer;
  }
  test::ScriptedUserInterface ui;
  CheckProgramFiles(prog, ui);
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());
}
#endif

} // namespace
} // namespace pelorin
