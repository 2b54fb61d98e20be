#include "solution_files.h"

#include "platform/paths.h"
#include "summaries/sli_summary.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace pelorin::test {

namespace {

float DefaultValue(const SimVar& var, int file, int component) {
  return static_cast<float>(file * 100 + component) + static_cast<float>(var.name.size()) / 10.0f;
}

char HeaderChar(int i) {
  return static_cast<char>('A' + i % 26);
}

} // namespace

SetDescription MakeSet(std::string name, std::vector<std::string> elements) {
  SetDescription set;
  set.name = std::move(name);
  set.size = static_cast<int>(elements.size());
  set.elements = std::move(elements);
  return set;
}

SimFiles ViewSim() {
  SimFiles files;
  files.sets = {MakeSet("REG", Names("r", 10)), MakeSet("COM", Names("c", 10)),
                MakeSet("SRC", {"dom", "imp"})};
  files.vars = {{"a1", {1}, 'p', "a one", {}},         {"a2", {1}, 'p', "a two", {}},
                {"a3", {1}, 'p', "a three", {}},       {"a4", {1}, 'p', "a four", {}},
                {"b1", {2}, 'c', "b one", {}},         {"b2", {2}, 'c', "b two", {}},
                {"gdp", {}, 'p', "gdp", {}},           {"cpi", {}, 'p', "prices", {}},
                {"m", {2, 1}, 'p', "flows", {{3, 4}}}, {"t", {2, 1, 3}, 'c', "trade", {}}};
  files.subtotalsAvailable = 1;
  files.subtotalDescriptions = {"tariff"};
  files.vars.push_back({"onlyc", {}, 'p', "only here", {}, true});
  files.vars.push_back({"vonly", {1}, 'p', "vector only here", {}, true});
  return files;
}

std::string LoadFuzzInput(const std::string& sli, const std::string& sol) {
  std::string input(4, '\0');
  for (int i = 0; i < 4; ++i) {
    input[static_cast<std::size_t>(i)] = static_cast<char>((sli.size() >> (8 * i)) & 0xff);
  }
  return input + sli + sol;
}

std::vector<std::string> Names(const std::string& prefix, int n) {
  std::vector<std::string> names;
  for (int i = 1; i <= n; ++i) {
    names.push_back(prefix + std::to_string(i));
  }
  return names;
}

int Components(const SimFiles& files, const SimVar& var) {
  int n = 1;
  for (int set : var.args) {
    n *= files.sets[static_cast<std::size_t>(set - 1)].size;
  }
  return n;
}

HarHeader VariableHeader(const SimFiles& files, const SimVar& var, int index, int file) {
  std::vector<HarDim> dims;
  for (int set : var.args) {
    const SetDescription& s = files.sets[static_cast<std::size_t>(set - 1)];
    dims.push_back(SetDim(s.name, s.elements));
  }
  if (dims.empty()) {
    dims.push_back(SizeDim(1));
  }
  std::vector<float> values(static_cast<std::size_t>(Components(files, var)));
  const ValueFunction value = files.value ? files.value : DefaultValue;
  for (std::size_t c = 0; c < values.size(); ++c) {
    values[c] = value(var, file, static_cast<int>(c) + 1);
  }
  // Header names only need to be distinct within a file.
  std::string name = {'V', HeaderChar(index / 676), HeaderChar(index / 26), HeaderChar(index)};
  return MakeReals(name, var.name + " # " + var.description + " #", std::move(dims), std::move(values));
}

std::string SimFiles::Write(const std::string& folder, const std::string& stem) const {
  const std::string sol = JoinPath(folder, stem + ".sol");
  ErrorText error;
  const auto writeResults = [&](const std::string& path, int file, bool extra) {
    std::vector<HarHeader> headers = BookkeepingHeaders("praxola", "today");
    for (std::size_t i = 0; i < vars.size(); ++i) {
      if (file != 1 && vars[i].onlyCumulative) {
        continue;
      }
      headers.push_back(VariableHeader(*this, vars[i], static_cast<int>(i), file));
    }
    if (extra) {
      headers.insert(headers.end(), extraHeaders.begin(), extraHeaders.end());
    }
    EXPECT_TRUE(WriteHarFile(path, headers, {}, error)) << error;
  };
  writeResults(sol, 1, true);

  ModelInfoDescription info;
  info.hasFileSection = false;
  if (stamp) {
    info.tmDate = "Mon Jan 01 10:00:00 2024";
  }
  info.sets = sets;
  for (const SimVar& var : vars) {
    VariableDescription v;
    v.name = var.name;
    v.size = Components(*this, var);
    v.argSets = var.args;
    v.vcTp = var.vcTp;
    v.description = var.description;
    if (!var.exogenous.empty()) {
      v.exoStat = 'x';
      v.exogenousRanges = var.exogenous;
      v.vcStat = 'c';
    }
    info.variables.push_back(v);
  }
  info.descriptionLines = descLines;
  SolutionSummaryDescription summary;
  summary.cumulative = cumulative;
  summary.levelsPresent = levelsAvailable ? 'y' : 'n';
  summary.levelsIndicator = levelsAvailable ? '4' : 'N';
  summary.levelsSolutions = levelsAvailable ? levelsShown : 0;
  summary.numSubtotals = subtotalsAvailable;
  summary.subtotalsMade = subtotalsMade < 0 ? subtotalsAvailable : subtotalsMade;
  summary.subtotalDescriptions = subtotalDescriptions;
  summary.subtotalDescriptions.resize(static_cast<std::size_t>(summary.subtotalsMade), "subtotal");
  info.summary = summary;
  EXPECT_TRUE(WriteModelInfo(JoinPath(folder, stem + ".sli"), info, error)) << error;

  if (levelsAvailable && writeLevels) {
    for (int k = 2; k <= 4; ++k) {
      writeResults(ChangeFileExt(sol, LevelsSolFileSuffix(k)), k, false);
    }
  }
  for (int i = 1; i <= summary.subtotalsMade; ++i) {
    if (std::find(skipSubtotalFiles.begin(), skipSubtotalFiles.end(), i) == skipSubtotalFiles.end()) {
      writeResults(ChangeFileExt(sol, SubtotalSolFileSuffix(i)), 10 + i, false);
    }
  }
  return sol;
}

} // namespace pelorin::test
