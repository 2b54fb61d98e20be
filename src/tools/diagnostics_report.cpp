#include "tools/diagnostics_report.h"

#include "platform/paths.h"
#include "platform/process.h"
#include "platform/strings.h"
#include "tools/diagnostics_internal.h"
#include "tools/exe_header.h"
#include "tools/exe_signature.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

extern char** environ;

namespace pelorin {

namespace fs = std::filesystem;

namespace {

constexpr std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                     "May",       "June",     "July",     "August",
                                                     "September", "October",  "November", "December"};

// The programs a support person wants to know the first of on the search path.
constexpr std::array<std::string_view, 13> kFirstOnPath = {
    "LF90.EXE",   "LF95.EXE", "IFORT.EXE",   "IFORTVARS.BAT", "GFORTVARS.BAT", "MERKA.EXE", "BRISOLEN.EXE",
    "DRAVEX.EXE", "LTG.BAT",  "SCRIBIX.EXE", "LUMARIX.EXE",   "TELVARI.EXE",   "WINKAL.EXE"};

// A long or blank-holding temporary folder trips up the suite's programs.
constexpr std::size_t kLongTempDir = 40;

std::tm LocalTime(std::time_t t) {
  std::tm local{};
  ::localtime_r(&t, &local);
  return local;
}

std::string CompilerText() {
#if defined(__clang__)
  std::string compiler = "Clang " __clang_version__;
#elif defined(__GNUC__)
  std::string compiler = "GCC " __VERSION__;
#else
  std::string compiler = "an unknown compiler";
#endif
  return "Compiler: " + compiler + " (C++ " + std::to_string(__cplusplus) + ")";
}

std::string BuildText() {
#ifdef PELORIN_BUILD_TYPE
  std::string text = "Build settings: " PELORIN_BUILD_TYPE;
#else
  std::string text = "Build settings: unknown build type";
#endif
  text += sizeof(void*) == 8 ? ", 64-bit" : ", 32-bit";
#if defined(__SANITIZE_ADDRESS__)
  text += ", address sanitizer";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  text += ", address sanitizer";
#endif
#endif
  return text;
}

std::string PlatformOfFile(const std::string& path) {
  FileBytes bytes;
  return bytes.Open(path) ? PlatformText(bytes) : " LAAunknown Win?";
}

std::string SignatureDescription(const std::string& path) {
  ExeSignature signature;
  ErrorText err;
  return ExecutableSignature(path, signature, err) ? signature.description : "cannot read the file";
}

// An ".EXE" by name, or (there being no extension for programs on Linux) a program file that is an ELF file.
bool IsProgramFile(const fs::directory_entry& entry) {
  const std::string name = entry.path().filename().string();
  if (EndsWithText(name, ".exe")) {
    return true;
  }
  std::error_code ec;
  const auto perms = entry.status(ec).permissions();
  if (ec ||
      (perms & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec)) == fs::perms::none) {
    return false;
  }
  FileBytes bytes;
  return bytes.Open(entry.path().string()) && IsElf(bytes);
}

void ProgramSection(DiagnosticsReport& report, const DiagnosticsFacts& facts) {
  report.Section("Program and compiler");
  report.Line("Program: " + facts.title);
  report.Line(VersionLine(facts.version));
  report.Line("File: " + facts.executablePath + PlatformOfFile(facts.executablePath));
  std::error_code ec;
  const bool helpExists = !facts.helpFile.empty() && fs::is_regular_file(facts.helpFile, ec);
  report.Line("Help File: " + facts.helpFile + (helpExists ? " [exists]" : " [not found]"));
  report.Line(CompilerText());
  report.Line(BuildText());
  report.Line(PaddedLabel("Program Keep Dir:", 23, facts.keepDir));
  report.Line(PaddedLabel("Program Ini Name:", 23, facts.iniName));
  report.Line(PaddedLabel("Program Temp Dir:", 23, facts.tempDir));
  if (facts.tempDir.size() > kLongTempDir) {
    report.Line(
        "**** WARNING **** Temp Dir is rather long; suggest you set TEMP and TMP environment to /tmp");
  }
  if (facts.tempDir.find(' ') != std::string::npos) {
    report.Line(
        "**** WARNING **** Temp Dir contains spaces; suggest you set TEMP and TMP environment to /tmp");
  }
  for (const std::string& line : facts.suiteVersionLines) {
    report.Line(line);
  }
}

