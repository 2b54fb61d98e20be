#include "app/application.h"
#include "app/console_ui.h"
#include "datafiles/har_data.h"
#include "datafiles/har_writer.h"
#include "results/acc_summary_dialog.h"
#include "results/inspector.h"
#include "support/saved_environment.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

constexpr const char* kModelExtensions[] = {"mrk", "min", "axs", "axt", "sti", "exe", "inf",
                                            "bmp", "rtf", "cls", "ini", "mdf", "tit"};

// A program folder with one complete model, the companion programs and the help page, and an application
// whose model-set-up hooks record what start-up asks of them.
class ApplicationTest : public ::testing::Test {
protected:
  explicit ApplicationTest(const std::string& folder = "prog") : programDir(dir.File(folder)) {
    InstallModel("Minimal", "[Options]\nModelDesc=A small model\n");
    for (const char* program : {"praxola.exe", "mirdaa.exe", "lumarix.exe", "dravex.exe", "orvane.html"}) {
      Write(program, "");
    }
  }

  void Write(const std::string& relative, const std::string& text) {
    const fs::path path = fs::path(programDir) / relative;
    fs::create_directories(path.parent_path());
    dir.Write(fs::relative(path, dir.Path()).string(), text);
  }

  void InstallModel(const std::string& name, const std::string& ini) {
    for (const char* extension : kModelExtensions) {
      Write(name + "/" + name + "." + extension, "");
    }
    Write(name + "/" + name + ".tit",
          "clWhite\n1 clBlue\nTitle\n1 clRed\nOne\n1 clRed\nTwo\n1 clRed\nThree\n");
    Write(name + "/" + name + ".ini", ini);
  }

  Application& Make() {
    ApplicationOptions options;
    options.executablePath = programDir + "/pelorin";
    options.exit = [this](int code) { exits.push_back(code); };
    options.changeToRoot = false;
    app = std::make_unique<Application>(ui, options);
    ApplicationParts& parts = app->Parts;
    parts.processModel = [this](bool newModel) {
      calls.push_back(newModel ? "process new" : "process restore");
    };
    parts.clearModel = [this] {
      calls.push_back("clear");
      modelFile.clear();
    };
    parts.closureChanged = [this] { calls.push_back("closure changed"); };
    parts.findModelFiles = [](const std::string&) { return true; };
    parts.applySettings = [this](const IniOptions& settings) { modelFile = settings.model; };
    parts.modelFile = [this] { return modelFile; };
    parts.modelIsExe = [this] { return modelFile.ends_with(".exe"); };
    parts.modelStem = [] { return std::string("minimal"); };
    parts.changeModelButtonClick = [this] { calls.push_back("change model"); };
    parts.areInputDataFilesSelected = [this](bool quiet) {
      calls.push_back(quiet ? "inputs quiet" : "inputs asking");
      return true;
    };
    return *app;
  }

  test::SavedEnvironment environment;
  test::TempDir dir;
  std::string programDir;
  test::ScriptedUserInterface ui;
  std::vector<int> exits;
  std::vector<std::string> calls;
  std::string modelFile;
  std::unique_ptr<Application> app;
};

TEST_F(ApplicationTest, StartUpPreparesTheFoldersTheEnvironmentAndTheWindow) {
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  EXPECT_TRUE(ui.messages.empty()) << ui.Texts()[0];
  EXPECT_EQ(a.App.Title, "pelorin");
  EXPECT_EQ(a.App.ProgramDir, programDir);
  EXPECT_EQ(a.App.ModelName, "Minimal");
  EXPECT_EQ(a.App.ModelDescription, "A small model");
  EXPECT_EQ(a.App.WorkDir, programDir + "/work");
  EXPECT_TRUE(fs::is_directory(a.App.WorkDir));
  EXPECT_EQ(a.App.KeepDir, programDir + "/Minimal");
  EXPECT_EQ(a.App.SettingsPath, programDir + "/Minimal/Minimal.ini");
  EXPECT_TRUE(a.App.SettingsWritable);
  EXPECT_STREQ(std::getenv("TMP"), a.App.WorkDir.c_str());
  EXPECT_STREQ(std::getenv("KVTEMP"), a.App.WorkDir.c_str());
  EXPECT_EQ(a.Window.caption, "pelorin");
  EXPECT_EQ(a.Window.width, 60 * a.App.FontUnit);
  EXPECT_TRUE(a.Window.timerEnabled);
  EXPECT_TRUE(a.App.FirstTickPending);
  EXPECT_EQ(a.Window.currentPage, kPicturePage);
  EXPECT_FALSE(a.Menu.EditCMFSTARTFile.visible);
  EXPECT_FALSE(a.Menu.Developer.visible);
  EXPECT_FALSE(a.Menu.ReloadModel.visible);
  EXPECT_FALSE(a.Menu.StartupMusic.visible);
  EXPECT_TRUE(a.Menu.ShowLevelsResults.checked);
  EXPECT_TRUE(a.Menu.ShowSubtotalsResults.checked);
  EXPECT_TRUE(a.Menu.CreateXACFile.checked);
  EXPECT_EQ(a.Picture.captions.records[0].text, "Title");
  EXPECT_EQ(a.TitlePage.IntroLabel1, "Orvane");
  EXPECT_EQ(calls, (std::vector<std::string>{"process restore", "closure changed", "clear"}));
  EXPECT_TRUE(exits.empty());
}

