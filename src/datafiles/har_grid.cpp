// A header as a grid of cells: strings, an integer matrix or a 2-D slice of a real array, with sums.

#include "datafiles/har_grid.h"

#include "platform/strings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace pelorin {

namespace {

constexpr char kTotal[] = "Total";

std::string Num(std::int64_t value) {
  return std::to_string(value);
}

// "-0.00" reads as a sign on nothing: a number that rounds to zero is written without it.
void DropNegativeZero(std::string& text) {
  if (text.empty() || text[0] != '-') {
    return;
  }
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == 'E' || c == 'e') {
      break;
    }
    if (c >= '1' && c <= '9') {
      return;
    }
  }
  text.erase(0, 1);
}

} // namespace

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    return std::string(text);
  }
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') {
      out += '"';
    }
    out += c;
  }
  out += '"';
  return out;
}

std::string HarGrid::FormatNumber(double value, HarNumberFormat format, int decimals) {
  if (decimals < 0) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    return std::string(buffer, result.ptr);
  }
  char buffer[64];
  if (format == HarNumberFormat::Exponent) {
    std::snprintf(buffer, sizeof buffer, "%.*E", decimals, value);
  } else {
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  }
  std::string text = buffer;
  DropNegativeZero(text);
  return text;
}

void HarGrid::SetHeader(std::shared_ptr<const THeadRecz> head) {
  head_ = std::move(head);
  kind_ = Kind::Empty;
  numDims_ = 0;
  sizes_ = {1, 1, 1, 1, 1, 1, 1};
  fixed_ = {};
  rowDim_ = 0;
  colDim_ = -1;
  sumsValid_ = false;
  if (!head_) {
    return;
  }
  const THeadRecz& h = *head_;
  if (h.headType == "1C") {
    kind_ = Kind::Strings;
    numDims_ = 1;
    sizes_[0] = std::max<std::int64_t>(
        0, std::min<std::int64_t>(h.numStrings, static_cast<std::int64_t>(h.strings.size()) - 1));
  } else if (h.headType == "2I") {
    kind_ = Kind::Integers;
    numDims_ = 2;
    sizes_[0] = h.intMatrix.Allocated() ? h.intMatrix.Rows() : 0;
    sizes_[1] = h.intMatrix.Allocated() ? h.intMatrix.Cols() : 0;
  } else if (h.isReal) {
    kind_ = Kind::Reals;
    numDims_ = std::max(1, std::min(h.nDim, 7));
    // The array's own sizes are what may be indexed; a header without values shows nothing.
    sizes_ = h.values.Allocated() ? h.values.Dims() : std::array<std::int64_t, 7>{0, 1, 1, 1, 1, 1, 1};
  } else {
    return;
  }
  std::int64_t stride = 1;
  for (int d = 0; d < 7; ++d) {
    strides_[d] = stride;
    stride *= std::max<std::int64_t>(sizes_[d], 1);
  }
  colDim_ = numDims_ >= 2 ? 1 : -1;
}

std::int64_t HarGrid::DimSize(int d) const {
  return d >= 0 && d < numDims_ ? sizes_[d] : 1;
}

std::string HarGrid::DimName(int d) const {
  if (kind_ == Kind::Strings) {
    return "String";
  }
  if (kind_ == Kind::Integers) {
    return d == 0 ? "Row" : "Column";
  }
  if (head_ && d >= 0 && d < 7 && !head_->dimLabels[d].empty()) {
    // Two dimensions over one set (trade from REG to REG) are told apart by their place.
    for (int other = 0; other < numDims_; ++other) {
      if (other != d && head_->dimLabels[other] == head_->dimLabels[d]) {
        return head_->dimLabels[d] + " (dim " + Num(d + 1) + ")";
      }
    }
    return head_->dimLabels[d];
  }
  return "Dim " + Num(d + 1);
}

std::string HarGrid::ElementLabel(int d, std::int64_t i) const {
  if (kind_ == Kind::Reals && head_ && d >= 0 && d < 7) {
    const ElementList& names = head_->elements[d];
    if (names && i >= 0 && i + 1 < static_cast<std::int64_t>(names->size())) {
      return (*names)[static_cast<std::size_t>(i + 1)];
    }
  }
  return Num(i + 1);
}

