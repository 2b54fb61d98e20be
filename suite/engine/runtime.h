#pragma once

#include "engine/data_io.h"
#include "mrklang/model.h"
#include "platform/error_text.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace pelorin::engine {

/// A set with its elements as known at run time (model sets first, then the command file's xsets).
struct RtSet {
  std::string name;
  std::string label;
  std::vector<std::string> elements;
  bool fromData = false;
};

/// A reference argument resolved for evaluation: a fixed position, or a slot (mapped into a larger set).
struct RArg {
  int slot = -1;
  int fixed = -1;
  int map = -1; ///< index into the runtime's subset maps, -1 for the identity
};

/// One node of a compiled formula (the checked expression tree, flattened, names resolved).
struct RNode {
  mrk::Op op = mrk::Op::Const;
  double value = 0.0;
  int ref = -1;
  int a = -1;
  int b = -1;
  int slot = -1;
  int set = -1;
  int argBegin = 0;
  int argCount = 0;
};

/// A compiled formula: nodes, resolved arguments and the sets its slots range over.
struct RFormula {
  std::vector<RNode> nodes;
  std::vector<RArg> args;
  std::vector<int> slotSets;
  std::vector<int> domain;
  int root = -1;
  int root2 = -1; ///< equations: the right-hand side
};

/// Operations of an equation tape.
enum class TOp : std::uint8_t { Const, Var, Neg, Add, Sub, Mul, Div, Pow, Exp, Ln, Sqrt };

/// One tape node: operands are earlier nodes of the same equation; Var nodes hold the component in `a` and
/// the Jacobian entry they add to in `b`.
struct TNode {
  TOp op = TOp::Const;
  std::int32_t a = 0;
  std::int32_t b = 0;
  double c = 0.0;
};

/// The loaded model: sets, coefficient values, variables with their initial levels, and every equation
/// expanded into a tape for evaluation with reverse-mode differentiation.
class ModelRuntime {
public:
  /// Loads the data of `model`: `inputs[f]` is the data of logical file f (empty for output files).
  /// Messages name the model statement (line of the model source) and the file and header involved.
  bool Load(const mrk::Model& model, const std::vector<const DataFile*>& inputs,
            const std::vector<std::string>& inputNames, ErrorText& errorText);
  /// Adds a set defined in the command file; fails when the name is taken.
  bool AddSet(const RtSet& set, ErrorText& errorText);
  /// Builds the equation tapes and the Jacobian pattern (needed only when the model is solved).
  bool BuildTapes(ErrorText& errorText);

  const mrk::Model& Model() const { return *model_; }
  const std::vector<RtSet>& Sets() const { return sets_; }
  int FindSet(const std::string& name) const;
  /// True when every element of set `small` is in set `big`.
  bool IsSubset(int small, int big) const;
  /// Positions in `big` of the elements of `small` (which must be a subset).
  const std::vector<int>& SubsetMap(int small, int big);

  std::int64_t SetSize(int set) const { return static_cast<std::int64_t>(sets_[set].elements.size()); }
  const std::vector<double>& CoefficientValues(int c) const { return coefValues_[c]; }

  int NumVariables() const { return static_cast<int>(varOffset_.size()); }
  std::int64_t NumComponents() const { return numComponents_; }
  std::int64_t VarOffset(int v) const { return varOffset_[v]; }
  std::int64_t VarSize(int v) const { return varSize_[v]; }
  /// The variable a component belongs to.
  int VariableOf(std::int64_t component) const;
  /// "X(\"food\",\"usa\")" for a component.
  std::string ComponentName(std::int64_t component) const;
  /// Element positions of a component within its variable's argument sets.
  std::vector<int> ComponentPositions(std::int64_t component) const;
  const std::vector<double>& InitialLevels() const { return level0_; }
  const std::vector<std::uint8_t>& PercentComponents() const { return percent_; }

  std::int64_t NumEquations() const { return numEquations_; }
  std::int64_t EquationOffset(int e) const { return eqOffset_[e]; }
  /// "E_X(\"food\",\"usa\")" for an equation.
  std::string EquationName(std::int64_t equation) const;

  /// The Jacobian pattern (rows are equations, columns components, row-compressed).
  const std::vector<std::int64_t>& RowStart() const { return rowStart_; }
  const std::vector<std::int32_t>& Columns() const { return cols_; }
  /// Per equation: the component it defines explicitly (its left side is that component alone and the
  /// component appears nowhere on its right side), or -1.
  const std::vector<std::int32_t>& DefinedComponents() const { return defined_; }

  /// Evaluates every equation at levels `x`: residual (lhs - rhs), its scale (max |lhs|, |rhs|), and the
  /// Jacobian values with respect to y (ln x for percentage-change components, x otherwise).
  void Evaluate(const double* x, double* residual, double* scale, double* jacobian) const;

  /// Value of a compiled formula at given slot positions, with variables at levels `x`.
  double Eval(const RFormula& f, int node, std::vector<int>& slots, const double* x) const;
  /// Evaluates a formula for every element combination of its domain (dimension 1 fastest).
  std::vector<double> EvalOverDomain(const RFormula& f, const double* x) const;
  /// The compiled formula of an update statement.
  const RFormula& UpdateFormula(int u) const { return updates_[u]; }
  /// Sizes of a formula's domain.
  std::vector<std::int64_t> DomainSizes(const std::vector<int>& domain) const;

private:
  bool Compile(const mrk::Formula& formula, const mrk::Expr* rhs, RFormula& out, ErrorText& errorText);
  int CompileNode(const mrk::Expr& e, RFormula& out, ErrorText& errorText, bool& ok);
  std::int64_t Linear(const std::vector<int>& sets, const RFormula& f, const RNode& n,
                      const std::vector<int>& slots) const;
  bool LoadArray(int file, const std::string& header, const std::vector<int>& sets, int line,
                 const std::string& what, std::vector<double>& values, ErrorText& errorText) const;

  struct Emitted {
    bool isConst = true;
    double c = 0.0;
    int node = -1;
  };
  Emitted Emit(const RFormula& f, int node, std::vector<int>& slots, std::vector<TNode>& tape) const;
  int Materialise(const Emitted& e, std::vector<TNode>& tape) const;

  const mrk::Model* model_ = nullptr;
  std::vector<const DataFile*> inputs_;
  std::vector<std::string> inputNames_;
  std::vector<RtSet> sets_;
  std::vector<std::vector<int>> maps_;
  std::map<std::pair<int, int>, int> mapIndex_;
  std::vector<std::vector<double>> coefValues_;
  std::vector<RFormula> varFormulas_;
  std::vector<RFormula> equations_;
  std::vector<RFormula> updates_;
  std::vector<std::int64_t> varOffset_, varSize_;
  std::int64_t numComponents_ = 0;
  std::vector<double> level0_;
  std::vector<std::uint8_t> percent_;
  std::vector<std::int64_t> eqOffset_;
  std::int64_t numEquations_ = 0;

  std::vector<TNode> tape_;
  std::vector<std::int64_t> tapeStart_; ///< per equation, plus one past the end
  std::size_t maxTape_ = 0;
  std::vector<std::int64_t> rowStart_;
  std::vector<std::int32_t> cols_;
  std::vector<std::int32_t> defined_;
};

} // namespace pelorin::engine
