#pragma once

#include "platform/error_text.h"
#include "platform/process.h"

#include <memory>
#include <string>
#include <vector>

namespace pelorin {

/// Starts a console job: `program` with `arguments` in `folder`, without a terminal (no input, output
/// discarded). On success `process` holds it; false (with the reason in the error text) when it cannot be
/// started.
bool StartConsoleJob(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& folder, std::unique_ptr<ChildProcess>& process, ErrorText& errorText);

/// Looks once, without waiting, whether the job's process has ended; once it has, the process is released
/// and the result is true (also when there is none).
bool ProcessFinished(std::unique_ptr<ChildProcess>& process);

/// Processes a cancelled job left running: nobody waits for them, but once they end they are reaped so they
/// do not linger as dead entries of the process table.
class AbandonedJobs {
public:
  /// Takes a process that is no longer watched.
  void Add(std::unique_ptr<ChildProcess> process);
  /// Reaps those that have ended since the last look.
  void Reap();
  /// How many are still running (as last seen).
  std::size_t Count() const { return processes_.size(); }

private:
  std::vector<std::unique_ptr<ChildProcess>> processes_;
};

} // namespace pelorin
