#pragma once

// The solution file (".sl4") as the converter and the sensitivity-analysis preparation program read it: the
// sets and their elements, the variables and where their components lie, the results, levels, closure, shocks
// and subtotals. Every count and cross-reference is checked, so a damaged file is refused with a message
// rather than read past its arrays. Values are held in single precision, as the Header Array reader gives
// them.

#include "platform/error_text.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pelorin::conv {

struct SolutionSet {
  std::string name;
  std::string label;
  std::vector<std::string> elements;
};

struct SolutionVariable {
  std::string name;
  std::string description;
  bool percent = true;     ///< a percentage-change variable (else an ordinary-change one)
  std::vector<int> sets;   ///< argument sets (0-based indexes into Solution::sets)
  std::int64_t offset = 0; ///< the variable's first component (0-based over all components)
  std::int64_t size = 0;   ///< number of components
};

/// The statement a shock was given by, as the solution file numbers them.
enum class ShockKind : int { Shock = 0, Change = 1, PercentChange = 2, FinalLevel = 3 };

struct SolutionShock {
  std::int64_t component = 0; ///< 0-based
  ShockKind kind = ShockKind::Shock;
  double value = 0;
};

struct Solution {
  std::string fileName;
  std::string stamp; ///< the model's time-date stamp, trailing blanks removed
  std::string modelName;
  std::string commandFile;
  std::string methodName;
  std::vector<std::string> verbalDescription;
  /// Method, solutions, steps of solutions 1-3, subintervals, automatic accuracy, subtotals.
  std::array<int, 8> method{};

  std::vector<SolutionSet> sets;
  std::vector<std::pair<int, int>> subsets; ///< (smaller, larger), 0-based set indexes
  std::vector<SolutionVariable> variables;

  /// Per component: cumulative result, pre- and post-simulation levels, closure.
  std::vector<float> cumulative;
  std::vector<float> pre;
  std::vector<float> post;
  std::vector<std::uint8_t> exogenous;

  std::vector<SolutionShock> shocks;
  std::vector<std::string> subtotalDescriptions;
  std::vector<std::vector<float>> subtotals; ///< [subtotal][component]

  std::int64_t NumComponents() const { return static_cast<std::int64_t>(cumulative.size()); }
  /// The variable a component belongs to (components are numbered variable after variable).
  int VariableOf(std::int64_t component) const;
  /// The element names of a variable's component `index` (0-based within the variable), dimension 1 fastest.
  std::vector<std::string> ElementsOf(const SolutionVariable& variable, std::int64_t index) const;
  /// A component as the command files write it: Y, or X("food","usa").
  std::string ComponentName(std::int64_t component) const;
  /// The change of a component's level, post - pre, in double precision: for a percentage-change variable
  /// pre x result / 100 (which loses nothing when the level hardly moves), for an ordinary-change variable
  /// the result itself.
  double LevelChange(std::int64_t component) const;
};

/// Reads and checks a solution file. Failures name the file and what is wrong.
bool ReadSolution(const std::string& path, Solution& solution, ErrorText& errorText);

/// Reads the solution file an answer names: S + ".sl4" (an answer that already ends in ".sl4" stands as it
/// is), found ignoring case; `stem` is S. A missing file fails with "error: the solution file ... does not
/// exist".
bool ReadNamedSolution(const std::string& answer, std::string& stem, Solution& solution,
                       ErrorText& errorText);

} // namespace pelorin::conv
