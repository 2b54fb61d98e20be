#include "tools/diagnostics_run.h"

#include "platform/profile_file.h"

#include <vector>

namespace pelorin {

bool DiagnosticsReportRun::Begin(DiagnosticsReport& report, const std::string& suiteFolder,
                                 const std::string& programDir, const std::string& tempDir) {
  watching_ = false;
  if (suiteFolder.empty()) {
    report.Line("Error: " + programDir);
    return false;
  }
  std::string problem;
  switch (run_.Begin(suiteFolder, tempDir, problem)) {
  case MerkaReportRun::Start::Started:
    watching_ = true;
    return true;
  case MerkaReportRun::Start::CompilerMissing:
    report.Line("Could not locate file: " + problem);
    break;
  case MerkaReportRun::Start::CannotDelete:
  case MerkaReportRun::Start::CannotStart:
    report.Line("Error: " + suiteFolder);
    break;
  }
  run_.DeleteFiles();
  return false;
}

bool DiagnosticsReportRun::Poll(DiagnosticsReport& report) {
  if (!watching_) {
    return true;
  }
  if (run_.Running()) {
    return false;
  }
  watching_ = false;
  std::vector<std::string> lines;
  ProfileFile values;
  if (run_.ReadReport(lines, values)) {
    AppendReportRunSection(report, run_.ReportFile(), lines);
  } else {
    report.Line("Could not locate file: " + run_.ReportFile());
  }
  run_.DeleteFiles();
  return true;
}

void DiagnosticsReportRun::Abandon() {
  if (watching_) {
    watching_ = false;
    run_.DeleteFiles();
  }
}

} // namespace pelorin