TEST_F(ApplicationTest, TheFirstTickAsksForAModelWhenNoneIsSet) {
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  calls.clear();
  a.DosJobTimerTimer();
  EXPECT_FALSE(a.App.FirstTickPending);
  EXPECT_FALSE(a.Window.timerEnabled);
  EXPECT_EQ(a.PraxolProgram, programDir + "/praxola.exe");
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{"Please select a model to work with.\r\n(Later you can change it "
                                      "using the Change Model\r\n button on the Model/Data page.)"}));
  EXPECT_EQ(a.Window.currentPage, kModelDataPageIndex);
  EXPECT_EQ(calls, (std::vector<std::string>{"change model"}));
}

TEST_F(ApplicationTest, ARestoredModelHasItsInputFilesChecked) {
  Write("Minimal/Minimal.ini", "[Environment]\nModel=C:\\old\\Minimal.exe\n");
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  EXPECT_EQ(modelFile, programDir + "/Minimal/Minimal.exe");
  calls.clear();
  a.DosJobTimerTimer();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(calls, (std::vector<std::string>{"inputs asking"}));
}

TEST_F(ApplicationTest, MissingProgramsEndTheProgramUnlessInDeveloperMode) {
  fs::remove(programDir + "/mirdaa.exe");
  fs::remove(programDir + "/lumarix.exe");
  fs::remove(programDir + "/orvane.html");
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  a.DosJobTimerTimer();
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                            "The program \r\n" + programDir +
                                "/mirdaa.exe\r\nwhich is required by Orvane, is not available.",
                            "Program files are missing !", "Program will be halted due to fatal errors"}));
  EXPECT_EQ(exits, std::vector<int>{1});

  Write("Minimal/Minimal.ini", "[Options]\nDeveloperMode=1\n");
  ui.messages.clear();
  exits.clear();
  Application& dev = Make();
  ASSERT_EQ(dev.FormCreate(), Application::StartOutcome::Ready);
  EXPECT_TRUE(dev.App.DeveloperMode);
  EXPECT_TRUE(dev.Menu.Developer.visible);
  dev.DosJobTimerTimer();
  const std::vector<std::string> texts = ui.Texts();
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[1], "Program files are missing !\r\nContinue at Developers risk");
  EXPECT_EQ(texts[2], "Lumarix is not available\r\n(either in Orvane's directory or on the DOS Path).\r\n"
                      "You will not be able to examine Header Array files.");
  EXPECT_EQ(texts[3],
            "The Help file " + programDir + "/orvane.html is missing !\r\nHelp will not be available.");
  EXPECT_TRUE(exits.empty());
}

TEST_F(ApplicationTest, AModelNeedingTheMissingInterpreterIsDropped) {
  fs::remove(programDir + "/dravex.exe");
  Write("Minimal/Minimal.gss", "");
  Write("Minimal/Minimal.ini", "[Environment]\nModel=Minimal.gss\n");
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  calls.clear();
  a.DosJobTimerTimer();
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{
                "The previous model minimal can no longer be used\r\nsince DRAVEX is not available \r\n"
                "(either in Orvane's directory or on the DOS Path).\r\nPlease select a new model to work "
                "with."}));
  EXPECT_EQ(calls, (std::vector<std::string>{"clear", "change model"}));

  // Its sections are kept at close-down, since the model may be usable again once DRAVEX is back.
  ui.messages.clear();
  a.CloseDown();
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(test::ReadFileBytes(a.App.SettingsPath).find("[Environment]\nModel=Minimal.gss\n"),
            std::string::npos);
}

