#pragma once

// kvdump prints the contents of the suite's files. Each kind of file is one sub-command in its own source
// file, listed in the table of kvdump.cpp.

#include <iosfwd>
#include <string>
#include <vector>

namespace pelorin::kvdump {

/// What a sub-command receives: its arguments (without the sub-command's name) and the two output streams.
/// It returns the process exit code: 0 on success, 1 when a file cannot be read, 2 on wrong usage.
struct Invocation {
  std::vector<std::string> args;
  bool csv = false; ///< "--csv" was given
  std::ostream& out;
  std::ostream& err;
};

/// One sub-command: its name, a one-line usage text and the routine that runs it.
struct SubCommand {
  const char* name;
  const char* usage;
  int (*run)(const Invocation& call);
};

/// `kvdump har FILE [NAME]`: Header Array files.
int RunHar(const Invocation& call);

/// `kvdump info FILE`: model, closure and solution information files.
int RunInfo(const Invocation& call);

/// `kvdump sli FILE`: the summary lines and subtotal descriptions of a solution summary file.
int RunSli(const Invocation& call);

/// `kvdump acc LOG [N]`: the accuracy summaries of a solver log with N updated data files.
int RunAcc(const Invocation& call);

/// `kvdump rtf FILE [--html]`: a model's rich-text description as plain text or HTML.
int RunRtf(const Invocation& call);

/// `kvdump sig FILE...`: the executable signature of programs.
int RunSig(const Invocation& call);

/// A table of text cells printed aligned (first column left, the others right) or as CSV.
class Table {
public:
  /// Adds a row of cells.
  void AddRow(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
  /// Prints the table; `align` holds 'L' or 'R' per column (columns beyond it: the first left, others right).
  void Print(std::ostream& out, bool csv, const std::string& align = "L") const;

private:
  std::vector<std::vector<std::string>> rows_;
};

/// A CSV field, quoted when it needs to be.
std::string CsvField(const std::string& text);
/// The shortest text that reads back as the same single-precision value.
std::string RealText(float value);
/// The shortest text that reads back as the same double-precision value.
std::string RealText(double value);

} // namespace pelorin::kvdump
