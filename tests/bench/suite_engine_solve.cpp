// Solves a generated multi-region trade model (Armington import demand over bilateral flows, CES price
// indexes, Cobb-Douglas final demand, one factor per region) with Gragg 2-4-6 and extrapolation, and writes
// its solution file.
//
//   bench_suite_engine_solve --benchmark_filter='Solve/regions:30/commodities:48/lu:0/condense:1'
//   bench_suite_engine_solve --benchmark_filter='regions:(9|18|30)/'      # the sizes that take seconds
//
// Sizes: regions x commodities = 9 x 44 (about 5,000 equations), 18 x 50 (about 20,000), 30 x 48 (49,020),
// 60 x 52 (199,800) and 100 x 48 (499,400); each with the three sparse LU factorisations side by side on the
// same Jacobians, and with the default one without condensation. Counters: equations, equations the LU
// factorises, factorisations, Jacobians, processor seconds per step spent evaluating the equations and their
// Jacobian (with the substitution) and factorising, processor seconds of the solves, the entries of the LU
// factors, wall-clock seconds of setting up (reading the data, expanding the equations), of the solve and of
// writing the solution file, their total, the processor seconds of it all (both cores count), and the peak
// resident memory. The two largest sizes take minutes and gigabytes (more without condensation): they are
// for measuring, never run by CTest.
#include "engine/closure.h"
#include "engine/command_file.h"
#include "engine/data_io.h"
#include "engine/runtime.h"
#include "engine/solution_file.h"
#include "engine/solver.h"
#include "mrklang/parser.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>

namespace {

using namespace pelorin;

const char* const kModel = R"(model Bench "Generated multi-region trade model" ;
file DATA "Base data" input text updated ;
set REG "Regions" = read DATA "REG" ;
set COM "Commodities" = read DATA "COM" ;
coefficient SIG(c in COM) "Armington elasticity" = read DATA "SIG" ;
coefficient ALPHA(c in COM, r in REG) "Budget shares" = read DATA "ALPH" ;
coefficient SH(c in COM, s in REG, d in REG) "Import shares" = read DATA "SH" ;
coefficient DUM(r in REG) "Numeraire region" = read DATA "DUM" ;
variable percent PF(r in REG) "Factor price" = 1 ;
variable percent AO(c in COM, r in REG) "Productivity" = 1 ;
variable percent TM(c in COM, s in REG, d in REG) "Trade cost power" = 1 ;
variable percent Y(r in REG) "Income" = read DATA "Y" ;
variable percent PS(c in COM, r in REG) "Supply price" = PF(r) / AO(c, r) ;
variable percent PIM(c in COM, d in REG) "Import price index" = 1 ;
variable percent QIM(c in COM, d in REG) "Import demand" = ALPHA(c, d) * Y(d) / PIM(c, d) ;
variable percent QXS(c in COM, s in REG, d in REG) "Bilateral trade" = SH(c, s, d) * QIM(c, d) ;
variable percent QO(c in COM, r in REG) "Output" = sum(d in REG, QXS(c, r, d)) ;
variable percent L(r in REG) "Labour" = sum(c in COM, QO(c, r) / AO(c, r)) ;
variable change WALRAS "Walras slack" = 0 ;
equation E_QXS(c in COM, s in REG, d in REG) "Bilateral demand" :
  QXS(c, s, d) = SH(c, s, d) * QIM(c, d) * (PIM(c, d) / (PS(c, s) * TM(c, s, d))) ^ SIG(c) ;
equation E_PIM(c in COM, d in REG) "Price index" :
  PIM(c, d) ^ (1 - SIG(c)) = sum(s in REG, SH(c, s, d) * (PS(c, s) * TM(c, s, d)) ^ (1 - SIG(c))) ;
equation E_QIM(c in COM, d in REG) "Final demand" : PIM(c, d) * QIM(c, d) = ALPHA(c, d) * Y(d) ;
equation E_QO(c in COM, r in REG) "Market clearing" : QO(c, r) = sum(d in REG, QXS(c, r, d)) ;
equation E_PS(c in COM, r in REG) "Unit cost" : PS(c, r) * AO(c, r) = PF(r) ;
equation E_Y(r in REG) "Income" : Y(r) = PF(r) * L(r) + DUM(r) * WALRAS ;
equation E_L(r in REG) "Factor market" : L(r) = sum(c in COM, QO(c, r) / AO(c, r)) ;
update DATA "Y" (r in REG) = Y(r) ;
)";

