#include "shell/app_state.h"
#include "shell/catalogue.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAllExtensions[] = {"mrk", "min", "axs", "axt", "sti", "exe", "inf",
                                          "bmp", "rtf", "cls", "ini", "mdf", "tit"};

class CatalogueTest : public ::testing::Test {
protected:
  CatalogueTest() { app.ProgramDir = dir.Path().string(); }

  void Install(const std::string& name, const std::string& ini, bool complete = true) {
    fs::create_directories(dir.File(name));
    dir.Write(name + "/" + name + ".ini", ini);
    dir.Write(name + "/" + name + ".exe", "");
    if (complete) {
      for (const char* extension : kAllExtensions) {
        if (!fs::exists(dir.File(name + "/" + name + "." + extension))) {
          dir.Write(name + "/" + name + "." + extension, "");
        }
      }
    }
  }

  test::TempDir dir;
  AppState app;
  test::ScriptedUserInterface ui;
};

TEST_F(CatalogueTest, ListsFoldersWithBothIniAndExeInNameOrder) {
  Install("Zeta", "[Options]\nModelDesc=Last one\nBigPic=1\n");
  Install("alpha", "");
  fs::create_directories(dir.File("NoExe"));
  dir.Write("NoExe/NoExe.ini", "");
  fs::create_directories(dir.File(".hidden"));
  dir.Write(".hidden/.hidden.ini", "");
  dir.Write(".hidden/.hidden.exe", "");
  dir.Write("Loose.ini", "");
  const std::vector<InstalledModel> models = ListInstalledModels(app.ProgramDir);
  ASSERT_EQ(models.size(), 2u);
  EXPECT_EQ(models[0].name, "alpha");
  EXPECT_EQ(models[0].description, "Model description");
  EXPECT_FALSE(models[0].bigPic);
  EXPECT_EQ(models[1].name, "Zeta");
  EXPECT_EQ(models[1].description, "Last one");
  EXPECT_TRUE(models[1].bigPic);
}

TEST_F(CatalogueTest, ChooserPreselectsMinimalAndTakesASingleModelWithoutAsking) {
  InstalledModel chosen;
  EXPECT_FALSE(ChooseCustomModel(app, ui, chosen));
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"No models available"}));

  Install("Only", "[Options]\nModelDesc=The only one\n");
  ASSERT_TRUE(ChooseCustomModel(app, ui, chosen));
  EXPECT_TRUE(ui.lists.empty());
  EXPECT_EQ(app.ModelName, "Only");
  EXPECT_EQ(app.ModelDescription, "The only one");

  Install("Alpha", "");
  Install("Minimal", "[Options]\nModelDesc=Small\n");
  ui.choices.push_back(0);
  ASSERT_TRUE(ChooseCustomModel(app, ui, chosen));
  EXPECT_EQ(ui.lists.back(), (std::vector<std::string>{"Alpha - Model description", "Minimal - Small",
                                                       "Only - The only one"}));
  EXPECT_EQ(app.ModelName, "Alpha");
  ui.choices.push_back(std::nullopt);
  EXPECT_FALSE(ChooseCustomModel(app, ui, chosen));
  EXPECT_EQ(app.ModelName, "Alpha");
}

TEST_F(CatalogueTest, ChooserPreselectionIsVisibleToTheWindow) {
  // The scripted double reports the pre-selected index by answering with it when no choice is queued.
  Install("Alpha", "");
  Install("MINIMAL", "");
  struct Recorder : test::ScriptedUserInterface {
    int preselected = -2;
    std::optional<int> ChooseFromList(std::string_view, const std::vector<std::string>&, int index) override {
      preselected = index;
      return index;
    }
  } recorder;
  InstalledModel chosen;
  ASSERT_TRUE(ChooseCustomModel(app, recorder, chosen));
  EXPECT_EQ(recorder.preselected, 1);
  EXPECT_EQ(app.ModelName, "MINIMAL");
}

TEST(ChooserGeometry, GrowsWithTheModelsAndTheFont) {
  // Two models, a 16-pixel font: 16 x 4 x 1.5 = 96; the button 7 below, the note a fifth of it lower.
  const ChooserLayout two = ChooserGeometry(-16, 2, 40, 25);
  EXPECT_EQ(two.groupHeight, 96);
  EXPECT_EQ(two.buttonTop, 40 + 96 + 7);
  EXPECT_EQ(two.noteTop, two.buttonTop + 5);
  EXPECT_EQ(two.clientHeight, two.buttonTop + 25 + 5);
  EXPECT_EQ(ChooserGeometry(16, 2, 40, 25).groupHeight, 96);
  EXPECT_EQ(ChooserGeometry(13, 3, 0, 20).groupHeight, 98); // 13 x 7.5 = 97.5, rounded up
}

