#include "engine/command_file.h"
#include "engine/stored_input.h"
#include "support/fuzz_seed.h"

#include <gtest/gtest.h>

namespace pelorin::engine {
namespace {

// A command file as the front end writes it for a simulation.
const char* const kSimulation = R"(!
! Auxiliary files (i.e., which model)
! ---------------
!
Auxiliary files = "/models/my model/Trade" ;
!
! Original Data files
! -------------------
!
File BASEDATA = /data/base.har ; ! Base data
! File (terminal) = /data/term.txt ;
!
! Output files
! ------------
!
Solution file = sim1 ;
Updated file BASEDATA = sim1.upd ;
Display file = sim1.dis ;
File SUMMARY = sim1.ou1 ;
Extrapolation Accuracy File = yes ;
dpn = yes ;
!
! Closure
! -------
!
exogenous pop p_x(COM,REG) x 1-3 5 ;
Exo tax("food") ;
rest endogenous ;
swap p_x("food","usa") = q_x("food","usa") ;
!
! Verbal description
! ------------------
!
Verbal Description =
Tariff cut of 10%!! in food #not this#
and more ;
!
! Solution method
! ---------------
!
Method = Gragg;
Steps = 2 4 6;
subintervals = 3;
!
! Miscellaneous info
! ------------------
!
automatic accuracy = yes;
accuracy figures = 5;
accuracy percent = 90;
minimum subinterval length =  1.0E-0003;
minimum subinterval fails = continue;
accuracy criterion = Both;
!
! Shocks
! ------
!
 Shock pop = 5;
 Shock p_x(COM,"usa") = uniform 10;
SHOCK P_X = SELECT FROM FILE "/models/my model/XSHOCK.PRE";
change tax = 1, 2, 3 ;
final_level q = file /data/q.har header "qq" ;
percent_change d = -2.5 ;
Subtotal p_x(COM,"usa") pop = tariff changes ;
xset MARG "Margins" (trade, transport) ;
xsubset MARG is subset of COM ;
)";

TEST(CommandFile, ReadsEveryStatementTheFrontEndWrites) {
  CommandFile cmf;
  ErrorText err;
  ASSERT_TRUE(ParseCommandFile(kSimulation, "sim1.cmf", cmf, err)) << err;
  test::SaveFuzzSeed("suite_command_file", "simulation.cmf", kSimulation);
  ASSERT_TRUE(cmf.auxiliaryFiles);
  EXPECT_EQ(cmf.auxiliaryFiles->path, "/models/my model/Trade");
  ASSERT_EQ(cmf.files.size(), 2u);
  EXPECT_EQ(cmf.files[0].logicalName, "BASEDATA");
  EXPECT_EQ(cmf.files[0].path, "/data/base.har");
  EXPECT_EQ(cmf.files[0].line, 10);
  EXPECT_EQ(cmf.files[1].logicalName, "SUMMARY");
  EXPECT_EQ(cmf.solutionFile->path, "sim1");
  ASSERT_EQ(cmf.updatedFiles.size(), 1u);
  EXPECT_EQ(cmf.updatedFiles[0].logicalName, "BASEDATA");
  EXPECT_EQ(cmf.displayFile->path, "sim1.dis");
  EXPECT_TRUE(cmf.extrapolationAccuracyFile);
  EXPECT_TRUE(cmf.dpn->value);

  ASSERT_EQ(cmf.closure.size(), 4u);
  const CmfClosure& exo = cmf.closure[0];
  EXPECT_EQ(exo.kind, CmfClosure::Kind::Exogenous);
  ASSERT_EQ(exo.vars.size(), 3u);
  EXPECT_EQ(exo.vars[1].name, "p_x");
  ASSERT_EQ(exo.vars[1].args.size(), 2u);
  EXPECT_EQ(exo.vars[1].args[1].text, "REG");
  EXPECT_FALSE(exo.vars[1].args[1].quoted);
  EXPECT_EQ(exo.vars[2].components, (std::vector<std::pair<long, long>>{{1, 3}, {5, 5}}));
  EXPECT_EQ(cmf.closure[1].kind, CmfClosure::Kind::Exogenous);
  EXPECT_TRUE(cmf.closure[1].vars[0].args[0].quoted);
  EXPECT_EQ(cmf.closure[2].kind, CmfClosure::Kind::Rest);
  EXPECT_FALSE(cmf.closure[2].restExogenous);
  EXPECT_EQ(cmf.closure[3].kind, CmfClosure::Kind::Swap);
  EXPECT_EQ(cmf.closure[3].swapWith[0].name, "q_x");

  EXPECT_EQ(cmf.verbalDescription, (std::vector<std::string>{"Tariff cut of 10%! in food", "and more"}));
  EXPECT_EQ(cmf.method, "gragg");
  EXPECT_EQ(cmf.steps, (std::vector<int>{2, 4, 6}));
  EXPECT_EQ(cmf.subintervals, 3);
  EXPECT_TRUE(cmf.automaticAccuracy);
  EXPECT_EQ(cmf.accuracyFigures, 5);
  EXPECT_EQ(cmf.accuracyPercent, 90);
  EXPECT_DOUBLE_EQ(cmf.minimumSubintervalLength, 0.001);
  EXPECT_FALSE(cmf.minimumSubintervalFailsStop);
  EXPECT_EQ(cmf.accuracyCriterion, 2);

  ASSERT_EQ(cmf.shocks.size(), 6u);
  EXPECT_EQ(cmf.shocks[0].values, std::vector<double>{5});
  EXPECT_EQ(cmf.shocks[1].source, CmfShock::Source::Uniform);
  EXPECT_EQ(cmf.shocks[2].source, CmfShock::Source::File);
  EXPECT_TRUE(cmf.shocks[2].select);
  EXPECT_EQ(cmf.shocks[2].file, "/models/my model/XSHOCK.PRE");
  EXPECT_EQ(cmf.shocks[3].kind, CmfShock::Kind::Change);
  EXPECT_EQ(cmf.shocks[3].values, (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(cmf.shocks[4].kind, CmfShock::Kind::FinalLevel);
  EXPECT_EQ(cmf.shocks[4].header, "QQ");
  EXPECT_EQ(cmf.shocks[5].kind, CmfShock::Kind::PercentChange);
  ASSERT_EQ(cmf.subtotals.size(), 1u);
  EXPECT_EQ(cmf.subtotals[0].description, "tariff changes");
  EXPECT_EQ(cmf.subtotals[0].vars.size(), 2u);
  ASSERT_EQ(cmf.xsets.size(), 1u);
  EXPECT_EQ(cmf.xsets[0].elements, (std::vector<std::string>{"trade", "transport"}));
  EXPECT_EQ(cmf.xsubsets[0].big, "COM");
}

TEST(CommandFile, ClosureAndShocksOfTheFuzzersModelParse) {
  // Also the seed of the command-file fuzzer, which resolves it against its own small model.
  const char* text = R"(exogenous W T(REG) X("c1",REG) ;
endogenous X(SUB,"eu") ;
rest endogenous ;
xset MORE (c2, c3) ;
xsubset MORE is subset of COM ;
swap T("usa") = X("c2","usa") ;
shock W = 5 ;
shock X("c1",REG) = 1 2 ;
change T("eu") = 3 ;
final_level X 1 = 2 ;
subtotal W T = some ;
)";
  CommandFile cmf;
  ErrorText err;
  ASSERT_TRUE(ParseCommandFile(text, "f.cmf", cmf, err)) << err;
  test::SaveFuzzSeed("suite_command_file", "fixture.cmf", text);
  EXPECT_EQ(cmf.closure.size(), 4u);
  EXPECT_EQ(cmf.shocks.size(), 4u);
  EXPECT_EQ(cmf.shocks[3].target.components, (std::vector<std::pair<long, long>>{{1, 1}}));
}

TEST(CommandFile, KeywordsMayBeAbbreviated) {
  EXPECT_EQ(NormaliseKeyword("Exo"), "exogenous");
  EXPECT_EQ(NormaliseKeyword("ENDOG"), "endogenous");
  EXPECT_EQ(NormaliseKeyword("restore"), "rest");
  EXPECT_EQ(NormaliseKeyword("sho"), "shock");
  EXPECT_EQ(NormaliseKeyword("Fil"), "file");
  EXPECT_EQ(NormaliseKeyword("fin"), "final_level");
  EXPECT_EQ(NormaliseKeyword("Method"), "method");
}

TEST(CommandFile, EveryBadStatementIsReportedWithItsLine) {
  const std::string text =
      "Method = Gragg ;\nfrobnicate = 3 ;\nsteps = 2 x ;\nshock v = ;\n"
      "exogenous 5 ;\nautomatic accuracy = maybe ;\nswap a b ;\nrest ;\nsubintervals = 0 ;\n"
      "shock v = 1\n";
  CommandFile cmf;
  ErrorText err;
  EXPECT_FALSE(ParseCommandFile(text, "bad.cmf", cmf, err));
  test::SaveFuzzSeed("suite_command_file", "bad.cmf", text);
  EXPECT_EQ(
      err,
      "bad.cmf:10: error: statement starting \"shock v\" does not end with \";\"\n"
      "bad.cmf:2: error: unknown statement \"frobnicate\"\n"
      "bad.cmf:3: error: step count \"x\" is not a whole number from 1 to 10000\n"
      "bad.cmf:4: error: expected \"=\" and a value in statement \"shock v\"\n"
      "bad.cmf:5: error: expected a variable name but found \"5\"\n"
      "bad.cmf:6: error: expected yes or no in statement \"automatic accuracy\" but found \"maybe\"\n"
      "bad.cmf:7: error: expected \"=\" in swap statement\n"
      "bad.cmf:8: error: expected \"rest exogenous\" or \"rest endogenous\"\n"
      "bad.cmf:9: error: expected a whole number from 1 to 100000 in statement \"subintervals\" but found "
      "\"0\"\n");
}

TEST(StoredInput, ReadsReportCommandFileAndTerminalLines) {
  const std::string text = "rpt\r\n/work/solve.rpt\r\nCMF\r\n/out/sim1.cmf\r\n1 2 3\r\nlast\r\n";
  StoredInput input;
  ErrorText err;
  ASSERT_TRUE(ParseStoredInput(text, "solve.sti", input, err)) << err;
  test::SaveFuzzSeed("suite_stored_input", "solve.sti", text);
  EXPECT_EQ(input.reportFile, "/work/solve.rpt");
  EXPECT_EQ(input.commandFile, "/out/sim1.cmf");
  EXPECT_EQ(input.terminalLines, (std::vector<std::string>{"1 2 3", "last"}));

  const struct {
    const char* text;
    const char* error;
  } bad[] = {
      {"rpt\n/work/solve.rpt\n",
       "x.sti:2: error: the stored input ends before it names the command file (\"cmf\")"},
      {"log\nfile\n", "x.sti:1: error: unknown option \"log\" (expected rpt or cmf)"},
      {"cmf\n", "x.sti:1: error: option \"cmf\" is not followed by a file name"},
  };
  int n = 0;
  for (const auto& b : bad) {
    ErrorText e;
    EXPECT_FALSE(ParseStoredInput(b.text, "x.sti", input, e));
    EXPECT_EQ(e, b.error);
    test::SaveFuzzSeed("suite_stored_input", "bad" + std::to_string(n++) + ".sti", b.text);
  }
}

} // namespace
} // namespace pelorin::engine
