#pragma once

// The rich-text reader's parser and what it hands to its outputs (HTML, plain text). Internal to the shell
// library; the public routines are in rtf_reader.h.

#include "platform/error_text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pelorin::rtf {

/// The formatting of a run of characters.
struct CharFormat {
  int font = -1;       ///< font number; -1: the document's default font
  int halfPoints = 24; ///< font size in half points
  int color = 0;       ///< index into the colour table; 0: automatic
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool hidden = false;
  std::int8_t vertical = 0; ///< -1 subscript, 1 superscript

  friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

/// The formatting of a paragraph; lengths in twips (1/20 point).
struct ParaFormat {
  char align = 'l'; ///< 'l' left, 'c' centred, 'r' right, 'j' justified
  int leftIndent = 0;
  int rightIndent = 0;
  int firstIndent = 0; ///< of the first line, relative to the left indent (negative: hanging)
  int spaceBefore = 0;
  int spaceAfter = 0;

  friend bool operator==(const ParaFormat&, const ParaFormat&) = default;
};

/// One font of the font table.
struct Font {
  int number = 0;
  std::string name;    ///< UTF-8, without the closing ";"
  std::string generic; ///< the CSS generic family ("serif", "sans-serif", ...), or empty
  int codePage = 0;    ///< 0: the document's code page
};

/// One colour of the colour table; the first is usually "automatic" (not defined).
struct Color {
  bool defined = false;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

/// The tables a document declares, shared by the parser and its output.
struct Tables {
  std::vector<Font> fonts;
  std::unordered_map<int, std::size_t> fontIndex; ///< font number -> position in `fonts`
  std::vector<Color> colors;
  int defaultFont = 0; ///< \deffN

  /// The font of a number, or nullptr.
  const Font* FindFont(int number) const;
};

/// What the parser produces, in document order.
class Sink {
public:
  virtual ~Sink() = default;
  /// Text in UTF-8 without control characters.
  virtual void Text(std::string_view utf8, const CharFormat& format) = 0;
  virtual void Tab(const CharFormat& format) = 0;
  virtual void LineBreak(const CharFormat& format) = 0;
  /// A hyphen shown only where a line breaks.
  virtual void OptionalHyphen(const CharFormat& format) = 0;
  virtual void EndParagraph(const ParaFormat& format) = 0;
  /// Bytes produced so far; the parser stops a document whose output grows beyond bounds.
  virtual std::size_t Size() const = 0;
};

/// Parses rich text into the sink, filling `tables`. False with the reason, then `tag`, on text that is not
/// rich text, groups that do not balance or nest too deeply, numbers too large, binary data cut short, or
/// output beyond bounds.
bool Parse(std::string_view rtf, Sink& sink, Tables& tables, std::string_view tag, ErrorText& errorText);

} // namespace pelorin::rtf
