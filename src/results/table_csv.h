#pragma once

// The Results page's tables as CSV files (RFC 4180: fields separated by commas, lines ending in CR LF, a
// field holding a comma, a double quote or a line break quoted with its quotes doubled), in UTF-8.

#include <string>

namespace pelorin {

struct DataView;
struct SimTab;

/// A data view as CSV: the heading line (corner label and column labels), then one line per row (its label
/// and values); labels without the blanks around them. A value is written at full precision, as the shortest
/// text that reads back as the same single-precision number, with "." as decimal point whatever the screen
/// uses; a missing result is an empty field.
std::string DataViewCsv(const DataView& view);
/// A table's texts as CSV, as shown, headings included.
std::string SimTabCsv(const SimTab& table);
/// One field as CSV writes it: without the blanks around it, texts that are not UTF-8 taken as Latin-1 and
/// converted.
void AppendCsvField(std::string& csv, const std::string& field);

} // namespace pelorin
