#pragma once

#include "tools/diagnostics_report.h"
#include "tools/suite_version.h"

#include <string>

namespace pelorin {

/// The diagnostics window's run of the model compiler: started when the window opens, looked at by the
/// window's timer, and its report added to the diagnostics report as the last section.
class DiagnosticsReportRun {
public:
  DiagnosticsReportRun() = default;
  ~DiagnosticsReportRun() = default;
  DiagnosticsReportRun(const DiagnosticsReportRun&) = delete;
  DiagnosticsReportRun& operator=(const DiagnosticsReportRun&) = delete;

  /// Starts the compiler of `suiteFolder` (empty: the suite was not found) in `tempDir`. When it cannot
  /// start, the report ends with "Could not locate file: " + the missing compiler, or "Error: " + the folder
  /// (the program folder when there is no suite folder); false then, and nothing is left to watch.
  bool Begin(DiagnosticsReport& report, const std::string& suiteFolder, const std::string& programDir,
             const std::string& tempDir);
  /// Looks without waiting: false while the compiler runs. Once it has ended the report gets the section
  /// "Contents of RPT file from MERKA: " + report file (or "Could not locate file: " + report file when it
  /// wrote none), the run's files are deleted, and true is returned (again on every later call).
  bool Poll(DiagnosticsReport& report);
  /// True between a successful Begin and the Poll that saw the end.
  bool Watching() const { return watching_; }
  /// The window closes: the files of a run still going are deleted (the compiler is left to end by itself).
  void Abandon();

private:
  MerkaReportRun run_;
  bool watching_ = false;
};

} // namespace pelorin
