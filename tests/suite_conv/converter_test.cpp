// The converter's library: reading solution files, the converted files as the results load them, the
// sensitivity map and the answer files.
#include "conv_fixture.h"
#include "modelinfo/model_info_reader.h"
#include "praxola/answer_file.h"
#include "praxola/conversion.h"
#include "praxola/solution_reader.h"
#include "praxola/ssa_map.h"
#include "results/results_model.h"
#include "summaries/sli_summary.h"
#include "support/fuzz_seed.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin::conv {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class SolutionFiles : public ::testing::Test {
protected:
  std::string WriteSolution(const std::vector<HarHeader>& headers, const std::string& name = "sim.sl4") {
    const std::string bytes = HarFileBytes(headers);
    test::SaveFuzzSeed("suite_conv_solution", name, bytes);
    return dir_.Write(name, bytes);
  }
  Solution ReadSample() {
    Solution s;
    ErrorText err;
    EXPECT_TRUE(ReadSolution(WriteSolution(test::SampleSolutionHeaders()), s, err)) << err;
    return s;
  }
  bool Convert(const ConvertOptions& options, ErrorText& err) {
    const Solution s = ReadSample();
    OutputSet outputs;
    return ConvertSolution(s, dir_.File("sim"), options, outputs, err) && outputs.Commit(err);
  }

  test::TempDir dir_;
};

TEST_F(SolutionFiles, ReaderGivesSetsVariablesResultsShocksAndSubtotals) {
  const Solution s = ReadSample();
  EXPECT_EQ(s.stamp, "MERKA 2026-01-02 03:04:05.000006 P123");
  EXPECT_EQ(s.modelName, "Sample");
  ASSERT_EQ(s.sets.size(), 3u);
  EXPECT_THAT(s.sets[1].elements, ElementsAre("usa", "eu"));
  EXPECT_THAT(s.subsets, ElementsAre(std::make_pair(2, 0)));
  ASSERT_EQ(s.NumComponents(), 7);
  EXPECT_EQ(s.ComponentName(0), "Y(\"usa\")");
  EXPECT_EQ(s.ComponentName(4), "X(\"food\",\"eu\")");
  EXPECT_EQ(s.ComponentName(6), "T");
  EXPECT_EQ(s.VariableOf(5), 1);
  ASSERT_EQ(s.shocks.size(), 2u);
  EXPECT_EQ(s.shocks[1].component, 6);
  EXPECT_EQ(s.shocks[1].kind, ShockKind::Change);
  ASSERT_EQ(s.subtotals.size(), 2u);
  EXPECT_FLOAT_EQ(s.subtotals[1][3], 1.5f);
  // The change of a level that hardly moves comes from the result, not from two nearly equal levels.
  EXPECT_FLOAT_EQ(s.post[5] - s.pre[5], 0.0f);
  EXPECT_NEAR(s.LevelChange(5), 0.01, 1e-9);
  EXPECT_DOUBLE_EQ(s.LevelChange(6), 2.0);
}

