#include "datafiles/har_writer.h"
#include "model/file_lines.h"
#include "model/zip_folder.h"
#include "model_fixture.h"
#include "platform/paths.h"

#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

std::vector<std::string> Captions(const ViewSubMenu& menu) {
  std::vector<std::string> captions;
  for (const ViewMenuItem& item : menu.Items) {
    captions.push_back(item.Caption);
  }
  return captions;
}

void Executable(const std::string& path) {
  WriteLines(path, {"#!/bin/sh"});
  fs::permissions(path, fs::perms::owner_all);
}

class ViewMenu : public ::testing::Test {
protected:
  void SetUp() override {
    TestModel m;
    m.files = {{"BASEDATA", "in", true, "HAR", "Base data"},
               {"NOTES", "in", false, "TXT", "Notes"},
               {"SUMMARY", "out", false, "HAR", "Summary"},
               {"REPORT", "out", false, "TXT", "Report"},
               {"(display)", "out", true, "TXT", ""}};
    m.stiFile = "minimal.sti";
    modelFile = f.WriteModel(m);
    ASSERT_TRUE(f.LoadNew(modelFile));
    folder = f.setUp->Model.ModelDir;
  }

  // Pretends a solve finished: its files exist and the job runner has recorded them.
  void Solved() {
    LastSolveFiles& last = f.setUp->LastSolve;
    last.SolutionFile = JoinPath(folder, "sim1.sl4");
    last.LogCopy = JoinPath(folder, "sim1.log");
    last.XacFile = JoinPath(folder, "sim1.xac");
    last.CmfFile = JoinPath(folder, "sim1.cmf");
    last.PostSimLog = JoinPath(f.app.WorkDir, "postsim.log");
    last.PostSimDisplayFile = JoinPath(folder, "sim1ps.dis");
    last.LastOutputDir = folder;
    last.LastPostSimDir = folder;
    last.LastPostSimName = "sim1ps";
    for (const std::string& file : {last.SolutionFile, last.LogCopy, last.XacFile, last.CmfFile,
                                    last.PostSimLog, last.PostSimDisplayFile, JoinPath(folder, "sim1ps.ou2"),
                                    JoinPath(folder, "sim1.ou2"), JoinPath(folder, "sim1.dis")}) {
      WriteLines(file, {"text"});
    }
    f.app.Solved = true;
    f.app.SolutionPresent = true;
  }

  ModelFixture f;
  std::string modelFile;
  std::string folder;
};

TEST_F(ViewMenu, SubMenusAreBuiltFromTheFileList) {
  const ViewMenuState& v = f.setUp->ViewMenu;
  EXPECT_THAT(Captions(v.InputData), ElementsAre("Original BASEDATA", "Original NOTES"));
  EXPECT_THAT(Captions(v.UpdatedData), ElementsAre("Updated BASEDATA"));
  EXPECT_THAT(Captions(v.OutputsPreSim),
              ElementsAre("SUMMARY (Presim)", "REPORT (Presim)", "Display file (Presim)"));
  EXPECT_THAT(Captions(v.OutputsPostSim), ElementsAre("SUMMARY (Postsim)", "REPORT (Postsim)",
                                                      "Display file (Postsim)", "Post Sim Log file"));
}

TEST_F(ViewMenu, BeforeAnySolveTheSimulationEntriesAreDisabled) {
  WriteLines(JoinPath(folder, "minimal.mrk"), {"model text"});
  f.setUp->ViewData1Click();
  const ViewMenuState& v = f.setUp->ViewMenu;
  EXPECT_FALSE(v.InputData.Enabled); // no data file named yet
  EXPECT_FALSE(v.UpdatedData.Enabled);
  EXPECT_FALSE(v.OutputsPreSim.Enabled);
  EXPECT_FALSE(v.OutputsPostSim.Enabled);
  EXPECT_FALSE(v.LogFileEnabled);
  EXPECT_FALSE(v.XacFileEnabled);
  EXPECT_FALSE(v.AccuracySummaryEnabled);
  EXPECT_FALSE(v.TelvariEnabled);
  EXPECT_TRUE(v.MainMrkFileEnabled);
  EXPECT_FALSE(v.MrkStiFileEnabled);
  EXPECT_EQ(f.setUp->Model.MrkStiFile, JoinPath(folder, "minimal.STI"));
}

