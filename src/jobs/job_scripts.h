#pragma once

// The job scripts the command interpreter runs: solve.bat here, the check batch in simspec/job_inputs.h. On
// this system they are POSIX sh scripts doing the steps of the command interpreter's batch files; the Windows
// dialect is kept as text.

#include "platform/error_text.h"
#include "simspec/job_inputs.h"

#include <string>
#include <vector>

namespace pelorin {

/// Every path solve.bat names, as the script's own system writes them.
struct SolveBatch {
  std::string outputDir;
  std::string workDir;
  std::string solver;
  std::string solutionFile; ///< with ".sl4"
  std::string logCopy;      ///< the solution file with ".log"
  std::string solveSti;     ///< workDir/solve.sti
  std::string solveLog;     ///< workDir/solve.log
  std::string solveFlag;    ///< workDir/solve.flg
  bool postSim = false;
  std::string postSimSti;  ///< workDir/postsim.sti
  std::string postSimLog;  ///< workDir/postsim.log
  std::string postSimFlag; ///< workDir/postsim.flg
};

/// The paths of solve.bat for a solve in `workDir` writing `solutionFile` (output folder `outputDir`).
SolveBatch SolveBatchPaths(const std::string& workDir, const std::string& outputDir,
                           const std::string& solver, const std::string& solutionFile, bool postSim);

/// The lines of solve.bat: into the output folder, the old solution files removed, a note left in the log
/// should the solver not start, the solver run, its log copied beside the solution, the flag file written
/// when the solver failed or left no solution file; then, with post-simulation, the same for the
/// post-simulation run in the work folder. An output or work folder the script cannot change to adds
/// "[ChangeDirBat]" to the error text and the script ends there (the job then finds no log).
void SolveBatchLines(ScriptDialect dialect, const SolveBatch& batch, std::vector<std::string>& lines,
                     ErrorText& errorText);

/// The interpreter's arguments that run a job script: the script itself for sh; "/e:2000 /c" (a solve) or
/// "/c" (a check) and the script for the Windows interpreter.
std::vector<std::string> ScriptArguments(ScriptDialect dialect, const std::string& script, bool solve);

} // namespace pelorin
