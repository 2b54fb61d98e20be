#include "modelinfo/model_info_writer.h"

#include "platform/text_file.h"

#include <algorithm>
#include <new>

namespace pelorin {

namespace {

constexpr std::size_t kMaxLine = 255;
constexpr std::size_t kCodesPerLine = 40;
constexpr const char* kTag = "[ModelInfoText]";

std::string PadRight(std::string_view text, std::size_t width) {
  std::string padded(text);
  if (padded.size() < width) {
    padded.append(width - padded.size(), ' ');
  }
  return padded;
}

std::string PadLeft(long long value, std::size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) {
    text.insert(0, width - text.size(), ' ');
  }
  return text;
}

std::string TrimTrailingBlanks(std::string line) {
  while (!line.empty() && line.back() == ' ') {
    line.pop_back();
  }
  return line;
}

// Checks the descriptions while the text is built; the first refusal is kept.
class Builder {
public:
  Builder(std::string& text, ErrorText& errorText) : text_(text), errorText_(errorText) {}

  bool ok() const { return ok_; }

  bool Refuse(const std::string& message) {
    if (ok_) {
      Fail(errorText_, message, kTag);
      ok_ = false;
    }
    return false;
  }

  void Line(std::string_view line) {
    text_.append(line);
    text_.push_back('\n');
  }

  // A line of free text the readers take whole: one line of at most 255 characters that the section loops
  // cannot take for a heading.
  void FreeLine(std::string_view line, std::string_view what) {
    if (!CheckText(line, kMaxLine, what)) {
      return;
    }
    if (!line.empty() && line[0] == '#') {
      Refuse(std::string(what) + " starts with \"#\": " + std::string(line));
      return;
    }
    Line(line);
  }

  bool CheckText(std::string_view text, std::size_t maxLength, std::string_view what) {
    if (text.find_first_of("\r\n") != std::string_view::npos) {
      return Refuse(std::string(what) + " holds a line break");
    }
    if (text.size() > maxLength) {
      return Refuse(std::string(what) + " is longer than " + std::to_string(maxLength) + " characters");
    }
    return true;
  }

