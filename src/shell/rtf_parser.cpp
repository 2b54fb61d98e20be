// The rich-text parser: groups, control words and text, read in one pass. It keeps the state of every open
// group (formatting, destination, Unicode fallback count) on a stack and hands text, breaks and paragraph
// ends to its sink. Destinations that hold no text of the description (style sheet, information, pictures,
// headers and footers, fields' instructions, anything marked "\*") are skipped whole.

#include "shell/rtf_parser.h"

#include "shell/rtf_code_pages.h"
#include "shell/rtf_parser_impl.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace pelorin::rtf {

namespace {

// Word processors nest a few dozen groups at most; deeper nesting is junk that would only cost memory.
constexpr std::size_t kMaxDepth = 1000;
// Control words have at most 32 letters and numbers at most 10 digits (a signed 32-bit value).
constexpr std::size_t kMaxWordLetters = 32;
constexpr int kMaxDigits = 10;

// Bytes that end a run of plain text: "\", "{", "}", control characters (DEL too) and bytes of a code
// page's upper half.
constexpr std::array<bool, 256> MakeTextStops() {
  std::array<bool, 256> stops{};
  for (int c = 0; c < 256; ++c) {
    stops[static_cast<std::size_t>(c)] = c < 0x20 || c >= 0x7F || c == '\\' || c == '{' || c == '}';
  }
  return stops;
}
constexpr std::array<bool, 256> kTextStops = MakeTextStops();

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

} // namespace

bool Parser::Run() {
  std::size_t start = 0;
  if (rtf_.starts_with("\xEF\xBB\xBF")) {
    start = 3;
  }
  while (start < rtf_.size() &&
         (rtf_[start] == ' ' || rtf_[start] == '\t' || rtf_[start] == '\r' || rtf_[start] == '\n')) {
    ++start;
  }
  if (rtf_.substr(start, 5) != "{\\rtf") {
    return Error("Not rich text: it does not start with {\\rtf");
  }
  groups_.reserve(64);
  text_.reserve(4096);
  // The text starts with "{", so a group is open from here until the document's own group ends.
  pos_ = start;
  const std::size_t n = rtf_.size();
  while (pos_ < n) {
    const char c = rtf_[pos_];
    if (c == '{') {
      if (groups_.size() >= kMaxDepth) {
        return Error("Rich text groups nested deeper than " + std::to_string(kMaxDepth) + " levels" + At());
      }
      groups_.push_back(groups_.empty() ? Group{} : groups_.back());
      pendingSkip_ = 0;
      ++pos_;
    } else if (c == '}') {
      groups_.pop_back();
      pendingSkip_ = 0;
      ++pos_;
      if (groups_.empty()) {
        break; // the document's own group has ended; whatever follows is not part of it
      }
    } else if (c == '\\') {
      if (!ControlWord()) {
        return false;
      }
    } else if (Top().dest == Dest::Skip || Top().dest == Dest::Object) {
      SkippedRun();
    } else {
      TextRun();
    }
    if (sink_.Size() + text_.size() > maxOutput_) {
      return Error("Rich text of " + std::to_string(rtf_.size()) + " bytes turns into more than " +
                   std::to_string(maxOutput_) + " bytes of text" + At());
    }
  }
  if (!groups_.empty()) {
    return Error("Rich text groups do not balance: " + std::to_string(groups_.size()) +
                 (groups_.size() == 1 ? " group is" : " groups are") + " not closed at the end");
  }
  if (pendingHigh_ != 0) {
    // A high surrogate without its low half at the very end; no group is open to show it in any more.
    AppendUtf8(text_, 0xFFFD);
    paragraphOpen_ = true;
  }
  Flush();
  if (paragraphOpen_) {
    sink_.EndParagraph(lastPara_);
  }
  return true;
}

