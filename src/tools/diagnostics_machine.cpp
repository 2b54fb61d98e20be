// The report's sections on the machine: operating system, hardware and session; running processes.
#include "platform/strings.h"
#include "tools/diagnostics_internal.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <malloc.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace pelorin::diagnostics {

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMegabyte = 1024 * 1024;

// File systems that hold no files of the user's: the kernel's own views and devices.
constexpr std::array<std::string_view, 22> kPseudoFileSystems = {
    "proc",       "sysfs",  "cgroup",     "cgroup2",  "devpts",    "mqueue",         "debugfs", "tracefs",
    "securityfs", "pstore", "bpf",        "configfs", "fusectl",   "hugetlbfs",      "autofs",  "binfmt_misc",
    "devtmpfs",   "nsfs",   "rpc_pipefs", "efivarfs", "selinuxfs", "fuse.gvfsd-fuse"};

constexpr std::array<std::string_view, 3> kSystemTrees = {"/proc", "/sys", "/dev"};

std::string Trimmed(std::string_view text) {
  return Trim(text);
}

// "key : value" lines of /proc/cpuinfo and /proc/meminfo.
std::string_view FieldValue(std::string_view line, std::string_view key) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) {
    return {};
  }
  std::string_view name = line.substr(0, colon);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) {
    name.remove_suffix(1);
  }
  if (name != key) {
    return {};
  }
  std::string_view value = line.substr(colon + 1);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
    value.remove_prefix(1);
  }
  return value;
}

// A value of /proc/meminfo or /proc/self/status in kilobytes; nothing when absent.
std::optional<std::uint64_t> KilobyteField(std::string_view text, std::string_view key) {
  for (std::string_view line : SplitLines(text)) {
    if (line.substr(0, key.size()) != key || line.size() <= key.size() || line[key.size()] != ':') {
      continue;
    }
    std::uint64_t value = 0;
    bool digits = false;
    for (char c : line.substr(key.size() + 1)) {
      if (c >= '0' && c <= '9') {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        digits = true;
      } else if (digits) {
        break;
      }
    }
    if (digits) {
      return value;
    }
  }
  return std::nullopt;
}

std::string FirstLine(const SystemView& view, const char* path) {
  std::string text;
  if (!ReadSmallFile(SystemPath(view, path), text, 4096)) {
    return {};
  }
  return Trimmed(text.substr(0, text.find('\n')));
}

// "6.1.76-1-amd64" as "6.1.76": the numbers of major, minor and build.
std::string ReleaseNumbers(const std::string& release) {
  int numbers[3] = {0, 0, 0};
  std::size_t at = 0;
  for (int& number : numbers) {
    while (at < release.size() && release[at] >= '0' && release[at] <= '9') {
      number = number * 10 + (release[at] - '0');
      ++at;
    }
    if (at < release.size() && release[at] == '.') {
      ++at;
    } else {
      break;
    }
  }
  char text[48];
  std::snprintf(text, sizeof text, "%d.%d.%d", numbers[0], numbers[1], numbers[2]);
  return text;
}

std::string OsReleaseName(const SystemView& view) {
  std::string text;
  if (!ReadSmallFile(SystemPath(view, "/etc/os-release"), text, 65536)) {
    return {};
  }
  for (std::string_view line : SplitLines(text)) {
    if (line.substr(0, 12) == "PRETTY_NAME=") {
      std::string value(line.substr(12));
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
          value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
      }
      return value;
    }
  }
  return {};
}

std::string KernelMachine(const SystemView& view) {
  std::string machine = FirstLine(view, "/proc/sys/kernel/arch");
  if (machine.empty() && view.root.empty()) {
    struct utsname names {};
    if (::uname(&names) == 0) {
      machine = names.machine;
    }
  }
  return machine;
}

