#include "explorer/expression_text.h"

#include "platform/strings.h"

#include <charconv>
#include <map>

namespace pelorin::explore {

namespace {

using mrk::Op;

// Binding strength: sums and differences, products and quotients, unary minus, powers, everything else.
int Precedence(const mrk::Expr& e) {
  switch (e.op) {
  case Op::Add:
  case Op::Sub:
    return 1;
  case Op::Mul:
  case Op::Div:
    return 2;
  case Op::Neg:
    return 3;
  case Op::Pow:
    return 4;
  default:
    return 5;
  }
}

class Writer {
public:
  Writer(const mrk::Model& model, const std::vector<std::string>& slots) : model_(model), slots_(slots) {}

  std::string Text(const mrk::Expr& e) const {
    switch (e.op) {
    case Op::Const:
      return NumberText(e.value);
    case Op::Coef:
    case Op::Var:
      return Reference(e);
    case Op::Neg:
      return "-" + Wrapped(*e.a, 3);
    case Op::Add:
      return Wrapped(*e.a, 1) + " + " + Wrapped(*e.b, 2);
    case Op::Sub:
      return Wrapped(*e.a, 1) + " - " + Wrapped(*e.b, 2);
    case Op::Mul:
      return Wrapped(*e.a, 2) + " * " + Wrapped(*e.b, 3);
    case Op::Div:
      return Wrapped(*e.a, 2) + " / " + Wrapped(*e.b, 3);
    case Op::Pow:
      return Wrapped(*e.a, 5) + " ^ " + Wrapped(*e.b, 3);
    case Op::Exp:
      return "exp(" + Text(*e.a) + ")";
    case Op::Ln:
      return "ln(" + Text(*e.a) + ")";
    case Op::Sqrt:
      return "sqrt(" + Text(*e.a) + ")";
    case Op::Sum:
    case Op::Prod:
      return std::string(e.op == Op::Sum ? "sum(" : "prod(") + Slot(e.slot) + " in " + SetName(e.set) + ", " +
             Text(*e.a) + ")";
    }
    return "?";
  }

private:
  std::string Wrapped(const mrk::Expr& e, int least) const {
    const std::string text = Text(e);
    return Precedence(e) >= least ? text : "(" + text + ")";
  }

  std::string Reference(const mrk::Expr& e) const {
    const bool coef = e.op == Op::Coef;
    const std::size_t count = coef ? model_.coefficients.size() : model_.variables.size();
    std::string text = e.ref >= 0 && static_cast<std::size_t>(e.ref) < count
                           ? (coef ? model_.coefficients[e.ref].name : model_.variables[e.ref].name)
                           : "?";
    if (e.args.empty()) {
      return text;
    }
    text += '(';
    for (std::size_t i = 0; i < e.args.size(); ++i) {
      if (i > 0) {
        text += ", ";
      }
      const mrk::Arg& arg = e.args[i];
      text += arg.slot >= 0 ? Slot(arg.slot) : "\"" + arg.element + "\"";
    }
    return text + ')';
  }

  std::string Slot(int slot) const {
    return slot >= 0 && static_cast<std::size_t>(slot) < slots_.size() ? slots_[slot] : "?";
  }

  std::string SetName(int set) const {
    return set >= 0 && static_cast<std::size_t>(set) < model_.sets.size() ? model_.sets[set].name : "?";
  }

  const mrk::Model& model_;
  const std::vector<std::string>& slots_;
};

} // namespace

std::string NumberText(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::vector<std::string> SlotNames(const mrk::Model& model, const mrk::Formula& formula,
                                   const std::vector<std::string>& elements) {
  std::vector<std::string> names;
  std::map<std::string, int> uses;
  for (std::size_t s = 0; s < formula.slotSets.size(); ++s) {
    if (s < elements.size() && !elements[s].empty()) {
      names.push_back("\"" + elements[s] + "\"");
      continue;
    }
    if (s < formula.slotNames.size() && !formula.slotNames[s].empty()) {
      names.push_back(formula.slotNames[s]);
      continue;
    }
    // A formula made without its index names: the set's name in lower case, numbered when it repeats.
    const int set = formula.slotSets[s];
    std::string base =
        set >= 0 && static_cast<std::size_t>(set) < model.sets.size() ? LowerCase(model.sets[set].name) : "i";
    const int n = ++uses[base];
    names.push_back(n == 1 ? base : base + std::to_string(n));
  }
  return names;
}

std::string EquationText(const mrk::Model& model, int equation) {
  if (equation < 0 || static_cast<std::size_t>(equation) >= model.equations.size()) {
    return {};
  }
  const mrk::Equation& e = model.equations[static_cast<std::size_t>(equation)];
  const std::vector<std::string> slots = SlotNames(model, e.lhs);
  std::string text = e.name;
  if (!e.lhs.domain.empty()) {
    text += "(";
    for (std::size_t d = 0; d < e.lhs.domain.size(); ++d) {
      text += (d > 0 ? ", " : "") + slots[d] + " in " +
              model.sets[static_cast<std::size_t>(e.lhs.domain[d])].name;
    }
    text += ")";
  }
  if (!e.lhs.expr || !e.rhs) {
    return text;
  }
  return text + ": " + ExpressionText(model, *e.lhs.expr, slots) + " = " +
         ExpressionText(model, *e.rhs, slots);
}

std::string ExpressionText(const mrk::Model& model, const mrk::Expr& expr,
                           const std::vector<std::string>& slotNames) {
  return Writer(model, slotNames).Text(expr);
}

} // namespace pelorin::explore
