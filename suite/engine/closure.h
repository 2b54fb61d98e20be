#pragma once

#include "engine/command_file.h"
#include "engine/runtime.h"
#include "platform/error_text.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pelorin::engine {

/// One shocked component as the solution file records it.
struct ShockRecord {
  std::int64_t component = 0;
  int kind = 0;       ///< 0 shock, 1 change, 2 percent_change, 3 final_level (as written)
  double value = 0.0; ///< the value as written
  double delta = 0.0; ///< the move of y over the whole simulation
};

/// A subtotal: the y moves of the shocks it covers.
struct SubtotalGroup {
  std::string description;
  std::vector<std::pair<std::int64_t, double>> deltas; ///< (component, y move)
};

/// The closure and shocks of a command file, resolved against the loaded model.
struct Simulation {
  std::vector<std::uint8_t> exogenous; ///< per component
  std::vector<ShockRecord> shocks;
  std::vector<double> delta; ///< per component: the y move over the simulation (0 unless shocked)
  std::vector<SubtotalGroup> subtotals;
};

/// Adds the command file's xsets to the runtime and checks its xsubset statements.
bool ApplyExtraSets(const CommandFile& cmf, ModelRuntime& runtime, ErrorText& errorText);

/// Resolves the components a variable reference names (in component order). Messages name the command
/// file's line.
bool SpecComponents(const CmfVarSpec& varRef, ModelRuntime& runtime, const std::string& cmfName,
                    std::vector<std::int64_t>& components, ErrorText& errorText);

/// Builds the closure: exogenous, endogenous and rest in statement order, then the swaps. Every component
/// must get a status. Fails with the command file's line for every problem found.
bool BuildClosure(const CommandFile& cmf, ModelRuntime& runtime, Simulation& sim, ErrorText& errorText);

/// Resolves the shocks (only exogenous components may be shocked) and the subtotals; needs the closure.
/// `readFile` is used for "file" shocks (text or Header Array files).
bool BuildShocks(const CommandFile& cmf, ModelRuntime& runtime, Simulation& sim, ErrorText& errorText);

} // namespace pelorin::engine