TEST_F(SolutionFiles, DamagedFilesAreRefusedWithWhatIsWrong) {
  using Headers = std::vector<HarHeader>;
  const struct {
    const char* name;
    std::function<void(Headers&)> damage;
    const char* message;
  } cases[] = {
      {"format", [](Headers& h) { test::ReplaceHeader(h, MakeStrings("SLFM", "f", {"SOMETHING ELSE"})); },
       "is not a solution file"},
      {"missing", [](Headers& h) { test::RemoveHeader(h, "PREL"); }, "header PREL is missing"},
      {"offsets",
       [](Headers& h) {
         test::ReplaceHeader(h, MakeIntMatrix("VOFF", "o", 3, 1, {1, 4, 7}));
       },
       "variable X has 4 components from number 4 (its sets give 4 components from number 3)"},
      {"argset",
       [](Headers& h) {
         std::vector<std::int32_t> args(21, 0);
         args[0] = 9;
         test::ReplaceHeader(h, MakeIntMatrix("VARG", "a", 3, 7, args));
       },
       "variable Y has argument set number 9"},
      {"elements",
       [](Headers& h) {
         test::ReplaceHeader(h, MakeIntMatrix("SSIZ", "s", 3, 1, {2, 2, 9}));
       },
       "set TRAD has size 9 but the element list SELM is too short"},
      {"values",
       [](Headers& h) {
         test::ReplaceHeader(h, MakeDoubles("CUMR", "c", {SizeDim(6)}, {1, 2, 3, 4, 5, 6}));
       },
       "header CUMR holds 6 values (expected 7)"},
      {"closure",
       [](Headers& h) {
         test::ReplaceHeader(h, MakeIntMatrix("EXOG", "e", 7, 1, {1, 2, 0, 0, 0, 0, 1}));
       },
       "EXOG holds 2 for component 2"},
      {"shock",
       [](Headers& h) {
         test::ReplaceHeader(h, MakeIntMatrix("SHKC", "s", 2, 2, {1, 99, 0, 1}));
       },
       "shock 2 names component 99"},
      {"endogenous",
       [](Headers& h) {
         test::ReplaceHeader(h, MakeIntMatrix("SHKC", "s", 2, 2, {1, 3, 0, 1}));
       },
       "shock 2 names an endogenous component"},
      {"subtotals", [](Headers& h) { test::ReplaceHeader(h, MakeIntMatrix("STNM", "n", 1, 1, {3})); },
       "STDS holds 2 descriptions for 3 subtotals"},
      {"twice",
       [](Headers& h) {
         test::ReplaceHeader(h, MakeStrings("VNAM", "v", {"Y", "X", "y"}));
       },
       "variable y is listed twice"},
      {"type",
       [](Headers& h) {
         test::ReplaceHeader(h, MakeStrings("VTYP", "t", {"p", "z", "c"}));
       },
       "variable X has change type \"z\""},
      {"name",
       [](Headers& h) {
         test::ReplaceHeader(h, MakeStrings("VNAM", "v", {"Y", "A_NAME_OF_16_CHR", "T"}));
       },
       "variable name \"A_NAME_OF_16_CHR\" is empty, longer than 15 characters"},
  };
  for (const auto& c : cases) {
    Headers headers = test::SampleSolutionHeaders();
    c.damage(headers);
    Solution s;
    ErrorText err;
    EXPECT_FALSE(ReadSolution(WriteSolution(headers, std::string("damaged-") + c.name + ".sl4"), s, err))
        << c.name;
    EXPECT_THAT(err, HasSubstr(c.message)) << c.name;
    EXPECT_THAT(err, HasSubstr("error")) << c.name;
    EXPECT_EQ(s.NumComponents(), 0) << c.name;
  }
  // Not a Header Array file at all, and a file cut short.
  Solution s;
  ErrorText err;
  EXPECT_FALSE(ReadSolution(dir_.Write("text.sl4", "just some text\n"), s, err));
  EXPECT_THAT(err, HasSubstr("cannot read the solution file"));
  const std::string bytes = HarFileBytes(test::SampleSolutionHeaders());
  err.clear();
  EXPECT_FALSE(ReadSolution(dir_.Write("cut.sl4", bytes.substr(0, bytes.size() / 2)), s, err));
  EXPECT_THAT(err, HasSubstr("cannot read the solution file"));
}

TEST_F(SolutionFiles, ConvertedFilesLoadAsTheResultsPageLoadsThem) {
  ErrorText err;
  ASSERT_TRUE(Convert(ConvertOptions{}, err)) << err;
  test::SaveFuzzSeed("suite_conv_solution", "converted.sol", test::ReadFileBytes(dir_.File("sim.sol")));

  test::ScriptedUserInterface ui;
  ResultsModel results(ui);
  ASSERT_TRUE(results.InitPlan(err)) << err;
  ASSERT_TRUE(results.PVLoadSol(dir_.File("sim.sol"), " ", dir_.File("sim.sli"), true, true, err)) << err;
  // Cumulative, pre, post, change and two subtotals.
  ASSERT_EQ(results.Nsol(), 6);
  const auto values = [&](int sol, const std::string& var) -> std::vector<float> {
    for (const ResultHeader& rh : results.Sol(sol).vars) {
      if (rh.varName == var) {
        return {rh.Values().begin(), rh.Values().end()};
      }
    }
    ADD_FAILURE() << var << " not in solution " << sol;
    return {};
  };
  EXPECT_THAT(values(1, "X"), ElementsAre(10.0f, 4.0f, 0.0f, static_cast<float>(1e-6)));
  EXPECT_THAT(values(2, "X"), ElementsAre(40.0f, 60.0f, 30.0f, 1e6f));
  EXPECT_THAT(values(3, "Y"), ElementsAre(110.0f, 50.0f));
  EXPECT_THAT(values(4, "X"), ElementsAre(4.0f, 2.4f, 0.0f, 0.01f));
  EXPECT_THAT(values(4, "T"), ElementsAre(2.0f));
  EXPECT_THAT(values(5, "X"), ElementsAre(6.0f, 2.5f, 0.0f, static_cast<float>(1e-6)));
  EXPECT_THAT(values(6, "T"), ElementsAre(2.0f));
  EXPECT_EQ(results.Sol(5).SolLabel, "income");
  EXPECT_EQ(results.Sol(6).SolLabel, "Subtotal 2");
  // The summary's closure and change types reach the headers.
  const ResultHeader* y = nullptr;
  for (const ResultHeader& rh : results.Sol(1).vars) {
    y = rh.varName == "Y" ? &rh : y;
  }
  ASSERT_NE(y, nullptr);
  EXPECT_EQ(y->changeType, 'p');
  EXPECT_EQ(y->Mark(0), 1);
  EXPECT_EQ(y->SetName(1), "REG");
  EXPECT_EQ(y->CleanLongName(), "Income");
  const auto& lines = results.Sol(1).SolDesc.lines;
  EXPECT_THAT(lines, ::testing::Contains("Ten percent more income"));
  EXPECT_THAT(lines, ::testing::Contains(" #not a heading"));
  EXPECT_THAT(lines, ::testing::Contains("Model Sample, solved by Gragg, steps 2 4 6, 1 subinterval."));
  EXPECT_THAT(lines, ::testing::Contains("Levels solutions are available on the SL4 file (and shown here)."));
  EXPECT_THAT(lines, ::testing::Contains("2: a transfer of two units"));

  // The summary is also the model information the Shocks page reads: sets, closure, subsets.
  SolInfoRec info;
  ASSERT_TRUE(ReadModelInfo(dir_.File("sim.sli"), err, info)) << err;
  ASSERT_TRUE(AddMinInfoToSolInfo(dir_.File("sim.sli"), info, err)) << err;
  EXPECT_EQ(info.Var(1).ExoStat, 'X');
  EXPECT_EQ(info.Var(2).ExoStat, 'N');
  EXPECT_EQ(info.Var(3).VcTp, 'c');
  EXPECT_TRUE(info.IsSubSet->Get(3, 1));
}

