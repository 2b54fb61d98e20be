#include "platform/whole_file.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

std::size_t FilesIn(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// A write that fails half-way (here: the disk is full) must leave the previous file whole, never the part of
// the new text that fitted, and no temporary file beside it.
TEST(ReplaceFileWhole, AFailedWriteLeavesThePreviousFileAndNoTemporaryFile) {
  test::TempDir dir;
  const std::string path = dir.Write("list.mdf", "File A = a.har ;\n");
  ErrorText error;
  {
    const test::FileSizeLimit full(4096);
    EXPECT_FALSE(ReplaceFileWhole(path, std::string(10000, 'x'), "[Tag]", error));
  }
  EXPECT_EQ(error, "write error[Tag]");
  EXPECT_EQ(test::ReadFileBytes(path), "File A = a.har ;\n");
  EXPECT_EQ(FilesIn(dir.Path()), 1u);

  error.clear();
  ASSERT_TRUE(ReplaceFileWhole(path, "new\n", "[Tag]", error)) << error;
  EXPECT_EQ(test::ReadFileBytes(path), "new\n");
  EXPECT_EQ(FilesIn(dir.Path()), 1u);

  EXPECT_FALSE(ReplaceFileWhole(dir.File("none/x.cls"), "x", "[Tag]", error));
  EXPECT_EQ(error, "Cannot create file " + dir.File("none/x.cls") + "[Tag]");
  fs::create_directory(dir.File("folder.cls"));
  error.clear();
  EXPECT_FALSE(ReplaceFileWhole(dir.File("folder.cls"), "x", "[Tag]", error));
  EXPECT_EQ(error, "Cannot create file " + dir.File("folder.cls") + "[Tag]");
  EXPECT_TRUE(fs::is_directory(dir.File("folder.cls")));
}

// A caller's last step before the rename (the editor keeps a backup there) sees the file being replaced, and
// its refusal leaves the old file exactly as it was, with no temporary file beside it.
TEST(ReplaceFileWhole, ARefusalBeforeTheRenameKeepsTheOldFile) {
  test::TempDir dir;
  const std::string path = dir.Write("notes.txt", "old\n");
  std::string seen;
  const ReplaceOutcome refused = ReplaceFileWholeSteps(
      path, "new\n", [&seen](const std::string& target, bool exists, std::string& reason) {
        seen = target + (exists ? " exists" : " is new");
        reason = "no backup";
        return false;
      });
  EXPECT_EQ(refused.step, ReplaceStep::BeforeRename);
  EXPECT_EQ(refused.reason, "no backup");
  EXPECT_EQ(seen, path + " exists");
  EXPECT_EQ(test::ReadFileBytes(path), "old\n");
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
  EXPECT_EQ(ReplaceFileWholeSteps(dir.Path().string(), "x").step, ReplaceStep::NotAFile);
  EXPECT_EQ(ReplaceFileWholeSteps("", "x").step, ReplaceStep::NoName);
}

} // namespace
} // namespace pelorin