TEST_F(ApplicationTest, AnUnusableWorkFolderAtTheFirstTickClosesTheWindow) {
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  fs::remove_all(a.App.WorkDir);
  a.DosJobTimerTimer();
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Cannot create suitable Temporary Directory.\r\n"
                                                  "Program cannot continue."}));
  EXPECT_EQ(a.App.WorkDir, "??");
  EXPECT_TRUE(a.Window.closeRequested);
}

TEST_F(ApplicationTest, NoModelsEndsWithoutWritingAnything) {
  fs::remove_all(programDir + "/Minimal");
  Application& a = Make();
  EXPECT_EQ(a.FormCreate(), Application::StartOutcome::NoModel);
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"No models available"}));
  EXPECT_FALSE(fs::exists(programDir + "/work"));
  // Closing then writes nothing and leaves any folder that happens to be called like the unset work folder.
  const fs::path before = fs::current_path();
  fs::current_path(dir.Path());
  fs::create_directories(dir.File("nosuchdir"));
  dir.Write("nosuchdir/someone.txt", "x");
  a.CloseDown();
  fs::current_path(before);
  EXPECT_TRUE(fs::exists(dir.File("nosuchdir/someone.txt")));
  EXPECT_EQ(std::distance(fs::directory_iterator(programDir), fs::directory_iterator()), 5);
  EXPECT_TRUE(exits.empty());
}

TEST_F(ApplicationTest, AnInterpreterThatDoesNotExistHaltsStartUp) {
  ApplicationOptions options;
  options.executablePath = programDir + "/pelorin";
  options.comspec = programDir + "/no-such-shell";
  options.exit = [this](int code) { exits.push_back(code); };
  options.changeToRoot = false;
  Application a(ui, options);
  EXPECT_EQ(a.FormCreate(), Application::StartOutcome::Halted);
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Error: Environment variable COMSPEC is not defined."}));
  EXPECT_EQ(exits, std::vector<int>{1});
  EXPECT_FALSE(a.App.SettingsWritable);
}

class BadFolderTest : public ApplicationTest, public ::testing::WithParamInterface<std::string> {
protected:
  BadFolderTest() : ApplicationTest(GetParam()) {}
};

TEST_P(BadFolderTest, ProgramFolderNamesStopStartUpBeforeAnySettingsAreWritten) {
  Application& a = Make();
  EXPECT_EQ(a.FormCreate(), Application::StartOutcome::Halted);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_TRUE(ui.messages[0].text.starts_with("Fatal Error:\r\nPelorin directory name "));
  EXPECT_TRUE(ui.messages[0].text.ends_with("\r\n" + programDir +
                                            "\r\nPlease rename the directory or install somewhere else !\r\n"
                                            "Click Help for more information."));
  EXPECT_EQ(exits, std::vector<int>{1});
  a.CloseDown();
  EXPECT_EQ(test::ReadFileBytes(programDir + "/Minimal/Minimal.ini"), "[Options]\nModelDesc=A small model\n");
  EXPECT_FALSE(fs::exists(programDir + "/work"));
}

INSTANTIATE_TEST_SUITE_P(Names, BadFolderTest, ::testing::Values("with space", "50%", "a(b", "a)b"));

TEST_F(ApplicationTest, AProgramFolderOfSeventyCharactersIsAcceptedAndSeventyOneIsNot) {
  const std::size_t base = dir.Path().string().size() + 1;
  ASSERT_LT(base, 60u);
  for (const std::size_t length : {std::size_t{70}, std::size_t{71}}) {
    programDir = dir.File(std::string(length - base, 'p'));
    InstallModel("Minimal", "");
    ui.messages.clear();
    exits.clear();
    Application& a = Make();
    const Application::StartOutcome outcome = a.FormCreate();
    EXPECT_EQ(a.App.ProgramDir.size(), length);
    if (length == 70) {
      EXPECT_EQ(outcome, Application::StartOutcome::Ready);
    } else {
      EXPECT_EQ(outcome, Application::StartOutcome::Halted);
      EXPECT_TRUE(ui.messages[0].text.starts_with(
          "Fatal Error:\r\nPelorin directory name is too long (max=70 chars):\r\n"));
    }
  }
}

