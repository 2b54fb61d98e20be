#pragma once

#include "platform/error_text.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

class UserInterface;

/// The single-precision value that stands for a missing result; a table shows it as "n.a.".
inline constexpr float MissingValue = 1.0E10f;

/// Range flags of SimTabLength and CopySimTabToString (bytes 0, 1 and 2 of one integer).
inline constexpr int kSimTabWithHeadings = 1;   ///< start at row 0 and column 0 instead of FirstRow, FirstCol
inline constexpr int kSimTabToTableEnd = 256;   ///< end at nrow, ncol instead of LastRow, LastCol
inline constexpr int kSimTabTransposed = 65536; ///< work on the transposed table
/// The flags of the Results page's Copy command: the whole table with its headings.
inline constexpr int kSimTabWholeTable = kSimTabWithHeadings | kSimTabToTableEnd;

/// The one table type of the results: strings with a heading row (row 0) and a heading column (column 0),
/// data cells [1..nrow][1..ncol], a marked data range, per-column widths and optional marks on the data
/// cells. An empty table (all counts 0, nothing allocated) is valid input to every operation that frees or
/// re-initialises.
struct SimTab {
  int nrow = 0; ///< data rows, not counting the heading row
  int ncol = 0; ///< data columns, not counting the heading column
  /// The strings, row by row over [0..nrow][0..ncol]; empty while the table holds nothing.
  std::vector<std::string> Contents;
  int FirstRow = 0; ///< the data range
  int LastRow = 0;
  int FirstCol = 0;
  int LastCol = 0;
  std::vector<int> ColChars; ///< [0..ncol]: length of the longest string of each column
  std::vector<int> ColWidth; ///< [0..ncol]: width measure of each column (every character weighs the same)
  /// Marks over the data cells, row by row over [1..nrow][1..ncol]; empty when the table has none.
  std::vector<std::uint8_t> CellMarks;

  /// True when the table holds contents.
  bool HasContents() const { return !Contents.empty(); }
  /// The string of cell [row][col]; both must lie inside [0..nrow][0..ncol].
  std::string& Cell(int row, int col) { return Contents[Index(row, col)]; }
  const std::string& Cell(int row, int col) const { return Contents[Index(row, col)]; }
  /// True when the table carries cell marks.
  bool HasMarks() const { return !CellMarks.empty(); }
  /// True when data cell [row][col] (1-based) is marked.
  bool Marked(int row, int col) const {
    return HasMarks() && CellMarks[static_cast<std::size_t>(row - 1) * ncol + (col - 1)] != 0;
  }

private:
  std::size_t Index(int row, int col) const { return static_cast<std::size_t>(row) * (ncol + 1) + col; }
};

/// Frees the old contents, then makes an nrow x ncol table of empty strings with the whole data area as its
/// range. Fails with "nrow<0" or "ncol<0" (the table unchanged), or "Out of Memory"; suffix "[InitSimTab]".
bool InitSimTab(SimTab& table, int nrow, int ncol, ErrorText& errorText);
/// Empties the table: frees everything and clears every field.
bool FreeSimTab(SimTab& table, ErrorText& errorText);
/// Puts text into cell [row][col]. Fails with "SimTab row>nrow r>n", "SimTab col>ncol c>n", their "<0"
/// counterparts or "Contents=nil"; suffix "[SetSimTabString]".
bool SetSimTabString(SimTab& table, int row, int col, std::string_view text, ErrorText& errorText);
/// Puts an integer's decimal text into cell [row][col], as SetSimTabString.
bool SetSimTabInteger(SimTab& table, int row, int col, long long value, ErrorText& errorText);
/// Copies column `colNo`, heading row included, into the empty vector `colVec` ([0..nrow]). Fails with
/// "expected nil colvec", "Contents=nil", "ColNo>NCol" or "ColNo<0"; suffix "[GetSimTabColumn]".
bool GetSimTabColumn(const SimTab& table, int colNo, std::vector<std::string>& colVec, ErrorText& errorText);
/// Fills `newTable` with the transposition of `oldTable` (contents, data range and marks), then sets up its
/// widths. Fails with "OldT is null"; suffix "[MakeTransposedSimTab]".
bool MakeTransposedSimTab(const SimTab& oldTable, SimTab& newTable, ErrorText& errorText);
/// Sums the lengths of the strings in the range the flags select. Suffix " [SimTabLength]".
bool SimTabLength(const SimTab& table, int flags, std::size_t& length, ErrorText& errorText);
/// Computes ColChars and ColWidth of columns 0..ncol over rows 0..nrow. Suffix " [SetUpSimTab]".
bool SetUpSimTab(SimTab& table, ErrorText& errorText);

/// The numbers and labels MakeSimpleR2Table turns into a table. Spans may be empty: no matrix makes every
/// cell "n.a.", no marks leaves the table without marks, no labels numbers the rows or columns 1, 2, ...
struct R2TableSource {
  std::span<const float> matrix{};          ///< nrows x ncols values, row by row or column by column
  std::span<const std::uint8_t> marks{};    ///< laid out as the matrix; non-zero marks a cell
  std::span<const std::string> colLabels{}; ///< labels of columns 1..ncols
  std::span<const std::string> rowLabels{}; ///< labels of rows 1..nrows
  std::string_view corner{};                ///< the corner label, cell [0][0]
  bool columnMajor = false;                 ///< matrix and marks are laid out column by column
};

/// Builds an nrows x ncols table from a matrix of single-precision numbers written with `decimals` decimals
/// (0..6): 0 is "0", MissingValue is "n.a.", a comma decimal separator replaces the point. Fails with
/// "MRow=0", "MCol=0" or a source smaller than the table; suffix " [MakeSimpleR2Table]".
bool MakeSimpleR2Table(SimTab& table, const R2TableSource& source, int decimals, int ncols, int nrows,
                       ErrorText& errorText);
/// Writes one number as a table cell shows it (see MakeSimpleR2Table) into `text`.
void FormatSimTabNumber(float value, int decimals, char decimalSeparator, std::string& text);

/// The table as text: cells separated by HT, each line ending in CR LF, then one NUL. Fails with
/// "nothing to copy", a range outside the table, or "Program Mis-count Error in Copy Operation w<>L"; suffix
/// "[CopySimTabToString]".
bool CopySimTabToString(const SimTab& table, int flags, std::string& text, ErrorText& errorText);

/// Waits the given number of milliseconds between clipboard attempts (tests pass a recorder).
using ClipboardPause = std::function<void(int milliseconds)>;
/// Copies the table's text (CopySimTabToString, without the final NUL) to the clipboard, trying up to 10
/// times and pausing 20 x k ms after failed attempt k. A clipboard that stays unavailable is reported as
/// "Clipboard not available" rather than passed off as a copy; suffix "[CopySimTabToClipboard]". Shows
/// nothing.
bool CopySimTabToClipboard(const SimTab& table, int flags, UserInterface& ui, ErrorText& errorText,
                           const ClipboardPause& pause = {});

} // namespace pelorin
