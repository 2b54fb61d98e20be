// The last lines of a failing job's log over arbitrary text, as pelorin-solve prints them.
#include "app/run_files.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::size_t count = size == 0 ? 0 : data[0] % 50;
  std::size_t total = 0;
  for (const std::string& line : pelorin::LastLinesOfText(text, count)) {
    total += line.size() + 1;
  }
  // Every line comes from the text, with its line end.
  if (total > size + 1) {
    __builtin_trap();
  }
  return 0;
}
