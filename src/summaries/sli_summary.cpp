#include "summaries/sli_summary.h"

#include "platform/strings.h"
#include "platform/text_file.h"
#include "summaries/line_source.h"

#include <algorithm>

namespace pelorin {

namespace {

bool IsYesOrNo(char c) {
  return c == 'y' || c == 'n' || c == 'Y' || c == 'N';
}

// Skips lines until one equals `heading` exactly; false at the end of the lines.
bool FindHeading(LineSource& source, std::string_view heading) {
  std::string line;
  while (source.ReadLine(line)) {
    if (line == heading) {
      return true;
    }
  }
  return false;
}

bool ReadAvail(LineSource& source, SLISummary& summary, ErrorText& errorText) {
  std::string value;
  if (!source.ReadLine(value)) {
    return Fail(errorText, "#AVAIL read error");
  }
  char c[5];
  for (std::size_t i = 0; i < 5; ++i) {
    c[i] = i < value.size() ? value[i] : ' ';
  }
  std::size_t pos = std::min<std::size_t>(5, value.size());
  int count = 0;
  if (!ReadIntegers(source, value, pos, 1, &count)) {
    return Fail(errorText, "#AVAIL read error");
  }
  if (c[1] != '?' && c[3] != '?') {
    if (!IsYesOrNo(c[2])) {
      return Fail(errorText, "IndivRetainedOnSL4<>\"n\" or \"y\"");
    }
    if (!IsYesOrNo(c[4])) {
      return Fail(errorText, "LevsPresentOnSL4<>\"y\" or \"n\"");
    }
  }
  summary.cumulative = c[0];
  summary.indivRetained = c[2];
  summary.levelsPresent = c[4];
  summary.numSubtotals = count;
  return true;
}

bool ReadNsol(LineSource& source, SLISummary& summary, ErrorText& errorText) {
  std::string value;
  std::size_t pos = 0;
  std::array<int, 4> values{-1, -1, -1, -1};
  if (!ReadIntegers(source, value, pos, summary.stampPresent ? 4 : 3, values.data())) {
    return Fail(errorText, "#NSOL read error");
  }
  if (values[0] != 1) {
    return Fail(errorText, "NCumSOL<>1");
  }
  if (values[2] != 0) {
    return Fail(errorText, "NIndivRetained<>0");
  }
  summary.nsol = values;
  return true;
}

} // namespace

bool ReadSLISummary(LineSource& source, int stampLength, SLISummary& summary, ErrorText& errorText) {
  std::string line;
  while (source.ReadLine(line)) {
    if (line.empty() || line[0] != '#') {
      continue;
    }
    if (line == "#TMDATE") {
      std::string value;
      source.ReadLine(value);
      summary.stamp =
          TrimRight(std::string_view(value).substr(0, static_cast<std::size_t>(std::max(stampLength, 0))));
      summary.stampPresent = true;
      ++summary.sectionsRead;
    } else if (line == "#AVAIL") {
      if (!ReadAvail(source, summary, errorText)) {
        return AddTag(errorText, "[ReadSLISummary]");
      }
      ++summary.sectionsRead;
    } else if (line == "#NSOL") {
      if (!ReadNsol(source, summary, errorText)) {
        return AddTag(errorText, "[ReadSLISummary]");
      }
      ++summary.sectionsRead;
    } else if (line.size() > 4 && line.compare(0, 4, "#LEV") == 0) {
      summary.levelsChar = line[4];
    }
  }
  if (source.HadError()) {
    return Fail(errorText, "read error from file " + source.Name(), "[ReadSLISummary]");
  }
  return true;
}

bool ReadSLISummary(TextFile& file, int stampLength, SLISummary& summary, ErrorText& errorText) {
  LineSource source(file);
  return ReadSLISummary(source, stampLength, summary, errorText);
}

bool GetSLISummary(const std::string& fileName, int stampLength, SLISummary& summary, ErrorText& errorText) {
  summary = SLISummary{};
  TextFile file;
  if (!TxtOpen(file, fileName, errorText)) {
    return AddTag(errorText, "[GetSLISummary]");
  }
  const bool read = ReadSLISummary(file, stampLength, summary, errorText);
  ErrorText closeError;
  if (!TxtClose(file, closeError) && read) {
    errorText += closeError;
    return AddTag(errorText, "[GetSLISummary]");
  }
  return read || AddTag(errorText, "[GetSLISummary]");
}

bool ReadNumSubTotals(LineSource& source, int& numSubTotals, std::vector<std::string>& descriptions,
                      ErrorText& errorText) {
  numSubTotals = -1;
  descriptions.clear();
  if (!FindHeading(source, "#NSOL")) {
    return true;
  }
  // Only the line after the heading counts here; its second integer is the number of subtotals made.
  std::string values;
  source.ReadLine(values);
  LineSource valueLine(values);
  std::string line;
  std::size_t pos = 0;
  int counts[2] = {0, 0};
  if (!ReadIntegers(valueLine, line, pos, 2, counts)) {
    return Fail(errorText, "#NSOL " + values + " Error", "[GetNumSubTotals]");
  }
  numSubTotals = counts[1];
  if (numSubTotals <= 0) {
    return true;
  }
  if (!FindHeading(source, "#SBTDESC")) {
    return Fail(errorText, "Could not find \"#SBTDESC\" line", "[GetNumSubTotals]");
  }
  line.clear();
  pos = 0;
  int count = 0;
  if (!ReadIntegers(source, line, pos, 1, &count)) {
    return Fail(errorText, "cannot read NDescLine", "[GetNumSubTotals]");
  }
  if (count < 0) {
    return Fail(errorText, "NumToRead<0", "[GetNumSubTotals]");
  }
  // The count comes from the file, so the lines are collected as they come rather than reserved.
  for (int i = 0; i < count; ++i) {
    if (!source.ReadLine(line)) {
      return Fail(errorText, "Unexpected end of file", "[GetNumSubTotals]");
    }
    descriptions.push_back(line);
  }
  if (count != numSubTotals) {
    return Fail(errorText, "NumSubTotals mismatch", "[GetNumSubTotals]");
  }
  return true;
}

bool GetNumSubTotals(const std::string& fileName, int& numSubTotals, std::vector<std::string>& descriptions,
                     ErrorText& errorText) {
  numSubTotals = -1;
  descriptions.clear();
  TextFile file;
  if (!TxtOpen(file, fileName, errorText)) {
    return AddTag(errorText, "[GetNumSubTotals]");
  }
  LineSource source(file);
  bool read = ReadNumSubTotals(source, numSubTotals, descriptions, errorText);
  if (read && source.HadError()) {
    read = Fail(errorText, "read error from file " + fileName, "[GetNumSubTotals]");
  }
  ErrorText closeError;
  if (!TxtClose(file, closeError) && read) {
    errorText += closeError;
    return AddTag(errorText, "[GetNumSubTotals]");
  }
  return read;
}

std::string LevelsSolFileSuffix(int levelsSolution) {
  if (levelsSolution >= 2 && levelsSolution <= 4) {
    return ".SO" + std::to_string(levelsSolution);
  }
  return ".???";
}

std::string SubtotalSolFileSuffix(int subtotal) {
  if (subtotal >= 1 && subtotal <= 9) {
    return ".SU" + std::to_string(subtotal);
  }
  if (subtotal >= 10 && subtotal <= 99) {
    return ".S" + std::to_string(subtotal);
  }
  if (subtotal >= 100 && subtotal <= 999) {
    return "." + std::to_string(subtotal);
  }
  return ".???";
}

} // namespace pelorin
