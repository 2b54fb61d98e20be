#include "engine/closure.h"

#include "datafiles/record_file.h"
#include "platform/strings.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace pelorin::engine {

namespace {

std::string At(const std::string& cmfName, int line) {
  return cmfName + ":" + std::to_string(line) + ": error: ";
}

bool LineFail(ErrorText& errorText, const std::string& cmfName, int line, const std::string& message) {
  if (!errorText.empty() && errorText.back() != '\n') {
    errorText += '\n';
  }
  errorText += At(cmfName, line) + message + "\n";
  return false;
}

/// Reads the numbers of a shock file: a text data file (its first or named header), a plain list of numbers,
/// or a Header Array header.
bool ReadShockValues(const CmfShock& shock, const std::string& cmfName, std::vector<double>& values,
                     ErrorText& errorText) {
  const std::string path = ResolvePathIgnoringCase(shock.file);
  std::ifstream probe(path, std::ios::binary);
  if (!probe) {
    return LineFail(errorText, cmfName, shock.line, "cannot open shock file " + shock.file);
  }
  std::ostringstream bytes;
  bytes << probe.rdbuf();
  const std::string text = bytes.str();
  // A Header Array file starts with a record marker: a small record length, or the start byte of files whose
  // records carry variable-length markers.
  const bool har = !text.empty() && (static_cast<unsigned char>(text[0]) < 9 ||
                                     static_cast<unsigned char>(text[0]) == kLaheyStartByte);
  DataFile data;
  ErrorText inner;
  if (har || !shock.header.empty()) {
    if (!ReadDataFile(path, !har, data, inner)) {
      return LineFail(errorText, cmfName, shock.line, "cannot read shock file " + shock.file + ": " + inner);
    }
  } else {
    std::string first = Trim(text.substr(0, text.find_first_of("\n")));
    if (StartsWithText(first, "header")) {
      if (!ParseTextData(text, path, data, inner)) {
        return LineFail(errorText, cmfName, shock.line,
                        "cannot read shock file " + shock.file + ": " + inner);
      }
    } else {
      std::istringstream lines(text);
      std::string line;
      int lineNo = 0;
      while (std::getline(lines, line)) {
        ++lineNo;
        line = line.substr(0, line.find('!'));
        for (char& c : line) {
          if (c == ',' || c == ';' || c == '\r' || c == '\t') {
            c = ' ';
          }
        }
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
          char* end = nullptr;
          errno = 0;
          double v = std::strtod(word.c_str(), &end);
          if (end != word.c_str() + word.size() || errno == ERANGE || !std::isfinite(v)) {
            return LineFail(errorText, cmfName, shock.line,
                            "shock file " + shock.file + " line " + std::to_string(lineNo) + ": \"" + word +
                                "\" is not a number");
          }
          values.push_back(v);
        }
      }
      return true;
    }
  }
  if (data.order.empty()) {
    return LineFail(errorText, cmfName, shock.line, "shock file " + shock.file + " holds no data");
  }
  const std::string header = shock.header.empty() ? data.order.front() : shock.header;
  auto it = data.arrays.find(header);
  if (it == data.arrays.end() || it->second.isStrings) {
    return LineFail(errorText, cmfName, shock.line,
                    "shock file " + shock.file + " has no real header \"" + header + "\"");
  }
  values = it->second.values;
  return true;
}

} // namespace

bool ApplyExtraSets(const CommandFile& cmf, ModelRuntime& runtime, ErrorText& errorText) {
  bool ok = true;
  for (const CmfXSet& x : cmf.xsets) {
    RtSet set;
    set.name = x.name;
    set.label = x.label.empty() ? x.name : x.label;
    set.elements = x.elements;
    ErrorText inner;
    if (!runtime.AddSet(set, inner)) {
      ok = LineFail(errorText, cmf.fileName, x.line, "xset " + x.name + ": " + inner);
    }
  }
  for (const CmfXSubset& x : cmf.xsubsets) {
    int small = runtime.FindSet(x.small);
    int big = runtime.FindSet(x.big);
    if (small < 0 || big < 0) {
      ok = LineFail(errorText, cmf.fileName, x.line,
                    "xsubset: " + (small < 0 ? x.small : x.big) + " is not a set");
    } else if (!runtime.IsSubset(small, big)) {
      ok = LineFail(errorText, cmf.fileName, x.line,
                    "xsubset: set " + x.small + " is not a subset of " + x.big);
    }
  }
  return ok;
}

