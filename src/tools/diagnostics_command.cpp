#include "tools/diagnostics_command.h"

#include "platform/paths.h"
#include "tools/diagnostics_internal.h"
#include "tools/diagnostics_report.h"
#include "tools/diagnostics_run.h"
#include "tools/suite_version.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <thread>
#include <unistd.h>

namespace pelorin {

namespace fs = std::filesystem;

namespace {

// A folder of this run's own for the compiler's report run, so a running program's work folder is left alone.
std::string MakeScratchFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = JoinPath(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp", "pelorin-diag-XXXXXX");
  return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

} // namespace

int PrintDiagnosticsReport(const std::string& executablePath, const std::string& commandLine,
                           std::ostream& out) {
  const SystemView view = LiveSystemView();
  DiagnosticsFacts facts;
  const fs::path exe(executablePath);
  facts.title = exe.stem().string();
  facts.version = kProgramVersion;
  facts.executablePath = executablePath;
  facts.commandLine = commandLine;
  facts.programDir = exe.parent_path().string();
  facts.helpFile = JoinPath(facts.programDir, "orvane.html");
  facts.tempDir = JoinPath(facts.programDir, "work");
  facts.keepDir = "none (no model chosen)";
  const std::string scratch = MakeScratchFolder();
  const auto kvdir = diagnostics::EnvValue(view, "KVDIR");
  facts.suiteVersionLines = SuiteVersionLines(kvdir, facts.programDir, scratch);
  DiagnosticsReport report = BuildDiagnosticsReport(facts, view);

  DiagnosticsReportRun run;
  if (run.Begin(report, LocateSuiteFolder(kvdir, facts.programDir), facts.programDir, scratch)) {
    // The compiler answers at once; one that hangs is given up after a while and left to end by itself.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!run.Poll(report)) {
      if (std::chrono::steady_clock::now() >= end) {
        run.Abandon();
        report.Line("Could not locate file: " + JoinPath(scratch, "merka.rpt"));
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  if (!scratch.empty()) {
    std::error_code ec;
    fs::remove_all(scratch, ec);
  }
  out << report.Text("\n") << "\n";
  return 0;
}

} // namespace pelorin
