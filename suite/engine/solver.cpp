#include "engine/solver.h"

#include "engine/derivative.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <system_error>
#include <thread>

namespace pelorin::engine {

namespace {

using Clock = std::chrono::steady_clock;

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

std::vector<double> LevelsAfterMoves(const ModelRuntime& runtime, const std::vector<double>& move) {
  std::vector<double> x(move.size());
  const auto& pct = runtime.PercentComponents();
  const std::vector<double>& x0 = runtime.InitialLevels();
  for (std::size_t k = 0; k < move.size(); ++k) {
    x[k] = pct[k] ? x0[k] * std::exp(move[k]) : x0[k] + move[k];
  }
  return x;
}

struct Solver::Impl {
  ModelRuntime& rt;
  const Simulation& sim;
  LogFn log;
  SolverOptions options;
  std::int64_t nComp = 0;
  PathDerivative path;

  Impl(ModelRuntime& r, const Simulation& s, LogFn l, SolverOptions o)
      : rt(r), sim(s), log(l), options(o), path(r, s, o, l) {}

  void Log(const std::string& line) {
    if (log) {
      log(line);
    }
  }

  bool Prepare(std::string& reason) {
    nComp = rt.NumComponents();
    return path.Prepare(reason);
  }

  std::vector<double> Levels(const std::vector<double>& move) const { return LevelsAfterMoves(rt, move); }

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
  bool Integrate(PathDerivative::Workspace& ws, int method, int steps, const std::vector<double>& base,
                 double length, const std::vector<double>& dy0, const std::vector<std::vector<double>>& dc0,
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
      const bool ok = path.Compute(ws, at, fresh, dy, dc);
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
};

Solver::Solver(ModelRuntime& runtime, const Simulation& sim, LogFn log, SolverOptions options)
    : impl_(std::make_unique<Impl>(runtime, sim, std::move(log), options)) {}

Solver::~Solver() = default;

bool Solver::CheckClosure(std::string& reason) {
  Impl& s = *impl_;
  if (!s.path.Prepared() && !s.Prepare(reason)) {
    return false;
  }
  if (!s.path.FactoriseAt(s.path.At(0), s.rt.InitialLevels()) || !s.path.WellConditioned(s.path.At(0))) {
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
  if (!s.path.Prepared() && !s.Prepare(reason)) {
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
  while (s.path.Workspaces() < static_cast<std::size_t>(threads)) {
    if (!s.path.AddWorkspace()) {
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
    if (s.path.Compute(s.path.At(0), moved, true, dy0, dc0)) {
      auto runGroup = [&](std::size_t g) {
        for (int i : groups[g]) {
          solved[i] =
              s.Integrate(s.path.At(g), method, steps[i], moved, len, dy0, dc0, solY[i], solC[i]) ? 1 : 0;
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
      WriteAccuracyBlock(s.log, false, sub, t, t + len, varCounts, dataCounts, updatedNames);
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
    WriteAccuracyBlock(s.log, true, sub, 0.0, 1.0, varCounts, dataCounts, updatedNames);
  }
  out.y1.resize(x0.size());
  for (std::size_t k = 0; k < x0.size(); ++k) {
    out.y1[k] = out.y0[k] + moved[k];
  }
  out.move = std::move(moved);
  out.subintervalsDone = sub;
  s.path.AddStatistics(out);
  return true;
}

} // namespace pelorin::engine