bool Parser::ControlWord() {
  const std::size_t n = rtf_.size();
  ++pos_; // the backslash
  if (pos_ >= n) {
    return true;
  }
  if (!IsLetter(rtf_[pos_])) {
    return ControlSymbol();
  }
  const std::size_t begin = pos_;
  while (pos_ < n && IsLetter(rtf_[pos_])) {
    ++pos_;
  }
  const std::string_view word = rtf_.substr(begin, std::min(pos_ - begin, kMaxWordLetters + 1));
  bool hasParam = false;
  int param = 0;
  const bool negative = pos_ + 1 < n && rtf_[pos_] == '-' && IsDigit(rtf_[pos_ + 1]);
  if (negative || (pos_ < n && IsDigit(rtf_[pos_]))) {
    if (negative) {
      ++pos_;
    }
    std::int64_t value = 0;
    int digits = 0;
    while (pos_ < n && IsDigit(rtf_[pos_])) {
      if (++digits > kMaxDigits) {
        return Error("A number in the rich text is too large" + At());
      }
      value = value * 10 + (rtf_[pos_] - '0');
      ++pos_;
    }
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX) {
      return Error("A number in the rich text is too large" + At());
    }
    hasParam = true;
    param = static_cast<int>(value);
  }
  if (pos_ < n && rtf_[pos_] == ' ') {
    ++pos_; // the space that ends a control word belongs to it
  }
  const Kw kw = word.size() > kMaxWordLetters ? Kw::Unknown : Lookup(word);
  if (kw == Kw::Bin) {
    // Binary data: exactly that many bytes, whatever they hold.
    if (hasParam && param < 0) {
      return Error("Binary data of a negative length" + At());
    }
    const std::size_t length = hasParam ? static_cast<std::size_t>(param) : 0;
    if (length > n - pos_) {
      return Error("Binary data runs past the end of the rich text" + At());
    }
    pos_ += length;
    Consumed();
    return true;
  }
  if (Consumed()) {
    return true;
  }
  const Dest dest = Top().dest;
  if (dest == Dest::Skip || (dest == Dest::Object && kw != Kw::Result)) {
    return true;
  }
  Keyword(kw, hasParam, param);
  return true;
}

bool Parser::ControlSymbol() {
  const char c = rtf_[pos_++];
  if (c == '\'') {
    const int high = pos_ < rtf_.size() ? HexValue(rtf_[pos_]) : -1;
    const int low = pos_ + 1 < rtf_.size() ? HexValue(rtf_[pos_ + 1]) : -1;
    if (high < 0 || low < 0) {
      Consumed();
      return true; // not a byte: nothing to show
    }
    pos_ += 2;
    if (!Consumed()) {
      Byte(static_cast<unsigned char>(high * 16 + low));
    }
    return true;
  }
  if (Consumed()) {
    return true;
  }
  if (c == '*') {
    Top().dest = Dest::Skip; // an ignorable destination: nothing in it is text of the description
    return true;
  }
  const Dest dest = Top().dest;
  if (dest == Dest::Skip || dest == Dest::Object) {
    return true;
  }
  switch (c) {
  case '\\':
  case '{':
  case '}':
    Byte(static_cast<unsigned char>(c));
    break;
  case '~':
    Char(0x00A0);
    break;
  case '_':
    Char(0x2011);
    break;
  case '-':
    if (dest == Dest::Text && !Top().chars.hidden) {
      Special(&Sink::OptionalHyphen);
    }
    break;
  case '\r':
  case '\n':
    Keyword(Kw::Par, false, 0);
    break;
  case '\t':
    Keyword(Kw::Tab, false, 0);
    break;
  default:
    break; // "\|", "\:" and the like mark index entries and formulas
  }
  return true;
}

bool Parser::Consumed() {
  if (pendingSkip_ <= 0) {
    return false;
  }
  --pendingSkip_;
  return true;
}

void Parser::SkippedRun() {
  const std::size_t n = rtf_.size();
  while (pos_ < n && rtf_[pos_] != '\\' && rtf_[pos_] != '{' && rtf_[pos_] != '}') {
    ++pos_;
  }
}

void Parser::TextRun() {
  const std::size_t n = rtf_.size();
  const Dest dest = Top().dest;
  while (pos_ < n) {
    const unsigned char c = static_cast<unsigned char>(rtf_[pos_]);
    if (c == '\\' || c == '{' || c == '}') {
      return;
    }
    if (!kTextStops[c] && dest == Dest::Text && pendingSkip_ == 0 && !pendingTrail_ && pendingHigh_ == 0) {
      // The common case: a run of printable ASCII in one format, taken whole.
      const std::size_t begin = pos_;
      while (pos_ < n && !kTextStops[static_cast<unsigned char>(rtf_[pos_])]) {
        ++pos_;
      }
      if (!Top().chars.hidden) {
        if (Top().chars != textFormat_) {
          Flush();
          textFormat_ = Top().chars;
        }
        text_.append(rtf_.substr(begin, pos_ - begin));
        paragraphOpen_ = true;
        lastPara_ = Top().para;
      }
      continue;
    }
    ++pos_;
    if (c == '\r' || c == '\n') {
      continue; // line ends in the file are not line ends of the text
    }
    if (Consumed()) {
      continue;
    }
    if (c == '\t') {
      Keyword(Kw::Tab, false, 0);
    } else if (c >= 0x20) {
      Byte(c);
    }
  }
}

