#include "platform/process.h"

#include "platform/paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pelorin {

namespace {

struct Prepared {
  std::vector<std::string> strings;
  std::vector<char*> argv;
};

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
    const char* program = prepared.argv[0];
    if (std::strchr(program, '/') != nullptr) {
      ::execv(program, prepared.argv.data());
    } else {
      ::execvp(program, prepared.argv.data());
    }
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
  const Prepared prepared = PrepareArgv(program, arguments);
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
    ExecChild(prepared, options, fds[1]);
  }
  ::close(fds[1]);
  const int error = ReadExecError(fds[0]);
  if (error != 0) {
    int status = 0;
    ::waitpid(pid, &status, 0);
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
  const Prepared prepared = PrepareArgv(program, arguments);
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

std::string SearchPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr || name.empty() || name.find('/') != std::string::npos) {
    return {};
  }
  std::string_view rest = path;
  while (true) {
    const std::size_t colon = rest.find(':');
    const std::string_view folder = rest.substr(0, colon);
    const std::string candidate = JoinPath(folder.empty() ? "." : folder, name);
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        ::access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    if (colon == std::string_view::npos) {
      return {};
    }
    rest.remove_prefix(colon + 1);
  }
}

} // namespace pelorin
