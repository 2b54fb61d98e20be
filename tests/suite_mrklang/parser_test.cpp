#include "mrklang/parser.h"
#include "support/fuzz_seed.h"

#include <gtest/gtest.h>

namespace pelorin::mrk {
namespace {

const char* const kTrade = R"(model Trade "Two-region trade" ;
description "A small trade model." ;
file BASEDATA "Base data" input har updated ;
file SUMMARY "Summary" output ;
set COM "Commodities" = (food, mfg, serv) ;
set REG "Regions" = read BASEDATA "REG" ;
set TRAD = (food, mfg) ;
subset TRAD of COM ;
coefficient SHR(c in COM) "Budget share" = read BASEDATA "SHR" ;
coefficient TOT "Total share" = sum(c in COM, SHR(c)) ;
variable percent Y(r in REG) "Income" = read BASEDATA "Y" ;
variable percent P(c in COM, r in REG) "Price" = 1 ;
variable X(c in COM, r in REG) "Demand" = SHR(c) * Y(r) / P(c, r) ;
variable change T "Tax" = 0 ;
equation E_X(c in COM, r in REG) "Demand" : P(c, r) * X(c, r) = SHR(c) * Y(r) + T ;
equation E_P(c in TRAD, r in REG) : P(c, r) = exp(ln(P("serv", r))) ^ 1 ;
update BASEDATA "Y" (r in REG) = Y(r) ;
write TOT to SUMMARY "TOT" ;
display SHR ;
)";

TEST(MrkParser, ReadsACompleteModel) {
  Model model;
  std::vector<Diagnostic> errors;
  ASSERT_TRUE(ParseModel(kTrade, model, errors)) << (errors.empty() ? "" : FormatDiagnostic("t", errors[0]));
  test::SaveFuzzSeed("suite_mrk_parser", "trade.mrk", kTrade);
  EXPECT_EQ(model.name, "Trade");
  ASSERT_EQ(model.files.size(), 2u);
  EXPECT_TRUE(model.files[0].updated);
  EXPECT_EQ(model.files[1].kind, FileKind::Output);
  ASSERT_EQ(model.sets.size(), 3u);
  EXPECT_TRUE(model.sets[1].fromData);
  EXPECT_EQ(model.sets[1].header, "REG");
  EXPECT_TRUE(model.IsSubsetOf(2, 0));
  EXPECT_FALSE(model.IsSubsetOf(0, 2));
  ASSERT_EQ(model.variables.size(), 4u);
  EXPECT_FALSE(model.variables[3].percent);
  ASSERT_EQ(model.equations.size(), 2u);
  EXPECT_EQ(model.equations[0].lhs.domain, (std::vector<int>{0, 1}));
  EXPECT_EQ(model.updates.size(), 1u);
  EXPECT_EQ(model.writes.size(), 1u);
  EXPECT_EQ(model.displays.size(), 1u);
}

struct BadModel {
  const char* source;
  const char* message; // "LINE:COL: error: text"
};

TEST(MrkParser, ReportsEachKindOfMistakeAtItsPlace) {
  const std::string head = "file D input ;\nset COM = (a, b) ;\nset REG = (x, y) ;\n";
  const BadModel cases[] = {
      {"coefficient C = Q ;", "4:17: error: undeclared name \"Q\""},
      {"coefficient C(c in COM) = 1 ;\ncoefficient E(r in REG) = C(r) ;",
       "5:29: error: index \"r\" ranges over set REG but argument 1 of C ranges over set COM"},
      {"coefficient C(c in COM) = 1 ;\ncoefficient E = C ;",
       "5:17: error: \"C\" has 1 argument but is used with 0"},
      {"coefficient C = 1 ;\ncoefficient c = 2 ;",
       "5:13: error: duplicate name \"c\" (first declared at line 4)"},
      {"variable V(c in CMD) = 1 ;", "4:17: error: unknown set \"CMD\""},
      {"equation E(c in SECT) : 1 = 1 ;", "4:17: error: unknown set \"SECT\""},
      {"coefficient C = read BASE \"C\" ;", "4:22: error: file \"BASE\" is not declared"},
      {"coefficient C(c in COM) = 1 ;\ncoefficient E = C(\"z\") ;",
       "5:19: error: \"z\" is not an element of set COM"},
      {"coefficient C = 1 ;\nwrite C to D \"C\" ;",
       "5:12: error: file \"D\" is an input file; writes go to output files"},
      {"coefficient C = read D \"TOOLONG\" ;",
       "4:24: error: header name \"TOOLONG\" must have 1 to 4 characters"},
      {"coefficient C = 1 +;", "4:20: error: expected a number, a name or \"(\" but found \";\""},
      {"variable V = 1 ;\nequation E : V = 1", "6:1: error: expected \";\" but found the end of the file"},
      {"set S = (a, A) ;", "4:13: error: element \"A\" is listed twice in set S"},
      {"coefficient C = \"x ;", "4:17: error: text in double quotes is not closed on its line"},
      {"frobnicate ;", "4:1: error: unknown statement \"frobnicate\""},
  };
  int n = 0;
  for (const BadModel& c : cases) {
    const std::string source = head + c.source + "\n";
    Model model;
    std::vector<Diagnostic> errors;
    EXPECT_FALSE(ParseModel(source, model, errors)) << c.source;
    ASSERT_FALSE(errors.empty()) << c.source;
    EXPECT_EQ(FormatDiagnostic("m.mrk", errors[0]), std::string("m.mrk:") + c.message);
    test::SaveFuzzSeed("suite_mrk_parser", "bad" + std::to_string(n++) + ".mrk", source);
  }
}

TEST(MrkParser, RecoversAfterABadStatementAndReportsTheNextOne) {
  Model model;
  std::vector<Diagnostic> errors;
  EXPECT_FALSE(ParseModel("coefficient A = B ;\ncoefficient C = D ;\ncoefficient E = 1 ;\n", model, errors));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].line, 1);
  EXPECT_EQ(errors[1].line, 2);
}

