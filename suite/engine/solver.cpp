#include "engine/solver.h"

#include "engine/linear_system.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <random>
#include <system_error>
#include <thread>
#include <time.h>

namespace pelorin::engine {

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

/// Processor seconds of the calling thread: the parts of a solve add up across threads, and a busy machine
/// does not inflate them.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

std::string Fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

const char* MethodName(int method) {
  static const char* const kNames[] = {"Johansen", "Euler", "Gragg", "Midpoint"};
  return kNames[method];
}

/// Weights of the polynomial through (u_i, s_i) evaluated at u = 0.
std::vector<double> ExtrapolationWeights(const std::vector<double>& u) {
  std::vector<double> w(u.size(), 1.0);
  for (std::size_t i = 0; i < u.size(); ++i) {
    for (std::size_t j = 0; j < u.size(); ++j) {
      if (j != i) {
        w[i] *= u[j] / (u[j] - u[i]);
      }
    }
  }
  return w;
}

} // namespace

int AgreeingFigures(double a, double b) {
  const double diff = std::fabs(a - b);
  if (diff <= 1e-12) {
    return 6;
  }
  const double scale = std::max(std::fabs(a), std::fabs(b));
  if (!std::isfinite(diff) || scale == 0.0) {
    return 0;
  }
  const double rel = diff / scale;
  int figures = 0;
  double limit = 0.5;
  for (int k = 1; k <= 6; ++k, limit /= 10.0) {
    if (rel < limit) {
      figures = k;
    }
  }
  return figures;
}

std::vector<double> LevelsAfterMoves(const ModelRuntime& runtime, const std::vector<double>& move) {
  std::vector<double> x(move.size());
  const auto& pct = runtime.PercentComponents();
  const std::vector<double>& x0 = runtime.InitialLevels();
  for (std::size_t k = 0; k < move.size(); ++k) {
    x[k] = pct[k] ? x0[k] * std::exp(move[k]) : x0[k] + move[k];
  }
  return x;
}

void JudgeVariable(const double* all, const double* two, std::size_t count, int* figures) {
  double largest = 0.0;
  for (std::size_t k = 0; k < count; ++k) {
    largest = std::max({largest, std::fabs(all[k]), std::fabs(two[k])});
  }
  const double nearZero = kNearZeroTolerance * largest;
  for (std::size_t k = 0; k < count; ++k) {
    figures[k] = std::fabs(all[k] - two[k]) <= nearZero ? 6 : AgreeingFigures(all[k], two[k]);
  }
}

struct Solver::Impl {
  ModelRuntime& rt;
  const Simulation& sim;
  LogFn log;
  SolverOptions options;
  std::int64_t nComp = 0;
  std::int64_t nEq = 0;
  std::vector<int> endoIndex; ///< per component: column of the endogenous block, or -1
  std::vector<std::int64_t> endoComp;
  std::vector<int> endoColumn;                 ///< per Jacobian entry: its endogenous unknown, or -1
  std::vector<std::int64_t> matching;          ///< per equation: the endogenous unknown it is matched with
  std::vector<std::vector<double>> groupDelta; ///< per subtotal: the y moves of its shocks, per component
  EndogenousSystem system;
  PivotOrder pivotOrder;
  bool usePivotOrder = false;
  double orderSeconds = 0.0;
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
  std::vector<std::unique_ptr<Workspace>> spaces;
  bool prepared = false;

  Impl(ModelRuntime& r, const Simulation& s, LogFn l, SolverOptions o)
      : rt(r), sim(s), log(std::move(l)), options(o) {}

  void Log(const std::string& line) {
    if (log) {
      log(line);
    }
  }

