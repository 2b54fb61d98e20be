#include "demo_solutions.h"

#include "../suite_conv/conv_fixture.h"
#include "platform/paths.h"

#include <filesystem>

namespace pelorin::test {

namespace {

DemoRun Solve(const std::string& programDir, const std::string& model, const std::string& folder) {
  DemoRun run;
  run.folder = folder;
  run.solution = JoinPath(folder, "sim1.sl4");
  run.ok = RunToEnd(JoinPath(programDir, "pelorin-solve"), {model, "--work", folder}, programDir) == 0 &&
           std::filesystem::exists(run.solution);
  return run;
}

} // namespace

DemoSolutions::DemoSolutions() {
  programDir = dir_.File("prog");
  if (RunToEnd(PELORIN_CMAKE, {"--install", PELORIN_BINARY_DIR, "--prefix", programDir}, dir_.File("")) !=
      0) {
    return;
  }
  minimal = Solve(programDir, "Minimal", dir_.File("minimal"));
  trade = Solve(programDir, "Trade", dir_.File("trade"));
}

const DemoSolutions& DemoSolutions::Get() {
  static const DemoSolutions solutions;
  return solutions;
}

} // namespace pelorin::test
