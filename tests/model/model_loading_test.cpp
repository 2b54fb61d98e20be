#include "model/file_lines.h"
#include "model_fixture.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "shell/settings.h"
#include "support/fuzz_seed.h"

#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

TestModel FullModel() {
  TestModel m;
  m.files = {{"BASEDATA", "in", true, "HAR", "Base data"},   {"PARAM", "in", true, "HAR", "Parameters"},
             {"(terminal)", "in", false, "TXT", ""},         {"OUT1", "out", false, "HAR", "First output"},
             {"OUT2", "out", false, "TXT", "Second output"}, {"OUT3", "out", false, "HAR", "Third output"},
             {"(display)", "out", true, "TXT", ""},          {"(solution)", "out", true, "HAR", ""},
             {"(equations)", "out", false, "HAR", ""}};
  return m;
}

TEST(ModelLoading, NewModelBuildsDefaultListsFromTheFileSection) {
  ModelFixture f;
  const std::string file = f.WriteModel(FullModel());
  ASSERT_TRUE(f.LoadNew(file));
  const ModelSetUp& s = *f.setUp;
  EXPECT_THAT(s.DataPage.InputLines,
              ElementsAre("File BASEDATA = ?? ; ! Base data", "File PARAM = ?? ; ! Parameters",
                          "File (terminal) = ?? ; ! "));
  EXPECT_THAT(s.OutputPage.OutputLines,
              ElementsAre("Solution file = sim1 ;", "Updated file BASEDATA = sim1.upd ;",
                          "Updated file PARAM = sim1a.upd ;", "File OUT1 = sim1.ou1 ;",
                          "File OUT2 = sim1.ou2 ;", "File OUT3 = sim1.ou3 ;", "Display file = sim1.dis ;"));
  // The solution and equations pseudo-files are not the user's files.
  EXPECT_EQ(s.Model.FileLines.size(), 7u);
  const std::string folder = JoinPath(f.app.ProgramDir, "minimal");
  EXPECT_EQ(s.Model.ModelDir, folder);
  EXPECT_EQ(s.Model.ModelStem, "minimal");
  EXPECT_EQ(s.Model.OutputDir, folder);
  EXPECT_EQ(s.OutputPage.OutputDirLabel, UpperCase(folder));
  EXPECT_EQ(s.DataPage.ModelLabel, "Model: " + file);
  EXPECT_EQ(s.Model.MainMrkFile, JoinPath(folder, "minimal.mrk"));
  EXPECT_FALSE(s.Model.StiUsed);
  EXPECT_EQ(f.caption, "Pelorin - minimal");
  EXPECT_TRUE(s.OutputPage.PostSimVisible);
  EXPECT_EQ(s.OutputPage.PostSimName, "sim1ps");
  EXPECT_THAT(f.calls, ElementsAre("closure:" + JoinPath(folder, "minimal.cls"), "reset:new"));
  EXPECT_EQ(f.info.NVar, 2);
  EXPECT_TRUE(f.ui.messages.empty());
  EXPECT_TRUE(f.app.ResultsOutdated);
  EXPECT_FALSE(f.app.Solved);
}

TEST(ModelLoading, OutputAndUpdatedNamesRunPastNineAndTen) {
  ModelFixture f;
  TestModel m;
  m.files.clear();
  for (int i = 1; i <= 11; ++i) {
    m.files.push_back({"IN" + std::to_string(i), "in", true, "HAR", "Input " + std::to_string(i)});
  }
  for (int i = 1; i <= 10; ++i) {
    m.files.push_back({"OUT" + std::to_string(i), "out", false, "HAR", "Output"});
  }
  ASSERT_TRUE(f.LoadNew(f.WriteModel(m)));
  const auto& out = f.setUp->OutputPage.OutputLines;
  ASSERT_EQ(out.size(), 22u);
  EXPECT_EQ(out[1], "Updated file IN1 = sim1.upd ;");
  EXPECT_EQ(out[2], "Updated file IN2 = sim1a.upd ;");
  EXPECT_EQ(out[10], "Updated file IN10 = sim1i.upd ;");
  EXPECT_EQ(out[11], "Updated file IN11 = sim1?.upd ;");
  EXPECT_EQ(out[20], "File OUT9 = sim1.ou9 ;");
  EXPECT_EQ(out[21], "File OUT10 = sim1.o10 ;");
  EXPECT_THAT(f.ui.Texts(),
              ElementsAre("Too many updated files.\r\nPlease tell the developers of this code."));
}

