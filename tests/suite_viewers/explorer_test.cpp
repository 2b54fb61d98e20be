// The model explorer on the demo models solved end to end with Gragg 2-4-6: the coefficient file beside each
// solution holds the data before and the updated data after, every equation holds for every element before
// and after the simulation term by term, and a solution without its model source or coefficient file opens
// with what is there.

#include "datafiles/har_data.h"
#include "datafiles/har_writer.h"
#include "demo_solutions.h"
#include "engine/command_file.h"
#include "explorer/expression_text.h"
#include "explorer/solution_explorer.h"
#include "mrklang/parser.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "support/fuzz_seed.h"

#include <cmath>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>

namespace pelorin::explore {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

const test::DemoSolutions& Demo() {
  const test::DemoSolutions& demo = test::DemoSolutions::Get();
  EXPECT_TRUE(demo.minimal.ok && demo.trade.ok) << "the demo models were not solved";
  return demo;
}

std::unique_ptr<THeadRecz> ReadHeader(const std::string& file, const std::string& name) {
  std::unique_ptr<THeadRecz> head;
  ErrorText err;
  EXPECT_TRUE(ReadHeaderFromHarFile(file, name, false, head, err)) << err;
  EXPECT_NE(head, nullptr) << name << " in " << file;
  return head;
}

// The positions of element combination `k` (dimension 1 fastest) over sets of the given sizes.
std::vector<int> Positions(std::int64_t k, const std::vector<std::int64_t>& sizes) {
  std::vector<int> positions;
  for (std::int64_t size : sizes) {
    positions.push_back(static_cast<int>(k % size));
    k /= size;
  }
  return positions;
}

std::vector<std::int64_t> Sizes(const SolutionExplorer& explorer, const std::vector<int>& sets) {
  std::vector<std::int64_t> sizes;
  for (int s : sets) {
    sizes.push_back(static_cast<std::int64_t>(explorer.SetElements(s).size()));
  }
  return sizes;
}

std::int64_t Count(const std::vector<std::int64_t>& sizes) {
  std::int64_t n = 1;
  for (std::int64_t s : sizes) {
    n *= s;
  }
  return n;
}

class ExplorerTest : public ::testing::TestWithParam<const char*> {
protected:
  const test::DemoRun& Run() const {
    return std::string(GetParam()) == "Minimal" ? Demo().minimal : Demo().trade;
  }
  void Open() {
    ErrorText err;
    ASSERT_TRUE(explorer.Open(Run().solution, err)) << err;
    ASSERT_TRUE(explorer.HasModel()) << ::testing::PrintToString(explorer.Notes());
    ASSERT_TRUE(explorer.HasCoefficients()) << ::testing::PrintToString(explorer.Notes());
    EXPECT_TRUE(explorer.Notes().empty()) << ::testing::PrintToString(explorer.Notes());
  }
  std::string InRun(const std::string& path) const {
    return path.empty() || path[0] == '/' ? path : JoinPath(Run().folder, path);
  }

