// kvdump har FILE         the headers of a Header Array file
// kvdump har FILE NAME    one header's values with their element labels

#include "datafiles/har_data.h"
#include "datafiles/record_file.h"
#include "kvdump/kvdump.h"

#include <filesystem>
#include <ostream>

namespace pelorin::kvdump {

namespace {

std::string Num(std::int64_t value) {
  return std::to_string(value);
}

std::int64_t ValueCount(const THeadRecz& head) {
  if (head.headType == "1C") {
    return head.numStrings;
  }
  if (head.headType == "2I") {
    return head.rows * head.cols;
  }
  return head.numValues;
}

std::string TypeText(const THeadRecz& head) {
  return head.isV3 ? "03 " + head.v3.code : head.orgHeadType;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') {
    text.pop_back();
  }
  return text;
}

// The reader's account of a failure; a file that is there but of another kind is first named as such.
int ReadFailure(const Invocation& call, const std::string& fileName, const ErrorText& errorText) {
  std::error_code ec;
  ErrorText ignored;
  if (std::filesystem::is_regular_file(fileName, ec) && !CheckLaheyFile(fileName, ignored)) {
    call.err << "kvdump har: " << fileName << " is not a Header Array file\n";
  }
  call.err << errorText << "\n";
  return 1;
}

int ListHeaders(const Invocation& call, const std::string& fileName) {
  std::unique_ptr<HarData> data;
  bool skipped = false;
  ErrorText errorText;
  if (!ReadHarFile(fileName, false, false, data, skipped, errorText)) {
    return ReadFailure(call, fileName, errorText);
  }
  const std::string flavour = data->isLahey ? "Lahey" : "Fujitsu";
  Table table;
  std::vector<const THeadRecz*> heads;
  for (const auto* slot : {&data->xxcd, &data->xxcr, &data->xxcp, &data->xxhs, &data->xxff}) {
    if (*slot) {
      heads.push_back(slot->get());
    }
  }
  for (const auto& head : data->heads) {
    if (head) {
      heads.push_back(head.get());
    }
  }
  if (call.csv) {
    table.AddRow({"name", "type", "storage", "dimensions", "sizes", "values", "long name", "flavour"});
  } else {
    call.out << "Header Array file " << fileName << " (" << flavour << " flavour, " << heads.size()
             << " headers)\n";
    table.AddRow({"Name", "Type", "Storage", "Dimensions", "Values", "Long name"});
  }
  for (const THeadRecz* head : heads) {
    std::string dims = head->dimTextLabelled;
    if (!call.csv && head->isReal && head->dimTextLabelled != head->dimTextSizes) {
      dims += " (" + head->dimTextSizes + ")";
    }
    if (call.csv) {
      table.AddRow({Trimmed(head->name), TypeText(*head), head->storage, head->dimTextLabelled,
                    head->dimTextSizes, Num(ValueCount(*head)), head->longName, flavour});
    } else {
      table.AddRow({Trimmed(head->name), TypeText(*head), head->storage, dims, Num(ValueCount(*head)),
                    head->longName});
    }
  }
  table.Print(call.out, call.csv, "LLLLRL");
  return 0;
}

// The label of index i (1-based) of dimension d: its element name when the dimension has one.
std::string IndexLabel(const THeadRecz& head, int d, std::int64_t i) {
  if (d < 7 && head.elements[d] && i < static_cast<std::int64_t>(head.elements[d]->size())) {
    return (*head.elements[d])[static_cast<std::size_t>(i)];
  }
  return Num(i);
}

std::string DimName(const THeadRecz& head, int d) {
  if (d < 7 && !head.dimLabels[d].empty()) {
    return head.dimLabels[d];
  }
  return "dim" + Num(d + 1);
}

void PrintStrings(const Invocation& call, const THeadRecz& head) {
  Table table;
  for (std::int64_t i = 1; i <= head.numStrings && i < static_cast<std::int64_t>(head.strings.size()); ++i) {
    if (call.csv) {
      table.AddRow({head.strings[static_cast<std::size_t>(i)]});
    } else {
      call.out << head.strings[static_cast<std::size_t>(i)] << "\n";
    }
  }
  table.Print(call.out, true);
}

void PrintIntMatrix(const Invocation& call, const THeadRecz& head) {
  Table table;
  std::vector<std::string> top{""};
  for (std::int64_t c = 1; c <= head.cols; ++c) {
    top.push_back(Num(c));
  }
  table.AddRow(top);
  for (std::int64_t r = 1; r <= head.rows; ++r) {
    std::vector<std::string> row{Num(r)};
    for (std::int64_t c = 1; c <= head.cols; ++c) {
      row.push_back(Num(head.intMatrix.At(r, c)));
    }
    table.AddRow(row);
  }
  table.Print(call.out, call.csv);
}

// A value in the shortest form that reads back as the same number of its own precision: a double-precision
// header's values as stored, the others as singles.
std::string ValueText(const THeadRecz& head, std::int64_t offset) {
  if (static_cast<std::int64_t>(head.doubles.size()) == head.values.Count()) {
    return RealText(head.doubles[static_cast<std::size_t>(offset)]);
  }
  return RealText(head.values.Data()[offset]);
}

// A real array: a column of values for one dimension, a table for two, labelled tables (slices) for more.
void PrintReals(const Invocation& call, const THeadRecz& head) {
  const int nDim = head.nDim;
  if (head.values.Count() == 0) {
    if (!call.csv) {
      call.out << "(no values)\n";
    }
    return;
  }
  if (nDim == 0 || head.numValues == 1) {
    Table table;
    table.AddRow({"value", head.values.Count() > 0 ? ValueText(head, 0) : RealText(head.scalarValue)});
    table.Print(call.out, call.csv);
    return;
  }
  if (nDim == 1) {
    Table table;
    table.AddRow({DimName(head, 0), "value"});
    for (std::int64_t i = 1; i <= head.sizes[0]; ++i) {
      table.AddRow({IndexLabel(head, 0, i), ValueText(head, i - 1)});
    }
    table.Print(call.out, call.csv);
    return;
  }
  std::array<std::int64_t, 7> index{1, 1, 1, 1, 1, 1, 1};
  const std::int64_t rows = head.sizes[0];
  const std::int64_t cols = head.sizes[1];
  for (;;) {
    if (nDim > 2) {
      std::string slice;
      for (int d = 2; d < nDim; ++d) {
        slice += (d > 2 ? ", " : "") + DimName(head, d) + " (dimension " + Num(d + 1) +
                 ") = " + IndexLabel(head, d, index[d]);
      }
      if (call.csv) {
        call.out << CsvField(slice) << "\n";
      } else {
        call.out << slice << "\n";
      }
    }
    Table table;
    std::vector<std::string> top{DimName(head, 0) + "\\" + DimName(head, 1)};
    for (std::int64_t c = 1; c <= cols; ++c) {
      top.push_back(IndexLabel(head, 1, c));
    }
    table.AddRow(top);
    for (std::int64_t r = 1; r <= rows; ++r) {
      std::vector<std::string> row{IndexLabel(head, 0, r)};
      for (std::int64_t c = 1; c <= cols; ++c) {
        index[0] = r;
        index[1] = c;
        row.push_back(ValueText(head, head.values.Offset(index)));
      }
      table.AddRow(row);
    }
    table.Print(call.out, call.csv);
    if (!call.csv && nDim > 2) {
      call.out << "\n";
    }
    int d = 2;
    while (d < nDim && index[d] == head.sizes[d]) {
      index[d] = 1;
      ++d;
    }
    if (d >= nDim) {
      break;
    }
    ++index[d];
  }
}

int PrintHeader(const Invocation& call, const std::string& fileName, const std::string& name) {
  std::unique_ptr<THeadRecz> found;
  ErrorText errorText;
  const HarReadOptions keepDoubles{true};
  if (!ReadHeaderFromHarFile(fileName, name, false, found, errorText, keepDoubles)) {
    return ReadFailure(call, fileName, errorText);
  }
  // The listing shows the file as the reader completes it, with bookkeeping headers made for a file that
  // lacks them; each of those can be printed too.
  std::unique_ptr<HarData> data;
  const THeadRecz* head = found.get();
  if (head == nullptr) {
    bool skipped = false;
    if (!ReadHarFile(fileName, false, false, data, skipped, errorText, keepDoubles)) {
      return ReadFailure(call, fileName, errorText);
    }
    head = data->Find(name);
  }
  if (head == nullptr) {
    call.err << "Header " << name << " is not in file " << fileName << "\n";
    return 1;
  }
  if (!call.csv) {
    call.out << Trimmed(head->name) << "  " << head->longName << "\n";
    call.out << "Type " << TypeText(*head) << " " << head->storage << ", dimensions "
             << head->dimTextLabelled;
    if (head->isReal && head->dimTextLabelled != head->dimTextSizes) {
      call.out << " (" << head->dimTextSizes << ")";
    }
    call.out << ", " << ValueCount(*head) << " values\n\n";
  }
  if (head->headType == "1C") {
    PrintStrings(call, *head);
  } else if (head->headType == "2I") {
    PrintIntMatrix(call, *head);
  } else if (head->isReal) {
    PrintReals(call, *head);
  }
  return 0;
}

} // namespace

int RunHar(const Invocation& call) {
  if (call.args.empty() || call.args.size() > 2) {
    call.err << "usage: kvdump har [--csv] FILE [HEADER]\n";
    return 2;
  }
  SetHarWarningHandler([&call](const std::string& text) { call.err << "Warning: " << text << "\n"; });
  const int code =
      call.args.size() == 1 ? ListHeaders(call, call.args[0]) : PrintHeader(call, call.args[0], call.args[1]);
  SetHarWarningHandler(nullptr);
  return code;
}

} // namespace pelorin::kvdump
