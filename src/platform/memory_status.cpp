#include "platform/memory_status.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace pelorin {

MemoryStatus GetMemoryStatus() {
  MemoryStatus status;
  std::uint64_t availableKb = 0;
  if (std::FILE* meminfo = std::fopen("/proc/meminfo", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, meminfo) != nullptr) {
      unsigned long long value = 0;
      if (std::sscanf(line, "MemAvailable: %llu kB", &value) == 1) {
        availableKb = value;
        break;
      }
    }
    std::fclose(meminfo);
  }
  // The address space of a 64-bit process is far beyond physical memory, so physical memory decides.
  status.available = availableKb * 1024;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    unsigned long long pages = 0;
    unsigned long long resident = 0;
    if (std::fscanf(statm, "%llu %llu", &pages, &resident) == 2) {
      status.used = resident * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    }
    std::fclose(statm);
  }
  return status;
}

} // namespace pelorin
