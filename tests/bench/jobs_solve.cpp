// The job runner's own share of a solve: the Solve page's checks, writing the command and answer files and
// the job script, starting each job, judging it, loading the results, the accuracy summary and the solution's
// summary as model information. The suite's programs are stand-ins, and their run time and the waits between
// ticks are not counted: before each tick the benchmark waits (untimed) until the job has ended.

#include "../jobs/stand_in_suite.h"
#include "../results/solution_files.h"
#include "app/application.h"
#include "support/saved_environment.h"
#include "support/scripted_ui.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <sys/wait.h>

namespace pelorin {
namespace {

// Results the size of a mid-sized model: 300 variables over sets of 20 and 10 elements, levels and two
// subtotals.
void WriteResults(const std::string& folder) {
  test::SimFiles files;
  files.sets = {test::MakeSet("SET1", test::Names("a", 20)), test::MakeSet("SET2", test::Names("b", 10))};
  for (int v = 1; v <= 300; ++v) {
    const std::vector<int> args = v % 3 == 0   ? std::vector<int>{}
                                  : v % 3 == 1 ? std::vector<int>{1}
                                               : std::vector<int>{1, 2};
    files.vars.push_back(
        {"v" + std::to_string(v), args, v % 2 == 0 ? 'p' : 'c', "Variable " + std::to_string(v), {}});
  }
  files.levelsAvailable = true;
  files.subtotalsAvailable = 2;
  files.subtotalDescriptions = {"first", "second"};
  files.Write(folder, "sim1");
}

// Waits until the watched job has ended, without reaping it (the runner's tick does that).
void WaitForJob(const Application& app) {
  const ChildProcess* process = app.Jobs.Job.Process.get();
  if (process != nullptr && process->Pid() > 0) {
    siginfo_t info{};
    ::waitid(P_PID, static_cast<id_t>(process->Pid()), &info, WEXITED | WNOWAIT);
  }
}

void BM_SolveCoreOverhead(benchmark::State& state) {
  const test::SavedEnvironment environment;
  test::InstalledProgram program;
  program.InstallModel("Minimal", 3, 12);
  test::InstallStandInSuite(program, program.dir.File("control"));
  test::ScriptedUserInterface ui;
  ApplicationOptions options;
  options.executablePath = program.programDir + "/pelorin";
  options.exit = [](int) {};
  options.changeToRoot = false;
  Application app(ui, options);
  if (app.FormCreate() != Application::StartOutcome::Ready) {
    state.SkipWithError("start-up failed");
    return;
  }
  app.DosJobTimerTimer();
  app.Jobs.Hooks.showAccSummary = [](AccSummaryDialog&) {};
  WriteResults(app.Model.Model.OutputDir);

  using Clock = std::chrono::steady_clock;
  for (auto _ : state) {
    ui.messages.clear();
    Clock::duration core{};
    Clock::time_point start = Clock::now();
    app.Simulation.Solve.SolveButtonClick();
    core += Clock::now() - start;
    while (app.Window.timerEnabled) {
      WaitForJob(app);
      start = Clock::now();
      app.DosJobTimerTimer();
      core += Clock::now() - start;
    }
    if (!app.App.Solved) {
      state.SkipWithError("the solve failed");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(core).count());
  }
}
BENCHMARK(BM_SolveCoreOverhead)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pelorin
