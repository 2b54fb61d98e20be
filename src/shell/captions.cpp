#include "shell/captions.h"

#include "platform/strings.h"
#include "platform/text_file.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace pelorin {

namespace {

// The colour table's names, with their red-green-blue values (see the table in captions.h).
constexpr std::pair<std::string_view, std::uint32_t> kColourNames[] = {
    {"black", 0x000000},  {"maroon", 0x800000},  {"green", 0x008000},      {"olive", 0x808000},
    {"navy", 0x000080},   {"purple", 0x800080},  {"teal", 0x008080},       {"gray", 0x808080},
    {"grey", 0x808080},   {"silver", 0xC0C0C0},  {"red", 0xFF0000},        {"lime", 0x00FF00},
    {"yellow", 0xFFFF00}, {"blue", 0x0000FF},    {"fuchsia", 0xFF00FF},    {"aqua", 0x00FFFF},
    {"white", 0xFFFFFF},  {"ltgray", 0xC0C0C0},  {"dkgray", 0x808080},     {"medgray", 0xA0A0A4},
    {"cream", 0xFFFBF0},  {"skyblue", 0xA6CAF0}, {"moneygreen", 0xC0DCC0},
};

// The desktop's system colours by their number in the table, named, with the values of its standard light
// scheme. Caption files name them ("clBtnFace") or write their number with the high byte set ($FF00000F).
struct SystemColour {
  int index;
  std::string_view name;
  std::uint32_t rgb;
};
constexpr SystemColour kSystemColours[] = {
    {0, "scrollbar", 0xC8C8C8},
    {1, "background", 0x000000},
    {2, "activecaption", 0x99B4D1},
    {3, "inactivecaption", 0xBFCDDB},
    {4, "menu", 0xF0F0F0},
    {5, "window", 0xFFFFFF},
    {6, "windowframe", 0x646464},
    {7, "menutext", 0x000000},
    {8, "windowtext", 0x000000},
    {9, "captiontext", 0x000000},
    {10, "activeborder", 0xB4B4B4},
    {11, "inactiveborder", 0xF4F7FC},
    {12, "appworkspace", 0xABABAB},
    {13, "highlight", 0x0078D7},
    {14, "highlighttext", 0xFFFFFF},
    {15, "btnface", 0xF0F0F0},
    {16, "btnshadow", 0xA0A0A0},
    {17, "graytext", 0x6D6D6D},
    {18, "btntext", 0x000000},
    {19, "inactivecaptiontext", 0x000000},
    {20, "btnhighlight", 0xFFFFFF},
    {21, "3ddkshadow", 0x696969},
    {22, "3dlight", 0xE3E3E3},
    {23, "infotext", 0x000000},
    {24, "infobk", 0xFFFFE1},
    {26, "hotlight", 0x0066CC},
    {27, "gradientactivecaption", 0xB9D1EA},
    {28, "gradientinactivecaption", 0xD7E4F2},
    {29, "menuhighlight", 0x3399FF},
    {30, "menubar", 0xF0F0F0},
};

bool ParseNumber(std::string_view text, int base, std::uint32_t& value) {
  if (text.empty()) {
    return false;
  }
  // Decimal numbers may be negative: the system colours are written as such (-16777201 is $FF00000F).
  if (base == 10 && text.front() == '-') {
    std::int64_t signedValue = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), signedValue, 10);
    if (ec != std::errc() || ptr != text.data() + text.size() ||
        signedValue < std::numeric_limits<std::int32_t>::min()) {
      return false;
    }
    value = static_cast<std::uint32_t>(static_cast<std::int32_t>(signedValue));
    return true;
  }
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return ec == std::errc() && ptr == text.data() + text.size();
}

// The table stores blue in the high byte and red in the low one.
std::uint32_t FromTableOrder(std::uint32_t value) {
  return ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
}

bool ReadRecordLine(TextFile& file, std::string& line, ErrorText& errorText) {
  if (!file.ReadLine(line)) {
    return Fail(errorText, "Premature end of file", "[ReadCaption]");
  }
  return true;
}

bool ReadCaption(TextFile& file, CaptionRecord& record, ErrorText& errorText) {
  std::string line;
  if (!ReadRecordLine(file, line, errorText)) {
    return false;
  }
  const std::string trimmed = Trim(line);
  const std::size_t end = trimmed.find_first_of(" \t");
  const std::string number = trimmed.substr(0, end);
  double size = 0;
  const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), size);
  if (number.empty() || ec != std::errc() || ptr != number.data() + number.size() || !std::isfinite(size)) {
    return Fail(errorText, "Invalid size " + number, "[ReadCaption]");
  }
  const CaptionColour colour = ParseCaptionColour(end == std::string::npos ? "" : trimmed.substr(end));
  std::string text;
  if (!ReadRecordLine(file, text, errorText)) {
    return false;
  }
  record = CaptionRecord{true, size, colour, text};
  return true;
}

// A number of the colour table: 0x00BBGGRR is a colour, 0xFF0000nn the system colour nn; anything else
// (palette entries) is unknown.
CaptionColour FromTableNumber(std::uint32_t value) {
  if (value <= 0xFFFFFF) {
    return {true, FromTableOrder(value)};
  }
  if ((value & 0xFFFFFF00u) == 0xFF000000u) {
    for (const SystemColour& colour : kSystemColours) {
      if (static_cast<std::uint32_t>(colour.index) == (value & 0xFF)) {
        return {true, colour.rgb};
      }
    }
  }
  return {};
}

} // namespace

CaptionColour ParseCaptionColour(std::string_view identifier) {
  const std::string text = LowerCase(Trim(identifier));
  std::uint32_t value = 0;
  if (!text.empty() && text.front() == '$') {
    return ParseNumber(std::string_view(text).substr(1), 16, value) ? FromTableNumber(value)
                                                                    : CaptionColour{};
  }
  if (text.starts_with("0x")) {
    return ParseNumber(std::string_view(text).substr(2), 16, value) ? FromTableNumber(value)
                                                                    : CaptionColour{};
  }
  if (ParseNumber(text, 10, value)) {
    return FromTableNumber(value);
  }
  const std::string_view name =
      text.starts_with("cl") ? std::string_view(text).substr(2) : std::string_view(text);
  for (const auto& [known, rgb] : kColourNames) {
    if (name == known) {
      return {true, rgb};
    }
  }
  for (const SystemColour& colour : kSystemColours) {
    if (name == colour.name) {
      return {true, colour.rgb};
    }
  }
  return {};
}

bool ReadCaptions(const std::string& path, ModelCaptions& captions, ErrorText& errorText) {
  captions = ModelCaptions{};
  TextFile file;
  if (!TxtOpen(file, path, errorText)) {
    return AddTag(errorText, "[ReadCaptions]");
  }
  std::string line;
  if (!ReadRecordLine(file, line, errorText)) {
    return AddTag(errorText, "[ReadCaptions]");
  }
  captions.background = ParseCaptionColour(line);
  for (CaptionRecord& record : captions.records) {
    if (!ReadCaption(file, record, errorText)) {
      return AddTag(errorText, "[ReadCaptions]");
    }
  }
  return true;
}

int CaptionFontHeight(int screenHeight, double size) {
  const int a = screenHeight / 43;
  const double height = std::round(a * size * 0.5);
  return height > 100000 || !(height > 0) ? 0 : static_cast<int>(height);
}

int CaptionLabelHeight(int fontHeight) {
  return static_cast<int>(std::lround(1.1 * fontHeight));
}

} // namespace pelorin
