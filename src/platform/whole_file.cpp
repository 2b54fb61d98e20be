#include "platform/whole_file.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace pelorin {

bool ReplaceFileWhole(const std::string& path, std::string_view text, std::string_view tag,
                      ErrorText& errorText) {
  namespace fs = std::filesystem;
  static std::atomic<unsigned> counter{0};
  if (path.empty()) {
    return Fail(errorText, "Cannot create file " + path, tag);
  }
  std::error_code ec;
  std::string target = path;
  // Writing through a symbolic link writes the file it points to, as writing in place would.
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    const fs::path resolved = fs::weakly_canonical(path, ec);
    if (ec) {
      return Fail(errorText, "Cannot create file " + path, tag);
    }
    target = resolved.string();
  }
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0)) {
    return Fail(errorText, "Cannot create file " + path, tag);
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
    return Fail(errorText, "Cannot create file " + path, tag);
  }
  if (exists) {
    ::fchmod(fd, old.st_mode & 07777);
  }
  std::size_t written = 0;
  bool ok = true;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      ok = false;
      break;
    }
    written += static_cast<std::size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
    ::unlink(temporary.c_str());
    return Fail(errorText, "write error", tag);
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return Fail(errorText, "Cannot replace file " + path, tag);
  }
  return true;
}

} // namespace pelorin
