// The executable-signature scan over arbitrary bytes: platform text, block search and classification.
#include "tools/byte_source.h"
#include "tools/exe_signature.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin;
  const MemoryBytes bytes(std::string_view(reinterpret_cast<const char*>(data), size));
  const ExeSignature signature = ScanExecutable(bytes);
  if (signature.compilerClass < 0 || signature.compilerClass > 8 || signature.flavour.empty()) {
    __builtin_trap();
  }
  return 0;
}
