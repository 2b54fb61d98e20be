// kvdump: prints the contents of the suite's files.
//   kvdump SUB-COMMAND [--csv] ARGUMENTS...

#include "kvdump/kvdump.h"

#include <array>
#include <charconv>
#include <iostream>
#include <ostream>

namespace pelorin::kvdump {

namespace {

// The sub-commands; a new kind of file adds one line here and its own source file.
constexpr std::array kSubCommands = {
    SubCommand{"har",
               "kvdump har [--csv] FILE [HEADER]   headers of a Header Array file, or one header's values",
               RunHar},
    SubCommand{
        "info",
        "kvdump info [--csv] FILE           sets, subsets, variables and closure of a .min, .cli or .sli",
        RunInfo},
    SubCommand{"sli", "kvdump sli [--csv] FILE            summary values and subtotal descriptions of a .sli",
               RunSli},
    SubCommand{"acc",
               "kvdump acc [--csv] LOG [N]         accuracy summaries of a solver log, N updated files",
               RunAcc},
    SubCommand{"rtf", "kvdump rtf FILE [--html]           a model description (.rtf) as plain text or HTML",
               RunRtf},
    SubCommand{"sig", "kvdump sig [--csv] FILE...         compiler and record flavour of programs", RunSig},
};

void Usage(std::ostream& err) {
  err << "usage:\n";
  for (const SubCommand& command : kSubCommands) {
    err << "  " << command.usage << "\n";
  }
}

} // namespace

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    return text;
  }
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') {
      quoted += '"';
    }
    quoted += c;
  }
  return quoted + "\"";
}

std::string RealText(float value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string RealText(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

void Table::Print(std::ostream& out, bool csv, const std::string& align) const {
  if (csv) {
    for (const auto& row : rows_) {
      for (std::size_t c = 0; c < row.size(); ++c) {
        out << (c > 0 ? "," : "") << CsvField(row[c]);
      }
      out << "\n";
    }
    return;
  }
  std::vector<std::size_t> widths;
  for (const auto& row : rows_) {
    if (widths.size() < row.size()) {
      widths.resize(row.size(), 0);
    }
    for (std::size_t c = 0; c < row.size(); ++c) {
      widths[c] = std::max(widths[c], row[c].size());
    }
  }
  for (const auto& row : rows_) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      const std::string& cell = row[c];
      const std::string pad(widths[c] - cell.size(), ' ');
      if (c > 0) {
        line += "  ";
      }
      const bool last = c + 1 == row.size();
      const bool left = c < align.size() ? align[c] == 'L' : c == 0;
      if (left) {
        line += cell;
        if (!last) {
          line += pad;
        }
      } else {
        line += pad + cell;
      }
    }
    out << line << "\n";
  }
}

} // namespace pelorin::kvdump

int main(int argc, char** argv) {
  using namespace pelorin::kvdump;
  std::vector<std::string> args;
  bool csv = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--csv") {
      csv = true;
    } else {
      args.push_back(arg);
    }
  }
  if (args.empty()) {
    Usage(std::cerr);
    return 2;
  }
  for (const SubCommand& command : kSubCommands) {
    if (args[0] == command.name) {
      Invocation call{std::vector<std::string>(args.begin() + 1, args.end()), csv, std::cout, std::cerr};
      return command.run(call);
    }
  }
  std::cerr << "kvdump: unknown sub-command \"" << args[0] << "\"\n";
  Usage(std::cerr);
  return 2;
}
