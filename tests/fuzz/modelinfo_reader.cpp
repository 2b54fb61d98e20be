// The model information reader over arbitrary bytes: every section, the file section, both passes, and the
// writer on what was read (whatever the writer accepts must read back).
#include "modelinfo/model_info_reader.h"
#include "modelinfo/model_info_writer.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  DataItemSet request = StandardRequest();
  request.Add(DataItem::Files);
  // Small flag budget: a declared size of a billion components must fail, not allocate.
  const SolInfoOptions options{true, true, 1 << 24};
  SolInfoRec info;
  ErrorText error;
  if (!GetModelInfoFromText(text, request, options, error, info)) {
    return 0;
  }
  AddMinInfoFromText(text, info, error);

  std::string written;
  if (!ModelInfoText(DescribeSolInfo(info), written, error)) {
    return 0;
  }
  SolInfoRec again;
  if (!GetModelInfoFromText(written, request, options, error, again) ||
      !AddMinInfoFromText(written, again, error)) {
    __builtin_trap();
  }
  return 0;
}
