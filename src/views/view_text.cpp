#include "views/view_text.h"

#include "platform/strings.h"

namespace pelorin {

QString ViewText(std::string_view text) {
  const auto size = static_cast<qsizetype>(text.size());
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      return IsUtf8(text) ? QString::fromUtf8(text.data(), size) : QString::fromLatin1(text.data(), size);
    }
  }
  return QString::fromLatin1(text.data(), size);
}

} // namespace pelorin
