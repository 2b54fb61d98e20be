// kvdump sli FILE     a solution summary file (.sli): the time-date stamp, which results are available, the
//                     solution counts and the descriptions of the subtotals

#include "kvdump/kvdump.h"
#include "summaries/sli_summary.h"

#include <ostream>

namespace pelorin::kvdump {

namespace {

// The stamp is as long as the suite writes it.
constexpr int kStampLength = 40;

std::string CharValue(char c) {
  return c == '?' ? "(absent)" : std::string(1, c);
}
std::string IntValue(int value) {
  return value < 0 ? "(absent)" : std::to_string(value);
}

} // namespace

int RunSli(const Invocation& call) {
  if (call.args.size() != 1) {
    call.err << "usage: kvdump sli [--csv] FILE\n";
    return 2;
  }
  const std::string& fileName = call.args[0];
  SLISummary summary;
  int numSubTotals = -1;
  std::vector<std::string> descriptions;
  ErrorText errorText;
  if (!GetSLISummary(fileName, kStampLength, summary, errorText) ||
      !GetNumSubTotals(fileName, numSubTotals, descriptions, errorText)) {
    call.err << errorText << "\n";
    return 1;
  }
  // Lines the converter always writes; a file without them is another kind of file.
  if (summary.cumulative == '?' || summary.nsol[0] < 0) {
    call.err << "kvdump sli: " << fileName
             << " is not a solution summary file; expected the lines \"#AVAIL\" and \"#NSOL\" of a .sli\n";
    return 1;
  }
  if (!call.csv) {
    call.out << "Solution summary file " << fileName << "\n\n";
  }
  Table values;
  values.AddRow({"item", "value"});
  values.AddRow({"time-date stamp", summary.stampPresent ? summary.stamp : "(absent)"});
  values.AddRow({"cumulative results", CharValue(summary.cumulative)});
  values.AddRow({"individual columns retained", CharValue(summary.indivRetained)});
  values.AddRow({"levels results present", CharValue(summary.levelsPresent)});
  values.AddRow({"subtotals available", IntValue(summary.numSubtotals)});
  values.AddRow({"levels indicator", CharValue(summary.levelsChar)});
  values.AddRow({"cumulative solutions", IntValue(summary.nsol[0])});
  values.AddRow({"subtotals made", IntValue(summary.nsol[1])});
  values.AddRow({"individual columns", IntValue(summary.nsol[2])});
  values.AddRow({"levels solutions", IntValue(summary.nsol[3])});
  values.Print(call.out, call.csv, "LL");

  const std::string heading = "Subtotals (" + std::to_string(descriptions.size()) + ")";
  call.out << "\n" << (call.csv ? CsvField(heading) : heading) << "\n";
  Table subtotals;
  subtotals.AddRow({"no.", "description"});
  for (std::size_t i = 0; i < descriptions.size(); ++i) {
    subtotals.AddRow({std::to_string(i + 1), descriptions[i]});
  }
  subtotals.Print(call.out, call.csv, "RL");
  return 0;
}

} // namespace pelorin::kvdump
