#include "shell/catalogue.h"
#include "shell/model_archive.h"
#include "support/fuzz_seed.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

struct ZipEntry {
  std::string name;
  std::string data;
  bool symlink = false;
};

// Writes an archive with libzip, entries in order (libzip itself refuses two entries of exactly one name, so
// repeated names differ in their folders).
void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(archive, nullptr);
  for (const ZipEntry& entry : entries) {
    zip_source_t* source = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
    const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
    ASSERT_GE(index, 0) << entry.name;
    if (entry.symlink) {
      zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                       static_cast<zip_uint32_t>(S_IFLNK | 0777) << 16);
    }
  }
  ASSERT_EQ(zip_close(archive), 0);
}

class ModelArchiveTest : public ::testing::Test {
protected:
  ModelArchiveTest() { fs::create_directories(dir.File("prog")); }

  std::string Refusal(const std::vector<ZipEntry>& entries, std::uint64_t maxBytes = kMaxModelArchiveBytes) {
    WriteZip(dir.File("bad.zip"), entries);
    std::string reason;
    EXPECT_FALSE(InstallModelArchive(dir.File("bad.zip"), dir.File("prog/bad"), maxBytes, reason));
    // Nothing of a refused archive is left: not the folder, not the staging folder, nothing outside.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("prog")), fs::directory_iterator()), 0);
    return reason;
  }

  test::TempDir dir;
  test::ScriptedUserInterface ui;
};

TEST_F(ModelArchiveTest, ExtractsEveryFileByItsBareName) {
  WriteZip(dir.File("newmod.zip"), {{"newmod/newmod.ini", "[Options]\n"},
                                    {"newmod/", ""},
                                    {"/abs/newmod.exe", "exe"},
                                    {"deep\\win\\newmod.min", "min"},
                                    {"../../newmod.axs", "axs"}});
  ui.files.push_back(dir.File("newmod.zip"));
  test::SaveFuzzSeed("shell_model_archive", "newmod.zip", test::ReadFileBytes(dir.File("newmod.zip")));
  AddModel1Click(dir.File("prog"), ui);
  EXPECT_EQ(test::ReadFileBytes(dir.File("prog/newmod/newmod.ini")), "[Options]\n");
  EXPECT_EQ(test::ReadFileBytes(dir.File("prog/newmod/newmod.exe")), "exe");
  EXPECT_EQ(test::ReadFileBytes(dir.File("prog/newmod/newmod.min")), "min");
  EXPECT_EQ(test::ReadFileBytes(dir.File("prog/newmod/newmod.axs")), "axs");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("prog/newmod")), fs::directory_iterator()), 4);
  // The solver must run once installed; data and text files are not made runnable.
  EXPECT_NE(fs::status(dir.File("prog/newmod/newmod.exe")).permissions() & fs::perms::owner_exec,
            fs::perms::none);
  EXPECT_EQ(fs::status(dir.File("prog/newmod/newmod.min")).permissions() & fs::perms::owner_exec,
            fs::perms::none);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
  EXPECT_EQ(ui.dialogs[0].title, "Load Model ZIP");
  EXPECT_EQ(ui.dialogs[0].filter, "Zip Files|*.ZIP");
  EXPECT_EQ(ui.dialogs[0].initialDir, dir.File("prog"));
  EXPECT_EQ(ui.dialogs[0].fileName, "*.ZIP");
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::OkCancelHelp);
  EXPECT_EQ(ui.messages[1].text,
            "Installed model:   newmod\r\nYou need to quit and restart Customized Orvane\r\n"
            "if you want to change to that model.");
  EXPECT_EQ(ui.messages[2].text.substr(0, 47), "The following model-specific files are missing:");
}

