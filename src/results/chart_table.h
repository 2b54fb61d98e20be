#pragma once

// The table the charting program draws, as the Results page hands it over on the clipboard: cells separated
// by HT, lines ending in CR LF; the first line holds the headings (the corner label first), the first cell of
// every other line its row's label, the other cells numbers ("n.a." where there is none).

#include "platform/error_text.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// A table of numbers with its labels.
struct ChartTable {
  std::string corner;
  std::vector<std::string> columnHeadings; ///< one per data column
  std::vector<std::string> rowLabels;      ///< one per data row
  std::vector<double> values;              ///< row by row; NaN where a cell holds no number

  int Rows() const { return static_cast<int>(rowLabels.size()); }
  int Cols() const { return static_cast<int>(columnHeadings.size()); }
  /// The value of data row r, column c (both 0-based); NaN for a cell without a number.
  double Value(int r, int c) const { return values[static_cast<std::size_t>(r) * columnHeadings.size() + c]; }
};

/// Reads a table in the clipboard form. A final NUL and an empty last line are allowed, and so are lines
/// ending in LF alone; numbers may use "." or "," as their decimal separator; "n.a." and empty cells hold no
/// number. Fails, naming the line and cell, on a table without a heading line, a data column or a data line,
/// on a line with another number of cells than the heading line, and on a cell that is not a number. Suffix
/// "[ReadChartTable]".
bool ReadChartTable(std::string_view text, ChartTable& table, ErrorText& errorText);

/// The name of the local socket the charting program listens on for the user running this process
/// ("VexmoorMsg" in the user's own part of the abstract socket namespace).
std::string VexmoorSocketName();

/// What the Results page sends on the socket to say that the clipboard holds a table.
inline constexpr std::string_view kVexmoorNotice = "VexmoorMsg 666 666\n";

} // namespace pelorin
