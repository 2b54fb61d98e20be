#pragma once

// An equation of a model, looked at for one element of its domain: each additive term of either side with its
// value before and after the simulation, so a modeller sees which terms moved a result. The values come from
// outside (the coefficient file and the solution's levels), one state at a time.

#include "mrklang/model.h"
#include "platform/error_text.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace pelorin::explore {

/// The values a model's formulas read in one state (before or after the simulation). Arrays are laid out over
/// the sets of their coefficient or variable, dimension 1 fastest; sets are numbered as the model numbers
/// them.
struct ModelValues {
  std::vector<std::vector<std::string>> setElements; ///< the elements of every set of the model
  std::vector<const double*> coefficients;           ///< per coefficient (null: not known)
  std::vector<const double*> variables;              ///< per variable: its levels (null: not known)

  /// Builds the element lookup; call once the set elements are in place.
  void IndexElements();
  /// The position of an element in a set (case ignored), -1 when it is not there.
  int ElementPosition(int set, const std::string& element) const;

private:
  std::vector<std::unordered_map<std::string, int>> positions_;
};

/// One additive term of one side of an equation.
struct EquationTerm {
  bool rightSide = false;
  std::string text; ///< the term with the chosen elements in place of the domain's indexes, its sign first
  double before = 0;
  double after = 0;
  double Change() const { return after - before; }
};

/// An equation for one element: its terms and the sums of its two sides in both states.
struct EquationValues {
  std::string heading; ///< the equation's name with the chosen elements, e.g. E_X("food","usa")
  std::vector<EquationTerm> terms;
  double lhsBefore = 0;
  double rhsBefore = 0;
  double lhsAfter = 0;
  double rhsAfter = 0;

  /// The difference of the two sides relative to the largest of the sides and terms (0 when all are 0).
  double RelativeGap(bool after) const;
};

/// Most terms one side of an equation is opened into; a side whose sums would give more keeps them whole.
inline constexpr std::size_t kMaxOpenedTerms = 60;

/// One additive term of an expression: an operand of its outermost sums and differences (through unary minus
/// and, when opened, through sums over sets), with the sign it carries and the slots an opened sum fixed.
struct SignedTerm {
  const mrk::Expr* expr = nullptr;
  bool negative = false;
  std::vector<std::pair<int, int>> fixedSlots; ///< (slot, element position) of each opened sum
};
/// The additive terms of an expression. With the sizes of the model's sets, sums over a set are opened into
/// one term per element (sum(d in REG, QXS(c, s, d)) gives QXS(c, s, "usa"), QXS(c, s, "eu"), ...) unless
/// that would make more than kMaxOpenedTerms terms.
std::vector<SignedTerm> AdditiveTerms(const mrk::Expr& expr,
                                      const std::vector<std::size_t>* setSizes = nullptr);

/// Evaluates equation `e` of `model` at the domain positions `elements` (one per domain set) in both states.
/// Fails with a message when an element, value or array is missing, or a value is not a number.
bool EvaluateEquation(const mrk::Model& model, int e, const std::vector<int>& elements,
                      const ModelValues& before, const ModelValues& after, EquationValues& result,
                      ErrorText& errorText);

/// The value of an expression with its slots at the given positions (each in its slot's set); NaN when a
/// value is missing.
double EvaluateExpression(const mrk::Formula& formula, const mrk::Expr& expr, std::vector<int>& slots,
                          const ModelValues& values);

} // namespace pelorin::explore
