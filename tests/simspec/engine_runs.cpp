#include "engine_runs.h"

#include "model/model_set_up.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "simspec/simulation_pages.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace pelorin::test {

int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& folder) {
  ChildProcess process;
  ErrorText errorText;
  ProcessOptions options;
  options.folder = folder;
  options.discardOutput = true;
  if (!process.Start(program, arguments, options, errorText)) {
    ADD_FAILURE() << errorText;
    return -1;
  }
  while (process.Running()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return process.ExitCode();
}

EngineSolve SolveWithEngine(const SimulationPages& sim, const ModelSetUp& model, const std::string& workDir) {
  EngineSolve run;
  ErrorText err;
  const std::vector<std::string>& outputs = model.OutputPage.OutputLines;
  const std::string outputDir = model.Model.OutputDir;
  const std::string solution = SolutionFilePath(outputDir, outputs);
  const std::string cmf = SimulationCmfPath(outputDir, outputs);
  const std::string postCmf = PostSimCmfPath(outputDir, model.OutputPage.PostSimName);
  run.postSim = model.PostSimRequested();
  if (!sim.CreateCMF(cmf, false, err) || (run.postSim && !sim.CreateCMF(postCmf, true, err)) ||
      !sim.WriteSolveJobInputs(solution, cmf, postCmf, run.postSim, err)) {
    ADD_FAILURE() << err;
    return run;
  }
  const std::string& solver = model.Model.SolverProgram;
  run.solveExit = RunProgram(
      solver, {"-sti", JoinPath(workDir, "solve.sti"), "-lon", JoinPath(workDir, "solve.log")}, outputDir);
  if (run.postSim && run.solveExit == 0) {
    run.postSimExit = RunProgram(
        solver, {"-sti", JoinPath(workDir, "postsim.sti"), "-lon", JoinPath(workDir, "postsim.log")},
        workDir);
  }
  return run;
}

bool CheckClosureWithEngine(SimulationPages& sim, const std::string& workDir) {
  ErrorText err;
  if (!sim.CheckClosureCMF(err)) {
    ADD_FAILURE() << err;
    return false;
  }
  EXPECT_EQ(RunProgram("/bin/sh", {JoinPath(workDir, "clcheck.bat")}, workDir), 0);
  return sim.Closure.ClosureCheckEnded();
}

void ChooseShockVariable(ShocksPage& shocks, const std::string& name) {
  for (std::size_t i = 0; i < shocks.VarChoices.size(); ++i) {
    if (shocks.VarChoices[i].text == name) {
      shocks.ExoVarComboBoxChange(static_cast<int>(i));
      return;
    }
  }
  ADD_FAILURE() << name << " is not offered";
}

} // namespace pelorin::test