void Parser::Byte(unsigned char byte) {
  switch (Top().dest) {
  case Dest::FontTable:
    FontTableByte(byte);
    return;
  case Dest::ColorTable:
    ColorTableByte(byte);
    return;
  case Dest::Text:
    break;
  default:
    return;
  }
  if (pendingTrail_) {
    pendingTrail_ = false; // the second byte of a character already shown as unreadable
    return;
  }
  if (byte < 0x80) {
    Char(byte);
    return;
  }
  ResolveCodePage();
  if (codePage_ == kSymbolCodePage) {
    if (const char32_t glyph = SymbolGlyph(byte)) {
      Char(glyph);
      return;
    }
  }
  if (IsLeadByte(codePage_, byte)) {
    pendingTrail_ = true;
    Char(0xFFFD);
    return;
  }
  Char(upperHalf_[byte - 0x80]);
}

void Parser::ResolveCodePage() {
  const int font = Top().chars.font < 0 ? tables_.defaultFont : Top().chars.font;
  if (font == cachedFont_ && docCodePage_ == cachedDocCodePage_ && upperHalf_ != nullptr) {
    return;
  }
  cachedFont_ = font;
  cachedDocCodePage_ = docCodePage_;
  const Font* entry = tables_.FindFont(font);
  codePage_ = entry != nullptr && entry->codePage != 0 ? entry->codePage : docCodePage_;
  upperHalf_ = UpperHalfTable(codePage_);
}

void Parser::UnicodeChar(int param) {
  if (Top().chars.hidden) {
    return;
  }
  char32_t cp = static_cast<char32_t>(param < 0 ? param + 65536 : param);
  if (param < -32768 || cp > 0x10FFFF) {
    cp = 0xFFFD;
  }
  // Symbol fonts' glyphs written as Unicode land in the private area U+F020 to U+F0FF.
  if (cp >= 0xF020 && cp <= 0xF0FF) {
    const unsigned char byte = static_cast<unsigned char>(cp - 0xF000);
    const char32_t glyph = SymbolGlyph(byte);
    cp = glyph != 0 ? glyph : byte < 0x80 ? byte : UpperHalfTable(1252)[byte - 0x80];
  }
  if (cp >= 0xD800 && cp <= 0xDBFF) {
    if (pendingHigh_ != 0) {
      pendingHigh_ = 0;
      Char(0xFFFD);
    }
    pendingHigh_ = cp;
    return;
  }
  if (cp >= 0xDC00 && cp <= 0xDFFF) {
    if (pendingHigh_ == 0) {
      Char(0xFFFD);
      return;
    }
    const char32_t high = pendingHigh_;
    pendingHigh_ = 0;
    Char(0x10000 + ((high - 0xD800) << 10) + (cp - 0xDC00));
    return;
  }
  Char(cp);
}

void Parser::Char(char32_t cp) {
  const Group& g = Top();
  if (g.dest == Dest::FontTable || g.dest == Dest::ColorTable) {
    if (cp < 0x80) {
      Byte(static_cast<unsigned char>(cp));
    }
    return;
  }
  if (g.dest != Dest::Text || g.chars.hidden) {
    return;
  }
  if (pendingHigh_ != 0 && (cp < 0xDC00 || cp > 0xDFFF)) {
    pendingHigh_ = 0; // a high surrogate without its low half
    Char(0xFFFD);
  }
  if (cp == '\t') {
    Special(&Sink::Tab);
    return;
  }
  if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) {
    return; // control characters are not text
  }
  if (g.chars != textFormat_) {
    Flush();
    textFormat_ = g.chars;
  }
  AppendUtf8(text_, cp);
  paragraphOpen_ = true;
  lastPara_ = g.para;
}

void Parser::Flush() {
  if (!text_.empty()) {
    sink_.Text(text_, textFormat_);
    text_.clear();
  }
}

void Parser::Special(void (Sink::*event)(const CharFormat&)) {
  Flush();
  (sink_.*event)(Top().chars);
  paragraphOpen_ = true;
  lastPara_ = Top().para;
}

void Parser::EndParagraph() {
  Flush();
  sink_.EndParagraph(Top().para);
  paragraphOpen_ = false;
}

const Font* Tables::FindFont(int number) const {
  const auto it = fontIndex.find(number);
  return it == fontIndex.end() ? nullptr : &fonts[it->second];
}

bool Parse(std::string_view rtf, Sink& sink, Tables& tables, std::string_view tag, ErrorText& errorText) {
  Parser parser(rtf, sink, tables, tag, errorText);
  return parser.Run();
}

} // namespace pelorin::rtf
