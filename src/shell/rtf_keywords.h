#pragma once

// The control words the rich-text reader acts on, each with what it does.

#include <cstdint>
#include <string_view>

namespace pelorin::rtf {

/// What a control word does; Unknown for every word the reader passes over.
enum class Kw : std::uint8_t {
  Unknown,
  SkipDest,
  FontTable,
  ColorTable,
  Object,
  Result,
  Plain,
  Bold,
  Italic,
  Underline,
  UnderlineNone,
  Strike,
  Hidden,
  Sub,
  Super,
  NoSuperSub,
  Font,
  FontSize,
  Color,
  Pard,
  AlignLeft,
  AlignCenter,
  AlignRight,
  AlignJustify,
  LeftIndent,
  RightIndent,
  FirstIndent,
  SpaceBefore,
  SpaceAfter,
  Par,
  Line,
  Tab,
  Cell,
  EmDash,
  EnDash,
  EmSpace,
  EnSpace,
  QmSpace,
  Bullet,
  LQuote,
  RQuote,
  LDblQuote,
  RDblQuote,
  Zwj,
  Zwnj,
  Unicode,
  UnicodeSkip,
  Bin,
  Ansi,
  Mac,
  Pc,
  Pca,
  AnsiCodePage,
  DefaultFont,
  FamilyNil,
  FamilySerif,
  FamilySans,
  FamilyMono,
  FamilyScript,
  FamilyDecor,
  FamilyTech,
  Charset,
  FontCodePage,
  Red,
  Green,
  Blue,
};

/// The action of a control word (its letters, without the backslash and number).
Kw Lookup(std::string_view word);

} // namespace pelorin::rtf