TEST_F(ApplicationTest, ResultsNeedASolveAndWarnWhenOutdated) {
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  bool shocksEdited = false;
  int refreshes = 0;
  a.Parts.takeShocksEdited = [&] { return std::exchange(shocksEdited, false); };
  a.Parts.refreshResults = [&] { ++refreshes; };
  ASSERT_TRUE(a.ShowPage(kShocksPageIndex));
  EXPECT_TRUE(a.Menu.Copy.enabled);
  EXPECT_FALSE(a.ShowPage(kResultsPage));
  EXPECT_EQ(a.Window.currentPage, kShocksPageIndex);
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"You must solve before viewing results"});
  EXPECT_EQ(refreshes, 0);

  a.App.Solved = true;
  a.App.ResultsOutdated = false;
  shocksEdited = true;
  ASSERT_TRUE(a.ShowPage(kResultsPage));
  EXPECT_TRUE(a.App.ResultsOutdated);
  EXPECT_EQ(ui.Texts().back(), "Results have not been updated\r\nto reflect latest settings");
  EXPECT_EQ(refreshes, 1);
  EXPECT_TRUE(a.Menu.Copy.enabled);
  ASSERT_TRUE(a.ShowPage(kModelDataPageIndex));
  EXPECT_FALSE(a.Menu.Copy.enabled);
}

TEST_F(ApplicationTest, CopyTakesThePagesTextOrSaysWhyNot) {
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  a.Parts.copyClosure = [] { return std::string("exogenous x ;"); };
  a.Parts.copyResults = [](ErrorText& error) { return Fail(error, "No table", "[CopyTable]"); };
  a.ShowPage(kModelDataPageIndex);
  a.Copy1Click();
  a.ShowPage(kClosurePageIndex);
  a.Copy1Click();
  EXPECT_EQ(ui.clipboard, "exogenous x ;");
  EXPECT_EQ(ui.notes, std::vector<std::string>{"Data copied to Clipboard"});
  a.App.Solved = true;
  a.App.ResultsOutdated = false;
  a.ShowPage(kResultsPage);
  a.Copy1Click();
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Cannot copy this page",
                                                  "Error: Could not complete copy\r\nNo table[CopyTable]"}));
  EXPECT_EQ(ui.notes.size(), 1u);
}

TEST_F(ApplicationTest, DeveloperModeFromTheAboutBoxShowsTheControlsAndIsNotKept) {
  Write("Minimal/Minimal.ini", "[Options]\nDeveloperMode=0\nBigPic=1\n");
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  a.GoDevMode();
  a.GoDevMode();
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Going into developer mode."});
  EXPECT_TRUE(a.App.DeveloperMode);
  EXPECT_TRUE(a.Menu.Developer.visible);
  EXPECT_TRUE(a.Menu.EditCMFSTARTFile.visible);
  EXPECT_TRUE(a.Menu.ReloadModel.visible);
  EXPECT_TRUE(a.TitlePage.headingVisible);
  EXPECT_FALSE(a.Menu.ResultsSeparator.visible);
  a.CloseDown();
  const std::string settings = test::ReadFileBytes(programDir + "/Minimal/Minimal.ini");
  EXPECT_NE(settings.find("DeveloperMode=0\nBigPic=1\n"), std::string::npos);
  EXPECT_NE(settings.find("OrvaneVersion=240"), std::string::npos);
}

TEST_F(ApplicationTest, CloseDownEmptiesTheWorkFolderButKeepsItsSubFolders) {
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  dir.Write("prog/work/solve.bat", "x");
  fs::create_directories(programDir + "/work/keep");
  dir.Write("prog/work/keep/inner.txt", "y");
  a.IgnoreLevelsResults1Click();
  a.CloseDown();
  EXPECT_FALSE(fs::exists(programDir + "/work/solve.bat"));
  EXPECT_TRUE(fs::exists(programDir + "/work/keep/inner.txt"));
  EXPECT_NE(test::ReadFileBytes(a.App.SettingsPath).find("Ignore Levels Results=1"), std::string::npos);

  Write("Minimal/Minimal.ini", "[Options]\nDeveloperMode=1\n");
  Application& dev = Make();
  ASSERT_EQ(dev.FormCreate(), Application::StartOutcome::Ready);
  dir.Write("prog/work/solve.bat", "x");
  dev.CloseDown();
  EXPECT_TRUE(fs::exists(programDir + "/work/solve.bat"));
}