// The first file of each wanted name on the search path, matching names ignoring case: each folder is listed
// once, however many names are looked for.
std::map<std::string, std::string> FirstOnPath(std::string_view path) {
  std::map<std::string, std::string> found;
  if (path.empty()) {
    return found; // no search path at all, not the current folder
  }
  std::size_t start = 0;
  while (start <= path.size() && found.size() < kFirstOnPath.size()) {
    const std::size_t colon = std::min(path.find(':', start), path.size());
    const std::string folder(path.substr(start, colon - start));
    start = colon + 1;
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? "." : folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
      const std::string upper = UpperCase(it->path().filename().string());
      if (std::find(kFirstOnPath.begin(), kFirstOnPath.end(), upper) == kFirstOnPath.end() ||
          found.count(upper) != 0) {
        continue;
      }
      const std::string file = it->path().string();
      const bool usable = EndsWithText(upper, ".EXE") ? IsRunnable(file) : it->is_regular_file(ec);
      if (usable) {
        found.emplace(upper, file);
      }
    }
    if (colon == path.size()) {
      break;
    }
  }
  return found;
}

void PathSection(DiagnosticsReport& report, const SystemView& view) {
  report.Section("Path");
  const std::string path = diagnostics::EnvValue(view, "PATH").value_or("");
  if (path.empty()) {
    report.Line("PATH is not set");
  } else {
    report.Line("Current path is:");
    for (std::string& line : diagnostics::PathLines(path)) {
      report.Line(std::move(line));
    }
  }
  const auto found = FirstOnPath(path);
  for (std::string_view name : kFirstOnPath) {
    const std::string label = "First-on-path " + std::string(name);
    const auto it = found.find(std::string(name));
    if (it == found.end()) {
      report.Line(PaddedLabel(label, 25, "is not on the path."));
    } else if (EndsWithText(name, ".EXE")) {
      report.Line(PaddedLabel(label, 25, it->second + "   " + SignatureDescription(it->second)));
    } else {
      report.Line(PaddedLabel(label, 25, it->second));
    }
  }
}

void EnvironmentSection(DiagnosticsReport& report, const SystemView& view) {
  report.Section("Complete Contents of Environment");
  for (const std::string& entry : view.environment) {
    report.Line(entry);
  }
}

void IniSection(DiagnosticsReport& report, const DiagnosticsFacts& facts) {
  report.Section("INI file");
  if (facts.iniName.empty()) {
    report.Line("No INI file");
    return;
  }
  std::string text;
  if (!diagnostics::ReadSmallFile(facts.iniName, text)) {
    report.Line("Cannot find INI file: " + facts.iniName);
    return;
  }
  report.Line("Complete Contents of INI file: " + facts.iniName);
  for (std::string_view line : diagnostics::SplitLines(text)) {
    report.Line(std::string(line));
  }
}

std::string FileDate(const fs::path& file) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) {
    return "(date unknown)   ";
  }
  const std::tm t = LocalTime(info.st_mtime);
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%.3s-%04d %02d:%02d", t.tm_mday, kMonthNames[t.tm_mon],
                t.tm_year + 1900, t.tm_hour, t.tm_min);
  return text;
}

void ProgramFolderSection(DiagnosticsReport& report, const DiagnosticsFacts& facts) {
  report.Section("Files in application folder  " + facts.programDir);
  std::vector<fs::directory_entry> files;
  std::error_code ec;
  fs::directory_iterator it(facts.programDir, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError)) {
      files.push_back(*it);
    }
  }
  if (ec && files.empty()) {
    report.Line("Cannot list the folder: " + ec.message());
    return;
  }
  std::sort(files.begin(), files.end(),
            [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });
  for (const fs::directory_entry& file : files) {
    std::error_code sizeError;
    const auto size = file.file_size(sizeError);
    char sizeText[32];
    std::snprintf(sizeText, sizeof sizeText, "%15llu",
                  sizeError ? 0ull : static_cast<unsigned long long>(size));
    std::string line = FileDate(file.path()) + "   \t" + sizeText + "\t" + file.path().filename().string();
    if (IsProgramFile(file)) {
      line += "\t" + SignatureDescription(file.path().string());
    }
    report.Line(std::move(line));
  }
}

} // namespace

