#pragma once

#include <QString>
#include <string>
#include <vector>

namespace pelorin {

/// The lines of a text box as one text, a line break between lines.
QString LinesToQString(const std::vector<std::string>& lines);

} // namespace pelorin
