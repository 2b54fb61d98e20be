#include "explorer/equation_terms.h"

#include "explorer/expression_text.h"
#include "platform/strings.h"

#include <cmath>
#include <limits>

namespace pelorin::explore {

namespace {

using mrk::Op;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class Evaluator {
public:
  Evaluator(const mrk::Formula& formula, const ModelValues& values) : formula_(formula), values_(values) {}

  double Eval(const mrk::Expr& e, std::vector<int>& slots) const {
    switch (e.op) {
    case Op::Const:
      return e.value;
    case Op::Coef:
    case Op::Var:
      return Reference(e, slots);
    case Op::Neg:
      return -Eval(*e.a, slots);
    case Op::Add:
      return Eval(*e.a, slots) + Eval(*e.b, slots);
    case Op::Sub:
      return Eval(*e.a, slots) - Eval(*e.b, slots);
    case Op::Mul:
      return Eval(*e.a, slots) * Eval(*e.b, slots);
    case Op::Div:
      return Eval(*e.a, slots) / Eval(*e.b, slots);
    case Op::Pow:
      return std::pow(Eval(*e.a, slots), Eval(*e.b, slots));
    case Op::Exp:
      return std::exp(Eval(*e.a, slots));
    case Op::Ln:
      return std::log(Eval(*e.a, slots));
    case Op::Sqrt:
      return std::sqrt(Eval(*e.a, slots));
    case Op::Sum:
    case Op::Prod: {
      const bool sum = e.op == Op::Sum;
      double total = sum ? 0.0 : 1.0;
      if (e.slot < 0 || static_cast<std::size_t>(e.slot) >= slots.size() || e.set < 0 ||
          static_cast<std::size_t>(e.set) >= values_.setElements.size()) {
        return kNaN;
      }
      const int size = static_cast<int>(values_.setElements[e.set].size());
      const int saved = slots[e.slot];
      for (int i = 0; i < size; ++i) {
        slots[e.slot] = i;
        const double v = Eval(*e.a, slots);
        total = sum ? total + v : total * v;
      }
      slots[e.slot] = saved;
      return total;
    }
    }
    return kNaN;
  }

private:
  // The position along an argument's set: the slot's element (found by name when the slot runs over a
  // subset), or the fixed element.
  int ArgPosition(const mrk::Arg& arg, const std::vector<int>& slots) const {
    if (arg.argSet < 0) {
      return -1;
    }
    if (arg.slot < 0) {
      return values_.ElementPosition(arg.argSet, arg.element);
    }
    if (static_cast<std::size_t>(arg.slot) >= slots.size() ||
        static_cast<std::size_t>(arg.slot) >= formula_.slotSets.size()) {
      return -1;
    }
    const int slotSet = formula_.slotSets[arg.slot];
    const int position = slots[arg.slot];
    if (slotSet == arg.argSet) {
      return position;
    }
    if (slotSet < 0 || static_cast<std::size_t>(slotSet) >= values_.setElements.size() || position < 0 ||
        static_cast<std::size_t>(position) >= values_.setElements[slotSet].size()) {
      return -1;
    }
    return values_.ElementPosition(arg.argSet, values_.setElements[slotSet][position]);
  }

  double Reference(const mrk::Expr& e, const std::vector<int>& slots) const {
    const bool coef = e.op == Op::Coef;
    const std::vector<const double*>& arrays = coef ? values_.coefficients : values_.variables;
    if (e.ref < 0 || static_cast<std::size_t>(e.ref) >= arrays.size() || arrays[e.ref] == nullptr) {
      return kNaN;
    }
    std::int64_t offset = 0;
    std::int64_t stride = 1;
    for (const mrk::Arg& arg : e.args) {
      const int position = ArgPosition(arg, slots);
      if (position < 0 || static_cast<std::size_t>(arg.argSet) >= values_.setElements.size()) {
        return kNaN;
      }
      offset += position * stride;
      stride *= static_cast<std::int64_t>(values_.setElements[arg.argSet].size());
    }
    return arrays[e.ref][offset];
  }

  const mrk::Formula& formula_;
  const ModelValues& values_;
};

// Gathers the terms; `open` turns sums into one term per element (set sizes from `sizes`).
void Collect(const mrk::Expr& e, bool negative, const std::vector<std::size_t>* sizes,
             std::vector<std::pair<int, int>>& fixed, std::vector<SignedTerm>& out) {
  if (e.op == Op::Add || e.op == Op::Sub) {
    Collect(*e.a, negative, sizes, fixed, out);
    Collect(*e.b, e.op == Op::Sub ? !negative : negative, sizes, fixed, out);
  } else if (e.op == Op::Neg) {
    Collect(*e.a, !negative, sizes, fixed, out);
  } else if (e.op == Op::Sum && sizes != nullptr && e.set >= 0 &&
             static_cast<std::size_t>(e.set) < sizes->size()) {
    for (std::size_t i = 0; i < (*sizes)[e.set]; ++i) {
      fixed.emplace_back(e.slot, static_cast<int>(i));
      Collect(*e.a, negative, sizes, fixed, out);
      fixed.pop_back();
    }
  } else {
    out.push_back({&e, negative, fixed});
  }
}

// The number of terms an expression opens into, stopping early past the limit.
std::size_t CountOpened(const mrk::Expr& e, const std::vector<std::size_t>& sizes, std::size_t limit) {
  if (e.op == Op::Add || e.op == Op::Sub) {
    const std::size_t left = CountOpened(*e.a, sizes, limit);
    return left > limit ? left : left + CountOpened(*e.b, sizes, limit);
  }
  if (e.op == Op::Neg) {
    return CountOpened(*e.a, sizes, limit);
  }
  if (e.op == Op::Sum && e.set >= 0 && static_cast<std::size_t>(e.set) < sizes.size()) {
    const std::size_t n = sizes[e.set];
    if (n == 0) {
      return 0;
    }
    const std::size_t inner = CountOpened(*e.a, sizes, limit);
    return inner > limit / n ? limit + 1 : inner * n;
  }
  return 1;
}

} // namespace

void ModelValues::IndexElements() {
  positions_.assign(setElements.size(), {});
  for (std::size_t s = 0; s < setElements.size(); ++s) {
    for (std::size_t i = 0; i < setElements[s].size(); ++i) {
      positions_[s].emplace(LowerCase(setElements[s][i]), static_cast<int>(i));
    }
  }
}

int ModelValues::ElementPosition(int set, const std::string& element) const {
  if (set < 0 || static_cast<std::size_t>(set) >= positions_.size()) {
    return -1;
  }
  const auto found = positions_[set].find(LowerCase(element));
  return found == positions_[set].end() ? -1 : found->second;
}

double EquationValues::RelativeGap(bool after) const {
  const double lhs = after ? lhsAfter : lhsBefore;
  const double rhs = after ? rhsAfter : rhsBefore;
  double scale = std::max(std::fabs(lhs), std::fabs(rhs));
  for (const EquationTerm& term : terms) {
    scale = std::max(scale, std::fabs(after ? term.after : term.before));
  }
  return scale == 0 ? 0 : std::fabs(lhs - rhs) / scale;
}

std::vector<SignedTerm> AdditiveTerms(const mrk::Expr& expr, const std::vector<std::size_t>* setSizes) {
  if (setSizes != nullptr && CountOpened(expr, *setSizes, kMaxOpenedTerms) > kMaxOpenedTerms) {
    setSizes = nullptr;
  }
  std::vector<SignedTerm> terms;
  std::vector<std::pair<int, int>> fixed;
  Collect(expr, false, setSizes, fixed, terms);
  return terms;
}

double EvaluateExpression(const mrk::Formula& formula, const mrk::Expr& expr, std::vector<int>& slots,
                          const ModelValues& values) {
  return Evaluator(formula, values).Eval(expr, slots);
}

bool EvaluateEquation(const mrk::Model& model, int e, const std::vector<int>& elements,
                      const ModelValues& before, const ModelValues& after, EquationValues& result,
                      ErrorText& errorText) {
  const char* tag = " [EvaluateEquation]";
  result = EquationValues{};
  if (e < 0 || static_cast<std::size_t>(e) >= model.equations.size()) {
    return Fail(errorText, "No such equation", tag);
  }
  const mrk::Equation& eq = model.equations[e];
  const mrk::Formula& f = eq.lhs;
  if (elements.size() != f.domain.size()) {
    return Fail(errorText, "Equation " + eq.name + " needs " + std::to_string(f.domain.size()) + " elements",
                tag);
  }
  std::vector<std::string> names;
  for (std::size_t d = 0; d < f.domain.size(); ++d) {
    const int set = f.domain[d];
    if (set < 0 || static_cast<std::size_t>(set) >= before.setElements.size() || elements[d] < 0 ||
        static_cast<std::size_t>(elements[d]) >= before.setElements[set].size()) {
      return Fail(errorText,
                  "Equation " + eq.name + ": element " + std::to_string(d + 1) + " is not in its set", tag);
    }
    names.push_back(before.setElements[set][elements[d]]);
  }
  result.heading = eq.name;
  if (!names.empty()) {
    result.heading += "(";
    for (std::size_t d = 0; d < names.size(); ++d) {
      result.heading += (d > 0 ? ",\"" : "\"") + names[d] + "\"";
    }
    result.heading += ")";
  }
  std::vector<std::size_t> sizes;
  for (const std::vector<std::string>& set : before.setElements) {
    sizes.push_back(set.size());
  }
  const std::vector<std::string> slotNames = SlotNames(model, f, names);
  std::vector<int> slots(std::max(f.slotSets.size(), elements.size()), 0);
  for (int side = 0; side < 2; ++side) {
    const mrk::Expr* expr = side == 0 ? f.expr.get() : eq.rhs.get();
    if (expr == nullptr) {
      return Fail(errorText, "Equation " + eq.name + " has no " + (side == 0 ? "left" : "right") + " side",
                  tag);
    }
    for (const SignedTerm& t : AdditiveTerms(*expr, &sizes)) {
      EquationTerm term;
      term.rightSide = side == 1;
      std::vector<std::string> termSlots = slotNames;
      for (const auto& [slot, position] : t.fixedSlots) {
        const int set =
            slot >= 0 && static_cast<std::size_t>(slot) < f.slotSets.size() ? f.slotSets[slot] : -1;
        if (set < 0 || static_cast<std::size_t>(slot) >= termSlots.size() ||
            static_cast<std::size_t>(position) >= before.setElements[set].size()) {
          return Fail(errorText, "Equation " + eq.name + " sums over an unknown set", tag);
        }
        termSlots[slot] = "\"" + before.setElements[set][position] + "\"";
      }
      const std::string text = ExpressionText(model, *t.expr, termSlots);
      term.text = t.negative ? "-" + text : text;
      for (int state = 0; state < 2; ++state) {
        std::copy(elements.begin(), elements.end(), slots.begin());
        for (const auto& [slot, position] : t.fixedSlots) {
          slots[slot] = position;
        }
        const double v = EvaluateExpression(f, *t.expr, slots, state == 0 ? before : after);
        if (!std::isfinite(v)) {
          return Fail(errorText,
                      "The term " + term.text + " of " + result.heading + " has no value " +
                          (state == 0 ? "before" : "after") + " the simulation",
                      tag);
        }
        (state == 0 ? term.before : term.after) = t.negative ? -v : v;
      }
      (side == 0 ? result.lhsBefore : result.rhsBefore) += term.before;
      (side == 0 ? result.lhsAfter : result.rhsAfter) += term.after;
      result.terms.push_back(std::move(term));
    }
  }
  return true;
}

} // namespace pelorin::explore