TEST_F(SolutionFiles, WithoutLevelsOrSubtotalsTheSummarySaysSo) {
  ConvertOptions options;
  options.levels = false;
  options.subtotals = false;
  ErrorText err;
  ASSERT_TRUE(Convert(options, err)) << err;
  EXPECT_FALSE(std::filesystem::exists(dir_.File("sim.SO2")));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("sim.SU1")));
  SLISummary summary;
  ASSERT_TRUE(GetSLISummary(dir_.File("sim.sli"), 80, summary, err)) << err;
  EXPECT_EQ(summary.levelsChar, 'N');
  EXPECT_EQ(summary.numSubtotals, 2);
  EXPECT_THAT(summary.nsol, ElementsAre(1, 0, 0, 0));
  test::ScriptedUserInterface ui;
  ResultsModel results(ui);
  ASSERT_TRUE(results.InitPlan(err) &&
              results.PVLoadSol(dir_.File("sim.sol"), " ", dir_.File("sim.sli"), true, true, err))
      << err;
  EXPECT_EQ(results.Nsol(), 1);
  EXPECT_THAT(results.Sol(1).SolDesc.lines, ::testing::Contains(" but none are shown here."));
}

TEST_F(SolutionFiles, SelectedVariablesAndHeaderNames) {
  ConvertOptions options;
  options.selected = {"x"};
  ErrorText err;
  ASSERT_TRUE(Convert(options, err)) << err;
  std::unique_ptr<HarData> data;
  ASSERT_TRUE(GetRealDetails(dir_.File("sim.sol"), data, err)) << err;
  ASSERT_EQ(data->NumHeads(), 1);
  EXPECT_EQ(data->heads[0]->shortText, "X");
  options.selected = {"nosuch"};
  EXPECT_FALSE(Convert(options, err));
  EXPECT_THAT(err, HasSubstr("\"nosuch\" is not a variable"));

  Solution s;
  for (const char* name : {"ABCDE", "abcdF", "xxcdef", "V001", "Q"}) {
    s.variables.push_back({name, std::string(80, 'd') + "#x", true, {}, 0, 1});
  }
  EXPECT_THAT(VariableHeaderNames(s), ElementsAre("ABCD", "V002", "V003", "V001", "Q"));
  const std::string longName = VariableLongName(s.variables[0]);
  EXPECT_EQ(longName.size(), 70u);
  EXPECT_EQ(longName.substr(0, 8), "ABCDE # ");
  EXPECT_EQ(longName.substr(68), " #");
  EXPECT_EQ(longName.find('#', 7), 69u);
}

