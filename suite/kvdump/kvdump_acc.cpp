// kvdump acc LOG [N]  the accuracy summaries of a solver log with N updated data files (default 0): per
//                     subinterval and overall, how many results are accurate to 0..6 figures, their average
//                     and grade, and the worst subintervals

#include "kvdump/kvdump.h"
#include "summaries/acc_summary.h"

#include <charconv>
#include <memory>
#include <ostream>

namespace pelorin::kvdump {

namespace {

std::string Average(float average10) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, average10 / 10.0f, std::chars_format::fixed, 2);
  return std::string(text, result.ptr);
}

std::string SummaryName(const AccSummaryRec& record, int i) {
  if (record.overallFound && i == record.overallLevelsPos) {
    return "overall";
  }
  return std::to_string(i);
}

// The reader counts the overall summary as one more subinterval after the real ones; a solve of one
// subinterval has only the overall summary.
int SolvedSubintervals(const AccSummaryRec& record) {
  return record.overallFound && record.numSubintervals > 1 ? record.numSubintervals - 1
                                                           : record.numSubintervals;
}

std::string Position(int position) {
  return position > 0 ? std::to_string(position) : "none";
}

} // namespace

int RunAcc(const Invocation& call) {
  int numUpdated = 0;
  if (call.args.size() == 2) {
    const std::string& text = call.args[1];
    const auto result = std::from_chars(text.data(), text.data() + text.size(), numUpdated);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || numUpdated < 0) {
      call.err << "kvdump acc: N must be a number of updated data files, not \"" << text << "\"\n";
      return 2;
    }
  } else if (call.args.size() != 1) {
    call.err << "usage: kvdump acc [--csv] LOG [N]\n";
    return 2;
  }
  const std::string& logFile = call.args[0];
  auto record = std::make_unique<AccSummaryRec>();
  ErrorText errorText;
  if (!GetAccSummary(logFile, numUpdated, *record, errorText)) {
    call.err << errorText << "\n";
    return 1;
  }
  if (record->numSubintervals == 0) {
    call.err << "kvdump acc: " << logFile
             << " holds no accuracy summary; expected the log of a solve with extrapolation (a block after "
                "\"Below are for levels values\")\n";
    return 1;
  }
  if (!call.csv) {
    call.out << "Accuracy summary of " << logFile << " (" << numUpdated << " updated data files)\n";
    call.out << "Subintervals: " << SolvedSubintervals(*record) << "\n";
    call.out << "Overall summary: "
             << (record->overallFound ? std::string("present") +
                                            (record->overallDataPos > 0 ? " (with data)" : " (no data part)")
                                      : "none")
             << "\n";
    call.out << "Worst subinterval for variables: " << Position(record->worstLevels)
             << "; for data: " << Position(record->worstData) << "\n\n";
  }
  Table table;
  table.AddRow({"summary", "part", "0", "1", "2", "3", "4", "5", "6", "average", "grade"});
  for (int i = 1; i <= record->numSubintervals; ++i) {
    const AccSubinterval& sub = record->sub[static_cast<std::size_t>(i)];
    for (const auto& [part, histogram] :
         {std::pair{"variables", &sub.levels}, std::pair{"data", &sub.data}}) {
      if (!histogram->present) {
        continue;
      }
      std::vector<std::string> row{SummaryName(*record, i), part};
      for (int count : histogram->counts) {
        row.push_back(std::to_string(count));
      }
      row.push_back(Average(histogram->average10));
      row.push_back(std::to_string(histogram->grade));
      table.AddRow(std::move(row));
    }
  }
  table.Print(call.out, call.csv, "LL");
  return 0;
}

} // namespace pelorin::kvdump
