#pragma once

#include "model/model_set_up.h"
#include "modelinfo/model_info_writer.h"
#include "modelinfo/sol_info.h"
#include "shell/app_state.h"
#include "simspec/simulation_pages.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace pelorin::test {

/// A two-region trade model: sets COM (food, mnfcs, svces), its subset SUBCOM (food, mnfcs), REG (usa, eu,
/// row) and TIME (size unknown until the model runs); variables pop (scalar), p_x(COM,REG), qo(COM,REG),
/// tf(COM,REG,REG,COM), kt(TIME) and del_tbal; logical files BASEDATA (updated), PARAM, (terminal) read from
/// the terminal, (display) and two outputs.
ModelInfoDescription TradeModelInfo();
/// A one-input model: set IND (a, b), variables x(IND), pop, y(IND).
ModelInfoDescription MinimalModelInfo();

/// Installs a model for a test in `programDir`/`stem`: `stem`.min written from the description, a model file
/// with its auxiliary files and one data file per input; fills the model state and the page lines as loading
/// the model would, reads the model information into `info`, and returns the model folder.
std::string InstallTestModel(const std::string& programDir, const std::string& stem,
                             const ModelInfoDescription& description, AppState& app, ModelSetUp& setUp,
                             SolInfoRec& info);

/// A program folder with one installed model, the application state, a scripted person, the model set-up and
/// the simulation pages under test. Page changes, started jobs and fatal exits are recorded.
class SimFixture : public ::testing::Test {
public:
  /// The file-description lines of a model information file, as the model state keeps them.
  static std::vector<std::string> FileLinesOf(const std::string& minFile);

protected:
  SimFixture();

  /// Installs a model (InstallTestModel) for the fixture's model set-up.
  void InstallModel(const std::string& stem, const ModelInfoDescription& description);
  /// Writes a text file (lines ended by LF) and returns its path.
  std::string WriteText(const std::string& path, const std::vector<std::string>& lines) const;
  /// Reads a file's lines.
  static std::vector<std::string> Lines(const std::string& path);

  TempDir dir;
  std::string programDir;
  std::string modelDir;
  std::string workDir;
  AppState app;
  ScriptedUserInterface ui;
  SolInfoRec info;
  std::unique_ptr<ModelSetUp> model;
  std::unique_ptr<SimulationPages> sim;
  std::vector<int> pages;
  int closureChecks = 0;
  int solves = 0;
  std::vector<int> exits;
};

} // namespace pelorin::test
