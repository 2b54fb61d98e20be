#pragma once

// The map file that prepares a solution for sensitivity analysis: which components of the solution are
// exogenous, and which of them were shocked. Plain text, lines ending in LF (a reader accepts CR LF):
//
//   PELORIN SSA MAP 1
//   ! comment lines start with "!"; blank lines are ignored
//   solution PATH          the solution file the map was made from
//   stamp TEXT             the model's time-date stamp in that solution
//   components N           the number of variable components of the solution
//   selection exogenous    every exogenous component ("shocked": only the shocked ones)
//   entries M
//   then M lines: COMPONENT VARIABLE INDEX SHOCKED [! name]
//     COMPONENT  the component's number among all components of the solution (1-based)
//     VARIABLE   the variable's name; INDEX the component's number within it (1-based)
//     SHOCKED    1 when a shock statement moved it, else 0
//
// A map only fits the solution it was made from: the stamp, the component count and every entry's variable
// and index must agree with it.

#include "platform/error_text.h"
#include "praxola/solution_reader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::conv {

struct SsaMapEntry {
  std::int64_t component = 0; ///< 0-based
  std::string variable;
  std::int64_t index = 0; ///< 0-based within the variable
  bool shocked = false;
};

struct SsaMap {
  std::string solutionFile;
  std::string stamp;
  std::int64_t components = 0;
  bool shockedOnly = false;
  std::vector<SsaMapEntry> entries;
};

/// The map of a solution: its exogenous components, or with `shockedOnly` only the shocked ones.
SsaMap MakeSsaMap(const Solution& solution, bool shockedOnly);
/// The text of a map (the solution gives each entry's name for its comment).
std::string SsaMapText(const SsaMap& map, const Solution& solution);
/// Reads a map's text; failures name the file and line.
bool ParseSsaMap(std::string_view text, const std::string& fileName, SsaMap& map, ErrorText& errorText);
/// Reads a map file.
bool ReadSsaMap(const std::string& path, SsaMap& map, ErrorText& errorText);
/// Checks that a map was made from this solution.
bool CheckSsaMap(const SsaMap& map, const std::string& mapFile, const Solution& solution,
                 ErrorText& errorText);

} // namespace pelorin::conv
