#pragma once

#include "platform/error_text.h"

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace pelorin {

/// How a program is started: its current folder, and whether its standard output and error go nowhere
/// instead of to ours. Standard input always reads from nothing, so a program never waits for the terminal.
struct ProcessOptions {
  std::string folder;
  bool discardOutput = false;
  /// Descriptors of ours that the program inherits even when they are marked close-on-exec. A lock held
  /// through one lasts as long as the program, or anything it starts, runs.
  std::vector<int> keepDescriptors = {};
};

/// A started program that is watched until it ends: polled without blocking, never killed. It runs in a
/// session of its own, so an interrupt or hang-up meant for us (Control-C at our terminal) never reaches it
/// or the programs it starts: nothing but its own end stops it. Dropping the object while the program runs
/// leaves it running.
class ChildProcess {
public:
  ChildProcess() = default;
  ~ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  /// Starts `program` (a path, or a bare name searched on PATH) with `arguments` (not including the program).
  /// Fails, appending "Cannot start " + program + ": " + the system's reason + "[StartProcess]", when the
  /// folder cannot be entered or the program cannot be run.
  bool Start(const std::string& program, const std::vector<std::string>& arguments,
             const ProcessOptions& options, ErrorText& errorText);
  /// True while the program runs; looks without waiting and records the exit code once it has ended.
  bool Running();
  /// The exit code once ended (128 + signal number when a signal ended it); -1 before.
  int ExitCode() const { return exitCode_; }
  /// The process id, 0 when nothing was started.
  pid_t Pid() const { return pid_; }

private:
  pid_t pid_ = 0;
  bool ended_ = true;
  int exitCode_ = -1;
};

/// Starts a program that is left alone (a viewer or an editor): it is not our child and nobody waits for it.
/// Fails like ChildProcess::Start, with "[StartDetached]".
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const ProcessOptions& options, ErrorText& errorText);

/// A word for a POSIX sh script: wrapped in single quotes, each single quote inside written as '\'' so that
/// every character stands for itself.
std::string ShellQuote(std::string_view word);

/// The folders PATH names, in order, each made absolute against the current folder now (an empty entry is the
/// current folder), so that a program found there is the same file wherever it is started from.
std::vector<std::string> PathFolders();

/// True when `path` is a regular file this user may run.
bool IsRunnable(const std::string& path);

/// The absolute path of a runnable file found on PATH under `name` (see PathFolders); empty when none.
std::string SearchPath(const std::string& name);

} // namespace pelorin
