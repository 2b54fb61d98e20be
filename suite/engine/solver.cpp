#include "engine/solver.h"

#include <Eigen/SparseCore>
#include <Eigen/SparseLU>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <system_error>
#include <thread>

namespace pelorin::engine {

namespace {

using Clock = std::chrono::steady_clock;

/// Partial pivoting keeps to the diagonal unless another entry of the column is this much larger.
/// With the matched diagonal, the factorisation treats the block as nearly symmetric in structure.
constexpr double kPivotThreshold = 0.01;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
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
  using SpMat = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;

  ModelRuntime& rt;
  const Simulation& sim;
  LogFn log;
  std::int64_t nComp = 0;
  std::int64_t nEq = 0;
  std::vector<int> endoIndex; ///< per component: column of the endogenous block, or -1
  std::vector<std::int64_t> endoComp;
  /// What one thread needs to evaluate and factorise the Jacobian: the solutions of a run are computed by two
  /// threads at once, each with its own workspace.
  struct Workspace {
    SpMat a;
    Eigen::SparseLU<SpMat, Eigen::COLAMDOrdering<int>> lu;
    std::vector<double> jac, residual;
    std::int64_t factorisations = 0;
    std::int64_t evaluations = 0;
    double assembly = 0.0, factorisation = 0.0, solving = 0.0;
  };
  SpMat pattern;
  std::vector<std::int64_t> csrToA; ///< per Jacobian entry: position in a's values, or -1 (exogenous column)
  std::vector<std::int64_t> rowPos; ///< per equation: its row in the block (its matched component's column)
  std::vector<std::unique_ptr<Workspace>> spaces;
  bool prepared = false;

  Impl(ModelRuntime& r, const Simulation& s, LogFn l) : rt(r), sim(s), log(std::move(l)) {}

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
    const auto& rowStart = rt.RowStart();
    const auto& cols = rt.Columns();
    if (!StructuralCheck(reason)) {
      return false;
    }
    // Each equation goes to the row of the component it was matched with, so the block has a non-zero
    // diagonal and the factorisation can keep to it.
    std::vector<Eigen::Triplet<double, int>> triplets;
    triplets.reserve(cols.size());
    for (std::int64_t r = 0; r < nEq; ++r) {
      for (std::int64_t p = rowStart[r]; p < rowStart[r + 1]; ++p) {
        const int c = endoIndex[cols[p]];
        if (c >= 0) {
          triplets.emplace_back(static_cast<int>(rowPos[r]), c, 1.0);
        }
      }
    }
    pattern.resize(static_cast<int>(nEq), static_cast<int>(nEq));
    pattern.setFromTriplets(triplets.begin(), triplets.end());
    pattern.makeCompressed();
    csrToA.assign(cols.size(), -1);
    const int* outer = pattern.outerIndexPtr();
    const int* inner = pattern.innerIndexPtr();
    for (std::int64_t r = 0; r < nEq; ++r) {
      for (std::int64_t p = rowStart[r]; p < rowStart[r + 1]; ++p) {
        const int c = endoIndex[cols[p]];
        if (c >= 0) {
          const int* begin = inner + outer[c];
          const int* end = inner + outer[c + 1];
          csrToA[p] = std::lower_bound(begin, end, static_cast<int>(rowPos[r])) - inner;
        }
      }
    }
    spaces.clear();
    AddWorkspace();
    prepared = true;
    return true;
  }

  Workspace& AddWorkspace() {
    auto ws = std::make_unique<Workspace>();
    ws->a = pattern;
    ws->lu.setPivotThreshold(kPivotThreshold);
    ws->lu.isSymmetric(true);
    if (nEq > 0) {
      ws->lu.analyzePattern(ws->a);
    }
    ws->jac.assign(rt.Columns().size(), 0.0);
    ws->residual.assign(static_cast<std::size_t>(nEq), 0.0);
    spaces.push_back(std::move(ws));
    return *spaces.back();
  }

