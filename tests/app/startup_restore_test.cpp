#include "app/application.h"
#include "installed_program.h"
#include "platform/profile_file.h"
#include "support/saved_environment.h"
#include "support/scripted_ui.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

// The whole road of a model's settings through the real model set-up and simulation pages: restored at
// start-up with its files re-pointed into the model folder, then written back at close-down.
TEST(StartupRestore, SettingsWrittenOnAnotherMachineAreRestoredAndWrittenBackRelocated) {
  const test::SavedEnvironment environment;
  test::InstalledProgram program;
  program.InstallModel("Minimal", 3, 12);
  const std::string home = program.programDir + "/Minimal";
  test::ScriptedUserInterface ui;
  ApplicationOptions options;
  options.executablePath = program.programDir + "/pelorin";
  options.exit = [](int code) { FAIL() << "exit " << code; };
  options.changeToRoot = false;
  Application app(ui, options);
  ASSERT_EQ(app.FormCreate(), Application::StartOutcome::Ready);
  app.DosJobTimerTimer();
  EXPECT_TRUE(ui.messages.empty()) << ui.Texts().front();

  EXPECT_EQ(app.Model.Model.ModelFile, home + "/Minimal.exe");
  EXPECT_EQ(app.Model.DataPage.InputLines,
            (std::vector<std::string>{"File DATA0 = " + home + "/data0.har ; ! data",
                                      "File DATA1 = " + home + "/data1.har ; ! data",
                                      "File DATA2 = " + home + "/data2.har ; ! data"}));
  EXPECT_EQ(app.Simulation.Closure.Lines,
            (std::vector<std::string>{"exogenous v1 v2 ;", "rest endogenous ;"}));
  EXPECT_EQ(app.Simulation.Shocks.Lines, (std::vector<std::string>{"shock v1 = 10 ;"}));
  EXPECT_EQ(app.Simulation.Context.method,
            (SolveMethodRec{SolutionMethod::Midpoint, 3, {2, 4, 6}, 1, false}));
  EXPECT_EQ(app.ModelInfo.NVar, 12);
  EXPECT_EQ(app.Window.caption, "pelorin - Minimal");

  app.CloseDown();
  ProfileFile written;
  ErrorText error;
  ASSERT_TRUE(LoadProfileFile(home + "/Minimal.ini", written, error)) << error;
  EXPECT_EQ(written.ReadString("Environment", "Model", ""), home + "/Minimal.exe");
  EXPECT_EQ(written.ReadList("Input Files"), app.Model.DataPage.InputLines);
  EXPECT_EQ(written.ReadList("Closure"), app.Simulation.Closure.Lines);
  EXPECT_EQ(written.ReadList("Shocks"), app.Simulation.Shocks.Lines);
  EXPECT_EQ(written.ReadList("Output Files"),
            (std::vector<std::string>{"Solution file = sim1 ;", "Updated file DATA0 = sim1.upd ;"}));
  EXPECT_EQ(written.ReadInteger("Solution Method", "Method", 0), 4);
  EXPECT_EQ(written.ReadString("Environment", "Verbal description", ""), "Ten percent");
  EXPECT_EQ(written.ReadString("Options", "ModelDesc", ""), "Minimal model");
  EXPECT_EQ(written.ReadInteger("Options", "OrvaneVersion", 0), 240);
  EXPECT_FALSE(written.Find("Options", "DeveloperMode").has_value());
  EXPECT_TRUE(std::filesystem::is_empty(app.App.WorkDir));
}

// A model that fails its check at start-up is dropped with its lists; close-down must not write the empty
// lists over the user's work, which comes back once the model is mended.
TEST(StartupRestore, AModelThatCannotBeRestoredKeepsItsSectionsAtCloseDown) {
  const test::SavedEnvironment environment;
  test::InstalledProgram program;
  program.InstallModel("Minimal", 3, 12);
  const std::string home = program.programDir + "/Minimal";
  const std::string before = test::ReadFileBytes(home + "/Minimal.ini");
  std::filesystem::rename(home + "/Minimal.axs", home + "/Minimal.axs.away");
  test::ScriptedUserInterface ui;
  ApplicationOptions options;
  options.executablePath = program.programDir + "/pelorin";
  options.exit = [](int code) { FAIL() << "exit " << code; };
  options.changeToRoot = false;
  {
    Application app(ui, options);
    ASSERT_EQ(app.FormCreate(), Application::StartOutcome::Ready);
    app.DosJobTimerTimer();
    EXPECT_TRUE(app.Model.Model.ModelFile.empty());
    EXPECT_TRUE(app.Model.DataPage.InputLines.empty());
    ui.messages.clear();
    app.StartupMusic1Click();
    app.CloseDown();
  }
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                            "The model named in the settings file could not be restored, so its data files, "
                            "closure, shocks, output files and solution method were left in\r\n" +
                            home + "/Minimal.ini\r\nas they were."}));
  ProfileFile original;
  ProfileFile written;
  original.Parse(before);
  ErrorText error;
  ASSERT_TRUE(LoadProfileFile(home + "/Minimal.ini", written, error)) << error;
  for (const char* list : {"Input Files", "Closure", "Shocks", "Output Files"}) {
    EXPECT_EQ(written.ReadList(list), original.ReadList(list)) << list;
    EXPECT_FALSE(written.ReadList(list).empty()) << list;
  }
  for (const char* key : {"Model", "Verbal description"}) {
    EXPECT_EQ(written.Find("Environment", key), original.Find("Environment", key)) << key;
  }
  EXPECT_EQ(written.ReadInteger("Solution Method", "Method", 0), 4);
  EXPECT_TRUE(written.ReadBool("Options", "PlayMusic", false)); // the options are still kept

  // Mended, the model comes back with the user's lists.
  std::filesystem::rename(home + "/Minimal.axs.away", home + "/Minimal.axs");
  Application app(ui, options);
  ASSERT_EQ(app.FormCreate(), Application::StartOutcome::Ready);
  EXPECT_EQ(app.Model.DataPage.InputLines.size(), 3u);
  EXPECT_EQ(app.Simulation.Shocks.Lines, (std::vector<std::string>{"shock v1 = 10 ;"}));
}

} // namespace
} // namespace pelorin