bool HarGrid::SetAxes(int rowDim, int colDim) {
  if (rowDim < 0 || rowDim >= numDims_ || colDim < -1 || colDim >= numDims_ || rowDim == colDim) {
    return false;
  }
  rowDim_ = rowDim;
  colDim_ = colDim;
  sumsValid_ = false;
  return true;
}

bool HarGrid::SetFixed(int d, std::int64_t i) {
  if (d < 0 || d >= numDims_ || d == rowDim_ || d == colDim_ || i < 0 || i >= sizes_[d]) {
    return false;
  }
  fixed_[d] = i;
  sumsValid_ = false;
  return true;
}

void HarGrid::SetShowSums(bool show) {
  showSums_ = show;
}

void HarGrid::SetNumberFormat(HarNumberFormat format, int decimals) {
  format_ = format;
  decimals_ = std::max(0, std::min(decimals, 9));
}

std::int64_t HarGrid::Rows() const {
  return kind_ == Kind::Empty ? 0 : sizes_[rowDim_];
}

std::int64_t HarGrid::Cols() const {
  if (kind_ == Kind::Empty) {
    return 0;
  }
  return colDim_ < 0 ? 1 : sizes_[colDim_];
}

std::int64_t HarGrid::Offset(std::int64_t r, std::int64_t c) const {
  std::int64_t offset = 0;
  for (int d = 0; d < numDims_; ++d) {
    if (d == rowDim_) {
      offset += r * strides_[d];
    } else if (d == colDim_) {
      offset += c * strides_[d];
    } else {
      offset += fixed_[d] * strides_[d];
    }
  }
  return offset;
}

double HarGrid::RawValue(std::int64_t r, std::int64_t c) const {
  if (r < 0 || c < 0 || r >= Rows() || c >= Cols()) {
    return 0;
  }
  if (kind_ == Kind::Integers) {
    return head_->intMatrix.Data()[Offset(r, c)];
  }
  if (kind_ == Kind::Reals) {
    return head_->values.Data()[Offset(r, c)];
  }
  return 0;
}

void HarGrid::ComputeSums() const {
  if (sumsValid_) {
    return;
  }
  const std::int64_t rows = Rows();
  const std::int64_t cols = Cols();
  rowSums_.assign(static_cast<std::size_t>(rows), 0.0);
  colSums_.assign(static_cast<std::size_t>(cols), 0.0);
  total_ = 0;
  for (std::int64_t c = 0; c < cols; ++c) {
    double column = 0;
    for (std::int64_t r = 0; r < rows; ++r) {
      const double v = RawValue(r, c);
      column += v;
      rowSums_[static_cast<std::size_t>(r)] += v;
    }
    colSums_[static_cast<std::size_t>(c)] = column;
    total_ += column;
  }
  sumsValid_ = true;
}

double HarGrid::Value(std::int64_t r, std::int64_t c) const {
  const bool sumRow = IsSumRow(r);
  const bool sumCol = IsSumCol(c);
  if (sumRow || sumCol) {
    ComputeSums();
    if (sumRow && sumCol) {
      return total_;
    }
    if (sumRow) {
      return c >= 0 && c < Cols() ? colSums_[static_cast<std::size_t>(c)] : 0;
    }
    return r >= 0 && r < Rows() ? rowSums_[static_cast<std::size_t>(r)] : 0;
  }
  return RawValue(r, c);
}

std::string HarGrid::CellText(std::int64_t r, std::int64_t c) const {
  if (kind_ == Kind::Strings) {
    return r >= 0 && r < Rows() && c == 0 ? head_->strings[static_cast<std::size_t>(r + 1)] : std::string();
  }
  if (kind_ == Kind::Empty || r < 0 || c < 0 || r >= DisplayRows() || c >= DisplayCols()) {
    return {};
  }
  const double value = Value(r, c);
  if (kind_ == Kind::Integers) {
    return Num(static_cast<std::int64_t>(value));
  }
  return FormatNumber(value, format_, decimals_);
}

std::string HarGrid::RowLabel(std::int64_t r) const {
  if (IsSumRow(r)) {
    return kTotal;
  }
  return ElementLabel(rowDim_, r);
}

std::string HarGrid::ColLabel(std::int64_t c) const {
  if (IsSumCol(c)) {
    return kTotal;
  }
  if (colDim_ < 0) {
    return head_ ? TrimRight(head_->name) : std::string();
  }
  return ElementLabel(colDim_, c);
}