void SystemLines(DiagnosticsReport& report, const SystemView& view) {
  const std::string name = FirstLine(view, "/proc/sys/kernel/ostype");
  const std::string release = FirstLine(view, "/proc/sys/kernel/osrelease");
  const std::string version = FirstLine(view, "/proc/sys/kernel/version");
  if (name.empty() && release.empty()) {
    report.Line("Operating system: cannot read /proc/sys/kernel");
  } else {
    report.Line((name.empty() ? std::string("Linux") : name) + " " + ReleaseNumbers(release) + " (" +
                release + ") " + version);
  }
  const std::string distribution = OsReleaseName(view);
  report.Line("Distribution: " +
              (distribution.empty() ? std::string("not named (no /etc/os-release)") : distribution));
  const std::string machine = KernelMachine(view);
  report.Line("Process is " + std::to_string(8 * sizeof(void*)) + "-bit on a " +
              (machine.empty() ? std::string("kernel of unknown machine type") : machine + " kernel") +
              " (no Wow64 layer on Linux)");
}

void MemoryLines(DiagnosticsReport& report, const SystemView& view) {
  std::string meminfo;
  std::string status;
  const bool haveMeminfo = ReadSmallFile(SystemPath(view, "/proc/meminfo"), meminfo);
  const bool haveStatus = ReadSmallFile(SystemPath(view, "/proc/self/status"), status);
  const auto total = haveMeminfo ? KilobyteField(meminfo, "MemTotal") : std::nullopt;
  const auto available = haveMeminfo ? KilobyteField(meminfo, "MemAvailable") : std::nullopt;
  const auto resident = haveStatus ? KilobyteField(status, "VmRSS") : std::nullopt;
  const auto mapped = haveStatus ? KilobyteField(status, "VmSize") : std::nullopt;
  auto megabytes = [](std::optional<std::uint64_t> kb) {
    return kb ? std::to_string(*kb / 1024) : std::string("unknown");
  };
  report.Line(megabytes(total) + " megabytes physical RAM [TotalPhys]");
  report.Line(megabytes(available) + " megabytes free RAM [AvailPhys]");
  struct rlimit limit {};
  std::optional<std::uint64_t> freeAddressKb;
  if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    const std::uint64_t limitKb = limit.rlim_cur / 1024;
    report.Line(std::to_string(limitKb / 1024) + " megabytes address space [TotalVirtual]");
    if (mapped) {
      freeAddressKb = limitKb > *mapped ? limitKb - *mapped : 0;
    }
    report.Line(megabytes(freeAddressKb) + " megabytes free address space [AvailVirtual]");
  } else {
    report.Line("Address space not limited (ulimit -v) [TotalVirtual]");
    report.Line(megabytes(mapped) + " megabytes address space in use [VmSize]");
  }
  report.Line("Memory Used [working set]: " + megabytes(resident) + " MB");
  // What the program may still take is the lesser of free memory and free address space.
  std::optional<std::uint64_t> usable = available;
  if (freeAddressKb && (!usable || *freeAddressKb < *usable)) {
    usable = freeAddressKb;
  }
  report.Line("Memory [WorkingSet + AvailVirtual]: " +
              (resident && usable ? std::to_string((*resident + *usable) / 1024) : std::string("unknown")) +
              " MB");
  const struct mallinfo2 heap = ::mallinfo2();
  report.Line("Heap Used: " + std::to_string(heap.uordblks / 1024) + " Kb");
  report.Line("Heap Unused: " + std::to_string(heap.fordblks / 1024) + " Kb");
}

// Mount points in /proc/self/mounts write blanks, tabs, newlines and backslashes as octal escapes.
std::string UnescapeMountField(std::string_view field) {
  const auto octal = [](char c) { return c >= '0' && c <= '7'; };
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && octal(field[i + 1]) && octal(field[i + 2]) &&
        octal(field[i + 3])) {
      text +=
          static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
      i += 3;
      continue;
    }
    text += field[i];
  }
  return text;
}

