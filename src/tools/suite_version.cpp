#include "tools/suite_version.h"

#include "platform/paths.h"
#include "platform/strings.h"
#include "tools/diagnostics_internal.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace pelorin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCompiler = "merka.exe";

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

bool DeleteIfThere(const std::string& file) {
  return ::unlink(file.c_str()) == 0 || errno == ENOENT;
}

} // namespace

std::string LocateSuiteFolder(const std::optional<std::string>& kvdir, const std::string& programDir) {
  if (kvdir && IsFolder(*kvdir)) {
    return *kvdir;
  }
  if (IsFolder(programDir) && FindFileIgnoringCase(programDir, kCompiler)) {
    return programDir;
  }
  return {};
}

MerkaReportRun::Start MerkaReportRun::Begin(const std::string& suiteFolder, const std::string& tempDir,
                                            std::string& problem) {
  const auto compiler = FindFileIgnoringCase(suiteFolder, kCompiler);
  if (!compiler || !IsRunnable(*compiler)) {
    problem = JoinPath(suiteFolder, kCompiler);
    return Start::CompilerMissing;
  }
  compiler_ = *compiler;
  storedInput_ = JoinPath(tempDir, "mrkrpt.sti");
  reportFile_ = JoinPath(tempDir, "merka.rpt");
  for (const std::string& file : {storedInput_, reportFile_}) {
    if (!DeleteIfThere(file)) {
      problem = file;
      return Start::CannotDelete;
    }
  }
  {
    std::ofstream out(storedInput_, std::ios::binary);
    out << "RPT\n" << reportFile_ << "\n  \n";
    if (!out.flush()) {
      problem = "Cannot create file " + storedInput_;
      return Start::CannotStart;
    }
  }
  ErrorText errorText;
  ProcessOptions options;
  options.folder = tempDir;
  options.discardOutput = true;
  if (!process_.Start(compiler_, {"-sti", storedInput_}, options, errorText)) {
    problem = errorText;
    return Start::CannotStart;
  }
  return Start::Started;
}

bool MerkaReportRun::Wait(std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (process_.Running()) {
    if (std::chrono::steady_clock::now() >= end) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool MerkaReportRun::ReadReport(std::vector<std::string>& lines, ProfileFile& values) const {
  std::string text;
  if (!diagnostics::ReadSmallFile(reportFile_, text, 1u << 20)) {
    return false;
  }
  lines.clear();
  for (std::string_view line : diagnostics::SplitLines(text)) {
    lines.emplace_back(line);
  }
  values.Parse(text);
  return true;
}

void MerkaReportRun::DeleteFiles() const {
  if (!storedInput_.empty()) {
    ::unlink(storedInput_.c_str());
  }
  if (!reportFile_.empty()) {
    ::unlink(reportFile_.c_str());
  }
}

std::vector<std::string> VersionLinesFromReport(const ProfileFile& values) {
  std::string release = values.ReadString("result", "release", "?");
  if (release.size() <= 1) {
    return {"Cannot get KALVIMO version"};
  }
  if (release.back() == '>') {
    release.pop_back();
  }
  if (release.rfind("1.1", 0) == 0) {
    release = "1" + release;
  }
  const std::string program = values.ReadString("result", "Program version", "?");
  std::string kind = "Unknown Version of KALVIMO";
  if (program == "s") {
    kind = "Source Code Version of KALVIMO";
  } else if (program == "e") {
    kind = "Executable-Image Version of KALVIMO";
  }
  return {kind, "KALVIMO Release: " + release};
}

std::vector<std::string> SuiteVersionLines(const std::optional<std::string>& kvdir,
                                           const std::string& programDir, const std::string& tempDir,
                                           std::chrono::milliseconds timeout) {
  const std::string folder = LocateSuiteFolder(kvdir, programDir);
  if (folder.empty()) {
    return {"Cannot locate KALVIMO folder"};
  }
  std::vector<std::string> lines = {"KALVIMO folder: " + folder};
  MerkaReportRun run;
  std::string problem;
  switch (run.Begin(folder, tempDir, problem)) {
  case MerkaReportRun::Start::CompilerMissing:
    lines.emplace_back("Cannot locate MERKA.EXE");
    return lines;
  case MerkaReportRun::Start::CannotDelete:
    lines.push_back("Cannot delete: " + problem);
    return lines;
  case MerkaReportRun::Start::CannotStart:
    lines.emplace_back("Cannot run MERKA.EXE");
    run.DeleteFiles();
    return lines;
  case MerkaReportRun::Start::Started:
    break;
  }
  std::vector<std::string> reportLines;
  ProfileFile values;
  if (!run.Wait(timeout) || !run.Succeeded()) {
    lines.emplace_back("Cannot run MERKA.EXE");
  } else if (!run.ReadReport(reportLines, values)) {
    lines.push_back("cannot locate: " + run.ReportFile());
  } else {
    for (std::string& line : VersionLinesFromReport(values)) {
      lines.push_back(std::move(line));
    }
  }
  run.DeleteFiles();
  return lines;
}

void AppendReportRunSection(DiagnosticsReport& report, const std::string& reportFile,
                            const std::vector<std::string>& lines) {
  report.Section("Contents of RPT file from MERKA: " + reportFile);
  const std::size_t shown = lines.size() > 2 ? lines.size() - 2 : 0;
  for (std::size_t i = 0; i < shown; ++i) {
    report.Line(lines[i]);
  }
}

} // namespace pelorin