bool SpecComponents(const CmfVarSpec& varRef, ModelRuntime& runtime, const std::string& cmfName,
                    std::vector<std::int64_t>& components, ErrorText& errorText) {
  components.clear();
  const int v = runtime.Model().FindVariable(varRef.name);
  if (v < 0) {
    return LineFail(errorText, cmfName, varRef.line,
                    "\"" + varRef.name + "\" is not a variable of the model");
  }
  const mrk::Variable& var = runtime.Model().variables[v];
  const std::int64_t offset = runtime.VarOffset(v);
  const std::int64_t size = runtime.VarSize(v);
  if (varRef.hasArgs) {
    if (varRef.args.size() != var.sets.size()) {
      return LineFail(errorText, cmfName, varRef.line,
                      "variable " + var.name + " has " + std::to_string(var.sets.size()) + " arguments but " +
                          std::to_string(varRef.args.size()) + " are given");
    }
    std::vector<std::vector<int>> choices;
    for (std::size_t k = 0; k < varRef.args.size(); ++k) {
      const CmfArgument& a = varRef.args[k];
      const int argSet = var.sets[k];
      const RtSet& full = runtime.Sets()[argSet];
      std::vector<int> positions;
      const int asSet = a.quoted ? -1 : runtime.FindSet(a.text);
      if (asSet >= 0) {
        if (!runtime.IsSubset(asSet, argSet)) {
          return LineFail(errorText, cmfName, varRef.line,
                          "set " + a.text + " is not a subset of " + full.name + ", the set of argument " +
                              std::to_string(k + 1) + " of " + var.name);
        }
        positions = runtime.SubsetMap(asSet, argSet);
      } else {
        for (std::size_t i = 0; i < full.elements.size(); ++i) {
          if (SameText(full.elements[i], a.text)) {
            positions.push_back(static_cast<int>(i));
          }
        }
        if (positions.empty()) {
          return LineFail(errorText, cmfName, varRef.line,
                          "\"" + a.text + "\" is not an element of set " + full.name + " (argument " +
                              std::to_string(k + 1) + " of " + var.name + ")");
        }
      }
      choices.push_back(std::move(positions));
    }
    // Every combination, dimension 1 fastest.
    std::vector<std::size_t> at(choices.size(), 0);
    while (true) {
      std::int64_t index = 0;
      std::int64_t mult = 1;
      for (std::size_t k = 0; k < choices.size(); ++k) {
        index += choices[k][at[k]] * mult;
        mult *= runtime.SetSize(var.sets[k]);
      }
      components.push_back(offset + index);
      std::size_t k = 0;
      while (k < choices.size() && ++at[k] == choices[k].size()) {
        at[k] = 0;
        ++k;
      }
      if (k == choices.size()) {
        break;
      }
    }
  } else if (!varRef.components.empty()) {
    for (const auto& [first, last] : varRef.components) {
      if (first < 1 || last < first || last > size) {
        return LineFail(errorText, cmfName, varRef.line,
                        "component range " + std::to_string(first) + "-" + std::to_string(last) + " of " +
                            var.name + " is out of range (it has " + std::to_string(size) + " components)");
      }
      for (long c = first; c <= last; ++c) {
        components.push_back(offset + c - 1);
      }
    }
  } else {
    for (std::int64_t c = 0; c < size; ++c) {
      components.push_back(offset + c);
    }
  }
  return true;
}

