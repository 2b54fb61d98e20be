#include "praxola/conversion.h"

#include "datafiles/har_data.h"
#include "datafiles/har_writer.h"
#include "engine/model_info.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "summaries/sli_summary.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>

namespace pelorin::conv {

namespace {

constexpr std::size_t kLongNameLength = 70;
constexpr std::size_t kMaxTextLine = 255;
/// Description lines kept from the verbal description, leaving room for the lines the results add.
constexpr std::size_t kMaxVerbalLines = 400;

/// A line the model information layout can carry: one line, at most 255 characters, not starting with "#".
std::string InfoLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n' || c == '\t') {
      c = ' ';
    }
  }
  text = TrimRight(text);
  if (!text.empty() && text[0] == '#') {
    text.insert(0, " ");
  }
  if (text.size() > kMaxTextLine) {
    text.resize(kMaxTextLine);
  }
  return text;
}

std::string MethodText(const Solution& s) {
  std::string text = s.methodName.empty() ? "unknown method" : s.methodName;
  const int solutions = s.method[1];
  if (solutions > 0) {
    text += ", steps";
    for (int i = 0; i < solutions && i < 3; ++i) {
      text += " " + std::to_string(s.method[static_cast<std::size_t>(2 + i)]);
    }
  }
  const int subintervals = s.method[5];
  text += ", " + std::to_string(subintervals) + (subintervals == 1 ? " subinterval" : " subintervals");
  if (s.method[6] != 0) {
    text += ", automatic accuracy";
  }
  return text;
}

bool Selected(const ConvertOptions& options, const SolutionVariable& var) {
  if (options.selected.empty()) {
    return true;
  }
  return std::any_of(options.selected.begin(), options.selected.end(),
                     [&](const std::string& name) { return SameText(name, var.name); });
}

/// Writes one result file: one header per selected variable, the values of each component from `value`.
template <class ValueOf>
bool WriteResultFile(const Solution& s, const std::vector<std::string>& headerNames,
                     const ConvertOptions& options, const std::string& finalPath, const std::string& contents,
                     ValueOf value, OutputSet& outputs, ErrorText& errorText) {
  std::vector<HarHeader> headers =
      BookkeepingHeaders("praxola.exe", NowText(),
                         {contents + " of solution " + ExtractFileName(s.fileName), "Model " + s.modelName});
  for (std::size_t v = 0; v < s.variables.size(); ++v) {
    const SolutionVariable& var = s.variables[v];
    if (var.size == 0 || !Selected(options, var)) {
      continue;
    }
    std::vector<HarDim> dims;
    for (int set : var.sets) {
      const SolutionSet& ss = s.sets[static_cast<std::size_t>(set)];
      dims.push_back(SetDim(ss.name, ss.elements));
    }
    if (dims.empty()) {
      dims.push_back(SizeDim(1));
    }
    std::vector<float> values(static_cast<std::size_t>(var.size));
    for (std::int64_t k = 0; k < var.size; ++k) {
      values[static_cast<std::size_t>(k)] = value(var.offset + k);
    }
    headers.push_back(MakeReals(headerNames[v], VariableLongName(var), std::move(dims), std::move(values)));
  }
  if (headers.size() > static_cast<std::size_t>(kMaxHeaders)) {
    return Fail(errorText, "error: the solution has more variables than a Header Array file can hold (" +
                               std::to_string(kMaxHeaders) + " headers); select fewer variables");
  }
  ErrorText inner;
  if (!WriteHarFile(outputs.Add(finalPath), headers, HarWriteOptions{}, inner)) {
    return Fail(errorText, "error: cannot write " + finalPath + ": " + inner);
  }
  return true;
}

std::string KindName(ShockKind kind) {
  switch (kind) {
  case ShockKind::Change:
    return "change";
  case ShockKind::PercentChange:
    return "percent_change";
  case ShockKind::FinalLevel:
    return "final_level";
  case ShockKind::Shock:
    break;
  }
  return "shock";
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.8g", value);
  return text;
}

std::string Column(std::string text, std::size_t width, bool right) {
  if (text.size() < width) {
    text =
        right ? std::string(width - text.size(), ' ') + text : text + std::string(width - text.size(), ' ');
  }
  return text;
}

} // namespace

