#include "platform/memory_status.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace pelorin {

namespace {

// Reading the status costs several small files; the allocation estimates ask before every array, so a file
// of thousands of small headers would spend most of its read time here. A reading serves for a moment.
constexpr auto kReadingLifetime = std::chrono::milliseconds(20);

// A version-1 limit this large means "no limit" (the kernel reports the largest page-aligned value).
constexpr std::uint64_t kNoLimit = std::uint64_t{1} << 60;

std::uint64_t PageSize() {
  const long size = sysconf(_SC_PAGESIZE);
  return size > 0 ? static_cast<std::uint64_t>(size) : 4096;
}

// The files read here are a kilobyte or two; a longer one is cut, which loses nothing that is looked for.
std::optional<std::string> ReadSmallFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) {
    return std::nullopt;
  }
  std::string text(16384, '\0');
  text.resize(std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return text;
}

std::optional<std::uint64_t> ParseNumber(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) {
    return std::nullopt;
  }
  text.remove_prefix(start);
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end == text.data()) {
    return std::nullopt;
  }
  return value;
}

// The number after `key` (followed by ":" or a blank) at the start of a line of `text`.
std::optional<std::uint64_t> KeyedNumber(std::string_view text, std::string_view key) {
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    const std::string_view line = text.substr(at, end - at);
    if (line.size() > key.size() && line.substr(0, key.size()) == key &&
        (line[key.size()] == ':' || line[key.size()] == ' ')) {
      return ParseNumber(line.substr(key.size() + 1));
    }
    at = end + 1;
  }
  return std::nullopt;
}

std::optional<std::uint64_t> FileNumber(const std::filesystem::path& file) {
  const std::optional<std::string> text = ReadSmallFile(file.string());
  return text ? ParseNumber(*text) : std::nullopt;
}

// The files of one version of the memory controller.
struct CgroupFiles {
  const char* limit;
  const char* usage;
  const char* inactiveKey; // in memory.stat
};
constexpr CgroupFiles kVersion2{"memory.max", "memory.current", "inactive_file"};
constexpr CgroupFiles kVersion1{"memory.limit_in_bytes", "memory.usage_in_bytes", "total_inactive_file"};

// Walks from the process's group up to the mount's root; every group on the way may set a limit.
void WalkGroups(const std::filesystem::path& mount, std::string_view groupPath, const CgroupFiles& files,
                std::optional<std::uint64_t>& room) {
  // Each step up shortens the path, so the walk ends at the mount's root whatever the path holds.
  std::filesystem::path relative = std::filesystem::path(std::string(groupPath)).relative_path();
  for (;;) {
    const std::filesystem::path dir = (mount / relative).lexically_normal();
    const std::optional<std::uint64_t> limit = FileNumber(dir / files.limit); // "max" reads as no number
    if (limit && *limit < kNoLimit) {
      const std::uint64_t usage = FileNumber(dir / files.usage).value_or(0);
      const std::optional<std::string> stat = ReadSmallFile((dir / "memory.stat").string());
      const std::uint64_t inactive = stat ? KeyedNumber(*stat, files.inactiveKey).value_or(0) : 0;
      const std::uint64_t held = usage > inactive ? usage - inactive : 0;
      const std::uint64_t left = *limit > held ? *limit - held : 0;
      room = room ? std::min(*room, left) : left;
    }
    if (relative.empty()) {
      return;
    }
    relative = relative.parent_path();
  }
}

bool HasMemoryController(std::string_view controllers) {
  while (!controllers.empty()) {
    const std::size_t comma = controllers.find(',');
    if (controllers.substr(0, comma) == "memory") {
      return true;
    }
    if (comma == std::string_view::npos) {
      return false;
    }
    controllers.remove_prefix(comma + 1);
  }
  return false;
}