TEST(ModelLoading, DataFileListAndMissingClosureReplaceTheDefaults) {
  ModelFixture f;
  TestModel m;
  m.withClosure = false;
  const std::string file = f.WriteModel(m);
  const std::string mdf = ChangeFileExt(file, ".MDF");
  WriteLines(mdf, {"File BASEDATA = /data/base.har ; ! Base data"});
  ASSERT_TRUE(f.LoadNew(file));
  EXPECT_THAT(f.setUp->DataPage.InputLines, ElementsAre("File BASEDATA = /data/base.har ; ! Base data"));
  EXPECT_THAT(f.ui.Texts(),
              ElementsAre("Default model closure file " + ChangeFileExt(file, ".CLS") + " is missing."));
  EXPECT_EQ(f.ui.messages[0].kind, MessageKind::Warning);
  EXPECT_THAT(f.calls, ElementsAre("clearClosure", "reset:new"));
}

TEST(ModelLoading, TerminalDataUpdatedLoadsWithoutPostSimulationAndSaysSoOnce) {
  ModelFixture f;
  TestModel m;
  m.files.push_back({"(terminal)", "in", true, "TXT", ""});
  ASSERT_TRUE(f.LoadNew(f.WriteModel(m)));
  EXPECT_FALSE(f.setUp->Model.PostSimPossible);
  EXPECT_FALSE(f.setUp->OutputPage.PostSimVisible);
  EXPECT_THAT(f.setUp->OutputPage.OutputLines,
              ElementsAre("Solution file = sim1 ;", "Updated file BASEDATA = sim1.upd ;",
                          "File SUMMARY = sim1.ou1 ;", "Updated terminal data = sim1a.upd ;"));
  EXPECT_THAT(f.ui.Texts(), ElementsAre("In this model, data read from the terminal is updated.\r\n"
                                        "A post-simulation job will not be run after each simulation."));
  // Restoring the same model at the next start does not repeat it.
  f.ui.messages.clear();
  f.setUp->ProcessModel(false);
  EXPECT_TRUE(f.ui.messages.empty());
}

TEST(ModelLoading, ChoosingTheModelAgainDiscardsTheUsersLists) {
  ModelFixture f;
  const std::string file = f.WriteModel(TestModel());
  ASSERT_TRUE(f.LoadNew(file));
  f.setUp->DataPage.InputLines[0] = "File BASEDATA = /x/base.har ; ! Base data";
  f.setUp->OutputPage.OutputLines[0] = "Solution file = mine ;";
  f.ui.files.push_back(file);
  f.setUp->ChangeModelButtonClick();
  EXPECT_EQ(f.setUp->DataPage.InputLines[0], "File BASEDATA = ?? ; ! Base data");
  EXPECT_EQ(f.setUp->OutputPage.OutputLines[0], "Solution file = sim1 ;");
  ASSERT_EQ(f.ui.dialogs.size(), 1u);
  EXPECT_EQ(f.ui.dialogs[0].title, "Select Model");
  EXPECT_EQ(f.ui.dialogs[0].filter, "Model EXE Files (*.EXE)|*.exe");
  EXPECT_EQ(f.ui.dialogs[0].fileName, file);
  EXPECT_EQ(f.ui.dialogs[0].initialDir, f.setUp->Model.ModelDir);
}

