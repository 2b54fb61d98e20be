#include "summaries/acc_summary.h"

#include "platform/text_file.h"
#include "summaries/line_source.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <string_view>

namespace pelorin {

namespace {

constexpr std::string_view kAccuratePhrase = "results are judged accurate to";
constexpr std::string_view kFigures = "figures";
constexpr std::string_view kLevelsBlock = "Below are for levels values";
constexpr std::string_view kOverallLevelsBlock = "Below are for overall levels values";
constexpr std::string_view kRedoneStart = "Accuracy for subinterval ";
constexpr std::string_view kRedoneEnd = "not sufficient - accuracy was ";
constexpr std::string_view kOverallMark = "ACCURACY SUMMARY FOR OVERALL RESULTS";
constexpr std::string_view kAllDataMark = "NEXT SUMMARY IS FOR ALL UPDATED DATA";
constexpr std::string_view kOneFileDataMark = "NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE ";

// The highest rounded average (figures x 10) of grades 0..9; anything above the last is grade 10.
constexpr std::array<int, 10> kGradeTops{8, 16, 24, 32, 39, 45, 50, 54, 57, 59};

bool Contains(std::string_view line, std::string_view part) {
  return line.find(part) != std::string_view::npos;
}

// Reads a decimal integer from text with every blank taken out.
bool ReadBlankFreeInteger(std::string_view text, int& value) {
  std::string digits;
  for (char c : text) {
    if (c != ' ' && c != '\t') {
      digits.push_back(c);
    }
  }
  const char* first = digits.data();
  const char* last = first + digits.size();
  if (first != last && *first == '+') {
    ++first;
  }
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last && first != last;
}

bool BadLine(const std::string& line, ErrorText& errorText) {
  constexpr std::size_t kShown = 100;
  return Fail(errorText, "Could not interpret accuracy line: " + line.substr(0, kShown), "[GetPlacesSumry]");
}

int WorstOf(const AccSummaryRec& record, bool data) {
  float lowest = 1000;
  int worst = 0;
  for (int i = 1; i <= record.numSubintervals; ++i) {
    if (record.overallFound && i == record.overallLevelsPos) {
      continue;
    }
    const AccHistogram& histogram = data ? record.sub[i].data : record.sub[i].levels;
    if (histogram.average10 < lowest) {
      lowest = histogram.average10;
      worst = i;
    }
  }
  return worst;
}

} // namespace

int AccuracyGrade(float average10) {
  const long rounded = std::lround(average10);
  return static_cast<int>(
      std::count_if(kGradeTops.begin(), kGradeTops.end(), [&](int top) { return rounded > top; }));
}

bool GetPlacesSumry(LineSource& log, AccHistogram& histogram, ErrorText& errorText) {
  std::string line;
  do {
    if (!log.ReadLine(line)) {
      return Fail(errorText, "Unexpected end-of-file", "[GetPlacesSumry]");
    }
  } while (!Contains(line, kAccuratePhrase));
  histogram.counts.fill(0);
  std::size_t at = line.find(kAccuratePhrase);
  while (at != std::string::npos) {
    const std::string_view after = std::string_view(line).substr(at + kAccuratePhrase.size());
    const std::size_t figuresAt = after.find(kFigures);
    int count = 0;
    int figures = 0;
    // "figures" must leave room before it for at least a blank and a digit.
    if (figuresAt == std::string_view::npos || figuresAt < 2 ||
        !ReadBlankFreeInteger(std::string_view(line).substr(0, at), count) ||
        !ReadBlankFreeInteger(after.substr(0, figuresAt), figures) || count < 0 || figures < 0 ||
        figures > 6) {
      return BadLine(line, errorText);
    }
    histogram.counts[static_cast<std::size_t>(figures)] = count;
    if (!log.ReadLine(line)) {
      return Fail(errorText, "Unexpected end-of-file", "[GetPlacesSumry]");
    }
    at = line.find(kAccuratePhrase);
  }
  double weighted = 0;
  double total = 0;
  for (std::size_t f = 0; f < histogram.counts.size(); ++f) {
    weighted += static_cast<double>(f) * histogram.counts[f];
    total += histogram.counts[f];
  }
  const double average = total > 0 ? weighted / total : 0.0;
  histogram.average10 = static_cast<float>(average * 10.0);
  histogram.grade = AccuracyGrade(histogram.average10);
  return true;
}

bool ReadAccSummary(LineSource& log, int numUpdated, int expected, bool overallOnly, bool exactlyOne,
                    AccSummaryRec& record, ErrorText& errorText) {
  record = AccSummaryRec{};
  // A subinterval redone before any was counted must not take the count below its start (and so outside the
  // record).
  const int lowestCount = std::max(expected - 1, 0);
  int count = lowestCount;
  bool overallSeen = false;
  bool overallHasData = false;
  int overallPos = -1;
  std::string line;
  while (!overallSeen) {
    bool isOverall = false;
    bool blockFound = false;
    while (log.ReadLine(line)) {
      if (Contains(line, kRedoneStart) && Contains(line, kRedoneEnd)) {
        count = std::max(count - 1, lowestCount);
      }
      if (Contains(line, kOverallMark)) {
        isOverall = true;
      }
      if (Contains(line, kLevelsBlock) || Contains(line, kOverallLevelsBlock)) {
        blockFound = true;
        break;
      }
    }
    if (!blockFound) {
      break;
    }
    const bool taken = !overallOnly || isOverall;
    if (taken) {
      if (++count > kMaxAccSubintervals) {
        return Fail(errorText, "Too many subintervals for accuracy summary", "[GetAccSummary2]");
      }
      AccHistogram& levels = record.sub[count].levels;
      if (!GetPlacesSumry(log, levels, errorText)) {
        return AddTag(errorText, "[GetAccSummary2]");
      }
      levels.present = true;
      record.numSubintervals = count;
    }
    if (isOverall) {
      overallSeen = true;
      overallPos = count;
    }
    if (taken && numUpdated > 0) {
      const std::string_view mark = numUpdated > 1 ? kAllDataMark : kOneFileDataMark;
      bool markFound = false;
      while (log.ReadLine(line)) {
        if (Contains(line, mark)) {
          markFound = true;
          break;
        }
      }
      if (!markFound) {
        if (overallSeen) {
          break;
        }
        return Fail(errorText, "Cannot find data accuracy summary", "[GetAccSummary2]");
      }
      AccHistogram& data = record.sub[count].data;
      if (!GetPlacesSumry(log, data, errorText)) {
        return AddTag(errorText, "[GetAccSummary2]");
      }
      data.present = true;
      overallHasData = isOverall;
    }
  }
  if (log.HadError()) {
    return Fail(errorText, "read error from file " + log.Name(), "[GetAccSummary2]");
  }
  record.numSubintervals = count;
  if (exactlyOne && count != expected) {
    return Fail(errorText, "Expected just one subinterval, but found more", "[GetAccSummary2]");
  }
  if (overallSeen) {
    if (overallPos != count) {
      return Fail(errorText, "prog error A", "[GetAccSummary2]");
    }
    record.overallFound = true;
    record.overallLevelsPos = count;
    record.overallDataPos = overallHasData ? count : -1;
  } else if (record.overallLevelsPos != -1) {
    return Fail(errorText, "prog error B", "[GetAccSummary2]");
  }
  record.worstLevels = WorstOf(record, false);
  record.worstData = WorstOf(record, true);
  return true;
}

bool GetAccSummary2(const std::string& logFile, int numUpdated, int expected, bool overallOnly,
                    bool exactlyOne, AccSummaryRec& record, ErrorText& errorText) {
  std::error_code error;
  if (logFile.empty() || !std::filesystem::exists(logFile, error)) {
    return Fail(errorText, "File \"" + logFile + "\" not found", "[GetAccSummary2]");
  }
  TextFile file;
  if (!TxtOpen(file, logFile, errorText)) {
    return AddTag(errorText, "[GetAccSummary2]");
  }
  LineSource source(file);
  const bool read = ReadAccSummary(source, numUpdated, expected, overallOnly, exactlyOne, record, errorText);
  ErrorText closeError;
  if (!TxtClose(file, closeError) && read) {
    errorText += closeError;
    return AddTag(errorText, "[GetAccSummary2]");
  }
  return read;
}

bool GetAccSummary(const std::string& logFile, int numUpdated, AccSummaryRec& record, ErrorText& errorText) {
  if (!GetAccSummary2(logFile, numUpdated, 1, false, false, record, errorText)) {
    return AddTag(errorText, "[GetAccSummary]");
  }
  return true;
}

} // namespace pelorin