MemoryStatus ReadMemoryStatus() {
  const std::uint64_t page = PageSize();
  std::uint64_t available = 0;
  if (const std::optional<std::string> meminfo = ReadSmallFile("/proc/meminfo")) {
    available = MemInfoAvailable(*meminfo).value_or(0);
  }
  if (available == 0) {
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    available = pages > 0 ? static_cast<std::uint64_t>(pages) * page : 0;
  }
  MemoryStatus status;
  std::uint64_t mapped = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    unsigned long long size = 0;
    unsigned long long resident = 0;
    if (std::fscanf(statm, "%llu %llu", &size, &resident) == 2) {
      mapped = size * page;
      status.used = resident * page;
    }
    std::fclose(statm);
  }
  // A process may be held to less address space than the machine has memory (ulimit -v); what it already
  // maps counts against that.
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    const auto cap = static_cast<std::uint64_t>(limit.rlim_cur);
    available = std::min(available, cap > mapped ? cap - mapped : 0);
  }
  // A container's memory limit is far below the machine's memory the kernel reports.
  if (const std::optional<std::string> groups = ReadSmallFile("/proc/self/cgroup")) {
    if (const std::optional<std::uint64_t> room = CgroupMemoryRoom(*groups, "/sys/fs/cgroup")) {
      available = std::min(available, *room);
    }
  }
  status.available = available;
  return status;
}

rlim_t AddressSpaceLimit() {
  rlimit limit{};
  return getrlimit(RLIMIT_AS, &limit) == 0 ? limit.rlim_cur : RLIM_INFINITY;
}

} // namespace

std::optional<std::uint64_t> MemInfoAvailable(std::string_view meminfo) {
  if (const std::optional<std::uint64_t> kb = KeyedNumber(meminfo, "MemAvailable")) {
    return *kb * 1024;
  }
  const std::optional<std::uint64_t> free = KeyedNumber(meminfo, "MemFree");
  const std::optional<std::uint64_t> cached = KeyedNumber(meminfo, "Cached");
  if (!free && !cached) {
    return std::nullopt;
  }
  return (free.value_or(0) + cached.value_or(0)) * 1024;
}

std::optional<std::uint64_t> CgroupMemoryRoom(std::string_view procSelfCgroup,
                                              const std::string& cgroupRoot) {
  namespace fs = std::filesystem;
  std::optional<std::uint64_t> room;
  std::error_code ec;
  while (!procSelfCgroup.empty()) {
    std::size_t end = procSelfCgroup.find('\n');
    const std::string_view line = procSelfCgroup.substr(0, end);
    procSelfCgroup.remove_prefix(end == std::string_view::npos ? procSelfCgroup.size() : end + 1);
    // "hierarchy-ID:controllers:path"; the path may itself hold ":".
    const std::size_t first = line.find(':');
    const std::size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
    if (second == std::string_view::npos) {
      continue;
    }
    const std::string_view id = line.substr(0, first);
    const std::string_view controllers = line.substr(first + 1, second - first - 1);
    const std::string_view path = line.substr(second + 1);
    // The kernel writes these paths; one that climbs out of the mount is no group of ours.
    if (path.find("..") != std::string_view::npos) {
      continue;
    }
    if (id == "0" && controllers.empty()) {
      for (const fs::path& mount : {fs::path(cgroupRoot), fs::path(cgroupRoot) / "unified"}) {
        if (fs::exists(mount / "cgroup.controllers", ec)) {
          WalkGroups(mount, path, kVersion2, room);
          break;
        }
      }
    } else if (HasMemoryController(controllers)) {
      WalkGroups(fs::path(cgroupRoot) / "memory", path, kVersion1, room);
    }
  }
  return room;
}

std::uint64_t MappedBytes() {
  std::uint64_t mapped = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    unsigned long long size = 0;
    if (std::fscanf(statm, "%llu", &size) == 1) {
      mapped = size * PageSize();
    }
    std::fclose(statm);
  }
  return mapped;
}

MemoryStatus GetMemoryStatus() {
  thread_local MemoryStatus reading;
  thread_local std::chrono::steady_clock::time_point readAt;
  thread_local rlim_t limitAt = RLIM_INFINITY;
  thread_local bool haveReading = false;
  const auto now = std::chrono::steady_clock::now();
  const rlim_t limit = AddressSpaceLimit();
  if (!haveReading || now - readAt >= kReadingLifetime || limit != limitAt) {
    reading = ReadMemoryStatus();
    readAt = now;
    limitAt = limit;
    haveReading = true;
  }
  return reading;
}

} // namespace pelorin
