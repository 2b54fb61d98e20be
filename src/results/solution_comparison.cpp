#include "results/solution_comparison.h"

#include "platform/strings.h"
#include "results/results_model.h"

#include <algorithm>
#include <map>
#include <set>

namespace pelorin {

namespace {

constexpr const char* kTag = " [BuildComparisonTable]";

// The label of value `offset` of a result: its elements' labels joined by "," (dimension 1 fastest).
std::string RowKey(const ResultHeader& h, std::int64_t offset) {
  if (h.nDim == 0) {
    return "1";
  }
  std::string key;
  for (int d = 1; d <= h.nDim; ++d) {
    const std::int64_t size = std::max<std::int64_t>(h.Size(d), 1);
    key += (d > 1 ? "," : "") + h.ElementLabel(d, offset % size + 1);
    offset /= size;
  }
  return key;
}

std::string Title(const ResultHeader& h, const std::string& name) {
  std::string text = name;
  if (h.nDim > 0) {
    text += "(";
    for (int d = 1; d <= h.nDim; ++d) {
      text += (d > 1 ? "," : "") + h.SetOrSize(d);
    }
    text += ")";
  }
  return text + (h.changeType == 'c' ? " [change]: " : " [%-change]: ") + h.CleanLongName();
}

} // namespace

std::vector<std::string> ComparableVariables(const std::vector<ComparedSimulation>& simulations, int s) {
  std::map<std::string, std::string> names; // lower-cased name -> name
  for (const ComparedSimulation& sim : simulations) {
    if (sim.model == nullptr || s < 1 || s > sim.model->Nsol()) {
      continue;
    }
    for (int pv = 1; pv <= sim.model->PlanCount(); ++pv) {
      if (sim.model->Header(pv, s) != nullptr) {
        names.emplace(LowerCase(sim.model->PV(pv).name), sim.model->PV(pv).name);
      }
    }
  }
  std::vector<std::string> sorted;
  for (const auto& [key, name] : names) {
    sorted.push_back(name);
  }
  return sorted;
}

bool BuildComparisonTable(const std::vector<ComparedSimulation>& simulations, const std::string& variable,
                          int s, int decimals, SimTab& table, std::string& title, ErrorText& errorText) {
  if (simulations.empty()) {
    return Fail(errorText, "No simulations", kTag);
  }
  const std::size_t n = simulations.size();
  // Each simulation's result, and the rows in the order they are first met.
  std::vector<const ResultHeader*> heads(n, nullptr);
  std::string name; // the variable's name as its first simulation spells it
  std::vector<std::string> rows;
  std::map<std::string, int> rowOf;
  std::vector<std::map<int, std::pair<float, std::uint8_t>>> values(n);
  for (std::size_t k = 0; k < n; ++k) {
    const ResultsModel* model = simulations[k].model;
    if (model == nullptr || s < 1 || s > model->Nsol()) {
      continue;
    }
    const int pv = model->FindPV(variable);
    const ResultHeader* h = pv > 0 ? model->Header(pv, s) : nullptr;
    if (h == nullptr || h->head == nullptr) {
      continue;
    }
    heads[k] = h;
    if (name.empty()) {
      name = model->PV(pv).name;
    }
    const std::span<const float> data = h->Values();
    for (std::int64_t offset = 0; offset < static_cast<std::int64_t>(data.size()); ++offset) {
      const std::string key = RowKey(*h, offset);
      auto [it, added] = rowOf.emplace(key, static_cast<int>(rows.size()));
      if (added) {
        rows.push_back(key);
      }
      values[k][it->second] = {data[static_cast<std::size_t>(offset)], h->Mark(offset)};
    }
  }
  const auto first =
      std::find_if(heads.begin(), heads.end(), [](const ResultHeader* h) { return h != nullptr; });
  if (first == heads.end()) {
    return Fail(errorText, "No simulation holds " + variable, kTag);
  }
  title = Title(**first, name);

  const int nrows = static_cast<int>(rows.size());
  const int ncols = static_cast<int>(2 * n - 1);
  std::vector<float> matrix(static_cast<std::size_t>(nrows) * ncols, MissingValue);
  std::vector<std::uint8_t> marks(matrix.size(), 0);
  std::vector<std::string> colLabels;
  for (std::size_t k = 0; k < n; ++k) {
    colLabels.push_back(simulations[k].label);
  }
  for (std::size_t k = 1; k < n; ++k) {
    colLabels.push_back(simulations[k].label + " - " + simulations[0].label);
  }
  for (int r = 0; r < nrows; ++r) {
    for (std::size_t k = 0; k < n; ++k) {
      const auto found = values[k].find(r);
      if (found == values[k].end()) {
        continue;
      }
      matrix[static_cast<std::size_t>(r) * ncols + k] = found->second.first;
      marks[static_cast<std::size_t>(r) * ncols + k] = found->second.second;
    }
    const float base = matrix[static_cast<std::size_t>(r) * ncols];
    for (std::size_t k = 1; k < n; ++k) {
      const float other = matrix[static_cast<std::size_t>(r) * ncols + k];
      if (base != MissingValue && other != MissingValue) {
        // In double precision: two close results keep the digits of their difference.
        matrix[static_cast<std::size_t>(r) * ncols + n - 1 + k] =
            static_cast<float>(static_cast<double>(other) - static_cast<double>(base));
      }
    }
  }
  R2TableSource source;
  source.matrix = matrix;
  source.marks = marks;
  source.colLabels = colLabels;
  source.rowLabels = rows;
  source.corner = name;
  if (!MakeSimpleR2Table(table, source, decimals, ncols, std::max(nrows, 1), errorText)) {
    return AddTag(errorText, kTag);
  }
  return true;
}

} // namespace pelorin