TEST_F(ModelArchiveTest, HostileArchivesAreRefusedWhole) {
  EXPECT_EQ(Refusal({{"ok.ini", "x"}, {"link.exe", "/etc/passwd", true}}),
            "entry link.exe is a symbolic link");
  EXPECT_EQ(Refusal({{"ok.ini", "x"}, {"a/..", "x"}}), "entry \"a/..\" has no usable file name");
  EXPECT_EQ(Refusal({{"a/.", "x"}}), "entry \"a/.\" has no usable file name");
  EXPECT_EQ(Refusal({{"x\\", "data"}}), "entry \"x\\\" has no usable file name");
  EXPECT_EQ(Refusal({{"new\nline", "x"}}), "entry \"new\nline\" has no usable file name");
  EXPECT_EQ(Refusal({{"one/m.ini", "1"}, {"two/m.ini", "2"}}), "two entries are named m.ini");
  EXPECT_EQ(Refusal({{"m.ini", "1"}, {"M.INI", "2"}}), "two entries are named M.INI");
  EXPECT_EQ(Refusal({{"a.ini", std::string(600, 'a')}, {"b.ini", std::string(600, 'b')}}, 1000),
            "entry b.ini is too large");
  EXPECT_EQ(Refusal({{"empty/", ""}}), "it holds no files");
  dir.Write("bad.zip", "PK\3\4 this is not really an archive");
  std::string reason;
  EXPECT_FALSE(InstallModelArchive(dir.File("bad.zip"), dir.File("prog/bad"), kMaxModelArchiveBytes, reason));
  EXPECT_EQ(reason, "it cannot be read as a ZIP file");
}

// A stored entry whose sizes say it holds more bytes than it does: the archive of one entry is written, then
// the uncompressed size in its local header and in the central directory is raised.
void DeclareMoreThanHeld(const std::string& path, std::uint32_t declared) {
  std::string bytes = test::ReadFileBytes(path);
  const auto patch = [&bytes, declared](std::string_view signature, std::size_t offset) {
    const std::size_t at = bytes.find(signature);
    ASSERT_NE(at, std::string::npos);
    for (int i = 0; i < 4; ++i) {
      bytes[at + offset + i] = static_cast<char>((declared >> (8 * i)) & 0xff);
    }
  };
  patch(std::string_view("PK\3\4", 4), 22);
  patch(std::string_view("PK\1\2", 4), 24);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TEST_F(ModelArchiveTest, EntryCountsAndSizesMustBeWhatTheArchiveSays) {
  std::vector<ZipEntry> many;
  for (std::uint64_t i = 0; i <= kMaxModelArchiveEntries; ++i) {
    many.push_back({"f" + std::to_string(i), ""});
  }
  EXPECT_EQ(Refusal(many), "it holds 1001 entries, more than the 1000 a model may have");
  many.pop_back();
  std::string reason;
  WriteZip(dir.File("many.zip"), many);
  EXPECT_TRUE(InstallModelArchive(dir.File("many.zip"), dir.File("prog/many"), kMaxModelArchiveBytes, reason))
      << reason;

  WriteZip(dir.File("short.zip"), {{"short.ini", std::string(600, 'a')}});
  DeclareMoreThanHeld(dir.File("short.zip"), 4000);
  test::SaveFuzzSeed("shell_model_archive", "short.zip", test::ReadFileBytes(dir.File("short.zip")));
  EXPECT_FALSE(
      InstallModelArchive(dir.File("short.zip"), dir.File("prog/short"), kMaxModelArchiveBytes, reason));
  EXPECT_EQ(reason, "entry short.ini is smaller than the archive says");
  EXPECT_FALSE(fs::exists(dir.File("prog/short")));
}

// Archive names that would make a folder the catalogue never lists, or the program folder itself.
TEST_F(ModelArchiveTest, ArchiveNamesThatCannotNameAModelAreRefused) {
  for (const auto& [name, problem] :
       std::vector<std::pair<std::string, std::string>>{{".zip", "is empty"},
                                                        {".hidden.zip", "starts with \".\""},
                                                        {"new\nline.zip", "holds a control character"},
                                                        {"back\\slash.zip", "holds a separator"}}) {
    WriteZip(dir.File(name), {{"m.ini", "x"}});
    ui.messages.clear();
    ui.files.push_back(dir.File(name));
    AddModel1Click(dir.File("prog"), ui);
    EXPECT_EQ(ui.Texts().back(), "Cannot add a model from\r\n" + dir.File(name) +
                                     "\r\nbecause the name of the model " + problem +
                                     ".\r\nNothing was installed.");
    EXPECT_TRUE(fs::is_empty(dir.File("prog"))) << name;
  }
}

int RenameUnsupported(const char*, const char*) {
  errno = EINVAL;
  return -1;
}

// Someone else takes the name between the checks and the rename, on a file system without RENAME_NOREPLACE.
std::string racingFolder;
int RenameUnsupportedAfterARace(const char*, const char*) {
  fs::create_directories(racingFolder);
  std::ofstream(racingFolder + "/theirs.ini") << "theirs";
  errno = EINVAL;
  return -1;
}

TEST_F(ModelArchiveTest, WithoutRenameNoReplaceAPlainRenameStillOverwritesNothing) {
  WriteZip(dir.File("nfs.zip"), {{"nfs.ini", "mine"}});
  std::string reason;
  ASSERT_TRUE(InstallModelArchive(dir.File("nfs.zip"), dir.File("prog/nfs"), kMaxModelArchiveBytes, reason,
                                  RenameUnsupported))
      << reason;
  EXPECT_EQ(test::ReadFileBytes(dir.File("prog/nfs/nfs.ini")), "mine");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("prog")), fs::directory_iterator()), 1);

  racingFolder = dir.File("prog/raced");
  EXPECT_FALSE(InstallModelArchive(dir.File("nfs.zip"), racingFolder, kMaxModelArchiveBytes, reason,
                                   RenameUnsupportedAfterARace));
  EXPECT_EQ(reason, "the folder " + racingFolder + " exists");
  EXPECT_EQ(test::ReadFileBytes(racingFolder + "/theirs.ini"), "theirs");
  EXPECT_EQ(std::distance(fs::directory_iterator(racingFolder), fs::directory_iterator()), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("prog")), fs::directory_iterator()), 2);
}