  bool Prepare(std::string& reason) {
    nComp = rt.NumComponents();
    nEq = rt.NumEquations();
    endoIndex.assign(static_cast<std::size_t>(nComp), -1);
    endoComp.clear();
    for (std::int64_t k = 0; k < nComp; ++k) {
      if (!sim.exogenous[k]) {
        endoIndex[k] = static_cast<int>(endoComp.size());
        endoComp.push_back(k);
      }
    }
    const std::int64_t nEndo = static_cast<std::int64_t>(endoComp.size());
    if (nEndo != nEq) {
      reason = "The closure is not valid: it has " + std::to_string(nEndo) +
               " endogenous variable components but the model has " + std::to_string(nEq) +
               " equations; the two numbers must be equal.";
      return false;
    }
    const auto& cols = rt.Columns();
    endoColumn.resize(cols.size());
    for (std::size_t p = 0; p < cols.size(); ++p) {
      endoColumn[p] = endoIndex[cols[p]];
    }
    if (!StructuralCheck(reason)) {
      return false;
    }
    groupDelta.assign(sim.subtotals.size(), std::vector<double>(static_cast<std::size_t>(nComp), 0.0));
    for (std::size_t k = 0; k < sim.subtotals.size(); ++k) {
      for (const auto& [comp, d] : sim.subtotals[k].deltas) {
        groupDelta[k][comp] = d;
      }
    }
    system.Build(rt, endoColumn, matching, options.condense);
    if (system.Substituted() > 0) {
      Log(" Condensation: " + std::to_string(system.Substituted()) + " of " + std::to_string(nEq) +
          " endogenous variable components substituted out (each recovered from the equation that defines "
          "it); " +
          "the LU factorises " + std::to_string(system.Pattern().size) + " equations.");
    } else {
      Log(std::string(" Condensation: no variable substituted out") +
          (options.condense ? " (no equation defines one that can be)." : " (switched off)."));
    }
    // KLU follows one pivot order, found at the initial data and shared by every thread, so the threads'
    // factorisations take the same pivots for the same matrix.
    usePivotOrder = false;
    if (options.lu == LuKind::Klu && nEq > 0) {
      Workspace initial;
      initial.jac.assign(rt.Columns().size(), 0.0);
      initial.residual.assign(static_cast<std::size_t>(nEq), 0.0);
      const double t0 = ThreadSeconds();
      rt.Evaluate(rt.InitialLevels().data(), initial.residual.data(), nullptr, initial.jac.data());
      system.Load(initial.jac.data(), initial.values);
      usePivotOrder = FindPivotOrder(system.Pattern(), initial.values.matrix.data(), pivotOrder);
      orderSeconds = ThreadSeconds() - t0;
    }
    spaces.clear();
    if (!AddWorkspace()) {
      reason = "The closure is not valid: the sparse LU factorisation cannot analyse the Jacobian.";
      return false;
    }
    prepared = true;
    return true;
  }

  bool AddWorkspace() {
    auto ws = std::make_unique<Workspace>();
    ws->lu = MakeSparseLu(options.lu);
    if (!ws->lu->Analyse(system.Pattern(), usePivotOrder ? &pivotOrder : nullptr)) {
      return false;
    }
    ws->jac.assign(rt.Columns().size(), 0.0);
    ws->residual.assign(static_cast<std::size_t>(nEq), 0.0);
    spaces.push_back(std::move(ws));
    return true;
  }

  /// A perfect matching of equations to endogenous components must exist, else the block is singular
  /// whatever the data; the unmatched equation or component names the problem.
  bool StructuralCheck(std::string& reason) {
    const auto& rowStart = rt.RowStart();
    const auto& defined = rt.DefinedComponents();
    // An equation that defines a variable is best matched with it.
    std::vector<std::int64_t> preferred(static_cast<std::size_t>(nEq), -1);
    for (std::int64_t r = 0; r < nEq; ++r) {
      if (defined[r] >= 0) {
        preferred[r] = endoIndex[defined[r]];
      }
    }
    std::int64_t start = -1;
    if (MatchRowsToColumns(nEq, rowStart, endoColumn, preferred, true, matching, start)) {
      return true;
    }
    MatchRowsToColumns(nEq, rowStart, endoColumn, {}, false, matching, start);
    const std::vector<std::int64_t>& colOf = matching;
    std::vector<char> matched(static_cast<std::size_t>(nEq), 0);
    for (std::int64_t c : colOf) {
      if (c >= 0) {
        matched[c] = 1;
      }
    }
    std::int64_t endoEntries = 0;
    for (std::int64_t p = rowStart[start]; p < rowStart[start + 1]; ++p) {
      endoEntries += endoColumn[p] >= 0 ? 1 : 0;
    }
    for (std::int64_t c = 0; c < nEq; ++c) {
      if (!matched[c]) {
        reason = "The closure is not valid: the Jacobian of the endogenous variables is singular. Equation " +
                 rt.EquationName(start) +
                 (endoEntries == 0 ? " contains no endogenous variable"
                                   : " cannot be given an endogenous variable of its own") +
                 ", and no equation determines " + rt.ComponentName(endoComp[c]) + ".";
        return false;
      }
    }
    reason = "The closure is not valid: the Jacobian of the endogenous variables is singular.";
    return false;
  }

