#include "ui/qt_text.h"

#include "platform/strings.h"
#include "shell/captions.h"
#include "ui/lines_text.h"

#include <QStringList>

namespace pelorin {

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
