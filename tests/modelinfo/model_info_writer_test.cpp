#include "modelinfo/model_info_reader.h"
#include "modelinfo/model_info_writer.h"
#include "sample_model.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

// Everything the file section, the sets, the variables and the summary sections look like, byte for byte: the
// model compiler, the solver and the readers of other programs depend on these columns.
TEST(ModelInfoWriter, WritesTheWholeLayout) {
  ModelInfoDescription d;
  d.files = {TFileRec{"basedata", "in", true, "har", "", "Base data"},
             TFileRec{"(terminal)", "in", false, "txt", "", ""}};
  d.mrkFile = "mini.mrk";
  d.stiFile = "%none";
  d.tmDate = "STAMP";
  d.sets = {SetDescription{"COM", "Goods", 2, {"food", "mfg"}}, SetDescription{"IND", "", 3, {}},
            SetDescription{"SEC", "From data", -1, {}}};
  d.variables = {VariableDescription{"p", 2, {1}, 'X', {}, 'p', 'c', "Price"},
                 VariableDescription{"q", 6, {1, 2}, 'x', {{2, 3}, {6, 6}}, 'c', 'c', "Quantity"},
                 VariableDescription{"s", -1, {3}, '?', {}, 'p', 'b', ""}};
  d.subsets = {{1, 2}};
  d.descriptionLines = {"Mini model"};
  d.kvVer = 12;
  d.prVer = 3;
  d.summary = SolutionSummaryDescription{'y', 'n', 'y', 2, '4', 1, 2, 0, 3, {"first shock", "second shock"}};
  std::string text;
  ErrorText error;
  ASSERT_TRUE(ModelInfoText(d, text, error)) << error;
  EXPECT_EQ(text, "#FILES\n"
                  "Logical name          Dir    U  Typ  Fixed file name\n"
                  "basedata              in     y  har\n"
                  "Base data\n"
                  "(terminal)            in     n  txt\n"
                  "#MRKFILE\nmini.mrk\n#STIFILE\n%none\n#TMDATE\nSTAMP\n"
                  "#SETS\n3\n"
                  "     1COM                2  k Goods\n"
                  "food\nmfg\n"
                  "     2IND                3\n"
                  "     3SEC               -1    From data\n"
                  "#VARIABLES\n3\n"
                  "     1p                        2  1 X Price\n"
                  "    1\n"
                  "     2q                        6  2 x Quantity\n"
                  "    1    2\n"
                  "         3\n"
                  "         2         3\n"
                  "         6         6\n"
                  "         0         0\n"
                  "     3s                       -1  1 ?\n"
                  "    3\n"
                  "#VCTP\npcp\n#VCSTAT\nccb\n"
                  "#SUBSETS\n1\n     1     1     2\n"
                  "#VBDSC\n1\nMini model\n"
                  "#KVVER\n12\n#PRVER\n3\n"
                  "#AVAIL\ny n y 2\n#LEV4\n#NSOL\n1 2 0 3\n#SBTDESC\n2\nfirst shock\nsecond shock\n");
  test::SaveFuzzSeed("modelinfo_reader", "writer_layout", text);

  // Without a stamp the summary's count line has three integers.
  d.tmDate.reset();
  ASSERT_TRUE(ModelInfoText(d, text, error)) << error;
  EXPECT_NE(text.find("#NSOL\n1 2 0\n#SBTDESC"), std::string::npos);
}

TEST(ModelInfoWriter, CodesRunInLinesOfForty) {
  ModelInfoDescription d;
  d.hasFileSection = false;
  d.sets = {};
  for (int i = 0; i < 81; ++i) {
    d.variables.push_back(
        VariableDescription{"v" + std::to_string(i), 1, {}, 'N', {}, i < 40 ? 'p' : 'c', 'b', ""});
  }
  std::string text;
  ErrorText error;
  ASSERT_TRUE(ModelInfoText(d, text, error)) << error;
  EXPECT_NE(text.find("#VCTP\n" + std::string(40, 'p') + "\n" + std::string(40, 'c') + "\nc\n#VCSTAT\n"),
            std::string::npos);
}

// The writer is the inverse of the reader: what the solver writes comes back unchanged.
TEST(ModelInfoWriter, RoundTripsThroughTheReader) {
  test::TempDir dir;
  const std::string name = dir.File("trade.min");
  const ModelInfoDescription written = test::SampleModel();
  ErrorText error;
  ASSERT_TRUE(WriteModelInfo(name, written, error)) << error;
  test::SaveFuzzSeed("modelinfo_reader", "sample_model", test::ReadFileBytes(name));

  SolInfoRec info;
  DataItemSet request = StandardRequest();
  request.Add(DataItem::Files);
  ASSERT_TRUE(RequestSolInfo(name, request, SolInfoOptions{true, true}, error, info)) << error;
  ASSERT_TRUE(AddMinInfoToSolInfo(name, info, error)) << error;
  EXPECT_EQ(DescribeSolInfo(info), written);
}

TEST(ModelInfoWriter, RefusesWhatTheReaderCouldNotGiveBack) {
  const auto refusal = [](const std::function<void(ModelInfoDescription&)>& change) {
    ModelInfoDescription d = test::SampleModel();
    change(d);
    std::string text = "old";
    ErrorText error;
    EXPECT_FALSE(ModelInfoText(d, text, error));
    EXPECT_TRUE(text.empty());
    return error;
  };
  EXPECT_EQ(refusal([](auto& d) { d.variables[0].name = "a_very_long_variable"; }),
            "Variable name a_very_long_variable is longer than 15 characters[ModelInfoText]");
  EXPECT_EQ(refusal([](auto& d) { d.sets[0].elements.pop_back(); }),
            "Set COM has size 3 but 2 elements[ModelInfoText]");
  EXPECT_EQ(refusal([](auto& d) { d.variables[0].argSets = {7}; }),
            "Variable p has argument set number 7[ModelInfoText]");
  EXPECT_EQ(refusal([](auto& d) {
              d.variables[1].exogenousRanges = {{3, 4}, {4, 5}};
            }),
            "Variable qxs has exogenous range 4 to 5[ModelInfoText]");
  EXPECT_EQ(refusal([](auto& d) {
              d.variables[1].exogenousRanges = {{5, 7}};
            }),
            "Variable qxs has exogenous range 5 to 7[ModelInfoText]");
  EXPECT_EQ(refusal([](auto& d) { d.variables[0].exoStat = 'Q'; }),
            "Variable p has closure status \"Q\"[ModelInfoText]");
  EXPECT_EQ(refusal([](auto& d) { d.descriptionLines.push_back("#SETS"); }),
            "Description line starts with \"#\": #SETS[ModelInfoText]");
  EXPECT_EQ(refusal([](auto& d) { d.files[0].description = "two\nlines"; }),
            "Description of basedata holds a line break[ModelInfoText]");
  EXPECT_EQ(refusal([](auto& d) { d.subsets.emplace_back(2, 2); }),
            "Subset pair 4 (2, 2) does not name two sets[ModelInfoText]");
}

TEST(ModelInfoWriter, ReportsAFileThatCannotBeCreated) {
  ErrorText error;
  EXPECT_FALSE(WriteModelInfo("/no/such/folder/m.min", test::SampleModel(), error));
  EXPECT_EQ(error, "Cannot create file /no/such/folder/m.min[TxtCreate][WriteModelInfo]");
}

} // namespace
} // namespace pelorin