/// Base data in equilibrium: income is the fixed point of the trade matrix, so every market clears.
std::string MakeData(int regions, int commodities) {
  std::mt19937 gen(20240611);
  std::uniform_real_distribution<double> share(0.2, 1.0);
  const int r = regions;
  const int c = commodities;
  std::vector<double> alpha(static_cast<std::size_t>(c * r)), sh(static_cast<std::size_t>(c * r * r));
  for (int d = 0; d < r; ++d) {
    double sum = 0;
    for (int k = 0; k < c; ++k) {
      sum += alpha[k + c * d] = share(gen);
    }
    for (int k = 0; k < c; ++k) {
      alpha[k + c * d] /= sum;
    }
    for (int k = 0; k < c; ++k) {
      double s2 = 0;
      for (int s = 0; s < r; ++s) {
        s2 += sh[k + c * (s + r * d)] = share(gen) * (s == d ? 4.0 : 1.0);
      }
      for (int s = 0; s < r; ++s) {
        sh[k + c * (s + r * d)] /= s2;
      }
    }
  }
  std::vector<double> y(static_cast<std::size_t>(r), 1.0);
  // Income flows from buyer d to seller s in proportion to m[s + r * d].
  std::vector<double> m(static_cast<std::size_t>(r * r), 0.0);
  for (int s = 0; s < r; ++s) {
    for (int d = 0; d < r; ++d) {
      for (int k = 0; k < c; ++k) {
        m[s + r * d] += sh[k + c * (s + r * d)] * alpha[k + c * d];
      }
    }
  }
  for (int it = 0; it < 5000; ++it) {
    std::vector<double> next(static_cast<std::size_t>(r), 0.0);
    for (int s = 0; s < r; ++s) {
      for (int d = 0; d < r; ++d) {
        next[s] += m[s + r * d] * y[d];
      }
    }
    double total = 0;
    for (double v : next) {
      total += v;
    }
    for (int s = 0; s < r; ++s) {
      y[s] = next[s] * 100.0 * r / total;
    }
  }
  std::ostringstream out;
  out.precision(17);
  out << "header \"REG\" strings " << r << " ;\n";
  for (int s = 0; s < r; ++s) {
    out << "r" << s + 1 << "\n";
  }
  out << "header \"COM\" strings " << c << " ;\n";
  for (int k = 0; k < c; ++k) {
    out << "c" << k + 1 << "\n";
  }
  out << "header \"SIG\" real " << c << " ;\n";
  for (int k = 0; k < c; ++k) {
    out << 2.0 + (k % 7) * 0.75 << (k + 1 == c ? "\n" : " ");
  }
  out << "header \"ALPH\" real " << c << " " << r << " ;\n";
  for (double v : alpha) {
    out << v << "\n";
  }
  out << "header \"SH\" real " << c << " " << r << " " << r << " ;\n";
  for (double v : sh) {
    out << v << "\n";
  }
  out << "header \"DUM\" real " << r << " ;\n";
  for (int s = 0; s < r; ++s) {
    out << (s == 0 ? 1 : 0) << "\n";
  }
  out << "header \"Y\" real " << r << " ;\n";
  for (double v : y) {
    out << v << "\n";
  }
  return out.str();
}

const char* const kCommands = R"(
exogenous AO TM PF("r1") L ;
rest endogenous ;
shock TM(COM, "r1", REG) = uniform -10 ;
shock AO("c1", REG) = uniform 5 ;
)";

long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::stol(line.substr(6));
    }
  }
  return 0;
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

