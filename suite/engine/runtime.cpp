#include "engine/runtime.h"

#include "engine/data_labels.h"
#include "platform/strings.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace pelorin::engine {

namespace {

constexpr std::int64_t kMaxComponents = 200'000'000;

std::string Where(int line) {
  return "(model line " + std::to_string(line) + ") ";
}

} // namespace

int ModelRuntime::FindSet(const std::string& name) const {
  for (std::size_t i = 0; i < sets_.size(); ++i) {
    if (SameText(sets_[i].name, name)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool ModelRuntime::IsSubset(int small, int big) const {
  if (small == big) {
    return true;
  }
  std::unordered_map<std::string, int> index;
  for (const std::string& e : sets_[big].elements) {
    index.emplace(LowerCase(e), 0);
  }
  for (const std::string& e : sets_[small].elements) {
    if (index.count(LowerCase(e)) == 0) {
      return false;
    }
  }
  return true;
}

const std::vector<int>& ModelRuntime::SubsetMap(int small, int big) {
  auto key = std::make_pair(small, big);
  auto it = mapIndex_.find(key);
  if (it != mapIndex_.end()) {
    return maps_[it->second];
  }
  std::unordered_map<std::string, int> index;
  for (std::size_t i = 0; i < sets_[big].elements.size(); ++i) {
    index.emplace(LowerCase(sets_[big].elements[i]), static_cast<int>(i));
  }
  std::vector<int> map;
  for (const std::string& e : sets_[small].elements) {
    auto f = index.find(LowerCase(e));
    map.push_back(f == index.end() ? -1 : f->second);
  }
  maps_.push_back(std::move(map));
  mapIndex_[key] = static_cast<int>(maps_.size() - 1);
  return maps_.back();
}

bool ModelRuntime::AddSet(const RtSet& set, ErrorText& errorText) {
  if (FindSet(set.name) >= 0 || (model_ != nullptr && (model_->FindCoefficient(set.name) >= 0 ||
                                                       model_->FindVariable(set.name) >= 0))) {
    return Fail(errorText, "the name " + set.name + " is already used by the model", "");
  }
  sets_.push_back(set);
  return true;
}

std::vector<std::int64_t> ModelRuntime::DomainSizes(const std::vector<int>& domain) const {
  std::vector<std::int64_t> sizes;
  for (int s : domain) {
    sizes.push_back(SetSize(s));
  }
  return sizes;
}

bool ModelRuntime::LoadArray(int file, const std::string& header, const std::vector<int>& sets, int line,
                             const std::string& what, std::vector<double>& values,
                             ErrorText& errorText) const {
  const DataFile* data = inputs_[file];
  const std::string& fileName = inputNames_[file];
  if (data == nullptr) {
    return Fail(errorText,
                Where(line) + what + ": logical file " + model_->files[file].name + " was not read", "");
  }
  auto it = data->arrays.find(header);
  if (it == data->arrays.end()) {
    return Fail(errorText, Where(line) + what + ": header \"" + header + "\" is not in file " + fileName, "");
  }
  const DataArray& a = it->second;
  if (a.isStrings) {
    return Fail(errorText,
                Where(line) + what + ": header \"" + header + "\" of file " + fileName +
                    " holds strings, not numbers",
                "");
  }
  // Labels first: an array over other sets, or over the right sets in another order, is refused by what it
  // holds rather than by its sizes.
  std::vector<const RtSet*> labelSets;
  for (int s : sets) {
    labelSets.push_back(&sets_[static_cast<std::size_t>(s)]);
  }
  std::string problem;
  if (!DataLabelsMatch(a, labelSets, problem)) {
    return Fail(errorText,
                Where(line) + what + ": header \"" + header + "\" of file " + fileName + ", " + problem, "");
  }
  std::int64_t expected = 1;
  std::string shape;
  for (int s : sets) {
    expected *= SetSize(s);
    if (!shape.empty()) {
      shape += '*';
    }
    shape += std::to_string(SetSize(s));
  }
  // Sizes must agree dimension by dimension; trailing dimensions of size 1 do not count.
  std::vector<std::int64_t> have = a.dims;
  while (!have.empty() && have.back() == 1) {
    have.pop_back();
  }
  std::vector<std::int64_t> want;
  for (int s : sets) {
    want.push_back(SetSize(s));
  }
  while (!want.empty() && want.back() == 1) {
    want.pop_back();
  }
  if (static_cast<std::int64_t>(a.values.size()) != expected || have != want) {
    std::string got;
    for (std::int64_t d : a.dims) {
      if (!got.empty()) {
        got += '*';
      }
      got += std::to_string(d);
    }
    return Fail(errorText,
                Where(line) + what + ": header \"" + header + "\" of file " + fileName + " has size " +
                    (got.empty() ? "1" : got) + " but " + (shape.empty() ? "1" : shape) + " is needed",
                "");
  }
  values = a.values;
  return true;
}

bool ModelRuntime::Load(const mrk::Model& model, const std::vector<const DataFile*>& inputs,
                        const std::vector<std::string>& inputNames, ErrorText& errorText) {
  model_ = &model;
  inputs_ = inputs;
  inputNames_ = inputNames;
  inputs_.resize(model.files.size(), nullptr);
  inputNames_.resize(model.files.size());
  sets_.clear();
  for (const mrk::SetDecl& s : model.sets) {
    RtSet rt;
    rt.name = s.name;
    rt.label = s.label.empty() ? s.name : s.label;
    rt.fromData = s.fromData;
    if (!s.fromData) {
      rt.elements = s.elements;
    } else {
      const DataFile* data = inputs_[s.file];
      if (data == nullptr) {
        return Fail(errorText,
                    Where(s.line) + "set " + s.name + ": logical file " + model.files[s.file].name +
                        " was not read",
                    "");
      }
      auto it = data->arrays.find(s.header);
      if (it == data->arrays.end() || !it->second.isStrings) {
        return Fail(errorText,
                    Where(s.line) + "set " + s.name + ": file " + inputNames_[s.file] + " has no header \"" +
                        s.header + "\" of element names",
                    "");
      }
      std::unordered_map<std::string, int> seen;
      for (const std::string& raw : it->second.strings) {
        std::string e = Trim(raw);
        if (e.empty() || e.size() > mrk::kMaxElementName) {
          return Fail(errorText,
                      Where(s.line) + "set " + s.name + ": element name \"" + e + "\" in header \"" +
                          s.header + "\" must have 1 to 12 characters",
                      "");
        }
        if (!seen.emplace(LowerCase(e), 0).second) {
          return Fail(errorText,
                      Where(s.line) + "set " + s.name + ": element \"" + e + "\" appears twice in header \"" +
                          s.header + "\"",
                      "");
        }
        rt.elements.push_back(e);
      }
    }
    sets_.push_back(std::move(rt));
  }
  for (const mrk::SubsetDecl& d : model.subsets) {
    if (!IsSubset(d.small, d.big)) {
      return Fail(errorText,
                  Where(d.line) + "set " + sets_[d.small].name + " is declared a subset of " +
                      sets_[d.big].name + " but holds elements that are not in it",
                  "");
    }
  }

  // Coefficients and variables in declaration order (a formula may use any of the earlier ones).
  const std::size_t nc = model.coefficients.size();
  const std::size_t nv = model.variables.size();
  coefValues_.assign(nc, {});
  varFormulas_.assign(nv, {});
  varOffset_.assign(nv, 0);
  varSize_.assign(nv, 0);
  numComponents_ = 0;
  for (std::size_t v = 0; v < nv; ++v) {
    std::int64_t size = 1;
    for (int s : model.variables[v].sets) {
      size *= SetSize(s);
    }
    varOffset_[v] = numComponents_;
    varSize_[v] = size;
    numComponents_ += size;
    if (numComponents_ > kMaxComponents) {
      return Fail(errorText, "the model has more than 200,000,000 variable components", "");
    }
  }
  level0_.assign(static_cast<std::size_t>(numComponents_), 0.0);
  percent_.assign(static_cast<std::size_t>(numComponents_), 0);
  std::vector<std::pair<int, int>> order; // (order, +c+1 or -(v+1))
  for (std::size_t c = 0; c < nc; ++c) {
    order.emplace_back(model.coefficients[c].order, static_cast<int>(c) + 1);
  }
  for (std::size_t v = 0; v < nv; ++v) {
    order.emplace_back(model.variables[v].order, -static_cast<int>(v) - 1);
  }
  std::sort(order.begin(), order.end());
  for (const auto& [pos, id] : order) {
    if (id > 0) {
      const mrk::Coefficient& c = model.coefficients[id - 1];
      if (c.source == mrk::Source::Read) {
        if (!LoadArray(c.file, c.header, c.sets, c.line, "coefficient " + c.name, coefValues_[id - 1],
                       errorText)) {
          return false;
        }
      } else {
        RFormula f;
        if (!Compile(c.formula, nullptr, f, errorText)) {
          return false;
        }
        coefValues_[id - 1] = EvalOverDomain(f, level0_.data());
      }
      for (double value : coefValues_[id - 1]) {
        if (!std::isfinite(value)) {
          return Fail(errorText,
                      Where(c.line) + "coefficient " + c.name + " has a value that is not a finite number",
                      "");
        }
      }
    } else {
      const int v = -id - 1;
      const mrk::Variable& var = model.variables[v];
      std::vector<double> values;
      if (var.source == mrk::Source::Read) {
        if (!LoadArray(var.file, var.header, var.sets, var.line, "variable " + var.name, values, errorText)) {
          return false;
        }
      } else {
        RFormula& f = varFormulas_[v];
        if (!Compile(var.formula, nullptr, f, errorText)) {
          return false;
        }
        values = EvalOverDomain(f, level0_.data());
      }
      for (std::size_t k = 0; k < values.size(); ++k) {
        const std::size_t comp = static_cast<std::size_t>(varOffset_[v]) + k;
        level0_[comp] = values[k];
        percent_[comp] = var.percent ? 1 : 0;
        if (!std::isfinite(values[k])) {
          return Fail(errorText,
                      Where(var.line) + "the initial level of " +
                          ComponentName(static_cast<std::int64_t>(comp)) + " is not a finite number",
                      "");
        }
        if (var.percent && !(values[k] > 0.0)) {
          return Fail(errorText,
                      Where(var.line) + "the initial level of " +
                          ComponentName(static_cast<std::int64_t>(comp)) + " is " +
                          std::to_string(values[k]) + "; a percentage-change variable needs positive levels",
                      "");
        }
      }
    }
  }

  equations_.assign(model.equations.size(), {});
  eqOffset_.assign(model.equations.size(), 0);
  numEquations_ = 0;
  for (std::size_t e = 0; e < model.equations.size(); ++e) {
    if (!Compile(model.equations[e].lhs, model.equations[e].rhs.get(), equations_[e], errorText)) {
      return false;
    }
    std::int64_t count = 1;
    for (int s : model.equations[e].lhs.domain) {
      count *= SetSize(s);
    }
    eqOffset_[e] = numEquations_;
    numEquations_ += count;
    if (numEquations_ > kMaxComponents) {
      return Fail(errorText, "the model has more than 200,000,000 equations", "");
    }
  }
  updates_.assign(model.updates.size(), {});
  for (std::size_t u = 0; u < model.updates.size(); ++u) {
    if (!Compile(model.updates[u].value, nullptr, updates_[u], errorText)) {
      return false;
    }
  }
  return true;
}

bool ModelRuntime::Compile(const mrk::Formula& formula, const mrk::Expr* rhs, RFormula& out,
                           ErrorText& errorText) {
  out = RFormula{};
  out.slotSets = formula.slotSets;
  out.domain = formula.domain;
  bool ok = true;
  out.root = CompileNode(*formula.expr, out, errorText, ok);
  if (rhs != nullptr) {
    out.root2 = CompileNode(*rhs, out, errorText, ok);
  }
  return ok;
}

int ModelRuntime::CompileNode(const mrk::Expr& e, RFormula& out, ErrorText& errorText, bool& ok) {
  RNode n;
  n.op = e.op;
  n.value = e.value;
  n.ref = e.ref;
  n.slot = e.slot;
  n.set = e.set;
  if (e.op == mrk::Op::Coef || e.op == mrk::Op::Var) {
    n.argBegin = static_cast<int>(out.args.size());
    n.argCount = static_cast<int>(e.args.size());
    for (const mrk::Arg& a : e.args) {
      RArg r;
      if (a.slot >= 0) {
        r.slot = a.slot;
        const int from = out.slotSets[a.slot];
        if (from != a.argSet) {
          SubsetMap(from, a.argSet);
          r.map = mapIndex_[{from, a.argSet}];
        }
      } else {
        const RtSet& set = sets_[a.argSet];
        for (std::size_t i = 0; i < set.elements.size(); ++i) {
          if (SameText(set.elements[i], a.element)) {
            r.fixed = static_cast<int>(i);
          }
        }
        if (r.fixed < 0) {
          ok = Fail(errorText,
                    "(model line " + std::to_string(e.line) + ") \"" + a.element +
                        "\" is not an element of set " + set.name,
                    "") &&
               ok;
          r.fixed = 0;
          if (set.elements.empty()) {
            ok = false;
          }
        }
      }
      out.args.push_back(r);
    }
  }
  if (e.a) {
    n.a = CompileNode(*e.a, out, errorText, ok);
  }
  if (e.b) {
    n.b = CompileNode(*e.b, out, errorText, ok);
  }
  out.nodes.push_back(n);
  return static_cast<int>(out.nodes.size() - 1);
}

std::int64_t ModelRuntime::Linear(const std::vector<int>& sets, const RFormula& f, const RNode& n,
                                  const std::vector<int>& slots) const {
  std::int64_t index = 0;
  std::int64_t mult = 1;
  for (int k = 0; k < n.argCount; ++k) {
    const RArg& a = f.args[static_cast<std::size_t>(n.argBegin + k)];
    std::int64_t pos = a.fixed >= 0 ? a.fixed : slots[static_cast<std::size_t>(a.slot)];
    if (a.fixed < 0 && a.map >= 0) {
      pos = maps_[static_cast<std::size_t>(a.map)][static_cast<std::size_t>(pos)];
    }
    index += pos * mult;
    mult *= SetSize(sets[static_cast<std::size_t>(k)]);
  }
  return index;
}

double ModelRuntime::Eval(const RFormula& f, int node, std::vector<int>& slots, const double* x) const {
  const RNode& n = f.nodes[static_cast<std::size_t>(node)];
  switch (n.op) {
  case mrk::Op::Const:
    return n.value;
  case mrk::Op::Coef:
    return coefValues_[n.ref]
                      [static_cast<std::size_t>(Linear(model_->coefficients[n.ref].sets, f, n, slots))];
  case mrk::Op::Var:
    return x[varOffset_[n.ref] + Linear(model_->variables[n.ref].sets, f, n, slots)];
  case mrk::Op::Neg:
    return -Eval(f, n.a, slots, x);
  case mrk::Op::Add:
    return Eval(f, n.a, slots, x) + Eval(f, n.b, slots, x);
  case mrk::Op::Sub:
    return Eval(f, n.a, slots, x) - Eval(f, n.b, slots, x);
  case mrk::Op::Mul:
    return Eval(f, n.a, slots, x) * Eval(f, n.b, slots, x);
  case mrk::Op::Div:
    return Eval(f, n.a, slots, x) / Eval(f, n.b, slots, x);
  case mrk::Op::Pow:
    return std::pow(Eval(f, n.a, slots, x), Eval(f, n.b, slots, x));
  case mrk::Op::Exp:
    return std::exp(Eval(f, n.a, slots, x));
  case mrk::Op::Ln:
    return std::log(Eval(f, n.a, slots, x));
  case mrk::Op::Sqrt:
    return std::sqrt(Eval(f, n.a, slots, x));
  case mrk::Op::Sum:
  case mrk::Op::Prod: {
    const bool sum = n.op == mrk::Op::Sum;
    double acc = sum ? 0.0 : 1.0;
    const std::int64_t size = SetSize(n.set);
    for (std::int64_t i = 0; i < size; ++i) {
      slots[static_cast<std::size_t>(n.slot)] = static_cast<int>(i);
      const double v = Eval(f, n.a, slots, x);
      acc = sum ? acc + v : acc * v;
    }
    return acc;
  }
  }
  return 0.0;
}

std::vector<double> ModelRuntime::EvalOverDomain(const RFormula& f, const double* x) const {
  std::vector<std::int64_t> sizes = DomainSizes(f.domain);
  std::int64_t count = 1;
  for (std::int64_t s : sizes) {
    count *= s;
  }
  std::vector<double> values(static_cast<std::size_t>(count), 0.0);
  std::vector<int> slots(f.slotSets.size() + 1, 0);
  for (std::int64_t k = 0; k < count; ++k) {
    std::int64_t rest = k;
    for (std::size_t d = 0; d < sizes.size(); ++d) {
      slots[d] = static_cast<int>(rest % sizes[d]);
      rest /= sizes[d];
    }
    values[static_cast<std::size_t>(k)] = Eval(f, f.root, slots, x);
  }
  return values;
}

int ModelRuntime::VariableOf(std::int64_t component) const {
  auto it = std::upper_bound(varOffset_.begin(), varOffset_.end(), component);
  int v = static_cast<int>(it - varOffset_.begin()) - 1;
  // Variables of size 0 share an offset with the next one; step to the one that holds the component.
  while (v + 1 < NumVariables() && varOffset_[v + 1] <= component) {
    ++v;
  }
  return v;
}

std::vector<int> ModelRuntime::ComponentPositions(std::int64_t component) const {
  const int v = VariableOf(component);
  std::int64_t rest = component - varOffset_[v];
  std::vector<int> positions;
  for (int s : model_->variables[v].sets) {
    positions.push_back(static_cast<int>(rest % SetSize(s)));
    rest /= SetSize(s);
  }
  return positions;
}

std::string ModelRuntime::ComponentName(std::int64_t component) const {
  const int v = VariableOf(component);
  const mrk::Variable& var = model_->variables[v];
  std::string name = var.name;
  if (!var.sets.empty()) {
    std::vector<int> pos = ComponentPositions(component);
    name += "(";
    for (std::size_t k = 0; k < pos.size(); ++k) {
      name += (k ? ",\"" : "\"") + sets_[var.sets[k]].elements[pos[k]] + "\"";
    }
    name += ")";
  }
  return name;
}

std::string ModelRuntime::EquationName(std::int64_t equation) const {
  auto it = std::upper_bound(eqOffset_.begin(), eqOffset_.end(), equation);
  int e = static_cast<int>(it - eqOffset_.begin()) - 1;
  while (e + 1 < static_cast<int>(eqOffset_.size()) && eqOffset_[e + 1] <= equation) {
    ++e;
  }
  const mrk::Equation& eq = model_->equations[e];
  std::string name = eq.name;
  std::int64_t rest = equation - eqOffset_[e];
  if (!eq.lhs.domain.empty()) {
    name += "(";
    for (std::size_t k = 0; k < eq.lhs.domain.size(); ++k) {
      const int s = eq.lhs.domain[k];
      name += (k ? ",\"" : "\"") + sets_[s].elements[static_cast<std::size_t>(rest % SetSize(s))] + "\"";
      rest /= SetSize(s);
    }
    name += ")";
  }
  return name;
}

// ---- tapes ----

int ModelRuntime::Materialise(const Emitted& e, std::vector<TNode>& tape) const {
  if (!e.isConst) {
    return e.node;
  }
  tape.push_back({TOp::Const, 0, 0, e.c});
  return static_cast<int>(tape.size() - 1);
}

ModelRuntime::Emitted ModelRuntime::Emit(const RFormula& f, int node, std::vector<int>& slots,
                                         std::vector<TNode>& tape) const {
  const RNode& n = f.nodes[static_cast<std::size_t>(node)];
  auto unary = [&](TOp op, double (*fn)(double)) {
    Emitted a = Emit(f, n.a, slots, tape);
    if (a.isConst) {
      return Emitted{true, fn(a.c), -1};
    }
    tape.push_back({op, a.node, 0, 0.0});
    return Emitted{false, 0.0, static_cast<int>(tape.size() - 1)};
  };
  auto binary = [&](TOp op, Emitted a, Emitted b) {
    if (a.isConst && b.isConst) {
      double v = 0.0;
      switch (op) {
      case TOp::Add:
        v = a.c + b.c;
        break;
      case TOp::Sub:
        v = a.c - b.c;
        break;
      case TOp::Mul:
        v = a.c * b.c;
        break;
      case TOp::Div:
        v = a.c / b.c;
        break;
      default:
        v = std::pow(a.c, b.c);
        break;
      }
      return Emitted{true, v, -1};
    }
    // Adding zero or multiplying by one changes nothing; skip the node.
    if (op == TOp::Add && a.isConst && a.c == 0.0) {
      return b;
    }
    if ((op == TOp::Add || op == TOp::Sub) && b.isConst && b.c == 0.0) {
      return a;
    }
    if (op == TOp::Mul && a.isConst && a.c == 1.0) {
      return b;
    }
    if ((op == TOp::Mul || op == TOp::Div || op == TOp::Pow) && b.isConst && b.c == 1.0) {
      return a;
    }
    const int ia = Materialise(a, tape);
    const int ib = Materialise(b, tape);
    tape.push_back({op, ia, ib, 0.0});
    return Emitted{false, 0.0, static_cast<int>(tape.size() - 1)};
  };
  switch (n.op) {
  case mrk::Op::Const:
    return {true, n.value, -1};
  case mrk::Op::Coef:
    return {
        true,
        coefValues_[n.ref][static_cast<std::size_t>(Linear(model_->coefficients[n.ref].sets, f, n, slots))],
        -1};
  case mrk::Op::Var: {
    const std::int64_t comp = varOffset_[n.ref] + Linear(model_->variables[n.ref].sets, f, n, slots);
    tape.push_back({TOp::Var, static_cast<std::int32_t>(comp), 0, 0.0});
    return {false, 0.0, static_cast<int>(tape.size() - 1)};
  }
  case mrk::Op::Neg:
    return unary(TOp::Neg, [](double v) { return -v; });
  case mrk::Op::Exp:
    return unary(TOp::Exp, [](double v) { return std::exp(v); });
  case mrk::Op::Ln:
    return unary(TOp::Ln, [](double v) { return std::log(v); });
  case mrk::Op::Sqrt:
    return unary(TOp::Sqrt, [](double v) { return std::sqrt(v); });
  case mrk::Op::Add:
  case mrk::Op::Sub:
  case mrk::Op::Mul:
  case mrk::Op::Div:
  case mrk::Op::Pow: {
    Emitted a = Emit(f, n.a, slots, tape);
    Emitted b = Emit(f, n.b, slots, tape);
    const TOp op = n.op == mrk::Op::Add   ? TOp::Add
                   : n.op == mrk::Op::Sub ? TOp::Sub
                   : n.op == mrk::Op::Mul ? TOp::Mul
                   : n.op == mrk::Op::Div ? TOp::Div
                                          : TOp::Pow;
    return binary(op, a, b);
  }
  case mrk::Op::Sum:
  case mrk::Op::Prod: {
    const bool sum = n.op == mrk::Op::Sum;
    Emitted acc{true, sum ? 0.0 : 1.0, -1};
    const std::int64_t size = SetSize(n.set);
    for (std::int64_t i = 0; i < size; ++i) {
      slots[static_cast<std::size_t>(n.slot)] = static_cast<int>(i);
      Emitted term = Emit(f, n.a, slots, tape);
      acc = binary(sum ? TOp::Add : TOp::Mul, acc, term);
    }
    return acc;
  }
  }
  return {true, 0.0, -1};
}

bool ModelRuntime::BuildTapes(ErrorText& errorText) {
  tape_.clear();
  tapeStart_.clear();
  rowStart_.assign(1, 0);
  cols_.clear();
  defined_.clear();
  maxTape_ = 0;
  std::vector<TNode> tape;
  std::vector<std::int32_t> rowCols;
  for (std::size_t e = 0; e < equations_.size(); ++e) {
    const RFormula& f = equations_[e];
    std::vector<std::int64_t> sizes = DomainSizes(f.domain);
    std::int64_t count = 1;
    for (std::int64_t s : sizes) {
      count *= s;
    }
    std::vector<int> slots(f.slotSets.size() + 1, 0);
    for (std::int64_t k = 0; k < count; ++k) {
      std::int64_t rest = k;
      for (std::size_t d = 0; d < sizes.size(); ++d) {
        slots[d] = static_cast<int>(rest % sizes[d]);
        rest /= sizes[d];
      }
      tape.clear();
      Emitted lhs = Emit(f, f.root, slots, tape);
      int ia = Materialise(lhs, tape);
      Emitted rhs = Emit(f, f.root2, slots, tape);
      int ib = Materialise(rhs, tape);
      tape.push_back({TOp::Sub, ia, ib, 0.0});
      // The row's pattern: its distinct components, sorted; Var nodes learn their entry.
      rowCols.clear();
      const std::int32_t lhsComponent = tape[ia].op == TOp::Var ? tape[ia].a : -1;
      int lhsUses = 0;
      for (const TNode& t : tape) {
        if (t.op == TOp::Var) {
          rowCols.push_back(t.a);
          lhsUses += t.a == lhsComponent ? 1 : 0;
        }
      }
      defined_.push_back(lhsUses == 1 ? lhsComponent : -1);
      std::sort(rowCols.begin(), rowCols.end());
      rowCols.erase(std::unique(rowCols.begin(), rowCols.end()), rowCols.end());
      const std::int64_t base = static_cast<std::int64_t>(cols_.size());
      for (TNode& t : tape) {
        if (t.op == TOp::Var) {
          t.b = static_cast<std::int32_t>(std::lower_bound(rowCols.begin(), rowCols.end(), t.a) -
                                          rowCols.begin());
        }
      }
      cols_.insert(cols_.end(), rowCols.begin(), rowCols.end());
      rowStart_.push_back(static_cast<std::int64_t>(cols_.size()));
      tapeStart_.push_back(static_cast<std::int64_t>(tape_.size()));
      tape_.insert(tape_.end(), tape.begin(), tape.end());
      maxTape_ = std::max(maxTape_, tape.size());
      (void)base;
      if (tape_.size() > 2'000'000'000ULL) {
        return Fail(errorText, "the model's equations are too large to evaluate", "");
      }
    }
  }
  tapeStart_.push_back(static_cast<std::int64_t>(tape_.size()));
  return true;
}

void ModelRuntime::Evaluate(const double* x, double* residual, double* scale, double* jacobian) const {
  std::vector<double> v(maxTape_ + 1);
  std::vector<double> adj(maxTape_ + 1);
  const std::int64_t n = static_cast<std::int64_t>(tapeStart_.size()) - 1;
  for (std::int64_t row = 0; row < n; ++row) {
    const TNode* t = tape_.data() + tapeStart_[row];
    const std::int64_t len = tapeStart_[row + 1] - tapeStart_[row];
    for (std::int64_t i = 0; i < len; ++i) {
      const TNode& node = t[i];
      double r = 0.0;
      switch (node.op) {
      case TOp::Const:
        r = node.c;
        break;
      case TOp::Var:
        r = x[node.a];
        break;
      case TOp::Neg:
        r = -v[node.a];
        break;
      case TOp::Add:
        r = v[node.a] + v[node.b];
        break;
      case TOp::Sub:
        r = v[node.a] - v[node.b];
        break;
      case TOp::Mul:
        r = v[node.a] * v[node.b];
        break;
      case TOp::Div:
        r = v[node.a] / v[node.b];
        break;
      case TOp::Pow:
        r = std::pow(v[node.a], v[node.b]);
        break;
      case TOp::Exp:
        r = std::exp(v[node.a]);
        break;
      case TOp::Ln:
        r = std::log(v[node.a]);
        break;
      case TOp::Sqrt:
        r = std::sqrt(v[node.a]);
        break;
      }
      v[i] = r;
      adj[i] = 0.0;
    }
    const TNode& last = t[len - 1];
    residual[row] = v[len - 1];
    if (scale != nullptr) {
      scale[row] = std::max(std::fabs(v[last.a]), std::fabs(v[last.b]));
    }
    if (jacobian == nullptr) {
      continue;
    }
    double* jrow = jacobian + rowStart_[row];
    std::fill(jrow, jacobian + rowStart_[row + 1], 0.0);
    adj[len - 1] = 1.0;
    for (std::int64_t i = len - 1; i >= 0; --i) {
      const double g = adj[i];
      if (g == 0.0) {
        continue;
      }
      const TNode& node = t[i];
      switch (node.op) {
      case TOp::Const:
        break;
      case TOp::Var:
        jrow[node.b] += g * (percent_[static_cast<std::size_t>(node.a)] ? x[node.a] : 1.0);
        break;
      case TOp::Neg:
        adj[node.a] -= g;
        break;
      case TOp::Add:
        adj[node.a] += g;
        adj[node.b] += g;
        break;
      case TOp::Sub:
        adj[node.a] += g;
        adj[node.b] -= g;
        break;
      case TOp::Mul:
        adj[node.a] += g * v[node.b];
        adj[node.b] += g * v[node.a];
        break;
      case TOp::Div:
        adj[node.a] += g / v[node.b];
        adj[node.b] -= g * v[i] / v[node.b];
        break;
      case TOp::Pow: {
        const double base = v[node.a];
        const double expo = v[node.b];
        adj[node.a] += g * expo * std::pow(base, expo - 1.0);
        if (t[node.b].op != TOp::Const && base > 0.0) {
          adj[node.b] += g * v[i] * std::log(base);
        }
        break;
      }
      case TOp::Exp:
        adj[node.a] += g * v[i];
        break;
      case TOp::Ln:
        adj[node.a] += g / v[node.a];
        break;
      case TOp::Sqrt:
        adj[node.a] += g * 0.5 / v[i];
        break;
      }
    }
  }
}

} // namespace pelorin::engine