// The work folder's files are deleted at close-down: a work folder that leads elsewhere is refused before
// anything is written, and close-down never follows a link put there later. HOME is the test's own folder.
TEST_F(ApplicationTest, AWorkFolderLeadingElsewhereIsRefusedAndNothingOutsideItIsDeleted) {
  const test::SavedEnvironment home{"HOME"};
  ::setenv("HOME", dir.File("home").c_str(), 1);
  fs::create_directories(dir.File("home"));
  dir.Write("home/.profile", "p");
  fs::create_directories(dir.File("precious"));
  dir.Write("precious/thesis.tex", "t");
  const std::string work = programDir + "/work";
  const std::string advice =
      "\r\nThe files in the work folder are deleted when Pelorin closes: please make it a "
      "folder of its own.\r\nClick Help for more information.";
  struct Case {
    std::string target; // where the link points; empty: a real folder that HOME points at
    std::string what;
    std::string survivor;
  };
  for (const Case& c : {Case{dir.File("precious"), "a symbolic link", dir.File("precious/thesis.tex")},
                        Case{".", "a symbolic link", programDir + "/praxola.exe"},
                        Case{dir.File("home"), "a symbolic link", dir.File("home/.profile")},
                        Case{"", "the home folder", work + "/mine.txt"}}) {
    fs::remove_all(work);
    if (c.target.empty()) {
      fs::create_directories(work);
      dir.Write("prog/work/mine.txt", "m");
      ::setenv("HOME", work.c_str(), 1);
    } else {
      fs::create_directory_symlink(c.target, work);
    }
    ui.messages.clear();
    exits.clear();
    Application& a = Make();
    EXPECT_EQ(a.FormCreate(), Application::StartOutcome::Halted) << c.target;
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages[0].text, "Fatal Error:\r\nWork folder is " + c.what + ": \r\n" + work + advice);
    EXPECT_EQ(exits, std::vector<int>{1});
    EXPECT_FALSE(a.App.SettingsWritable);
    a.CloseDown();
    EXPECT_TRUE(fs::exists(c.survivor)) << c.survivor;
    ::setenv("HOME", dir.File("home").c_str(), 1);
  }

  // A link put in place of the work folder after start-up is not followed at close-down.
  fs::remove_all(work);
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  fs::remove_all(work);
  fs::create_directory_symlink(dir.File("precious"), work);
  a.CloseDown();
  EXPECT_TRUE(fs::exists(dir.File("precious/thesis.tex")));
  EXPECT_TRUE(fs::exists(programDir + "/Minimal/Minimal.ini"));
}

TEST_F(ApplicationTest, SaveDialogsStartWhereTheLastSaveWent) {
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  EXPECT_FALSE(a.App.LastSaveDir.empty());
  const std::string start = a.App.LastSaveDir;
  ui.files.push_back("/runs/one/sim1.zip");
  ui.files.push_back(std::nullopt);
  EXPECT_EQ(a.GetSaveFileName({"Save", "", "", "x", ""}), "/runs/one/sim1.zip");
  EXPECT_EQ(a.GetSaveFileName({"Save", "", "", "y", ""}), std::nullopt);
  EXPECT_EQ(ui.dialogs[0].initialDir, start);
  EXPECT_EQ(ui.dialogs[1].initialDir, "/runs/one");
  EXPECT_EQ(a.App.LastSaveDir, "/runs/one");
}

