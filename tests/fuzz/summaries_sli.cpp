// The solution summary reader over arbitrary bytes: the summary lines and the subtotal descriptions.
#include "summaries/line_source.h"
#include "summaries/sli_summary.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  {
    LineSource source(text);
    SLISummary summary;
    ErrorText error;
    ReadSLISummary(source, 40, summary, error);
  }
  {
    LineSource source(text);
    int numSubTotals = 0;
    std::vector<std::string> descriptions;
    ErrorText error;
    ReadNumSubTotals(source, numSubTotals, descriptions, error);
  }
  return 0;
}
