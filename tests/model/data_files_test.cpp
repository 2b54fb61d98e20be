#include "model/file_lines.h"
#include "model_fixture.h"
#include "platform/paths.h"
#include "support/file_size_limit.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

class DataFiles : public ::testing::Test {
protected:
  void SetUp() override {
    TestModel m;
    m.files = {{"BASEDATA", "in", true, "HAR", "Base data"},
               {"PARAM", "in", false, "HAR", "Parameters"},
               {"NOTES", "in", false, "TXT", "Notes for the model"},
               {"SUMMARY", "out", false, "HAR", "Summary"},
               {"(display)", "out", true, "TXT", ""}};
    modelFile = f.WriteModel(m);
    ASSERT_TRUE(f.LoadNew(modelFile));
    folder = f.setUp->Model.ModelDir;
    f.calls.clear();
  }

  std::string DataFile(const std::string& name) {
    const std::string path = JoinPath(folder, name);
    WriteLines(path, {"data"});
    return path;
  }

  ModelFixture f;
  std::string modelFile;
  std::string folder;
};

TEST_F(DataFiles, QuietCheckShortensMissingFilesWithoutAsking) {
  auto& lines = f.setUp->DataPage.InputLines;
  EXPECT_FALSE(f.setUp->AreInputDataFilesSelected(true));
  EXPECT_FALSE(f.setUp->DataPage.SaveAsEnabled);
  lines = {"File BASEDATA = " + DataFile("base.har") + " ; ! Base data",
           "File PARAM = " + JoinPath(folder, "gone.har") + " ; ! Parameters"};
  EXPECT_FALSE(f.setUp->AreInputDataFilesSelected(true));
  EXPECT_EQ(lines[1], "File PARAM = ?? ;");
  EXPECT_TRUE(f.ui.messages.empty());
  lines.pop_back();
  EXPECT_TRUE(f.setUp->AreInputDataFilesSelected(true));
  EXPECT_TRUE(f.setUp->DataPage.SaveAsEnabled);
}

