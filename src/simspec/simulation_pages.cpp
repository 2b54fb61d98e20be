#include "simspec/simulation_pages.h"

#include "model/model_set_up.h"
#include "shell/app_state.h"
#include "shell/settings.h"
#include "simspec/job_inputs.h"
#include "simspec/statement_reader.h"

namespace pelorin {

SimulationPages::SimulationPages(AppState& app, ModelSetUp& model, SolInfoRec& solInfo, UserInterface& ui)
    : Context{app, model, solInfo, ui}, Closure(Context), Shocks(Context), Solve(Context) {
  Context.closure = &Closure;
  Context.shocks = &Shocks;
  Context.solve = &Solve;
}

void SimulationPages::ApplySettings(const IniOptions& options) {
  Closure.Lines = options.closure;
  Closure.Modified = false;
  Shocks.Lines = options.shocks;
  CleanEditLines(Shocks.Lines);
  Shocks.Modified = false;
  Solve.VerbalDescription = options.verbalDescription;
  Context.method = options.method;
  Context.accuracy = options.accuracy;
  Solve.RefreshMethodLabel();
}

void SimulationPages::StoreSettings(IniOptions& options) {
  if (Closure.Modified) {
    Closure.WhenClosureChanged();
  }
  CleanEditLines(Closure.Lines);
  CleanEditLines(Shocks.Lines);
  options.closure = Closure.Lines;
  options.shocks = Shocks.Lines;
  options.verbalDescription = Solve.VerbalDescription;
  options.method = Context.method;
  options.accuracy = Context.accuracy;
}

void SimulationPages::ConnectModelHooks(ModelHooks& hooks) {
  hooks.processClosureFile = [this](const std::string& file) { Closure.ProcessClosureFile(file); };
  hooks.clearClosure = [this] {
    // An emptied closure leaves nothing to shock: the exogenous list and the Shocks page follow it.
    Closure.Lines.clear();
    Closure.WhenClosureChanged();
  };
  hooks.processClosureInfoFile = [this](const std::string& file) { Closure.ProcessClosureInfoFile(file); };
  hooks.clearSviInfo = [this] { Closure.ClearSVIInfo(); };
  hooks.resetSimulation = [this](bool newModel) { ResetSimulation(newModel); };
  hooks.closureLines = [this] { return Closure.Lines; };
}

void SimulationPages::ResetSimulation(bool newModel) {
  Shocks.Lines.clear();
  Shocks.Modified = false;
  Solve.VerbalDescription.assign(1, '?'); // (assigning the literal trips a false -Wrestrict in g++ 12)
  Context.method = DefaultSolveMethod();
  Context.accuracy = DefaultAccuracyOptions();
  Solve.RefreshMethodLabel();
  if (newModel) {
    Solve.LookAtCmfVisible = false;
  }
}

CmfSources SimulationPages::Sources() const {
  const ModelSetUp& model = Context.model;
  CmfSources sources;
  sources.modelFile = model.Model.ModelFile;
  sources.modelStem = model.Model.ModelStem;
  sources.modelDir = model.Model.ModelDir;
  sources.outputDir = model.Model.OutputDir;
  sources.fileLines = model.Model.FileLines;
  sources.dataFileLines = model.DataPage.InputLines;
  sources.outputFileLines = model.OutputPage.OutputLines;
  sources.postSimName = model.OutputPage.PostSimName;
  sources.createXac = Context.CurrentOptions().createXacFile;
  sources.closureLines = Closure.Lines;
  sources.verbalDescription = Solve.VerbalDescription;
  sources.method = Context.method;
  sources.accuracy = Context.accuracy;
  sources.shockLines = Shocks.Lines;
  return sources;
}

bool SimulationPages::CreateCMF(const std::string& fileName, bool postSim, ErrorText& errorText) const {
  return pelorin::CreateCMF(fileName, postSim, Sources(), errorText);
}

bool SimulationPages::CheckClosureCMF(ErrorText& errorText) const {
  return pelorin::CheckClosureCMF(Sources(), Context.app.WorkDir, Context.model.Model.SolverProgram,
                                  kNativeDialect, errorText);
}

bool SimulationPages::WriteSolveJobInputs(const std::string& solutionFile, const std::string& cmfFile,
                                          const std::string& postSimCmfFile, bool postSim,
                                          ErrorText& errorText) const {
  SolveJobInputs inputs;
  inputs.workDir = Context.app.WorkDir;
  inputs.solutionFile = solutionFile;
  inputs.cmfFile = cmfFile;
  inputs.postSimCmfFile = postSimCmfFile;
  inputs.postSim = postSim;
  inputs.dataFileLines = Context.model.DataPage.InputLines;
  const SolveOptions options = Context.CurrentOptions();
  inputs.getSubtotalsResults = options.getSubtotalsResults;
  inputs.ignoreLevelsResults = options.ignoreLevelsResults;
  return pelorin::WriteSolveJobInputs(inputs, errorText);
}

} // namespace pelorin