TEST_F(ViewMenu, AfterASolveOutputsFollowTheRecordedFiles) {
  Solved();
  f.setUp->Hooks.xacWanted = [] { return true; };
  Executable(JoinPath(f.app.ProgramDir, "lumarix.exe"));
  f.setUp->ViewData1Click();
  ViewMenuState& v = f.setUp->ViewMenu;
  EXPECT_TRUE(v.UpdatedData.Enabled);
  EXPECT_TRUE(v.OutputsPreSim.Enabled);
  EXPECT_TRUE(v.OutputsPostSim.Enabled);
  EXPECT_TRUE(v.LogFileEnabled);
  EXPECT_TRUE(v.XacFileEnabled);
  EXPECT_TRUE(v.LumarixEnabled);
  EXPECT_FALSE(v.BrisolentEnabled);

  // The second post-simulation output is the display file's name with ".ou2", shown as text.
  f.setUp->ViewPostSimItemClick(1);
  ASSERT_EQ(f.ui.editors.size(), 1u);
  EXPECT_EQ(f.ui.editors.back().file, JoinPath(folder, "sim1ps.ou2"));
  EXPECT_EQ(f.ui.editors.back().title, "Post-sim fileREPORT");
  EXPECT_FALSE(f.ui.editors.back().editable);
  // A Header Array output goes to Lumarix as "#" + file; it must exist.
  f.setUp->ViewPostSimItemClick(0);
  EXPECT_THAT(f.ui.Texts(), ElementsAre("Cannot find file:\r\n" + JoinPath(folder, "sim1ps.ou1")));
  f.setUp->ViewPreSimItemClick(1);
  EXPECT_EQ(f.ui.editors.back().file, JoinPath(folder, "sim1.ou2"));
  EXPECT_EQ(f.ui.editors.back().title, "FileREPORT");
  f.setUp->ViewPreSimItemClick(2);
  EXPECT_EQ(f.ui.editors.back().file, JoinPath(folder, "sim1.dis"));
  f.setUp->ViewPostSimItemClick(3);
  EXPECT_EQ(f.ui.editors.back().title, "Post Sim Log File");
  f.setUp->LogFile1Click();
  EXPECT_EQ(f.ui.editors.back().title, "Log file");
  f.setUp->XACFile1Click();
  EXPECT_EQ(f.ui.editors.back().title, "XAC file");
  f.setUp->LookAtCMFFileButtonClick();
  EXPECT_EQ(f.ui.editors.back().title, "Simulation Command file");

  // After changing an output name the pre-simulation outputs wait for the next solve.
  f.ui.files.push_back(JoinPath(folder, "other.ou1"));
  f.setUp->OutputFilesListBoxChange(2);
  f.setUp->ViewData1Click();
  EXPECT_FALSE(v.OutputsPreSim.Enabled);
  EXPECT_FALSE(v.UpdatedData.Enabled);
  EXPECT_TRUE(v.OutputsPostSim.Enabled);

  // Post-simulation files relate to the last run, which the current settings no longer describe.
  f.ui.messages.clear();
  f.setUp->OutputPage.PostSimName = "otherps";
  f.setUp->ViewPostSimItemClick(2);
  EXPECT_THAT(f.ui.Texts(), ElementsAre("File shown relates to last post-simulation run,\r\n"
                                        "not to current settings on Output Files page."));
  EXPECT_EQ(f.ui.editors.back().title, "Post-sim display file");
}

