#include "solved_minimal.h"

#include "platform/process.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace pelorin::test {

namespace {

int RunToEnd(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
             std::string& failure) {
  ChildProcess process;
  ProcessOptions options;
  options.folder = folder;
  ErrorText error;
  if (!process.Start(program, arguments, options, error)) {
    failure = error;
    return -1;
  }
  while (process.Running()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return process.ExitCode();
}

} // namespace

SolvedMinimal* SolvedMinimal::Get(std::string& failure) {
  static std::unique_ptr<SolvedMinimal> solved;
  static std::string firstFailure;
  if (!solved && firstFailure.empty()) {
    auto made = std::make_unique<SolvedMinimal>();
    if (made->Solve(firstFailure)) {
      solved = std::move(made);
    }
  }
  failure = firstFailure;
  return solved.get();
}

bool SolvedMinimal::Solve(std::string& failure) {
  namespace fs = std::filesystem;
  programDir = dir.File("prog");
  if (RunToEnd("/bin/sh",
               {"-c", std::string(PELORIN_CMAKE) + " --install " + PELORIN_BINARY_DIR + " --prefix " +
                          programDir + " > install.log 2>&1"},
               dir.File(""), failure) != 0) {
    failure += "installing the program folder failed: " + ReadFileBytes(dir.File("install.log"));
    return false;
  }
  for (const char* folder : {"work", "keep", "out", "exports"}) {
    fs::create_directories(run.File(folder));
  }
  ApplicationOptions options;
  options.executablePath = programDir + "/pelorin";
  options.exit = [this](int code) { exits.push_back(code); };
  options.changeToRoot = false;
  options.workDir = run.File("work");
  options.keepDir = run.File("keep");
  app = std::make_unique<Application>(ui, options);
  ui.choices.push_back(0); // Minimal
  if (app->FormCreate() != Application::StartOutcome::Ready) {
    failure = "start-up failed";
    return false;
  }
  app->DosJobTimerTimer();
  app->Model.Model.OutputDir = run.File("out");
  app->Jobs.Hooks.showAccSummary = [this](AccSummaryDialog& dialog) {
    accuracy = std::make_unique<AccSummaryRec>(dialog.Record());
    ++accuracyShown;
  };
  ui.messages.clear();
  app->Simulation.Solve.SolveButtonClick();
  for (int ticks = 0; app->Window.timerEnabled && ticks < 6000; ++ticks) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    app->DosJobTimerTimer();
  }
  if (!app->App.Solved || !exits.empty()) {
    failure = "the solve failed:";
    for (const std::string& text : ui.Texts()) {
      failure += " " + text;
    }
    return false;
  }
  ui.messages.clear();
  return true;
}

int SolvedMinimal::ContentsRow(const std::string& first) const {
  const SimTab& table = app->Results.ContentsTable();
  for (int r = 1; r <= table.nrow; ++r) {
    if (table.Cell(r, 0) == first) {
      return r;
    }
  }
  return 0;
}

} // namespace pelorin::test
