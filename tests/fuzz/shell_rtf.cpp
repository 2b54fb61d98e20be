#include "shell/rtf_reader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Reads arbitrary bytes as a model's rich-text description, both as HTML and as plain text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view rtf(reinterpret_cast<const char*>(data), size);
  std::string out;
  pelorin::ErrorText error;
  pelorin::RtfToHtml(rtf, out, error);
  pelorin::RtfToPlainText(rtf, out, error);
  return 0;
}
