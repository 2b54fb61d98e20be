#include "results/chart_table.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <unistd.h>

namespace pelorin {

namespace {

constexpr const char* kTag = "[ReadChartTable]";

// Splits one line into its cells (views into the text).
void SplitCells(std::string_view line, std::vector<std::string_view>& cells) {
  cells.clear();
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      cells.push_back(line.substr(start));
      return;
    }
    cells.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\r')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// A number as the tables write it: optional sign, digits with at most one decimal separator ("." or ","),
// an optional exponent. Words such as "nan" or "inf" are no numbers here.
bool ParseNumber(std::string_view text, double& value) {
  std::string plain;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    if (text[i] == '-') {
      plain += '-';
    }
    ++i;
  }
  bool digits = false;
  bool separator = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      plain += c;
    } else if ((c == '.' || c == ',') && !separator) {
      separator = true;
      plain += '.';
    } else {
      break;
    }
  }
  if (!digits) {
    return false;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
      plain += text[i++];
    }
    const std::size_t exponentStart = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      plain += text[i];
    }
    if (i == exponentStart) {
      return false;
    }
  }
  if (i != text.size()) {
    return false;
  }
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  return error == std::errc() && end == plain.data() + plain.size() && std::isfinite(value);
}

std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 40;
  return "\"" + std::string(text.substr(0, kShown)) + (text.size() > kShown ? "...\"" : "\"");
}

} // namespace

bool ReadChartTable(std::string_view text, ChartTable& table, ErrorText& errorText) {
  table = ChartTable{};
  while (!text.empty() && text.back() == '\0') {
    text.remove_suffix(1);
  }
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::size_t stop = end == std::string_view::npos ? text.size() : end;
    std::string_view line = text.substr(start, stop - start);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    lines.push_back(line);
    start = stop + 1;
  }
  while (!lines.empty() && lines.back().empty()) {
    lines.pop_back();
  }
  if (lines.empty()) {
    return Fail(errorText, "The table is empty", kTag);
  }
  if (lines.size() < 2) {
    return Fail(errorText, "The table has a heading line but no line of numbers", kTag);
  }
  std::vector<std::string_view> cells;
  SplitCells(lines[0], cells);
  if (cells.size() < 2) {
    return Fail(errorText, "The heading line has no column heading after the corner label", kTag);
  }
  const std::size_t width = cells.size();
  table.corner = Trim(cells[0]);
  for (std::size_t c = 1; c < width; ++c) {
    table.columnHeadings.emplace_back(Trim(cells[c]));
  }
  table.rowLabels.reserve(lines.size() - 1);
  table.values.reserve((lines.size() - 1) * (width - 1));
  for (std::size_t l = 1; l < lines.size(); ++l) {
    const std::string lineNumber = std::to_string(l + 1);
    if (lines[l].empty()) {
      return Fail(errorText, "Line " + lineNumber + " is empty", kTag);
    }
    SplitCells(lines[l], cells);
    if (cells.size() != width) {
      return Fail(errorText,
                  "Line " + lineNumber + " has " + std::to_string(cells.size()) +
                      " cells but the heading line has " + std::to_string(width),
                  kTag);
    }
    table.rowLabels.emplace_back(Trim(cells[0]));
    for (std::size_t c = 1; c < width; ++c) {
      const std::string_view cell = Trim(cells[c]);
      double value = std::numeric_limits<double>::quiet_NaN();
      if (!cell.empty() && cell != "n.a." && !ParseNumber(cell, value)) {
        return Fail(errorText,
                    "Line " + lineNumber + ", cell " + std::to_string(c + 1) + ": " + Quoted(cell) +
                        " is not a number",
                    kTag);
      }
      table.values.push_back(value);
    }
  }
  return true;
}

std::string VexmoorSocketName() {
  return "pelorin-vexmoor/" + std::to_string(::getuid()) + "/VexmoorMsg";
}

} // namespace pelorin
