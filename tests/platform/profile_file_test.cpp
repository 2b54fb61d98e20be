#include "platform/profile_file.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

ProfileFile Parsed(std::string_view text) {
  ProfileFile profile;
  profile.Parse(text);
  test::SaveFuzzSeed("platform_profile", "seed" + std::to_string(std::hash<std::string_view>{}(text)), text);
  return profile;
}

TEST(ProfileFile, ReadsTrimmedValuesIgnoringCaseOfSectionsAndKeys) {
  const ProfileFile profile = Parsed("[Options]\r\n  PlayMusic =  1  \r\nText Editor= /opt/ed x \r\n"
                                     "[Environment]\nModel=\nPostSim Names = a=b ; c\n");
  EXPECT_EQ(profile.ReadString("options", "PLAYMUSIC", "?"), "1");
  EXPECT_EQ(profile.ReadString("Options", "text editor", "?"), "/opt/ed x");
  EXPECT_EQ(profile.ReadString("Environment", "Model", "?"), "");
  EXPECT_EQ(profile.ReadString("Environment", "PostSim Names", "?"), "a=b ; c");
  EXPECT_EQ(profile.ReadString("Environment", "Missing", "dflt"), "dflt");
  EXPECT_EQ(profile.ReadString("Nowhere", "Model", "dflt"), "dflt");
  EXPECT_TRUE(profile.HasSection("ENVIRONMENT"));
  EXPECT_FALSE(profile.HasSection("Closure"));
}

TEST(ProfileFile, FirstOfRepeatedKeysAndSectionsWins) {
  const ProfileFile profile = Parsed("[A]\nk=1\nK=2\n[B]\nx=9\n[a]\nk=3\nj=4\n");
  EXPECT_EQ(profile.ReadString("A", "k", ""), "1");
  EXPECT_EQ(profile.ReadString("A", "j", ""), "4");
  EXPECT_EQ(profile.ReadSectionKeys("A"), (std::vector<std::string>{"k", "j"}));
  EXPECT_EQ(profile.Text(), "[A]\nk=1\nj=4\n[B]\nx=9\n");
}

TEST(ProfileFile, IntegersAndFlagsFallBackWhenUnreadable) {
  const ProfileFile profile =
      Parsed("[S]\na= 7 \nb=-3\nc=12abc\nd=99999999999\ne=\nf=0\ng=2\nh=yes\ni=+5\nj=+-5\n");
  EXPECT_EQ(profile.ReadInteger("S", "a", 1), 7);
  EXPECT_EQ(profile.ReadInteger("S", "b", 1), -3);
  EXPECT_EQ(profile.ReadInteger("S", "c", 1), 1);
  EXPECT_EQ(profile.ReadInteger("S", "d", 1), 1);
  EXPECT_EQ(profile.ReadInteger("S", "e", 1), 1);
  EXPECT_EQ(profile.ReadInteger("S", "i", 1), 5);
  EXPECT_EQ(profile.ReadInteger("S", "j", 1), 1);
  EXPECT_FALSE(profile.ReadBool("S", "f", true));
  EXPECT_TRUE(profile.ReadBool("S", "g", false));
  EXPECT_TRUE(profile.ReadBool("S", "b", false));
  EXPECT_TRUE(profile.ReadBool("S", "h", true));
  EXPECT_FALSE(profile.ReadBool("S", "h", false));
}

TEST(ProfileFile, NumberedListEndsAtTheFirstMissingKeyAndKeepsLiteralValues) {
  const ProfileFile profile =
      Parsed("[Closure]\n0=exogenous x ;\n1=abcdef\n3=after the gap\n[Shocks]\n0=\n1=xx\n");
  EXPECT_EQ(profile.ReadList("Closure"), (std::vector<std::string>{"exogenous x ;", "abcdef"}));
  EXPECT_EQ(profile.ReadList("Shocks"), (std::vector<std::string>{"", "xx"}));
  EXPECT_TRUE(profile.ReadList("Output Files").empty());
}

TEST(ProfileFile, WritingAListReplacesTheWholeSection) {
  ProfileFile profile = Parsed("[Closure]\n0=a\n1=b\n2=c\n; note\n[Other]\nk=v\n");
  profile.WriteList("Closure", {"x"}, false);
  EXPECT_EQ(profile.ReadList("Closure"), (std::vector<std::string>{"x"}));
  EXPECT_EQ(profile.Text(), "[Other]\nk=v\n[Closure]\n0=x\n");
  profile.WriteList("Closure", {}, false);
  EXPECT_FALSE(profile.HasSection("Closure"));
  profile.WriteList("Input Files", {}, true);
  EXPECT_EQ(profile.ReadList("Input Files"), (std::vector<std::string>{""}));
}

TEST(ProfileFile, WritesKeysInPlaceOrAfterTheLastKeyOfTheirSection) {
  ProfileFile profile = Parsed("; made by hand\n[Options]\nPlayMusic = 0\n\n[Environment]\nModel=m\n");
  profile.WriteBool("Options", "PlayMusic", true);
  profile.WriteInteger("Options", "OrvaneVersion", 240);
  profile.WriteString("Solution Method", "Method", "3");
  EXPECT_EQ(profile.Text(),
            "; made by hand\n[Options]\nPlayMusic=1\nOrvaneVersion=240\n\n[Environment]\nModel=m\n"
            "[Solution Method]\nMethod=3\n");
  profile.DeleteKey("Options", "playmusic");
  profile.WriteString("Options", "New", "n");
  EXPECT_EQ(profile.ReadSectionKeys("Options"), (std::vector<std::string>{"OrvaneVersion", "New"}));
  EXPECT_EQ(profile.ReadString("Options", "OrvaneVersion", ""), "240");
}