  bool CheckName(std::string_view name, std::size_t maxLength, std::string_view what) {
    if (name.empty() || name.front() == ' ' || name.back() == ' ') {
      return Refuse(std::string(what) + " name \"" + std::string(name) + "\" is blank or not trimmed");
    }
    return CheckText(name, maxLength, std::string(what) + " name " + std::string(name));
  }

private:
  std::string& text_;
  ErrorText& errorText_;
  bool ok_ = true;
};

void WriteFileSection(const ModelInfoDescription& d, Builder& out) {
  out.Line(DataItemHeading(DataItem::Files));
  out.Line("Logical name          Dir    U  Typ  Fixed file name");
  for (const TFileRec& file : d.files) {
    if (!out.CheckName(file.logicalName, 20, "Logical file") ||
        !out.CheckText(file.direction, 3, "Direction of " + file.logicalName) ||
        !out.CheckText(file.fileType, 3, "File type of " + file.logicalName) ||
        !out.CheckText(file.rest, kMaxLine - 37, "Fixed name of " + file.logicalName)) {
      return;
    }
    if (file.logicalName[0] == '#') {
      out.Refuse("Logical file name starts with \"#\": " + file.logicalName);
      return;
    }
    out.Line(TrimTrailingBlanks(PadRight(file.logicalName, 20) + "  " + PadRight(file.direction, 3) + "    " +
                                (file.updated ? "y" : "n") + "  " + PadRight(file.fileType, 3) + "  " +
                                file.rest));
    if (file.logicalName[0] != '(') {
      out.FreeLine(file.description, "Description of " + file.logicalName);
    } else if (!file.description.empty()) {
      out.Refuse("Pseudo-file " + file.logicalName + " cannot carry a description line");
    }
  }
}

void WriteValue(DataItem item, const std::optional<std::string>& value, Builder& out) {
  if (value) {
    out.Line(DataItemHeading(item));
    out.FreeLine(*value, DataItemHeading(item));
  }
}

void WriteSets(const ModelInfoDescription& d, Builder& out) {
  if (d.sets.size() > static_cast<std::size_t>(kMaxSets)) {
    out.Refuse("Too many sets - max is " + std::to_string(kMaxSets));
    return;
  }
  out.Line(DataItemHeading(DataItem::Sets));
  out.Line(std::to_string(d.sets.size()));
  int number = 0;
  for (const SetDescription& set : d.sets) {
    ++number;
    if (!out.CheckName(set.name, 12, "Set") ||
        !out.CheckText(set.label, kMaxLine - 1, "Label of " + set.name)) {
      return;
    }
    const bool listed = !set.elements.empty();
    if (listed && set.elements.size() != static_cast<std::size_t>(std::max(set.size, 0))) {
      out.Refuse("Set " + set.name + " has size " + std::to_string(set.size) + " but " +
                 std::to_string(set.elements.size()) + " elements");
      return;
    }
    out.Line(TrimTrailingBlanks(PadLeft(number, 6) + PadRight(set.name, 12) + PadLeft(set.size, 8) + "  " +
                                (listed ? "k" : " ") + " " + set.label));
    for (const std::string& element : set.elements) {
      if (!out.CheckName(element, kMaxLine, "Element")) {
        return;
      }
      out.FreeLine(element, "Element of " + set.name);
    }
  }
}

bool CheckVariable(const ModelInfoDescription& d, const VariableDescription& var, Builder& out) {
  if (!out.CheckName(var.name, 15, "Variable") ||
      !out.CheckText(var.description, kMaxLine - 1, "Description of " + var.name)) {
    return false;
  }
  if (var.argSets.size() > static_cast<std::size_t>(kMaxVarArgs)) {
    return out.Refuse("Variable " + var.name + " has more than 7 arguments");
  }
  bool unknownArgument = false;
  for (int setNumber : var.argSets) {
    if (setNumber < 1 || setNumber > static_cast<int>(d.sets.size())) {
      return out.Refuse("Variable " + var.name + " has argument set number " + std::to_string(setNumber));
    }
    unknownArgument = unknownArgument || d.sets[static_cast<std::size_t>(setNumber - 1)].size < 0;
  }
  if (unknownArgument && var.size != -1) {
    return out.Refuse("Variable " + var.name + " ranges over a set of unknown size; its size must be -1");
  }
  if (std::string_view("XNB?sox").find(var.exoStat) == std::string_view::npos || var.exoStat == '\0') {
    return out.Refuse("Variable " + var.name + " has closure status \"" + std::string(1, var.exoStat) + "\"");
  }
  if (var.vcTp != 'p' && var.vcTp != 'c') {
    return out.Refuse("Variable " + var.name + " has change type \"" + std::string(1, var.vcTp) + "\"");
  }
  if (var.vcStat != 'b' && var.vcStat != 'c') {
    return out.Refuse("Variable " + var.name + " has code \"" + std::string(1, var.vcStat) + "\"");
  }
  if (var.exoStat != 'x' && !var.exogenousRanges.empty()) {
    return out.Refuse("Variable " + var.name + " has exogenous ranges but closure status " +
                      std::string(1, var.exoStat));
  }
  int previousLast = 0;
  for (const auto& [first, last] : var.exogenousRanges) {
    if (first <= previousLast || last < first || (var.size >= 0 && last > var.size)) {
      return out.Refuse("Variable " + var.name + " has exogenous range " + std::to_string(first) + " to " +
                        std::to_string(last));
    }
    previousLast = last;
  }
  return true;
}

void WriteVariables(const ModelInfoDescription& d, Builder& out) {
  out.Line(DataItemHeading(DataItem::Variables));
  out.Line(std::to_string(d.variables.size()));
  long long number = 0;
  for (const VariableDescription& var : d.variables) {
    ++number;
    if (!CheckVariable(d, var, out)) {
      return;
    }
    out.Line(TrimTrailingBlanks(PadLeft(number, 6) + PadRight(var.name, 15) + PadLeft(var.size, 11) +
                                PadLeft(static_cast<long long>(var.argSets.size()), 3) + " " +
                                std::string(1, var.exoStat) + " " + var.description));
    if (!var.argSets.empty()) {
      std::string line;
      for (int setNumber : var.argSets) {
        line += PadLeft(setNumber, 5);
      }
      out.Line(line);
    }
    if (var.exoStat == 'x') {
      long long total = 0;
      for (const auto& [first, last] : var.exogenousRanges) {
        total += static_cast<long long>(last) - first + 1;
      }
      out.Line(PadLeft(total, 10));
      for (const auto& [first, last] : var.exogenousRanges) {
        out.Line(PadLeft(first, 10) + PadLeft(last, 10));
      }
      out.Line(PadLeft(0, 10) + PadLeft(0, 10));
    }
  }
}

void WriteCodes(DataItem item, const ModelInfoDescription& d, Builder& out) {
  out.Line(DataItemHeading(item));
  std::string codes;
  codes.reserve(d.variables.size());
  for (const VariableDescription& var : d.variables) {
    codes.push_back(item == DataItem::VcTp ? var.vcTp : var.vcStat);
  }
  // Lines of 40 codes; a shorter line, or the last code, ends the section.
  for (std::size_t start = 0; start < codes.size(); start += kCodesPerLine) {
    out.Line(std::string_view(codes).substr(start, kCodesPerLine));
  }
}

void WriteSubsets(const ModelInfoDescription& d, Builder& out) {
  out.Line(DataItemHeading(DataItem::Subsets));
  out.Line(std::to_string(d.subsets.size()));
  long long number = 0;
  const int numSets = static_cast<int>(d.sets.size());
  for (const auto& [smaller, larger] : d.subsets) {
    ++number;
    if (smaller < 1 || smaller > numSets || larger < 1 || larger > numSets || smaller == larger) {
      out.Refuse("Subset pair " + std::to_string(number) + " (" + std::to_string(smaller) + ", " +
                 std::to_string(larger) + ") does not name two sets");
      return;
    }
    out.Line(PadLeft(number, 6) + PadLeft(smaller, 6) + PadLeft(larger, 6));
  }
}

void WriteDescription(const ModelInfoDescription& d, Builder& out) {
  out.Line(DataItemHeading(DataItem::VbDsc));
  out.Line(std::to_string(d.descriptionLines.size()));
  for (const std::string& line : d.descriptionLines) {
    out.FreeLine(line, "Description line");
  }
}

void WriteSummary(const ModelInfoDescription& d, const SolutionSummaryDescription& s, Builder& out) {
  for (char c : {s.cumulative, s.indivRetained, s.levelsPresent, s.levelsIndicator}) {
    if (static_cast<unsigned char>(c) <= ' ') {
      out.Refuse("Summary character is blank");
      return;
    }
  }
  out.Line(DataItemHeading(DataItem::Avail));
  out.Line(std::string(1, s.cumulative) + " " + s.indivRetained + " " + s.levelsPresent + " " +
           std::to_string(s.numSubtotals));
  out.Line(std::string("#LEV") + s.levelsIndicator);
  out.Line(DataItemHeading(DataItem::NSol));
  std::string counts = std::to_string(s.numCumulative) + " " + std::to_string(s.subtotalsMade) + " " +
                       std::to_string(s.indivColumns);
  // The fourth value belongs to files that carry a stamp.
  if (d.tmDate) {
    counts += " " + std::to_string(s.levelsSolutions);
  }
  out.Line(counts);
  out.Line("#SBTDESC");
  out.Line(std::to_string(s.subtotalDescriptions.size()));
  for (const std::string& line : s.subtotalDescriptions) {
    out.FreeLine(line, "Subtotal description");
  }
}

} // namespace

