// The solution converter: praxola.exe -sti ANSWERS -los LOG
//
// Reads its answers (see answer_file.h) and either converts a solution file into Header Array files and the
// solution information file, or lists the solution's shocks.
//
// Conversion ("praxol" answers), one answer per line:
//   options up to an empty line: "bat" (no questions at the terminal), "rpt" + the report file, "wsi" (write
//     the solution information file S.sli), "shl" (write the levels files) or "nlv" (do not)
//   S             the solution file, without ".sl4"
//   c | t         cumulative results only, or also one file per subtotal
//   n | y         convert every variable, or ("y") the variables named on the following lines, up to an
//                 empty line
//   LIST          the conversion listing: the files written
//   blank lines may follow; any other answer is an error.
//
// Shock listing (option "shk"):
//   options, S, "c", then "y" + the map file written by mirdaa.exe, or "n" to list every shocked component;
//   then the listing file.
#include "praxola/conversion.h"
#include "praxola/converter_run.h"

#include <filesystem>

namespace {

using namespace pelorin;
using namespace pelorin::conv;

bool ReadChecked(const std::string& answer, std::string& stem, Solution& solution, ConverterRun& run) {
  ErrorText err;
  if (!ReadNamedSolution(answer, stem, solution, err)) {
    run.Error(err);
    return false;
  }
  run.Line(" Solution file " + solution.fileName + ": model " + solution.modelName + ", " +
           std::to_string(solution.variables.size()) + " variables, " +
           std::to_string(solution.NumComponents()) + " components, " +
           std::to_string(solution.shocks.size()) + " shocks, " + std::to_string(solution.subtotals.size()) +
           " subtotals.");
  return true;
}

bool Commit(OutputSet& outputs, ConverterRun& run) {
  ErrorText err;
  if (!outputs.Commit(err)) {
    run.Error(err);
    return false;
  }
  for (const std::string& file : outputs.Finals()) {
    run.Line(" Written: " + file);
  }
  return true;
}

bool ListShocks(AnswerFile& answers, const std::string& solutionAnswer, ConverterRun& run) {
  ErrorText err;
  std::string code, mapFile, listing;
  bool ok = answers.Choice("the kind of results to list", {"c"}, code, err) &&
            answers.Choice("whether a sensitivity map file is used", {"y", "n"}, code, err);
  const bool useMap = ok && code == "y";
  ok = ok && (!useMap || answers.FileName("the map file", mapFile, err)) &&
       answers.FileName("the shock listing file", listing, err) && answers.End(err);
  if (!ok) {
    run.Error(err);
    return false;
  }
  std::string stem;
  Solution solution;
  if (!ReadChecked(solutionAnswer, stem, solution, run)) {
    return false;
  }
  SsaMap map;
  if (useMap && (!ReadSsaMap(mapFile, map, err) || !CheckSsaMap(map, mapFile, solution, err))) {
    run.Error(err);
    return false;
  }
  OutputSet outputs;
  if (!WriteTextOutput(listing, ShockListingText(solution, useMap ? &map : nullptr, mapFile), outputs, err)) {
    run.Error(err);
    return false;
  }
  return Commit(outputs, run);
}

bool Convert(AnswerFile& answers, const AnswerOptions& options, const std::string& solutionAnswer,
             ConverterRun& run) {
  ErrorText err;
  std::string kind, select, listing;
  ConvertOptions convert;
  bool ok = answers.Choice("the kind of results (\"c\" cumulative only, \"t\" also subtotals)", {"c", "t"},
                           kind, err) &&
            answers.Choice("whether only some variables are converted", {"n", "y"}, select, err);
  while (ok && select == "y") {
    std::string name;
    ok = answers.Code("the next variable to convert (an empty line ends the list)", name, err);
    if (ok && name.empty()) {
      break;
    }
    convert.selected.push_back(name);
  }
  ok = ok && answers.FileName("the conversion listing file", listing, err) && answers.End(err);
  if (!ok) {
    run.Error(err);
    return false;
  }
  convert.summary = options.Has("wsi");
  convert.subtotals = kind == "t";
  convert.levels = false;
  for (const std::string& code : options.codes) {
    convert.levels = code == "shl" ? true : (code == "nlv" ? false : convert.levels);
  }
  std::string stem;
  Solution solution;
  if (!ReadChecked(solutionAnswer, stem, solution, run)) {
    return false;
  }
  OutputSet outputs;
  if (!ConvertSolution(solution, stem, convert, outputs, err)) {
    run.Error(err);
    return false;
  }
  std::string text = "! Files written by praxola.exe from the solution " + solution.fileName + "\n";
  for (const std::string& file : outputs.Finals()) {
    text += file + "\n";
  }
  if (!WriteTextOutput(listing, text, outputs, err)) {
    run.Error(err);
    return false;
  }
  // The old summary goes first, so that it can never describe files of two different conversions.
  std::error_code ec;
  std::filesystem::remove(stem + ".sli", ec);
  return Commit(outputs, run);
}

bool Run(AnswerFile& answers, ConverterRun& run) {
  ErrorText err;
  AnswerOptions options;
  const bool ok = ReadAnswerOptions(answers, {"bat", "wsi", "shl", "nlv", "shk"}, options, err);
  if (!options.reportFile.empty()) {
    run.SetReportFile(options.reportFile);
  }
  std::string solution;
  if (!ok || !answers.FileName("the solution file", solution, err)) {
    run.Error(err);
    return false;
  }
  return options.Has("shk") ? ListShocks(answers, solution, run) : Convert(answers, options, solution, run);
}

} // namespace

int main(int argc, char** argv) {
  return RunConverterProgram("praxola.exe", std::vector<std::string>(argv + 1, argv + argc), Run);
}
