#include "ui/qt_text.h"

#include "shell/captions.h"
#include "ui/lines_text.h"

#include <QStringList>

namespace pelorin {

namespace {

bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    if (byte < 0x80) {
      length = 1;
    } else if (byte >= 0xC2 && byte <= 0xDF) {
      length = 2;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      length = 3;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      length = 4;
    } else {
      return false;
    }
    if (i + length > text.size()) {
      return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        return false;
      }
    }
    i += length;
  }
  return true;
}

} // namespace

QString ToQString(std::string_view text) {
  const auto size = static_cast<qsizetype>(text.size());
  return IsUtf8(text) ? QString::fromUtf8(text.data(), size) : QString::fromLatin1(text.data(), size);
}

QString MessageToQString(std::string_view text) {
  QString result = ToQString(text);
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return result;
}

std::string ToStdString(const QString& text) {
  return text.toStdString();
}

QString LinesToQString(const std::vector<std::string>& lines) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) {
    texts << ToQString(line);
  }
  return texts.join(QLatin1Char('\n'));
}

QColor ToQColor(const CaptionColour& colour) {
  return QColor::fromRgb(colour.known ? static_cast<QRgb>(colour.rgb) : 0u);
}

} // namespace pelorin
