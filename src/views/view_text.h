#pragma once

#include <QString>
#include <string_view>

namespace pelorin {

/// A text of the core (bytes) as a view shows it: UTF-8, or Latin-1 when the bytes are not UTF-8 (labels
/// written on older systems). Plain ASCII, the usual case, takes the short road.
QString ViewText(std::string_view text);

} // namespace pelorin
