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

/// A colour identifier: a name ("Blue", "clBlue", "navy", any case), a decimal number or "$BBGGRR" /
/// "0xBBGGRR" in the colour table's byte order (blue, green, red). Unknown identifiers give the default
/// colour.
CaptionColour ParseCaptionColour(std::string_view identifier);

/// One caption of the picture page: its text, relative size and colour.
struct CaptionRecord {
  bool read = false;
  double size = 0;
  CaptionColour colour;
  std::string text;
};

/// What a caption file (ModelBase + ".tit") holds: the picture page's background colour and four captions.
struct ModelCaptions {
  CaptionColour background;
  std::array<CaptionRecord, 4> records;
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
