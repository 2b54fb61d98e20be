#pragma once

// Writes the files a converted simulation leaves (".sol", levels and subtotal files, ".sli") with the
// project's own writers, from a small description.

#include "datafiles/har_writer.h"
#include "modelinfo/model_info_writer.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pelorin::test {

/// One variable of a simulation.
struct SimVar {
  std::string name;
  std::vector<int> args; ///< set numbers, 1-based
  char vcTp = 'p';
  std::string description;
  std::vector<std::pair<int, int>> exogenous; ///< exogenous component ranges (first, last), 1-based
  bool onlyCumulative = false;                ///< written into the cumulative file only
};

/// Which file a value is asked for: 1 the cumulative solution, 2..4 the levels solutions, 10 + i subtotal i.
using ValueFunction = std::function<float(const SimVar& var, int file, int component)>;

/// A simulation's results, as the converter would leave them.
struct SimFiles {
  std::vector<SetDescription> sets;
  std::vector<SimVar> vars;
  std::vector<std::string> descLines{"A test simulation."};
  bool stamp = true;            ///< write "#TMDATE" in the summary
  char cumulative = 'y';        ///< "#AVAIL" first character
  bool levelsAvailable = false; ///< "#AVAIL" levels character 'y'
  int levelsShown = 3;          ///< fourth "#NSOL" value when levels are available
  bool writeLevels = true;      ///< write the three levels files when levels are available
  int subtotalsAvailable = 0;   ///< "#AVAIL" subtotal count
  int subtotalsMade = -1;       ///< second "#NSOL" value (-1: as many as available)
  std::vector<std::string> subtotalDescriptions;
  std::vector<int> skipSubtotalFiles; ///< subtotal files not to write
  ValueFunction value;                ///< default: a value made from the component, file and name length

  /// Extra headers written into the cumulative ".sol" (tests of odd files).
  std::vector<HarHeader> extraHeaders;

  /// Writes stem.sol, stem.sli and the other files into a folder; returns the ".sol" path.
  std::string Write(const std::string& folder, const std::string& stem = "sim") const;
};

/// The number of components of a variable over the sets.
int Components(const SimFiles& files, const SimVar& var);
/// The header a converter writes for a variable into a result file.
HarHeader VariableHeader(const SimFiles& files, const SimVar& var, int index, int file);
/// The set description of a set with elements.
SetDescription MakeSet(std::string name, std::vector<std::string> elements);
/// REG has 10 regions, COM 10 commodities, SRC 2 sources. Four vectors over REG, two over COM, two scalars,
/// a matrix with exogenous elements and a 3-dimensional variable; a scalar and a vector only in the
/// cumulative solution; one subtotal, "tariff".
SimFiles ViewSim();
/// The input of the loading fuzz target: the summary's length in 4 little-endian bytes, the summary, the
/// solution file.
std::string LoadFuzzInput(const std::string& sli, const std::string& sol);
/// Element names prefix1 .. prefixN.
std::vector<std::string> Names(const std::string& prefix, int n);

} // namespace pelorin::test
