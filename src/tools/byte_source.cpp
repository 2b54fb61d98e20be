#include "tools/byte_source.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin {

bool MemoryBytes::Read(std::uint64_t offset, void* into, std::size_t count) const {
  if (offset > bytes_.size() || count > bytes_.size() - offset) {
    return false;
  }
  std::memcpy(into, bytes_.data() + offset, count);
  return true;
}

FileBytes::~FileBytes() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

bool FileBytes::Open(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    return false;
  }
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    errno = EINVAL;
    return false;
  }
  size_ = static_cast<std::uint64_t>(info.st_size);
  return true;
}

std::size_t FileBytes::ReadSome(std::uint64_t offset, void* into, std::size_t count) const {
  std::size_t got = 0;
  auto* out = static_cast<char*>(into);
  while (got < count) {
    const ssize_t n = ::pread(fd_, out + got, count - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  return got;
}

bool FileBytes::Read(std::uint64_t offset, void* into, std::size_t count) const {
  if (fd_ < 0 || offset > size_ || count > size_ - offset) {
    return false;
  }
  return ReadSome(offset, into, count) == count;
}

} // namespace pelorin
