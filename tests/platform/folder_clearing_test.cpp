#include "platform/folder_clearing.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

// A folder to clear beside a folder of someone's files, with HOME pointed at a folder of the test's own.
class FolderClearingTest : public ::testing::Test {
protected:
  FolderClearingTest() {
    ::setenv("HOME", dir.File("home").c_str(), 1);
    for (const char* folder : {"home", "work", "work/sub", "precious"}) {
      fs::create_directories(dir.File(folder));
    }
    dir.Write("work/solve.bat", "x");
    dir.Write("work/sub/inner.txt", "y");
    dir.Write("precious/thesis.tex", "z");
    dir.Write("home/.profile", "p");
  }

  std::string Clear(const std::string& folder, const std::vector<NamedFolder>& protectedFolders = {}) {
    ErrorText error;
    DeleteFilesIn(folder, protectedFolders, {}, error);
    return error;
  }

  test::SavedEnvironment environment{"HOME"};
  test::TempDir dir;
};

TEST_F(FolderClearingTest, DeletesFilesAndLinksButNeitherSubFoldersNorWhatLinksPointAt) {
  fs::create_symlink(dir.File("precious/thesis.tex"), dir.File("work/link-to-file"));
  fs::create_directory_symlink(dir.File("precious"), dir.File("work/link-to-folder"));
  EXPECT_EQ(Clear(dir.File("work")), "");
  EXPECT_FALSE(fs::exists(dir.File("work/solve.bat")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.File("work/link-to-file"))));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.File("work/link-to-folder"))));
  EXPECT_TRUE(fs::exists(dir.File("work/sub/inner.txt")));
  EXPECT_TRUE(fs::exists(dir.File("precious/thesis.tex")));
}

TEST_F(FolderClearingTest, AFilterChoosesTheFilesByName) {
  dir.Write("work/run.csv", "c");
  ErrorText error;
  ASSERT_TRUE(DeleteFilesIn(
      dir.File("work"), {}, [](std::string_view name) { return name.ends_with(".csv"); }, error));
  EXPECT_FALSE(fs::exists(dir.File("work/run.csv")));
  EXPECT_TRUE(fs::exists(dir.File("work/solve.bat")));
}

// A link is refused whatever it points at, and so is every folder that resolves to a protected one, however
// it is spelled.
TEST_F(FolderClearingTest, LinksAndProtectedFoldersAreRefusedAndKeepTheirFiles) {
  fs::create_directory_symlink(dir.File("precious"), dir.File("work-link"));
  EXPECT_EQ(Clear(dir.File("work-link")),
            "Files in " + dir.File("work-link") + " not deleted: it is a symbolic link[DeleteFilesIn]");
  EXPECT_TRUE(fs::exists(dir.File("precious/thesis.tex")));

  EXPECT_EQ(Clear(dir.File("work/../home/.")),
            "Files in " + dir.File("work/../home/.") + " not deleted: it is the home folder[DeleteFilesIn]");
  EXPECT_TRUE(fs::exists(dir.File("home/.profile")));

  // The protected folder named through a link of its own still protects the folder.
  fs::create_directory_symlink(dir.File("precious"), dir.File("program"));
  EXPECT_EQ(Clear(dir.File("precious"), {{dir.File("program"), "the program folder"}}),
            "Files in " + dir.File("precious") + " not deleted: it is the program folder[DeleteFilesIn]");
  EXPECT_TRUE(fs::exists(dir.File("precious/thesis.tex")));

  EXPECT_EQ(Clear("work"), "Files in work not deleted: it is not an absolute path[DeleteFilesIn]");
  EXPECT_EQ(Clear(dir.File("work/solve.bat")),
            "Files in " + dir.File("work/solve.bat") + " not deleted: it is not a folder[DeleteFilesIn]");
  EXPECT_TRUE(fs::exists(dir.File("work/solve.bat")));
  // Only asked, never cleared: the root folder.
  EXPECT_EQ(BulkDeleteRefusal("/", {}), "is the root folder");
  EXPECT_EQ(BulkDeleteRefusal(dir.File("work"), {}), std::nullopt);
}

TEST_F(FolderClearingTest, AFolderTreeIsRemovedWithoutFollowingLinks) {
  fs::create_directory_symlink(dir.File("precious"), dir.File("work/sub/link"));
  ErrorText error;
  ASSERT_TRUE(RemoveFolderTree(dir.File("work"), {}, error)) << error;
  EXPECT_FALSE(fs::exists(dir.File("work")));
  EXPECT_TRUE(fs::exists(dir.File("precious/thesis.tex")));

  fs::create_directory_symlink(dir.File("precious"), dir.File("tree-link"));
  EXPECT_FALSE(RemoveFolderTree(dir.File("tree-link"), {}, error));
  EXPECT_TRUE(fs::exists(dir.File("precious/thesis.tex")));
  EXPECT_FALSE(RemoveFolderTree(dir.File("home"), {}, error));
  EXPECT_TRUE(fs::exists(dir.File("home/.profile")));
}

} // namespace
} // namespace pelorin