TEST_F(ApplicationTest, HeadersTooLargeForMemoryAreReportedThroughTheUserInterface) {
  // Sparse, so the file is small while its array is not; memory is made scarce for the estimate.
  HarHeader big = MakeReals("BIG", "Big one", {SizeDim(300'000, "S")}, std::vector<float>(300'000, 0), true);
  big.reals[7] = 1;
  big.sparse = true;
  ErrorText errorText;
  const std::string file = dir.File("big.har");
  ASSERT_TRUE(WriteHarFile(file, {big, MakeReals("SMAL", "Small", {SizeDim(2)}, {1, 2})}, {}, errorText))
      << errorText;
  SetMemoryStatusSource([] { return MemoryStatus{(50ull << 20) + (1ull << 20), 1ull << 20}; });
  const auto read = [&file] {
    std::unique_ptr<HarData> data;
    bool skipped = false;
    ErrorText error;
    return ReadHarFile(file, false, false, data, skipped, error) && data->NumHeads() == 1;
  };

  Make();
  ASSERT_TRUE(read());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::OkHelp);
  EXPECT_EQ(ui.messages[0].text.substr(0, 25), "At header BIG    Big one\r");
  EXPECT_NE(ui.messages[0].text.find("This header will be ignored. "), std::string::npos);

  // Without a window the warning is printed like every other message.
  std::ostringstream printed;
  ConsoleUserInterface console(printed, "Minimal");
  auto headless = std::make_unique<Application>(console, ApplicationOptions{});
  ASSERT_TRUE(read());
  EXPECT_EQ(printed.str().substr(0, 34), "warning: At header BIG    Big one\n");
  EXPECT_EQ(ui.messages.size(), 1u);
  // Once the application is gone its user interface is never called again.
  headless.reset();
  app.reset();
  ASSERT_TRUE(read());
  EXPECT_EQ(ui.messages.size(), 1u);
  SetMemoryStatusSource(nullptr);
}

TEST_F(ApplicationTest, HelpOpensThePagesTopic) {
  Write("Minimal/Minimal.html", "");
  Application& a = Make();
  ASSERT_EQ(a.FormCreate(), Application::StartOutcome::Ready);
  EXPECT_TRUE(a.Menu.HelpOnModel.enabled);
  a.CurrentPage1Click();
  a.ShowPage(kSolvePageIndex);
  a.CurrentPage1Click();
  a.HelpOnThisModel1Click();
  EXPECT_EQ(ui.helps,
            (std::vector<std::string>{programDir + "/orvane.html#", programDir + "/orvane.html#solve",
                                      programDir + "/Minimal/Minimal.html#"}));
}

TEST_F(ApplicationTest, MessageHelpButtonsOpenThePageTheirTopicBelongsTo) {
  EXPECT_EQ(Application::MessageHelpTopic(0), "");
  EXPECT_EQ(Application::MessageHelpTopic(400), "closure");
  EXPECT_EQ(Application::MessageHelpTopic(560), "shocks");
  EXPECT_EQ(Application::MessageHelpTopic(700), "solve");
  EXPECT_EQ(Application::MessageHelpTopic(899), "results");
  EXPECT_EQ(Application::MessageHelpTopic(150), "");  // the Picture and Text pages show the contents
  EXPECT_EQ(Application::MessageHelpTopic(5431), ""); // no page of that number
  EXPECT_EQ(Application::MessageHelpTopic(kInspectorHelp), "inspector");
  EXPECT_EQ(Application::MessageHelpTopic(kAccSummaryHelp), "accuracy-summary");
  EXPECT_EQ(Application::MessageHelpTopic(-400), "");
}

TEST_F(ApplicationTest, TheSoundSystemIsAskedOnlyForAModelWithASound) {
  int asked = 0;
  const auto start = [&](bool devices) {
    ApplicationOptions options;
    options.executablePath = programDir + "/pelorin";
    options.exit = [this](int code) { exits.push_back(code); };
    options.changeToRoot = false;
    options.hasWaveDevice = [&asked, devices] {
      ++asked;
      return devices;
    };
    app = std::make_unique<Application>(ui, options);
    EXPECT_EQ(app->FormCreate(), Application::StartOutcome::Ready);
  };
  start(true);
  EXPECT_EQ(asked, 0);
  EXPECT_FALSE(app->Menu.StartupMusic.visible);

  Write("Minimal/Minimal.wav", "RIFF");
  Write("Minimal/Minimal.ini", "[Options]\nPlayMusic=1\n");
  start(false);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(app->Menu.StartupMusic.visible);
  EXPECT_FALSE(app->Window.soundPlaying);
  start(true);
  EXPECT_TRUE(app->Menu.StartupMusic.visible);
  EXPECT_TRUE(app->Menu.StartupMusic.checked);
  EXPECT_EQ(app->Window.startupSound, programDir + "/Minimal/Minimal.wav");
  EXPECT_TRUE(app->Window.soundPlaying);
  app->ShowPage(kTitlePage);
  EXPECT_FALSE(app->Window.soundPlaying);
}

} // namespace
} // namespace pelorin
