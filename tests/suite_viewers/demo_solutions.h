#pragma once

#include "support/temp_dir.h"

#include <string>

namespace pelorin::test {

/// One solved simulation: its run folder (pelorin-solve's --work) and solution file.
struct DemoRun {
  std::string folder;
  std::string solution; ///< the ".sl4"
  bool ok = false;
};

/// The build's program folder installed into a temporary place and both demo models solved there with their
/// own settings (Gragg 2-4-6) by pelorin-solve, once per test program.
class DemoSolutions {
public:
  static const DemoSolutions& Get();

  std::string programDir;
  DemoRun minimal;
  DemoRun trade;
  /// Trade once more with the tariff cut doubled, its files named sim2 (for solutions side by side).
  DemoRun trade2;

private:
  DemoSolutions();
  TempDir dir_;
};

} // namespace pelorin::test
