#pragma once

#include "engine/closure.h"
#include "engine/linear_system.h"
#include "engine/runtime.h"
#include "engine/solver.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pelorin::engine {

/// The derivative of the path: dy/dt for the whole shock and for each subtotal's shocks, from the Jacobian at
/// the present levels. Holds what every step shares (the closure's matching, the substitution, the pivot
/// order) and one workspace per thread.
class PathDerivative {
public:
  using LogFn = std::function<void(const std::string&)>;

  /// What one thread needs to evaluate and factorise the Jacobian: the solutions of a run are computed on
  /// several threads at once, each with its own workspace.
  struct Workspace {
    std::unique_ptr<SparseLu> lu;
    EndogenousSystem::Values values;
    std::vector<double> jac, residual, rhs, x, scratch;
    std::int64_t factorisations = 0;
    std::int64_t evaluations = 0;
    double assembly = 0.0, factorisation = 0.0, solving = 0.0;
  };

  PathDerivative(const ModelRuntime& runtime, const Simulation& simulation, SolverOptions options, LogFn log);
  ~PathDerivative();
  PathDerivative(const PathDerivative&) = delete;
  PathDerivative& operator=(const PathDerivative&) = delete;

  /// Checks that the closure is square and structurally non-singular (else `reason` says why), then sets up
  /// the substitution, the pivot order and the first workspace.
  bool Prepare(std::string& reason);
  bool Prepared() const { return prepared_; }
  /// Adds a workspace for one more thread; false when the LU cannot analyse the system.
  bool AddWorkspace();
  std::size_t Workspaces() const;
  Workspace& At(std::size_t i);

  /// Factorises the endogenous block at levels x; false when it is singular.
  bool FactoriseAt(Workspace& ws, const std::vector<double>& x);
  /// After FactoriseAt: false when the block is numerically singular.
  bool WellConditioned(Workspace& ws);
  /// dy/dt after the y moves `move` from the initial data: `dy` for the whole shock, `dc` per subtotal. With
  /// `fresh` the factorisation chooses its pivots anew. False when the block is singular.
  bool Compute(Workspace& ws, const std::vector<double>& move, bool fresh, std::vector<double>& dy,
               std::vector<std::vector<double>>& dc);
  /// Adds the counts and times of every workspace to `out`.
  void AddStatistics(SolveOutcome& out) const;

private:
  void Log(const std::string& line);
  bool StructuralCheck(std::string& reason);
  void Assemble(Workspace& ws, const std::vector<double>& x);
  bool Factor(Workspace& ws, bool fresh);

  const ModelRuntime& rt_;
  const Simulation& sim_;
  SolverOptions options_;
  LogFn log_;
  std::int64_t nComp_ = 0;
  std::int64_t nEq_ = 0;
  std::vector<int> endoIndex_; ///< per component: column of the endogenous block, or -1
  std::vector<std::int64_t> endoComp_;
  std::vector<int> endoColumn_;                 ///< per Jacobian entry: its endogenous unknown, or -1
  std::vector<std::int64_t> matching_;          ///< per equation: the endogenous unknown it is matched with
  std::vector<std::vector<double>> groupDelta_; ///< per subtotal: the y moves of its shocks, per component
  EndogenousSystem system_;
  PivotOrder pivotOrder_;
  bool usePivotOrder_ = false;
  double orderSeconds_ = 0.0;
  std::vector<std::unique_ptr<Workspace>> spaces_;
  bool prepared_ = false;
};

} // namespace pelorin::engine
