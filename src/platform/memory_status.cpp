#include "platform/memory_status.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace pelorin {

namespace {

// Reading the status costs two files of /proc; the allocation estimates ask before every array, so a file
// of thousands of small headers would spend most of its read time here. A reading serves for a moment.
constexpr auto kReadingLifetime = std::chrono::milliseconds(20);

MemoryStatus ReadMemoryStatus() {
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

} // namespace

MemoryStatus GetMemoryStatus() {
  thread_local MemoryStatus reading;
  thread_local std::chrono::steady_clock::time_point readAt;
  thread_local bool haveReading = false;
  const auto now = std::chrono::steady_clock::now();
  if (!haveReading || now - readAt >= kReadingLifetime) {
    reading = ReadMemoryStatus();
    readAt = now;
    haveReading = true;
  }
  return reading;
}

} // namespace pelorin