  /// A perfect matching of equations to endogenous components must exist, else the block is singular
  /// whatever the data; the unmatched equation or component names the problem.
  bool StructuralCheck(std::string& reason) {
    const auto& rowStart = rt.RowStart();
    const auto& cols = rt.Columns();
    const std::int64_t n = nEq;
    std::vector<std::int64_t> rowOf(static_cast<std::size_t>(n), -1); // endo column -> row
    std::vector<std::int64_t> colOf(static_cast<std::size_t>(n), -1); // row -> endo column
    for (std::int64_t r = 0; r < n; ++r) {
      for (std::int64_t p = rowStart[r]; p < rowStart[r + 1]; ++p) {
        const int c = endoIndex[cols[p]];
        if (c >= 0 && rowOf[c] < 0) {
          rowOf[c] = r;
          colOf[r] = c;
          break;
        }
      }
    }
    std::vector<std::int64_t> visited(static_cast<std::size_t>(n), -1);
    std::vector<std::pair<std::int64_t, std::int64_t>> stack; // (row, next entry)
    std::vector<std::int64_t> via(static_cast<std::size_t>(n), -1);
    for (std::int64_t start = 0; start < n; ++start) {
      if (colOf[start] >= 0) {
        continue;
      }
      // Depth-first search for an augmenting path from an unmatched row.
      stack.assign(1, {start, rowStart[start]});
      bool found = false;
      while (!stack.empty() && !found) {
        auto& [row, next] = stack.back();
        if (next >= rowStart[row + 1]) {
          stack.pop_back();
          continue;
        }
        const int c = endoIndex[cols[next++]];
        if (c < 0 || visited[c] == start) {
          continue;
        }
        visited[c] = start;
        via[c] = row;
        if (rowOf[c] < 0) {
          // Flip the path back to the start.
          std::int64_t col = c;
          while (col >= 0) {
            const std::int64_t r = via[col];
            const std::int64_t previous = colOf[r];
            colOf[r] = col;
            rowOf[col] = r;
            col = previous;
          }
          found = true;
        } else {
          const std::int64_t r2 = rowOf[c];
          stack.emplace_back(r2, rowStart[r2]);
        }
      }
      if (!found) {
        std::int64_t endoEntries = 0;
        for (std::int64_t p = rowStart[start]; p < rowStart[start + 1]; ++p) {
          endoEntries += endoIndex[cols[p]] >= 0 ? 1 : 0;
        }
        for (std::int64_t c = 0; c < n; ++c) {
          if (rowOf[c] < 0) {
            reason =
                "The closure is not valid: the Jacobian of the endogenous variables is singular. Equation " +
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
    }
    rowPos = std::move(colOf);
    return true;
  }

  /// Factorises the endogenous block at levels x; false when it is singular.
  bool Factorise(Workspace& ws, const std::vector<double>& x) {
    if (nEq == 0) {
      return true; // nothing endogenous: the exogenous moves are the whole solution
    }
    Assemble(ws, x);
    return Factor(ws);
  }

  /// Evaluates the Jacobian at levels x into the workspace's block.
  void Assemble(Workspace& ws, const std::vector<double>& x) {
    auto t0 = Clock::now();
    rt.Evaluate(x.data(), ws.residual.data(), nullptr, ws.jac.data());
    double* values = ws.a.valuePtr();
    for (std::size_t p = 0; p < csrToA.size(); ++p) {
      if (csrToA[p] >= 0) {
        values[csrToA[p]] = ws.jac[p];
      }
    }
    ws.assembly += Seconds(t0);
    ++ws.evaluations;
  }

  bool Factor(Workspace& ws) {
    auto t1 = Clock::now();
    ws.lu.factorize(ws.a);
    ws.factorisation += Seconds(t1);
    ++ws.factorisations;
    return ws.lu.info() == Eigen::Success;
  }

  /// A solve with a random right-hand side: a huge answer means the block is numerically singular.
  bool WellConditioned(Workspace& ws) {
    const auto n = static_cast<Eigen::Index>(nEq);
    if (n == 0) {
      return true;
    }
    std::mt19937 gen(12345);
    std::uniform_real_distribution<double> dist(0.5, 1.0);
    Eigen::VectorXd b(n);
    for (Eigen::Index i = 0; i < n; ++i) {
      b[i] = dist(gen);
    }
    Eigen::VectorXd z = ws.lu.solve(b);
    double norm = 0.0;
    for (int k = 0; k < ws.a.outerSize(); ++k) {
      for (SpMat::InnerIterator it(ws.a, k); it; ++it) {
        norm = std::max(norm, std::fabs(it.value()));
      }
    }
    const double growth = z.cwiseAbs().maxCoeff() * norm;
    return std::isfinite(growth) && growth < 1e13;
  }

  /// Levels after the y moves `move` from the initial data. Levels are never rebuilt from ln(level), so a
  /// component that has not moved keeps its initial level exactly.
  std::vector<double> Levels(const std::vector<double>& move) const { return LevelsAfterMoves(rt, move); }

  /// dy/dt after the y moves `move` for the whole shock and for each subtotal's shocks. False when the block
  /// is singular.
  bool Derivative(Workspace& ws, const std::vector<double>& move, std::vector<double>& dy,
                  std::vector<std::vector<double>>& dc) {
    if (nEq > 0) {
      Assemble(ws, Levels(move));
    }
    const auto& rowStart = rt.RowStart();
    const auto& cols = rt.Columns();
    const std::size_t nsub = sim.subtotals.size();
    const auto n = static_cast<Eigen::Index>(nEq);
    Eigen::MatrixXd rhs = Eigen::MatrixXd::Zero(n, static_cast<Eigen::Index>(1 + nsub));
    std::vector<std::vector<double>> groupDelta(nsub);
    for (std::size_t k = 0; k < nsub; ++k) {
      groupDelta[k].assign(static_cast<std::size_t>(nComp), 0.0);
      for (const auto& [comp, d] : sim.subtotals[k].deltas) {
        groupDelta[k][comp] = d;
      }
    }
    for (std::int64_t r = 0; r < nEq; ++r) {
      for (std::int64_t p = rowStart[r]; p < rowStart[r + 1]; ++p) {
        const std::int32_t c = cols[p];
        if (endoIndex[c] >= 0) {
          continue;
        }
        const Eigen::Index row = rowPos[r];
        rhs(row, 0) -= ws.jac[p] * sim.delta[c];
        for (std::size_t k = 0; k < nsub; ++k) {
          rhs(row, static_cast<Eigen::Index>(k + 1)) -= ws.jac[p] * groupDelta[k][c];
        }
      }
    }
    auto t0 = Clock::now();
    Eigen::MatrixXd sol = rhs;
    if (nEq > 0) {
      ws.solving += Seconds(t0);
      if (!Factor(ws)) {
        return false;
      }
      t0 = Clock::now();
      sol = ws.lu.solve(rhs);
    }
    ws.solving += Seconds(t0);
    dy = sim.delta;
    for (std::size_t j = 0; j < endoComp.size(); ++j) {
      dy[endoComp[j]] = sol(static_cast<Eigen::Index>(j), 0);
    }
    dc.resize(nsub);
    for (std::size_t k = 0; k < nsub; ++k) {
      dc[k] = groupDelta[k];
      for (std::size_t j = 0; j < endoComp.size(); ++j) {
        dc[k][endoComp[j]] = sol(static_cast<Eigen::Index>(j), static_cast<Eigen::Index>(k + 1));
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
    auto derivative = [&](const std::vector<double>& z, bool first) {
      if (first) {
        dy = dy0;
        dc = dc0;
        return true;
      }
      for (std::size_t i = 0; i < n; ++i) {
        at[i] = base[i] + z[i];
      }
      return Derivative(ws, at, dy, dc);
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

Solver::Solver(ModelRuntime& runtime, const Simulation& sim, LogFn log)
    : impl_(std::make_unique<Impl>(runtime, sim, std::move(log))) {}

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
  const bool parallel = std::thread::hardware_concurrency() > 1;
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
    // Every solution starts with the derivative at the subinterval's start; the longest solution runs on a
    // second thread while the others run on this one.
    std::vector<double> dy0;
    std::vector<std::vector<double>> dc0;
    std::vector<char> solved(static_cast<std::size_t>(nsol), 0);
    if (s.Derivative(*s.spaces[0], moved, dy0, dc0)) {
      auto run = [&](int i, Impl::Workspace& ws) {
        solved[i] = s.Integrate(ws, method, steps[i], moved, len, dy0, dc0, solY[i], solC[i]) ? 1 : 0;
      };
      if (nsol > 1 && parallel) {
        if (s.spaces.size() < 2) {
          s.AddWorkspace();
        }
        std::thread longest;
        try {
          longest = std::thread(run, nsol - 1, std::ref(*s.spaces[1]));
        } catch (const std::system_error&) {
          run(nsol - 1, *s.spaces[1]); // no second thread to be had: one after the other
        }
        for (int i = 0; i + 1 < nsol; ++i) {
          run(i, *s.spaces[0]);
        }
        if (longest.joinable()) {
          longest.join();
        }
      } else {
        for (int i = 0; i < nsol; ++i) {
          run(i, *s.spaces[0]);
        }
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
  }
  return true;
}

} // namespace pelorin::engine
