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
// Jacobian (with the substitution) and factorising (the first factorisations of each thread included),
// processor seconds of the solves and of finding KLU's pivot order, the entries of the LU factors, wall-clock
// seconds of setting up (reading the data, expanding the equations), of the solve and of
// writing the solution file, their total, the processor seconds of it all (both cores count), and the peak
// resident memory. At the two largest sizes KLU takes seconds and about 1 GB, the other factorisations
// minutes and up to 2 GB: they are for measuring, never run by CTest.
#include "../suite_engine/generated_trade.h"
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
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

using namespace pelorin;

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
  if (!mrk::ParseModel(test::kGeneratedTradeModel, model, diagnostics)) {
    state.SkipWithError("model does not parse");
    return;
  }
  ErrorText err;
  engine::DataFile data;
  if (!engine::ParseTextData(test::GeneratedTradeData(regions, commodities), "bench.txt", data, err)) {
    state.SkipWithError(err.c_str());
    return;
  }
  engine::CommandFile cmf;
  engine::ParseCommandFile(test::kGeneratedTradeCommands, "bench.cmf", cmf, err);
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
