#pragma once

#include "platform/error_text.h"
#include "platform/process.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

/// The note a console job leaves in its folder, naming the job and its process.
inline constexpr std::string_view kRunningJobNote = "running.job";

/// What a console job is, for those who find it still running: its name in the note "running.job" of its
/// folder, and the other folders it writes into (an output folder).
struct JobMark {
  std::string description;
  std::vector<std::string> otherFolders;
};

/// Starts a console job: `program` with `arguments` in `folder`, without a terminal (no input, output
/// discarded), in a session of its own. For as long as the job, or anything it starts, runs, its folder and
/// the mark's other folders are marked busy (a lock that lasts beyond this process), and the note
/// "running.job" in its folder names the job and its process. On success `process` holds it; false (with
/// the reason in the error text) when it cannot be started.
bool StartConsoleJob(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& folder, const JobMark& mark, std::unique_ptr<ChildProcess>& process,
                     ErrorText& errorText);

/// The job a console job of this program, still running and writing into `folder`, was started as (its note,
/// or a general description when there is none); nothing when no such job runs. Jobs of any process count:
/// a job given up with Cancel, or left by a program that has ended, goes on writing its files.
std::optional<std::string> RunningJobIn(const std::string& folder);

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