TEST_F(ViewMenu, OriginalAndUpdatedItemsShowTheirFiles) {
  Executable(JoinPath(f.app.ProgramDir, "lumarix.exe"));
  f.setUp->ViewInputDataItemClick(0);
  EXPECT_THAT(f.ui.Texts(), ElementsAre("File name not yet specified."));
  const std::string base = JoinPath(folder, "base.har");
  WriteLines(base, {"x"});
  f.setUp->DataPage.InputLines[0] = "File BASEDATA = " + base + " ; ! Base data";
  f.setUp->ViewInputDataItemClick(0);
  ASSERT_EQ(f.launches.size(), 1u);
  EXPECT_THAT(f.launches[0], ::testing::Contains(::testing::HasSubstr("#" + base)));

  // Data changed since a completed simulation: the user is told which file is shown.
  Solved();
  f.setUp->Model.DataFilesChanged = true;
  f.ui.messages.clear();
  f.setUp->ViewInputDataItemClick(0);
  EXPECT_THAT(f.ui.Texts(),
              ElementsAre("File shown is the one currently specified on the Model/Data page.\r\n"
                          "(This may have changed since the last successful simulation.)"));

  const std::string updated = JoinPath(folder, "sim1.upd");
  WriteLines(updated, {"x"});
  f.setUp->ViewUpdatedDataItemClick(0);
  EXPECT_THAT(f.launches.back(), ::testing::Contains(::testing::HasSubstr("#" + updated)));
}

TEST_F(ViewMenu, UpdatedDataComeFromTheLastSolvesOutputFolder) {
  Executable(JoinPath(f.app.ProgramDir, "lumarix.exe"));
  Solved();
  const std::string updated = JoinPath(folder, "sim1.upd");
  WriteLines(updated, {"x"});
  // Another output folder chosen after the solve holds an older file of the same name.
  const std::string later = JoinPath(f.app.ProgramDir, "later");
  fs::create_directories(later);
  WriteLines(JoinPath(later, "sim1.upd"), {"stale"});
  f.setUp->Model.OutputDir = later;
  f.setUp->ViewUpdatedDataItemClick(0);
  ASSERT_EQ(f.launches.size(), 1u);
  EXPECT_THAT(f.launches.back(), ::testing::Contains(::testing::HasSubstr("#" + updated)));
}

TEST_F(ViewMenu, PostSimLogCarriesTheNoticeOfTheOtherPostSimEntries) {
  Solved();
  f.setUp->OutputPage.PostSimName = "otherps";
  f.setUp->ViewPostSimItemClick(3);
  EXPECT_THAT(f.ui.Texts(), ElementsAre("File shown relates to last post-simulation run,\r\n"
                                        "not to current settings on Output Files page."));
  ASSERT_EQ(f.ui.editors.size(), 1u);
  EXPECT_EQ(f.ui.editors[0].title, "Post Sim Log File");
}

TEST_F(ViewMenu, BrisolentIsEnabledWhereverItsStartWouldFindIt) {
  Solved();
  WriteLines(JoinPath(folder, "sim1.slc"), {"x"});
  const std::string fallback = JoinPath(f.app.ProgramDir, "suite");
  fs::create_directories(fallback);
  f.setUp->BrisolentFallbackDir = fallback;
  f.setUp->ViewData1Click();
  EXPECT_FALSE(f.setUp->ViewMenu.BrisolentEnabled);
  const std::string brisolent = JoinPath(fallback, "Brisolent.exe");
  Executable(brisolent);
  f.setUp->ViewData1Click();
  EXPECT_TRUE(f.setUp->ViewMenu.BrisolentEnabled);
  f.setUp->SolutionViaBrisolent1Click();
  ASSERT_EQ(f.launches.size(), 1u);
  EXPECT_EQ(f.launches[0][0], brisolent);
  EXPECT_TRUE(f.ui.messages.empty());
}

TEST_F(ViewMenu, EditingAndTheCommandFileTakeTheSameCmfStart) {
  // Two files that differ only in case, in the output folder; one in the model folder that neither may take.
  const std::string out = JoinPath(f.app.ProgramDir, "out");
  fs::create_directories(out);
  f.setUp->Model.OutputDir = out;
  WriteLines(JoinPath(out, "cmfstart"), {"! lower"});
  WriteLines(JoinPath(out, "CmfStart"), {"! mixed"});
  WriteLines(JoinPath(folder, "CMFSTART"), {"! model folder's"});
  f.setUp->EditCMFSTARTFile();
  ASSERT_EQ(f.ui.editors.size(), 1u);
  EXPECT_EQ(f.ui.editors[0].file, FindCmfStartFile(out, folder).value_or(""));
  EXPECT_EQ(f.ui.editors[0].file, JoinPath(out, "CmfStart"));
  // The name as the system writes it wins over any other case.
  WriteLines(JoinPath(out, "CMFSTART"), {"! upper"});
  EXPECT_EQ(FindCmfStartFile(out, folder), JoinPath(out, "CMFSTART"));
  // A folder of that name is no preamble.
  fs::remove(JoinPath(out, "CMFSTART"));
  fs::remove(JoinPath(out, "CmfStart"));
  fs::remove(JoinPath(out, "cmfstart"));
  fs::create_directories(JoinPath(out, "cmfstart"));
  EXPECT_EQ(FindCmfStartFile(out, folder), JoinPath(folder, "CMFSTART"));
  EXPECT_EQ(FindCmfStartFile("", ""), std::nullopt);
}

