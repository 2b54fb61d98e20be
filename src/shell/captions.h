#pragma once

#include "platform/error_text.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelorin {

/// A colour of a caption file: red, green and blue, or the default when the identifier was unknown.
struct CaptionColour {
  bool known = false;
  std::uint32_t rgb = 0; ///< 0xRRGGBB

  friend bool operator==(const CaptionColour&, const CaptionColour&) = default;
};

/// A colour identifier of a caption file, in any case, with or without the "cl" prefix:
///
/// | identifier                         | colour (0xRRGGBB)                                                 |
/// |------------------------------------|-------------------------------------------------------------------|
/// | Black Maroon Green Olive Navy      | 000000 800000 008000 808000 000080                                |
/// | Purple Teal Gray (Grey) Silver Red | 800080 008080 808080 C0C0C0 FF0000                                |
/// | Lime Yellow Blue Fuchsia Aqua      | 00FF00 FFFF00 0000FF FF00FF 00FFFF                                |
/// | White LtGray DkGray MedGray        | FFFFFF C0C0C0 808080 A0A0A4                                       |
/// | Cream SkyBlue MoneyGreen           | FFFBF0 A6CAF0 C0DCC0                                              |
/// | system colours, by name            | the desktop's standard light scheme: BtnFace F0F0F0, Window       |
/// |                                    | FFFFFF, WindowText 000000, Highlight 0078D7, HighlightText FFFFFF,|
/// |                                    | BtnShadow A0A0A0, BtnText 000000, InfoBk FFFFE1, GrayText 6D6D6D, |
/// |                                    | ... (all 30 in captions.cpp)                                      |
/// | a number: decimal, "$hex", "0xhex" | 0x00BBGGRR: blue in the high byte, red in the low one ($0000FF is |
/// |                                    | red); 0xFF0000nn (decimal -16777216 + nn): system colour nn       |
/// |                                    | (15 is BtnFace)                                                   |
///
/// Anything else (an unknown name, a palette number, text that is no number) is unknown: `known` is false and
/// the colour black.
CaptionColour ParseCaptionColour(std::string_view identifier);

/// One caption of the picture page: its text, relative size and colour.
struct CaptionRecord {
  bool read = false;
  double size = 0;
  CaptionColour colour;
  std::string text;

  friend bool operator==(const CaptionRecord&, const CaptionRecord&) = default;
};

/// What a caption file (ModelBase + ".tit") holds: the picture page's background colour and four captions.
struct ModelCaptions {
  CaptionColour background;
  std::array<CaptionRecord, 4> records;

  friend bool operator==(const ModelCaptions&, const ModelCaptions&) = default;
};

/// Reads a caption file: one line with the background colour, then four records of two lines each (a real
/// number, the relative size, followed by a colour; then the caption text). Reading stops at the first
/// problem; what was read so far is kept. Failures: "Cannot open file " + path + "[TxtOpen]", "Premature end
/// of file" +
/// "[ReadCaption]" or "Invalid size " + text + "[ReadCaption]", each followed by "[ReadCaptions]".
bool ReadCaptions(const std::string& path, ModelCaptions& captions, ErrorText& errorText);

/// A caption's font pixel height on a screen `screenHeight` pixels high: round(a x size x 0.5), a = height
/// div 43.
int CaptionFontHeight(int screenHeight, double size);
/// A caption label's height for a font pixel height: round(1.1 x that height).
int CaptionLabelHeight(int fontHeight);

} // namespace pelorin
