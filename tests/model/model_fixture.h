#pragma once

#include "model/model_set_up.h"
#include "modelinfo/sol_info.h"
#include "shell/app_state.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <memory>
#include <string>
#include <vector>

namespace pelorin::test {

/// One logical file of a model built for a test.
struct TestFile {
  TestFile(std::string name_, std::string direction_, bool updated_, std::string type_,
           std::string description_, std::string fixedName_ = {})
      : name(std::move(name_)), direction(std::move(direction_)), updated(updated_), type(std::move(type_)),
        description(std::move(description_)), fixedName(std::move(fixedName_)) {}

  std::string name;
  std::string direction;
  bool updated;
  std::string type;
  std::string description;
  std::string fixedName;
};

/// What a model folder built for a test holds.
struct TestModel {
  std::string name = "minimal";
  bool exe = true;
  std::vector<TestFile> files = {{"BASEDATA", "in", true, "HAR", "Base data"},
                                 {"SUMMARY", "out", false, "HAR", "Summary output"}};
  std::string minStamp = "2026-12-09 10:00:00";
  std::string auxStamp = "2026-12-09 10:00:00";
  bool withClosure = true;
  std::vector<std::string> closure = {"exogenous pop ;", "rest endogenous ;"};
  std::string mrkFile = "minimal.mrk";
  std::string stiFile = "%none";
};

/// A program folder with one model folder, the application state for it, a scripted person and the model
/// set-up under test. Viewers and editors are recorded instead of started; fatal exits are recorded.
class ModelFixture {
public:
  ModelFixture();

  /// Writes the model's files (model file, companions, information file with its stamp, closure) into
  /// ProgramDir/<name>/ and returns the model file's path.
  std::string WriteModel(const TestModel& model);
  /// Checks a model file and, when accepted, loads it as a new model, as choosing it would.
  bool LoadNew(const std::string& modelFile);

  TempDir dir;
  AppState app;
  ScriptedUserInterface ui;
  SolInfoRec info;
  std::unique_ptr<ModelSetUp> setUp;

  /// Every program start: program, then its arguments, then "@" + its folder.
  std::vector<std::vector<std::string>> launches;
  /// Exit codes of fatal exits.
  std::vector<int> exits;
  /// Hook calls, in order ("closure:<file>", "clearClosure", "svi:<file>", "clearSvi", "reset:new", ...).
  std::vector<std::string> calls;
  /// The main window's caption as last set.
  std::string caption;
};

/// Writes a model's files (model file, companions, information file with its stamp, closure) into
/// programDir/<name>/ and returns the model file's path.
std::string WriteTestModel(const std::string& programDir, const TestModel& model);

/// The lines of a text file.
std::vector<std::string> FileLinesOf(const std::string& path);

} // namespace pelorin::test