TEST_F(CatalogueTest, MissingModelAndProgramFilesAreListed) {
  Install("M", "", false);
  dir.Write("M/M.MIN", "");
  CheckModelFiles(dir.File("M/M"), ui);
  const std::string base = dir.File("M/M");
  std::string expected = "The following model-specific files are missing:";
  for (const char* extension : {"MRK", "AXS", "AXT", "STI", "INF", "BMP", "RTF", "CLS", "MDF", "TIT"}) {
    expected += "\r\n    " + base + "." + extension;
  }
  expected += "\r\nThis may cause problems.\r\nYou might have to install that model again.";
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{expected}));
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);

  CheckProgramFiles(app.ProgramDir, ui); // no vital.fil: nothing to check
  EXPECT_EQ(ui.messages.size(), 1u);
  dir.Write("praxola.exe", "");
  dir.Write("vital.fil", "praxola.exe\r\n\r\n  help\\orvane.html  \r\nmirdaa.exe\n");
  CheckProgramFiles(app.ProgramDir, ui);
  EXPECT_EQ(ui.Texts().back(),
            "The following program files are missing:\r\n    help\\orvane.html\r\n    mirdaa.exe"
            "\r\nThis may cause problems.\r\nYou might have to install the program again.");
  fs::create_directories(dir.File("help"));
  dir.Write("help/orvane.html", "");
  dir.Write("mirdaa.exe", "");
  CheckProgramFiles(app.ProgramDir, ui);
  EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(CatalogueTest, SetUpFillsTheFoldersAndPagesAndReportsMissingDressing) {
  Install("Minimal", "[Options]\nBigPic=1\n");
  fs::remove(dir.File("Minimal/Minimal.bmp"));
  fs::remove(dir.File("Minimal/Minimal.tit"));
  dir.Write("Minimal/Minimal.html", "");
  CustomModelSetUp setUp;
  std::vector<int> exits;
  ASSERT_EQ(SetUpCustomModel(
                app, ui, [&](int c) { exits.push_back(c); }, setUp),
            SetUpOutcome::Ready);
  const std::string base = dir.File("Minimal/Minimal");
  EXPECT_EQ(app.ModelHomeDir, dir.File("Minimal"));
  EXPECT_EQ(app.ModelBase, base);
  EXPECT_EQ(setUp.outputDir, dir.File("Minimal/OutPut"));
  EXPECT_TRUE(fs::is_directory(setUp.outputDir));
  EXPECT_TRUE(setUp.modelHelpExists);
  EXPECT_EQ(setUp.mainMrkFile, base + ".mrk");
  EXPECT_EQ(setUp.mrkStiFile, base + ".sti");
  EXPECT_TRUE(setUp.picture.fillsPage);
  EXPECT_EQ(setUp.picture.pictureFile, "");
  EXPECT_EQ(setUp.text.richTextFile, base + ".rtf");
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{
                "The following model-specific files are missing:\r\n    " + base + ".BMP\r\n    " + base +
                    ".TIT\r\nThis may cause problems.\r\nYou might have to install that model again.",
                "Error: missing file " + base + ".bmp", "Error: missing file " + base + ".tit"}));
  EXPECT_TRUE(exits.empty());
}

TEST_F(CatalogueTest, SetUpEndsWithoutAModelOrHaltsForAMissingFolder) {
  CustomModelSetUp setUp;
  std::vector<int> exits;
  const ExitHook exit = [&](int c) { exits.push_back(c); };
  EXPECT_EQ(SetUpCustomModel(app, ui, exit, setUp), SetUpOutcome::NoModel);
  EXPECT_TRUE(exits.empty());
  // A caption file that is cut short leaves the captions read so far and says why.
  Install("Minimal", "");
  dir.Write("Minimal/Minimal.tit", "clWhite\n");
  ui.messages.clear();
  EXPECT_EQ(SetUpCustomModel(app, ui, exit, setUp), SetUpOutcome::Ready);
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Premature end of file[ReadCaption][ReadCaptions]"}));
}

} // namespace
} // namespace pelorin