TEST_F(SolutionFiles, MapFitsOnlyItsSolutionAndListsTheShocks) {
  const Solution s = ReadSample();
  const SsaMap all = MakeSsaMap(s, false);
  ASSERT_EQ(all.entries.size(), 3u);
  EXPECT_FALSE(all.entries[1].shocked);
  EXPECT_EQ(MakeSsaMap(s, true).entries.size(), 2u);
  const std::string text = SsaMapText(all, s);
  test::SaveFuzzSeed("suite_conv_answers", "map.txt", text);
  SsaMap back;
  ErrorText err;
  ASSERT_TRUE(ParseSsaMap(text, "m.map", back, err)) << err;
  EXPECT_TRUE(CheckSsaMap(back, "m.map", s, err)) << err;
  EXPECT_EQ(back.entries[2].variable, "T");

  SsaMap other = back;
  other.stamp = "another compile";
  EXPECT_FALSE(CheckSsaMap(other, "m.map", s, err));
  EXPECT_THAT(err, HasSubstr("does not belong to the solution"));
  other = back;
  other.entries[0].index = 1;
  err.clear();
  EXPECT_FALSE(CheckSsaMap(other, "m.map", s, err));
  EXPECT_THAT(err, HasSubstr("its component 1 is Y number 2 but in the solution it is Y(\"usa\")"));

  const struct {
    std::string text;
    const char* message;
  } broken[] = {
      {"", "the map file is empty"},
      {"something\n", "not a sensitivity map file"},
      {"PELORIN SSA MAP 1\nsolution s\nstamp x\ncomponents 7\nselection all\n", "unreadable value \"all\""},
      {"PELORIN SSA MAP 1\nsolution s\nstamp x\ncomponents 7\nselection shocked\nentries 2\n1 Y 1 1\n",
       "announces 2 entries but holds 1"},
      {"PELORIN SSA MAP 1\nsolution s\nstamp x\ncomponents 7\nselection shocked\nentries 1\n9 Y 1 1\n",
       "m.map:7: error: unreadable map entry"},
  };
  for (const auto& b : broken) {
    err.clear();
    test::SaveFuzzSeed("suite_conv_answers", "map-" + std::to_string(b.text.size()), b.text);
    EXPECT_FALSE(ParseSsaMap(b.text, "m.map", back, err)) << b.text;
    EXPECT_THAT(err, HasSubstr(b.message)) << b.text;
  }

  const std::string listing = ShockListingText(s, &all, "m.map");
  EXPECT_THAT(listing, HasSubstr("Y(\"eu\")"));
  EXPECT_THAT(listing, HasSubstr("(not shocked)"));
  EXPECT_THAT(listing, HasSubstr("! 3 components listed."));
  EXPECT_THAT(ShockListingText(s, nullptr, ""), HasSubstr("! 2 components listed."));
}

TEST(AnswerFiles, OptionsCodesFileNamesAndTheEnd) {
  AnswerFile answers;
  answers.LoadText("bat\r\nrpt\r\n \"/w/my report.rpt\" \r\nwsi\r\n\r\nS\r\ny  ! SS map file\r\n\r\n  \r\n",
                   "a.inp");
  AnswerOptions options;
  ErrorText err;
  ASSERT_TRUE(ReadAnswerOptions(answers, {"bat", "wsi"}, options, err)) << err;
  EXPECT_EQ(options.reportFile, "/w/my report.rpt");
  EXPECT_TRUE(options.Has("wsi"));
  std::string text;
  ASSERT_TRUE(answers.FileName("the solution file", text, err));
  EXPECT_EQ(text, "S");
  ASSERT_TRUE(answers.Choice("the map", {"y", "n"}, text, err)) << err;
  EXPECT_EQ(text, "y");
  EXPECT_TRUE(answers.End(err)) << err;

  const struct {
    std::string text;
    const char* message;
  } broken[] = {
      {"bat\nfoo\n\n", "a.inp:2: error: unknown option \"foo\""},
      {"bat\nrpt\n\n", "a.inp:3: error: no file name given as the answer to option \"rpt\""},
      {"bat\n", "a.inp:1: error: the answers end before the answer to the options"},
      {"\n\n", "a.inp:2: error: no file name given as the answer to the solution file"},
      {"\nS\nq\n", "a.inp:3: error: unknown answer \"q\" to the map (expected \"y\", \"n\")"},
      {"\nS\nn\nmore\n", "a.inp:4: error: unexpected answer \"more\" after the last question"},
  };
  for (const auto& b : broken) {
    test::SaveFuzzSeed("suite_conv_answers", "answers-" + std::to_string(b.text.size()), b.text);
    answers.LoadText(b.text, "a.inp");
    err.clear();
    AnswerOptions o;
    const bool ok = ReadAnswerOptions(answers, {"bat", "wsi"}, o, err) &&
                    answers.FileName("the solution file", text, err) &&
                    answers.Choice("the map", {"y", "n"}, text, err) && answers.End(err);
    EXPECT_FALSE(ok) << b.text;
    EXPECT_THAT(err, HasSubstr(b.message)) << b.text;
  }
}

} // namespace
} // namespace pelorin::conv