  SolutionExplorer explorer;
};

TEST_P(ExplorerTest, CoefficientFileHoldsTheDataBeforeAndTheUpdatedDataAfter) {
  Open();
  engine::CommandFile cmf;
  ErrorText err;
  ASSERT_TRUE(engine::ReadCommandFile(JoinPath(Run().folder, "sim1.cmf"), cmf, err)) << err;
  const mrk::Model& model = explorer.Model();
  ModelValues before, after;
  for (std::size_t s = 0; s < model.sets.size(); ++s) {
    before.setElements.push_back(explorer.SetElements(static_cast<int>(s)));
  }
  before.IndexElements();
  after = before;
  after.IndexElements();
  std::vector<std::shared_ptr<const THeadRecz>> heads;
  for (std::size_t c = 0; c < model.coefficients.size(); ++c) {
    std::shared_ptr<const THeadRecz> head;
    ASSERT_TRUE(explorer.CoefficientHeader(static_cast<int>(c), head, err)) << err;
    heads.push_back(head);
    ASSERT_EQ(static_cast<std::int64_t>(head->doubles.size()), head->values.Count()) << "kept as stored";
    before.coefficients.push_back(head->doubles.data());
    after.coefficients.push_back(head->doubles.data() + head->doubles.size() / 2);
  }
  before.variables.assign(model.variables.size(), nullptr);
  after.variables = before.variables;

  int updatedSeen = 0;
  for (std::size_t c = 0; c < model.coefficients.size(); ++c) {
    const mrk::Coefficient& coef = model.coefficients[c];
    const THeadRecz& head = *heads[c];
    const std::vector<std::int64_t> sizes = Sizes(explorer, coef.sets);
    const std::int64_t n = Count(sizes);
    ASSERT_EQ(head.values.Count(), 2 * n) << coef.name;
    EXPECT_EQ(head.dimLabels[coef.sets.size()], "SIMULATION") << coef.name;
    const float* valuesBefore = head.values.Data();
    const float* valuesAfter = valuesBefore + n;
    if (coef.source == mrk::Source::Read) {
      const std::string& logical = model.files[static_cast<std::size_t>(coef.file)].name;
      std::string original, updated;
      for (const engine::CmfFile& f : cmf.files) {
        original = SameText(f.logicalName, logical) ? InRun(f.path) : original;
      }
      for (const engine::CmfFile& f : cmf.updatedFiles) {
        updated = SameText(f.logicalName, logical) ? InRun(f.path) : updated;
      }
      ASSERT_FALSE(original.empty()) << logical;
      auto data = ReadHeader(original, coef.header);
      auto data1 = ReadHeader(updated.empty() ? original : updated, coef.header);
      ASSERT_TRUE(data && data1);
      ASSERT_EQ(data->values.Count(), n) << coef.name;
      bool moved = false;
      for (std::int64_t k = 0; k < n; ++k) {
        EXPECT_EQ(valuesBefore[k], data->values.Data()[k]) << coef.name << " before, value " << k;
        EXPECT_EQ(valuesAfter[k], data1->values.Data()[k]) << coef.name << " after, value " << k;
        moved = moved || valuesAfter[k] != valuesBefore[k];
      }
      updatedSeen += moved ? 1 : 0;
      continue;
    }
    // A coefficient given by a formula is that formula over the other coefficients, in each state, to the
    // last digits of the double precision the file keeps.
    const double* doublesBefore = head.doubles.data();
    const double* doublesAfter = doublesBefore + n;
    for (std::int64_t k = 0; k < n; ++k) {
      std::vector<int> slots = Positions(k, sizes);
      slots.resize(std::max(slots.size(), coef.formula.slotSets.size()), 0);
      const double b = EvaluateExpression(coef.formula, *coef.formula.expr, slots, before);
      slots = Positions(k, sizes);
      slots.resize(std::max(slots.size(), coef.formula.slotSets.size()), 0);
      const double a = EvaluateExpression(coef.formula, *coef.formula.expr, slots, after);
      EXPECT_NEAR(doublesBefore[k], b, 1e-12 * std::max(1.0, std::fabs(b)))
          << coef.name << " before, value " << k;
      EXPECT_NEAR(doublesAfter[k], a, 1e-12 * std::max(1.0, std::fabs(a)))
          << coef.name << " after, value " << k;
    }
  }
  // Both models update data the simulation moves.
  EXPECT_GE(updatedSeen, 1);
}

TEST_P(ExplorerTest, EveryEquationHoldsBeforeAndAfterForEveryElement) {
  Open();
  const mrk::Model& model = explorer.Model();
  int checked = 0;
  double worst = 0;
  for (std::size_t e = 0; e < model.equations.size(); ++e) {
    const std::vector<std::int64_t> sizes = Sizes(explorer, model.equations[e].lhs.domain);
    for (std::int64_t k = 0; k < Count(sizes); ++k) {
      EquationValues values;
      ErrorText err;
      ASSERT_TRUE(explorer.Equation(static_cast<int>(e), Positions(k, sizes), values, err)) << err;
      ASSERT_FALSE(values.terms.empty());
      EXPECT_LT(values.RelativeGap(false), 1e-5) << values.heading << " before";
      EXPECT_LT(values.RelativeGap(true), 1e-5) << values.heading << " after";
      // So the two sides moved alike, term by term added up.
      double scale = 0;
      double moveLeft = 0;
      double moveRight = 0;
      for (const EquationTerm& term : values.terms) {
        scale = std::max({scale, std::fabs(term.before), std::fabs(term.after)});
        (term.rightSide ? moveRight : moveLeft) += term.Change();
      }
      EXPECT_LE(std::fabs(moveLeft - moveRight), 2e-5 * scale) << values.heading;
      worst = std::max({worst, values.RelativeGap(false), values.RelativeGap(true)});
      ++checked;
    }
  }
  EXPECT_GT(checked, 10);
  RecordProperty("worst_relative_gap", NumberText(worst));
}

INSTANTIATE_TEST_SUITE_P(DemoModels, ExplorerTest, ::testing::Values("Minimal", "Trade"));

TEST(Explorer, TermsReadAsTheModelWritesThemWithTheChosenElements) {
  SolutionExplorer explorer;
  ErrorText err;
  ASSERT_TRUE(explorer.Open(Demo().minimal.solution, err)) << err;
  const mrk::Model& model = explorer.Model();
  const NameRef xfac = LookupName(model, "e_xfac");
  ASSERT_EQ(xfac.kind, NameKind::Equation);
  EquationValues values;
  ASSERT_TRUE(explorer.Equation(xfac.index, {0, 0}, values, err)) << err;
  EXPECT_EQ(values.heading, "E_XFAC(\"labour\",\"food\")");
  ASSERT_EQ(values.terms.size(), 2u);
  EXPECT_EQ(values.terms[0].text, "PFAC(\"labour\") * XFAC(\"labour\", \"food\")");
  EXPECT_FALSE(values.terms[0].rightSide);
  EXPECT_EQ(values.terms[1].text, "ALPHA(\"labour\", \"food\") * PCOM(\"food\") * XOUT(\"food\")");
  EXPECT_TRUE(values.terms[1].rightSide);

  // A sum over a set opens into one term per element.
  const NameRef qfac = LookupName(model, "E_QFAC");
  ASSERT_TRUE(explorer.Equation(qfac.index, {1}, values, err)) << err;
  std::vector<std::string> texts;
  for (const EquationTerm& term : values.terms) {
    texts.push_back((term.rightSide ? "R " : "L ") + term.text);
  }
  EXPECT_THAT(texts,
              ::testing::ElementsAre("L QFAC(\"capital\")", "R XFAC(\"capital\", \"food\")",
                                     "R XFAC(\"capital\", \"manuf\")", "R XFAC(\"capital\", \"services\")"));
  EXPECT_EQ(explorer.Describe(qfac), "Equation E_QFAC(FAC): Factor market");

  ASSERT_TRUE(explorer.Open(Demo().trade.solution, err)) << err;
  const NameRef pc = LookupName(explorer.Model(), "E_PC");
  ASSERT_TRUE(explorer.Equation(pc.index, {0, 1}, values, err)) << err;
  ASSERT_EQ(values.terms.size(), 4u);
  EXPECT_EQ(values.terms[0].text, "PC(\"food\", \"eu\") ^ (1 - SIGMA(\"food\"))");
  EXPECT_EQ(values.terms[3].text, "SHR(\"food\", \"asia\", \"eu\") * (PMS(\"food\", \"asia\", \"eu\") / "
                                  "TMS0(\"food\", \"asia\", \"eu\")) ^ (1 - SIGMA(\"food\"))");
  EXPECT_EQ(
      EquationText(explorer.Model(), pc.index),
      "E_PC(c in COM, d in REG): PC(c, d) ^ (1 - SIGMA(c)) = sum(s in REG, SHR(c, s, d) * (PMS(c, s, d) / "
      "TMS0(c, s, d)) ^ (1 - SIGMA(c)))");
}

TEST(Explorer, AdditiveTermsCarryTheirSigns) {
  mrk::Model model;
  std::vector<mrk::Diagnostic> errors;
  ASSERT_TRUE(
      mrk::ParseModel("model M ; set S = (a, b) ; coefficient A(i in S) = 2 ; variable change X(i in S) = 1 ;"
                      "equation E(i in S) : X(i) - (A(i) - 3) = -A(i) * -X(i) + 2 - -X(i) ^ 2 ;",
                      model, errors))
      << (errors.empty() ? "" : errors[0].message);
  const mrk::Equation& e = model.equations[0];
  const std::vector<std::string> slots = SlotNames(model, e.lhs, {"b"});
  std::vector<std::string> texts;
  for (const mrk::Expr* side : {e.lhs.expr.get(), e.rhs.get()}) {
    for (const SignedTerm& t : AdditiveTerms(*side)) {
      texts.push_back((t.negative ? "-" : "+") + ExpressionText(model, *t.expr, slots));
    }
  }
  EXPECT_THAT(texts, ::testing::ElementsAre("+X(\"b\")", "-A(\"b\")", "+3", "+-A(\"b\") * -X(\"b\")", "+2",
                                            "+X(\"b\") ^ 2"));

  // Sums open with the sets' sizes, unless they would give too many terms.
  ASSERT_TRUE(
      mrk::ParseModel("model M ; set S = (a, b) ; variable change X(i in S) = 1 ; variable change Y = 2 ;"
                      "equation E : Y = sum(i in S, X(i) - 1) + sum(i in S, sum(j in S, X(j))) ;",
                      model, errors));
  const std::vector<std::size_t> two{2};
  EXPECT_EQ(AdditiveTerms(*model.equations[0].rhs, &two).size(), 8u);
  EXPECT_EQ(AdditiveTerms(*model.equations[0].rhs, &two)[1].fixedSlots,
            (std::vector<std::pair<int, int>>{{0, 0}}));
  EXPECT_TRUE(AdditiveTerms(*model.equations[0].rhs, &two)[1].negative);
  const std::vector<std::size_t> many{kMaxOpenedTerms};
  EXPECT_EQ(AdditiveTerms(*model.equations[0].rhs, &many).size(), 2u);
}

TEST(Explorer, VariablesShowResultsAndLevelsAndSetsTheirElements) {
  SolutionExplorer explorer;
  ErrorText err;
  ASSERT_TRUE(explorer.Open(Demo().minimal.solution, err)) << err;
  const NameRef xout = LookupName(explorer.Model(), "XOUT");
  std::shared_ptr<const THeadRecz> head;
  ASSERT_TRUE(explorer.VariableHeader(xout.index, head, err)) << err;
  EXPECT_EQ(head->dimTextLabelled, "COM*RESULT");
  EXPECT_EQ((*head->elements[1])[1], "% change");
  for (int k = 1; k <= 3; ++k) {
    const float result = head->values.At(k, 1);
    const float pre = head->values.At(k, 2);
    const float post = head->values.At(k, 3);
    EXPECT_NEAR(result, 100.0 * (post / pre - 1.0), 1e-4 * std::max(1.0f, std::fabs(result)));
    EXPECT_NEAR(head->values.At(k, 4), post - pre, 1e-4 * std::fabs(pre));
  }
  const NameRef com = LookupName(explorer.Model(), "COM");
  ASSERT_TRUE(explorer.SetHeader(com.index, head, err)) << err;
  EXPECT_EQ(head->numStrings, 3);
  EXPECT_EQ(head->strings[2], "manuf");
}

TEST(Explorer, MissingSourceOrCoefficientFileIsSaidAndTheRestShown) {
  const test::DemoRun& trade = Demo().trade;
  test::TempDir dir;
  // A copy of the solution that names a model source nowhere to be found, without its coefficient file.
  std::unique_ptr<HarData> data;
  bool skipped = false;
  ErrorText err;
  ASSERT_TRUE(ReadHarFile(trade.solution, false, false, data, skipped, err)) << err;
  std::vector<HarHeader> headers;
  for (const auto& head : data->heads) {
    HarHeader h = HarHeaderFromHead(*head);
    if (TrimRight(h.name) == "MRKF") {
      h = MakeStrings("MRKF", "Model source", {"/nowhere/at/all/Trade.mrk"});
    }
    headers.push_back(std::move(h));
  }
  const std::string copy = dir.File("copy.sl4");
  ASSERT_TRUE(WriteHarFile(copy, headers, {}, err)) << err;

  SolutionExplorer explorer;
  ASSERT_TRUE(explorer.Open(copy, err)) << err;
  EXPECT_FALSE(explorer.HasSource());
  EXPECT_FALSE(explorer.HasModel());
  ASSERT_EQ(explorer.Notes().size(), 1u);
  EXPECT_EQ(explorer.Notes()[0],
            "The model source /nowhere/at/all/Trade.mrk was not found beside the model or the "
            "solution, so the model's text and its equations cannot be shown.");
  EXPECT_EQ(explorer.Solution().variables.size(), 11u);

  // The source beside the solution is found by its name; the coefficient file is still missing.
  fs::copy_file(JoinPath(Demo().programDir, "Trade/Trade.mrk"), dir.File("Trade.mrk"));
  ASSERT_TRUE(explorer.Open(copy, err)) << err;
  EXPECT_TRUE(explorer.HasModel());
  EXPECT_FALSE(explorer.HasCoefficients());
  ASSERT_EQ(explorer.Notes().size(), 1u);
  EXPECT_EQ(explorer.Notes()[0], "The coefficient file " + dir.File("copy.slc") +
                                     " is missing, so the values of coefficients and the terms of equations "
                                     "cannot be shown.");
  std::shared_ptr<const THeadRecz> head;
  EXPECT_TRUE(explorer.VariableHeader(LookupName(explorer.Model(), "QXS").index, head, err)) << err;
  EXPECT_FALSE(explorer.CoefficientHeader(LookupName(explorer.Model(), "VXMD").index, head, err));
  EquationValues values;
  err.clear();
  EXPECT_FALSE(explorer.Equation(LookupName(explorer.Model(), "E_QO").index, {0, 0}, values, err));
  EXPECT_THAT(err,
              HasSubstr("The coefficient file, which holds the values of the coefficients, is missing."));
  // An equation without coefficients can still be followed.
  EXPECT_TRUE(explorer.Equation(LookupName(explorer.Model(), "E_PMS").index, {0, 0, 0}, values, err)) << err;

  // A file that is not a solution fails with the reader's message.
  EXPECT_FALSE(explorer.Open(dir.File("Trade.mrk"), err));
}

TEST(Explorer, SourceSpansMarkKeywordsNamesCommentsAndTexts) {
  SolutionExplorer explorer;
  ErrorText err;
  ASSERT_TRUE(explorer.Open(Demo().minimal.solution, err)) << err;
  const std::string& source = explorer.SourceText();
  test::SaveFuzzSeed("suite_explorer", "minimal", source);
  std::map<std::string, int> names;
  int comments = 0;
  for (const SourceSpan& span : explorer.Spans()) {
    const std::string text = source.substr(span.begin, span.length);
    if (span.kind == SpanKind::Name) {
      EXPECT_EQ(LookupName(explorer.Model(), text).index, span.ref.index) << text;
      ++names[text];
    }
    comments += span.kind == SpanKind::Comment ? 1 : 0;
    if (text == "equation") {
      EXPECT_EQ(span.kind, SpanKind::Keyword);
    }
  }
  EXPECT_GE(names["XOUT"], 4);
  EXPECT_GE(names["E_XOUT"], 1);
  EXPECT_GE(comments, 3);
}

} // namespace
} // namespace pelorin::explore
