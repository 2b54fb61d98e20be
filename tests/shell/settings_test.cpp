#include "shell/settings.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
protected:
  SettingsTest() {
    fs::create_directories(dir.File("prog/Minimal/OutPut"));
    context.programDir = dir.File("prog");
    context.modelHomeDir = dir.File("prog/Minimal");
    dir.Write("prog/Minimal/Minimal.exe", "");
  }

  IniOptions Read(std::string_view text) {
    const std::string path = dir.Write("prog/Minimal/Minimal.ini", text);
    IniOptions options;
    ErrorText error;
    EXPECT_TRUE(ReadIniOptions(path, context, ui, options, error));
    EXPECT_EQ(error, "");
    return options;
  }

  test::TempDir dir;
  SettingsContext context;
  test::ScriptedUserInterface ui;
};

TEST_F(SettingsTest, MissingFileOrSectionsReadAsDefaults) {
  IniOptions options;
  options.playMusic = true;
  ErrorText error;
  ASSERT_TRUE(ReadIniOptions(dir.File("prog/Minimal/none.ini"), context, ui, options, error));
  EXPECT_FALSE(options.playMusic);
  EXPECT_FALSE(options.developerMode);
  EXPECT_FALSE(options.ignoreLevelsResults);
  EXPECT_TRUE(options.getSubtotalsResults);
  EXPECT_TRUE(options.createXacFile);
  EXPECT_EQ(options.model, "");
  EXPECT_EQ(options.postSimNames, "sim1ps");
  EXPECT_EQ(options.verbalDescription, "?");
  EXPECT_EQ(options.method, DefaultSolveMethod());
  EXPECT_EQ(options.accuracy, DefaultAccuracyOptions());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SettingsTest, RelocatesTheModelAndItsInputFilesIntoTheModelFolder) {
  const IniOptions options =
      Read("[Environment]\nModel=D:\\old place\\MINIMAL.EXE\nModel Name=Minimal\n"
           "Verbal description=  Ten percent  \n"
           "[Input Files]\n0=File BASEDATA = \"D:\\old\\base.har\" ; ! Base data\n"
           "1=File OTHER=??;\n2=File PARAMS = /somewhere/else/p.har;! p\n3=no file here\n");
  EXPECT_EQ(options.model, dir.File("prog/Minimal/Minimal.exe"));
  EXPECT_EQ(options.verbalDescription, "Ten percent");
  const std::string home = dir.File("prog/Minimal/");
  EXPECT_EQ(options.inputFiles, (std::vector<std::string>{
                                    "File BASEDATA = " + home + "base.har ; ! Base data", "File OTHER= ?? ;",
                                    "File PARAMS = " + home + "p.har ;! p", "no file here"}));
  EXPECT_EQ(RelocateInputLine("File B = x/base.har ; ! d", "/a b"), "File B = \"/a b/base.har\" ; ! d");
}

TEST_F(SettingsTest, AModelThatIsGoneOrRefusedTakesItsListsWithIt) {
  const std::string text =
      "[Environment]\nModel=/x/Gone.exe\nSVI File=" + dir.Write("s.svi", "") +
      "\nVerbal description=v\n[Input Files]\n0=File A = a.har ;\n[Closure]\n0=exogenous x ;\n"
      "[Output Files]\n0=Solution file = sim1 ;\n[Shocks]\n0=shock x = 1 ;\n";
  IniOptions options = Read(text);
  EXPECT_EQ(options.model, "");
  EXPECT_EQ(options.sviFile, "");
  EXPECT_TRUE(options.inputFiles.empty());
  EXPECT_TRUE(options.closure.empty());
  EXPECT_TRUE(options.outputFiles.empty());
  EXPECT_EQ(options.verbalDescription, "?");

  std::vector<std::string> checked;
  context.modelFilesOk = [&](const std::string& file) {
    checked.push_back(file);
    return false;
  };
  std::string withModel = text;
  withModel.replace(withModel.find("/x/Gone.exe"), 11, "Minimal.exe");
  options = Read(withModel);
  EXPECT_EQ(checked, (std::vector<std::string>{dir.File("prog/Minimal/Minimal.exe")}));
  EXPECT_EQ(options.model, "");

  context.modelFilesOk = nullptr;
  options = Read(withModel);
  EXPECT_EQ(options.model, dir.File("prog/Minimal/Minimal.exe"));
  EXPECT_EQ(options.sviFile, dir.File("s.svi"));
  EXPECT_EQ(options.closure, (std::vector<std::string>{"exogenous x ;"}));
  EXPECT_EQ(options.verbalDescription, "v");
}

