#pragma once

#include <cstdint>

namespace pelorin {

/// What the allocation estimates need to know about memory, in bytes.
struct MemoryStatus {
  std::uint64_t available = 0; ///< memory the process may still take: min(address space, available physical)
  std::uint64_t used = 0;      ///< the process's working set (resident size)
};

/// Reads the memory status of the machine and the process (/proc/meminfo and /proc/self/statm).
MemoryStatus GetMemoryStatus();

} // namespace pelorin
