// The diagnostics report as the diagnostics window builds it before the model compiler's run: every section
// over this machine, with the signatures of the program folder's programs.
#include "support/temp_dir.h"
#include "tools/diagnostics_command.h"
#include "tools/diagnostics_report.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

// PELORIN_PROGRAM_DIR names an installed program folder (dist/); without it the suite's programs of this
// build are copied into a folder of their own (with their debug information, so larger than installed).
void BM_DiagnosticsReport(benchmark::State& state) {
  test::TempDir dir;
  std::string programDir;
  if (const char* installed = std::getenv("PELORIN_PROGRAM_DIR");
      installed != nullptr && installed[0] != '\0') {
    programDir = installed;
  } else {
    programDir = dir.File("prog");
    fs::create_directories(programDir);
    std::string_view programs = PELORIN_SUITE_PROGRAMS;
    while (!programs.empty()) {
      const fs::path program(programs.substr(0, programs.find('|')));
      fs::copy_file(program, fs::path(programDir) / program.filename());
      programs.remove_prefix(std::min(programs.size(), program.string().size() + 1));
    }
  }
  DiagnosticsFacts facts;
  facts.version = kProgramVersion;
  facts.executablePath = programDir + "/pelorin";
  facts.commandLine = "pelorin";
  facts.programDir = programDir;
  facts.helpFile = programDir + "/orvane.html";
  facts.tempDir = programDir + "/work";
  std::size_t lines = 0;
  for (auto _ : state) {
    const DiagnosticsReport report = BuildDiagnosticsReport(facts, LiveSystemView());
    lines = report.lines.size();
    benchmark::DoNotOptimize(lines);
  }
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_DiagnosticsReport)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
} // namespace pelorin
