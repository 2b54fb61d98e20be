#pragma once

#include <string>
#include <vector>

namespace pelorin {
class ModelSetUp;
class ShocksPage;
class SimulationPages;
} // namespace pelorin

namespace pelorin::test {

/// Runs a program to its end (polled as the job runner polls) and returns its exit code; -1 when it could not
/// be started (a test failure).
int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& folder);

/// How a solve run by `SolveWithEngine` ended.
struct EngineSolve {
  bool postSim = false;
  int solveExit = -1;
  int postSimExit = -1;
};

/// What the job runner does for "solve1" up to the solver: the command files and stored inputs written from
/// the pages, then the model's solver on the simulation (from the output folder, where solve.bat changes to)
/// and, when the model asks for it and the simulation succeeded, on the post-simulation (from the work
/// folder).
EngineSolve SolveWithEngine(const SimulationPages& sim, const ModelSetUp& model, const std::string& workDir);

/// The closure check as the job runner does it: the check files written, the check batch run by the shell
/// from the work folder, then the end of the check on the pages. True when the closure was found fine.
bool CheckClosureWithEngine(SimulationPages& sim, const std::string& workDir);

/// Chooses `name` in the Shocks page's variable list; a test failure when it is not offered.
void ChooseShockVariable(ShocksPage& shocks, const std::string& name);

} // namespace pelorin::test
