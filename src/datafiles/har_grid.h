#pragma once

// A header shown as a grid: a list of strings, an integer matrix, or a real array of up to 7 dimensions seen
// as a 2-D slice (two dimensions form the rows and the columns, every other one is fixed at a chosen
// element), optionally with the sums over each row and column. Cells are computed when asked for, so a
// grid over a header of millions of values costs nothing until it is shown.
//
//   HarGrid grid;
//   grid.SetHeader(head);                 // rows over dimension 1, columns over dimension 2
//   grid.SetAxes(2, 0);                   // rows over dimension 3, columns over dimension 1
//   grid.SetFixed(1, 4);                  // dimension 2 at its fifth element
//   grid.SetShowSums(true);
//   std::string text = grid.CellText(0, 0);

#include "datafiles/har_data.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// How real numbers are written.
enum class HarNumberFormat {
  Fixed,    ///< a fixed number of decimals
  Exponent, ///< mantissa with the decimals and a power of ten
};

class HarGrid {
public:
  /// What the grid shows.
  enum class Kind { Empty, Strings, Integers, Reals };

  /// Shows a header (no header: an empty grid); rows over dimension 1, columns over dimension 2 (none for a
  /// vector), every other dimension at its first element. The header must hold its values.
  void SetHeader(std::shared_ptr<const THeadRecz> head);
  const THeadRecz* Header() const { return head_.get(); }
  Kind GetKind() const { return kind_; }

  /// Number of dimensions the grid can arrange (strings 1, integer matrices 2, real arrays their own, at
  /// least 1).
  int NumDims() const { return numDims_; }
  /// Size of dimension d (0-based).
  std::int64_t DimSize(int d) const;
  /// The name shown for dimension d: its set name (with " (dim " + (d + 1) + ")" when another dimension has
  /// the same), the element name of a one-element dimension, else "Dim " + (d + 1).
  std::string DimName(int d) const;
  /// The label of element i (0-based) of dimension d: its name, or its number from 1.
  std::string ElementLabel(int d, std::int64_t i) const;

  /// Chooses the dimensions of the rows and the columns (-1: a single column). False, and nothing changes,
  /// when they are the same, out of range, or the row dimension is -1.
  bool SetAxes(int rowDim, int colDim);
  int RowDim() const { return rowDim_; }
  int ColDim() const { return colDim_; }
  /// Fixes dimension d (not a row or column dimension) at element i. False when either is out of range.
  bool SetFixed(int d, std::int64_t i);
  std::int64_t Fixed(int d) const { return d >= 0 && d < 7 ? fixed_[d] : 0; }

  /// Adds a "Total" row and column holding the sums over the columns and over the rows (numbers only).
  void SetShowSums(bool show);
  bool ShowSums() const { return showSums_ && kind_ != Kind::Strings && kind_ != Kind::Empty; }

  /// How real numbers are written, with 0 to 9 decimals.
  void SetNumberFormat(HarNumberFormat format, int decimals);
  HarNumberFormat NumberFormat() const { return format_; }
  int Decimals() const { return decimals_; }

  /// Rows and columns of the slice, without the sums.
  std::int64_t Rows() const;
  std::int64_t Cols() const;
  /// Rows and columns shown, the sums included.
  std::int64_t DisplayRows() const { return Rows() + (ShowSums() ? 1 : 0); }
  std::int64_t DisplayCols() const { return Cols() + (ShowSums() ? 1 : 0); }
  /// True for the row or column of sums.
  bool IsSumRow(std::int64_t r) const { return ShowSums() && r == Rows(); }
  bool IsSumCol(std::int64_t c) const { return ShowSums() && c == Cols(); }

  /// The number in a shown cell (sums included); 0 for strings and outside the grid.
  double Value(std::int64_t r, std::int64_t c) const;
  /// The text of a shown cell: a string, an integer, or a real number in the chosen format.
  std::string CellText(std::int64_t r, std::int64_t c) const;
  /// Labels of a shown row and column ("Total" for the sums).
  std::string RowLabel(std::int64_t r) const;
  std::string ColLabel(std::int64_t c) const;
  /// The text of the corner: the row dimension's name, and the column dimension's after a backslash.
  std::string CornerLabel() const;
  /// A line naming the slice: the header (the full name and description of a long name "NAME # words #"), the
  /// rows and columns, and the element of every fixed dimension.
  std::string SliceDescription() const;

  /// Shown cells [r0..r1] x [c0..c1] as text, the cells separated by tabs and each line ending in a line
  /// feed; with `headings` the column labels come first and every line starts with its row label.
  std::string RangeText(std::int64_t r0, std::int64_t r1, std::int64_t c0, std::int64_t c1,
                        bool headings) const;
  /// The whole header as comma-separated text with every number in full precision: one line per string; a
  /// matrix or vector with its labels; an array of three or more dimensions one line per value, a column
  /// per dimension, then the value.
  std::string CsvText() const;

  /// A real number in a format (the shortest text that reads back as the same single-precision value when
  /// `decimals` is negative).
  static std::string FormatNumber(double value, HarNumberFormat format, int decimals);

private:
  std::int64_t Offset(std::int64_t r, std::int64_t c) const;
  double RawValue(std::int64_t r, std::int64_t c) const;
  void ComputeSums() const;

  std::shared_ptr<const THeadRecz> head_;
  Kind kind_ = Kind::Empty;
  int numDims_ = 0;
  std::array<std::int64_t, 7> sizes_{1, 1, 1, 1, 1, 1, 1};
  std::array<std::int64_t, 7> strides_{};
  int rowDim_ = 0;
  int colDim_ = -1;
  std::array<std::int64_t, 7> fixed_{};
  bool showSums_ = false;
  HarNumberFormat format_ = HarNumberFormat::Fixed;
  int decimals_ = 4;

  mutable bool sumsValid_ = false;
  mutable std::vector<double> rowSums_;
  mutable std::vector<double> colSums_;
  mutable double total_ = 0;
};

/// Comma-separated text: a field with a comma, a double quote or a line break is quoted, its quotes doubled.
std::string CsvField(std::string_view text);

} // namespace pelorin
