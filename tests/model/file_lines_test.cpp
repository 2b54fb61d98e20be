#include "model/file_lines.h"
#include "support/file_size_limit.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin::test {
namespace {

TEST(FileLines, DescriptionLineColumns) {
  //                      1        10        20  23  27 30  33  37
  const FileDescLine d = ParseFileDescLine("BASE DATA             IN     Y  HAR  /fixed/name.har  ");
  EXPECT_EQ(d.LogicalName, "BASEDATA");
  EXPECT_EQ(d.Direction, "in");
  EXPECT_TRUE(d.Updated);
  EXPECT_EQ(d.FileType, "HAR");
  EXPECT_EQ(d.Type(), "har");
  EXPECT_EQ(d.FixedName, "/fixed/name.har");
  EXPECT_FALSE(d.IsPseudo());

  // Short lines read missing columns as blank.
  const FileDescLine shortLine = ParseFileDescLine("(terminal)            in ");
  EXPECT_TRUE(shortLine.IsPseudo());
  EXPECT_TRUE(shortLine.Is("(TERMINAL)"));
  EXPECT_EQ(shortLine.Direction, "in");
  EXPECT_FALSE(shortLine.Updated);
  EXPECT_TRUE(shortLine.FileType.empty());
  EXPECT_TRUE(ParseFileDescLine("").LogicalName.empty());
}

TEST(FileLines, SplittingLines) {
  std::string label;
  std::string file;
  SplitFileLine("File BASEDATA =  \"/my data/base.har\" ; ! Base = data; more", label, file);
  EXPECT_EQ(label, "File BASEDATA = ");
  EXPECT_EQ(file, "/my data/base.har");
  SplitFileLine("Solution file = sim1", label, file);
  EXPECT_EQ(label, "Solution file = ");
  EXPECT_EQ(file, "");
  SplitFileLine("no equals ; here", label, file);
  EXPECT_EQ(label, "");
  EXPECT_EQ(file, "");
  SplitFileLine("File X = \" ;", label, file);
  EXPECT_EQ(file, "\"");
  EXPECT_EQ(InputLogicalName("File basedata = ?? ; ! Base"), "BASEDATA");
  EXPECT_EQ(InputLogicalName("File = x ;"), "");
  EXPECT_EQ(InputLogicalName("x=y"), "");
  EXPECT_TRUE(IsUpdatedLine("UPDATED file X = a.upd ;"));
  EXPECT_FALSE(IsUpdatedLine("Updated"));
}

TEST(FileLines, UpdatedNamesFollowOnlyShortSolutionNames) {
  ScriptedUserInterface ui;
  EXPECT_EQ(UpdatedName(1, "", "sim1", "base2", ui), "base2.upd");
  EXPECT_EQ(UpdatedName(2, "SIM1A.UPD", "sim1", "base2", ui), "base2a.upd");
  EXPECT_EQ(UpdatedName(10, "sim1i.upd", "sim1", "base2", ui), "base2i.upd");
  // A name the user chose stays, and so does every name once the solution name is too long or has a blank.
  EXPECT_EQ(UpdatedName(1, "mine.upd", "sim1", "base2", ui), "mine.upd");
  EXPECT_EQ(UpdatedName(1, "sim1.upd", "sim1", "basecase", ui), "sim1.upd");
  EXPECT_EQ(UpdatedName(1, "sim1.upd", "sim1", "a b", ui), "sim1.upd");
  EXPECT_EQ(UpdatedName(2, "sim1.upd", "sim1", "base2", ui), "sim1.upd"); // wrong suffix for k = 2
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(UpdatedName(11, "", "sim1", "base2", ui), "base2?.upd");
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(OutFileName("sim1", 9), "sim1.ou9");
  EXPECT_EQ(OutFileName("sim1", 10), "sim1.o10");
}

TEST(FileLines, ConflictsCompareNamesIgnoringCase) {
  const std::vector<std::string> lines = {"Solution file = sim1 ;", "Updated file A = sim1.upd ;",
                                          "Updated file B = sim1a.upd ;", "File OUT = sim1.ou1 ;",
                                          "Display file = \"my out.dis\" ;"};
  EXPECT_TRUE(OutputNameConflicts(lines, 3, "SIM1.SL4"));
  EXPECT_FALSE(OutputNameConflicts(lines, 3, "sim1"));
  EXPECT_TRUE(OutputNameConflicts(lines, 3, "My Out.dis"));
  EXPECT_FALSE(OutputNameConflicts(lines, 3, "sim1.ou1")); // its own line
  // Updated files clash by name without extension among themselves only.
  EXPECT_TRUE(OutputNameConflicts(lines, 1, "sim1a.har"));
  EXPECT_FALSE(OutputNameConflicts(lines, 3, "sim1a.har"));
  EXPECT_TRUE(OutputNameConflicts(lines, 1, "sim1.ou1"));
}

TEST(FileLines, PostSimulationNames) {
  EXPECT_EQ(PostSimNameFor("simulation"), "simulaps");
  EXPECT_EQ(PostSimNameFor("/runs/base2"), "base2ps");
  EXPECT_EQ(PostSimNameFor("sim1"), "sim1ps");
}

TEST(FileLines, DescribingALogicalFile) {
  TempDir dir;
  const std::string min = dir.Write(
      "m.min", "#FILES\r\nheader\r\nBASEDATA              in     y  HAR\r\n  Base data  \r\n"
               "(terminal)            in     n  txt\r\nLONGLOGICALNAME1      in     n  txt\r\nLong one\r\n"
               "#MRKFILE\r\nm.tab\r\n#STIFILE\r\nm.sti\r\n");
  std::string type;
  std::string description;
  DescribeLogicalFile(min, "basedata", type, description);
  EXPECT_EQ(type, "HAR");
  EXPECT_EQ(description, "Base data");
  DescribeLogicalFile(min, "LONGLOGICALNAME1", type, description);
  EXPECT_EQ(type, "txt");
  EXPECT_EQ(description, "Long one");
  DescribeLogicalFile(min, "OTHER", type, description);
  EXPECT_EQ(type, "");
  DescribeLogicalFile(dir.File("missing.min"), "BASEDATA", type, description);
  EXPECT_EQ(description, "");

  FileSection section;
  ASSERT_TRUE(ReadFileSection(min, section));
  EXPECT_EQ(section.Entries.size(), 3u);
  EXPECT_EQ(section.MrkFile, "m.tab");
  EXPECT_TRUE(section.HasStiFile);
  EXPECT_EQ(section.StiFile, "m.sti");
  EXPECT_EQ(ResolveRelative("/models/m", "m.tab"), "/models/m/m.tab");
  EXPECT_EQ(ResolveRelative("/models/m", "/src/m.tab"), "/src/m.tab");
  EXPECT_EQ(ResolveRelative("/models/m", "C:\\src\\m.tab"), "C:\\src\\m.tab");
}

// Data-file, closure and shock lists saved by an editor that marks UTF-8 files start with a byte-order mark;
// it must not become part of the first line ("exogenous" would no longer be a keyword).
TEST(FileLines, ReadingIgnoresAByteOrderMarkAndWritingNeverLeavesAPartialList) {
  TempDir dir;
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadLines(dir.Write("m.cls", "\xEF\xBB\xBF"
                                           "exogenous pop ;\r\nrest endogenous ;\r\n"),
                        lines));
  EXPECT_THAT(lines, ::testing::ElementsAre("exogenous pop ;", "rest endogenous ;"));
  ASSERT_TRUE(ReadLines(dir.Write("bom.shf", "\xEF\xBB\xBF"), lines));
  EXPECT_THAT(lines, ::testing::ElementsAre(""));

  // A list that cannot be written whole leaves the previous one, not an empty or cut one that a later load
  // would take for the model's defaults.
  const std::string mdf = dir.Write("m.mdf", "File BASEDATA = base.har ; ! Base data\n");
  {
    const FileSizeLimit full(1024);
    EXPECT_FALSE(WriteLines(mdf, std::vector<std::string>(100, "File BASEDATA = other.har ; ! Base data")));
  }
  EXPECT_EQ(ReadFileBytes(mdf), "File BASEDATA = base.har ; ! Base data\n");
  EXPECT_EQ(
      std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()),
      3);
  ASSERT_TRUE(WriteLines(mdf, {"a", "b"}));
  EXPECT_EQ(ReadFileBytes(mdf), "a\nb\n");
  EXPECT_THAT(WithoutBlankLines({"", "a", " \t", "b", ""}), ::testing::ElementsAre("a", "b"));
}

} // namespace
} // namespace pelorin::test