TEST(MrkParser, AMissingSemicolonCostsOneErrorAndTheStatementsAfterItAreRead) {
  // The ";" after the set COM is missing: every later use of COM, FAC, C and V would be unknown.
  std::string source = kTrade;
  const std::string end = "(food, mfg, serv) ;";
  source.replace(source.find(end), end.size(), "(food, mfg, serv)");
  Model model;
  std::vector<Diagnostic> errors;
  EXPECT_FALSE(ParseModel(source, model, errors));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(FormatDiagnostic("t.mrk", errors[0]), "t.mrk:6:1: error: expected \";\" but found \"set\"");
  // The statement it ended is read, and so is everything after it.
  EXPECT_EQ(model.sets.size(), 3u);
  EXPECT_EQ(model.variables.size(), 4u);
  EXPECT_EQ(model.equations.size(), 2u);
}

TEST(MrkParser, UsesOfANameWhoseStatementFailedAreNotReportedAgain) {
  Model model;
  std::vector<Diagnostic> errors;
  EXPECT_FALSE(ParseModel("set S = (a, a) ;\nset T = (x) ;\ncoefficient C(t in T) = 1 + ;\n"
                          "coefficient D(s in S) = 1 ;\ncoefficient E(t in T) = C(t) ;\n"
                          "variable V = E(\"x\") + 1 ;\nequation Q : V = 1 ;\ncoefficient F = G ;\n",
                          model, errors));
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(FormatDiagnostic("m", errors[0]), "m:1:13: error: element \"a\" is listed twice in set S");
  EXPECT_EQ(FormatDiagnostic("m", errors[1]),
            "m:3:29: error: expected a number, a name or \"(\" but found \";\"");
  // An unrelated mistake later on is still found.
  EXPECT_EQ(FormatDiagnostic("m", errors[2]), "m:8:17: error: undeclared name \"G\"");
}

TEST(MrkParser, RefusesExpressionsTooLongOrDeepToWalk) {
  std::string sum = "coefficient C = 1";
  for (int i = 0; i < 6000; ++i) {
    sum += " + 1";
  }
  Model model;
  std::vector<Diagnostic> errors;
  EXPECT_FALSE(ParseModel(sum + " ;\n", model, errors));
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors[0].message, "expression too long (more than 5000 operations in one statement)");
  const std::string deep = "coefficient C = " + std::string(300, '-') + "1 ;\n";
  EXPECT_FALSE(ParseModel(deep, model, errors));
  EXPECT_EQ(errors[0].message, "expression nested too deeply");
}

} // namespace
} // namespace pelorin::mrk