std::vector<std::string> VariableHeaderNames(const Solution& solution) {
  const std::size_t nv = solution.variables.size();
  std::vector<std::string> names(nv);
  std::set<std::string> used;
  // A variable's header is named by its first four characters where they are free; the others get V001 ...
  for (std::size_t v = 0; v < nv; ++v) {
    const std::string candidate = UpperCase(solution.variables[v].name.substr(0, 4));
    if (candidate.rfind("XX", 0) != 0 && used.insert(candidate).second) {
      names[v] = candidate;
    }
  }
  int counter = 0;
  for (std::size_t v = 0; v < nv; ++v) {
    while (names[v].empty()) {
      char text[16];
      ++counter;
      std::snprintf(text, sizeof text, counter < 1000 ? "V%03d" : "%04X", counter);
      if (used.insert(text).second) {
        names[v] = text;
      }
    }
  }
  return names;
}

std::string VariableLongName(const SolutionVariable& variable) {
  std::string description = variable.description;
  std::replace(description.begin(), description.end(), '#', ' ');
  description = Trim(description);
  const std::size_t room = kLongNameLength - std::min(kLongNameLength, variable.name.size() + 5);
  if (description.size() > room) {
    description = TrimRight(description.substr(0, room));
  }
  return variable.name + " # " + description + " #";
}

ModelInfoDescription SolutionInfoDescription(const Solution& s, const ConvertOptions& options) {
  ModelInfoDescription d;
  d.hasFileSection = false;
  d.tmDate = s.stamp;
  for (const SolutionSet& set : s.sets) {
    d.sets.push_back({set.name, InfoLine(set.label).substr(0, kMaxTextLine - 1),
                      static_cast<int>(set.elements.size()), set.elements});
  }
  for (const SolutionVariable& var : s.variables) {
    VariableDescription vd;
    vd.name = var.name;
    vd.description = Trim(InfoLine(var.description)).substr(0, kMaxTextLine - 1);
    vd.size = static_cast<int>(var.size);
    for (int set : var.sets) {
      vd.argSets.push_back(set + 1);
    }
    vd.vcTp = var.percent ? 'p' : 'c';
    std::int64_t count = 0;
    for (std::int64_t k = 0; k < var.size; ++k) {
      const bool exo = s.exogenous[static_cast<std::size_t>(var.offset + k)] != 0;
      count += exo ? 1 : 0;
      if (exo && (k == 0 || s.exogenous[static_cast<std::size_t>(var.offset + k - 1)] == 0)) {
        vd.exogenousRanges.emplace_back(static_cast<int>(k + 1), static_cast<int>(k + 1));
      }
      if (exo) {
        vd.exogenousRanges.back().second = static_cast<int>(k + 1);
      }
    }
    vd.exoStat = count == 0 ? 'N' : (count == var.size ? 'X' : 'x');
    if (vd.exoStat != 'x') {
      vd.exogenousRanges.clear();
    }
    vd.vcStat = count > 0 ? 'c' : 'b';
    d.variables.push_back(std::move(vd));
  }
  for (const auto& [small, big] : s.subsets) {
    d.subsets.emplace_back(small + 1, big + 1);
  }
  for (std::size_t i = 0; i < s.verbalDescription.size() && i < kMaxVerbalLines; ++i) {
    d.descriptionLines.push_back(InfoLine(s.verbalDescription[i]));
  }
  d.descriptionLines.push_back(InfoLine("Model " + s.modelName + ", solved by " + MethodText(s) + "."));
  d.kvVer = engine::kSuiteVersion;
  d.prVer = 1;
  SolutionSummaryDescription summary;
  summary.cumulative = 'y';
  summary.indivRetained = 'n';
  summary.levelsPresent = 'y';
  summary.numSubtotals = static_cast<int>(s.subtotals.size());
  summary.levelsIndicator = options.levels ? '4' : 'N';
  summary.numCumulative = 1;
  summary.subtotalsMade = options.subtotals ? static_cast<int>(s.subtotals.size()) : 0;
  summary.indivColumns = 0;
  summary.levelsSolutions = options.levels ? 3 : 0;
  if (options.subtotals) {
    for (const std::string& text : s.subtotalDescriptions) {
      summary.subtotalDescriptions.push_back(InfoLine(text));
    }
  }
  d.summary = summary;
  return d;
}

