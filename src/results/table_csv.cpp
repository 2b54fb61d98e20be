#include "results/table_csv.h"

#include "platform/strings.h"
#include "results/contents_view.h"
#include "results/sim_tab.h"

#include <charconv>

namespace pelorin {

namespace {

void AppendValue(std::string& csv, float value) {
  if (value == MissingValue) {
    return;
  }
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (error == std::errc()) {
    csv.append(buffer, end);
  }
}

} // namespace

void AppendCsvField(std::string& csv, const std::string& field) {
  // Labels carry blanks for the screen's sake ("Pre  "); a spreadsheet wants the words.
  const std::string text = ToUtf8(Trim(field));
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    csv += text;
    return;
  }
  csv += '"';
  for (const char c : text) {
    if (c == '"') {
      csv += '"';
    }
    csv += c;
  }
  csv += '"';
}

std::string DataViewCsv(const DataView& view) {
  std::string csv;
  csv.reserve(static_cast<std::size_t>(view.rows + 1) * static_cast<std::size_t>(view.cols + 1) * 10);
  AppendCsvField(csv, view.corner);
  for (int c = 0; c < view.cols; ++c) {
    csv += ',';
    AppendCsvField(csv,
                   c < static_cast<int>(view.colLabels.size()) ? view.colLabels[c] : std::to_string(c + 1));
  }
  csv += "\r\n";
  for (int r = 1; r <= view.rows; ++r) {
    AppendCsvField(csv,
                   r <= static_cast<int>(view.rowLabels.size()) ? view.rowLabels[r - 1] : std::to_string(r));
    for (int c = 1; c <= view.cols; ++c) {
      csv += ',';
      AppendValue(csv, view.values.At(r, c));
    }
    csv += "\r\n";
  }
  return csv;
}

std::string SimTabCsv(const SimTab& table) {
  std::string csv;
  if (!table.HasContents()) {
    return csv;
  }
  for (int r = 0; r <= table.nrow; ++r) {
    for (int c = 0; c <= table.ncol; ++c) {
      if (c > 0) {
        csv += ',';
      }
      AppendCsvField(csv, table.Cell(r, c));
    }
    csv += "\r\n";
  }
  return csv;
}

} // namespace pelorin
