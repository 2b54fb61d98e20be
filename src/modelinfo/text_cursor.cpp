#include "modelinfo/text_cursor.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace pelorin {

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

// Reads sign and digits from `text` at `pos`; true when at least one digit was read and the value fits.
bool ParseInt(std::string_view text, std::size_t& pos, int& value) {
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  std::int64_t magnitude = 0;
  const std::size_t firstDigit = pos;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    magnitude = magnitude * 10 + (text[pos] - '0');
    if (magnitude > std::int64_t{std::numeric_limits<int>::max()} + 1) {
      return false;
    }
    ++pos;
  }
  if (pos == firstDigit) {
    return false;
  }
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > std::numeric_limits<int>::max()) {
    return false;
  }
  value = static_cast<int>(signedValue);
  return true;
}

} // namespace

std::size_t TextCursor::LineEndLength(std::size_t at) const {
  if (at >= text_.size()) {
    return 0;
  }
  if (text_[at] == '\n') {
    return 1;
  }
  if (text_[at] == '\r') {
    if (at + 1 == text_.size()) {
      return 1;
    }
    if (text_[at + 1] == '\n') {
      return 2;
    }
  }
  return 0;
}

bool TextCursor::ReadLine(std::string_view& line, std::size_t maxLength) {
  if (AtEof()) {
    return false;
  }
  line = RestOfLine(maxLength);
  NextLine();
  return true;
}

std::string_view TextCursor::ReadField(std::size_t width) {
  const std::size_t start = pos_;
  const std::size_t size = text_.size();
  const std::size_t limit = width < size - start ? start + width : size;
  // Look one byte past the field so that a CR LF split by the field's end still ends the line at the CR.
  const std::size_t searchEnd = limit < size ? limit + 1 : size;
  const void* found = std::memchr(text_.data() + start, '\n', searchEnd - start);
  std::size_t end = limit;
  if (found != nullptr) {
    const std::size_t lf = static_cast<std::size_t>(static_cast<const char*>(found) - text_.data());
    end = lf > start && text_[lf - 1] == '\r' ? lf - 1 : lf;
  } else if (limit == size && size > start && text_[size - 1] == '\r') {
    end = size - 1;
  }
  pos_ = end < limit ? end : limit;
  return text_.substr(start, pos_ - start);
}

std::string_view TextCursor::RestOfLine(std::size_t maxLength) {
  const std::string_view field = ReadField(maxLength);
  // Whatever lies beyond the longest line is passed over, as a fixed-length line buffer would drop it.
  if (!AtLineEnd()) {
    ReadField(std::string_view::npos);
  }
  return field;
}

char TextCursor::ReadChar() {
  if (AtLineEnd()) {
    return ' ';
  }
  return text_[pos_++];
}

bool TextCursor::ReadInt(int& value) {
  while (!AtEof() && IsBlank(text_[pos_])) {
    ++pos_;
  }
  if (AtEof()) {
    return false;
  }
  return ParseInt(text_, pos_, value);
}

void TextCursor::NextLine() {
  ReadField(std::string_view::npos);
  pos_ += LineEndLength(pos_);
}

bool TextToInt(std::string_view text, int& value) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlank(text[first])) {
    ++first;
  }
  while (last > first && IsBlank(text[last - 1])) {
    --last;
  }
  const std::string_view trimmed = text.substr(first, last - first);
  std::size_t pos = 0;
  return ParseInt(trimmed, pos, value) && pos == trimmed.size();
}

} // namespace pelorin