TEST_F(SettingsTest, BlankClosureAndShockTextsAreEmptiedAndShocksCleaned) {
  const IniOptions options =
      Read("[Environment]\nModel=Minimal.exe\n[Closure]\n0=\n1=   \n[Shocks]\n0=shock\tx = 1 ;\n1=\n");
  EXPECT_TRUE(options.closure.empty());
  EXPECT_EQ(options.shocks, (std::vector<std::string>{"shock x = 1 ;", ""}));
}

TEST_F(SettingsTest, OutputLinesWithoutAnExistingFolderKeepOnlyTheirName) {
  const std::string out = dir.File("prog/Minimal/OutPut");
  const IniOptions options =
      Read("[Environment]\nModel=Minimal.exe\n[Output Files]\n0=Solution file = C:\\Runs\\SIM1 ;\n"
           "1=File X = " +
           out + "/Keep.OU1 ;\n2=Updated file D=\"/gone/My Data.UPD\";\n3=garbage\n4=File Y = bare.ou2\n");
  EXPECT_EQ(options.outputFiles, (std::vector<std::string>{
                                     "Solution file = sim1 ;", "File X = " + out + "/Keep.OU1 ;",
                                     "Updated file D= \"my data.upd\" ;", "garbage", "File Y = bare.ou2 ;"}));
}

// A settings file saved by an editor that marks UTF-8 keeps its first section, and saving it writes no mark
// and no second copy of that section.
TEST_F(SettingsTest, AByteOrderMarkHidesNoSectionAndIsNotWrittenBack) {
  const std::string path =
      dir.Write("prog/Minimal/Minimal.ini", "\xEF\xBB\xBF[Shocks]\r\n0=Shock QFAC = 10 ;\r\n[Environment]\r\n"
                                            "Model=Minimal.exe\r\n[Options]\r\nPlayMusic=1\r\n");
  IniOptions options;
  ErrorText error;
  ASSERT_TRUE(ReadIniOptions(path, context, ui, options, error));
  EXPECT_EQ(options.shocks, (std::vector<std::string>{"Shock QFAC = 10 ;"}));
  ASSERT_TRUE(WriteIniOptions(path, options, error)) << error;
  const std::string written = test::ReadFileBytes(path);
  EXPECT_TRUE(written.starts_with("[Environment]\nModel=")) << written;
  for (const char* section : {"[Shocks]", "[Environment]", "[Options]"}) {
    const std::size_t first = written.find(section);
    EXPECT_NE(first, std::string::npos) << section;
    EXPECT_EQ(written.find(section, first + 1), std::string::npos) << section;
  }
  EXPECT_EQ(Read(written).shocks, options.shocks);
}

// A gap in a numbered list still ends it, but the lines after the gap are named, not dropped in silence.
TEST_F(SettingsTest, AGapInANumberedListIsReportedWithTheKeysIgnored) {
  const IniOptions options =
      Read("[Environment]\nModel=Minimal.exe\n[Shocks]\n0=Shock A = 1 ;\n2=Shock B = 2 ;\n"
           "3=Subtotal B = b ;\nlabel=not numbered\n[Input Files]\n0=File A = a.har ;\n1=File B = b.har ;\n"
           "[Closure]\n1=exogenous x ;\n");
  EXPECT_EQ(options.shocks, (std::vector<std::string>{"Shock A = 1 ;"}));
  EXPECT_TRUE(options.closure.empty());
  EXPECT_EQ(options.inputFiles.size(), 2u);
  EXPECT_EQ(options.listGaps, (std::vector<std::string>{"[Closure] 1", "[Shocks] 2, 3"}));
  const std::string path = dir.File("prog/Minimal/Minimal.ini");
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{
                "The settings file " + path +
                    " has no key 0 in section [Closure], so its list ends there.\r\nThese lines after "
                    "the gap were ignored:\r\n1=exogenous x ;",
                "The settings file " + path +
                    " has no key 1 in section [Shocks], so its list ends there.\r\nThese lines after "
                    "the gap were ignored:\r\n2=Shock B = 2 ;\r\n3=Subtotal B = b ;"}));
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
}

