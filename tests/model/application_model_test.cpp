#include "app/application.h"
#include "model/file_lines.h"
#include "model_fixture.h"
#include "platform/paths.h"
#include "support/saved_environment.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

// Start-up, the first tick and close-down with the real model set-up behind the application.
class ApplicationWithModel : public ::testing::Test {
protected:
  void SetUp() override {
    programDir = JoinPath(dir.Path().string(), "prog");
    fs::create_directories(programDir);
    for (const char* program : {"praxola.exe", "mirdaa.exe", "lumarix.exe", "orvane.html"}) {
      WriteLines(JoinPath(programDir, program), {});
    }
    modelFile = WriteTestModel(programDir, TestModel());
    fs::create_directories(JoinPath(programDir, "minimal/OutPut"));
    // The rest of what an installed model folder holds.
    for (const char* ext : {".mrk", ".sti", ".inf", ".bmp", ".rtf", ".ini"}) {
      WriteLines(ChangeFileExt(modelFile, ext), {});
    }
    WriteLines(ChangeFileExt(modelFile, ".mdf"), {"File BASEDATA = ?? ; ! Base data"});
    WriteLines(ChangeFileExt(modelFile, ".tit"),
               {"clWhite", "1 clBlue", "Title", "1 clRed", "One", "1 clRed", "Two", "1 clRed", "Three"});
  }

  std::unique_ptr<Application> Start() {
    ApplicationOptions options;
    options.executablePath = JoinPath(programDir, "pelorin");
    options.exit = [this](int code) { exits.push_back(code); };
    options.changeToRoot = false;
    auto app = std::make_unique<Application>(ui, options);
    app->Model.Launcher = [](const std::string&, const std::vector<std::string>&, const std::string&,
                             ErrorText&) { return true; };
    return app;
  }

  SavedEnvironment environment;
  TempDir dir;
  std::string programDir;
  std::string modelFile;
  ScriptedUserInterface ui;
  std::vector<int> exits;
};

TEST_F(ApplicationWithModel, SettingsRestoreTheModelAndCloseDownKeepsTheUsersWork) {
  const std::string ini = ChangeFileExt(modelFile, ".ini");
  WriteLines(ini, {"[Environment]", "Model=C:\\old\\minimal.exe", "Model Name=minimal", "[Input Files]",
                   "0=File BASEDATA = D:\\old\\base.har ; ! Base data", "[Output Files]",
                   "0=Solution file = base ;", "1=Updated file BASEDATA = base.upd ;",
                   "2=File SUMMARY = base.ou1 ;"});
  auto app = Start();
  ASSERT_EQ(app->FormCreate(), Application::StartOutcome::Ready);
  const ModelSetUp& m = app->Model;
  EXPECT_EQ(m.Model.ModelFile, modelFile);
  const std::string base = JoinPath(JoinPath(programDir, "minimal"), "base.har");
  EXPECT_THAT(m.DataPage.InputLines, ElementsAre("File BASEDATA = " + base + " ; ! Base data"));
  EXPECT_THAT(m.OutputPage.OutputLines,
              ElementsAre("Solution file = base ;", "Updated file BASEDATA = base.upd ;",
                          "File SUMMARY = base.ou1 ;"));
  EXPECT_EQ(m.Model.OutputDir, JoinPath(programDir, "minimal/OutPut"));
  EXPECT_EQ(m.OutputPage.PostSimName, "baseps");
  EXPECT_EQ(app->Window.caption, "pelorin - minimal");
  EXPECT_EQ(app->ModelInfo.NVar, 2);
  EXPECT_TRUE(ui.messages.empty()) << ui.Texts()[0];

  // The relocated data file does not exist: the first tick asks about it once.
  ui.answers.push_back(MessageAnswer::No);
  app->DosJobTimerTimer();
  EXPECT_THAT(ui.Texts(), ElementsAre("The file " + base +
                                      "\r\n (associated with logical file BASEDATA) no longer exists.\r\n"
                                      "Do you wish to specify this file again?"));
  EXPECT_THAT(m.DataPage.InputLines, ElementsAre("File BASEDATA = ?? ;"));

  app->CloseDown();
  auto again = Start();
  ASSERT_EQ(again->FormCreate(), Application::StartOutcome::Ready);
  EXPECT_EQ(again->Model.Model.ModelFile, modelFile);
  EXPECT_EQ(again->Model.DataPage.InputLines, m.DataPage.InputLines);
  EXPECT_EQ(again->Model.OutputPage.OutputLines, m.OutputPage.OutputLines);
  EXPECT_TRUE(exits.empty());
}

TEST_F(ApplicationWithModel, WithoutAModelTheFirstTickOffersTheModelChooser) {
  auto app = Start();
  ASSERT_EQ(app->FormCreate(), Application::StartOutcome::Ready);
  EXPECT_EQ(app->Model.Model.ModelDir, programDir);
  EXPECT_EQ(app->Window.caption, "pelorin");
  ui.files.push_back(modelFile);
  app->DosJobTimerTimer();
  EXPECT_EQ(app->Window.currentPage, kModelDataPageIndex);
  EXPECT_EQ(app->Model.Model.ModelFile, modelFile);
  EXPECT_EQ(app->Model.OutputPage.OutputLines.front(), "Solution file = sim1 ;");
  EXPECT_EQ(app->Window.caption, "pelorin - minimal");
  EXPECT_EQ(ui.dialogs.back().initialDir, programDir);
}

} // namespace
} // namespace pelorin::test