// One line per mounted file system that holds files, in place of the drives of other systems.
void MountLines(DiagnosticsReport& report, const SystemView& view) {
  std::string mounts;
  if (!ReadSmallFile(SystemPath(view, "/proc/self/mounts"), mounts)) {
    report.Line("Mounted file systems: cannot read /proc/self/mounts");
    return;
  }
  struct Mount {
    std::string device, point, type;
  };
  std::vector<Mount> list;
  for (std::string_view line : SplitLines(mounts)) {
    std::array<std::string_view, 3> fields;
    std::size_t taken = 0;
    while (taken < fields.size() && !line.empty()) {
      const std::size_t blank = line.find(' ');
      fields[taken++] = line.substr(0, blank);
      line = blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
    }
    if (taken < fields.size()) {
      continue;
    }
    const std::string type(fields[2]);
    if (std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), type) != kPseudoFileSystems.end()) {
      continue;
    }
    Mount mount{UnescapeMountField(fields[0]), UnescapeMountField(fields[1]), type};
    // A later mount on the same point hides the earlier one.
    list.erase(
        std::remove_if(list.begin(), list.end(), [&](const Mount& m) { return m.point == mount.point; }),
        list.end());
    list.push_back(std::move(mount));
  }
  int shown = 0;
  for (const Mount& mount : list) {
    // The kernel's and the devices' own trees hold no files of the user's.
    const bool system = std::any_of(kSystemTrees.begin(), kSystemTrees.end(), [&](std::string_view tree) {
      return mount.point == tree || mount.point.rfind(std::string(tree) + "/", 0) == 0;
    });
    if (system) {
      continue;
    }
    const std::string where = SystemPath(view, mount.point);
    std::error_code ec;
    if (!fs::is_directory(where, ec)) {
      continue; // a single file mounted into a container
    }
    struct statvfs space {};
    if (::statvfs(where.c_str(), &space) != 0) {
      continue;
    }
    const std::uint64_t size = static_cast<std::uint64_t>(space.f_blocks) * space.f_frsize / kMegabyte;
    if (size == 0) {
      continue;
    }
    const std::uint64_t free = static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize / kMegabyte;
    const std::uint64_t percent = size > 0 ? free * 100 / size : 0;
    report.Line(mount.point + " (" + mount.type + " " + mount.device + "):   size = " + std::to_string(size) +
                " MB   free = " + std::to_string(free) + " MB   " + std::to_string(percent) + "% free");
    ++shown;
  }
  if (shown == 0) {
    report.Line("Mounted file systems: none with a size");
  }
}

