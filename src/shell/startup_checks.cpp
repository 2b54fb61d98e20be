#include "shell/startup_checks.h"

#include "platform/paths.h"
#include "platform/strings.h"
#include "platform/user_interface.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

// The folder the system keeps for everyone's temporary files, tried after the variables.
constexpr std::string_view kSystemTempDir = "/tmp";
constexpr std::size_t kMaxProgramDirLength = 70;

bool ProbeTempCandidate(std::string candidate) {
  candidate = Trim(candidate);
  if (candidate.size() > 1 && candidate.back() == kPathSeparator) {
    candidate.pop_back(); // one trailing separator goes, the root keeps its own
  }
  if (candidate.empty()) {
    return false;
  }
  std::error_code ec;
  const fs::path full = fs::absolute(candidate, ec);
  if (ec) {
    return false;
  }
  const fs::path folder = full / "KVTEMP" / "ORVANE";
  fs::create_directories(folder, ec);
  return fs::is_directory(folder, ec) && CanWriteTestFile((folder).string());
}

} // namespace

bool FindWritableTempArea(ErrorText& errorText) {
  for (const char* name : {"KVTEMP", "TMP", "TEMP"}) {
    if (const char* value = std::getenv(name); value != nullptr && ProbeTempCandidate(value)) {
      return true;
    }
  }
  if (ProbeTempCandidate(std::string(kSystemTempDir))) {
    return true;
  }
  errorText.append("\r\nUnable to find a directory where program is permitted to write temporary files.");
  errorText.append("\r\nSet Environmental variable TMP to writeable directory.");
  return AddTag(errorText, "\r\n[FormCreate]");
}

std::optional<std::string> ProgramDirNameProblem(std::string_view programDir) {
  if (programDir.find('%') != std::string_view::npos) {
    return "Pelorin directory name contains % symbol:";
  }
  if (programDir.find('(') != std::string_view::npos) {
    return "Pelorin directory name contains \"(\" symbol:";
  }
  if (programDir.find(')') != std::string_view::npos) {
    return "Pelorin directory name contains \")\" symbol:";
  }
  if (programDir.find(' ') != std::string_view::npos) {
    return "Pelorin directory name contains spaces:";
  }
  if (programDir.size() > kMaxProgramDirLength) {
    return "Pelorin directory name is too long (max=70 chars):";
  }
  return std::nullopt;
}

std::string CommandInterpreter(std::string_view comspec) {
  const std::string chosen = Trim(comspec).empty() ? std::string("/bin/sh") : Trim(comspec);
  std::error_code ec;
  return fs::is_regular_file(chosen, ec) ? chosen : std::string();
}

bool CanWriteTestFile(const std::string& folder) {
  if (folder.empty()) {
    return false;
  }
  // The name carries the process number: two programs starting at once in one folder must not erase each
  // other's scratch file and take the folder for unwritable.
  const std::string name = JoinPath(folder, "orvtest" + std::to_string(::getpid()) + ".$$$");
  std::FILE* file = std::fopen(name.c_str(), "wb");
  if (file == nullptr) {
    return false;
  }
  const bool closed = std::fclose(file) == 0;
  return std::remove(name.c_str()) == 0 && closed;
}

bool SetJobEnvironment(const std::string& workDir, UserInterface& ui) {
  for (const char* name : {"TMP", "TEMP", "KVTEMP"}) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
      continue;
    }
    const std::string original(value);
    const std::string copy = std::string("ORIGINAL_") + name;
    if (::setenv(copy.c_str(), original.c_str(), 1) != 0) {
      ui.Message(MessageKind::Warning,
                 "Problem setting environment variable: " + copy + "\r\nto: " + original);
    }
  }
  for (const char* name : {"TMP", "TEMP", "KVTEMP"}) {
    if (::setenv(name, workDir.c_str(), 1) != 0) {
      ui.Message(MessageKind::Error, "Fatal Error: Problem setting environment variable: " +
                                         std::string(name) + "\r\nto: " + workDir);
      ui.Message(MessageKind::Error, "Program will be halted due to fatal errors");
      return false;
    }
  }
  return true;
}

} // namespace pelorin
