#pragma once

#include <cstddef>
#include <string_view>

namespace pelorin {

/// Reads the fields of a text file held in memory by the rules of the suite's text files: a text field of
/// width N takes at most N characters and never crosses a line end; an integer skips blanks, tabs and line
/// ends first; lines end in LF or CR LF (a CR before the end of the text also ends a line). Views point into
/// the text, which must outlive the cursor.
class TextCursor {
public:
  /// Lines read whole are cut to this length; the rest of the line is passed over.
  static constexpr std::size_t kMaxLine = 255;

  explicit TextCursor(std::string_view text) : text_(text) {}

  /// True when no byte is left.
  bool AtEof() const { return pos_ >= text_.size(); }
  /// True at a line end or at the end of the text.
  bool AtLineEnd() const { return AtEof() || LineEndLength(pos_) > 0; }
  /// Bytes not yet read.
  std::size_t Remaining() const { return text_.size() - pos_; }

  /// Reads the rest of the current line (at most `maxLength` characters of it) and moves past its line end;
  /// false at the end of the text.
  bool ReadLine(std::string_view& line, std::size_t maxLength = kMaxLine);
  /// The next `width` characters of the current line, or fewer when the line ends first.
  std::string_view ReadField(std::size_t width);
  /// The rest of the current line, at most `maxLength` characters; the line end is not passed.
  std::string_view RestOfLine(std::size_t maxLength = kMaxLine);
  /// The next character of the current line; a blank at a line end (which is not passed).
  char ReadChar();
  /// Skips blanks, tabs, line ends and other control characters, then reads an optionally signed decimal
  /// integer that fits in 32 bits; it ends at the first character that is not a digit, which is left unread.
  bool ReadInt(int& value);
  /// Moves past the next line end, discarding what is left of the current line.
  void NextLine();

private:
  std::size_t LineEndLength(std::size_t at) const;

  std::string_view text_;
  std::size_t pos_ = 0;
};

/// Reads a whole text as one optionally signed 32-bit decimal integer after trimming blanks (the conversion
/// of a text field to a number); false when it is anything else.
bool TextToInt(std::string_view text, int& value);

} // namespace pelorin