TEST(ModelLoading, DravexModelNeedsDravex) {
  ModelFixture f;
  TestModel m;
  m.exe = false;
  const std::string file = f.WriteModel(m);
  f.ui.files.push_back(file);
  f.setUp->ChangeModelButtonClick();
  EXPECT_TRUE(f.setUp->Model.ModelFile.empty());
  EXPECT_THAT(f.ui.Texts(),
              ElementsAre("DRAVEX is not available\r\n(either in Orvane's directory or on the DOS "
                          "Path).\r\nNo change made."));

  // With DRAVEX in the program folder the model is taken and DRAVEX solves it.
  const std::string dravex = JoinPath(f.app.ProgramDir, "dravex.exe");
  WriteLines(dravex, {"#!/bin/sh"});
  fs::permissions(dravex, fs::perms::owner_all);
  f.ui.files.push_back(file);
  f.setUp->ChangeModelButtonClick();
  EXPECT_EQ(f.ui.dialogs.back().filter, "Model Files (*.EXE,*.GSS)|*.exe;*.gss");
  EXPECT_EQ(f.setUp->Model.ModelFile, file);
  EXPECT_FALSE(f.setUp->Model.ModelIsExe);
  EXPECT_EQ(f.setUp->Model.SolverProgram, dravex);
}

TEST(ModelLoading, CheckingRefusesAndLeavesThePreviousModel) {
  ModelFixture f;
  const std::string good = f.WriteModel(TestModel());
  ASSERT_TRUE(f.LoadNew(good));
  const ModelState before = f.setUp->Model;

  auto refusal = [&](const std::string& path) {
    f.ui.messages.clear();
    EXPECT_FALSE(f.setUp->FindModelFiles(path)) << path;
    EXPECT_EQ(f.setUp->Model.ModelFile, before.ModelFile);
    return f.ui.Texts();
  };

  EXPECT_THAT(refusal(JoinPath(f.app.ProgramDir, "model.txt")),
              ElementsAre("File must have extension .EXE or .GSS"));

  TestModel noAxs;
  noAxs.name = "noaxs";
  const std::string noAxsFile = f.WriteModel(noAxs);
  fs::remove(ChangeFileExt(noAxsFile, ".axs"));
  EXPECT_THAT(refusal(noAxsFile), ElementsAre("AXS file " + UpperCase(ChangeFileExt(noAxsFile, ".axs")) +
                                              " does not exist.\r\nNo change made."));

  TestModel stale;
  stale.name = "stale";
  stale.auxStamp = "2026-01-01 00:00:00";
  const std::string staleFile = f.WriteModel(stale);
  EXPECT_THAT(refusal(staleFile),
              ElementsAre("Model Information File " + UpperCase(ChangeFileExt(staleFile, ".min")) +
                          " was not created at the same time as the Auxiliary Table File " +
                          UpperCase(ChangeFileExt(staleFile, ".axt"))));

  TestModel wired;
  wired.name = "wired";
  wired.files.push_back({"PARAM", "in", false, "HAR", "Parameters", "param.har"});
  EXPECT_THAT(
      refusal(f.WriteModel(wired)),
      ElementsAre("In this model, the name of the data file corresponding \r\n to logical name PARAM\r\n is "
                  "hard-wired in the MRK file as \r\nparam.har\r\nAt present models where actual file names "
                  "are hard-wired cannot be used with Orvane.\r\nNo change made."));

  TestModel noSolution;
  noSolution.name = "nosol";
  noSolution.files.push_back({"(solution)", "out", false, "HAR", ""});
  EXPECT_THAT(
      refusal(f.WriteModel(noSolution)),
      ElementsAre(
          "It is not possible to carry out simulations with this model.\r\nSuch models cannot be used "
          "with Orvane.\r\nNo change made."));

  // An auxiliary file that cannot be read (here a folder in its place) refuses silently.
  TestModel broken;
  broken.name = "broken";
  const std::string brokenFile = f.WriteModel(broken);
  fs::remove(ChangeFileExt(brokenFile, ".axt"));
  fs::create_directory(ChangeFileExt(brokenFile, ".axt"));
  EXPECT_THAT(refusal(brokenFile), ElementsAre());
}