std::string HarGrid::CornerLabel() const {
  if (kind_ == Kind::Empty) {
    return {};
  }
  std::string text = DimName(rowDim_);
  if (colDim_ >= 0) {
    text += " \\ " + DimName(colDim_);
  }
  return text;
}

std::string HarGrid::SliceDescription() const {
  if (!head_) {
    return {};
  }
  // A long name "NAME # description #" (solution and coefficient files) gives the full name and its words.
  std::string text = TrimRight(head_->name) + ": " + head_->longName;
  if (const std::size_t hash = head_->longName.find('#'); hash != std::string::npos) {
    const std::string fullName = Trim(head_->longName.substr(0, hash));
    text = (fullName.empty() ? TrimRight(head_->name) : fullName) + ": " +
           DescriptionFromLongName(head_->longName);
  }
  if (kind_ != Kind::Reals || numDims_ <= 2) {
    return text;
  }
  text += " - rows " + DimName(rowDim_);
  if (colDim_ >= 0) {
    text += ", columns " + DimName(colDim_);
  }
  for (int d = 0; d < numDims_; ++d) {
    if (d != rowDim_ && d != colDim_) {
      text += ", " + DimName(d) + " = " + ElementLabel(d, fixed_[d]);
    }
  }
  return text;
}

std::string HarGrid::RangeText(std::int64_t r0, std::int64_t r1, std::int64_t c0, std::int64_t c1,
                               bool headings) const {
  std::string text;
  r0 = std::max<std::int64_t>(r0, 0);
  c0 = std::max<std::int64_t>(c0, 0);
  r1 = std::min(r1, DisplayRows() - 1);
  c1 = std::min(c1, DisplayCols() - 1);
  if (r0 > r1 || c0 > c1) {
    return text;
  }
  if (headings) {
    text += CornerLabel();
    for (std::int64_t c = c0; c <= c1; ++c) {
      text += '\t' + ColLabel(c);
    }
    text += '\n';
  }
  for (std::int64_t r = r0; r <= r1; ++r) {
    if (headings) {
      text += RowLabel(r) + '\t';
    }
    for (std::int64_t c = c0; c <= c1; ++c) {
      if (c > c0) {
        text += '\t';
      }
      text += CellText(r, c);
    }
    text += '\n';
  }
  return text;
}

std::string HarGrid::CsvText() const {
  std::string text;
  if (kind_ == Kind::Empty) {
    return text;
  }
  if (kind_ == Kind::Strings) {
    for (std::int64_t r = 0; r < Rows(); ++r) {
      text += CsvField(head_->strings[static_cast<std::size_t>(r + 1)]) + '\n';
    }
    return text;
  }
  const bool integers = kind_ == Kind::Integers;
  auto number = [&](std::int64_t offset) {
    if (integers) {
      return Num(head_->intMatrix.Data()[offset]);
    }
    return FormatNumber(head_->values.Data()[offset], HarNumberFormat::Fixed, -1);
  };
  if (numDims_ <= 2) {
    const std::int64_t rows = sizes_[0];
    const std::int64_t cols = numDims_ == 2 ? sizes_[1] : 1;
    text += CsvField(numDims_ == 2 ? DimName(0) + " \\ " + DimName(1) : DimName(0));
    for (std::int64_t c = 0; c < cols; ++c) {
      text += ',' + CsvField(numDims_ == 2 ? ElementLabel(1, c) : TrimRight(head_->name));
    }
    text += '\n';
    for (std::int64_t r = 0; r < rows; ++r) {
      text += CsvField(ElementLabel(0, r));
      for (std::int64_t c = 0; c < cols; ++c) {
        text += ',' + number(r + c * rows);
      }
      text += '\n';
    }
    return text;
  }
  for (int d = 0; d < numDims_; ++d) {
    text += CsvField(DimName(d)) + ',';
  }
  text += CsvField(TrimRight(head_->name)) + '\n';
  std::int64_t count = 1;
  for (int d = 0; d < numDims_; ++d) {
    count *= sizes_[d];
  }
  std::array<std::int64_t, 7> index{};
  for (std::int64_t offset = 0; offset < count; ++offset) {
    for (int d = 0; d < numDims_; ++d) {
      text += CsvField(ElementLabel(d, index[d])) + ',';
    }
    text += number(offset) + '\n';
    for (int d = 0; d < numDims_ && ++index[d] == sizes_[d]; ++d) {
      index[d] = 0;
    }
  }
  return text;
}

} // namespace pelorin
