#pragma once

// A solution as the model explorer opens it: the solution file (required), the model source it names and the
// coefficient file beside it (either may be missing: the explorer then shows what is there and says what is
// not). Every set, coefficient and variable can be had as a header for the grid, and every equation's terms
// for any element of its domain.
//
//   SolutionExplorer explorer;
//   explorer.Open("sim1.sl4", err);          // explorer.Notes() says what is missing
//   NameRef ref = LookupName(explorer.Model(), "E_QXS");
//   EquationValues terms;
//   explorer.Equation(ref.index, {0, 1, 2}, terms, err);

#include "datafiles/har_data.h"
#include "explorer/equation_terms.h"
#include "explorer/source_spans.h"
#include "mrklang/model.h"
#include "platform/error_text.h"
#include "praxola/solution_reader.h"

#include <memory>
#include <string>
#include <vector>

namespace pelorin::explore {

/// The elements of the dimension a variable's header adds to its sets.
inline constexpr char kResultSet[] = "RESULT";

class SolutionExplorer {
public:
  SolutionExplorer() = default;
  // The value tables point into the explorer's own arrays.
  SolutionExplorer(const SolutionExplorer&) = delete;
  SolutionExplorer& operator=(const SolutionExplorer&) = delete;

  /// Opens a solution file and whatever belongs to it. Fails only when the solution file cannot be read;
  /// a missing or unusable model source or coefficient file becomes a note.
  bool Open(const std::string& solutionFile, ErrorText& errorText);

  /// What could not be had, one sentence each, for the window to show.
  const std::vector<std::string>& Notes() const { return notes_; }
  const conv::Solution& Solution() const { return solution_; }
  /// The model source, when it was found (it may still fail to compile: HasModel()).
  bool HasSource() const { return !sourceFile_.empty(); }
  const std::string& SourceFile() const { return sourceFile_; }
  const std::string& SourceText() const { return source_; }
  /// True when the source compiled and matches the solution's sets and variables.
  bool HasModel() const { return hasModel_; }
  const mrk::Model& Model() const { return model_; }
  /// True when the coefficient file was read and fits the model.
  bool HasCoefficients() const { return hasCoefficients_; }
  const std::string& CoefficientFile() const { return coefficientFile_; }

  /// The marked parts of the source.
  std::vector<SourceSpan> Spans() const { return SourceSpans(source_, hasModel_ ? &model_ : nullptr); }

  /// The elements of a model set as the solution has them.
  const std::vector<std::string>& SetElements(int set) const;
  /// A set's elements as a list of strings.
  bool SetHeader(int set, std::shared_ptr<const THeadRecz>& head, ErrorText& errorText) const;
  /// A coefficient's values before and after (its sets, then "SIMULATION": before, after).
  bool CoefficientHeader(int coefficient, std::shared_ptr<const THeadRecz>& head, ErrorText& errorText) const;
  /// A variable's results and levels: its sets, then "RESULT": the result (percentage change or change), the
  /// levels before and after, and the change of the level.
  bool VariableHeader(int variable, std::shared_ptr<const THeadRecz>& head, ErrorText& errorText) const;
  /// The same for variable `k` of the solution file (0-based), which needs no model source.
  bool SolutionVariableHeader(int k, std::shared_ptr<const THeadRecz>& head, ErrorText& errorText) const;
  /// An equation's terms for the domain positions `elements` (one per domain set, each 0-based).
  bool Equation(int equation, const std::vector<int>& elements, EquationValues& values,
                ErrorText& errorText) const;
  /// A one-line description of a name: its kind, its sets and its description.
  std::string Describe(const NameRef& ref) const;

private:
  void Reset();
  void ReadLevels(const std::string& solutionFile);
  void FindSource(const std::string& solutionFile);
  void ReadCoefficients(const std::string& solutionFile);
  bool MatchModel();

  conv::Solution solution_;
  std::vector<std::string> notes_;
  std::string sourceFile_;
  std::string source_;
  mrk::Model model_;
  bool hasModel_ = false;
  std::string coefficientFile_;
  std::shared_ptr<HarData> coefficientData_;
  bool hasCoefficients_ = false;

  std::vector<int> setOfSolution_;      ///< per model set: its set in the solution
  std::vector<int> variableOfSolution_; ///< per model variable: its variable in the solution
  std::vector<const THeadRecz*> coefficientHeads_;
  std::vector<double> pre_, post_; ///< the solution's levels, in double precision as the file holds them
  std::vector<std::vector<double>> coefficientValues_; ///< per coefficient: before, then after
  ModelValues before_, after_;
};

} // namespace pelorin::explore
