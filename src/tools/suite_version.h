#pragma once

#include "platform/process.h"
#include "platform/profile_file.h"
#include "tools/diagnostics_report.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

/// The suite's folder: the folder KVDIR names when it exists; else the program folder when the model
/// compiler "merka.exe" (in any case) is there, since the suite's programs are installed beside the
/// program; empty when neither.
std::string LocateSuiteFolder(const std::optional<std::string>& kvdir, const std::string& programDir);

/// The model compiler's report run: "merka.exe -sti mrkrpt.sti", started hidden in the temporary folder on a
/// stored input holding "RPT", the report file's name ("merka.rpt" in the same folder) and two blanks. The
/// compiler answers by writing the report, a profile file with section "result".
class MerkaReportRun {
public:
  /// How starting went.
  enum class Start { Started, CompilerMissing, CannotDelete, CannotStart };

  /// Deletes the files of an earlier run, writes the stored input and starts the compiler of `suiteFolder`.
  /// On failure `problem` holds the file concerned (the missing compiler, the file that could not be deleted)
  /// or the reason the compiler did not start.
  Start Begin(const std::string& suiteFolder, const std::string& tempDir, std::string& problem);
  /// True while the compiler runs (looked at without waiting).
  bool Running() { return process_.Running(); }
  /// Waits at most `timeout` for the end; true when it has ended.
  bool Wait(std::chrono::milliseconds timeout);
  /// True when the compiler ended with exit code 0.
  bool Succeeded() const { return process_.ExitCode() == 0; }
  /// Reads the report: its lines and its values. False when there is none.
  bool ReadReport(std::vector<std::string>& lines, ProfileFile& values) const;
  /// Deletes the report and the stored input.
  void DeleteFiles() const;

  const std::string& ReportFile() const { return reportFile_; }
  const std::string& StoredInputFile() const { return storedInput_; }
  const std::string& Compiler() const { return compiler_; }

private:
  ChildProcess process_;
  std::string compiler_;
  std::string storedInput_;
  std::string reportFile_;
};

/// The two lines the report's values give: "Source Code Version of KALVIMO" (program version "s"),
/// "Executable-Image Version of KALVIMO" ("e") or "Unknown Version of KALVIMO", then "KALVIMO Release: " +
/// release; a release of one character or none gives the one line "Cannot get KALVIMO version".
std::vector<std::string> VersionLinesFromReport(const ProfileFile& values);

/// The suite-version lines of the about box and the report: "Cannot locate KALVIMO folder", or
/// "KALVIMO folder: " + folder followed by the lines of the compiler's report run (waited for at most
/// `timeout`) or what stopped it ("Cannot locate MERKA.EXE", "Cannot delete: " + file, "Cannot run
/// MERKA.EXE", "cannot locate: " + report). The run's files are deleted afterwards.
std::vector<std::string> SuiteVersionLines(const std::optional<std::string>& kvdir,
                                           const std::string& programDir, const std::string& tempDir,
                                           std::chrono::milliseconds timeout = std::chrono::seconds(10));

/// Appends the diagnostics window's last section: "Contents of RPT file from MERKA: " + report file, with
/// the report's lines except the last two.
void AppendReportRunSection(DiagnosticsReport& report, const std::string& reportFile,
                            const std::vector<std::string>& lines);

} // namespace pelorin
