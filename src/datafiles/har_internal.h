#pragma once

// Pieces of the Header Array reader shared between its source files.

#include "datafiles/har_data.h"
#include "datafiles/record_file.h"

#include <cstdint>
#include <string>

namespace pelorin::har {

/// Reads a header's heading after its name record: description, set-and-element records, version-3
/// conversion, completion. `badDescription` tells that the description itself could not be read (the message
/// is then bare; otherwise it is already wrapped as "At header ...").
bool ReadHeading(LaheyFile& file, bool isFujitsu, const std::string& name, THeadRecz& head,
                 bool& badDescription, ErrorText& errorText);

/// Reads the next header's heading, passing over headers with unreadable descriptions when `skipBad` is set.
/// `found` is false when no header is left.
bool GetHeaderRecord(LaheyFile& file, bool isFujitsu, THeadRecz& head, bool& found, bool skipBad,
                     bool& someSkipped, ErrorText& errorText);

/// Reads a header's data records into it.
bool ReadHeaderData(LaheyFile& file, bool isFujitsu, THeadRecz& head, ErrorText& errorText);

/// Reads string records holding `expected` strings of `length` characters into a 1-based list.
bool ReadStringRecords(LaheyFile& file, bool isFujitsu, std::int64_t expected, std::int64_t length,
                       PStrVec& strings, ErrorText& errorText);

/// Whether a real header would not fit: a size above the maximum, or more memory than is available. `message`
/// then says why.
bool RealHeaderTooLarge(const THeadRecz& head, std::string& message);

} // namespace pelorin::har
