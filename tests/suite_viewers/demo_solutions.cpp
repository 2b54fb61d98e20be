#include "demo_solutions.h"

#include "../suite_conv/conv_fixture.h"
#include "platform/paths.h"

#include <filesystem>

namespace pelorin::test {

namespace {

DemoRun Solve(const std::string& programDir, const std::string& model, const std::string& folder,
              const std::string& settings = {}, const std::string& name = "sim1") {
  DemoRun run;
  run.folder = folder;
  run.solution = JoinPath(folder, name + ".sl4");
  std::vector<std::string> arguments{model, "--work", folder};
  if (!settings.empty()) {
    arguments.insert(arguments.end(), {"--settings", settings});
  }
  run.ok = RunToEnd(JoinPath(programDir, "pelorin-solve"), arguments, programDir) == 0 &&
           std::filesystem::exists(run.solution);
  return run;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
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
  const std::string settings = Replaced(
      Replaced(ReadFileBytes(JoinPath(programDir, "Trade/Trade.ini")), "= -5 ;", "= -10 ;"), "sim1", "sim2");
  trade2 = Solve(programDir, "Trade", dir_.File("trade2"), dir_.Write("trade2.ini", settings), "sim2");
}

const DemoSolutions& DemoSolutions::Get() {
  static const DemoSolutions solutions;
  return solutions;
}

} // namespace pelorin::test