std::string Hex(std::string_view decimal) {
  if (decimal.empty()) {
    return "?";
  }
  unsigned long value = 0;
  for (char c : decimal) {
    if (c < '0' || c > '9') {
      return std::string(decimal);
    }
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  char text[32];
  std::snprintf(text, sizeof text, "%lX", value);
  return text;
}

void ProcessorLines(DiagnosticsReport& report, const SystemView& view, const std::string& machine) {
  std::string cpuinfo;
  if (!ReadSmallFile(SystemPath(view, "/proc/cpuinfo"), cpuinfo)) {
    report.Line("Logical CPUs: cannot read /proc/cpuinfo");
    return;
  }
  int cpus = 0;
  std::string vendor, family, model, stepping, name, mhz, flags;
  for (std::string_view line : SplitLines(cpuinfo)) {
    if (line.substr(0, 9) == "processor" && line.find(':') != std::string_view::npos) {
      ++cpus;
      continue;
    }
    if (cpus > 1) {
      continue; // the first processor speaks for all
    }
    auto take = [&](std::string& into, std::string_view key) {
      const std::string_view value = FieldValue(line, key);
      if (into.empty() && !value.empty()) {
        into = std::string(value);
      }
    };
    take(vendor, "vendor_id");
    take(family, "cpu family");
    take(model, "model");
    take(stepping, "stepping");
    take(name, "model name");
    take(mhz, "cpu MHz");
    take(flags, "flags");
  }
  report.Line(cpus == 1 ? "Linux detected 1 logical CPU"
                        : "Linux detected " + std::to_string(cpus) + " logical CPUs");
  std::string line = "Processor: " + (vendor.empty() ? std::string("vendor not given") : vendor) + "  type " +
                     (machine.empty() ? std::string("?") : machine) + "  family " + Hex(family) + "  model " +
                     Hex(model) + "  stepping " + Hex(stepping) + "  [" +
                     (name.empty() ? std::string("model name not given") : name) + "]";
  char speed[64] = "speed not given";
  if (!mhz.empty()) {
    std::snprintf(speed, sizeof speed, "%.1f MHz", std::strtod(mhz.c_str(), nullptr));
  }
  report.Line(line + ", " + speed);
  // Linux names SSE3 "pni"; no processor it runs on offers SSE5.
  constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kSets = {{{"mmx", " MMX"},
                                                                                   {"sse", " SSE"},
                                                                                   {"sse2", " SSE2"},
                                                                                   {"pni", " SSE3"},
                                                                                   {"ssse3", " SSSE3"},
                                                                                   {"sse4a", " SSE4A"},
                                                                                   {"sse4_1", " SSE4.1"},
                                                                                   {"sse4_2", " SSE4.2"}}};
  const std::string padded = " " + flags + " ";
  std::string sets;
  for (const auto& [flag, text] : kSets) {
    if (padded.find(" " + std::string(flag) + " ") != std::string::npos) {
      sets += text;
    }
  }
  report.Line("Instruction sets:" + (sets.empty() ? std::string(" none reported") : sets));
}

std::string UserName(const SystemView& view) {
  for (const char* name : {"USER", "LOGNAME"}) {
    if (const auto value = EnvValue(view, name); value && !value->empty()) {
      return *value;
    }
  }
  std::string passwd;
  if (ReadSmallFile(SystemPath(view, "/etc/passwd"), passwd)) {
    const std::string uid = std::to_string(::getuid());
    for (std::string_view line : SplitLines(passwd)) {
      const std::size_t first = line.find(':');
      const std::size_t second = line.find(':', first + 1);
      const std::size_t third = line.find(':', second + 1);
      if (third != std::string_view::npos && line.substr(second + 1, third - second - 1) == uid) {
        return std::string(line.substr(0, first));
      }
    }
  }
  return "user id " + std::to_string(::getuid());
}

void SessionLines(DiagnosticsReport& report, const SystemView& view) {
  report.Line("User name: " + UserName(view));
  report.Line(::geteuid() == 0 ? "User has Administrator rights (runs as root)"
                               : "User does NOT have Administrator rights (does not run as root)");
  const auto comspec = EnvValue(view, "COMSPEC");
  std::error_code ec;
  if (comspec && !comspec->empty()) {
    report.Line("COMSPEC: " + *comspec);
    if (!fs::exists(*comspec, ec)) {
      report.Line("**** WARNING **** COMSPEC does not exist");
    }
  } else {
    report.Line("COMSPEC is not set: job scripts run with /bin/sh");
    if (!fs::exists(SystemPath(view, "/bin/sh"), ec)) {
      report.Line("**** WARNING **** /bin/sh does not exist");
    }
  }
}

} // namespace

void OperatingSystemSection(DiagnosticsReport& report, const DiagnosticsFacts& facts,
                            const SystemView& view) {
  report.Section("Operating system, hardware, session");
  report.Line("Command Line: " + facts.commandLine);
  SystemLines(report, view);
  MemoryLines(report, view);
  MountLines(report, view);
  ProcessorLines(report, view, KernelMachine(view));
  SessionLines(report, view);
}

void ProcessesSection(DiagnosticsReport& report, const SystemView& view) {
  report.Section("Running Processes");
  const std::string proc = SystemPath(view, "/proc");
  std::vector<std::pair<long, std::string>> processes;
  std::error_code ec;
  fs::directory_iterator it(proc, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name.size() > 9 ||
        !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      continue;
    }
    std::string command;
    std::string comm;
    // A process may end while it is listed; what could be read is shown.
    ReadSmallFile((it->path() / "comm").string(), comm, 256);
    ReadSmallFile((it->path() / "cmdline").string(), command, 512);
    // Only the program: the arguments of other people's processes may hold passwords, and the report is
    // meant to be mailed.
    command.resize(std::min(command.find('\0'), command.size()));
    for (char& c : command) {
      if (static_cast<unsigned char>(c) < ' ') {
        c = ' ';
      }
    }
    processes.emplace_back(std::stol(name), name + "\t" + Trimmed(comm) + "\t" + Trimmed(command));
  }
  if (processes.empty()) {
    report.Line("RunningProcessesList failed");
    return;
  }
  std::sort(processes.begin(), processes.end());
  for (auto& [pid, line] : processes) {
    report.Line(std::move(line));
  }
}

} // namespace pelorin::diagnostics
