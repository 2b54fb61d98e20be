#pragma once

#include "platform/error_text.h"
#include "simspec/closure_page.h"
#include "simspec/cmf_writer.h"
#include "simspec/shocks_page.h"
#include "simspec/simulation_context.h"
#include "simspec/solve_page.h"

#include <string>

namespace pelorin {

struct IniOptions;
struct ModelHooks;

/// The simulation pages: own the Closure, Shocks and Solve pages, the solution method and the
/// options the command files depend on, and writes the files that carry a simulation to the solver. One lives
/// in the application object.
class SimulationPages {
public:
  SimulationPages(AppState& app, ModelSetUp& model, SolInfoRec& solInfo, UserInterface& ui);
  SimulationPages(const SimulationPages&) = delete;
  SimulationPages& operator=(const SimulationPages&) = delete;

  SimulationContext Context;
  ClosurePage Closure;
  ShocksPage Shocks;
  SolvePage Solve;

  /// Takes the closure and shock lines, verbal description, method and accuracy options from the settings
  /// just read. The closure is processed later, once the model information has been read.
  void ApplySettings(const IniOptions& options);
  /// Puts them into the settings to be written: a pending closure edit is processed first and both texts are
  /// cleaned.
  void StoreSettings(IniOptions& options);
  /// Sets the model set-up's hooks that belong here (closure files, closure information, resetting for a new
  /// model or none, the closure's lines).
  void ConnectModelHooks(ModelHooks& hooks);
  /// For a new model (or none): shock list emptied, verbal description "?", the method's defaults, and "Look
  /// at CMF File" hidden for a new model.
  void ResetSimulation(bool newModel);

  /// The sources of the command files as the pages stand now.
  CmfSources Sources() const;
  /// Writes the simulation (postSim false) or post-simulation command file.
  bool CreateCMF(const std::string& fileName, bool postSim, ErrorText& errorText) const;
  /// Writes the closure check's command file, stored input and batch into the work folder.
  bool CheckClosureCMF(ErrorText& errorText) const;
  /// Writes the stored inputs and answer files of a solve into the work folder.
  bool WriteSolveJobInputs(const std::string& solutionFile, const std::string& cmfFile,
                           const std::string& postSimCmfFile, bool postSim, ErrorText& errorText) const;
};

} // namespace pelorin