TEST_F(ViewMenu, TextFilesGoToTheConfiguredEditor) {
  const std::string editor = JoinPath(f.app.ProgramDir, "scribix.exe");
  Executable(editor);
  f.setUp->TextEditor = editor;
  Solved();
  f.setUp->LookAtCMFFileButtonClick();
  ASSERT_EQ(f.launches.size(), 1u);
  EXPECT_EQ(f.launches[0][0], editor);
  EXPECT_THAT(f.launches[0], ::testing::Contains("#" + f.setUp->LastSolve.CmfFile));
  EXPECT_EQ(f.launches[0].back(), "@" + folder);

  // CMFSTART is edited, so no "#".
  WriteLines(JoinPath(folder, "cmfstart"), {"! preamble"});
  f.setUp->EditCMFSTARTFile();
  ASSERT_EQ(f.launches.size(), 2u);
  EXPECT_THAT(f.launches[1], ::testing::Contains(JoinPath(folder, "cmfstart")));
  EXPECT_THAT(f.ui.Texts(), ElementsAre("Current CMFSTART File is\r\n" + JoinPath(folder, "cmfstart")));

  f.ui.messages.clear();
  f.setUp->ViewTextFile(JoinPath(folder, "missing.txt"), "Missing", false);
  EXPECT_THAT(f.ui.Texts(),
              ElementsAre("File \r\n" + JoinPath(folder, "missing.txt") + "\r\n does not exist."));
}

TEST_F(ViewMenu, CmfStartIsCreatedOnRequestInTheOutputFolder) {
  const std::string out = JoinPath(f.app.ProgramDir, "out");
  fs::create_directories(out);
  f.setUp->Model.OutputDir = out;
  f.ui.answers.push_back(MessageAnswer::No);
  f.setUp->EditCMFSTARTFile();
  EXPECT_THAT(f.ui.Texts(), ElementsAre("At present is no CMFSTART in this Simulation Directory\r\n" + out +
                                        "\r\nDo you wish to create one?"));
  EXPECT_EQ(f.ui.messages[0].buttons, MessageButtons::YesNoHelp);
  EXPECT_FALSE(fs::exists(JoinPath(out, "CMFSTART")));
  f.setUp->EditCMFSTARTFile();
  EXPECT_TRUE(fs::exists(JoinPath(out, "CMFSTART")));
  ASSERT_EQ(f.ui.editors.size(), 1u);
  EXPECT_EQ(f.ui.editors[0].title, "CMFSTART file");
  EXPECT_TRUE(f.ui.editors[0].editable);
}

TEST_F(ViewMenu, AnyTextFileRefusesBinaryFiles) {
  const std::string har = JoinPath(folder, "data.har");
  ErrorText err;
  ASSERT_TRUE(WriteHarFile(har, {MakeStrings("NOTE", "A note", {"line"})}, {}, err)) << err;
  f.ui.files.push_back(har);
  f.setUp->OtherTextFile1Click();
  EXPECT_EQ(f.ui.dialogs.back().title, "Load Text file");
  EXPECT_EQ(f.ui.dialogs.back().initialDir, folder);
  f.ui.files.push_back(modelFile);
  f.setUp->ViewTempDirTextFiles1Click();
  EXPECT_EQ(f.ui.dialogs.back().initialDir, f.app.WorkDir);
  const std::string text = JoinPath(folder, "notes.txt");
  WriteLines(text, {"notes"});
  f.ui.files.push_back(text);
  f.setUp->OtherTextFile1Click();
  EXPECT_THAT(f.ui.Texts(),
              ElementsAre("Cannot view Lahey binary file - try Lumarix !", "Cannot view EXE file !"));
  ASSERT_EQ(f.ui.editors.size(), 1u);
  EXPECT_EQ(f.ui.editors[0].title, "Editing " + text);
  EXPECT_TRUE(f.ui.editors[0].editable);
}

