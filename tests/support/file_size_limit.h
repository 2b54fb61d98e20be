#pragma once

#include <csignal>
#include <sys/resource.h>

namespace pelorin::test {

/// While it lives, no file of this process may grow beyond `bytes`: a write past the limit fails as on a full
/// disk (the signal that would end the process is ignored meanwhile). It works for every user, root too,
/// which read-only folders do not.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
  rlimit previous_{};
  void (*previousHandler_)(int) = SIG_DFL;
};

} // namespace pelorin::test
