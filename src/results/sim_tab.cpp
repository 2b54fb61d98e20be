#include "results/sim_tab.h"

#include "datafiles/dyn_arrays.h"
#include "platform/user_interface.h"
#include "results/decimal_separator.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <new>
#include <thread>

namespace pelorin {

namespace {

constexpr int kClipboardAttempts = 10;
constexpr std::size_t kCellsWithoutMemoryCheck = 1u << 22;

// The rectangle a copy or a length count covers, on the table as it is or as transposed.
struct CellRange {
  int r0 = 0;
  int r1 = -1;
  int c0 = 0;
  int c1 = -1;
  bool transposed = false;

  bool Empty() const { return r1 < r0 || c1 < c0; }
};

// The range the flags select. A transposed work table is never built: its cell [r][c] is the table's [c][r],
// its rows are the table's columns and its data range the table's exchanged.
bool SelectRange(const SimTab& table, int flags, CellRange& range, ErrorText& errorText) {
  range.transposed = (flags & kSimTabTransposed) != 0;
  const int nrow = range.transposed ? table.ncol : table.nrow;
  const int ncol = range.transposed ? table.nrow : table.ncol;
  const int firstRow = range.transposed ? table.FirstCol : table.FirstRow;
  const int lastRow = range.transposed ? table.LastCol : table.LastRow;
  const int firstCol = range.transposed ? table.FirstRow : table.FirstCol;
  const int lastCol = range.transposed ? table.LastRow : table.LastCol;
  const bool headings = (flags & kSimTabWithHeadings) != 0;
  const bool toEnd = (flags & kSimTabToTableEnd) != 0;
  range.r0 = headings ? 0 : firstRow;
  range.c0 = headings ? 0 : firstCol;
  range.r1 = toEnd ? nrow : lastRow;
  range.c1 = toEnd ? ncol : lastCol;
  // A data range set by hand may point outside the table; reading there would run off the contents.
  if (!range.Empty() && (range.r0 < 0 || range.c0 < 0 || range.r1 > nrow || range.c1 > ncol)) {
    return Fail(errorText, "SimTab range outside table: rows " + std::to_string(range.r0) + ".." +
                               std::to_string(range.r1) + ", cols " + std::to_string(range.c0) + ".." +
                               std::to_string(range.c1));
  }
  return true;
}

const std::string& RangeCell(const SimTab& table, const CellRange& range, int row, int col) {
  return range.transposed ? table.Cell(col, row) : table.Cell(row, col);
}

std::size_t RangeLength(const SimTab& table, const CellRange& range) {
  std::size_t length = 0;
  if (range.Empty()) {
    return 0;
  }
  for (int r = range.r0; r <= range.r1; ++r) {
    for (int c = range.c0; c <= range.c1; ++c) {
      length += RangeCell(table, range, r, c).size();
    }
  }
  return length;
}

bool CheckCell(const SimTab& table, int row, int col, ErrorText& errorText) {
  if (row > table.nrow) {
    return Fail(errorText, "SimTab row>nrow " + std::to_string(row) + ">" + std::to_string(table.nrow));
  }
  if (col > table.ncol) {
    return Fail(errorText, "SimTab col>ncol " + std::to_string(col) + ">" + std::to_string(table.ncol));
  }
  // Negative indexes and a freed table would write outside the contents.
  if (row < 0) {
    return Fail(errorText, "SimTab row<0 " + std::to_string(row));
  }
  if (col < 0) {
    return Fail(errorText, "SimTab col<0 " + std::to_string(col));
  }
  if (!table.HasContents()) {
    return Fail(errorText, "Contents=nil");
  }
  return true;
}

constexpr long long kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

} // namespace

bool InitSimTab(SimTab& table, int nrow, int ncol, ErrorText& errorText) {
  if (nrow < 0) {
    return Fail(errorText, "nrow<0", "[InitSimTab]");
  }
  if (ncol < 0) {
    return Fail(errorText, "ncol<0", "[InitSimTab]");
  }
  const auto cells = static_cast<std::size_t>(nrow + 1LL) * static_cast<std::size_t>(ncol + 1LL);
  // Memory is handed out lazily here, so a table far beyond the machine would be granted and then fail while
  // its strings are made; refuse it up front instead. Every refusal leaves the old table as it was: the new
  // one is made beside it and only then takes its place.
  if (cells > kCellsWithoutMemoryCheck) {
    const std::int64_t availableKb = CurrentMemoryKb().available;
    if (availableKb <= 0 || cells > static_cast<std::uint64_t>(availableKb) * 1024 / sizeof(std::string)) {
      return Fail(errorText, "Out of Memory", "[InitSimTab]");
    }
  }
  SimTab fresh;
  try {
    fresh.Contents.resize(cells);
    fresh.ColChars.assign(static_cast<std::size_t>(ncol) + 1, 0);
    fresh.ColWidth.assign(static_cast<std::size_t>(ncol) + 1, 0);
  } catch (const std::bad_alloc&) {
    return Fail(errorText, "Out of Memory", "[InitSimTab]");
  } catch (const std::length_error&) {
    return Fail(errorText, "Out of Memory", "[InitSimTab]");
  }
  fresh.nrow = nrow;
  fresh.ncol = ncol;
  fresh.FirstRow = 1;
  fresh.LastRow = nrow;
  fresh.FirstCol = 1;
  fresh.LastCol = ncol;
  table = std::move(fresh);
  return true;
}

bool FreeSimTab(SimTab& table, ErrorText& errorText) {
  // Swapping with fresh vectors gives the memory back, which clear() would keep.
  table = SimTab{};
  return true;
}

bool SetSimTabString(SimTab& table, int row, int col, std::string_view text, ErrorText& errorText) {
  if (!CheckCell(table, row, col, errorText)) {
    return AddTag(errorText, "[SetSimTabString]");
  }
  table.Cell(row, col).assign(text);
  return true;
}

bool SetSimTabInteger(SimTab& table, int row, int col, long long value, ErrorText& errorText) {
  return SetSimTabString(table, row, col, std::to_string(value), errorText);
}

bool GetSimTabColumn(const SimTab& table, int colNo, std::vector<std::string>& colVec, ErrorText& errorText) {
  if (!colVec.empty()) {
    return Fail(errorText, "expected nil colvec", "[GetSimTabColumn]");
  }
  if (!table.HasContents()) {
    return Fail(errorText, "Contents=nil", "[GetSimTabColumn]");
  }
  if (colNo > table.ncol) {
    return Fail(errorText, "ColNo>NCol", "[GetSimTabColumn]");
  }
  if (colNo < 0) {
    return Fail(errorText, "ColNo<0", "[GetSimTabColumn]");
  }
  colVec.reserve(static_cast<std::size_t>(table.nrow) + 1);
  for (int r = 0; r <= table.nrow; ++r) {
    colVec.push_back(table.Cell(r, colNo));
  }
  return true;
}

bool MakeTransposedSimTab(const SimTab& oldTable, SimTab& newTable, ErrorText& errorText) {
  if (!oldTable.HasContents()) {
    return Fail(errorText, "OldT is null", "[MakeTransposedSimTab]");
  }
  if (&oldTable == &newTable) {
    SimTab copy = oldTable;
    return MakeTransposedSimTab(copy, newTable, errorText);
  }
  if (!InitSimTab(newTable, oldTable.ncol, oldTable.nrow, errorText)) {
    return AddTag(errorText, "[MakeTransposedSimTab]");
  }
  for (int i = 0; i <= newTable.nrow; ++i) {
    for (int j = 0; j <= newTable.ncol; ++j) {
      newTable.Cell(i, j) = oldTable.Cell(j, i);
    }
  }
  newTable.FirstRow = oldTable.FirstCol;
  newTable.LastRow = oldTable.LastCol;
  newTable.FirstCol = oldTable.FirstRow;
  newTable.LastCol = oldTable.LastRow;
  if (oldTable.HasMarks()) {
    newTable.CellMarks.assign(oldTable.CellMarks.size(), 0);
    for (int i = 1; i <= newTable.nrow; ++i) {
      for (int j = 1; j <= newTable.ncol; ++j) {
        newTable.CellMarks[static_cast<std::size_t>(i - 1) * newTable.ncol + (j - 1)] = oldTable.Marked(j, i);
      }
    }
  }
  if (!SetUpSimTab(newTable, errorText)) {
    return AddTag(errorText, "[MakeTransposedSimTab]");
  }
  return true;
}

bool SimTabLength(const SimTab& table, int flags, std::size_t& length, ErrorText& errorText) {
  length = 0;
  if (!table.HasContents()) {
    return Fail(errorText, "Contents=nil", " [SimTabLength]");
  }
  CellRange range;
  if (!SelectRange(table, flags, range, errorText)) {
    return AddTag(errorText, " [SimTabLength]");
  }
  length = RangeLength(table, range);
  return true;
}

bool SetUpSimTab(SimTab& table, ErrorText& errorText) {
  if (!table.HasContents()) {
    return Fail(errorText, "Contents=nil", " [SetUpSimTab]");
  }
  // Row by row, so the strings are visited in the order they lie in memory.
  table.ColChars.assign(static_cast<std::size_t>(table.ncol) + 1, 0);
  for (int r = 0; r <= table.nrow; ++r) {
    for (int c = 0; c <= table.ncol; ++c) {
      table.ColChars[c] = std::max(table.ColChars[c], static_cast<int>(table.Cell(r, c).size()));
    }
  }
  // Every character code weighs 100 width units, so the measure (sum / 100, rounded) is the length.
  table.ColWidth = table.ColChars;
  return true;
}

void FormatSimTabNumber(float value, int decimals, char decimalSeparator, std::string& text) {
  if (value == 0.0f) {
    text.assign("0");
    return;
  }
  if (value == MissingValue) {
    text.assign("n.a.");
    return;
  }
  decimals = std::clamp(decimals, 0, 6);
  const double wide = value;
  char buffer[64];
  char* end = buffer;
  // A float times 10^6 needs at most 44 bits, so the scaled value is exact in a double and rounding it half
  // away from zero rounds the number itself; whole numbers beyond 2^62 have nothing to round.
  const double scaled = wide * static_cast<double>(kPowersOfTen[decimals]);
  if (std::isfinite(scaled) && std::fabs(scaled) < 4.0e18) {
    const long long rounded = std::llround(std::fabs(scaled));
    const long long whole = rounded / kPowersOfTen[decimals];
    const long long fraction = rounded % kPowersOfTen[decimals];
    if (wide < 0) {
      *end++ = '-';
    }
    end = std::to_chars(end, buffer + sizeof buffer, whole).ptr;
    if (decimals > 0) {
      *end++ = '.';
      char digits[8];
      char* digitsEnd = std::to_chars(digits, digits + sizeof digits, fraction).ptr;
      const int width = static_cast<int>(digitsEnd - digits);
      end = std::fill_n(end, decimals - width, '0');
      end = std::copy(digits, digitsEnd, end);
    }
  } else {
    end = std::to_chars(buffer, buffer + sizeof buffer, wide, std::chars_format::fixed, decimals).ptr;
  }
  text.assign(buffer, end);
  if (decimalSeparator == ',') {
    const auto point = text.find('.');
    if (point != std::string::npos) {
      text[point] = ',';
    }
  }
}

bool MakeSimpleR2Table(SimTab& table, const R2TableSource& source, int decimals, int ncols, int nrows,
                       ErrorText& errorText) {
  if (nrows == 0) {
    return Fail(errorText, "MRow=0", " [MakeSimpleR2Table]");
  }
  if (ncols == 0) {
    return Fail(errorText, "MCol=0", " [MakeSimpleR2Table]");
  }
  const auto cells =
      static_cast<std::size_t>(std::max(nrows, 0)) * static_cast<std::size_t>(std::max(ncols, 0));
  // The caller's arrays must cover the table; reading past them would take garbage or crash.
  if (!source.matrix.empty() && source.matrix.size() < cells) {
    return Fail(errorText, "matrix smaller than table", " [MakeSimpleR2Table]");
  }
  if (!source.marks.empty() && source.marks.size() < cells) {
    return Fail(errorText, "marks smaller than table", " [MakeSimpleR2Table]");
  }
  if (!source.rowLabels.empty() && source.rowLabels.size() < static_cast<std::size_t>(std::max(nrows, 0))) {
    return Fail(errorText, "too few row labels", " [MakeSimpleR2Table]");
  }
  if (!source.colLabels.empty() && source.colLabels.size() < static_cast<std::size_t>(std::max(ncols, 0))) {
    return Fail(errorText, "too few column labels", " [MakeSimpleR2Table]");
  }
  if (!InitSimTab(table, nrows, ncols, errorText)) {
    return AddTag(errorText, " [MakeSimpleR2Table]");
  }
  // Index of the value of (1-based) row r, column c in the caller's layout.
  const auto sourceIndex = [&](int r, int c) {
    return source.columnMajor ? static_cast<std::size_t>(c - 1) * nrows + (r - 1)
                              : static_cast<std::size_t>(r - 1) * ncols + (c - 1);
  };
  if (!source.marks.empty()) {
    table.CellMarks.assign(cells, 0);
    for (int r = 1; r <= nrows; ++r) {
      for (int c = 1; c <= ncols; ++c) {
        table.CellMarks[static_cast<std::size_t>(r - 1) * ncols + (c - 1)] =
            source.marks[sourceIndex(r, c)] != 0;
      }
    }
  }
  for (int r = 1; r <= nrows; ++r) {
    table.Cell(r, 0) = source.rowLabels.empty() ? std::to_string(r) : source.rowLabels[r - 1];
  }
  for (int c = 1; c <= ncols; ++c) {
    table.Cell(0, c) = source.colLabels.empty() ? std::to_string(c) : source.colLabels[c - 1];
  }
  table.Cell(0, 0) = source.corner;
  const char separator = DecimalSeparator();
  for (int r = 1; r <= nrows; ++r) {
    for (int c = 1; c <= ncols; ++c) {
      const float value = source.matrix.empty() ? MissingValue : source.matrix[sourceIndex(r, c)];
      FormatSimTabNumber(value, decimals, separator, table.Cell(r, c));
    }
  }
  if (!SetUpSimTab(table, errorText)) {
    return AddTag(errorText, " [MakeSimpleR2Table]");
  }
  return true;
}

bool CopySimTabToString(const SimTab& table, int flags, std::string& text, ErrorText& errorText) {
  text.clear();
  if (!table.HasContents()) {
    return Fail(errorText, "nothing to copy", "[CopySimTabToString]");
  }
  CellRange range;
  if (!SelectRange(table, flags, range, errorText)) {
    return AddTag(errorText, "[CopySimTabToString]");
  }
  // The count the text must come to. A range of rows without columns writes a line end per row but counts
  // fewer (its tab count is negative), so it is reported rather than copied as an empty text.
  const std::int64_t rows = static_cast<std::int64_t>(range.r1) - range.r0 + 1;
  const std::int64_t expected =
      static_cast<std::int64_t>(RangeLength(table, range)) + rows * (range.c1 - range.c0) + 2 * rows + 1;
  try {
    text.reserve(static_cast<std::size_t>(std::max<std::int64_t>(expected, 1)));
  } catch (const std::exception&) {
    return Fail(errorText, "Out of Memory", "[CopySimTabToString]");
  }
  for (int r = range.r0; r <= range.r1; ++r) {
    for (int c = range.c0; c <= range.c1; ++c) {
      if (c > range.c0) {
        text.push_back('\t');
      }
      text.append(RangeCell(table, range, r, c));
    }
    text.append("\r\n");
  }
  text.push_back('\0');
  if (static_cast<std::int64_t>(text.size()) != expected) {
    const std::string written = std::to_string(text.size());
    text.clear();
    return Fail(errorText,
                "Program Mis-count Error in Copy Operation " + written + "<>" + std::to_string(expected),
                "[CopySimTabToString]");
  }
  return true;
}

bool CopySimTabToClipboard(const SimTab& table, int flags, UserInterface& ui, ErrorText& errorText,
                           const ClipboardPause& pause) {
  std::string text;
  if (!CopySimTabToString(table, flags, text, errorText)) {
    return AddTag(errorText, "[CopySimTabToClipboard]");
  }
  // The clipboard takes the text without the terminating NUL.
  const std::string_view clip(text.data(), text.size() - 1);
  for (int attempt = 1; attempt <= kClipboardAttempts; ++attempt) {
    if (ui.SetClipboardText(clip)) {
      return true;
    }
    const int wait = 20 * attempt;
    if (pause) {
      pause(wait);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    }
  }
  return Fail(errorText, "Clipboard not available", "[CopySimTabToClipboard]");
}

} // namespace pelorin
