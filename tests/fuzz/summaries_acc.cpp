// The accuracy-log reader over arbitrary bytes. The first byte picks the number of updated data files and the
// reading options; the rest is the log.
#include "summaries/acc_summary.h"
#include "summaries/line_source.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin;
  if (size == 0) {
    return 0;
  }
  const int options = data[0];
  const std::string_view log(reinterpret_cast<const char*>(data + 1), size - 1);
  LineSource source(log);
  auto record = std::make_unique<AccSummaryRec>();
  ErrorText error;
  ReadAccSummary(source, options % 3, 1 + (options / 3) % 4, (options & 64) != 0, (options & 128) != 0,
                 *record, error);
  return 0;
}
