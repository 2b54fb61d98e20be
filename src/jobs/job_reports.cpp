#include "jobs/job_reports.h"

#include "platform/profile_file.h"
#include "platform/user_interface.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

bool Exists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

// True when another process holds a lock on the file (a record lock, an open-file lock or a whole-file
// lock): its writer has not finished with it.
bool LockedByAnother(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return true; // it exists but cannot be opened yet
  }
  bool locked = false;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  if (::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) {
    locked = true;
  }
  if (!locked) {
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
      locked = errno == EWOULDBLOCK;
    } else {
      ::flock(fd, LOCK_UN);
    }
  }
  ::close(fd);
  return locked;
}

enum class ReportRead { Ok, NotOk, Busy };

ReportRead ReadStatus(const std::string& report) {
  if (LockedByAnother(report)) {
    return ReportRead::Busy;
  }
  ProfileFile profile;
  ErrorText ignored;
  if (!LoadProfileFile(report, profile, ignored)) {
    return ReportRead::Busy;
  }
  const std::optional<std::string> status = profile.Find("Result", "Status");
  if (!status) {
    return ReportRead::Busy; // the writer has not got as far as the status yet
  }
  return *status == "ok" ? ReportRead::Ok : ReportRead::NotOk;
}

} // namespace

RetryPause SleepingPause() {
  return [](int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); };
}

bool ReportStatusOk(const std::string& report, const RetryPause& pause) {
  constexpr int kAttempts = 6;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    if (!Exists(report)) {
      return false;
    }
    if (attempt > 1 && pause) {
      pause(200 * (attempt - 1));
    }
    switch (ReadStatus(report)) {
    case ReportRead::Ok:
      return true;
    case ReportRead::NotOk:
      return false;
    case ReportRead::Busy:
      break;
    }
  }
  return false;
}

int ReportSuiteVersion(const std::string& report) {
  ProfileFile profile;
  ErrorText ignored;
  if (!Exists(report) || !LoadProfileFile(report, profile, ignored)) {
    return 0;
  }
  return profile.ReadInteger("Result", "GPVer Large", 0);
}

void WarnIfNoReport(const std::string& report, const std::string& program, UserInterface& ui) {
  if (Exists(report)) {
    return;
  }
  ui.Message(MessageKind::Warning, "The program " + program +
                                       "\r\n you are using to solve the model did not produce a Report file."
                                       "\r\nMaybe the program is not a stand-alone EXE."
                                       "\r\n[Alternatively, perhaps the program did not run,"
                                       "\r\n or is from Release 5.1 or earlier of KALVIMO.]");
}

bool CopyFileWithRetries(const std::string& source, const std::string& target, const RetryPause& pause,
                         ErrorText& errorText) {
  const std::string temporary = target + ".copy" + std::to_string(::getpid());
  int wait = 10;
  for (int attempt = 1; attempt <= 10; ++attempt) {
    std::error_code ec;
    if (fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec) && !ec) {
      fs::rename(temporary, target, ec);
      if (!ec) {
        return true;
      }
    }
    fs::remove(temporary, ec);
    if (attempt < 10 && pause) {
      pause(wait);
      wait *= 2;
    }
  }
  return Fail(errorText, "Cannot copy " + source + " to " + target, "[CopyFileWithRetries]");
}

} // namespace pelorin
