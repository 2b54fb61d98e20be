#include "app/application.h"
#include "datafiles/har_writer.h"
#include "modelinfo/model_info_writer.h"
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

// A program folder as installed: the companion programs, the help page, vital.fil, and two models whose
// information files come from the project's writer, settings naming the model and its lists.
class InstalledProgram {
public:
  InstalledProgram() {
    programDir = dir.File("prog");
    for (const char* file :
         {"praxola.exe", "mirdaa.exe", "lumarix.exe", "dravex.exe", "telvari.exe", "orvane.html"}) {
      Write(file, "");
    }
    Write("vital.fil", "praxola.exe\nmirdaa.exe\norvane.html\n");
    InstallModel("Minimal", 4, 40);
    InstallModel("Trade", 12, 400);
  }

  void Write(const std::string& relative, const std::string& text) {
    const fs::path path = fs::path(programDir) / relative;
    fs::create_directories(path.parent_path());
    dir.Write(fs::relative(path, dir.Path()).string(), text);
  }

  void InstallModel(const std::string& name, int sets, int variables) {
    for (const char* extension :
         {"mrk", "axs", "axt", "sti", "exe", "inf", "bmp", "rtf", "cls", "mdf", "html"}) {
      Write(name + "/" + name + "." + extension, "");
    }
    Write(name + "/" + name + ".tit",
          "clCream\n1.5 clNavy\n" + name + "\n1 clBlue\nA model\n1 clBlue\n\n1 clBlue\n\n");
    const std::string stamp = "Mon Dec  7 10:00:00 2026";
    ModelInfoDescription description;
    for (int i = 0; i < 3; ++i) {
      const std::string data = "data" + std::to_string(i) + ".har";
      description.files.push_back({"DATA" + std::to_string(i), "in", i == 0, "har", "", "Data file " + data});
      Write(name + "/" + data, "");
    }
    description.mrkFile = name + ".mrk";
    description.stiFile = "%none";
    description.tmDate = stamp;
    for (int s = 1; s <= sets; ++s) {
      SetDescription set{"SET" + std::to_string(s), "Set " + std::to_string(s), 10, {}};
      for (int e = 1; e <= 10; ++e) {
        set.elements.push_back("e" + std::to_string(s) + "_" + std::to_string(e));
      }
      description.sets.push_back(set);
    }
    for (int v = 1; v <= variables; ++v) {
      VariableDescription variable;
      variable.name = "v" + std::to_string(v);
      variable.argSets = {1 + v % sets, 1 + (v + 1) % sets};
      variable.size = 100;
      variable.vcTp = v % 2 == 0 ? 'p' : 'c';
      variable.description = "Variable number " + std::to_string(v);
      description.variables.push_back(variable);
    }
    ErrorText error;
    const std::string base = programDir + "/" + name + "/" + name;
    if (!WriteModelInfo(base + ".min", description, error) ||
        !WriteHarFile(base + ".axt", {MakeStrings("DTXT", "Time and date of compilation", {stamp}, 40)}, {},
                      error)) {
      throw std::runtime_error(error);
    }
    std::string ini = "[Options]\nModelDesc=" + name + " model\n[Environment]\nModel=C:\\old\\" + name +
                      ".exe\nModel Name=" + name + "\n[Input Files]\n";
    for (int i = 0; i < 3; ++i) {
      ini += std::to_string(i) + "=File DATA" + std::to_string(i) + " = C:\\old\\data" + std::to_string(i) +
             ".har ; ! data\n";
    }
    ini +=
        "[Closure]\n0=exogenous v1 v2 ;\n1=rest endogenous ;\n[Shocks]\n0=shock v1 = 10 ;\n"
        "[Output Files]\n0=Solution file = sim1 ;\n[Solution Method]\nMethod=3\nNSOL=3\nSteps1=2\nSteps2=4\n"
        "Steps3=6\n";
    Write(name + "/" + name + ".ini", ini);
  }

  test::TempDir dir;
  std::string programDir;
};

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
  const InstalledProgram program;
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
  const InstalledProgram program;
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