TEST(ModelLoading, CompanionFilesAreFoundIgnoringCase) {
  ModelFixture f;
  const std::string file = f.WriteModel(TestModel());
  for (const char* ext : {".axs", ".axt", ".min", ".cls"}) {
    fs::rename(ChangeFileExt(file, ext), ChangeFileExt(file, UpperCase(ext)));
  }
  ASSERT_TRUE(f.LoadNew(file));
  EXPECT_EQ(f.setUp->Model.ModelInfoFile, ChangeFileExt(file, ".MIN"));
  EXPECT_EQ(f.calls.front(), "closure:" + ChangeFileExt(file, ".CLS"));
}

TEST(ModelLoading, RestoreKeepsTheSavedListsAndReadsTheClosureInformation) {
  ModelFixture f;
  const std::string file = f.WriteModel(TestModel());
  IniOptions options;
  options.model = file;
  options.modelName = "minimal";
  options.inputFiles = {"File BASEDATA = /data/base.har ; ! Base data"};
  options.outputFiles = {"Solution file = mysim ;", "Updated file BASEDATA = mysim.upd ;",
                         "File SUMMARY = x.ou1 ;"};
  options.postSimNames = "saved";
  options.sviFile = JoinPath(f.app.KeepDir, "current.svi");
  f.setUp->ApplySettings(options);
  ASSERT_TRUE(f.setUp->FindModelFiles(file));
  f.setUp->ProcessModel(false);
  EXPECT_THAT(f.setUp->DataPage.InputLines, ElementsAre(options.inputFiles[0]));
  EXPECT_EQ(f.setUp->OutputPage.OutputLines, options.outputFiles);
  EXPECT_THAT(f.calls, ElementsAre("svi:" + options.sviFile));
  EXPECT_EQ(f.info.NVar, 0);
  // Post-simulation is requested, so the name follows the solution name and not the saved setting.
  EXPECT_EQ(f.setUp->OutputPage.PostSimName, "mysimps");
  // The catalogue's output folder does not exist, so the model folder is used.
  EXPECT_EQ(f.setUp->Model.OutputDir, f.setUp->Model.ModelDir);

  IniOptions written;
  f.setUp->StoreSettings(written);
  EXPECT_EQ(written.model, file);
  EXPECT_EQ(written.outputFiles, options.outputFiles);
  EXPECT_EQ(written.merkaFile, JoinPath(f.setUp->Model.ModelDir, "minimal.mrk"));
}

TEST(ModelLoading, RestoreWithoutSolutionLineOrWithEmptyListsStaysUsable) {
  ModelFixture f;
  const std::string file = f.WriteModel(TestModel());
  fs::create_directories(JoinPath(f.app.ModelHomeDir, "OutPut"));
  IniOptions options;
  options.model = file;
  options.inputFiles = {""};
  options.outputFiles = {"File SUMMARY = x.ou1 ;"};
  f.setUp->ApplySettings(options);
  EXPECT_TRUE(f.setUp->DataPage.InputLines.empty());
  EXPECT_THAT(f.setUp->OutputPage.OutputLines,
              ElementsAre("Solution file = sim1 ;", "File SUMMARY = x.ou1 ;"));
  EXPECT_EQ(f.setUp->Model.OutputDir, JoinPath(f.app.ModelHomeDir, "OutPut"));
  f.setUp->ProcessModel(false);
  EXPECT_EQ(f.info.NVar, 2);
}