/// Lets the next VmHWM reading start from the present resident memory, so each benchmark reports its own
/// peak.
void ResetPeakResident() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Arguments: regions, commodities, the LU (0 KLU, 1 UMFPACK, 2 Eigen's SparseLU), condensation (1 on, 0 off)
// and threads (0: one per processor).
void Solve(benchmark::State& state) {
  const int regions = static_cast<int>(state.range(0));
  const int commodities = static_cast<int>(state.range(1));
  engine::SolverOptions options;
  options.lu = static_cast<engine::LuKind>(state.range(2));
  options.condense = state.range(3) != 0;
  options.threads = static_cast<int>(state.range(4));
  state.SetLabel(std::string(engine::LuName(options.lu)) + (options.condense ? "" : ", no condensation"));
  mrk::Model model;
  std::vector<mrk::Diagnostic> diagnostics;
  if (!mrk::ParseModel(kModel, model, diagnostics)) {
    state.SkipWithError("model does not parse");
    return;
  }
  ErrorText err;
  engine::DataFile data;
  if (!engine::ParseTextData(MakeData(regions, commodities), "bench.txt", data, err)) {
    state.SkipWithError(err.c_str());
    return;
  }
  engine::CommandFile cmf;
  engine::ParseCommandFile(kCommands, "bench.cmf", cmf, err);
  engine::MethodOptions method; // Gragg 2-4-6
  engine::SolveOutcome out;
  test::TempDir dir;
  std::int64_t equations = 0;
  double total = 0, cpu = 0, setup = 0, solving = 0, writing = 0;
  ResetPeakResident();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ProcessCpuSeconds();
    engine::ModelRuntime rt;
    engine::Simulation sim;
    if (!rt.Load(model, {&data}, {"bench.txt"}, err) || !engine::BuildClosure(cmf, rt, sim, err) ||
        !engine::BuildShocks(cmf, rt, sim, err) || !rt.BuildTapes(err)) {
      state.SkipWithError(err.c_str());
      return;
    }
    setup = Since(start);
    const auto solveStart = std::chrono::steady_clock::now();
    engine::Solver solver(rt, sim, nullptr, options);
    std::string reason;
    if (!solver.CheckClosure(reason) || !solver.CheckInitialData(err) ||
        !solver.Solve(method, nullptr, {}, out, err)) {
      state.SkipWithError((reason + err).c_str());
      return;
    }
    solving = Since(solveStart);
    const auto writeStart = std::chrono::steady_clock::now();
    engine::SolutionData solution;
    solution.runtime = &rt;
    solution.sim = &sim;
    solution.outcome = &out;
    solution.cmf = &cmf;
    solution.method = method;
    solution.stamp = std::string(40, ' ');
    solution.modelName = "Bench";
    if (!engine::WriteSolutionFile(dir.File("bench.sl4"), solution, err)) {
      state.SkipWithError(err.c_str());
      return;
    }
    writing = Since(writeStart);
    equations = rt.NumEquations();
    total = Since(start);
    cpu = ProcessCpuSeconds() - cpuStart;
  }
  const auto steps = static_cast<double>(out.factorisations);
  state.counters["equations"] = static_cast<double>(equations);
  state.counters["lu_equations"] = static_cast<double>(out.luSize);
  state.counters["factorisations"] = steps;
  state.counters["jacobians"] = static_cast<double>(out.evaluations);
  state.counters["eval_cpu_s_per_step"] = out.assemblySeconds / static_cast<double>(out.evaluations);
  state.counters["factorise_cpu_s_per_step"] = out.factorisationSeconds / steps;
  state.counters["solves_cpu_s"] = out.solveSeconds;
  state.counters["order_cpu_s"] = out.orderSeconds;
  state.counters["lu_fill"] = static_cast<double>(out.luFill);
  state.counters["setup_s"] = setup;
  state.counters["solve_s"] = solving;
  state.counters["write_s"] = writing;
  state.counters["total_s"] = total;
  state.counters["cpu_s"] = cpu;
  state.counters["peak_MB"] = static_cast<double>(PeakResidentKb()) / 1024.0;
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"regions", "commodities", "lu", "condense", "threads"});
  for (const auto& [regions, commodities] : {std::pair{9, 44}, {18, 50}, {30, 48}, {60, 52}, {100, 48}}) {
    for (int lu = 0; lu < 3; ++lu) {
      b->Args({regions, commodities, lu, 1, 0});
    }
    b->Args({regions, commodities, static_cast<int>(engine::kDefaultLu), 0, 0});
  }
}

BENCHMARK(Solve)->Apply(Sizes)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