  /// Factorises the endogenous block at levels x; false when it is singular.
  bool Factorise(Workspace& ws, const std::vector<double>& x) {
    if (nEq == 0) {
      return true; // nothing endogenous: the exogenous moves are the whole solution
    }
    Assemble(ws, x);
    return Factor(ws, true);
  }

  /// Evaluates the Jacobian at levels x and condenses it into the workspace's matrix.
  void Assemble(Workspace& ws, const std::vector<double>& x) {
    const double t0 = ThreadSeconds();
    rt.Evaluate(x.data(), ws.residual.data(), nullptr, ws.jac.data());
    system.Load(ws.jac.data(), ws.values);
    ws.assembly += ThreadSeconds() - t0;
    ++ws.evaluations;
  }

  bool Factor(Workspace& ws, bool fresh) {
    const double t0 = ThreadSeconds();
    const bool ok = ws.lu->Factorise(ws.values.matrix.data(), fresh);
    ws.factorisation += ThreadSeconds() - t0;
    ++ws.factorisations;
    return ok;
  }

  /// A solve with a random right-hand side: a huge answer means the block is numerically singular.
  bool WellConditioned(Workspace& ws) {
    const auto n = static_cast<std::size_t>(nEq);
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
    if (!system.Solve(ws.values, *ws.lu, ws.rhs.data(), 1, ws.x.data(), ws.scratch)) {
      return false;
    }
    double norm = 0.0;
    for (std::size_t p = 0; p < ws.jac.size(); ++p) {
      if (endoColumn[p] >= 0) {
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

  std::vector<double> Levels(const std::vector<double>& move) const { return LevelsAfterMoves(rt, move); }

  /// dy/dt after the y moves `move` for the whole shock and for each subtotal's shocks. With `fresh` the
  /// factorisation chooses its pivots anew. False when the block is singular.
  bool Derivative(Workspace& ws, const std::vector<double>& move, bool fresh, std::vector<double>& dy,
                  std::vector<std::vector<double>>& dc) {
    const std::size_t nsub = sim.subtotals.size();
    const auto n = static_cast<std::size_t>(nEq);
    const int count = static_cast<int>(1 + nsub);
    dy = sim.delta;
    dc.resize(nsub);
    for (std::size_t k = 0; k < nsub; ++k) {
      dc[k] = groupDelta[k];
    }
    if (n == 0) {
      return true;
    }
    Assemble(ws, Levels(move));
    double t0 = ThreadSeconds();
    // Right-hand sides: minus the exogenous columns times the moves of the shocks, per equation.
    const auto& rowStart = rt.RowStart();
    const auto& cols = rt.Columns();
    ws.rhs.assign(n * static_cast<std::size_t>(count), 0.0);
    for (std::size_t r = 0; r < n; ++r) {
      for (std::int64_t p = rowStart[r]; p < rowStart[r + 1]; ++p) {
        if (endoColumn[p] >= 0) {
          continue;
        }
        const std::int32_t c = cols[p];
        ws.rhs[r] -= ws.jac[p] * sim.delta[c];
        for (std::size_t k = 0; k < nsub; ++k) {
          ws.rhs[(k + 1) * n + r] -= ws.jac[p] * groupDelta[k][c];
        }
      }
    }
    ws.solving += ThreadSeconds() - t0;
    if (!Factor(ws, fresh)) {
      return false;
    }
    t0 = ThreadSeconds();
    ws.x.resize(n * static_cast<std::size_t>(count));
    const bool solved = system.Solve(ws.values, *ws.lu, ws.rhs.data(), count, ws.x.data(), ws.scratch);
    ws.solving += ThreadSeconds() - t0;
    if (!solved) {
      return false;
    }
    for (std::size_t j = 0; j < n; ++j) {
      dy[endoComp[j]] = ws.x[j];
    }
    for (std::size_t k = 0; k < nsub; ++k) {
      for (std::size_t j = 0; j < n; ++j) {
        dc[k][endoComp[j]] = ws.x[(k + 1) * n + j];
      }
    }
    return true;
  }

  static void Axpy(std::vector<double>& out, const std::vector<double>& base, double h,
                   const std::vector<double>& d) {
    out.resize(base.size());
    for (std::size_t i = 0; i < base.size(); ++i) {
      out[i] = base[i] + h * d[i];
    }
  }

  /// One solution over [t0, t0 + length] with `steps` steps from the y moves `base`: the moves of y over the
  /// subinterval (`z1`) and each subtotal's share of them (`c1`). The path is followed in moves from its
  /// start, never in levels, so a component that does not move gets exactly zero.
  /// `dy0` and `dc0` are the derivatives at the start, which every solution of a subinterval shares.
  bool Integrate(Workspace& ws, int method, int steps, const std::vector<double>& base, double length,
                 const std::vector<double>& dy0, const std::vector<std::vector<double>>& dc0,
                 std::vector<double>& z1, std::vector<std::vector<double>>& c1) {
    const std::size_t nsub = sim.subtotals.size();
    const auto n = static_cast<std::size_t>(nComp);
    const double h = length / steps;
    std::vector<double> dy, at(n);
    std::vector<std::vector<double>> dc;
    // The first derivative of its own is factorised with fresh pivots, so a solution's numbers never depend
    // on what its workspace computed before (or on which thread it runs).
    bool fresh = true;
    auto derivative = [&](const std::vector<double>& z, bool first) {
      if (first) {
        dy = dy0;
        dc = dc0;
        return true;
      }
      for (std::size_t i = 0; i < n; ++i) {
        at[i] = base[i] + z[i];
      }
      const bool ok = Derivative(ws, at, fresh, dy, dc);
      fresh = false;
      return ok;
    };
    if (method == MethodOptions::Johansen || method == MethodOptions::Euler) {
      z1.assign(n, 0.0);
      c1.assign(nsub, std::vector<double>(n, 0.0));
      for (int m = 0; m < steps; ++m) {
        if (!derivative(z1, m == 0)) {
          return false;
        }
        for (std::size_t i = 0; i < n; ++i) {
          z1[i] += h * dy[i];
        }
        for (std::size_t k = 0; k < nsub; ++k) {
          for (std::size_t i = 0; i < n; ++i) {
            c1[k][i] += h * dc[k][i];
          }
        }
      }
      return true;
    }
    // Leapfrog (modified midpoint) from one Euler start step; Gragg adds the smoothing step at the end.
    std::vector<double> zPrev(n, 0.0), zCur;
    std::vector<std::vector<double>> cPrev(nsub, std::vector<double>(n, 0.0)), cCur;
    if (!derivative(zPrev, true)) {
      return false;
    }
    Axpy(zCur, zPrev, h, dy);
    cCur.resize(nsub);
    for (std::size_t k = 0; k < nsub; ++k) {
      Axpy(cCur[k], cPrev[k], h, dc[k]);
    }
    std::vector<double> zNext;
    for (int m = 1; m < steps; ++m) {
      if (!derivative(zCur, false)) {
        return false;
      }
      Axpy(zNext, zPrev, 2.0 * h, dy);
      zPrev.swap(zCur);
      zCur.swap(zNext);
      for (std::size_t k = 0; k < nsub; ++k) {
        Axpy(zNext, cPrev[k], 2.0 * h, dc[k]);
        cPrev[k].swap(cCur[k]);
        cCur[k].swap(zNext);
      }
    }
    if (method == MethodOptions::Midpoint) {
      z1 = zCur;
      c1 = cCur;
      return true;
    }
    if (!derivative(zCur, false)) {
      return false;
    }
    z1.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      z1[i] = 0.5 * (zPrev[i] + zCur[i] + h * dy[i]);
    }
    c1.assign(nsub, std::vector<double>(n, 0.0));
    for (std::size_t k = 0; k < nsub; ++k) {
      for (std::size_t i = 0; i < n; ++i) {
        c1[k][i] = 0.5 * (cPrev[k][i] + cCur[k][i] + h * dc[k][i]);
      }
    }
    return true;
  }

  void WriteHistogram(const FigureCounts& counts) {
    for (int k = 6; k >= 0; --k) {
      char buf[96];
      std::snprintf(buf, sizeof buf, " %10lld results are judged accurate to %d figures.",
                    static_cast<long long>(counts[k]), k);
      Log(buf);
    }
    Log(" (end of summary)");
  }

  void WriteBlock(bool overall, int sub, double ta, double tb, const FigureCounts& vars,
                  const std::vector<FigureCounts>& data, const std::vector<std::string>& names) {
    Log("");
    if (overall) {
      Log(" ACCURACY SUMMARY FOR OVERALL RESULTS");
      Log(" Below are for overall levels values of the endogenous variables.");
    } else {
      Log(" Accuracy summary for subinterval " + std::to_string(sub) + " (t from " + Fixed(ta, 6) + " to " +
          Fixed(tb, 6) + ")");
      Log(" Below are for levels values of the endogenous variables.");
    }
    WriteHistogram(vars);
    if (names.empty()) {
      return;
    }
    if (names.size() == 1) {
      Log(" NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE " + names[0]);
      WriteHistogram(data[0]);
      return;
    }
    FigureCounts all{};
    for (const FigureCounts& d : data) {
      for (int k = 0; k < 7; ++k) {
        all[k] += d[k];
      }
    }
    Log(" NEXT SUMMARY IS FOR ALL UPDATED DATA");
    WriteHistogram(all);
    for (std::size_t f = 0; f < names.size(); ++f) {
      Log(" Data summary for logical file " + names[f] + ":");
      WriteHistogram(data[f]);
    }
  }
};

Solver::Solver(ModelRuntime& runtime, const Simulation& sim, LogFn log, SolverOptions options)
    : impl_(std::make_unique<Impl>(runtime, sim, std::move(log), options)) {}

Solver::~Solver() = default;

bool Solver::CheckClosure(std::string& reason) {
  Impl& s = *impl_;
  if (!s.prepared && !s.Prepare(reason)) {
    return false;
  }
  if (!s.Factorise(*s.spaces[0], s.rt.InitialLevels()) || !s.WellConditioned(*s.spaces[0])) {
    reason =
        "The closure is not valid: the Jacobian of the endogenous variables is singular at the initial data.";
    return false;
  }
  return true;
}

bool Solver::CheckInitialData(ErrorText& errorText) {
  Impl& s = *impl_;
  const std::int64_t n = s.rt.NumEquations();
  std::vector<double> residual(static_cast<std::size_t>(n)), scale(static_cast<std::size_t>(n));
  s.rt.Evaluate(s.rt.InitialLevels().data(), residual.data(), scale.data(), nullptr);
  std::vector<std::pair<double, std::int64_t>> bad;
  for (std::int64_t r = 0; r < n; ++r) {
    const double tolerance = 1e-5 * scale[r] + 1e-9;
    if (!(std::fabs(residual[r]) <= tolerance)) {
      bad.emplace_back(std::isfinite(residual[r]) ? std::fabs(residual[r]) / (scale[r] + 1e-300) : HUGE_VAL,
                       r);
    }
  }
  if (bad.empty()) {
    return true;
  }
  std::sort(bad.rbegin(), bad.rend());
  std::string text = "error: the equations do not hold at the initial data (" + std::to_string(bad.size()) +
                     " of " + std::to_string(n) + " equations fail). The worst are:";
  for (std::size_t i = 0; i < bad.size() && i < 10; ++i) {
    const std::int64_t r = bad[i].second;
    char buf[160];
    std::snprintf(buf, sizeof buf, " residual %.6g (sides of size %.6g)", residual[r], scale[r]);
    text += "\n  " + s.rt.EquationName(r) + buf;
  }
  return Fail(errorText, text, "");
}

bool Solver::Solve(const MethodOptions& options, const UpdatedDataFn& updated,
                   const std::vector<std::string>& updatedNames, SolveOutcome& out, ErrorText& errorText) {
  Impl& s = *impl_;
  std::string reason;
  if (!s.prepared && !s.Prepare(reason)) {
    return Fail(errorText, "error: " + reason, "");
  }
  const int method = options.method;
  std::vector<int> steps = method == MethodOptions::Johansen ? std::vector<int>{1} : options.steps;
  if (steps.empty()) {
    steps = {1};
  }
  const int nsol = static_cast<int>(steps.size());
  const std::size_t nsub = s.sim.subtotals.size();
  const bool judge = nsol == 3;
  const bool automatic = options.automatic && judge;
  const int initialSubintervals = std::max(1, options.subintervals);
  const bool blocks = judge && (initialSubintervals > 1 || automatic);
  // The solutions are shared out among the threads, longest first, each to the thread with the least work
  // so far; each thread has a workspace of its own.
  const int threads = std::clamp(
      s.options.threads > 0 ? s.options.threads : static_cast<int>(std::thread::hardware_concurrency()), 1,
      nsol);
  std::vector<std::vector<int>> groups(static_cast<std::size_t>(threads));
  {
    std::vector<int> order(static_cast<std::size_t>(nsol));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return steps[a] > steps[b]; });
    std::vector<std::int64_t> load(static_cast<std::size_t>(threads), 0);
    for (int i : order) {
      const auto g = static_cast<std::size_t>(std::min_element(load.begin(), load.end()) - load.begin());
      groups[g].push_back(i);
      load[g] += steps[i];
    }
  }
  while (s.spaces.size() < static_cast<std::size_t>(threads)) {
    if (!s.AddWorkspace()) {
      return Fail(errorText, "error: the sparse LU factorisation cannot analyse the Jacobian", "");
    }
  }
  const double power = (method == MethodOptions::Gragg || method == MethodOptions::Midpoint) ? 2.0 : 1.0;
  std::vector<double> u;
  for (int n : steps) {
    u.push_back(std::pow(1.0 / n, power));
  }
  const std::vector<double> wAll = ExtrapolationWeights(u);
  const std::vector<double> wTwo = nsol >= 2 ? ExtrapolationWeights({u[0], u[1]}) : std::vector<double>{1.0};