// An .MDF ending in an empty line, saved and restored, must not leave a blank line that blocks Solve.
TEST_F(SettingsTest, BlankLinesOfTheFileListsAreDropped) {
  const IniOptions options = Read(
      "[Environment]\nModel=Minimal.exe\n[Input Files]\n0=File A = ?? ;\n1=\n2=  \n"
      "[Output Files]\n0=Solution file = sim1 ;\n1=\n[Closure]\n0=exogenous x ;\n1=\n2=rest endogenous ;\n");
  EXPECT_EQ(options.inputFiles, (std::vector<std::string>{"File A = ?? ;"}));
  EXPECT_EQ(options.outputFiles, (std::vector<std::string>{"Solution file = sim1 ;"}));
  EXPECT_EQ(options.closure, (std::vector<std::string>{"exogenous x ;", "", "rest endogenous ;"}));
  EXPECT_TRUE(Read("[Environment]\nModel=Minimal.exe\n[Input Files]\n0=\n").inputFiles.empty());
}

TEST_F(SettingsTest, TextEditorFallsBackToTheProgramFolderAndScribixWins) {
  const std::string editor = dir.Write("prog/myedit", "");
  EXPECT_EQ(Read("[Options]\nText Editor=/usr/nowhere/myedit\n").textEditor, editor);
  EXPECT_EQ(Read("[Options]\nText Editor=/usr/nowhere/other\n").textEditor, "");
  const std::string scribix = dir.Write("prog/Scribix.exe", "");
  EXPECT_EQ(Read("[Options]\nText Editor=" + editor + "\n").textEditor, scribix);
}

TEST_F(SettingsTest, IncompleteOrImpossibleMethodsTakeTheDefaults) {
  const std::string common = "Automatic accuracy=0\nSubint Non Auto Acc=0\n";
  IniOptions options = Read("[Solution Method]\nMethod=2\nNSOL=2\nSteps1=3\nSteps2=0\nSteps3=9\n" + common);
  EXPECT_EQ(options.method, DefaultSolveMethod());
  options = Read("[Solution Method]\nMethod=7\nNSOL=2\nSteps1=3\nSteps2=5\nSteps3=9\n" + common);
  EXPECT_EQ(options.method, DefaultSolveMethod());
  options = Read("[Solution Method]\nMethod=2\nNSOL=2\nSteps1=3\nSteps2=5\nSteps3=9\nSubint Non Auto Acc=4\n"
                 "Auto Acc Percent=95\n");
  EXPECT_EQ(options.method, (SolveMethodRec{SolutionMethod::Euler, 2, {3, 5, 9}, 4, false}));
  EXPECT_EQ(options.accuracy, DefaultAccuracyOptions());
}

TEST_F(SettingsTest, AutomaticAccuracyKeysAreReadOnlyWhenItIsOn) {
  IniOptions options =
      Read("[Solution Method]\nMethod=3\nNSOL=3\nSteps1=2\nSteps2=4\nSteps3=6\n"
           "Automatic accuracy=1\nAuto Acc Percent=90\nAuto Acc Subint=5\nAuto Acc Figures=3\n"
           "Auto Acc Min Int=1E-5\nAuto Acc FailStop=0\nAuto Acc Criterion=2\n");
  EXPECT_TRUE(options.method.automaticAccuracy);
  EXPECT_EQ(options.accuracy, (AccuracyOptions{90, 5, 3, 1e-5f, false, 2}));
  EXPECT_TRUE(ui.messages.empty());

  options = Read("[Solution Method]\nAutomatic accuracy=1\nAuto Acc Min Int=tiny\nAuto Acc Criterion=7\n");
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                            "Error converting tiny to real.",
                            "The settings file holds solution method values that cannot be used:\r\n"
                            "Auto Acc Criterion=7 is outside 0 to 2: 0 is used"}));
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
  EXPECT_EQ(options.accuracy.minimumLength, 0.001f);
  EXPECT_EQ(options.accuracy.criterion, 0);
  Read("[Solution Method]\nAutomatic accuracy=1\nAuto Acc Min Int=nan\n");
  EXPECT_EQ(ui.Texts().back(), "Error converting nan to real.");
}

