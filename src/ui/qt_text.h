#pragma once

#include <QColor>
#include <QString>
#include <string>
#include <string_view>

namespace pelorin {

struct CaptionColour;

/// A text of the core (bytes) as Qt shows it: UTF-8, or Latin-1 when the bytes are no UTF-8 (files written on
/// older systems).
QString ToQString(std::string_view text);
/// A message's text: as ToQString, with each CR LF (and lone CR) shown as one line break.
QString MessageToQString(std::string_view text);
/// A text typed or chosen in the window, as the core keeps it (UTF-8).
std::string ToStdString(const QString& text);
/// A caption file's colour (an unknown identifier is black).
QColor ToQColor(const CaptionColour& colour);

} // namespace pelorin