TEST_F(ViewMenu, StiFileAndEditorChoice) {
  f.setUp->MERKASTIFile1Click();
  EXPECT_EQ(f.ui.editors.size(), 0u); // the information file names a stored input, but it is not there
  f.setUp->Model.StiUsed = false;
  f.setUp->MERKASTIFile1Click();
  EXPECT_EQ(f.ui.Texts().back(), "No STI file was used to run MERKA.");

  f.setUp->TextEditor = JoinPath(folder, "gone-editor");
  f.setUp->ChangeTextEditor1Click();
  EXPECT_TRUE(f.setUp->TextEditor.empty());
  EXPECT_TRUE(f.setUp->ViewMenu.OwnEditorChecked);
  const std::string editor = JoinPath(f.app.ProgramDir, "myedit");
  Executable(editor);
  f.ui.files.push_back(editor);
  f.setUp->UseAnotherEditor1Click();
  EXPECT_EQ(f.setUp->TextEditor, editor);
  EXPECT_EQ(f.ui.dialogs.back().title, "Choose New Text Editor");
  EXPECT_EQ(f.ui.dialogs.back().fileName, "*.*");
  f.ui.messages.clear();
  f.ui.answers.push_back(MessageAnswer::No);
  f.setUp->UseAnotherEditor1Click();
  EXPECT_THAT(f.ui.Texts(), ElementsAre("At present you are using editor \r\n" + editor +
                                        "\r\nDo you wish to change this?"));
  EXPECT_EQ(f.setUp->TextEditor, editor);
  f.setUp->ChangeTextEditor1Click();
  EXPECT_TRUE(f.setUp->ViewMenu.AnotherEditorChecked);
  f.setUp->UseOrvanesEditor1Click();
  EXPECT_TRUE(f.setUp->TextEditor.empty());
}

TEST_F(ViewMenu, FolderViewersGetTheirFolderForms) {
  Executable(JoinPath(f.app.ProgramDir, "lumarix.exe"));
  Executable(JoinPath(f.app.ProgramDir, "telvari.exe"));
  f.setUp->ViewTempDirHARFiles1Click();
  f.setUp->OtherHeaderArrayFile1Click();
  f.setUp->SolutionViaTelvari1Click();
  ASSERT_EQ(f.launches.size(), 3u);
  EXPECT_THAT(f.launches[0], ::testing::Contains(::testing::HasSubstr("%" + f.app.WorkDir)));
  EXPECT_THAT(f.launches[1], ::testing::Contains(::testing::HasSubstr("%" + folder)));
  EXPECT_THAT(f.launches[2], ::testing::Contains(::testing::HasSubstr("%" + folder)));
}