bool ModelInfoText(const ModelInfoDescription& description, std::string& text, ErrorText& errorText) {
  try {
    text.clear();
    Builder out(text, errorText);
    if (description.hasFileSection) {
      WriteFileSection(description, out);
    }
    WriteValue(DataItem::MrkFile, description.mrkFile, out);
    WriteValue(DataItem::StiFile, description.stiFile, out);
    WriteValue(DataItem::TmDate, description.tmDate, out);
    WriteSets(description, out);
    WriteVariables(description, out);
    WriteCodes(DataItem::VcTp, description, out);
    WriteCodes(DataItem::VcStat, description, out);
    WriteSubsets(description, out);
    WriteDescription(description, out);
    if (description.kvVer) {
      out.Line(DataItemHeading(DataItem::KvVer));
      out.Line(std::to_string(*description.kvVer));
    }
    if (description.prVer) {
      out.Line(DataItemHeading(DataItem::PrVer));
      out.Line(std::to_string(*description.prVer));
    }
    if (description.summary) {
      WriteSummary(description, *description.summary, out);
    }
    if (!out.ok()) {
      text.clear();
      return false;
    }
  } catch (const std::bad_alloc&) {
    text.clear();
    return Fail(errorText, "Out of Memory", kTag);
  }
  return true;
}