TEST(ModelLoading, UnreadableModelInformationEndsTheProgram) {
  ModelFixture f;
  const std::string file = f.WriteModel(TestModel());
  const std::string min = ChangeFileExt(file, ".min");
  std::string text = ReadFileBytes(min);
  const std::size_t sets = text.find("#SETS");
  ASSERT_NE(sets, std::string::npos);
  text = text.substr(0, sets) + "#SETS\n-5\n";
  WriteLines(min, {});
  std::ofstream(min, std::ios::binary) << text;
  SaveFuzzSeed("modelinfo_reader", "model_bad_sets.min", text);
  ASSERT_TRUE(f.LoadNew(file));
  EXPECT_THAT(f.exits, ElementsAre(1));
  ASSERT_FALSE(f.ui.messages.empty());
  EXPECT_TRUE(f.ui.messages[0].text.starts_with("Program  Error:\r\n")) << f.ui.messages[0].text;
  // Loading stopped: the closure was not loaded over a model it cannot check.
  EXPECT_THAT(f.calls, ElementsAre());
}

TEST(ModelLoading, HostileModelInformationNeverCrashesTheChecks) {
  ModelFixture f;
  const std::string file = f.WriteModel(TestModel());
  const std::string min = ChangeFileExt(file, ".min");
  const std::string stampTail = "#TMDATE\n2026-12-09 10:00:00\n";
  for (const std::string& body :
       {std::string(), std::string("#FILES\n"), std::string("#FILES\nheader\nX"), std::string(100000, 'y'),
        std::string("#FILES\nh\n\0\0\0\0in  y  HAR  \r\n#MRKFILE", 30),
        "#FILES\nh\n" + std::string(5000, ' ') + "x\n"}) {
    std::ofstream(min, std::ios::binary | std::ios::trunc) << body << "\n" << stampTail;
    SaveFuzzSeed("model_loading", "hostile" + std::to_string(body.size()) + ".min", body);
    f.ui.messages.clear();
    f.setUp->FindModelFiles(file);
    std::string type;
    std::string description;
    DescribeLogicalFile(min, "BASEDATA", type, description);
  }
  SUCCEED();
}

TEST(ModelLoading, ClearingForgetsTheModel) {
  ModelFixture f;
  ASSERT_TRUE(f.LoadNew(f.WriteModel(TestModel())));
  f.calls.clear();
  f.setUp->ClearModel();
  const ModelSetUp& s = *f.setUp;
  EXPECT_TRUE(s.Model.ModelFile.empty());
  EXPECT_TRUE(s.Model.ModelStem.empty());
  EXPECT_EQ(s.Model.ModelDir, f.app.ProgramDir);
  EXPECT_EQ(s.Model.OutputDir, f.app.ProgramDir);
  EXPECT_EQ(s.OutputPage.OutputDirLabel, UpperCase(f.app.ProgramDir));
  EXPECT_TRUE(s.DataPage.InputLines.empty());
  EXPECT_TRUE(s.OutputPage.OutputLines.empty());
  EXPECT_TRUE(s.ViewMenu.InputData.Items.empty());
  EXPECT_THAT(f.calls, ElementsAre("clearClosure", "reset:none"));
  EXPECT_EQ(f.caption, "Pelorin");
}

TEST(ModelLoading, AModelFileThatHasGoneIsCleared) {
  ModelFixture f;
  const std::string file = f.WriteModel(TestModel());
  ASSERT_TRUE(f.LoadNew(file));
  fs::remove(file);
  f.setUp->ProcessModel(true);
  EXPECT_TRUE(f.setUp->Model.ModelFile.empty());
}

TEST(ModelLoading, MissingInformationFileStopsLoading) {
  ModelFixture f;
  const std::string file = f.WriteModel(TestModel());
  fs::remove(ChangeFileExt(file, ".min"));
  f.setUp->Model.ModelFile = file;
  f.setUp->ProcessModel(true);
  EXPECT_THAT(f.ui.Texts(),
              ElementsAre("Model Info file " + ChangeFileExt(file, ".MIN") + " does not exist."));
  EXPECT_TRUE(f.calls.empty());
}

} // namespace
} // namespace pelorin::test
