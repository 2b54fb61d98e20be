#pragma once

#include "engine/closure.h"
#include "engine/command_file.h"
#include "engine/runtime.h"
#include "engine/solver.h"
#include "platform/error_text.h"

#include <string>
#include <vector>

namespace pelorin::engine {

/// Everything a finished simulation leaves for the converter and the viewers.
struct SolutionData {
  const ModelRuntime* runtime = nullptr;
  const Simulation* sim = nullptr;
  const SolveOutcome* outcome = nullptr;
  const CommandFile* cmf = nullptr;
  MethodOptions method;
  std::string stamp;
  std::string modelName;
  std::string mrkFile; ///< the model source beside the compiled model
};

/// The result of one component: cumulative percentage change (or change), levels before and after.
struct ComponentResult {
  double cumulative = 0.0;
  double pre = 0.0;
  double post = 0.0;
};

/// Results of every component, and of every subtotal (subtotals[k][component], in result units; for a
/// percentage-change component the subtotals share the cumulative result in proportion to their y moves, so
/// they add up to it exactly).
void ComputeResults(const ModelRuntime& runtime, const SolveOutcome& outcome,
                    std::vector<ComponentResult>& results, std::vector<std::vector<double>>& subtotals);

/// Writes the solution file (".sl4", a Header Array file whose headers docs/solution-file.md lists).
bool WriteSolutionFile(const std::string& path, const SolutionData& data, ErrorText& errorText);

/// Writes the extrapolation accuracy file (".xac"): per variable component, each solution's result, the
/// extrapolated result and the figures of accuracy.
bool WriteAccuracyFile(const std::string& path, const SolutionData& data, ErrorText& errorText);

} // namespace pelorin::engine