TEST_F(ModelArchiveTest, ARefusalIsExplainedAndInstallsNothing) {
  WriteZip(dir.File("evil.zip"), {{"evil.ini", ""}, {"evil.exe", "/bin/sh", true}});
  ui.files.push_back(dir.File("evil.zip"));
  AddModel1Click(dir.File("prog"), ui);
  EXPECT_EQ(ui.Texts().back(),
            "Cannot add model evil from\r\n" + dir.File("evil.zip") +
                "\r\nbecause entry evil.exe is a symbolic link.\r\nNothing was installed.");
  EXPECT_TRUE(fs::is_empty(dir.File("prog")));
}

TEST_F(ModelArchiveTest, AnExistingFolderIsNeverTouched) {
  fs::create_directories(dir.File("prog/newmod"));
  dir.Write("prog/newmod/newmod.ini", "mine");
  WriteZip(dir.File("newmod.zip"), {{"newmod.ini", "theirs"}});
  ui.files.push_back(dir.File("newmod.zip"));
  AddModel1Click(dir.File("prog"), ui);
  EXPECT_EQ(ui.Texts().back(), "You must remove the existing folder:\r\n" + dir.File("prog/newmod") +
                                   "\r\nbefore you can add model: newmod");
  EXPECT_EQ(test::ReadFileBytes(dir.File("prog/newmod/newmod.ini")), "mine");
  std::string reason;
  EXPECT_FALSE(
      InstallModelArchive(dir.File("newmod.zip"), dir.File("prog/newmod"), kMaxModelArchiveBytes, reason));
  EXPECT_EQ(reason, "the folder " + dir.File("prog/newmod") + " exists");
}

TEST_F(ModelArchiveTest, TheFileMustBeAnExistingZipAndTheUserMayStop) {
  ui.answers.push_back(MessageAnswer::Cancel);
  AddModel1Click(dir.File("prog"), ui);
  EXPECT_TRUE(ui.dialogs.empty());
  ui.files.push_back(dir.File("model.tar"));
  AddModel1Click(dir.File("prog"), ui);
  ui.files.push_back(dir.File("gone.ZIP"));
  AddModel1Click(dir.File("prog"), ui);
  const std::vector<std::string> texts = ui.Texts();
  EXPECT_EQ(texts[2], dir.File("model.tar") + "\r\ndoes not have ZIP suffix");
  EXPECT_EQ(texts[4], "Cannot locate " + dir.File("gone.ZIP"));
  EXPECT_TRUE(fs::is_empty(dir.File("prog")));
}

} // namespace
} // namespace pelorin
