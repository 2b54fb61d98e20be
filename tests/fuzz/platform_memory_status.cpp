#include "platform/memory_status.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Reads arbitrary bytes as /proc/meminfo and as /proc/self/cgroup (against a mount that does not exist, so
// every limit file is missing).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)pelorin::MemInfoAvailable(text);
  if (pelorin::CgroupMemoryRoom(text, "/nonexistent-pelorin-cgroup")) {
    __builtin_trap(); // no group there can set a limit
  }
  return 0;
}
