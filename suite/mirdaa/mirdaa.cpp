// The sensitivity-analysis preparation program: mirdaa.exe -sti ANSWERS -los LOG
//
// Writes the map of a solution's exogenous components (the file layout is in praxola/ssa_map.h). Answers, one
// per line:
//   options up to an empty line: "bat" (no questions at the terminal), "rpt" + the report file
//   s             the solution file follows
//   S             the solution file, without ".sl4"
//   s             the map is saved to the file that follows
//   MAP           the map file
//   x | s         the map holds every exogenous component ("x"), or only the shocked ones ("s")
//   blank lines may follow; any other answer is an error.
#include "praxola/conversion.h"
#include "praxola/converter_run.h"

namespace {

using namespace pelorin;
using namespace pelorin::conv;

bool Run(AnswerFile& answers, ConverterRun& run) {
  ErrorText err;
  AnswerOptions options;
  bool ok = ReadAnswerOptions(answers, {"bat"}, options, err);
  if (!options.reportFile.empty()) {
    run.SetReportFile(options.reportFile);
  }
  std::string code, solutionAnswer, mapFile, selection;
  ok = ok && answers.Choice("how the solution file is given (\"s\": its name follows)", {"s"}, code, err) &&
       answers.FileName("the solution file", solutionAnswer, err) &&
       answers.Choice("where the map goes (\"s\": to the file named next)", {"s"}, code, err) &&
       answers.FileName("the map file", mapFile, err) &&
       answers.Choice("which components the map holds (\"x\" exogenous, \"s\" shocked)", {"x", "s"},
                      selection, err) &&
       answers.End(err);
  if (!ok) {
    run.Error(err);
    return false;
  }
  std::string stem;
  Solution solution;
  if (!ReadNamedSolution(solutionAnswer, stem, solution, err)) {
    run.Error(err);
    return false;
  }
  const SsaMap map = MakeSsaMap(solution, selection == "s");
  run.Line(" Solution file " + solution.fileName + ": " + std::to_string(map.entries.size()) +
           (selection == "s" ? " shocked" : " exogenous") + " components in the map.");
  OutputSet outputs;
  if (!WriteTextOutput(mapFile, SsaMapText(map, solution), outputs, err) || !outputs.Commit(err)) {
    run.Error(err);
    return false;
  }
  run.Line(" Written: " + mapFile);
  return true;
}

} // namespace

int main(int argc, char** argv) {
  return RunConverterProgram("mirdaa.exe", std::vector<std::string>(argv + 1, argv + argc), Run);
}
