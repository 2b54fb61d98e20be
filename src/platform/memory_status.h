#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

/// What the allocation estimates need to know about memory, in bytes.
struct MemoryStatus {
  /// Memory the process may still take: the least of the physical memory available, the room left under its
  /// address-space limit (RLIMIT_AS less what it already maps) and the room left under its control group's
  /// memory limits.
  std::uint64_t available = 0;
  std::uint64_t used = 0; ///< the process's working set (resident size)
};

/// Reads the memory status of the machine and the process (/proc/meminfo, /proc/self/statm, the
/// address-space limit and the control group's memory files). A reading serves for a few milliseconds, or
/// until the address-space limit changes.
MemoryStatus GetMemoryStatus();

/// The physical memory available according to the text of /proc/meminfo: "MemAvailable", else "MemFree" +
/// "Cached" (kernels that do not report the first); nothing when neither can be read.
std::optional<std::uint64_t> MemInfoAvailable(std::string_view meminfo);

/// The room left under the memory limits of the process's control group and of every group above it, given
/// the text of /proc/self/cgroup and the folder the control groups are mounted at (version 2 directly or
/// under "unified", version 1 under "memory"). Room is the limit less the usage that cannot be reclaimed
/// (the inactive file cache is left out of it). Nothing when no group sets a limit.
std::optional<std::uint64_t> CgroupMemoryRoom(std::string_view procSelfCgroup, const std::string& cgroupRoot);

/// The bytes the process maps now (its virtual size).
std::uint64_t MappedBytes();

} // namespace pelorin
