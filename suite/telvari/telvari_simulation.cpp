#include "telvari/telvari_simulation.h"

#include "datafiles/har_data.h"
#include "platform/paths.h"
#include "praxola/conversion.h"
#include "praxola/output_set.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace pelorin::telv {

namespace {

constexpr const char* kTag = " [TelvariSimulation]";

bool ReadAccuracy(const std::string& file, std::int64_t components, std::vector<std::int32_t>& figures,
                  ErrorText& errorText) {
  figures.clear();
  std::unique_ptr<THeadRecz> head;
  if (!ReadHeaderFromHarFile(file, "ACCF", false, head, errorText)) {
    return false;
  }
  if (!head) {
    return true;
  }
  if (head->headType != "2I" || !head->intMatrix.Allocated() || head->rows * head->cols != components) {
    return Fail(errorText, "the accuracy figures (ACCF) of " + file + " do not fit its " +
                               std::to_string(components) + " components");
  }
  figures.assign(head->intMatrix.Data(), head->intMatrix.Data() + components);
  return true;
}

} // namespace

TelvariSimulation::TelvariSimulation(UserInterface& ui) : ui_(ui), model_(ui), page_(model_, ui) {}

bool TelvariSimulation::Open(const std::string& solutionFile, const std::string& scratchDir,
                             ErrorText& errorText) {
  solutionFile_ = solutionFile;
  label_ = ChangeFileExt(ExtractFileName(solutionFile), "");
  if (!conv::ReadSolution(solutionFile, solution_, errorText)) {
    return AddTag(errorText, kTag);
  }
  std::error_code ec;
  std::filesystem::create_directories(scratchDir, ec);
  const std::string stem = JoinPath(scratchDir, label_.empty() ? std::string("solution") : label_);
  conv::OutputSet outputs;
  conv::ConvertOptions options;
  if (!conv::ConvertSolution(solution_, stem, options, outputs, errorText) || !outputs.Commit(errorText)) {
    return Fail(errorText, "\r\nCannot convert the solution " + solutionFile, kTag);
  }
  page_.BuildPage();
  if (!page_.PVLoadSol(stem + ".sol", label_, stem + ".sli", true, true, errorText)) {
    return AddTag(errorText, kTag);
  }
  if (!ReadAccuracy(solutionFile, solution_.NumComponents(), accuracy_, errorText) ||
      !BuildAccuracyTable(solution_, accuracy_, accuracyTable_, errorText)) {
    return AddTag(errorText, kTag);
  }
  return true;
}

bool BuildAccuracyTable(const conv::Solution& solution, const std::vector<std::int32_t>& figures,
                        SimTab& table, ErrorText& errorText) {
  const char* tag = " [BuildAccuracyTable]";
  if (!figures.empty() && static_cast<std::int64_t>(figures.size()) != solution.NumComponents()) {
    return Fail(errorText,
                "Figures of accuracy for " + std::to_string(figures.size()) + " components, not " +
                    std::to_string(solution.NumComponents()),
                tag);
  }
  const bool known =
      !figures.empty() && std::any_of(figures.begin(), figures.end(), [](int f) { return f >= 0; });
  const int rows = known ? static_cast<int>(solution.variables.size()) + 1 : 1;
  if (!InitSimTab(table, rows, 9, errorText)) {
    return AddTag(errorText, tag);
  }
  const char* headings[] = {"Variable", "Components", "Lowest", "0", "1", "2", "3", "4", "5", "6"};
  for (int c = 0; c <= 9; ++c) {
    table.Cell(0, c) = headings[c];
  }
  if (!known) {
    table.Cell(1, 0) = "All";
    table.Cell(1, 1) = std::to_string(solution.NumComponents());
    table.Cell(1, 2) =
        "Figures of accuracy come from extrapolating three multi-step solutions; this solution "
        "has none.";
    return SetUpSimTab(table, errorText) || AddTag(errorText, tag);
  }
  std::array<std::int64_t, 7> all{};
  int lowestAll = 6;
  auto fill = [&](int row, const std::string& name, std::int64_t count, int lowest,
                  const std::array<std::int64_t, 7>& counts) {
    table.Cell(row, 0) = name;
    table.Cell(row, 1) = std::to_string(count);
    table.Cell(row, 2) = count > 0 ? std::to_string(lowest) : " ";
    for (int f = 0; f <= 6; ++f) {
      table.Cell(row, 3 + f) = std::to_string(counts[static_cast<std::size_t>(f)]);
    }
  };
  for (std::size_t v = 0; v < solution.variables.size(); ++v) {
    const conv::SolutionVariable& var = solution.variables[v];
    std::array<std::int64_t, 7> counts{};
    int lowest = 6;
    for (std::int64_t k = var.offset; k < var.offset + var.size; ++k) {
      const int f = std::clamp(figures[static_cast<std::size_t>(k)], 0, 6);
      ++counts[static_cast<std::size_t>(f)];
      ++all[static_cast<std::size_t>(f)];
      lowest = std::min(lowest, f);
    }
    lowestAll = var.size > 0 ? std::min(lowestAll, lowest) : lowestAll;
    fill(static_cast<int>(v) + 1, var.name, var.size, lowest, counts);
  }
  fill(rows, "All", solution.NumComponents(), lowestAll, all);
  return SetUpSimTab(table, errorText) || AddTag(errorText, tag);
}

} // namespace pelorin::telv