bool BuildClosure(const CommandFile& cmf, ModelRuntime& runtime, Simulation& sim, ErrorText& errorText) {
  const std::int64_t n = runtime.NumComponents();
  std::vector<std::int8_t> status(static_cast<std::size_t>(n), -1);
  std::vector<int> setAt(static_cast<std::size_t>(n), 0);
  bool ok = true;
  bool any = false;
  std::vector<std::int64_t> comps;
  for (const CmfClosure& c : cmf.closure) {
    if (c.kind == CmfClosure::Kind::Swap) {
      continue;
    }
    any = true;
    if (c.kind == CmfClosure::Kind::Rest) {
      for (std::int64_t k = 0; k < n; ++k) {
        if (status[k] < 0) {
          status[k] = c.restExogenous ? 1 : 0;
          setAt[k] = c.line;
        }
      }
      continue;
    }
    const std::int8_t want = c.kind == CmfClosure::Kind::Exogenous ? 1 : 0;
    for (const CmfVarSpec& varRef : c.vars) {
      if (!SpecComponents(varRef, runtime, cmf.fileName, comps, errorText)) {
        ok = false;
        continue;
      }
      for (std::int64_t k : comps) {
        if (status[k] >= 0 && status[k] != want) {
          ok =
              LineFail(errorText, cmf.fileName, c.line,
                       runtime.ComponentName(k) + " was already made " +
                           (status[k] ? "exogenous" : "endogenous") + " at line " + std::to_string(setAt[k]));
          break;
        }
        status[k] = want;
        setAt[k] = c.line;
      }
    }
  }
  if (!any) {
    return LineFail(errorText, cmf.fileName, 1,
                    "the command file has no closure (exogenous, endogenous, rest)");
  }
  if (!ok) {
    return false;
  }
  std::int64_t unassigned = 0;
  std::int64_t first = -1;
  for (std::int64_t k = 0; k < n; ++k) {
    if (status[k] < 0) {
      ++unassigned;
      first = first < 0 ? k : first;
    }
  }
  if (unassigned > 0) {
    return LineFail(errorText, cmf.fileName, cmf.closure.back().line,
                    "the closure leaves " + std::to_string(unassigned) +
                        " variable components neither exogenous nor endogenous, the first is " +
                        runtime.ComponentName(first) + " (add \"rest endogenous ;\"?)");
  }
  std::vector<std::int64_t> left, right;
  for (const CmfClosure& c : cmf.closure) {
    if (c.kind != CmfClosure::Kind::Swap) {
      continue;
    }
    left.clear();
    right.clear();
    bool sidesOk = true;
    for (const CmfVarSpec& varRef : c.vars) {
      sidesOk = SpecComponents(varRef, runtime, cmf.fileName, comps, errorText) && sidesOk;
      left.insert(left.end(), comps.begin(), comps.end());
    }
    for (const CmfVarSpec& varRef : c.swapWith) {
      sidesOk = SpecComponents(varRef, runtime, cmf.fileName, comps, errorText) && sidesOk;
      right.insert(right.end(), comps.begin(), comps.end());
    }
    if (!sidesOk) {
      ok = false;
      continue;
    }
    if (left.size() != right.size()) {
      ok = LineFail(errorText, cmf.fileName, c.line,
                    "swap: the left side has " + std::to_string(left.size()) +
                        " components but the right side " + std::to_string(right.size()));
      continue;
    }
    const std::int8_t leftStatus = status[left.front()];
    bool mixed = false;
    for (std::int64_t k : left) {
      mixed = mixed || status[k] != leftStatus;
    }
    for (std::int64_t k : right) {
      mixed = mixed || status[k] == leftStatus;
    }
    if (mixed) {
      ok = LineFail(
          errorText, cmf.fileName, c.line,
          "swap: every component on one side must be exogenous and every one on the other endogenous");
      continue;
    }
    for (std::int64_t k : left) {
      status[k] = static_cast<std::int8_t>(1 - leftStatus);
    }
    for (std::int64_t k : right) {
      status[k] = leftStatus;
    }
  }
  if (!ok) {
    return false;
  }
  sim.exogenous.assign(status.begin(), status.end());
  return true;
}

