#pragma once

// Several simulations side by side: the same variable from each, in one table, with the differences from the
// first. Elements are matched by their labels, so simulations whose sets differ line up where they agree and
// show "n.a." where they do not.

#include "platform/error_text.h"
#include "results/sim_tab.h"

#include <string>
#include <vector>

namespace pelorin {

class ResultsModel;

/// One simulation of a comparison: its open solutions and the label its columns carry.
struct ComparedSimulation {
  const ResultsModel* model = nullptr;
  std::string label;
};

/// The variables (names, sorted ignoring case) that solution `s` of any of the simulations holds.
std::vector<std::string> ComparableVariables(const std::vector<ComparedSimulation>& simulations, int s);

/// The table of variable `variable` in solution `s` (1: the cumulative solution) of every simulation: one row
/// per element (the elements' labels joined by ","), one column per simulation, then for every simulation
/// after the first its difference from the first ("sim2 - sim1"). A value a simulation does not have is
/// "n.a.", and so is a difference with it. Exogenous elements keep their marks. `title` describes the
/// variable as the Results page does. Fails with "No simulations" or "No simulation holds " + variable;
/// suffix " [BuildComparisonTable]".
bool BuildComparisonTable(const std::vector<ComparedSimulation>& simulations, const std::string& variable,
                          int s, int decimals, SimTab& table, std::string& title, ErrorText& errorText);

} // namespace pelorin
