// kvdump info FILE    a model, closure or solution information file (.min, .cli, .sli): its logical files,
//                     sets with sizes and elements, the subset relation after its closure, the variables with
//                     their arguments, change type and closure status, and the description lines

#include "kvdump/kvdump.h"
#include "modelinfo/model_info_reader.h"

#include <ostream>

namespace pelorin::kvdump {

namespace {

std::string ChangeType(char vcTp) {
  switch (vcTp) {
  case 'p':
    return "percentage";
  case 'c':
    return "change";
  default:
    return "?";
  }
}

// The exogenous components of a variable: "all", "none", or the ranges of its flags ("1-3 5").
std::string Exogenous(const TVarRec& var) {
  if (var.ExoStat == 'X') {
    return "all";
  }
  if (var.ExoStat == 'N' || var.ExoStat == 'B') {
    return "none";
  }
  if (var.ExoStat != 'x') {
    return "";
  }
  if (var.ExoFlags.empty()) {
    return std::to_string(var.NExog) + " components";
  }
  std::string ranges;
  const int size = static_cast<int>(var.ExoFlags.size()) - 1;
  for (int i = 1; i <= size; ++i) {
    if (var.ExoFlags[static_cast<std::size_t>(i)] == 0) {
      continue;
    }
    int last = i;
    while (last < size && var.ExoFlags[static_cast<std::size_t>(last + 1)] != 0) {
      ++last;
    }
    ranges += (ranges.empty() ? "" : " ") + std::to_string(i) + (last > i ? "-" + std::to_string(last) : "");
    i = last;
  }
  return ranges;
}

std::string Elements(const TSetRec& set) {
  if (set.size < 0) {
    return "(size not known until the model runs)";
  }
  if (set.ElementsKnown) {
    std::string text;
    for (const std::string& element : set.elements) {
      text += (text.empty() ? "" : " ") + element;
    }
    return text;
  }
  if (set.size == 0) {
    return "";
  }
  return "(not listed: " + set.Element(1) + (set.size > 1 ? " .. " + set.Element(set.size) : "") + ")";
}

// Sections are separated by a blank line and their title (one field in CSV).
void Heading(const Invocation& call, const std::string& text) {
  call.out << "\n" << (call.csv ? CsvField(text) : text) << "\n";
}

void PrintFiles(const Invocation& call, const SolInfoRec& info) {
  Heading(call, "Logical files (" + std::to_string(info.NFiles) + ")");
  Table table;
  table.AddRow({"logical name", "direction", "updated", "type", "fixed name", "description"});
  for (const TFileRec& file : info.FileData) {
    table.AddRow({file.logicalName, file.direction, file.updated ? "y" : "n", file.fileType, file.rest,
                  file.description});
  }
  table.Print(call.out, call.csv, "LLLLLL");
}

void PrintSets(const Invocation& call, const SolInfoRec& info) {
  Heading(call, "Sets (" + std::to_string(info.NumSets) + ")");
  Table table;
  table.AddRow({"number", "set", "size", "label", "elements"});
  for (int i = 1; i <= info.NumSets; ++i) {
    const TSetRec& set = info.Set(i);
    table.AddRow({std::to_string(i), set.name, set.size < 0 ? "?" : std::to_string(set.size), set.label,
                  Elements(set)});
  }
  table.Print(call.out, call.csv, "RLRLL");
}

void PrintSubsets(const Invocation& call, const SolInfoRec& info) {
  Heading(call, "Subsets (after the closure of the relation)");
  Table table;
  table.AddRow({"subset", "of"});
  const int dim = info.IsSubSet ? info.IsSubSet->Dim() : 0;
  for (int i = 1; i <= dim; ++i) {
    for (int j = 1; j <= dim; ++j) {
      if (info.IsSubSet->Get(i, j)) {
        table.AddRow({info.Set(i).name, info.Set(j).name});
      }
    }
  }
  table.Print(call.out, call.csv, "LL");
}

void PrintVariables(const Invocation& call, const SolInfoRec& info) {
  Heading(call, "Variables (" + std::to_string(info.NVar) + ")");
  Table table;
  table.AddRow(
      {"number", "variable", "arguments", "size", "change type", "closure", "exogenous", "description"});
  for (int i = 1; i <= info.NVar; ++i) {
    const TVarRec& var = info.Var(i);
    table.AddRow({std::to_string(i), var.name, var.ArgsText, var.size < 0 ? "?" : std::to_string(var.size),
                  ChangeType(var.VcTp), std::string(1, var.ExoStat), Exogenous(var), var.description});
  }
  table.Print(call.out, call.csv, "RLLRLLLL");
}

void PrintDescription(const Invocation& call, const SolInfoRec& info) {
  Heading(call, "Description lines (" + std::to_string(info.DescLines.Count()) + ")");
  Table table;
  table.AddRow({"description"});
  for (const std::string& line : info.DescLines.lines) {
    table.AddRow({line});
  }
  table.Print(call.out, call.csv, "L");
}

} // namespace

int RunInfo(const Invocation& call) {
  if (call.args.size() != 1) {
    call.err << "usage: kvdump info [--csv] FILE\n";
    return 2;
  }
  const std::string& fileName = call.args[0];
  DataItemSet request = StandardRequest();
  request.Add(DataItem::Files);
  SolInfoOptions options;
  options.foldCase = true;
  options.exoFlags = true;
  SolInfoRec info;
  ErrorText errorText;
  if (!RequestSolInfo(fileName, request, options, errorText, info) ||
      !AddMinInfoToSolInfo(fileName, info, errorText)) {
    call.err << errorText << "\n";
    return 1;
  }
  if (!call.csv) {
    call.out << "Model information file " << fileName << "\n";
    const auto field = [&](DataItem item, const std::string& value) {
      call.out << DataItemHeading(item) << " " << (info.Read(item) ? value : "(absent)") << "\n";
    };
    field(DataItem::TmDate, info.TmDate);
    field(DataItem::MrkFile, info.MrkFile);
    field(DataItem::StiFile, info.StiFile);
    field(DataItem::KvVer, std::to_string(info.KvVer));
    field(DataItem::PrVer, std::to_string(info.PrVer));
  }
  PrintFiles(call, info);
  PrintSets(call, info);
  PrintSubsets(call, info);
  PrintVariables(call, info);
  PrintDescription(call, info);
  return 0;
}

} // namespace pelorin::kvdump
