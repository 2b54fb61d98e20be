#include "shell/captions.h"

#include "platform/strings.h"
#include "platform/text_file.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace pelorin {

namespace {

// The colour table's names, with their red-green-blue values.
constexpr std::pair<std::string_view, std::uint32_t> kColourNames[] = {
    {"black", 0x000000},  {"maroon", 0x800000}, {"green", 0x008000},   {"olive", 0x808000},
    {"navy", 0x000080},   {"purple", 0x800080}, {"teal", 0x008080},    {"gray", 0x808080},
    {"grey", 0x808080},   {"silver", 0xC0C0C0}, {"red", 0xFF0000},     {"lime", 0x00FF00},
    {"yellow", 0xFFFF00}, {"blue", 0x0000FF},   {"fuchsia", 0xFF00FF}, {"aqua", 0x00FFFF},
    {"white", 0xFFFFFF},  {"cream", 0xFFFBF0},  {"skyblue", 0xA6CAF0}, {"moneygreen", 0xC0DCC0},
};

bool ParseUnsigned(std::string_view text, int base, std::uint32_t& value) {
  if (text.empty()) {
    return false;
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

} // namespace

CaptionColour ParseCaptionColour(std::string_view identifier) {
  const std::string text = LowerCase(Trim(identifier));
  std::uint32_t value = 0;
  if (!text.empty() && text.front() == '$' && ParseUnsigned(std::string_view(text).substr(1), 16, value)) {
    return {value <= 0xFFFFFF, FromTableOrder(value & 0xFFFFFF)};
  }
  if (text.starts_with("0x") && ParseUnsigned(std::string_view(text).substr(2), 16, value)) {
    return {value <= 0xFFFFFF, FromTableOrder(value & 0xFFFFFF)};
  }
  if (ParseUnsigned(text, 10, value)) {
    return {value <= 0xFFFFFF, FromTableOrder(value & 0xFFFFFF)};
  }
  const std::string_view name =
      text.starts_with("cl") ? std::string_view(text).substr(2) : std::string_view(text);
  for (const auto& [known, rgb] : kColourNames) {
    if (name == known) {
      return {true, rgb};
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
