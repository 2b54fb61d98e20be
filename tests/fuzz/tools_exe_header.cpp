// The readers of executable headers over arbitrary bytes: ELF and Windows headers, the resource table.
#include "tools/byte_source.h"
#include "tools/exe_header.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin;
  const MemoryBytes bytes(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string platform = PlatformText(bytes);
  if (platform.empty() || platform[0] != ' ') {
    __builtin_trap();
  }
  HasRcdataResource(bytes, "DVCLAL");
  IsElf(bytes);
  return 0;
}
