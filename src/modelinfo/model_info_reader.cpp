#include "modelinfo/model_info_reader.h"

#include "modelinfo/text_cursor.h"
#include "platform/memory_status.h"
#include "platform/strings.h"
#include "platform/text_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>

namespace pelorin {

namespace {

constexpr std::size_t kSetNameWidth = 12;
constexpr std::size_t kVarNameWidth = 15;
constexpr std::size_t kIgnoredColumns = 6;
constexpr std::size_t kCodeLineLength = 40;
constexpr std::size_t kRangeLineLength = 20;
constexpr const char* kCrLf = "\r\n";

bool IsItem(std::string_view line, DataItem item) {
  return line == DataItemHeading(item);
}

void MarkRead(SolInfoRec& info, DataItem item) {
  info.ItemRead[static_cast<std::size_t>(item)] = true;
}

std::string Copy(std::string_view line, std::size_t firstColumn, std::size_t length) {
  if (line.size() < firstColumn) {
    return {};
  }
  return std::string(line.substr(firstColumn - 1, length));
}

// The bytes the exogenous flags of one read may still take. A variable line declares its size, so without
// this a short file could ask for gigabytes; the limit is the machine's available memory unless the caller
// sets one.
class FlagBudget {
public:
  explicit FlagBudget(std::uint64_t limit) : limit_(limit) {}

  bool Take(std::uint64_t bytes) {
    if (limit_ == 0) {
      limit_ = std::max<std::uint64_t>(GetMemoryStatus().available, 1);
    }
    if (bytes > limit_ - used_) {
      return false;
    }
    used_ += bytes;
    return true;
  }

private:
  std::uint64_t limit_;
  std::uint64_t used_ = 0;
};

class ModelInfoParser {
public:
  ModelInfoParser(std::string_view text, SolInfoOptions options, ErrorText& errorText, SolInfoRec& info)
      : in_(text), options_(options), budget_(options.memoryLimit), errorText_(errorText), info_(info) {}

  bool GetModelInfo(DataItemSet request);
  bool AddMinInfoToSolInfo();

private:
  bool Needs(DataItem item);
  bool ReadFileInfo();
  bool ReadSetInfo();
  bool ReadSetLine(int number);
  bool ReadVarInfo();
  bool ReadVarDetails(int number);
  bool ReadExogenousRanges(TVarRec& var);
  bool ReadCodes(bool vcTp);
  bool ReadDescNLinesUnKnown();
  bool ReadIntField(int& value, const char* field);
  bool ReadTextField(std::string& value, const char* field);
  bool FindLine(std::string_view wanted);
  bool MatchCount(std::string_view heading, std::string_view countName, int expected);
  bool ReadSubsetInfo();

