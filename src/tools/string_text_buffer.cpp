#include "tools/string_text_buffer.h"

#include <algorithm>

namespace pelorin {

namespace {
char FoldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

bool IsWordByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u >= 0x80;
}

bool StringTextBuffer::MatchesAt(std::size_t at, std::string_view text, const FindOptions& options) const {
  if (at + text.size() > text_.size()) {
    return false;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char have = text_[at + i];
    if (options.matchCase ? have != text[i] : FoldCase(have) != FoldCase(text[i])) {
      return false;
    }
  }
  if (options.wholeWord) {
    if (at > 0 && IsWordByte(text_[at - 1])) {
      return false;
    }
    const std::size_t end = at + text.size();
    if (end < text_.size() && IsWordByte(text_[end])) {
      return false;
    }
  }
  return true;
}

bool StringTextBuffer::Find(std::string_view text, const FindOptions& options) {
  if (text.empty() || text.size() > text_.size()) {
    return false;
  }
  const std::size_t last = text_.size() - text.size();
  if (options.up) {
    for (std::size_t at = std::min(selectionStart_, last + 1); at-- > 0;) {
      if (MatchesAt(at, text, options)) {
        selectionStart_ = at;
        selectionEnd_ = at + text.size();
        return true;
      }
    }
    return false;
  }
  for (std::size_t at = selectionEnd_; at <= last; ++at) {
    if (MatchesAt(at, text, options)) {
      selectionStart_ = at;
      selectionEnd_ = at + text.size();
      return true;
    }
  }
  return false;
}

void StringTextBuffer::ReplaceSelection(std::string_view text) {
  text_.replace(selectionStart_, selectionEnd_ - selectionStart_, text);
  selectionEnd_ = selectionStart_ + text.size();
}

int StringTextBuffer::CaretLine() const {
  return 1 + static_cast<int>(
                 std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(selectionEnd_), '\n'));
}

void StringTextBuffer::SetCaret(std::size_t offset) {
  selectionStart_ = selectionEnd_ = std::min(offset, text_.size());
}

} // namespace pelorin