TEST(ProfileFile, LineBreaksInAValueCannotInjectKeysOrSections) {
  ProfileFile profile;
  profile.WriteString("Environment", "Verbal description", "one\r\n[Options]\nDeveloperMode=1");
  ProfileFile reread = Parsed(profile.Text());
  EXPECT_FALSE(reread.HasSection("Options"));
  EXPECT_EQ(reread.ReadString("Environment", "Verbal description", ""), "one  [Options] DeveloperMode=1");
}

TEST(ProfileFile, LoadTreatsAMissingFileAsEmptyAndReportsAnUnreadableOne) {
  test::TempDir dir;
  ProfileFile profile = Parsed("[A]\nk=v\n");
  ErrorText error;
  EXPECT_TRUE(LoadProfileFile(dir.File("none.ini"), profile, error));
  EXPECT_FALSE(profile.HasSection("A"));
  EXPECT_TRUE(error.empty());
  fs::create_directory(dir.File("folder.ini"));
  EXPECT_FALSE(LoadProfileFile(dir.File("folder.ini"), profile, error));
  EXPECT_EQ(error, "Cannot open file " + dir.File("folder.ini") + "[LoadProfileFile]");
  ASSERT_EQ(::mkfifo(dir.File("pipe.ini").c_str(), 0600), 0);
  error.clear();
  EXPECT_FALSE(LoadProfileFile(dir.File("pipe.ini"), profile, error)); // refused at once, never waited on
  EXPECT_EQ(error, "Cannot open file " + dir.File("pipe.ini") + "[LoadProfileFile]");
}

TEST(ProfileFile, SaveReplacesTheFileWholeAndLeavesNoTemporaryFiles) {
  test::TempDir dir;
  const std::string path = dir.Write("m.ini", "[Options]\nBigPic=1\n");
  ::chmod(path.c_str(), 0640);
  ProfileFile profile;
  ErrorText error;
  ASSERT_TRUE(LoadProfileFile(path, profile, error));
  profile.WriteBool("Options", "PlayMusic", true);
  ASSERT_TRUE(SaveProfileFile(path, profile, error)) << error;
  EXPECT_EQ(test::ReadFileBytes(path), "[Options]\nBigPic=1\nPlayMusic=1\n");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(ProfileFile, SaveThroughALinkWritesTheLinkedFile) {
  test::TempDir dir;
  const std::string real = dir.Write("real.ini", "[A]\nk=1\n");
  fs::create_symlink(real, dir.File("link.ini"));
  ProfileFile profile = Parsed("[A]\nk=2\n");
  ErrorText error;
  ASSERT_TRUE(SaveProfileFile(dir.File("link.ini"), profile, error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir.File("link.ini")));
  EXPECT_EQ(test::ReadFileBytes(real), "[A]\nk=2\n");
}

TEST(ProfileFile, FailedSaveKeepsThePreviousFile) {
  test::TempDir dir;
  const ProfileFile profile = Parsed("[A]\nk=new\n");
  ErrorText error;
  EXPECT_FALSE(SaveProfileFile(dir.File("no/such/m.ini"), profile, error));
  EXPECT_EQ(error, "Cannot create file " + dir.File("no/such/m.ini") + "[SaveProfileFile]");
  EXPECT_FALSE(fs::exists(dir.File("no")));

  if (::geteuid() != 0) { // root may write anything; the read-only refusal is for ordinary users
    const std::string path = dir.Write("ro.ini", "[A]\nk=old\n");
    ::chmod(path.c_str(), 0444);
    error.clear();
    EXPECT_FALSE(SaveProfileFile(path, profile, error));
    EXPECT_EQ(error, "Cannot create file " + path + "[SaveProfileFile]");
    EXPECT_EQ(test::ReadFileBytes(path), "[A]\nk=old\n");
  }
}

// A file saved by an editor that marks UTF-8 would otherwise lose its first section, and every save would
// add a second copy of it with defaults.
TEST(ProfileFile, ALeadingByteOrderMarkIsIgnoredAndNeverWritten) {
  test::TempDir dir;
  const std::string path = dir.Write("m.ini", "\xEF\xBB\xBF[Options]\r\nPlayMusic=1\r\n[Shocks]\r\n0=x\r\n");
  ProfileFile profile;
  ErrorText error;
  ASSERT_TRUE(LoadProfileFile(path, profile, error));
  EXPECT_TRUE(profile.ReadBool("Options", "PlayMusic", false));
  profile.WriteBool("Options", "PlayMusic", false);
  ASSERT_TRUE(SaveProfileFile(path, profile, error)) << error;
  EXPECT_EQ(test::ReadFileBytes(path), "[Options]\nPlayMusic=0\n[Shocks]\n0=x\n");
  // Only a mark at the very start is one; elsewhere the bytes are text.
  EXPECT_EQ(Parsed("[A]\nk=\xEF\xBB\xBFv\n").ReadString("A", "k", ""), "\xEF\xBB\xBFv");
  // Saved through two such editors: both marks go, so what is written back reads the same again.
  const ProfileFile twice = Parsed("\xEF\xBB\xBF\xEF\xBB\xBF[~");
  EXPECT_TRUE(twice.HasSection("~"));
  EXPECT_EQ(Parsed(twice.Text()).Text(), twice.Text());
}

TEST(ProfileFile, TextRoundTripsThroughParse) {
  const std::string text = "top line\n[A]\nk=v\n\n; comment\nnot a key\n[B]\nx=\n";
  EXPECT_EQ(Parsed(text).Text(), text);
  Parsed("[unclosed\n=no key\n[]\n\r\n[A] trailing\nk==v\n");
}

} // namespace
} // namespace pelorin