  TextCursor in_;
  SolInfoOptions options_;
  FlagBudget budget_;
  ErrorText& errorText_;
  SolInfoRec& info_;
  std::string pending_;
  bool hasPending_ = false;
};

bool ModelInfoParser::GetModelInfo(DataItemSet request) {
  const bool developerPc = std::getenv("DeveloperPC") != nullptr;
  std::string_view line;
  while (true) {
    if (hasPending_) {
      line = pending_;
      hasPending_ = false;
    } else if (!in_.ReadLine(line)) {
      return true;
    }
    if (line.empty() || line[0] != '#') {
      continue;
    }
    bool ok = true;
    std::optional<DataItem> item;
    if (IsItem(line, DataItem::Files) && (request.Has(DataItem::Files) || developerPc)) {
      ok = ReadFileInfo();
      item = DataItem::Files;
    } else if (IsItem(line, DataItem::VbDsc) && request.Has(DataItem::VbDsc)) {
      ok = ReadDescNLinesUnKnown();
      item = DataItem::VbDsc;
    } else if (IsItem(line, DataItem::Sets) && request.Has(DataItem::Sets)) {
      ok = ReadSetInfo();
      item = DataItem::Sets;
    } else if (IsItem(line, DataItem::Variables) && request.Has(DataItem::Variables)) {
      ok = Needs(DataItem::Sets) && ReadVarInfo();
      item = DataItem::Variables;
    } else if (IsItem(line, DataItem::VcStat) && request.Has(DataItem::VcStat)) {
      ok = Needs(DataItem::Variables) && ReadCodes(false);
      item = DataItem::VcStat;
    } else if (IsItem(line, DataItem::VcTp) && request.Has(DataItem::VcTp)) {
      ok = Needs(DataItem::Variables) && ReadCodes(true);
      item = DataItem::VcTp;
    } else if (IsItem(line, DataItem::KvVer)) {
      ok = ReadIntField(info_.KvVer, "KVVER");
      item = DataItem::KvVer;
    } else if (IsItem(line, DataItem::PrVer)) {
      ok = ReadIntField(info_.PrVer, "PRVER");
      item = DataItem::PrVer;
    } else if (IsItem(line, DataItem::TmDate)) {
      ok = ReadTextField(info_.TmDate, "TMDATE");
      item = DataItem::TmDate;
    } else if (IsItem(line, DataItem::StiFile)) {
      ok = ReadTextField(info_.StiFile, "STIFILE");
      item = DataItem::StiFile;
    } else if (IsItem(line, DataItem::MrkFile)) {
      ok = ReadTextField(info_.MrkFile, "MRKFILE");
      item = DataItem::MrkFile;
    }
    if (!ok) {
      // The record keeps what was read so far, but the failed section does not count as read.
      return false;
    }
    if (item) {
      MarkRead(info_, *item);
    }
  }
}

bool ModelInfoParser::Needs(DataItem item) {
  if (info_.Read(item)) {
    return true;
  }
  return Fail(errorText_, std::string("Data Item ") + DataItemHeading(item) + " is not read");
}

bool ModelInfoParser::ReadIntField(int& value, const char* field) {
  if (!in_.ReadInt(value)) {
    return Fail(errorText_, std::string("Could not read ") + field + " field.");
  }
  in_.NextLine();
  return true;
}

bool ModelInfoParser::ReadTextField(std::string& value, const char* field) {
  std::string_view line;
  if (!in_.ReadLine(line)) {
    return Fail(errorText_, std::string("Could not read ") + field + " field.");
  }
  value = std::string(line);
  return true;
}

bool ModelInfoParser::ReadFileInfo() {
  std::string_view line;
  if (!in_.ReadLine(line)) {
    return true; // the column-heading line
  }
  info_.FileData.clear();
  info_.NFiles = 0;
  while (in_.ReadLine(line)) {
    if (line.empty()) {
      continue;
    }
    if (line[0] == '#') {
      pending_ = std::string(line);
      hasPending_ = true;
      return true;
    }
    if (info_.NFiles >= kMaxFiles) {
      return Fail(errorText_, "Too many files in MRK program, max is " + std::to_string(kMaxFiles) + kCrLf,
                  "[ReadFileInfo]");
    }
    TFileRec file;
    file.logicalName = Trim(Copy(line, 1, 20));
    file.direction = LowerCase(Trim(Copy(line, 23, 3)));
    const std::string flag = Copy(line, 30, 1);
    file.updated = flag == "y" || flag == "Y";
    file.fileType = LowerCase(Trim(Copy(line, 33, 3)));
    file.rest = Trim(Copy(line, 38, std::string::npos));
    if (file.logicalName.empty() || file.logicalName[0] != '(') {
      std::string_view second;
      if (in_.ReadLine(second)) {
        file.description = std::string(second);
      }
    }
    info_.FileData.push_back(std::move(file));
    info_.NFiles = static_cast<int>(info_.FileData.size());
  }
  return true;
}

bool ModelInfoParser::ReadSetInfo() {
  constexpr const char* kTag = " [ReadSetInfo]";
  int count = 0;
  if (!in_.ReadInt(count) || count < 0) {
    return Fail(errorText_, "cannot read NKalSet", kTag);
  }
  if (count > kMaxSets) {
    return Fail(errorText_, "Too many sets - max is " + std::to_string(kMaxSets), kTag);
  }
  if (info_.SetDataPresent) {
    return Fail(errorText_, "SetData<>nil", kTag);
  }
  in_.NextLine();
  info_.SetDataPresent = true;
  info_.SetData.reserve(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) {
    if (!ReadSetLine(i)) {
      return Fail(errorText_, "cannot read Set data line", kTag);
    }
  }
  return true;
}

bool ModelInfoParser::ReadSetLine(int number) {
  if (in_.AtEof()) {
    return false;
  }
  TSetRec set;
  in_.ReadField(kIgnoredColumns);
  set.name = Trim(in_.ReadField(kSetNameWidth));
  if (!in_.ReadInt(set.size)) {
    return false;
  }
  in_.ReadField(2);
  const bool marker = in_.ReadField(1) == "k";
  set.label = Trim(in_.RestOfLine());
  in_.NextLine();
  if (set.label.empty()) {
    set.label = set.name;
  }
  if (set.size >= 0 && marker) {
    set.ElementsKnown = true;
    set.elements.reserve(std::min<std::size_t>(static_cast<std::size_t>(set.size), in_.Remaining()));
    std::string_view element;
    for (int e = 1; e <= set.size; ++e) {
      if (!in_.ReadLine(element)) {
        return false;
      }
      set.elements.push_back(Trim(element));
    }
  }
  info_.SetData.push_back(std::move(set));
  info_.NumSets = number;
  return true;
}

bool ModelInfoParser::ReadVarInfo() {
  constexpr const char* kTag = "[ReadVarInfo]";
  int count = 0;
  if (!in_.ReadInt(count) || count < 0) {
    return Fail(errorText_, "cannot read NKalVar", kTag);
  }
  if (count >= kVarCountLimit) {
    return Fail(errorText_, "Too many variables", kTag);
  }
  if (info_.Read(DataItem::Variables) || !info_.SVarData.empty()) {
    return Fail(errorText_, "pointer should be nil", std::string(" [SafeGetMem][AllocSVarData]") + kTag);
  }
  in_.NextLine();
  info_.VarIndex.Clear();
  // Every variable takes at least one line, so the text bounds what is worth reserving.
  info_.SVarData.reserve(std::min<std::size_t>(static_cast<std::size_t>(count), in_.Remaining() / 8 + 1));
  for (int i = 1; i <= count; ++i) {
    if (!ReadVarDetails(i)) {
      return AddTag(errorText_, kTag);
    }
    info_.NVar = i;
  }
  return true;
}

bool ModelInfoParser::ReadVarDetails(int number) {
  constexpr const char* kTag = "[ReadVarDetails]";
  if (in_.AtEof()) {
    return Fail(errorText_, "read error", kTag);
  }
  TVarRec var;
  in_.ReadField(kIgnoredColumns);
  var.name = Trim(in_.ReadField(kVarNameWidth));
  if (!in_.ReadInt(var.size) || !in_.ReadInt(var.numArgs)) {
    return Fail(errorText_, "read error", kTag);
  }
  const char dum1 = in_.ReadChar();
  var.ExoStat = in_.ReadChar();
  var.description = Trim(in_.RestOfLine());
  in_.NextLine();
  if (static_cast<unsigned char>(dum1) > ' ') {
    return Fail(errorText_, "Dum1 should be blank", kTag);
  }
  if (var.name.empty()) {
    return Fail(errorText_, "Variable name is blank", kTag);
  }
  var.UpperName = UpperCase(var.name);
  if (var.numArgs < 0 || var.numArgs > kMaxVarArgs) {
    return Fail(errorText_,
                "Variable " + var.name + " has " + std::to_string(var.numArgs) + " arguments; at most " +
                    std::to_string(kMaxVarArgs) + " are allowed",
                kTag);
  }
  if (var.numArgs > 0) {
    for (int a = 0; a < var.numArgs; ++a) {
      if (!in_.ReadInt(var.ArgSets[static_cast<std::size_t>(a)])) {
        return Fail(errorText_, "read error", kTag);
      }
    }
    in_.NextLine();
  }
  if (std::string_view("XNB?sox").find(var.ExoStat) == std::string_view::npos) {
    return Fail(errorText_,
                "For variable " + var.name + " ExoStat was \"" + std::string(1, var.ExoStat) +
                    "\"; should be X, N, B, ?, s, o or x. ",
                kTag);
  }
  if (options_.exoFlags && var.size >= 0 && var.ExoStat != '?' && var.numArgs <= 3 &&
      var.size < kExoFlagsSizeLimit) {
    const std::uint64_t bytes = static_cast<std::uint64_t>(var.size) + 1;
    if (!budget_.Take(bytes)) {
      return Fail(errorText_, "Out of Memory", std::string(" [SafeGetMem]") + kTag);
    }
    var.ExoFlags.assign(bytes, 0);
  }
  switch (var.ExoStat) {
  case 'X':
    var.NExog = var.size;
    if (!var.ExoFlags.empty()) {
      std::fill(var.ExoFlags.begin() + 1, var.ExoFlags.end(), std::uint8_t{1});
    }
    break;
  case 'N':
  case 'B':
    var.NExog = 0;
    break;
  case 'x':
    if (!ReadExogenousRanges(var)) {
      return AddTag(errorText_, kTag);
    }
    break;
  default:
    break;
  }
  for (int a = 0; a < var.numArgs; ++a) {
    if (!info_.SetDataPresent) {
      return Fail(errorText_, "SetData=nil", kTag);
    }
    const int setNumber = var.ArgSets[static_cast<std::size_t>(a)];
    if (setNumber < 1 || setNumber > info_.NumSets) {
      return Fail(errorText_, "SetPtr=nil", kTag);
    }
    const TSetRec& set = info_.Set(setNumber);
    if (a > 0) {
      var.ArgsText += '*';
    }
    var.ArgsText += set.name;
    if (set.size < 0) {
      var.size = -1;
    }
  }
  if (!info_.VarIndex.AddKeyToRBTree(var.name, number, options_.foldCase, errorText_)) {
    return AddTag(errorText_, kTag);
  }
  info_.SVarData.push_back(std::move(var));
  return true;
}

bool ModelInfoParser::ReadExogenousRanges(TVarRec& var) {
  if (!in_.ReadInt(var.NExog)) {
    return Fail(errorText_, "read error");
  }
  in_.NextLine();
  std::int64_t total = 0;
  std::string_view line;
  while (true) {
    if (!in_.ReadLine(line, kRangeLineLength)) {
      line = {};
    }
    const std::size_t half = line.size() / 2;
    int first = 0;
    int last = 0;
    if (!TextToInt(line.substr(0, half), first) || !TextToInt(line.substr(half), last)) {
      return Fail(errorText_, "2I read error");
    }
    if (first == 0) {
      break;
    }
    if (last < first) {
      return Fail(errorText_, "1st exog component > 2nd for var " + var.name);
    }
    // A range must lie inside the variable: the flags are indexed by it.
    if (var.size >= 0 && (first < 1 || last > var.size)) {
      return Fail(errorText_, "Exog components " + std::to_string(first) + " to " + std::to_string(last) +
                                  " outside 1.." + std::to_string(var.size) + " for var " + var.name);
    }
    if (!var.ExoFlags.empty()) {
      std::fill(var.ExoFlags.begin() + first, var.ExoFlags.begin() + last + 1, std::uint8_t{1});
    }
    total += std::int64_t{last} - first + 1;
  }
  if (total != var.NExog) {
    return Fail(errorText_, "NExog Miscount for var " + var.name);
  }
  return true;
}

bool ModelInfoParser::ReadCodes(bool vcTp) {
  const std::string section = vcTp ? "#VCTP" : "#VCSTAT";
  const std::string tag = vcTp ? "[ReadVCTP]" : "[ReadVCSTAT]";
  long long taken = 0;
  bool fullLine = true;
  std::string_view line;
  while (fullLine && taken < info_.NVar) {
    if (!in_.ReadLine(line, kCodeLineLength)) {
      return Fail(errorText_, "Unexpected end of file", tag);
    }
    for (const char read : line) {
      char code = read;
      if (vcTp) {
        code = code == 'n' ? 'c' : code;
        if (code != 'p' && code != 'c') {
          return Fail(errorText_, "Unexpected char \"" + std::string(1, read) + "\"in " + section + " data",
                      tag);
        }
      } else {
        code = LowerCase(std::string_view(&read, 1))[0];
        if (code != 'b' && code != 'c') {
          return Fail(errorText_, "Unexpected char \"" + std::string(1, read) + "\"in " + section + " data",
                      tag);
        }
      }
      if (taken < info_.NVar) {
        (vcTp ? info_.Var(static_cast<int>(taken + 1)).VcTp : info_.Var(static_cast<int>(taken + 1)).VcStat) =
            code;
      }
      ++taken;
    }
    fullLine = line.size() == kCodeLineLength;
  }
  if (taken != info_.NVar) {
    return Fail(errorText_,
                "Expected " + std::to_string(info_.NVar) + " chars in " + section + " data" + kCrLf +
                    "found only " + std::to_string(taken) + " chars",
                tag);
  }
  return true;
}

bool ModelInfoParser::ReadDescNLinesUnKnown() {
  constexpr const char* kTag = "[ReadDescNLinesUnKnown]";
  int count = 0;
  if (!in_.ReadInt(count)) {
    return Fail(errorText_, "cannot read NDescLine", kTag);
  }
  if (count < 0) {
    return Fail(errorText_, "NumToRead<0", kTag);
  }
  in_.NextLine();
  info_.DescLines.lines.clear();
  const int toRead = std::min(count, kMaxDescLines);
  info_.DescLines.lines.reserve(static_cast<std::size_t>(toRead));
  std::string_view line;
  for (int i = 0; i < toRead; ++i) {
    if (!in_.ReadLine(line)) {
      return Fail(errorText_, "Unexpected end of file", kTag);
    }
    info_.DescLines.lines.emplace_back(line);
  }
  return true;
}

bool ModelInfoParser::FindLine(std::string_view wanted) {
  std::string_view line;
  while (in_.ReadLine(line)) {
    if (line == wanted) {
      return true;
    }
  }
  return false;
}

bool ModelInfoParser::MatchCount(std::string_view heading, std::string_view countName, int expected) {
  if (!FindLine(heading)) {
    return Fail(errorText_, "Could not find \"" + std::string(heading) + "\" line");
  }
  int count = 0;
  if (!in_.ReadInt(count)) {
    return Fail(errorText_, "cannot read " + std::string(countName));
  }
  if (count != expected) {
    return Fail(errorText_, "SLI and MIN files do not match: different " + std::string(countName) + " " +
                                std::to_string(expected) + "<>" + std::to_string(count));
  }
  in_.NextLine();
  return true;
}

bool ModelInfoParser::AddMinInfoToSolInfo() {
  constexpr const char* kTag = "[AddMinInfoToSolInfo]";
  if (!MatchCount("#SETS", "NKalSet", info_.NumSets) || !MatchCount("#VARIABLES", "NKalVar", info_.NVar)) {
    return AddTag(errorText_, kTag);
  }
  if (!FindLine("#SUBSETS")) {
    return Fail(errorText_, "Could not find \"#SUBSETS\" line", kTag);
  }
  if (!ReadSubsetInfo()) {
    return AddTag(errorText_, kTag);
  }
  MarkRead(info_, DataItem::Subsets);
  return true;
}

bool ModelInfoParser::ReadSubsetInfo() {
  constexpr const char* kTag = "[ReadSubsetInfo]";
  info_.IsSubSet.emplace(info_.NumSets);
  int count = 0;
  if (!in_.ReadInt(count) || count < 0) {
    return Fail(errorText_, "cannot read number of subsets", kTag);
  }
  in_.NextLine();
  for (int k = 1; k <= count; ++k) {
    int sequence = 0;
    int smaller = 0;
    int larger = 0;
    if (!in_.ReadInt(sequence) || !in_.ReadInt(smaller) || !in_.ReadInt(larger)) {
      return Fail(errorText_, "cannot read subset data line", kTag);
    }
    in_.NextLine();
    // The pair must name two sets of the record: the relation is indexed by them.
    if (sequence != k || smaller < 1 || smaller > info_.NumSets || larger < 1 || larger > info_.NumSets) {
      return Fail(errorText_, "Could not interpret #SUBSETS line", kTag);
    }
    // A set is never listed as its own subset.
    if (smaller != larger) {
      info_.IsSubSet->Set(smaller, larger);
    }
  }
  if (!MakeTransitiveClosure(info_, errorText_)) {
    return AddTag(errorText_, kTag);
  }
  return true;
}

bool ReadWholeFile(TextFile& file, std::string& bytes, ErrorText& errorText) {
  std::error_code ignored;
  const std::uintmax_t size = std::filesystem::file_size(file.Name(), ignored);
  if (!ignored && size < (std::uintmax_t{1} << 40)) {
    bytes.reserve(static_cast<std::size_t>(size));
  }
  if (!file.ReadRest(bytes)) {
    return Fail(errorText, "read error from file " + file.Name());
  }
  return true;
}

} // namespace

bool GetModelInfoFromText(std::string_view text, DataItemSet request, SolInfoOptions options,
                          ErrorText& errorText, SolInfoRec& info) {
  try {
    ModelInfoParser parser(text, options, errorText, info);
    if (!parser.GetModelInfo(request)) {
      return AddTag(errorText, "[GetModelInfo]");
    }
  } catch (const std::bad_alloc&) {
    return Fail(errorText, "Out of Memory", "[GetModelInfo]");
  }
  return true;
}

bool GetModelInfo(TextFile& file, DataItemSet request, SolInfoOptions options, ErrorText& errorText,
                  SolInfoRec& info) {
  std::string bytes;
  try {
    if (!ReadWholeFile(file, bytes, errorText)) {
      return AddTag(errorText, "[GetModelInfo]");
    }
  } catch (const std::bad_alloc&) {
    return Fail(errorText, "Out of Memory", "[GetModelInfo]");
  }
  return GetModelInfoFromText(bytes, request, options, errorText, info);
}

bool AddSolInfo(const std::string& fileName, DataItemSet request, SolInfoOptions options,
                ErrorText& errorText, SolInfoRec& info) {
  const std::string tag = "[AddSolInfo:" + fileName + "]";
  TextFile file;
  if (!TxtOpen(file, fileName, errorText)) {
    return AddTag(errorText, tag);
  }
  if (!GetModelInfo(file, request, options, errorText, info)) {
    ErrorText ignored;
    TxtClose(file, ignored);
    return AddTag(errorText, tag);
  }
  if (!TxtClose(file, errorText)) {
    return AddTag(errorText, tag);
  }
  return true;
}

bool RequestSolInfo(const std::string& fileName, DataItemSet request, SolInfoOptions options,
                    ErrorText& errorText, SolInfoRec& info) {
  if (!FreeSolInfo(info, errorText) || !AddSolInfo(fileName, request, options, errorText, info)) {
    return AddTag(errorText, "[RequestSolInfo:" + fileName + "]");
  }
  return true;
}

bool ReadModelInfo(const std::string& fileName, ErrorText& errorText, SolInfoRec& info) {
  SolInfoOptions options;
  options.foldCase = true;
  options.exoFlags = true;
  return RequestSolInfo(fileName, StandardRequest(), options, errorText, info);
}

bool AddMinInfoFromText(std::string_view text, SolInfoRec& info, ErrorText& errorText) {
  try {
    ModelInfoParser parser(text, SolInfoOptions{}, errorText, info);
    return parser.AddMinInfoToSolInfo();
  } catch (const std::bad_alloc&) {
    return Fail(errorText, "Out of Memory", "[AllocIsSubset][AddMinInfoToSolInfo]");
  }
}

bool AddMinInfoToSolInfo(const std::string& fileName, SolInfoRec& info, ErrorText& errorText) {
  constexpr const char* kTag = "[AddMinInfoToSolInfo]";
  TextFile file;
  if (!TxtOpen(file, fileName, errorText)) {
    return AddTag(errorText, kTag);
  }
  std::string bytes;
  try {
    if (!ReadWholeFile(file, bytes, errorText)) {
      ErrorText ignored;
      TxtClose(file, ignored);
      return AddTag(errorText, kTag);
    }
  } catch (const std::bad_alloc&) {
    return Fail(errorText, "Out of Memory", kTag);
  }
  if (!TxtClose(file, errorText)) {
    return AddTag(errorText, kTag);
  }
  return AddMinInfoFromText(bytes, info, errorText);
}

bool FreeSolInfo(SolInfoRec& info, ErrorText& errorText) {
  info = SolInfoRec{};
  return true;
}

int FindVariable(const SolInfoRec& info, std::string_view name) {
  return info.VarIndex.Find(LowerCase(name));
}

bool MakeTransitiveClosure(SolInfoRec& info, ErrorText& errorText) {
  if (!info.IsSubSet) {
    return Fail(errorText, "IsSubSet=nil", " [MakeTransitiveClosure]");
  }
  info.IsSubSet->CloseTransitively();
  return true;
}

std::string ArgumentText(int varNumber, const SolInfoRec& info) {
  if (varNumber < 1 || varNumber > static_cast<int>(info.SVarData.size())) {
    return {};
  }
  const TVarRec& var = info.Var(varNumber);
  std::string text;
  for (int a = 0; a < var.numArgs; ++a) {
    const int setNumber = var.ArgSets[static_cast<std::size_t>(a)];
    if (a > 0) {
      text += '*';
    }
    if (setNumber >= 1 && setNumber <= static_cast<int>(info.SetData.size())) {
      text += info.Set(setNumber).name;
    }
  }
  return text;
}

} // namespace pelorin
