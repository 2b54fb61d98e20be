#include "platform/whole_file.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace pelorin {

ReplaceOutcome ReplaceFileWholeSteps(
    const std::string& path, std::string_view text,
    const std::function<bool(const std::string& target, bool exists, std::string& reason)>& beforeRename) {
  namespace fs = std::filesystem;
  static std::atomic<unsigned> counter{0};
  if (path.empty()) {
    return {ReplaceStep::NoName, 0, {}};
  }
  std::error_code ec;
  std::string target = path;
  // Writing through a symbolic link writes the file it points to, as writing in place would.
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    const fs::path resolved = fs::weakly_canonical(path, ec);
    if (ec) {
      return {ReplaceStep::FollowLink, ec.value(), ec.message()};
    }
    target = resolved.string();
  }
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) {
    return {ReplaceStep::NotAFile, 0, {}};
  }
  if (exists && ::access(target.c_str(), W_OK) != 0) {
    return {ReplaceStep::ReadOnly, errno, {}};
  }
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      break;
    }
  }
  if (fd < 0) {
    return {ReplaceStep::CreateTemporary, errno, {}};
  }
  if (exists) {
    ::fchmod(fd, old.st_mode & 07777);
  }
  int writeError = 0;
  std::size_t written = 0;
  while (written < text.size() && writeError == 0) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      writeError = n < 0 ? errno : ENOSPC;
    } else {
      written += static_cast<std::size_t>(n);
    }
  }
  if (writeError == 0 && ::fsync(fd) != 0) {
    writeError = errno;
  }
  if (::close(fd) != 0 && writeError == 0) {
    writeError = errno;
  }
  if (writeError != 0) {
    ::unlink(temporary.c_str());
    return {ReplaceStep::Write, writeError, {}};
  }
  std::string reason;
  if (beforeRename && !beforeRename(target, exists, reason)) {
    ::unlink(temporary.c_str());
    return {ReplaceStep::BeforeRename, 0, std::move(reason)};
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return {ReplaceStep::Rename, error, {}};
  }
  return {};
}

bool ReplaceFileWhole(const std::string& path, std::string_view text, std::string_view tag,
                      ErrorText& errorText) {
  switch (ReplaceFileWholeSteps(path, text).step) {
  case ReplaceStep::Done:
    return true;
  case ReplaceStep::Write:
    return Fail(errorText, "write error", tag);
  case ReplaceStep::Rename:
    return Fail(errorText, "Cannot replace file " + path, tag);
  default:
    return Fail(errorText, "Cannot create file " + path, tag);
  }
}

} // namespace pelorin