TEST_F(SettingsTest, UnusableMethodValuesTakeTheDefaultsWithAWarningNamingThem) {
  const std::string steps = "NSOL=2\nSteps1=3\nSteps2=5\nSteps3=9\n";
  const std::string reset = "\r\nThe method takes its defaults: Gragg, 3 solutions of 2, 4 and 6 steps.";
  IniOptions options = Read("[Solution Method]\nMethod=9\n" + steps);
  EXPECT_EQ(options.method, DefaultSolveMethod());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
  EXPECT_EQ(
      ui.messages[0].text,
      "The settings file holds solution method values that cannot be used:\r\nMethod=9 is outside 1 to 4" +
          reset);

  options = Read("[Solution Method]\nMethod=2\nNSOL=2\nSteps1=abc\nSteps2=5\nSteps3=1000\n");
  EXPECT_EQ(options.method, DefaultSolveMethod());
  EXPECT_EQ(ui.Texts().back(), "The settings file holds solution method values that cannot be used:\r\n"
                               "Steps1=abc is not a whole number\r\nSteps3=1000 is outside 1 to 999" +
                                   reset);

  // Flags and counts that are no numbers keep their defaults and are named; the method itself stands.
  options =
      Read("[Solution Method]\nMethod=2\n" + steps + "Automatic accuracy=yes\nSubint Non Auto Acc=two\n");
  EXPECT_EQ(options.method, (SolveMethodRec{SolutionMethod::Euler, 2, {3, 5, 9}, 1, false}));
  EXPECT_EQ(ui.Texts().back(), "The settings file holds solution method values that cannot be used:\r\n"
                               "Automatic accuracy=yes is not a whole number\r\n"
                               "Subint Non Auto Acc=two is not a whole number");

  // A 0 is the rules' mark of a missing value: defaults, without a word.
  ui.messages.clear();
  options =
      Read("[Solution Method]\nMethod=2\nNSOL=2\nSteps1=3\nSteps2=0\nSteps3=9\nSubint Non Auto Acc=0\n");
  EXPECT_EQ(options.method, DefaultSolveMethod());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SettingsTest, AutomaticAccuracyValuesAreKeptInsideTheDialogsRanges) {
  const std::string method = "[Solution Method]\nMethod=3\nNSOL=3\nSteps1=2\nSteps2=4\nSteps3=6\n"
                             "Automatic accuracy=1\n";
  IniOptions options = Read(method + "Auto Acc Percent=150\nAuto Acc Subint=0\nAuto Acc Figures=7\n"
                                     "Auto Acc Min Int=0\n");
  EXPECT_EQ(options.accuracy, (AccuracyOptions{99, 1, 6, 0.001f, true, 0}));
  EXPECT_TRUE(options.method.automaticAccuracy);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
  EXPECT_EQ(ui.messages[0].text, "The settings file holds solution method values that cannot be used:\r\n"
                                 "Auto Acc Percent=150 is above 99: 99 is used\r\n"
                                 "Auto Acc Subint=0 is below 1: 1 is used\r\n"
                                 "Auto Acc Figures=7 is above 6: 6 is used\r\n"
                                 "Auto Acc Min Int=0 is not above 0: 0.001 is used");

  options = Read(method + "Auto Acc Percent=0\nAuto Acc Figures=0\nAuto Acc Min Int=2\n");
  EXPECT_EQ(options.accuracy, (AccuracyOptions{60, 2, 1, 0.1f, true, 0}));
  EXPECT_EQ(ui.Texts().back(), "The settings file holds solution method values that cannot be used:\r\n"
                               "Auto Acc Percent=0 is below 60: 60 is used\r\n"
                               "Auto Acc Figures=0 is below 1: 1 is used\r\n"
                               "Auto Acc Min Int=2 is above 0.1: 0.1 is used");

  // Values the dialog can show pass without a word.
  ui.messages.clear();
  options = Read(method + "Auto Acc Percent=82\nAuto Acc Subint=250\nAuto Acc Min Int=0.005\n");
  EXPECT_EQ(options.accuracy, (AccuracyOptions{82, 250, 4, 0.005f, true, 0}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SettingsTest, WritesEveryKeyInOrderAndNeverTheDeveloperFlag) {
  IniOptions options;
  options.model = "/p/Minimal/Minimal.exe";
  options.modelName = "Minimal";
  options.merkaFile = "/p/Minimal/minimal.mrk";
  options.outputDirectory = "/p/Minimal/OutPut";
  options.modelDesc = "A small model";
  options.developerMode = true;
  options.closure = {"exogenous\tx ;"};
  options.method.subintervals = 0;
  const std::string path = dir.File("fresh.ini");
  ErrorText error;
  ASSERT_TRUE(WriteIniOptions(path, options, error)) << error;
  EXPECT_EQ(
      test::ReadFileBytes(path),
      "[Environment]\nModel=/p/Minimal/Minimal.exe\nModel Name=Minimal\nMERKA File=/p/Minimal/minimal.mrk\n"
      "Output Directory=/p/Minimal/OutPut\nPostSim Names=sim1ps\nSVI File=\nModel GPVer=0\n"
      "Verbal description=?\n"
      "[Options]\nModelDesc=A small model\nPlayMusic=0\nIgnore Levels Results=0\nGet Subtotals Results=1\n"
      "Create XAC file=1\nText Editor=\nOrvaneVersion=240\n"
      "[Input Files]\n0=\n[Closure]\n0=exogenous x ;\n[Output Files]\n0=\n"
      "[Solution Method]\nMethod=3\nNSOL=3\nSteps1=2\nSteps2=4\nSteps3=6\nAutomatic accuracy=0\n"
      "Subint Non Auto Acc=1\n");
}

TEST_F(SettingsTest, WritingKeepsOtherKeysAndReadsBackTheSame) {
  const std::string path = dir.Write("prog/Minimal/Minimal.ini",
                                     "[Options]\nDeveloperMode=1\nBigPic=1\n[Shocks]\n0=old\n1=old\n2=old\n");
  IniOptions options = Read(test::ReadFileBytes(path));
  options.model = dir.File("prog/Minimal/Minimal.exe");
  options.inputFiles = {"File A = " + dir.File("prog/Minimal/a.har") + " ; ! a"};
  options.shocks = {"shock x = 10 ;"};
  options.outputFiles = {"Solution file = sim1 ;"};
  options.method = SolveMethodRec{SolutionMethod::Midpoint, 3, {4, 6, 8}, 2, true};
  options.accuracy = AccuracyOptions{85, 3, 5, 1e-7f, false, 1};
  options.verbalDescription = "Run one";
  ErrorText error;
  ASSERT_TRUE(WriteIniOptions(path, options, error)) << error;
  const std::string written = test::ReadFileBytes(path);
  EXPECT_NE(written.find("DeveloperMode=1\nBigPic=1\n"), std::string::npos);
  EXPECT_NE(written.find("Auto Acc Min Int=1e-07\n"), std::string::npos);

  const IniOptions reread = Read(written);
  EXPECT_TRUE(reread.developerMode);
  EXPECT_TRUE(reread.bigPic);
  EXPECT_EQ(reread.inputFiles, options.inputFiles);
  EXPECT_EQ(reread.shocks, options.shocks);
  EXPECT_EQ(reread.outputFiles, options.outputFiles);
  EXPECT_EQ(reread.method, options.method);
  EXPECT_EQ(reread.accuracy, options.accuracy);
  EXPECT_EQ(reread.verbalDescription, "Run one");
}

// A model that could not be restored: only the options are written, the model's sections stay as they were.
TEST_F(SettingsTest, WritingOnlyTheOptionsKeepsTheModelsSections) {
  const std::string original = "[Environment]\nModel=/p/Minimal/Gone.exe\nVerbal description=mine\n"
                               "[Input Files]\n0=File A = a.har ;\n[Closure]\n0=exogenous x ;\n"
                               "[Shocks]\n0=shock x = 1 ;\n[Output Files]\n0=Solution file = mine ;\n"
                               "[Solution Method]\nMethod=1\n[Options]\nPlayMusic=0\n";
  const std::string path = dir.Write("prog/Minimal/Minimal.ini", original);
  IniOptions options = Read(original);
  EXPECT_TRUE(options.modelNotRestored);
  EXPECT_TRUE(options.inputFiles.empty());
  options.playMusic = true;
  ErrorText error;
  ASSERT_TRUE(WriteIniOptions(path, options, error, SettingsParts::OptionsOnly)) << error;
  EXPECT_EQ(test::ReadFileBytes(path),
            original.substr(0, original.size() - 12) +
                "PlayMusic=1\nModelDesc=Model description\nIgnore Levels Results=0\nGet Subtotals Results=1\n"
                "Create XAC file=1\nText Editor=\nOrvaneVersion=240\n");
  EXPECT_FALSE(Read("[Environment]\nModel=Minimal.exe\n").modelNotRestored);
  EXPECT_FALSE(Read("[Environment]\nModel=\n").modelNotRestored);
}

TEST_F(SettingsTest, AFailedWriteLeavesThePreviousSettings) {
  const std::string path = dir.Write("prog/Minimal/Minimal.ini", "[Options]\nPlayMusic=1\n");
  ErrorText error;
  EXPECT_FALSE(WriteIniOptions(dir.File("prog/none/Minimal.ini"), IniOptions{}, error));
  EXPECT_EQ(error,
            "Cannot create file " + dir.File("prog/none/Minimal.ini") + "[SaveProfileFile][WriteIniOptions]");
  fs::create_directory(dir.File("prog/dir.ini"));
  error.clear();
  EXPECT_FALSE(WriteIniOptions(dir.File("prog/dir.ini"), IniOptions{}, error));
  EXPECT_EQ(error, "Cannot open file " + dir.File("prog/dir.ini") + "[LoadProfileFile][WriteIniOptions]");
  EXPECT_EQ(test::ReadFileBytes(path), "[Options]\nPlayMusic=1\n");
}

} // namespace
} // namespace pelorin
