#pragma once

#include "modelinfo/sol_info.h"
#include "platform/error_text.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelorin {

/// One set as written to a model information file.
struct SetDescription {
  /// Set name, 1 to 12 characters.
  std::string name;
  /// Description (the reader gives the set name back when this is empty).
  std::string label;
  /// Number of elements; negative when the size is not known until the model runs (no elements then).
  int size = 0;
  /// Element names, written when present (then exactly `size` of them); left empty when the elements are not
  /// known, so the reader makes the names REG1, REG2, ...
  std::vector<std::string> elements;

  bool operator==(const SetDescription&) const = default;
};

/// One variable as written to a model information file.
struct VariableDescription {
  /// Variable name, 1 to 15 characters.
  std::string name;
  /// Number of components; -1 when an argument set's size is not known.
  int size = 1;
  /// Argument set numbers (1-based, at most 7).
  std::vector<int> argSets;
  /// Closure status: X (all exogenous), N (all endogenous), x (the ranges below), or B, ?, s, o.
  char exoStat = 'N';
  /// Exogenous component ranges (first, last), 1-based, for status x.
  std::vector<std::pair<int, int>> exogenousRanges;
  /// Change type: 'p' (percentage change) or 'c' (ordinary change).
  char vcTp = 'c';
  /// 'b' or 'c'.
  char vcStat = 'b';
  std::string description;

  bool operator==(const VariableDescription&) const = default;
};

/// The summary sections of a solution information file (".sli").
struct SolutionSummaryDescription {
  /// The three characters of "#AVAIL": cumulative results ('y', 'b' or 'n'), individual columns retained,
  /// levels results present.
  char cumulative = 'y';
  char indivRetained = 'n';
  char levelsPresent = 'n';
  /// Number of subtotals (the integer of "#AVAIL").
  int numSubtotals = 0;
  /// The character after "#LEV": '4' when the levels result files exist, 'N' when not.
  char levelsIndicator = 'N';
  /// The "#NSOL" integers: cumulative solutions (1), subtotals made, individual columns retained (0), and a
  /// fourth value (the number of levels solutions) which is written only when the file has a "#TMDATE".
  int numCumulative = 1;
  int subtotalsMade = 0;
  int indivColumns = 0;
  int levelsSolutions = 0;
  /// One description per subtotal ("#SBTDESC").
  std::vector<std::string> subtotalDescriptions;

  bool operator==(const SolutionSummaryDescription&) const = default;
};

/// Everything a model information file (".min"), closure information file (".cli") or solution information
/// file (".sli") says, in a form the model compiler and the solver fill directly.
struct ModelInfoDescription {
  /// Write the file section (two header lines, then one line per logical file with its description line).
  bool hasFileSection = true;
  std::vector<TFileRec> files;
  /// Main model-description file ("#MRKFILE"), compile-time stored input or "%none" ("#STIFILE"), time-date
  /// stamp ("#TMDATE"); a field without a value is left out of the file.
  std::optional<std::string> mrkFile;
  std::optional<std::string> stiFile;
  std::optional<std::string> tmDate;
  std::vector<SetDescription> sets;
  std::vector<VariableDescription> variables;
  /// Subset pairs (smaller set number, larger set number), as declared (not closed).
  std::vector<std::pair<int, int>> subsets;
  std::vector<std::string> descriptionLines;
  std::optional<int> kvVer;
  std::optional<int> prVer;
  /// Present for a solution information file.
  std::optional<SolutionSummaryDescription> summary;

  bool operator==(const ModelInfoDescription&) const = default;
};

/// The text of a model information file for the description, lines ending in LF. Refuses a description that
/// the reader could not give back: names that are empty or too long, a set whose listed elements do not match
/// its size, an argument set number outside the sets, more than 7 arguments, exogenous ranges that are empty,
/// overlapping, outside the variable or with status other than x, codes other than p/c and b/c, line breaks
/// inside a text, and free text starting with "#" where the reader looks for headings. Failures end with
/// "[ModelInfoText]".
bool ModelInfoText(const ModelInfoDescription& description, std::string& text, ErrorText& errorText);

/// Writes the description to a file (TxtCreate ... TxtClose). Failures end with "[WriteModelInfo]".
bool WriteModelInfo(const std::string& fileName, const ModelInfoDescription& description,
                    ErrorText& errorText);

/// The description of a record read by ReadModelInfo and AddMinInfoToSolInfo, the inverse of the writer:
/// exogenous ranges are taken from ExoFlags (or the whole variable for X), subset pairs from the subset
/// relation as it now stands (closed). The summary sections and the version fields not read stay absent.
ModelInfoDescription DescribeSolInfo(const SolInfoRec& info);

} // namespace pelorin