bool ConvertSolution(const Solution& s, const std::string& stem, const ConvertOptions& options,
                     OutputSet& outputs, ErrorText& errorText) {
  for (const std::string& name : options.selected) {
    if (std::none_of(s.variables.begin(), s.variables.end(),
                     [&](const SolutionVariable& v) { return SameText(v.name, name); })) {
      return Fail(errorText, "error: \"" + name + "\" is not a variable of the solution " + s.fileName);
    }
  }
  const std::vector<std::string> headerNames = VariableHeaderNames(s);
  auto at = [](const std::vector<float>& values) {
    return [&values](std::int64_t k) { return values[static_cast<std::size_t>(k)]; };
  };
  if (!WriteResultFile(s, headerNames, options, stem + ".sol", "Cumulative results", at(s.cumulative),
                       outputs, errorText)) {
    return false;
  }
  if (options.levels) {
    const bool ok =
        WriteResultFile(s, headerNames, options, stem + LevelsSolFileSuffix(2), "Pre-simulation levels",
                        at(s.pre), outputs, errorText) &&
        WriteResultFile(s, headerNames, options, stem + LevelsSolFileSuffix(3), "Post-simulation levels",
                        at(s.post), outputs, errorText) &&
        WriteResultFile(
            s, headerNames, options, stem + LevelsSolFileSuffix(4), "Changes of the levels",
            [&s](std::int64_t k) { return static_cast<float>(s.LevelChange(k)); }, outputs, errorText);
    if (!ok) {
      return false;
    }
  }
  if (options.subtotals) {
    for (std::size_t i = 0; i < s.subtotals.size(); ++i) {
      const int number = static_cast<int>(i + 1);
      if (!WriteResultFile(s, headerNames, options, stem + SubtotalSolFileSuffix(number),
                           "Subtotal " + std::to_string(number), at(s.subtotals[i]), outputs, errorText)) {
        return false;
      }
    }
  }
  if (options.summary) {
    ErrorText inner;
    if (!WriteModelInfo(outputs.Add(stem + ".sli"), SolutionInfoDescription(s, options), inner)) {
      return Fail(errorText, "error: cannot write " + stem + ".sli: " + inner);
    }
  }
  return true;
}

std::string ShockListingText(const Solution& s, const SsaMap* map, const std::string& mapFile) {
  std::vector<const SolutionShock*> last(static_cast<std::size_t>(s.NumComponents()), nullptr);
  for (const SolutionShock& shock : s.shocks) {
    last[static_cast<std::size_t>(shock.component)] = &shock;
  }
  std::vector<std::int64_t> components;
  if (map != nullptr) {
    for (const SsaMapEntry& e : map->entries) {
      components.push_back(e.component);
    }
  } else {
    for (std::int64_t k = 0; k < s.NumComponents(); ++k) {
      if (last[static_cast<std::size_t>(k)] != nullptr) {
        components.push_back(k);
      }
    }
  }
  std::string text = "! Shocks of the solution " + s.fileName + " (model " + s.modelName + ")\n";
  text += map != nullptr ? "! The components of the map " + mapFile + "\n"
                         : "! Every shocked component of the solution\n";
  text += "! Applied: the result of the component (percentage change or change); levels before and after\n";
  text += "!\n";
  text += "! " + Column("Component", 38, false) + Column("Statement", 16, false) + Column("Given", 16, true) +
          Column("Applied", 16, true) + Column("Pre level", 16, true) + Column("Post level", 16, true) + "\n";
  for (std::int64_t k : components) {
    const auto i = static_cast<std::size_t>(k);
    const SolutionShock* shock = last[i];
    text += "  " + Column(s.ComponentName(k), 38, false) +
            Column(shock != nullptr ? KindName(shock->kind) : "(not shocked)", 16, false) +
            Column(shock != nullptr ? Number(shock->value) : "-", 16, true) +
            Column(Number(s.cumulative[i]), 16, true) + Column(Number(s.pre[i]), 16, true) +
            Column(Number(s.post[i]), 16, true) + "\n";
  }
  text += "! " + std::to_string(components.size()) + " components listed.\n";
  return text;
}

bool WriteTextOutput(const std::string& path, const std::string& text, OutputSet& outputs,
                     ErrorText& errorText) {
  const std::string temporary = outputs.Add(path);
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  if (!out) {
    return Fail(errorText, "error: cannot create the file " + path);
  }
  out << text;
  out.close();
  if (!out) {
    return Fail(errorText, "error: write error on the file " + path);
  }
  return true;
}

} // namespace pelorin::conv
