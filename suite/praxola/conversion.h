#pragma once

// The converter's products. From a solution file S.sl4 it writes Header Array files with one real header per
// variable (long name "NAME # description #", labelled with the variable's sets): S.sol with the cumulative
// results, S.SO2, S.SO3 and S.SO4 with the pre-simulation levels, post-simulation levels and their change,
// and one file per subtotal (S.SU1 ...); and the solution information file S.sli, which has the model
// information layout (sets with their elements, variables with their closure, subsets, description lines)
// followed by the summary of what was converted. It also lists a solution's shocks.

#include "modelinfo/model_info_writer.h"
#include "praxola/output_set.h"
#include "praxola/solution_reader.h"
#include "praxola/ssa_map.h"

#include <string>
#include <vector>

namespace pelorin::conv {

/// What a conversion writes.
struct ConvertOptions {
  bool summary = true;   ///< the solution information file S.sli
  bool levels = true;    ///< the levels files S.SO2, S.SO3, S.SO4
  bool subtotals = true; ///< one file per subtotal
  /// Variables to convert (names, any case); empty: all of them.
  std::vector<std::string> selected;
};

/// The 4-character header names of the variables' headers, unique and in variable order.
std::vector<std::string> VariableHeaderNames(const Solution& solution);
/// A variable header's long name: NAME + " # " + description + " #", at most 70 characters.
std::string VariableLongName(const SolutionVariable& variable);

/// The description of the solution information file: the solution's sets, variables, closure and subsets,
/// the verbal description and how the solution was made, and the summary of the converted files.
ModelInfoDescription SolutionInfoDescription(const Solution& solution, const ConvertOptions& options);

/// Writes the converted files of the solution beside `stem` (the solution file without its extension) into
/// `outputs`, which renames them into place once the caller commits it.
bool ConvertSolution(const Solution& solution, const std::string& stem, const ConvertOptions& options,
                     OutputSet& outputs, ErrorText& errorText);

/// The shock listing: each component of the map (or, without one, each shocked component) with the statement
/// that shocked it, the result applied and its levels.
std::string ShockListingText(const Solution& solution, const SsaMap* map, const std::string& mapFile);

/// Writes a text into `outputs` under the temporary name of `path`.
bool WriteTextOutput(const std::string& path, const std::string& text, OutputSet& outputs,
                     ErrorText& errorText);

} // namespace pelorin::conv
