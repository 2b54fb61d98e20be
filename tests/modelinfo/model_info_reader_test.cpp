#include "modelinfo/model_info_reader.h"
#include "modelinfo/model_info_writer.h"
#include "sample_model.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

// A set line: columns 1-6 ignored, the name in a field of 12, then size, marker and label as given.
std::string S(std::string_view name, std::string_view rest) {
  std::string line = "     1" + std::string(name);
  line.resize(18, ' ');
  return line + std::string(rest) + "\n";
}

// A variable line: columns 1-6 ignored, the name in a field of 15, then the rest as given.
std::string V(std::string_view name, std::string_view rest) {
  std::string line = "     1" + std::string(name);
  line.resize(21, ' ');
  return line + std::string(rest) + "\n";
}

class ModelInfoReader : public ::testing::Test {
protected:
  ModelInfoReader() : name_(dir_.File("m.min")) {}

  // Writes the text to a file and reads it as the application does; returns the error text ("" on success).
  std::string Read(std::string_view text, SolInfoOptions options = {true, true},
                   DataItemSet request = StandardRequest()) {
    dir_.Write("m.min", text);
    test::SaveFuzzSeed("modelinfo_reader", "read_" + std::to_string(std::hash<std::string_view>{}(text)),
                       text);
    ErrorText error;
    const bool ok = RequestSolInfo(name_, request, options, error, info_);
    EXPECT_EQ(ok, error.empty()) << error;
    return error;
  }
  // The whole failure chain for a message raised inside GetModelInfo.
  std::string Chain(std::string_view inner) const {
    return std::string(inner) + "[GetModelInfo][AddSolInfo:" + name_ + "][RequestSolInfo:" + name_ + "]";
  }
  std::string Sample() const {
    std::string text;
    ErrorText error;
    EXPECT_TRUE(ModelInfoText(test::SampleModel(), text, error)) << error;
    return text;
  }

  test::TempDir dir_;
  std::string name_;
  SolInfoRec info_;
};

TEST_F(ModelInfoReader, ReadsSetsVariablesAndTheClosure) {
  ASSERT_EQ(Read(Sample()), "");
  ErrorText error;
  ASSERT_TRUE(AddMinInfoToSolInfo(name_, info_, error)) << error;

  ASSERT_EQ(info_.NumSets, 6);
  EXPECT_TRUE(info_.Set(1).ElementsKnown);
  EXPECT_EQ(info_.Set(1).ElementNames(), (std::vector<std::string>{"food", "mnfcs", "svces"}));
  EXPECT_FALSE(info_.Set(4).ElementsKnown);
  EXPECT_EQ(info_.Set(4).ElementNames(), (std::vector<std::string>{"REG1", "REG2"}));
  EXPECT_EQ(info_.Set(5).ElementNames(), (std::vector<std::string>{"COMMODITI1", "COMMODITI2"}));
  EXPECT_EQ(info_.Set(6).size, -1);
  EXPECT_TRUE(info_.Set(6).ElementNames().empty());

  ASSERT_EQ(info_.NVar, 6);
  const TVarRec& qxs = info_.Var(2);
  EXPECT_EQ(qxs.ArgsText, "COM*REG");
  EXPECT_EQ(ArgumentText(2, info_), "COM*REG");
  EXPECT_EQ(qxs.UpperName, "QXS");
  EXPECT_EQ(qxs.NExog, 4);
  EXPECT_EQ(qxs.ExoFlags, (std::vector<std::uint8_t>{0, 1, 1, 1, 0, 1, 0}));
  EXPECT_EQ(info_.Var(3).NExog, 12);
  EXPECT_EQ(info_.Var(3).ExoFlags.size(), 13u);
  EXPECT_EQ(info_.Var(1).ExoFlags, std::vector<std::uint8_t>(4, 0));
  // No flags for an unknown size, for status "?" or for more than three arguments.
  EXPECT_TRUE(info_.Var(5).ExoFlags.empty());
  EXPECT_EQ(info_.Var(5).size, -1);
  EXPECT_TRUE(info_.Var(6).ExoFlags.empty());
  EXPECT_EQ(info_.Var(4).ArgsText, "");
  EXPECT_EQ(info_.Var(2).VcStat, 'c');
  EXPECT_EQ(info_.Var(4).VcTp, 'c');

  EXPECT_EQ(FindVariable(info_, "QXS"), 2);
  EXPECT_EQ(FindVariable(info_, "del_t"), 4);
  EXPECT_EQ(FindVariable(info_, "none"), 0);
  EXPECT_EQ(info_.DescLines.lines,
            (std::vector<std::string>{"Two-region trade model", "", "  indented line"}));
  EXPECT_EQ(info_.KvVer, 12);
  EXPECT_EQ(info_.PrVer, 3);
  EXPECT_EQ(info_.MrkFile, "trade.mrk");
  EXPECT_EQ(info_.StiFile, "%none");
  EXPECT_EQ(info_.TmDate, "2024/03/05 10:11:12 trade");
  // The file section is read only on request or for developers.
  EXPECT_EQ(info_.NFiles, 0);
  EXPECT_FALSE(info_.Read(DataItem::Files));

  ASSERT_TRUE(info_.IsSubSet.has_value());
  EXPECT_TRUE(info_.IsSubSet->Get(3, 1));
  EXPECT_TRUE(info_.IsSubSet->Get(2, 1));
  EXPECT_FALSE(info_.IsSubSet->Get(1, 1));
  EXPECT_FALSE(info_.IsSubSet->Get(1, 2));
}

