#include "engine/derivative.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <time.h>

namespace pelorin::engine {

namespace {

/// Processor seconds of the calling thread: the parts of a solve add up across threads, and a busy machine
/// does not inflate them.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

} // namespace

PathDerivative::PathDerivative(const ModelRuntime& runtime, const Simulation& simulation, SolverOptions o,
                               LogFn l)
    : rt_(runtime), sim_(simulation), options_(o), log_(std::move(l)) {}

PathDerivative::~PathDerivative() = default;

void PathDerivative::Log(const std::string& line) {
  if (log_) {
    log_(line);
  }
}

bool PathDerivative::Prepare(std::string& reason) {
  nComp_ = rt_.NumComponents();
  nEq_ = rt_.NumEquations();
  endoIndex_.assign(static_cast<std::size_t>(nComp_), -1);
  endoComp_.clear();
  for (std::int64_t k = 0; k < nComp_; ++k) {
    if (!sim_.exogenous[k]) {
      endoIndex_[k] = static_cast<int>(endoComp_.size());
      endoComp_.push_back(k);
    }
  }
  const std::int64_t nEndo = static_cast<std::int64_t>(endoComp_.size());
  if (nEndo != nEq_) {
    reason = "The closure is not valid: it has " + std::to_string(nEndo) +
             " endogenous variable components but the model has " + std::to_string(nEq_) +
             " equations; the two numbers must be equal.";
    return false;
  }
  const auto& cols = rt_.Columns();
  endoColumn_.resize(cols.size());
  for (std::size_t p = 0; p < cols.size(); ++p) {
    endoColumn_[p] = endoIndex_[cols[p]];
  }
  if (!StructuralCheck(reason)) {
    return false;
  }
  groupDelta_.assign(sim_.subtotals.size(), std::vector<double>(static_cast<std::size_t>(nComp_), 0.0));
  for (std::size_t k = 0; k < sim_.subtotals.size(); ++k) {
    for (const auto& [comp, d] : sim_.subtotals[k].deltas) {
      groupDelta_[k][comp] = d;
    }
  }
  system_.Build(rt_, endoColumn_, matching_, options_.condense);
  if (system_.Substituted() > 0) {
    Log(" Condensation: " + std::to_string(system_.Substituted()) + " of " + std::to_string(nEq_) +
        " endogenous variable components substituted out (each recovered from the equation that defines "
        "it); " +
        "the LU factorises " + std::to_string(system_.Pattern().size) + " equations.");
  } else {
    Log(std::string(" Condensation: no variable substituted out") +
        (options_.condense ? " (no equation defines one that can be)." : " (switched off)."));
  }
  // KLU follows one pivot order, found at the initial data and shared by every thread, so the threads'
  // factorisations take the same pivots for the same matrix.
  usePivotOrder_ = false;
  if (options_.lu == LuKind::Klu && nEq_ > 0) {
    Workspace initial;
    initial.jac.assign(rt_.Columns().size(), 0.0);
    initial.residual.assign(static_cast<std::size_t>(nEq_), 0.0);
    const double t0 = ThreadSeconds();
    rt_.Evaluate(rt_.InitialLevels().data(), initial.residual.data(), nullptr, initial.jac.data());
    system_.Load(initial.jac.data(), initial.values);
    usePivotOrder_ = FindPivotOrder(system_.Pattern(), initial.values.matrix.data(), pivotOrder_);
    orderSeconds_ = ThreadSeconds() - t0;
  }
  spaces_.clear();
  if (!AddWorkspace()) {
    reason = "The closure is not valid: the sparse LU factorisation cannot analyse the Jacobian.";
    return false;
  }
  prepared_ = true;
  return true;
}

bool PathDerivative::AddWorkspace() {
  auto ws = std::make_unique<Workspace>();
  ws->lu = MakeSparseLu(options_.lu);
  if (!ws->lu->Analyse(system_.Pattern(), usePivotOrder_ ? &pivotOrder_ : nullptr)) {
    return false;
  }
  ws->jac.assign(rt_.Columns().size(), 0.0);
  ws->residual.assign(static_cast<std::size_t>(nEq_), 0.0);
  spaces_.push_back(std::move(ws));
  return true;
}

/// A perfect matching of equations to endogenous components must exist, else the block is singular
/// whatever the data; the unmatched equation or component names the problem.
bool PathDerivative::StructuralCheck(std::string& reason) {
  const auto& rowStart = rt_.RowStart();
  const auto& defined = rt_.DefinedComponents();
  // An equation that defines a variable is best matched with it.
  std::vector<std::int64_t> preferred(static_cast<std::size_t>(nEq_), -1);
  for (std::int64_t r = 0; r < nEq_; ++r) {
    if (defined[r] >= 0) {
      preferred[r] = endoIndex_[defined[r]];
    }
  }
  std::int64_t start = -1;
  if (MatchRowsToColumns(nEq_, rowStart, endoColumn_, preferred, true, matching_, start)) {
    return true;
  }
  MatchRowsToColumns(nEq_, rowStart, endoColumn_, {}, false, matching_, start);
  const std::vector<std::int64_t>& colOf = matching_;
  std::vector<char> matched(static_cast<std::size_t>(nEq_), 0);
  for (std::int64_t c : colOf) {
    if (c >= 0) {
      matched[c] = 1;
    }
  }
  std::int64_t endoEntries = 0;
  for (std::int64_t p = rowStart[start]; p < rowStart[start + 1]; ++p) {
    endoEntries += endoColumn_[p] >= 0 ? 1 : 0;
  }
  for (std::int64_t c = 0; c < nEq_; ++c) {
    if (!matched[c]) {
      reason = "The closure is not valid: the Jacobian of the endogenous variables is singular. Equation " +
               rt_.EquationName(start) +
               (endoEntries == 0 ? " contains no endogenous variable"
                                 : " cannot be given an endogenous variable of its own") +
               ", and no equation determines " + rt_.ComponentName(endoComp_[c]) + ".";
      return false;
    }
  }
  reason = "The closure is not valid: the Jacobian of the endogenous variables is singular.";
  return false;
}

/// Factorises the endogenous block at levels x; false when it is singular.
bool PathDerivative::FactoriseAt(Workspace& ws, const std::vector<double>& x) {
  if (nEq_ == 0) {
    return true; // nothing endogenous: the exogenous moves are the whole solution
  }
  Assemble(ws, x);
  return Factor(ws, true);
}

/// Evaluates the Jacobian at levels x and condenses it into the workspace's matrix.
void PathDerivative::Assemble(Workspace& ws, const std::vector<double>& x) {
  const double t0 = ThreadSeconds();
  rt_.Evaluate(x.data(), ws.residual.data(), nullptr, ws.jac.data());
  system_.Load(ws.jac.data(), ws.values);
  ws.assembly += ThreadSeconds() - t0;
  ++ws.evaluations;
}

bool PathDerivative::Factor(Workspace& ws, bool fresh) {
  const double t0 = ThreadSeconds();
  const bool ok = ws.lu->Factorise(ws.values.matrix.data(), fresh);
  ws.factorisation += ThreadSeconds() - t0;
  ++ws.factorisations;
  return ok;
}

/// A solve with a random right-hand side: a huge answer means the block is numerically singular.
bool PathDerivative::WellConditioned(Workspace& ws) {
  const auto n = static_cast<std::size_t>(nEq_);
  if (n == 0) {
    return true;
  }
  std::mt19937 gen(12345);
  std::uniform_real_distribution<double> dist(0.5, 1.0);
  ws.rhs.resize(n);
  for (double& b : ws.rhs) {
    b = dist(gen);
  }
  ws.x.assign(n, 0.0);
  if (!system_.Solve(ws.values, *ws.lu, ws.rhs.data(), 1, ws.x.data(), ws.scratch)) {
    return false;
  }
  double norm = 0.0;
  for (std::size_t p = 0; p < ws.jac.size(); ++p) {
    if (endoColumn_[p] >= 0) {
      norm = std::max(norm, std::fabs(ws.jac[p]));
    }
  }
  double largest = 0.0;
  for (double v : ws.x) {
    largest = std::max(largest, std::fabs(v));
  }
  const double growth = largest * norm;
  return std::isfinite(growth) && growth < 1e13;
}

/// dy/dt after the y moves `move` for the whole shock and for each subtotal's shocks. With `fresh` the
/// factorisation chooses its pivots anew. False when the block is singular.
bool PathDerivative::Compute(Workspace& ws, const std::vector<double>& move, bool fresh,
                             std::vector<double>& dy, std::vector<std::vector<double>>& dc) {
  const std::size_t nsub = sim_.subtotals.size();
  const auto n = static_cast<std::size_t>(nEq_);
  const int count = static_cast<int>(1 + nsub);
  dy = sim_.delta;
  dc.resize(nsub);
  for (std::size_t k = 0; k < nsub; ++k) {
    dc[k] = groupDelta_[k];
  }
  if (n == 0) {
    return true;
  }
  Assemble(ws, LevelsAfterMoves(rt_, move));
  double t0 = ThreadSeconds();
  // Right-hand sides: minus the exogenous columns times the moves of the shocks, per equation.
  const auto& rowStart = rt_.RowStart();
  const auto& cols = rt_.Columns();
  ws.rhs.assign(n * static_cast<std::size_t>(count), 0.0);
  for (std::size_t r = 0; r < n; ++r) {
    for (std::int64_t p = rowStart[r]; p < rowStart[r + 1]; ++p) {
      if (endoColumn_[p] >= 0) {
        continue;
      }
      const std::int32_t c = cols[p];
      ws.rhs[r] -= ws.jac[p] * sim_.delta[c];
      for (std::size_t k = 0; k < nsub; ++k) {
        ws.rhs[(k + 1) * n + r] -= ws.jac[p] * groupDelta_[k][c];
      }
    }
  }
  ws.solving += ThreadSeconds() - t0;
  if (!Factor(ws, fresh)) {
    return false;
  }
  t0 = ThreadSeconds();
  ws.x.resize(n * static_cast<std::size_t>(count));
  const bool solved = system_.Solve(ws.values, *ws.lu, ws.rhs.data(), count, ws.x.data(), ws.scratch);
  ws.solving += ThreadSeconds() - t0;
  if (!solved) {
    return false;
  }
  for (std::size_t j = 0; j < n; ++j) {
    dy[endoComp_[j]] = ws.x[j];
  }
  for (std::size_t k = 0; k < nsub; ++k) {
    for (std::size_t j = 0; j < n; ++j) {
      dc[k][endoComp_[j]] = ws.x[(k + 1) * n + j];
    }
  }
  return true;
}

std::size_t PathDerivative::Workspaces() const {
  return spaces_.size();
}

PathDerivative::Workspace& PathDerivative::At(std::size_t i) {
  return *spaces_[i];
}

void PathDerivative::AddStatistics(SolveOutcome& out) const {
  for (const auto& ws : spaces_) {
    out.factorisations += ws->factorisations;
    out.evaluations += ws->evaluations;
    out.assemblySeconds += ws->assembly;
    out.factorisationSeconds += ws->factorisation;
    out.solveSeconds += ws->solving;
    out.luFill = std::max(out.luFill, ws->lu->Fill());
  }
  out.luSize = system_.Pattern().size;
  out.orderSeconds = orderSeconds_;
}

} // namespace pelorin::engine
