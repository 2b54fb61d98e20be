#pragma once

#include "app/application.h"
#include "summaries/acc_summary.h"
#include "support/saved_environment.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <memory>
#include <string>
#include <vector>

namespace pelorin::test {

/// The program folder as the build installs it, and the application core after a real solve of the Minimal
/// demo model by the suite's own programs, with a scripted person. Made once for the whole test program.
class SolvedMinimal {
public:
  /// The solved application (installed and solved on first use); null after a failure, with the reason.
  static SolvedMinimal* Get(std::string& failure);

  /// The row of the contents table whose first cell is `first`, 0 when none.
  int ContentsRow(const std::string& first) const;
  /// The folder of this run's own files (work, keep, out, exports).
  std::string Run(const std::string& name) const { return run.File(name); }

  SavedEnvironment environment;
  TempDir dir;
  TempDir run;
  std::string programDir;
  ScriptedUserInterface ui;
  std::unique_ptr<Application> app;
  std::vector<int> exits;
  /// The accuracy record the solve's end showed, and how often it was shown.
  std::unique_ptr<AccSummaryRec> accuracy;
  int accuracyShown = 0;

private:
  bool Solve(std::string& failure);
};

} // namespace pelorin::test
