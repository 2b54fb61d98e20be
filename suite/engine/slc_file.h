#pragma once

// The coefficient file ("SOLUTION.slc") the engine writes beside a solution: every coefficient of the model
// before the simulation (computed from the input data) and after it (computed from the updated data, as a
// post-simulation run computes them), so the model explorer can show what moved. docs/solution-file.md
// describes its headers.

#include "engine/data_io.h"
#include "engine/runtime.h"
#include "platform/error_text.h"

#include <string>
#include <vector>

namespace pelorin::engine {

/// The name and elements of the dimension that tells the values before from those after.
inline constexpr char kSlcStateSet[] = "SIMULATION";
inline constexpr char kSlcBefore[] = "before";
inline constexpr char kSlcAfter[] = "after";
/// The format identification of the file's "SLFM" header.
inline constexpr char kSlcFormat[] = "PELORIN COEFFICIENTS 1";

/// What the coefficient file records besides the values.
struct CoefficientFileInfo {
  std::string stamp;        ///< the model's time-date stamp
  std::string modelName;    ///< the model's name
  std::string mrkFile;      ///< the model source beside the compiled model
  std::string solutionFile; ///< the solution file the coefficients belong to
  std::string program;      ///< the program that writes it (bookkeeping headers)
};

/// The 4-character header names of the coefficients' headers: the name's first four characters upper-cased
/// where they are free, else made unique with digits; never a bookkeeping ("XX") or directory name.
std::vector<std::string> CoefficientHeaderNames(const mrk::Model& model);

/// Loads the model again on the data a post-simulation run reads: the updated data files (read back from
/// `updatedPaths`, logical files `updatedFiles`) in place of their originals, every other input as before.
bool LoadUpdatedRuntime(const mrk::Model& model, const std::vector<const DataFile*>& inputs,
                        const std::vector<std::string>& inputNames, const std::vector<int>& updatedFiles,
                        const std::vector<std::string>& updatedPaths, ModelRuntime& after,
                        ErrorText& errorText);

/// Writes the coefficient file. `after` may be the runtime `before` itself when no data are updated. A
/// coefficient of 7 arguments has no room for the before/after dimension and is left out, named in `omitted`.
bool WriteCoefficientFile(const std::string& path, const ModelRuntime& before, const ModelRuntime& after,
                          const CoefficientFileInfo& info, std::vector<std::string>& omitted,
                          ErrorText& errorText);

} // namespace pelorin::engine
