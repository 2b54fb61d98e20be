#pragma once

// What the converter and the sensitivity-analysis preparation program share around their work: the command
// line "-sti ANSWERS -los LOG", the log (every failure line holds the word "error"), the report file in
// profile form ("Status" = "ok" only on success) and the exit code (0 on success, 1 on failure, 2 for a wrong
// command line).

#include "praxola/answer_file.h"

#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::conv {

/// One run of a program: its log and the report written when it ends.
class ConverterRun {
public:
  /// Creates the log; with `echo` every line is also printed.
  ConverterRun(std::string program, const std::string& logPath, bool echo);

  bool LogOpen() const { return log_.is_open(); }
  const std::string& Program() const { return program_; }
  /// Writes one line to the log.
  void Line(std::string_view text);
  /// Writes a failure, line by line; a text without the word "error" gets "error: " in front.
  void Error(std::string_view text);
  /// Names the report file. A report left there by an earlier run is removed at once, so that a run that
  /// stops before its end can never be judged by an old "ok".
  void SetReportFile(const std::string& path);
  /// Ends the run: a closing log line and the report ("ok" only when `ok`). Returns the exit code.
  int Finish(bool ok);

private:
  std::string program_;
  std::ofstream log_;
  bool echo_ = false;
  std::string reportFile_;
};

/// The work of a program: reads its answers and does what they ask, logging as it goes. The run's report file
/// is named through `run.SetReportFile` as soon as the answers give it.
using ConverterBody = std::function<bool(AnswerFile& answers, ConverterRun& run)>;

/// The whole life of a program: command line, log, answer file, the work, report and exit code. An exception
/// escaping the work (memory exhausted) is logged as an error.
int RunConverterProgram(const std::string& program, const std::vector<std::string>& arguments,
                        const ConverterBody& body);

} // namespace pelorin::conv