bool BuildShocks(const CommandFile& cmf, ModelRuntime& runtime, Simulation& sim, ErrorText& errorText) {
  const std::int64_t n = runtime.NumComponents();
  sim.delta.assign(static_cast<std::size_t>(n), 0.0);
  sim.shocks.clear();
  std::vector<int> shockedAt(static_cast<std::size_t>(n), 0);
  const std::vector<double>& x0 = runtime.InitialLevels();
  const std::vector<std::uint8_t>& percent = runtime.PercentComponents();
  bool ok = true;
  std::vector<std::int64_t> comps;
  for (const CmfShock& s : cmf.shocks) {
    if (!SpecComponents(s.target, runtime, cmf.fileName, comps, errorText)) {
      ok = false;
      continue;
    }
    std::vector<double> values;
    if (s.source == CmfShock::Source::Uniform) {
      values.assign(comps.size(), s.values[0]);
    } else if (s.source == CmfShock::Source::Values) {
      values = s.values;
    } else {
      if (!ReadShockValues(s, cmf.fileName, values, errorText)) {
        ok = false;
        continue;
      }
      if (s.select) {
        const int v = runtime.VariableOf(comps.front());
        if (static_cast<std::int64_t>(values.size()) != runtime.VarSize(v)) {
          ok = LineFail(errorText, cmf.fileName, s.line,
                        "shock file " + s.file + " holds " + std::to_string(values.size()) + " values but " +
                            s.target.name + " has " + std::to_string(runtime.VarSize(v)) + " components");
          continue;
        }
        std::vector<double> picked;
        for (std::int64_t k : comps) {
          picked.push_back(values[static_cast<std::size_t>(k - runtime.VarOffset(v))]);
        }
        values = std::move(picked);
      }
    }
    if (values.size() != comps.size()) {
      ok = LineFail(errorText, cmf.fileName, s.line,
                    std::to_string(values.size()) + " shock value" + (values.size() == 1 ? "" : "s") +
                        " for " + std::to_string(comps.size()) + " components of " + s.target.name +
                        (values.size() == 1 ? " (write \"uniform\" to give all of them one value)" : ""));
      continue;
    }
    for (std::size_t i = 0; i < comps.size(); ++i) {
      const std::int64_t k = comps[i];
      if (!sim.exogenous[k]) {
        ok = LineFail(errorText, cmf.fileName, s.line,
                      runtime.ComponentName(k) + " is endogenous and cannot be shocked");
        break;
      }
      if (shockedAt[k] != 0) {
        ok = LineFail(errorText, cmf.fileName, s.line,
                      runtime.ComponentName(k) + " is already shocked at line " +
                          std::to_string(shockedAt[k]));
        break;
      }
      const double x = x0[k];
      const double value = values[i];
      double delta = 0.0;
      std::string bad;
      const bool pct = percent[k] != 0;
      switch (s.kind) {
      case CmfShock::Kind::Shock:
        if (pct) {
          if (!(value > -100.0)) {
            bad = "a percentage change of " + std::to_string(value) + " would make the level non-positive";
          } else {
            delta = std::log1p(value / 100.0);
          }
        } else {
          delta = value;
        }
        break;
      case CmfShock::Kind::Change:
        if (pct) {
          if (!(x + value > 0.0)) {
            bad = "a change of " + std::to_string(value) + " would make the level non-positive";
          } else {
            delta = std::log((x + value) / x);
          }
        } else {
          delta = value;
        }
        break;
      case CmfShock::Kind::PercentChange:
        if (pct) {
          if (!(value > -100.0)) {
            bad = "a percentage change of " + std::to_string(value) + " would make the level non-positive";
          } else {
            delta = std::log1p(value / 100.0);
          }
        } else {
          delta = x * value / 100.0;
        }
        break;
      case CmfShock::Kind::FinalLevel:
        if (pct) {
          if (!(value > 0.0)) {
            bad = "a percentage-change variable needs a positive final level";
          } else {
            delta = std::log(value / x);
          }
        } else {
          delta = value - x;
        }
        break;
      }
      if (!bad.empty() || !std::isfinite(delta)) {
        ok = LineFail(errorText, cmf.fileName, s.line,
                      runtime.ComponentName(k) + ": " +
                          (bad.empty() ? "the shock is not a finite number" : bad));
        break;
      }
      shockedAt[k] = s.line;
      sim.delta[k] = delta;
      sim.shocks.push_back({k, static_cast<int>(s.kind), value, delta});
    }
  }
  sim.subtotals.clear();
  for (const CmfSubtotal& st : cmf.subtotals) {
    SubtotalGroup group;
    group.description = st.description;
    std::vector<std::uint8_t> in(static_cast<std::size_t>(n), 0);
    for (const CmfVarSpec& varRef : st.vars) {
      if (!SpecComponents(varRef, runtime, cmf.fileName, comps, errorText)) {
        ok = false;
        continue;
      }
      for (std::int64_t k : comps) {
        in[k] = 1;
      }
    }
    for (const ShockRecord& r : sim.shocks) {
      if (in[r.component]) {
        group.deltas.emplace_back(r.component, r.delta);
      }
    }
    sim.subtotals.push_back(std::move(group));
  }
  return ok;
}

} // namespace pelorin::engine
