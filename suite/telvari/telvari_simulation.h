#pragma once

// A simulation as the solution viewer opens it: its solution file converted afresh (into a folder of the
// viewer's own, so files beside the solution are never trusted to be of the same run) and loaded into a
// results model with every levels and subtotal solution, the Results page's logic over it, and the accuracy
// figures of its results.

#include "platform/error_text.h"
#include "praxola/solution_reader.h"
#include "results/results_model.h"
#include "results/results_page.h"
#include "results/sim_tab.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelorin::telv {

class TelvariSimulation {
public:
  explicit TelvariSimulation(UserInterface& ui);

  /// Opens a solution file: reads it, converts it into `scratchDir` (made when missing) and loads the
  /// converted files. Failures name the file and the step; suffix " [TelvariSimulation]".
  bool Open(const std::string& solutionFile, const std::string& scratchDir, ErrorText& errorText);

  const std::string& SolutionFile() const { return solutionFile_; }
  /// The file name without its extension: the simulation's label among several.
  const std::string& Label() const { return label_; }
  const conv::Solution& Solution() const { return solution_; }
  ResultsModel& Model() { return model_; }
  const ResultsModel& Model() const { return model_; }
  ResultsPage& Page() { return page_; }
  /// The figures of accuracy of every component (0..6; -1 when the method gives none), as the solution file
  /// holds them; empty when it holds none.
  const std::vector<std::int32_t>& Accuracy() const { return accuracy_; }
  /// The accuracy table: one row per variable.
  const SimTab& AccuracyTable() const { return accuracyTable_; }

private:
  UserInterface& ui_;
  std::string solutionFile_;
  std::string label_;
  conv::Solution solution_;
  ResultsModel model_;
  ResultsPage page_;
  std::vector<std::int32_t> accuracy_;
  SimTab accuracyTable_;
};

/// The accuracy table of a solution: "Variable", "Components", "Lowest", then the number of components
/// accurate to 0, 1, ..., 6 figures; one row per variable, a last row "All" over all of them. Without
/// figures (fewer than three solutions were extrapolated) one row says so.
bool BuildAccuracyTable(const conv::Solution& solution, const std::vector<std::int32_t>& figures,
                        SimTab& table, ErrorText& errorText);

} // namespace pelorin::telv