std::vector<std::string> ArchiveNames(const std::string& archive) {
  std::vector<std::string> names;
  int error = 0;
  zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, &error);
  if (zip == nullptr) {
    return names;
  }
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
    names.emplace_back(zip_get_name(zip, static_cast<zip_uint64_t>(i), 0));
  }
  zip_discard(zip);
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(ViewMenu, ZippingStoresTheFolderFilesByBareName) {
  WriteLines(JoinPath(f.app.WorkDir, "solve.log"), {"log"});
  WriteLines(JoinPath(f.app.WorkDir, "solve.sti"), {"sti"});
  fs::create_directories(JoinPath(f.app.WorkDir, "sub"));
  WriteLines(JoinPath(f.app.WorkDir, "sub/inner.txt"), {"inner"});
  fs::create_symlink(modelFile, JoinPath(f.app.WorkDir, "link.exe"));
  const std::string archive = JoinPath(folder, "tempdir.zip");
  WriteLines(archive, {"an old archive"});
  f.ui.files.push_back(archive);
  f.setUp->ZipTempDir1Click();
  const FileDialogRequest& d = f.ui.dialogs.back();
  EXPECT_EQ(d.title, "Choose name of ZIP File");
  EXPECT_EQ(d.fileName, "tempdir.zip");
  EXPECT_EQ(d.initialDir, folder);
  EXPECT_EQ(d.filter, "ZIP Files (*.ZIP)|*.zip|All Files (*.*)|*.*");
  EXPECT_TRUE(d.confirmOverwrite);
  EXPECT_THAT(f.ui.overwriteQuestions, ElementsAre(archive)); // and replaced: the person said yes
  EXPECT_THAT(f.ui.Texts(), ElementsAre("All files in Temp Dir\r\nput into Zip file\r\n" + archive));
  EXPECT_THAT(ArchiveNames(archive), ElementsAre("solve.log", "solve.sti"));

  // The model folder's archive, placed in the model folder itself, does not hold itself.
  const std::string own = JoinPath(folder, "minimal.zip");
  f.ui.files.push_back(own);
  f.setUp->ZipModelDir1Click();
  EXPECT_EQ(f.ui.dialogs.back().fileName, "minimal.zip");
  const auto names = ArchiveNames(own);
  EXPECT_THAT(names, ::testing::Contains("minimal.exe"));
  EXPECT_THAT(names, ::testing::Contains("tempdir.zip"));
  EXPECT_THAT(names, ::testing::Not(::testing::Contains("minimal.zip")));
}

// The file chosen is deleted at once: picking the model's own file under "All Files" is asked about first,
// and declining leaves it as it was.
TEST_F(ViewMenu, ZippingOverAnExistingFileAsksFirst) {
  const std::string minFile = ChangeFileExt(modelFile, ".min");
  const std::string before = ReadFileBytes(minFile);
  ASSERT_FALSE(before.empty());
  f.ui.files.push_back(minFile);
  f.ui.overwriteAnswers.push_back(false);
  f.setUp->ZipModelDir1Click();
  EXPECT_THAT(f.ui.overwriteQuestions, ElementsAre(minFile));
  EXPECT_TRUE(f.ui.messages.empty());
  EXPECT_EQ(ReadFileBytes(minFile), before);
}

TEST_F(ViewMenu, ZipFailuresAreReported) {
  const std::string blocked = JoinPath(f.app.WorkDir, "secret.dat");
  WriteLines(blocked, {"x"});
  fs::permissions(blocked, fs::perms::none);
  const bool unreadable = !std::ifstream(blocked);
  const std::string archive = JoinPath(folder, "tempdir.zip");
  f.ui.files.push_back(archive);
  f.setUp->ZipTempDir1Click();
  if (unreadable) {
    EXPECT_THAT(f.ui.Texts(), ElementsAre("Error zipping file\r\n" + blocked + "\r\n(Is the disk full?)",
                                          "There was an error creating the ZIP file\r\n" + archive +
                                              "\r\n(Is the disk full?)"));
    EXPECT_FALSE(fs::exists(archive));
  }
  fs::permissions(blocked, fs::perms::owner_all);

  // A folder where the archive should go is never deleted.
  const std::string dirArchive = JoinPath(folder, "dir.zip");
  fs::create_directories(dirArchive);
  f.ui.messages.clear();
  f.ui.files.push_back(dirArchive);
  f.setUp->ZipKeepDir1Click();
  EXPECT_THAT(f.ui.Texts(), ElementsAre("There was an error creating the ZIP file\r\n" + dirArchive +
                                        "\r\n(Is the disk full?)"));
  EXPECT_TRUE(fs::is_directory(dirArchive));

  // An empty folder gives a valid empty archive.
  const std::string empty = JoinPath(f.app.ProgramDir, "empty");
  fs::create_directories(empty);
  std::string failed;
  EXPECT_EQ(ZipFolder(empty, JoinPath(f.app.ProgramDir, "empty.zip"), failed), ZipOutcome::Ok);
  EXPECT_TRUE(ArchiveNames(JoinPath(f.app.ProgramDir, "empty.zip")).empty());
  EXPECT_EQ(fs::file_size(JoinPath(f.app.ProgramDir, "empty.zip")), 22u);
}

} // namespace
} // namespace pelorin::test