TEST_F(DataFiles, PromptingCheckAsksOncePerMissingFile) {
  auto& lines = f.setUp->DataPage.InputLines;
  const std::string gone1 = JoinPath(folder, "gone1.har");
  const std::string gone2 = JoinPath(folder, "gone2.har");
  lines = {"File BASEDATA = " + gone1 + " ; ! Base data", "File PARAM = " + gone2 + " ; ! Parameters"};
  const std::string chosen = DataFile("new base.har");
  f.ui.answers = {MessageAnswer::Yes, MessageAnswer::No};
  f.ui.files.push_back(chosen);
  EXPECT_FALSE(f.setUp->AreInputDataFilesSelected(false));
  EXPECT_THAT(
      f.ui.Texts(),
      ElementsAre("The file " + gone1 +
                      "\r\n (associated with logical file BASEDATA) no longer exists.\r\nDo you wish to "
                      "specify this file again?",
                  "The file " + gone2 +
                      "\r\n (associated with logical file PARAM) no longer exists.\r\nDo you wish to specify "
                      "this file again?"));
  EXPECT_EQ(f.ui.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_THAT(lines, ElementsAre("File BASEDATA = \"" + chosen + "\" ; ! Base data", "File PARAM = ?? ;"));
  EXPECT_TRUE(f.setUp->Model.DataFilesChanged);
  EXPECT_THAT(f.calls, ElementsAre("clearSvi"));
}

TEST_F(DataFiles, ChoosingAFileRebuildsTheLineWithItsDescription) {
  const std::string chosen = DataFile("base.har");
  f.ui.files.push_back(chosen);
  EXPECT_TRUE(f.setUp->OrigDataFilesCMFListBoxChange(1));
  EXPECT_EQ(f.setUp->DataPage.InputLines[1], "File PARAM = " + chosen + " ; ! Parameters");
  const FileDialogRequest& d = f.ui.dialogs.back();
  EXPECT_EQ(d.title, "Data File ");
  EXPECT_EQ(d.fileName, "*.har;*.dat");
  EXPECT_EQ(d.filter, "HA Files (*.HAR,*.DAT)|*.HAR;*.DAT|All Files|*.*");
  EXPECT_EQ(d.initialDir, folder);
  // Cancelling changes nothing.
  EXPECT_FALSE(f.setUp->OrigDataFilesCMFListBoxChange(0));
  EXPECT_EQ(f.setUp->DataPage.InputLines[0], "File BASEDATA = ?? ; ! Base data");
}

TEST_F(DataFiles, RightClickMenuViewsAndDescribesTheFile) {
  const std::string lumarix = JoinPath(f.app.ProgramDir, "lumarix.exe");
  WriteLines(lumarix, {"#!/bin/sh"});
  fs::permissions(lumarix, fs::perms::owner_all);
  auto& lines = f.setUp->DataPage.InputLines;
  const std::string notes = DataFile("notes.txt");
  const std::string base = DataFile("base.har");
  lines[0] = "File BASEDATA = " + base + " ; ! Base data";
  lines[2] = "File NOTES = " + notes + " ; ! Notes for the model";

  f.setUp->OrigDataFilesCMFListBoxMouseDown(1);
  EXPECT_FALSE(f.setUp->Popup.ViewEnabled); // "&View this file" stays off for a line holding "??"
  EXPECT_FALSE(f.setUp->Popup.SelectVisible);
  f.app.DeveloperMode = true;
  f.setUp->OrigDataFilesCMFListBoxMouseDown(0);
  EXPECT_TRUE(f.setUp->Popup.ViewEnabled);
  EXPECT_TRUE(f.setUp->Popup.SelectVisible);
  f.setUp->ViewThisFile1Click();
  ASSERT_EQ(f.launches.size(), 1u);
  EXPECT_EQ(f.launches[0].front(), lumarix);
  EXPECT_THAT(f.launches[0], ::testing::Contains(::testing::HasSubstr(base)));
  f.setUp->TellMeMore1Click();

  f.setUp->OrigDataFilesCMFListBoxMouseDown(2);
  f.setUp->ViewThisFile1Click();
  ASSERT_EQ(f.ui.editors.size(), 1u);
  EXPECT_EQ(f.ui.editors[0].file, notes);
  EXPECT_EQ(f.ui.editors[0].title, "File with logical name NOTES");
  EXPECT_TRUE(f.ui.editors[0].editable);
  EXPECT_EQ(f.ui.editors[0].returnCaption, "&Back to Orvane");
  f.setUp->TellMeMore1Click();
  EXPECT_THAT(
      f.ui.Texts(),
      ElementsAre(
          "This is a Header Array file described as\r\n\"Base data\"\r\nTo see what is read from this "
          "file, search for \"BASEDATA\" in the main MERKA file.",
          "This is a text file described as\r\n\"Notes for the model\"\r\nTo see what is read from "
          "this file, search for \"NOTES\" in the main MERKA file."));
}

TEST_F(DataFiles, SaveAndLoadTheDataFileList) {
  f.setUp->SaveDataFilesButtonClick();
  EXPECT_THAT(f.ui.Texts(), ElementsAre("Please specify names for all files first."));
  EXPECT_EQ(f.ui.messages[0].kind, MessageKind::Error);

  auto& lines = f.setUp->DataPage.InputLines;
  lines = {"File BASEDATA = " + DataFile("base.har") + " ; ! Base data"};
  const std::string saved = JoinPath(folder, "saved.mdf");
  f.ui.files.push_back(saved);
  f.setUp->SaveDataFilesButtonClick();
  const FileDialogRequest& d = f.ui.dialogs.back();
  EXPECT_EQ(d.title, "Save Data File Names");
  EXPECT_EQ(d.filter, "Model data files|*.MDF");
  EXPECT_EQ(d.initialDir, folder);
  EXPECT_EQ(d.fileName, "minimal.MDF");
  EXPECT_TRUE(d.confirmOverwrite);
  EXPECT_EQ(FileLinesOf(saved), lines);
  EXPECT_EQ(f.app.LastSaveDir, folder);

  // With the model's own list present the dialog starts in the output folder.
  WriteLines(ChangeFileExt(modelFile, ".MDF"), lines);
  f.setUp->Model.OutputDir = f.app.ProgramDir;
  f.setUp->SaveDataFilesButtonClick();
  EXPECT_EQ(f.ui.dialogs.back().initialDir, f.app.ProgramDir);
  EXPECT_EQ(f.ui.dialogs.back().fileName, "*.MDF");

  // Loading takes the lines as they stand and resets the closure information.
  WriteLines(saved, {"File BASEDATA = /nowhere/x.har ; ! Base data", "anything at all"});
  f.ui.files.push_back(saved);
  f.setUp->LoadDataFilesButtonClick();
  EXPECT_THAT(lines, ElementsAre("File BASEDATA = /nowhere/x.har ; ! Base data", "anything at all"));
  EXPECT_EQ(f.ui.dialogs.back().title, "Model Data File ");
  EXPECT_EQ(f.ui.dialogs.back().filter, "Model Data files|*.mdf");
  EXPECT_THAT(f.calls, ElementsAre("clearSvi"));
  // A line that is no file line at all is left alone by the check, which fails.
  EXPECT_FALSE(f.setUp->AreInputDataFilesSelected(true));
  EXPECT_EQ(lines[1], "anything at all");
}

TEST_F(DataFiles, RenamingTheSolutionCarriesTheOtherNamesAlong) {
  auto& out = f.setUp->OutputPage.OutputLines;
  ASSERT_THAT(out, ElementsAre("Solution file = sim1 ;", "Updated file BASEDATA = sim1.upd ;",
                               "File SUMMARY = sim1.ou1 ;", "Display file = sim1.dis ;"));
  f.ui.files.push_back(JoinPath(folder, "base2.sl4"));
  f.setUp->OutputFilesListBoxChange(0);
  EXPECT_EQ(f.ui.dialogs.back().title, "Output File ");
  EXPECT_TRUE(f.ui.dialogs.back().confirmOverwrite);
  EXPECT_EQ(f.ui.dialogs.back().filter, "Solution Files|*.sl4");
  EXPECT_EQ(f.ui.dialogs.back().fileName, "*.sl4");
  EXPECT_EQ(f.ui.dialogs.back().initialDir, folder);
  EXPECT_THAT(out, ElementsAre("Solution file = base2 ;", "Updated file BASEDATA = base2.upd ;",
                               "File SUMMARY = base2.ou1 ;", "Display file = base2.dis ;"));
  EXPECT_TRUE(f.setUp->Model.OutputNamesChanged);
  EXPECT_EQ(f.setUp->OutputPage.PostSimName, "base2ps");

  // Eight characters or more: the updated names stay, the others follow.
  f.ui.files.push_back(JoinPath(folder, "Simulation.sl4"));
  f.setUp->OutputFilesListBoxChange(0);
  EXPECT_THAT(out, ElementsAre("Solution file = simulation ;", "Updated file BASEDATA = base2.upd ;",
                               "File SUMMARY = simulation.ou1 ;", "Display file = simulation.dis ;"));
  EXPECT_EQ(f.setUp->OutputPage.PostSimName, "simulaps");
}

TEST_F(DataFiles, RenamingRefusesConflictsAndKeepsForeignFolders) {
  auto& out = f.setUp->OutputPage.OutputLines;
  const std::vector<std::string> before = out;
  f.ui.files.push_back(JoinPath(folder, "SIM1.sl4"));
  f.setUp->OutputFilesListBoxChange(2);
  EXPECT_EQ(f.ui.dialogs.back().filter, "All Files|*.*");
  EXPECT_THAT(f.ui.Texts(),
              ElementsAre("Sorry, cannot make this change since it would lead to a conflict with "
                          "other output file names."));
  EXPECT_EQ(out, before);

  // Updated files clash by name without extension.
  out.insert(out.begin() + 2, "Updated file PARAM = sim1a.upd ;");
  f.ui.messages.clear();
  f.ui.files.push_back(JoinPath(folder, "sim1a.har"));
  f.setUp->OutputFilesListBoxChange(1);
  EXPECT_EQ(f.ui.messages.size(), 1u);
  EXPECT_EQ(out[1], "Updated file BASEDATA = sim1.upd ;");

  // A name outside the output folder keeps its folder as it is written; only the name is lower-cased.
  const std::string other = JoinPath(f.app.ProgramDir, "Keep Here");
  fs::create_directories(other);
  f.ui.files.push_back(JoinPath(other, "Result.OU1"));
  f.setUp->OutputFilesListBoxChange(3);
  EXPECT_EQ(out[3], "File SUMMARY = \"" + JoinPath(other, "result.ou1") + "\" ;");
  // The next rename starts in that file's folder.
  f.setUp->OutputFilesListBoxChange(3);
  EXPECT_EQ(f.ui.dialogs.back().initialDir, other);
}

TEST_F(DataFiles, OutputFolderAndDefaultListFiles) {
  const std::string chosen = JoinPath(f.app.ProgramDir, "results");
  f.ui.files.push_back(chosen + "/");
  f.setUp->ChangeOutputDirButtonClick();
  EXPECT_EQ(f.ui.dialogs.back().title, "Default Output Directory");
  EXPECT_EQ(f.ui.dialogs.back().initialDir, folder);
  EXPECT_EQ(f.setUp->Model.OutputDir, chosen);
  f.setUp->ChangeOutputDirButtonClick(); // cancelled
  EXPECT_EQ(f.setUp->Model.OutputDir, chosen);

  // The files made in the model folder take lower-case extensions like the rest of it; one present in any
  // case is kept.
  fs::remove(ChangeFileExt(modelFile, ".cls"));
  f.setUp->CreateDefaultListFiles(DefaultListFiles::Both);
  const std::string mdf = ChangeFileExt(modelFile, ".mdf");
  const std::string cls = ChangeFileExt(modelFile, ".cls");
  EXPECT_THAT(f.ui.Texts(), ElementsAre("Created default Model Data Files file " + mdf,
                                        "Created default Model Closure file " + cls));
  EXPECT_EQ(FileLinesOf(mdf), f.setUp->DataPage.InputLines);
  EXPECT_THAT(FileLinesOf(cls), ElementsAre("exogenous pop ;", "rest endogenous ;"));
  EXPECT_FALSE(fs::exists(ChangeFileExt(modelFile, ".MDF")));
  f.ui.messages.clear();
  fs::rename(cls, ChangeFileExt(modelFile, ".CLS"));
  f.setUp->CreateDefaultListFiles(DefaultListFiles::Both);
  EXPECT_TRUE(f.ui.messages.empty());
  EXPECT_FALSE(fs::exists(cls));
}

// A blank line (an .MDF ending in an empty line) is no file to choose: it must not block Solve for good. A
// line that names no file at all is shown to the person, since Solve alone would only say files are missing.
TEST_F(DataFiles, BlankListLinesAreDroppedAndALineWithoutEqualsIsNamed) {
  const std::string base = DataFile("base.har");
  const std::string list = JoinPath(folder, "mine.mdf");
  f.dir.Write(fs::relative(list, f.dir.Path()).string(), "\xEF\xBB\xBF"
                                                         "File BASEDATA = " +
                                                             base + " ; ! Base data\r\n\r\n   \r\n");
  f.ui.files.push_back(list);
  f.setUp->LoadDataFilesButtonClick();
  auto& lines = f.setUp->DataPage.InputLines;
  EXPECT_THAT(lines, ElementsAre("File BASEDATA = " + base + " ; ! Base data"));
  EXPECT_TRUE(f.setUp->AreInputDataFilesSelected(false));
  EXPECT_TRUE(f.ui.messages.empty());

  // The model's own list is read the same way when the model is loaded.
  fs::copy_file(list, ChangeFileExt(modelFile, ".mdf"));
  ASSERT_TRUE(f.LoadNew(modelFile));
  EXPECT_THAT(lines, ElementsAre("File BASEDATA = " + base + " ; ! Base data"));

  lines = {"File BASEDATA = " + base + " ; ! Base data", "", "PARAM params.har"};
  f.ui.messages.clear();
  EXPECT_FALSE(f.setUp->AreInputDataFilesSelected(true));
  EXPECT_TRUE(f.ui.messages.empty());
  EXPECT_FALSE(f.setUp->AreInputDataFilesSelected(false));
  EXPECT_THAT(
      f.ui.Texts(),
      ElementsAre("Line 2 of the input data files has no \"=\", so it names no file:\r\nPARAM params.har"));
  EXPECT_EQ(f.ui.messages[0].kind, MessageKind::Error);
}

// "Save &As..." over an existing list that cannot be written whole keeps the list that was there.
TEST_F(DataFiles, AFailedSaveLeavesThePreviousList) {
  const std::string saved = JoinPath(folder, "saved.mdf");
  WriteLines(saved, {"File BASEDATA = old.har ; ! Base data"});
  f.setUp->DataPage.InputLines =
      std::vector<std::string>(200, "File BASEDATA = " + DataFile("base.har") + " ; ! Base data");
  f.ui.files.push_back(saved);
  {
    const FileSizeLimit full(2048);
    f.setUp->SaveDataFilesButtonClick();
  }
  EXPECT_THAT(f.ui.Texts(), ElementsAre("Cannot create file " + saved));
  EXPECT_THAT(FileLinesOf(saved), ElementsAre("File BASEDATA = old.har ; ! Base data"));
}

} // namespace
} // namespace pelorin::test
