#pragma once

#include "engine/accuracy.h"
#include "engine/closure.h"
#include "engine/runtime.h"
#include "engine/sparse_lu.h"
#include "platform/error_text.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pelorin::engine {

/// The solution method of a run.
struct MethodOptions {
  enum Method { Johansen = 0, Euler = 1, Gragg = 2, Midpoint = 3 };
  int method = Gragg;
  std::vector<int> steps{2, 4, 6};
  int subintervals = 1;
  bool automatic = false;
  int figures = 4;
  int percent = 80;
  double minLength = 0.001;
  bool failStop = true;
  int criterion = 0; ///< 0 data, 1 solution, 2 both
};

/// Levels after the y moves `move` from the initial data (exactly the initial level where the move is 0).
std::vector<double> LevelsAfterMoves(const ModelRuntime& runtime, const std::vector<double>& move);

/// The updated data at given levels: per updated data file, the values of each header it updates.
using UpdatedDataFn =
    std::function<std::vector<std::vector<std::vector<double>>>(const std::vector<double>& levels)>;

/// What a solve produces.
struct SolveOutcome {
  std::vector<double> y0, y1;                 ///< per component, y = ln(level) or level
  std::vector<double> move;                   ///< per component: y1 - y0, added up along the path
  std::vector<std::vector<double>> subtotalY; ///< per subtotal: the y moves it explains
  std::vector<std::vector<double>>
      solutionMove;         ///< per solution: its own y moves, added up over subintervals
  std::vector<int> figures; ///< per component, -1 when accuracy was not judged
  int subintervalsDone = 0;
  std::int64_t factorisations = 0;
  std::int64_t evaluations = 0;      ///< Jacobians evaluated (one per derivative)
  double assemblySeconds = 0.0;      ///< evaluating the equations and their Jacobian
  double factorisationSeconds = 0.0; ///< sparse LU factorisations
  double solveSeconds = 0.0;         ///< right-hand sides, substitution and triangular solves
  double orderSeconds = 0.0;         ///< finding the pivot order, once
  std::int64_t luFill = 0;           ///< entries of the LU factors (the largest of the threads' last ones)
  std::int64_t luSize = 0;           ///< equations the LU factorises (after substitution)
};

/// How the solver does its linear algebra; none of it changes a result beyond rounding.
struct SolverOptions {
  /// Substitute out the variables that equations define explicitly before factorising.
  bool condense = true;
  /// The sparse LU factorisation.
  LuKind lu = kDefaultLu;
  /// Threads for the solutions of a subinterval; 0: one per processor. Results are bit for bit the same
  /// whatever the number.
  int threads = 0;
};

/// The engine's solver: the closure check at the initial data and the multi-step, extrapolated solution.
class Solver {
public:
  using LogFn = std::function<void(const std::string&)>;

  Solver(ModelRuntime& runtime, const Simulation& sim, LogFn log, SolverOptions options = {});
  ~Solver();
  Solver(const Solver&) = delete;
  Solver& operator=(const Solver&) = delete;

  /// Checks that the closure is square and its Jacobian block non-singular at the initial data. On failure
  /// `reason` says why in the user's terms.
  bool CheckClosure(std::string& reason);
  /// Checks that the equations hold at the initial data; on failure names the worst equations.
  bool CheckInitialData(ErrorText& errorText);
  /// Solves. `updated` gives the updated data for the data accuracy summaries; `updatedNames` their logical
  /// file names (one per updated file). The accuracy blocks go to the log.
  bool Solve(const MethodOptions& options, const UpdatedDataFn& updated,
             const std::vector<std::string>& updatedNames, SolveOutcome& outcome, ErrorText& errorText);

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

} // namespace pelorin::engine
