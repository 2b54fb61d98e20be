#pragma once

#include "platform/process.h"

#include <memory>
#include <string>

namespace pelorin {

/// What kind of job is watched.
inline constexpr int kNoJob = 0;
inline constexpr int kSolveJob = 1;   ///< the solve chain: "solve1", "praxol1", "mirda1", "praxol2"
inline constexpr int kClosureJob = 2; ///< the closure check

/// The one job that may run at a time, and the files a solve leaves. One instance lives in the job runner.
struct JobState {
  /// Kind of the job being watched (kNoJob, kSolveJob, kClosureJob).
  int StartedJob = kNoJob;
  /// Within a solve: "solve1", "praxol1", "mirda1" or "praxol2".
  std::string JobName;
  /// The running process; released once it has been seen to end.
  std::unique_ptr<ChildProcess> Process;
  /// Seconds counted since "Solve" was pressed: each tick adds the timer's interval.
  double TotalSeconds = 0;
  /// The wait dialog's Cancel was confirmed.
  bool KillRequested = false;
  /// This solve also runs the post-simulation job (decided when "solve1" starts).
  bool PostSimRequested = false;
  /// The sensitivity preparation ("mirda1") or its conversion ("praxol2") of this solve failed; its results
  /// were still shown.
  bool SsaPreparationFailed = false;
  /// OutputDir joined with the name on output line 0, plus ".sl4".
  std::string SolutionFile;
  /// The command files of the solve and of the post-simulation.
  std::string CmfFile;
  std::string PostSimCmfFile;
  /// WorkDir/solve.log and WorkDir/postsim.log.
  std::string SolveLog;
  std::string PostSimLog;
  /// SolutionFile with ".log": the lasting copy of the solver log.
  std::string LogCopy;
  /// WorkDir/clcheck.log.
  std::string CheckLog;
  /// SolutionFile with ".xac", known after a solve.
  std::string XacFile;
};

/// The timer's interval while a job is watched.
inline constexpr int kJobTimerInterval = 600;

} // namespace pelorin
