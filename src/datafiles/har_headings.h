#pragma once

// A Header Array file's list of headers without their data, and single headers read from the place that list
// found them. Viewers list a file of hundreds of megabytes this way in one pass that seeks over every data
// record, then read only the header the user chooses.
//
//   HarHeadingList list;
//   ReadHarHeadings("big.har", list, err);                  // names, types, sets, long names, storage
//   std::unique_ptr<THeadRecz> head;
//   ReadHarHeaderAt("big.har", list.headings[3], head, err); // that header's values

#include "datafiles/har_data.h"
#include "platform/error_text.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// One header as its heading describes it: everything but the values.
struct HarHeading {
  std::shared_ptr<const THeadRecz> head; ///< the heading (no values)
  std::int64_t position = 0;             ///< where the header's description record starts in the file
};

/// The headers of a file in file order, bookkeeping headers included.
struct HarHeadingList {
  std::string fileName;
  std::vector<HarHeading> headings;
  bool isLahey = true;
  std::int64_t fileSize = 0;
};

/// Reads the heading of every header of a file, skipping over the data records. Fails with the reader's
/// message (as a whole-file read would give it) and " [ReadHarHeadings]"; the list is then empty.
bool ReadHarHeadings(const std::string& fileName, HarHeadingList& list, ErrorText& errorText);

/// Reads the whole header whose heading `heading` is, from its place in the file. A real header too large
/// for the memory available fails with the reason. Suffix " [ReadHarHeaderAt]".
bool ReadHarHeaderAt(const std::string& fileName, const HarHeading& heading, std::unique_ptr<THeadRecz>& head,
                     ErrorText& errorText);

/// The next heading after index `after` (-1: from the start, wrapping round) whose name starts with `text`,
/// ignoring case; failing that, the first whose long name contains it. -1 when none does.
int FindHeading(const HarHeadingList& list, std::string_view text, int after);
/// The cells of a heading's line in a header list: name, type, dimensions (set names, and the sizes in
/// brackets when they differ), long name, storage.
std::vector<std::string> HeadingColumns(const THeadRecz& head);

/// The number of values a header holds: strings of "1C", cells of "2I", values of a real array.
std::int64_t HeaderValueCount(const THeadRecz& head);
/// The type as stored: "1C", "2I", "2R", "RE", "RL", "DE", "DL", or "03 " + the version-3 code.
std::string HeaderTypeText(const THeadRecz& head);

} // namespace pelorin
