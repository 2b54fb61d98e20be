#pragma once

#include "tools/text_search.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace pelorin {

/// A TextBuffer over a string of bytes, with a caret and a selection: what the search rounds work on
/// without a window (and what the tests watch). Case is compared for ASCII letters; word characters are
/// letters, digits, "_" and every byte of a multi-byte character.
class StringTextBuffer : public TextBuffer {
public:
  explicit StringTextBuffer(std::string text = {}) : text_(std::move(text)) {}

  bool Find(std::string_view text, const FindOptions& options) override;
  void ReplaceSelection(std::string_view text) override;
  int CaretLine() const override;
  void RevealSelection() override { ++reveals_; }

  /// The whole text.
  const std::string& Text() const { return text_; }
  /// The selected text.
  std::string_view Selection() const {
    return std::string_view(text_).substr(selectionStart_, selectionEnd_ - selectionStart_);
  }
  std::size_t SelectionStart() const { return selectionStart_; }
  std::size_t SelectionEnd() const { return selectionEnd_; }
  /// Puts the caret at a byte offset (clamped to the text) with nothing selected.
  void SetCaret(std::size_t offset);
  /// The number of times the view was scrolled to a match on another line.
  int Reveals() const { return reveals_; }

private:
  bool MatchesAt(std::size_t at, std::string_view text, const FindOptions& options) const;

  std::string text_;
  std::size_t selectionStart_ = 0;
  std::size_t selectionEnd_ = 0;
  int reveals_ = 0;
};

/// True for the bytes a whole-word search takes as part of a word.
bool IsWordByte(char c);

} // namespace pelorin
