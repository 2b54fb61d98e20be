#include "platform/process.h"

#include "platform/paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

struct Prepared {
  std::vector<std::string> strings;
  std::vector<char*> argv;
};

// The program as the child runs it after changing folder: a relative path or a name found on PATH is made
// absolute here, against our own current folder, so the child never takes it relative to its new one.
// Empty when a bare name is not on PATH.
std::string ResolveProgram(const std::string& program) {
  if (program.find('/') == std::string::npos) {
    return SearchPath(program);
  }
  std::error_code ec;
  const fs::path absolute = fs::absolute(program, ec);
  return ec ? program : absolute.string();
}

Prepared PrepareArgv(const std::string& program, const std::vector<std::string>& arguments) {
  Prepared prepared;
  prepared.strings.reserve(arguments.size() + 1);
  prepared.strings.push_back(program);
  prepared.strings.insert(prepared.strings.end(), arguments.begin(), arguments.end());
  for (std::string& s : prepared.strings) {
    prepared.argv.push_back(s.data());
  }
  prepared.argv.push_back(nullptr);
  return prepared;
}

// Runs in the child after fork: only async-signal-safe calls. On failure the errno goes down the pipe.
[[noreturn]] void ExecChild(const Prepared& prepared, const ProcessOptions& options, int errorPipe) {
  int error = 0;
  if (!options.folder.empty() && ::chdir(options.folder.c_str()) != 0) {
    error = errno;
  }
  for (const int fd : options.keepDescriptors) {
    const int flags = error == 0 ? ::fcntl(fd, F_GETFD) : 0;
    if (error == 0 && (flags < 0 || ::fcntl(fd, F_SETFD, flags & ~FD_CLOEXEC) != 0)) {
      error = errno;
    }
  }
  if (error == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
      ::dup2(null, STDIN_FILENO);
      if (options.discardOutput) {
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
      }
      if (null > STDERR_FILENO) {
        ::close(null);
      }
    }
    ::execv(prepared.argv[0], prepared.argv.data());
    error = errno;
  }
  [[maybe_unused]] const ssize_t ignored = ::write(errorPipe, &error, sizeof error);
  ::_exit(127);
}

// Reads the child's exec result: nothing means the program runs.
int ReadExecError(int readEnd) {
  int error = 0;
  ssize_t got;
  do {
    got = ::read(readEnd, &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(readEnd);
  return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

bool StartFailure(ErrorText& errorText, const std::string& program, int error, const char* tag) {
  return Fail(errorText, "Cannot start " + program + ": " + std::strerror(error), tag);
}

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) {
    return WEXITSTATUS(status);
  }
  if (WIFSIGNALED(status)) {
    return 128 + WTERMSIG(status);
  }
  return -1;
}

} // namespace

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                         const ProcessOptions& options, ErrorText& errorText) {
  const std::string resolved = ResolveProgram(program);
  if (resolved.empty()) {
    return StartFailure(errorText, program, ENOENT, "[StartProcess]");
  }
  const Prepared prepared = PrepareArgv(resolved, arguments);
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    return StartFailure(errorText, program, errno, "[StartProcess]");
  }
  const pid_t pid = ::fork();
  if (pid < 0) {
    const int error = errno;
    ::close(fds[0]);
    ::close(fds[1]);
    return StartFailure(errorText, program, error, "[StartProcess]");
  }
  if (pid == 0) {
    ::close(fds[0]);
    // Its own session and process group: signals sent to ours (the terminal's Control-C) pass it by.
    ::setsid();
    ExecChild(prepared, options, fds[1]);
  }
  ::close(fds[1]);
  const int error = ReadExecError(fds[0]);
  if (error != 0) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return StartFailure(errorText, program, error, "[StartProcess]");
  }
  pid_ = pid;
  ended_ = false;
  exitCode_ = -1;
  return true;
}

bool ChildProcess::Running() {
  if (ended_) {
    return false;
  }
  int status = 0;
  const pid_t got = ::waitpid(pid_, &status, WNOHANG);
  if (got == 0) {
    return true;
  }
  ended_ = true;
  exitCode_ = got == pid_ ? ExitCodeOf(status) : -1;
  return false;
}

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const ProcessOptions& options, ErrorText& errorText) {
  const std::string resolved = ResolveProgram(program);
  if (resolved.empty()) {
    return StartFailure(errorText, program, ENOENT, "[StartDetached]");
  }
  const Prepared prepared = PrepareArgv(resolved, arguments);
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    return StartFailure(errorText, program, errno, "[StartDetached]");
  }
  // Two forks: the program becomes the child of the system's reaper, so it never lingers as ours.
  const pid_t middle = ::fork();
  if (middle < 0) {
    const int error = errno;
    ::close(fds[0]);
    ::close(fds[1]);
    return StartFailure(errorText, program, error, "[StartDetached]");
  }
  if (middle == 0) {
    ::close(fds[0]);
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild < 0) {
      const int error = errno;
      [[maybe_unused]] const ssize_t ignored = ::write(fds[1], &error, sizeof error);
      ::_exit(127);
    }
    if (grandchild == 0) {
      ExecChild(prepared, options, fds[1]);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  int status = 0;
  while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  const int error = ReadExecError(fds[0]);
  if (error != 0) {
    return StartFailure(errorText, program, error, "[StartDetached]");
  }
  return true;
}

std::string ShellQuote(std::string_view word) {
  std::string quoted = "'";
  for (const char c : word) {
    if (c == '\'') {
      quoted.append("'\\''");
    } else {
      quoted.push_back(c);
    }
  }
  quoted.push_back('\'');
  return quoted;
}

std::vector<std::string> PathFolders() {
  std::vector<std::string> folders;
  const char* path = std::getenv("PATH");
  if (path == nullptr) {
    return folders;
  }
  std::string_view rest = path;
  while (true) {
    const std::size_t colon = rest.find(':');
    const std::string_view entry = rest.substr(0, colon);
    std::error_code ec;
    const fs::path absolute = fs::absolute(entry.empty() ? fs::path(".") : fs::path(entry), ec);
    if (!ec) {
      folders.push_back(absolute.lexically_normal().string());
    }
    if (colon == std::string_view::npos) {
      return folders;
    }
    rest.remove_prefix(colon + 1);
  }
}

bool IsRunnable(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string SearchPath(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) {
    return {};
  }
  for (const std::string& folder : PathFolders()) {
    if (std::string candidate = JoinPath(folder, name); IsRunnable(candidate)) {
      return candidate;
    }
  }
  return {};
}

} // namespace pelorin