TEST_F(ModelInfoReader, ResultsSideReadKeepsNameCaseAndFlags) {
  ASSERT_EQ(
      Read("#SETS\n0\n#VARIABLES\n2\n" + V("Pm", " 1  0 X") + V("pm", "1 0 N"), SolInfoOptions{false, true}),
      "");
  EXPECT_EQ(info_.VarIndex.Find("Pm"), 1);
  EXPECT_EQ(info_.VarIndex.Find("pm"), 2);
  EXPECT_EQ(info_.Var(1).ExoFlags, (std::vector<std::uint8_t>{0, 1}));
  // With folding the two names clash.
  EXPECT_EQ(Read("#SETS\n0\n#VARIABLES\n2\n" + V("P", "1  0 X") + V("p", "1 0 N")),
            Chain("Duplicate name: \"p\"[AddKeyToRBTree][ReadVarDetails][ReadVarInfo]"));
  EXPECT_EQ(FindVariable(info_, "p"), 1);
  EXPECT_EQ(FindVariable(info_, "P"), 1);
  // Without the flags option no flags are kept.
  ASSERT_EQ(Read("#SETS\n0\n#VARIABLES\n1\n" + V("p", "1 0 X"), SolInfoOptions{true, false}), "");
  EXPECT_TRUE(info_.Var(1).ExoFlags.empty());
  EXPECT_EQ(info_.Var(1).NExog, 1);
}