SystemView LiveSystemView() {
  SystemView view;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    view.environment.emplace_back(*entry);
  }
  return view;
}

void DiagnosticsReport::Section(std::string_view title) {
  ++sections;
  lines.emplace_back();
  lines.push_back("SECTION " + std::to_string(sections) + ": " + std::string(title));
}

std::string DiagnosticsReport::Text(std::string_view lineEnd) const {
  std::size_t size = 0;
  for (const std::string& line : lines) {
    size += line.size() + lineEnd.size();
  }
  std::string text;
  text.reserve(size);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      text.append(lineEnd);
    }
    text.append(lines[i]);
  }
  return text;
}

std::string VersionLine(double version) {
  char text[64];
  std::snprintf(text, sizeof text, "Version %.2f,  10/Apr/2015", version);
  return text;
}

std::string ReportDateLine(std::chrono::system_clock::time_point when) {
  const std::tm t = LocalTime(std::chrono::system_clock::to_time_t(when));
  const int hour = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
  char text[96];
  std::snprintf(text, sizeof text, "%s, %s %d, %d, %d:%02d %s", kDayNames[t.tm_wday], kMonthNames[t.tm_mon],
                t.tm_mday, t.tm_year + 1900, hour, t.tm_min, t.tm_hour < 12 ? "AM" : "PM");
  return text;
}

std::string PaddedLabel(std::string_view label, std::size_t width, std::string_view value) {
  std::string text(label);
  if (text.size() < width) {
    text.append(width - text.size(), ' ');
  }
  text += '\t';
  text.append(value);
  return text;
}

DiagnosticsReport BuildDiagnosticsReport(const DiagnosticsFacts& facts, const SystemView& view) {
  DiagnosticsReport report;
  report.lines.reserve(512);
  report.Line(ReportDateLine(view.now));
  ProgramSection(report, facts);
  diagnostics::OperatingSystemSection(report, facts, view);
  diagnostics::AppearanceSection(report, facts, view);
  diagnostics::FileAssociationsSection(report, view);
  PathSection(report, view);
  diagnostics::SpecialFoldersSection(report, view);
  diagnostics::RegistrySection(report, view);
  EnvironmentSection(report, view);
  IniSection(report, facts);
  diagnostics::ProcessesSection(report, view);
  ProgramFolderSection(report, facts);
  return report;
}

namespace diagnostics {

std::string SystemPath(const SystemView& view, std::string_view path) {
  if (view.root.empty()) {
    return std::string(path);
  }
  return JoinPath(view.root, path);
}

bool ReadSmallFile(const std::string& path, std::string& text, std::size_t limit) {
  text.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return false;
  }
  char chunk[16384];
  bool ok = true;
  while (text.size() < limit) {
    const ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, limit - text.size()));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == 0) {
      break;
    }
    text.append(chunk, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return ok;
}

std::optional<std::string> EnvValue(const SystemView& view, std::string_view name) {
  for (const std::string& entry : view.environment) {
    if (entry.size() > name.size() && entry[name.size()] == '=' && entry.compare(0, name.size(), name) == 0) {
      return entry.substr(name.size() + 1);
    }
  }
  return std::nullopt;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    lines.push_back(line);
    if (lf == std::string_view::npos) {
      break;
    }
    text.remove_prefix(lf + 1);
  }
  return lines;
}

std::string HomeFolder(const SystemView& view) {
  const auto home = EnvValue(view, "HOME");
  return home && !home->empty() ? *home : "/";
}

std::string XdgFolder(const SystemView& view, std::string_view variable, std::string_view fallback) {
  const auto value = EnvValue(view, variable);
  if (value && !value->empty() && value->front() == '/') {
    return *value;
  }
  return JoinPath(HomeFolder(view), fallback);
}

std::vector<std::string> PathLines(std::string_view path) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t colon = path.find(':', start);
    std::string line = lines.empty() ? "" : "    ";
    line.append(
        path.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start + 1));
    lines.push_back(std::move(line));
    if (colon == std::string_view::npos) {
      return lines;
    }
    start = colon + 1;
  }
}

} // namespace diagnostics

} // namespace pelorin
