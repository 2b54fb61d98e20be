#include "../app/installed_program.h"
#include "app/application.h"
#include "platform/process.h"
#include "support/saved_environment.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

// Start-up from the application's creation to the end of the first tick's checks: the model restored from its
// settings (companion files, stamps and file section checked, information file read), input files checked.
// Empty when it got there, else what stopped it.
std::string StartUp(const std::string& programDir) {
  test::ScriptedUserInterface ui;
  ui.choices.push_back(1); // the Trade model, the larger one
  ApplicationOptions options;
  options.executablePath = programDir + "/pelorin";
  bool halted = false;
  options.exit = [&](int) { halted = true; };
  auto app = std::make_unique<Application>(ui, options);
  if (app->FormCreate() != Application::StartOutcome::Ready) {
    return "start-up did not finish";
  }
  app->DosJobTimerTimer();
  if (halted || !ui.messages.empty() || app->Model.Model.ModelFile.empty() || app->ModelInfo.NVar != 400) {
    return ui.messages.empty() ? "model not restored" : ui.messages[0].text;
  }
  return {};
}

void BM_StartUpToEndOfFirstTick(benchmark::State& state) {
  const test::SavedEnvironment environment;
  test::InstalledProgram program;
  program.InstallModel("Minimal", 4, 40);
  program.InstallModel("Trade", 12, 400);
  for (auto _ : state) {
    if (const std::string problem = StartUp(program.programDir); !problem.empty()) {
      state.SkipWithError(problem.c_str());
      break;
    }
  }
}
BENCHMARK(BM_StartUpToEndOfFirstTick)->Unit(benchmark::kMillisecond);

// The same from process start: this program runs itself with PELORIN_STARTUP_CHILD naming the program folder,
// and the child does one start-up before main() and ends (exit code 0 when it got to the end).
[[maybe_unused]] const bool kChild = [] {
  if (const char* programDir = std::getenv("PELORIN_STARTUP_CHILD")) {
    std::_Exit(StartUp(programDir).empty() ? 0 : 1);
  }
  return false;
}();

void BM_ProcessStartToEndOfFirstTick(benchmark::State& state) {
  const test::SavedEnvironment environment;
  test::InstalledProgram program;
  program.InstallModel("Minimal", 4, 40);
  program.InstallModel("Trade", 12, 400);
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  for (auto _ : state) {
    ::setenv("PELORIN_STARTUP_CHILD", program.programDir.c_str(), 1);
    ChildProcess child;
    ErrorText error;
    const bool started = child.Start(self, {}, {}, error);
    ::unsetenv("PELORIN_STARTUP_CHILD");
    if (!started) {
      state.SkipWithError(error.c_str());
      break;
    }
    while (child.Running()) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (child.ExitCode() != 0) {
      state.SkipWithError("the child's start-up did not finish");
      break;
    }
  }
}
BENCHMARK(BM_ProcessStartToEndOfFirstTick)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pelorin
