#pragma once

// The rich-text parser's own state, shared by its two source files: rtf_parser.cpp reads groups, control
// words and text; rtf_control_words.cpp carries out the control words and reads the font and colour tables.

#include "shell/rtf_keywords.h"
#include "shell/rtf_parser.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::rtf {

// A font name longer than this is no name.
inline constexpr std::size_t kMaxFontName = 256;

/// Where the text of a group goes: shown, skipped, into the font or colour table, or (in an embedded object)
/// skipped up to the object's result.
enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable, Object };

/// The state of one open group; a new group starts as a copy of the one around it.
struct Group {
  CharFormat chars;
  ParaFormat para;
  Dest dest = Dest::Text;
  int unicodeSkip = 1; // \ucN: bytes of fallback after each \uN
};

/// Appends a character as UTF-8.
inline void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

/// Reads one document into a sink, in one pass over the text.
class Parser {
public:
  Parser(std::string_view rtf, Sink& sink, Tables& tables, std::string_view tag, ErrorText& errorText)
      : rtf_(rtf), sink_(sink), tables_(tables), tag_(tag), errorText_(errorText),
        maxOutput_(std::max<std::size_t>(64u << 20, rtf.size() * 16)) {}

  bool Run();

private:
  bool Error(const std::string& message) { return Fail(errorText_, message, tag_); }
  std::string At() const { return " at byte " + std::to_string(pos_ + 1); }

  bool ControlWord();
  bool ControlSymbol();
  void Keyword(Kw kw, bool hasParam, int param);
  void FontTableKeyword(Kw kw, int param);
  void ColorTableKeyword(Kw kw, int param);
  void TextRun();
  void SkippedRun();
  void Byte(unsigned char byte);
  void Char(char32_t cp);
  void UnicodeChar(int param);
  void FontTableByte(unsigned char byte);
  void ColorTableByte(unsigned char byte);
  void Flush();
  void EndParagraph();
  void Special(void (Sink::*event)(const CharFormat&));
  bool Consumed(); // one fallback character of a \uN taken, if any are pending
  void ResolveCodePage();

  Group& Top() { return groups_.back(); }

  std::string_view rtf_;
  Sink& sink_;
  Tables& tables_;
  std::string_view tag_;
  ErrorText& errorText_;
  // Markup makes HTML larger than its rich text, but a document whose output outgrows it many times over
  // (nothing but paragraph marks, say) is junk, and is stopped before it takes the memory.
  std::size_t maxOutput_;

  std::size_t pos_ = 0;
  std::vector<Group> groups_;
  int pendingSkip_ = 0;
  char32_t pendingHigh_ = 0;
  bool pendingTrail_ = false;
  int docCodePage_ = 1252;

  // The text gathered for the sink, all in one format.
  std::string text_;
  CharFormat textFormat_;
  bool paragraphOpen_ = false;
  ParaFormat lastPara_;

  // The code page of the current font, looked up again only when the font changes.
  int cachedFont_ = -2;
  int cachedDocCodePage_ = 0;
  int codePage_ = 1252;
  const char16_t* upperHalf_ = nullptr;

  // The font table entry being read, and the colour being read.
  std::size_t currentFont_ = SIZE_MAX;
  bool fontNameDone_ = false;
  Color color_;
};

} // namespace pelorin::rtf