  out = SolveOutcome{};
  const auto& pct = s.rt.PercentComponents();
  const std::vector<double>& x0 = s.rt.InitialLevels();
  out.y0.resize(x0.size());
  for (std::size_t k = 0; k < x0.size(); ++k) {
    out.y0[k] = pct[k] ? std::log(x0[k]) : x0[k];
  }
  // The y moves since the start of the path: levels are rebuilt from them, never the other way round.
  std::vector<double> moved(x0.size(), 0.0);
  out.subtotalY.assign(nsub, std::vector<double>(x0.size(), 0.0));
  out.solutionMove.assign(static_cast<std::size_t>(nsol), std::vector<double>(x0.size(), 0.0));
  out.figures.assign(x0.size(), judge ? 6 : -1);
  std::vector<std::vector<int>> dataFigures;
  {
    std::string stepsText;
    for (int n : steps) {
      if (!stepsText.empty()) {
        stepsText += '-';
      }
      stepsText += std::to_string(n);
    }
    s.Log(" Solution method: " + std::string(MethodName(method)) + " with " + stepsText + " steps" +
          (nsol > 1 ? " and extrapolation" : "") + (automatic ? ", automatic accuracy" : "") + ".");
  }

  double t = 0.0;
  double length = 1.0 / initialSubintervals;
  int sub = 0;
  std::vector<std::vector<double>> solY(static_cast<std::size_t>(nsol));
  std::vector<std::vector<std::vector<double>>> solC(static_cast<std::size_t>(nsol));
  while (t < 1.0 - 1e-12) {
    const double len = std::min(length, 1.0 - t);
    ++sub;
    auto started = Clock::now();
    // Every solution starts with the derivative at the subinterval's start, then runs on its own in the
    // thread it was given.
    std::vector<double> dy0;
    std::vector<std::vector<double>> dc0;
    std::vector<char> solved(static_cast<std::size_t>(nsol), 0);
    if (s.Derivative(*s.spaces[0], moved, true, dy0, dc0)) {
      auto runGroup = [&](std::size_t g) {
        for (int i : groups[g]) {
          solved[i] =
              s.Integrate(*s.spaces[g], method, steps[i], moved, len, dy0, dc0, solY[i], solC[i]) ? 1 : 0;
        }
      };
      std::vector<std::thread> others;
      for (std::size_t g = 1; g < groups.size(); ++g) {
        try {
          others.emplace_back(runGroup, g);
        } catch (const std::system_error&) {
          runGroup(g); // no other thread to be had: one after the other
        }
      }
      runGroup(0);
      for (std::thread& other : others) {
        other.join();
      }
    }
    for (int i = 0; i < nsol; ++i) {
      if (!solved[i]) {
        return Fail(errorText,
                    "error: the Jacobian of the endogenous variables became singular during the simulation "
                    "(subinterval " +
                        std::to_string(sub) + ", solution with " + std::to_string(steps[i]) + " steps)",
                    "");
      }
    }
    // Extrapolate the moves over the subinterval and the subtotal moves; judge the accuracy of levels.
    const std::size_t n = x0.size();
    const bool last = len >= 1.0 - t - 1e-12;
    const double tEnd = last ? 1.0 : t + len;
    std::vector<double> zEnd(n), zTwo;
    for (std::size_t k = 0; k < n; ++k) {
      double v = 0.0;
      for (int i = 0; i < nsol; ++i) {
        v += wAll[i] * solY[i][k];
      }
      zEnd[k] = v;
    }
    bool finite = true;
    for (double v : zEnd) {
      finite = finite && std::isfinite(v);
    }
    if (!finite) {
      return Fail(errorText,
                  "error: the solution is not a finite number in subinterval " + std::to_string(sub) +
                      " (the shocks may be too large for the model)",
                  "");
    }
    FigureCounts varCounts{};
    std::vector<int> subFigures;
    std::vector<FigureCounts> dataCounts(updatedNames.size());
    std::vector<std::vector<int>> subDataFigures(updatedNames.size());
    // Whether the subinterval reaches the required accuracy, and the share of results that did (for Both the
    // lower of the two shares, the one that decides).
    bool accurate = true;
    bool judged = false;
    double achieved = 100.0;
    if (judge) {
      std::vector<double> mEnd(n), mTwo(n);
      for (std::size_t k = 0; k < n; ++k) {
        mEnd[k] = moved[k] + zEnd[k];
        mTwo[k] = moved[k] + wTwo[0] * solY[0][k] + wTwo[1] * solY[1][k];
      }
      const std::vector<double> xEnd = s.Levels(mEnd);
      const std::vector<double> xTwo = s.Levels(mTwo);
      subFigures.assign(n, 6);
      std::vector<int> levelFigures(n, 6);
      for (int v = 0; v < s.rt.NumVariables(); ++v) {
        const auto offset = static_cast<std::size_t>(s.rt.VarOffset(v));
        JudgeVariable(xEnd.data() + offset, xTwo.data() + offset, static_cast<std::size_t>(s.rt.VarSize(v)),
                      levelFigures.data() + offset);
      }
      for (std::size_t k = 0; k < n; ++k) {
        if (s.sim.exogenous[k]) {
          continue;
        }
        subFigures[k] = levelFigures[k];
        ++varCounts[levelFigures[k]];
      }
      if (updated && !updatedNames.empty()) {
        const auto dEnd = updated(xEnd);
        const auto dTwo = updated(xTwo);
        for (std::size_t f = 0; f < updatedNames.size() && f < dEnd.size(); ++f) {
          for (std::size_t h = 0; h < dEnd[f].size(); ++h) {
            const std::vector<double>& a = dEnd[f][h];
            std::vector<int> figs(a.size());
            JudgeVariable(a.data(), dTwo[f][h].data(), a.size(), figs.data());
            for (int fig : figs) {
              subDataFigures[f].push_back(fig);
              ++dataCounts[f][fig];
            }
          }
        }
      }
      std::int64_t varGood = 0, varAll = 0, dataGood = 0, dataAll = 0;
      for (int k = 0; k < 7; ++k) {
        varAll += varCounts[k];
        varGood += k >= options.figures ? varCounts[k] : 0;
        for (const FigureCounts& d : dataCounts) {
          dataAll += d[k];
          dataGood += k >= options.figures ? d[k] : 0;
        }
      }
      const auto judgeGroup = [&](std::int64_t good, std::int64_t all) {
        if (all > 0) {
          judged = true;
          accurate = accurate && good * 100 >= static_cast<std::int64_t>(options.percent) * all;
          achieved = std::min(achieved, 100.0 * static_cast<double>(good) / static_cast<double>(all));
        }
      };
      // The criterion: Data falls back to the variables when nothing is updated; Both asks the percentage of
      // the variables and of the updated data each, never of the two pooled (many accurate variables must not
      // carry inaccurate data through).
      if (options.criterion == 1 || (options.criterion == 0 && dataAll == 0)) {
        judgeGroup(varGood, varAll);
      } else if (options.criterion == 0) {
        judgeGroup(dataGood, dataAll);
      } else {
        judgeGroup(varGood, varAll);
        judgeGroup(dataGood, dataAll);
      }
    }
    if (blocks) {
      s.WriteBlock(false, sub, t, t + len, varCounts, dataCounts, updatedNames);
    }
    if (automatic && judged) {
      if (!accurate) {
        const std::string accuracy = Fixed(achieved, 1) + "% of results to " +
                                     std::to_string(options.figures) + " figures, " +
                                     std::to_string(options.percent) + "% required";
        if (len / 2.0 >= options.minLength * (1.0 - 1e-9)) {
          // The accuracy reader takes this line to mean that the block above does not count.
          s.Log(" Accuracy for subinterval " + std::to_string(sub) + " not sufficient - accuracy was " +
                accuracy + ".");
          s.Log(" Redoing it with length " + Fixed(len / 2.0, 6) + ".");
          length = len / 2.0;
          --sub;
          continue;
        }
        if (options.failStop) {
          return Fail(errorText,
                      "error: the required accuracy was not reached in subinterval " + std::to_string(sub) +
                          " even at the minimum subinterval length " + Fixed(options.minLength, 6) + " (" +
                          accuracy + "); stopping as asked.",
                      "");
        }
        s.Log(" Subinterval " + std::to_string(sub) + " is below the required accuracy (" + accuracy + ").");
        s.Log(" The minimum subinterval length is reached; continuing as asked.");
      }
    }
    // Accept the subinterval.
    for (std::size_t k = 0; k < nsub; ++k) {
      for (std::size_t i = 0; i < n; ++i) {
        double v = 0.0;
        for (int j = 0; j < nsol; ++j) {
          v += wAll[j] * solC[j][k][i];
        }
        out.subtotalY[k][i] += v;
      }
    }
    for (int i = 0; i < nsol; ++i) {
      for (std::size_t k = 0; k < n; ++k) {
        out.solutionMove[i][k] += solY[i][k];
      }
    }
    if (judge) {
      for (std::size_t k = 0; k < n; ++k) {
        out.figures[k] = std::min(out.figures[k], subFigures[k]);
      }
      if (dataFigures.empty()) {
        dataFigures = subDataFigures;
      } else {
        for (std::size_t f = 0; f < dataFigures.size(); ++f) {
          for (std::size_t k = 0; k < dataFigures[f].size() && k < subDataFigures[f].size(); ++k) {
            dataFigures[f][k] = std::min(dataFigures[f][k], subDataFigures[f][k]);
          }
        }
      }
    }
    // Exogenous components move on their straight path exactly: by their shock at the end, by nothing when
    // they are not shocked.
    for (std::size_t k = 0; k < n; ++k) {
      moved[k] = s.sim.exogenous[k] ? s.sim.delta[k] * tEnd : moved[k] + zEnd[k];
    }
    t = tEnd;
    if (automatic && accurate) {
      // Accurate enough: the next subinterval may be longer again, up to the length first asked for.
      length = std::min(2.0 * length, 1.0 / initialSubintervals);
    }
    s.Log(" Subinterval " + std::to_string(sub) + " done (t = " + Fixed(t, 6) + ") in " +
          Fixed(Seconds(started), 3) + " seconds.");
  }
  if (judge) {
    FigureCounts varCounts{};
    for (std::size_t k = 0; k < x0.size(); ++k) {
      if (!s.sim.exogenous[k]) {
        ++varCounts[out.figures[k]];
      }
    }
    std::vector<FigureCounts> dataCounts(updatedNames.size());
    for (std::size_t f = 0; f < dataFigures.size() && f < dataCounts.size(); ++f) {
      for (int fig : dataFigures[f]) {
        ++dataCounts[f][fig];
      }
    }
    s.WriteBlock(true, sub, 0.0, 1.0, varCounts, dataCounts, updatedNames);
  }
  out.y1.resize(x0.size());
  for (std::size_t k = 0; k < x0.size(); ++k) {
    out.y1[k] = out.y0[k] + moved[k];
  }
  out.move = std::move(moved);
  out.subintervalsDone = sub;
  for (const auto& ws : s.spaces) {
    out.factorisations += ws->factorisations;
    out.evaluations += ws->evaluations;
    out.assemblySeconds += ws->assembly;
    out.factorisationSeconds += ws->factorisation;
    out.solveSeconds += ws->solving;
    out.luFill = std::max(out.luFill, ws->lu->Fill());
  }
  out.luSize = s.system.Pattern().size;
  out.orderSeconds = s.orderSeconds;
  return true;
}

} // namespace pelorin::engine