bool WriteModelInfo(const std::string& fileName, const ModelInfoDescription& description,
                    ErrorText& errorText) {
  constexpr const char* kWriteTag = "[WriteModelInfo]";
  std::string text;
  if (!ModelInfoText(description, text, errorText)) {
    return AddTag(errorText, kWriteTag);
  }
  TextFile file;
  if (!TxtCreate(file, fileName, errorText)) {
    return AddTag(errorText, kWriteTag);
  }
  if (!file.Write(text)) {
    ErrorText ignored;
    TxtClose(file, ignored);
    return Fail(errorText, "write error", kWriteTag);
  }
  if (!TxtClose(file, errorText)) {
    return AddTag(errorText, kWriteTag);
  }
  return true;
}

ModelInfoDescription DescribeSolInfo(const SolInfoRec& info) {
  ModelInfoDescription d;
  d.hasFileSection = info.Read(DataItem::Files);
  d.files = info.FileData;
  if (info.Read(DataItem::MrkFile)) {
    d.mrkFile = info.MrkFile;
  }
  if (info.Read(DataItem::StiFile)) {
    d.stiFile = info.StiFile;
  }
  if (info.Read(DataItem::TmDate)) {
    d.tmDate = info.TmDate;
  }
  for (const TSetRec& set : info.SetData) {
    d.sets.push_back(SetDescription{set.name, set.label, set.size,
                                    set.ElementsKnown ? set.elements : std::vector<std::string>{}});
  }
  for (const TVarRec& var : info.SVarData) {
    VariableDescription out;
    out.name = var.name;
    out.size = var.size;
    out.argSets.assign(var.ArgSets.begin(), var.ArgSets.begin() + std::clamp(var.numArgs, 0, kMaxVarArgs));
    out.exoStat = var.ExoStat;
    if (var.ExoStat == 'x') {
      // Maximal runs of set flags.
      const int size = static_cast<int>(var.ExoFlags.size()) - 1;
      for (int i = 1; i <= size; ++i) {
        if (var.ExoFlags[static_cast<std::size_t>(i)] == 0) {
          continue;
        }
        int last = i;
        while (last < size && var.ExoFlags[static_cast<std::size_t>(last + 1)] != 0) {
          ++last;
        }
        out.exogenousRanges.emplace_back(i, last);
        i = last;
      }
    }
    out.vcTp = var.VcTp == ' ' ? 'c' : var.VcTp;
    out.vcStat = var.VcStat == ' ' ? 'b' : var.VcStat;
    out.description = var.description;
    d.variables.push_back(std::move(out));
  }
  if (info.IsSubSet) {
    const int dim = info.IsSubSet->Dim();
    for (int i = 1; i <= dim; ++i) {
      for (int j = 1; j <= dim; ++j) {
        if (i != j && info.IsSubSet->Get(i, j)) {
          d.subsets.emplace_back(i, j);
        }
      }
    }
  }
  d.descriptionLines = info.DescLines.lines;
  if (info.Read(DataItem::KvVer)) {
    d.kvVer = info.KvVer;
  }
  if (info.Read(DataItem::PrVer)) {
    d.prVer = info.PrVer;
  }
  return d;
}

} // namespace pelorin
