// The log tail over arbitrary text: line choice, selection and the notice lines.
#include "results/log_tail.h"
#include "summaries/line_source.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  pelorin::LineSource source(text);
  pelorin::LogMemo memo;
  pelorin::FillLogMemo(source, memo);
  return 0;
}
