// Speed of the results: loading a large simulation's solutions, building its contents list, and building a
// 2,000 x 500 data view.
#include "results/results_model.h"

#include "results/contents_view.h"
#include "results/decimal_separator.h"
#include "results/solution_files.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace pelorin {
namespace {

// 2,000 variables (scalars, vectors over 4 sets, matrices, 3-dimensional ones), levels results and 3
// subtotals: 7 open solutions.
struct LargeSim {
  test::TempDir dir;
  std::string sol;
  std::string sli;

  LargeSim() {
    test::SimFiles files;
    files.sets = {test::MakeSet("REG", test::Names("reg", 10)), test::MakeSet("COM", test::Names("com", 25)),
                  test::MakeSet("IND", test::Names("ind", 20)), test::MakeSet("SRC", {"dom", "imp"})};
    for (int i = 0; i < kMaxPlanVars; ++i) {
      std::vector<int> args;
      switch (i % 5) {
      case 0:
        break;
      case 1:
        args = {1 + i % 3};
        break;
      case 2:
        args = {2};
        break;
      case 3:
        args = {2, 1};
        break;
      default:
        args = {2, 4, 1};
        break;
      }
      files.vars.push_back({"var" + std::to_string(i), args, i % 2 ? 'p' : 'c',
                            "variable number " + std::to_string(i),
                            i % 7 == 0 && !args.empty() ? std::vector<std::pair<int, int>>{{1, 2}}
                                                        : std::vector<std::pair<int, int>>{}});
    }
    files.levelsAvailable = true;
    files.subtotalsAvailable = 3;
    files.subtotalDescriptions = {"tariffs", "taxes", "technology"};
    sol = files.Write(dir.Path().string());
    sli = dir.File("sim.sli");
  }
};

LargeSim& Large() {
  static LargeSim sim;
  return sim;
}

void BM_PVLoadSol(benchmark::State& state) {
  LargeSim& sim = Large();
  test::ScriptedUserInterface ui;
  ResultsModel model(ui);
  ErrorText error;
  for (auto _ : state) {
    if (!model.PVLoadSol(sim.sol, " ", sim.sli, true, true, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  state.counters["solutions"] = model.Nsol();
  state.counters["variables"] = model.PlanCount();
}
BENCHMARK(BM_PVLoadSol)->Unit(benchmark::kMillisecond);

void BM_MakeContentsList(benchmark::State& state) {
  LargeSim& sim = Large();
  test::ScriptedUserInterface ui;
  ResultsModel model(ui);
  ErrorText error;
  if (!model.PVLoadSol(sim.sol, " ", sim.sli, true, true, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  model.ContentsFormat = static_cast<int>(state.range(0));
  ContentsList list;
  SimTab table;
  for (auto _ : state) {
    if (!MakeContentsList(model, list, table, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  state.counters["lines"] = static_cast<double>(list.size());
}
BENCHMARK(BM_MakeContentsList)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_BuildDataTable(benchmark::State& state) {
  SetDecimalSeparator('.');
  test::TempDir dir;
  test::SimFiles files;
  files.sets = {test::MakeSet("ROW", test::Names("r", 2000)), test::MakeSet("COL", test::Names("c", 500))};
  files.vars = {{"big", {1, 2}, 'p', "a large matrix", {{1, 1000}}}};
  files.value = [](const test::SimVar&, int, int component) {
    return static_cast<float>(component % 9973) / 7.0f - 500.0f;
  };
  const std::string sol = files.Write(dir.Path().string());
  test::ScriptedUserInterface ui;
  ResultsModel model(ui);
  ErrorText error;
  ContentsList list;
  SimTab contents;
  if (!model.PVLoadSol(sol, " ", dir.File("sim.sli"), true, true, error) ||
      !MakeContentsList(model, list, contents, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  SimTab table;
  std::string title;
  for (auto _ : state) {
    if (!BuildDataTable(model, list.front(), 2, table, title, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  state.counters["cells"] = static_cast<double>(table.nrow) * table.ncol;
}
BENCHMARK(BM_BuildDataTable)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pelorin