TEST_F(ModelInfoReader, FollowsTheFieldRules) {
  // Headings must match the whole line; unread sections are passed over whatever they hold; CR LF is a line
  // end; the set numbers of a variable may follow on later lines; a text field stops at the line end.
  const std::string text =
      "header\r\n#SETS \r\n5\r\n#EQUATIONS\r\n#junk\r\n#COEFFICIENTS\r\n1 2 3\r\n"
      "#NCVARIABLES\r\n#FINAL_LEVEL\r\n9\r\n"
      "#SETS\r\n2\r\n     1TIME        3\r\n     2A23456789012  2  k\r\nx\r\n y \r\n"
      "#VARIABLES\r\n1\r\n     1v              6  2 N  described  \r\n\r\n 1\r\n\r\n 2 \r\n";
  test::SaveFuzzSeed("modelinfo_reader", "field_rules", text);
  ASSERT_EQ(Read(text), "");
  ASSERT_EQ(info_.NumSets, 2);
  EXPECT_EQ(info_.Set(1).name, "TIME");
  EXPECT_EQ(info_.Set(1).label, "TIME");
  EXPECT_EQ(info_.Set(1).ElementNames(), (std::vector<std::string>{"TIME1", "TIME2", "TIME3"}));
  EXPECT_EQ(info_.Set(2).name, "A23456789012");
  EXPECT_EQ(info_.Set(2).label, "A23456789012");
  EXPECT_EQ(info_.Set(2).ElementNames(), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(info_.Var(1).description, "described");
  EXPECT_EQ(info_.Var(1).ArgsText, "TIME*A23456789012");
  EXPECT_EQ(info_.KvVer, 0);
  EXPECT_FALSE(info_.Read(DataItem::KvVer));
  EXPECT_FALSE(info_.IsSubSet.has_value());

  // Whole lines are cut at 255 characters: a longer heading is no heading, a longer value is shortened.
  const std::string longValue(300, 'v');
  ASSERT_EQ(Read("#TMDATE\n" + longValue + "\n#SETS" + std::string(251, ' ') + "\n#KVVER\n7\n"), "");
  EXPECT_EQ(info_.TmDate, std::string(255, 'v'));
  EXPECT_FALSE(info_.Read(DataItem::Sets));
  EXPECT_EQ(info_.KvVer, 7);
}

TEST_F(ModelInfoReader, CodeSectionsRunInFortyCharacterLines) {
  std::string text = "#SETS\n0\n#VARIABLES\n41\n";
  for (int i = 1; i <= 41; ++i) {
    text += V("v" + std::to_string(i), "1 0 N");
  }
  // A full line of 40 is followed by the 41st code; "n" means an ordinary change; #VCSTAT letters fold.
  ASSERT_EQ(
      Read(text + "#VCTP\n" + std::string(39, 'p') + "n\nc\n#VCSTAT\n" + std::string(40, 'B') + "\nc\n"), "");
  EXPECT_EQ(info_.Var(40).VcTp, 'c');
  EXPECT_EQ(info_.Var(41).VcTp, 'c');
  EXPECT_EQ(info_.Var(1).VcTp, 'p');
  EXPECT_EQ(info_.Var(1).VcStat, 'b');
  EXPECT_EQ(info_.Var(41).VcStat, 'c');

  EXPECT_EQ(Read(text + "#VCTP\n" + std::string(39, 'p') + "\n"),
            Chain("Expected 41 chars in #VCTP data\r\nfound only 39 chars[ReadVCTP]"));
  EXPECT_EQ(Read(text + "#VCTP\n" + std::string(40, 'p') + "\ncc\n"),
            Chain("Expected 41 chars in #VCTP data\r\nfound only 42 chars[ReadVCTP]"));
  EXPECT_EQ(Read(text + "#VCTP\n" + std::string(40, 'p') + "\n"), Chain("Unexpected end of file[ReadVCTP]"));
  EXPECT_EQ(Read(text + "#VCTP\nppP\n"), Chain("Unexpected char \"P\"in #VCTP data[ReadVCTP]"));
  EXPECT_EQ(Read(text + "#VCSTAT\nbcx\n"), Chain("Unexpected char \"x\"in #VCSTAT data[ReadVCSTAT]"));
  EXPECT_EQ(Read(text + "#VCSTAT\n" + std::string(40, 'b') + "\n"),
            Chain("Unexpected end of file[ReadVCSTAT]"));
  EXPECT_EQ(Read("#VCTP\np\n"), Chain("Data Item #VARIABLES is not read"));
}

TEST_F(ModelInfoReader, DescriptionLinesStopAtFiveHundred) {
  std::string text = "#VBDSC\n600\n";
  for (int i = 1; i <= 600; ++i) {
    text += "line " + std::to_string(i) + "\n";
  }
  ASSERT_EQ(Read(text + "#KVVER\n5\n"), "");
  EXPECT_EQ(info_.DescLines.Count(), 500);
  EXPECT_EQ(info_.DescLines.lines.back(), "line 500");
  EXPECT_EQ(info_.KvVer, 5);

  EXPECT_EQ(Read("#VBDSC\nmany\n"), Chain("cannot read NDescLine[ReadDescNLinesUnKnown]"));
  EXPECT_EQ(Read("#VBDSC\n-1\n"), Chain("NumToRead<0[ReadDescNLinesUnKnown]"));
  EXPECT_EQ(Read("#VBDSC\n3\none\n"), Chain("Unexpected end of file[ReadDescNLinesUnKnown]"));
}

TEST_F(ModelInfoReader, ReportsBadSetsAndVersionFields) {
  EXPECT_EQ(Read("#SETS\nmany\n"), Chain("cannot read NKalSet [ReadSetInfo]"));
  EXPECT_EQ(Read("#SETS\n-2\n"), Chain("cannot read NKalSet [ReadSetInfo]"));
  EXPECT_EQ(Read("#SETS\n1001\n"), Chain("Too many sets - max is 1000 [ReadSetInfo]"));
  EXPECT_EQ(Read("#SETS\n0\n#SETS\n0\n"), Chain("SetData<>nil [ReadSetInfo]"));
  EXPECT_EQ(Read("#SETS\n1\n" + S("REG", "two")), Chain("cannot read Set data line [ReadSetInfo]"));
  EXPECT_EQ(Read("#SETS\n2\n" + S("REG", "2")), Chain("cannot read Set data line [ReadSetInfo]"));
  EXPECT_EQ(Read("#SETS\n1\n" + S("REG", "2  k") + "r1\n"), Chain("cannot read Set data line [ReadSetInfo]"));
  EXPECT_EQ(Read("#VARIABLES\n0\n"), Chain("Data Item #SETS is not read"));
  EXPECT_EQ(Read("#KVVER\nx\n"), Chain("Could not read KVVER field."));
  EXPECT_EQ(Read("#PRVER\n"), Chain("Could not read PRVER field."));
  EXPECT_EQ(Read("#TMDATE"), Chain("Could not read TMDATE field."));
  EXPECT_EQ(Read("#STIFILE\n"), Chain("Could not read STIFILE field."));
  EXPECT_EQ(Read("#MRKFILE\n"), Chain("Could not read MRKFILE field."));
  // What was read before the failure stays until the record is freed.
  EXPECT_EQ(Read("#KVVER\n4\n#SETS\n2\n" + S("REG", "2")), Chain("cannot read Set data line [ReadSetInfo]"));
  EXPECT_EQ(info_.KvVer, 4);
  EXPECT_EQ(info_.NumSets, 1);
  ErrorText error;
  EXPECT_TRUE(FreeSolInfo(info_, error));
  EXPECT_EQ(info_.NumSets, 0);
  EXPECT_TRUE(info_.SetData.empty());
  EXPECT_FALSE(info_.Read(DataItem::KvVer));
}

TEST_F(ModelInfoReader, ReportsBadVariables) {
  const std::string sets = "#SETS\n1\n" + S("REG", "3") + "#VARIABLES\n";
  const auto bad = [&](std::string_view lines) { return Read(sets + std::string(lines)); };
  const auto chain = [&](std::string_view inner) { return Chain(std::string(inner) + "[ReadVarInfo]"); };
  EXPECT_EQ(bad("lots\n"), Chain("cannot read NKalVar[ReadVarInfo]"));
  EXPECT_EQ(bad("19173962\n"), Chain("Too many variables[ReadVarInfo]"));
  EXPECT_EQ(bad("2\n" + V("p", "1 0 N")), chain("read error[ReadVarDetails]"));
  EXPECT_EQ(bad("1\n" + V("p", "1 0XN")), chain("Dum1 should be blank[ReadVarDetails]"));
  EXPECT_EQ(bad("1\n" + V("", "1 0 N")), chain("Variable name is blank[ReadVarDetails]"));
  EXPECT_EQ(bad("1\n" + V("p", "1 0 Q")),
            chain("For variable p ExoStat was \"Q\"; should be X, N, B, ?, s, o or x. [ReadVarDetails]"));
  EXPECT_EQ(bad("1\n" + V("p", "3 1 N") + " 2\n"), chain("SetPtr=nil[ReadVarDetails]"));
  EXPECT_EQ(bad("1\n" + V("p", "3 1 N")), chain("read error[ReadVarDetails]"));
  EXPECT_EQ(bad("1\n" + V("p", "3 8 N")),
            chain("Variable p has 8 arguments; at most 7 are allowed[ReadVarDetails]"));
  const std::string x = "1\n" + V("p", "3 1 x") + " 1\n";
  EXPECT_EQ(bad(x + "2\n 3 1\n"), chain("1st exog component > 2nd for var p[ReadVarDetails]"));
  EXPECT_EQ(bad(x + "2\n 1 1\n 0 0\n"), chain("NExog Miscount for var p[ReadVarDetails]"));
  EXPECT_EQ(bad(x + "2\n 1 a\n"), chain("2I read error[ReadVarDetails]"));
  EXPECT_EQ(bad(x + "2\n 1 2\n"), chain("2I read error[ReadVarDetails]"));
  // A range beyond the variable would index past its flags.
  EXPECT_EQ(bad(x + "2\n 2 4\n 0 0\n"),
            chain("Exog components 2 to 4 outside 1..3 for var p[ReadVarDetails]"));
  EXPECT_EQ(bad(x + "2\n-1 0\n 0 0\n"),
            chain("Exog components -1 to 0 outside 1..3 for var p[ReadVarDetails]"));
  EXPECT_EQ(Read(sets + "1\n" + V("p", "3 0 N") + "#VARIABLES\n0\n"),
            Chain("pointer should be nil [SafeGetMem][AllocSVarData][ReadVarInfo]"));

  // A range line is two halves of its first 20 characters; the halves may hold the blanks anywhere.
  ASSERT_EQ(bad(x + "3\n1 3\n0 0\n"), "");
  EXPECT_EQ(info_.Var(1).ExoFlags, (std::vector<std::uint8_t>{0, 1, 1, 1}));
}

TEST_F(ModelInfoReader, KeepsExogenousFlagsWithinTheMemoryLimit) {
  const std::string text = "#SETS\n0\n#VARIABLES\n2\n" + V("a", "1000 0 X") + V("b", "1000 0 N");
  SolInfoOptions options{true, true, 2002};
  ASSERT_EQ(Read(text, options), "");
  options.memoryLimit = 2001;
  EXPECT_EQ(Read(text, options), Chain("Out of Memory [SafeGetMem][ReadVarDetails][ReadVarInfo]"));
}

TEST_F(ModelInfoReader, FileSectionForDevelopers) {
  std::string text;
  ErrorText error;
  ModelInfoDescription d = test::SampleModel();
  ASSERT_TRUE(ModelInfoText(d, text, error));
  ::setenv("DeveloperPC", "1", 1);
  const std::string result = Read(text);
  ::unsetenv("DeveloperPC");
  ASSERT_EQ(result, "");
  ASSERT_EQ(info_.NFiles, 4);
  EXPECT_EQ(info_.FileData[0].logicalName, "basedata");
  EXPECT_EQ(info_.FileData[0].description, "Input-output data");
  EXPECT_TRUE(info_.FileData[0].updated);
  EXPECT_EQ(info_.FileData[1].logicalName, "(terminal)");
  EXPECT_EQ(info_.FileData[2].direction, "out");
  // The "#" line that ends the file list is read as the next heading.
  EXPECT_EQ(info_.MrkFile, "trade.mrk");

  // Codes are lower-cased; a 151st file is refused.
  std::string many = "#FILES\nheading\n";
  for (int i = 1; i <= 151; ++i) {
    std::string name = "(f" + std::to_string(i) + ")";
    name.resize(20, ' ');
    many += name + "  IN     Y  HAR  fixed.har\n";
  }
  DataItemSet request;
  request.Add(DataItem::Files);
  EXPECT_EQ(Read(many, {}, request), Chain("Too many files in MRK program, max is 150\r\n[ReadFileInfo]"));
  EXPECT_EQ(info_.FileData[0].direction, "in");
  EXPECT_EQ(info_.FileData[0].fileType, "har");
  EXPECT_EQ(info_.FileData[0].rest, "fixed.har");
}

TEST_F(ModelInfoReader, ReportsFilesThatCannotBeOpened) {
  ErrorText error;
  EXPECT_FALSE(ReadModelInfo("", error, info_));
  EXPECT_EQ(error, "Blank File Name[TxtOpen][AddSolInfo:][RequestSolInfo:]");
  error.clear();
  const std::string missing = dir_.File("none.min");
  EXPECT_FALSE(ReadModelInfo(missing, error, info_));
  EXPECT_EQ(error, "Cannot open file " + missing + "[TxtOpen][AddSolInfo:" + missing +
                       "][RequestSolInfo:" + missing + "]");
  error.clear();
  EXPECT_FALSE(AddMinInfoToSolInfo(missing, info_, error));
  EXPECT_EQ(error, "Cannot open file " + missing + "[TxtOpen][AddMinInfoToSolInfo]");
}

TEST_F(ModelInfoReader, SecondPassChecksCountsAndReadsSubsets) {
  const std::string head =
      "#SETS\n3\n" + S("A", "1") + S("B", "1") + S("C", "1") + "#VARIABLES\n1\n" + V("v", "1 0 N");
  const auto second = [&](std::string_view text) {
    EXPECT_EQ(Read(head), "");
    const std::string name = dir_.Write("second.min", text);
    test::SaveFuzzSeed("modelinfo_reader", "second_pass_" + std::to_string(text.size()), text);
    ErrorText error;
    const bool ok = AddMinInfoToSolInfo(name, info_, error);
    EXPECT_EQ(ok, error.empty());
    return error;
  };
  EXPECT_EQ(second(head + "#SUBSETS\n2\n1 1 2\n2 2 3\n"), "");
  EXPECT_TRUE(info_.IsSubSet->Get(1, 3));
  EXPECT_FALSE(info_.IsSubSet->Get(3, 1));
  EXPECT_TRUE(info_.Read(DataItem::Subsets));

  EXPECT_EQ(second("#VARIABLES\n"), "Could not find \"#SETS\" line[AddMinInfoToSolInfo]");
  EXPECT_EQ(second("#SETS\n2\n"),
            "SLI and MIN files do not match: different NKalSet 3<>2[AddMinInfoToSolInfo]");
  EXPECT_EQ(second("#SETS\n3\n"), "Could not find \"#VARIABLES\" line[AddMinInfoToSolInfo]");
  EXPECT_EQ(second("#SETS\n3\n#VARIABLES\n4\n"),
            "SLI and MIN files do not match: different NKalVar 1<>4[AddMinInfoToSolInfo]");
  EXPECT_EQ(second(head), "Could not find \"#SUBSETS\" line[AddMinInfoToSolInfo]");
  EXPECT_EQ(second(head + "#SUBSETS\nx\n"),
            "cannot read number of subsets[ReadSubsetInfo][AddMinInfoToSolInfo]");
  EXPECT_EQ(second(head + "#SUBSETS\n2\n1 1 2\n"),
            "cannot read subset data line[ReadSubsetInfo][AddMinInfoToSolInfo]");
  EXPECT_EQ(second(head + "#SUBSETS\n1\n2 1 2\n"),
            "Could not interpret #SUBSETS line[ReadSubsetInfo][AddMinInfoToSolInfo]");
  // A pair naming a set the record does not hold would index outside the relation.
  EXPECT_EQ(second(head + "#SUBSETS\n1\n1 1 4\n"),
            "Could not interpret #SUBSETS line[ReadSubsetInfo][AddMinInfoToSolInfo]");
}

} // namespace
} // namespace pelorin
