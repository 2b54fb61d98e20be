// The rich-text parser's control words carried out: formatting, special characters, code pages, and the
// reading of the font and colour tables.

#include "shell/rtf_code_pages.h"
#include "shell/rtf_parser_impl.h"

#include <algorithm>

namespace pelorin::rtf {

namespace {

// Lengths in twips beyond 22 inches are no layout of a description.
int Twips(int value) {
  return std::clamp(value, -31680, 31680);
}

} // namespace

void Parser::FontTableKeyword(Kw kw, int param) {
  Group& g = Top();
  Font* font = currentFont_ < tables_.fonts.size() ? &tables_.fonts[currentFont_] : nullptr;
  switch (kw) {
  case Kw::Font: {
    const auto [it, added] = tables_.fontIndex.try_emplace(param, tables_.fonts.size());
    if (added) {
      tables_.fonts.push_back(Font{param, {}, {}, 0});
    }
    currentFont_ = it->second;
    fontNameDone_ = false;
    cachedFont_ = -2;
    break;
  }
  case Kw::FamilySerif:
  case Kw::FamilySans:
  case Kw::FamilyMono:
  case Kw::FamilyScript:
  case Kw::FamilyDecor:
    if (font != nullptr) {
      font->generic = kw == Kw::FamilySerif    ? "serif"
                      : kw == Kw::FamilySans   ? "sans-serif"
                      : kw == Kw::FamilyMono   ? "monospace"
                      : kw == Kw::FamilyScript ? "cursive"
                                               : "fantasy";
    }
    break;
  case Kw::Charset:
    if (font != nullptr && font->codePage == 0) {
      font->codePage = CodePageOfCharset(param);
    }
    break;
  case Kw::FontCodePage:
    if (font != nullptr && param > 0) {
      font->codePage = param;
    }
    break;
  case Kw::SkipDest:
    g.dest = Dest::Skip;
    break;
  default:
    break;
  }
}

void Parser::ColorTableKeyword(Kw kw, int param) {
  Group& g = Top();
  const std::uint8_t value = static_cast<std::uint8_t>(std::clamp(param, 0, 255));
  switch (kw) {
  case Kw::Red:
    color_.red = value;
    color_.defined = true;
    break;
  case Kw::Green:
    color_.green = value;
    color_.defined = true;
    break;
  case Kw::Blue:
    color_.blue = value;
    color_.defined = true;
    break;
  case Kw::SkipDest:
    g.dest = Dest::Skip;
    break;
  default:
    break;
  }
}

void Parser::Keyword(Kw kw, bool hasParam, int param) {
  Group& g = Top();
  const bool on = !hasParam || param != 0;
  if (g.dest == Dest::FontTable) {
    FontTableKeyword(kw, param);
    return;
  }
  if (g.dest == Dest::ColorTable) {
    ColorTableKeyword(kw, param);
    return;
  }
  switch (kw) {
  case Kw::Unknown:
    break;
  case Kw::SkipDest:
    g.dest = Dest::Skip;
    break;
  case Kw::FontTable:
    g.dest = Dest::FontTable;
    currentFont_ = SIZE_MAX;
    break;
  case Kw::ColorTable:
    g.dest = Dest::ColorTable;
    color_ = Color{};
    break;
  case Kw::Object:
    g.dest = Dest::Object;
    break;
  case Kw::Result:
    if (g.dest == Dest::Object) {
      g.dest = Dest::Text;
    }
    break;
  case Kw::Plain:
    g.chars = CharFormat{};
    break;
  case Kw::Bold:
    g.chars.bold = on;
    break;
  case Kw::Italic:
    g.chars.italic = on;
    break;
  case Kw::Underline:
    g.chars.underline = on;
    break;
  case Kw::UnderlineNone:
    g.chars.underline = false;
    break;
  case Kw::Strike:
    g.chars.strike = on;
    break;
  case Kw::Hidden:
    g.chars.hidden = on;
    break;
  case Kw::Sub:
    g.chars.vertical = on ? -1 : 0;
    break;
  case Kw::Super:
    g.chars.vertical = on ? 1 : 0;
    break;
  case Kw::NoSuperSub:
    g.chars.vertical = 0;
    break;
  case Kw::Font:
    g.chars.font = std::max(0, param);
    break;
  case Kw::FontSize:
    g.chars.halfPoints = hasParam && param > 0 ? std::min(param, 3276) : 24;
    break;
  case Kw::Color:
    g.chars.color = std::max(0, param);
    break;
  case Kw::Pard:
    g.para = ParaFormat{};
    break;
  case Kw::AlignLeft:
    g.para.align = 'l';
    break;
  case Kw::AlignCenter:
    g.para.align = 'c';
    break;
  case Kw::AlignRight:
    g.para.align = 'r';
    break;
  case Kw::AlignJustify:
    g.para.align = 'j';
    break;
  case Kw::LeftIndent:
    g.para.leftIndent = Twips(param);
    break;
  case Kw::RightIndent:
    g.para.rightIndent = Twips(param);
    break;
  case Kw::FirstIndent:
    g.para.firstIndent = Twips(param);
    break;
  case Kw::SpaceBefore:
    g.para.spaceBefore = std::max(0, Twips(param));
    break;
  case Kw::SpaceAfter:
    g.para.spaceAfter = std::max(0, Twips(param));
    break;
  case Kw::Par:
    if (!g.chars.hidden) { // a hidden paragraph mark joins its paragraph to the next
      EndParagraph();
    }
    break;
  case Kw::Line:
    if (!g.chars.hidden) {
      Special(&Sink::LineBreak);
    }
    break;
  case Kw::Tab:
  case Kw::Cell:
    if (!g.chars.hidden) {
      Special(&Sink::Tab);
    }
    break;
  case Kw::EmDash:
    Char(0x2014);
    break;
  case Kw::EnDash:
    Char(0x2013);
    break;
  case Kw::EmSpace:
    Char(0x2003);
    break;
  case Kw::EnSpace:
    Char(0x2002);
    break;
  case Kw::QmSpace:
    Char(0x2005);
    break;
  case Kw::Bullet:
    Char(0x2022);
    break;
  case Kw::LQuote:
    Char(0x2018);
    break;
  case Kw::RQuote:
    Char(0x2019);
    break;
  case Kw::LDblQuote:
    Char(0x201C);
    break;
  case Kw::RDblQuote:
    Char(0x201D);
    break;
  case Kw::Zwj:
    Char(0x200D);
    break;
  case Kw::Zwnj:
    Char(0x200C);
    break;
  case Kw::Unicode:
    UnicodeChar(param);
    pendingSkip_ = g.unicodeSkip;
    break;
  case Kw::UnicodeSkip:
    g.unicodeSkip = std::clamp(param, 0, 255);
    break;
  case Kw::Ansi:
    docCodePage_ = 1252;
    break;
  case Kw::Mac:
    docCodePage_ = 10000;
    break;
  case Kw::Pc:
    docCodePage_ = 437;
    break;
  case Kw::Pca:
    docCodePage_ = 850;
    break;
  case Kw::AnsiCodePage:
    if (param > 0) {
      docCodePage_ = param;
    }
    break;
  case Kw::DefaultFont:
    tables_.defaultFont = std::max(0, param);
    break;
  default:
    break; // the font and colour tables' own words
  }
}

void Parser::FontTableByte(unsigned char byte) {
  if (currentFont_ >= tables_.fonts.size() || fontNameDone_) {
    return;
  }
  Font& font = tables_.fonts[currentFont_];
  if (byte == ';') {
    fontNameDone_ = true;
    return;
  }
  if (font.name.size() >= kMaxFontName) {
    return;
  }
  char32_t cp = byte;
  if (byte >= 0x80) {
    cp = UpperHalfTable(font.codePage != 0 ? font.codePage : docCodePage_)[byte - 0x80];
  }
  if (cp >= 0x20) {
    AppendUtf8(font.name, cp);
  }
}

void Parser::ColorTableByte(unsigned char byte) {
  if (byte == ';') {
    tables_.colors.push_back(color_);
    color_ = Color{};
  }
}

} // namespace pelorin::rtf
