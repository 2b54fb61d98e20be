#include "shell/startup_checks.h"

#include "platform/paths.h"
#include "platform/strings.h"
#include "platform/user_interface.h"
#include "shell/app_state.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

// The folder the system keeps for everyone's temporary files, tried after the variables.
constexpr std::string_view kSystemTempDir = "/tmp";
constexpr std::size_t kMaxProgramDirLength = 70;

// "KVTEMP-" + the user's name (his number when the name would not make a plain folder name).
std::string UserTempFolderName() {
  const uid_t uid = ::geteuid();
  struct passwd entry {};
  struct passwd* found = nullptr;
  std::vector<char> buffer(16384);
  std::string name;
  if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_name != nullptr) {
    name = found->pw_name;
  }
  const bool plain =
      !name.empty() && name != "." && name != ".." && std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
      });
  return "KVTEMP-" + (plain ? name : std::to_string(uid));
}

// A folder of this user's own: made (for him alone) when missing; refused when it is a link or someone
// else's.
bool MakeOwnFolder(const fs::path& folder) {
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return false;
  }
  struct stat st {};
  return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

} // namespace

std::optional<std::string> TempAreaFolder(std::string_view candidateText) {
  std::string candidate = Trim(candidateText);
  if (candidate.size() > 1 && candidate.back() == kPathSeparator) {
    candidate.pop_back(); // one trailing separator goes, the root keeps its own
  }
  if (candidate.empty()) {
    return std::nullopt;
  }
  std::error_code ec;
  const fs::path full = fs::absolute(candidate, ec);
  if (ec) {
    return std::nullopt;
  }
  struct stat area {};
  const bool shared =
      ::stat(full.c_str(), &area) == 0 && S_ISDIR(area.st_mode) && (area.st_mode & S_IWOTH) != 0;
  fs::path folder;
  if (shared) {
    const fs::path own = full / UserTempFolderName();
    folder = own / "ORVANE";
    if (!MakeOwnFolder(own) || !MakeOwnFolder(folder)) {
      return std::nullopt;
    }
  } else {
    folder = full / "KVTEMP" / "ORVANE";
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) {
      return std::nullopt;
    }
  }
  if (!CanWriteTestFile(folder.string())) {
    return std::nullopt;
  }
  return folder.string();
}

bool FindWritableTempArea(ErrorText& errorText, std::string* found) {
  std::vector<std::string> candidates;
  for (const char* name : {"KVTEMP", "TMP", "TEMP"}) {
    if (const char* value = std::getenv(name); value != nullptr) {
      candidates.emplace_back(value);
    }
  }
  candidates.emplace_back(kSystemTempDir);
  for (const std::string& candidate : candidates) {
    if (std::optional<std::string> folder = TempAreaFolder(candidate)) {
      if (found != nullptr) {
        *found = *folder;
      }
      return true;
    }
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

std::vector<NamedFolder> FoldersNeverCleared(const AppState& app) {
  std::vector<NamedFolder> folders;
  for (const auto& [path, what] :
       {std::pair{&app.ProgramDir, "the program folder"}, std::pair{&app.ModelHomeDir, "the model's folder"},
        std::pair{&app.KeepDir, "the folder that keeps current.svi"}}) {
    if (!path->empty()) {
      folders.push_back({*path, what});
    }
  }
  return folders;
}

std::optional<std::string> WorkFolderProblem(const AppState& app) {
  if (const std::optional<std::string> refusal = BulkDeleteRefusal(app.WorkDir, FoldersNeverCleared(app))) {
    return "Work folder " + *refusal + ": ";
  }
  return std::nullopt;
}

bool ClearWorkFolder(const AppState& app, ErrorText& errorText) {
  return DeleteFilesIn(app.WorkDir, FoldersNeverCleared(app), {}, errorText) ||
         AddTag(errorText, " [ClearWorkFolder]");
}

} // namespace pelorin
