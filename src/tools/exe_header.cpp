#include "tools/exe_header.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace pelorin {

namespace {

constexpr std::uint16_t kMachineI386 = 332;
constexpr std::uint16_t kMachineAmd64 = 34404;
constexpr std::uint16_t kLargeAddressAware = 0x0020;
constexpr std::uint32_t kRcdata = 10;
constexpr std::uint32_t kHighBit = 0x80000000u;
// A resource directory of a real program holds a few dozen entries; this many is a broken file.
constexpr std::uint32_t kMaxResourceEntries = 4096;
constexpr unsigned char kElfMagic[4] = {0x7F, 'E', 'L', 'F'};

std::uint16_t Le16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool Read16(const ByteSource& bytes, std::uint64_t offset, std::uint16_t& value) {
  unsigned char b[2];
  if (!bytes.Read(offset, b, 2)) {
    return false;
  }
  value = Le16(b);
  return true;
}

bool Read32(const ByteSource& bytes, std::uint64_t offset, std::uint32_t& value) {
  unsigned char b[4];
  if (!bytes.Read(offset, b, 4)) {
    return false;
  }
  value = Le32(b);
  return true;
}

const char* ElfMachineName(std::uint16_t machine) {
  switch (machine) {
  case 2:
    return "SPARC";
  case 3:
    return "i386";
  case 8:
    return "MIPS";
  case 20:
    return "PowerPC";
  case 21:
    return "PowerPC64";
  case 22:
    return "S/390";
  case 40:
    return "ARM";
  case 43:
    return "SPARC V9";
  case 50:
    return "IA-64";
  case 62:
    return "x86-64";
  case 183:
    return "AArch64";
  case 243:
    return "RISC-V";
  case 258:
    return "LoongArch";
  default:
    return nullptr;
  }
}

std::string ElfPlatform(const unsigned char* ident) {
  std::string text = ident[4] == 1 ? " ELF32" : ident[4] == 2 ? " ELF64" : " ELF?";
  const bool bigEndian = ident[5] == 2;
  const std::uint16_t machine =
      bigEndian ? static_cast<std::uint16_t>((ident[18] << 8) | ident[19]) : Le16(ident + 18);
  const char* name = ElfMachineName(machine);
  return text + (name != nullptr ? std::string(" ") + name : " machine " + std::to_string(machine));
}

// Where the "PE\0\0" signature of a Windows program starts; false when the file is not one.
bool PeHeaderOffset(const ByteSource& bytes, std::uint32_t& offset) {
  unsigned char dos[64];
  if (!bytes.Read(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') {
    return false;
  }
  offset = Le32(dos + 0x3C);
  unsigned char signature[4];
  return bytes.Read(offset, signature, 4) && std::memcmp(signature, "PE\0\0", 4) == 0;
}

struct Section {
  std::uint32_t virtualAddress = 0;
  std::uint32_t extent = 0;
  std::uint32_t rawOffset = 0;
};

// The file offset of a relative virtual address, through the section table.
bool RvaToOffset(const ByteSource& bytes, std::uint64_t sectionTable, std::uint16_t sections,
                 std::uint32_t rva, std::uint64_t& offset) {
  for (std::uint16_t i = 0; i < sections; ++i) {
    unsigned char entry[40];
    if (!bytes.Read(sectionTable + 40ull * i, entry, sizeof entry)) {
      return false;
    }
    const std::uint32_t virtualSize = Le32(entry + 8);
    const std::uint32_t virtualAddress = Le32(entry + 12);
    const std::uint32_t rawSize = Le32(entry + 16);
    const std::uint32_t rawOffset = Le32(entry + 20);
    const std::uint64_t extent = virtualSize > rawSize ? virtualSize : rawSize;
    if (rva >= virtualAddress && rva - virtualAddress < extent) {
      offset = static_cast<std::uint64_t>(rawOffset) + (rva - virtualAddress);
      return true;
    }
  }
  return false;
}

bool SameName(const ByteSource& bytes, std::uint64_t at, std::string_view name) {
  std::uint16_t length = 0;
  if (!Read16(bytes, at, length) || length != name.size()) {
    return false;
  }
  for (std::size_t i = 0; i < name.size(); ++i) {
    std::uint16_t unit = 0;
    if (!Read16(bytes, at + 2 + 2 * i, unit)) {
      return false;
    }
    auto fold = [](std::uint32_t c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    if (fold(unit) != fold(static_cast<unsigned char>(name[i]))) {
      return false;
    }
  }
  return true;
}

// Looks through one resource directory for an entry of the given id (a number) or name; on success `data`
// holds the entry's second word (a subdirectory when its high bit is set).
bool FindResourceEntry(const ByteSource& bytes, std::uint64_t base, std::uint64_t directory, std::uint32_t id,
                       std::string_view name, std::uint32_t& data) {
  std::uint16_t named = 0;
  std::uint16_t numbered = 0;
  if (!Read16(bytes, directory + 12, named) || !Read16(bytes, directory + 14, numbered)) {
    return false;
  }
  const std::uint32_t entries = static_cast<std::uint32_t>(named) + numbered;
  if (entries > kMaxResourceEntries) {
    return false;
  }
  for (std::uint32_t i = 0; i < entries; ++i) {
    std::uint32_t entryName = 0;
    std::uint32_t entryData = 0;
    const std::uint64_t at = directory + 16 + 8ull * i;
    if (!Read32(bytes, at, entryName) || !Read32(bytes, at + 4, entryData)) {
      return false;
    }
    const bool isNamed = (entryName & kHighBit) != 0;
    const bool match = name.empty() ? !isNamed && entryName == id
                                    : isNamed && SameName(bytes, base + (entryName & ~kHighBit), name);
    if (match) {
      data = entryData;
      return true;
    }
  }
  return false;
}

} // namespace

bool IsElf(const ByteSource& bytes) {
  unsigned char magic[4];
  return bytes.Read(0, magic, 4) && std::memcmp(magic, kElfMagic, 4) == 0;
}

std::string PlatformText(const ByteSource& bytes) {
  unsigned char ident[20];
  if (bytes.Read(0, ident, sizeof ident) && std::memcmp(ident, kElfMagic, 4) == 0) {
    return ElfPlatform(ident);
  }
  std::uint32_t pe = 0;
  unsigned char coff[20];
  if (!PeHeaderOffset(bytes, pe) || !bytes.Read(static_cast<std::uint64_t>(pe) + 4, coff, sizeof coff)) {
    return " LAAunknown Win?";
  }
  const std::uint16_t machine = Le16(coff);
  const std::uint16_t characteristics = Le16(coff + 18);
  std::string text = (characteristics & kLargeAddressAware) != 0 ? " isLAA" : " notLAA";
  return text + (machine == kMachineI386 ? " Win32" : machine == kMachineAmd64 ? " Win64" : " Win?");
}

bool HasRcdataResource(const ByteSource& bytes, std::string_view name) {
  std::uint32_t pe = 0;
  if (name.empty() || !PeHeaderOffset(bytes, pe)) {
    return false;
  }
  const std::uint64_t coff = static_cast<std::uint64_t>(pe) + 4;
  std::uint16_t sections = 0;
  std::uint16_t optionalSize = 0;
  std::uint16_t magic = 0;
  if (!Read16(bytes, coff + 2, sections) || !Read16(bytes, coff + 16, optionalSize) ||
      !Read16(bytes, coff + 20, magic)) {
    return false;
  }
  const std::uint64_t optional = coff + 20;
  // The data directories follow the optional header's fixed part: 96 bytes for 32-bit programs, 112 for
  // 64-bit ones; the resource table is the third.
  const std::uint64_t fixed = magic == 0x10b ? 96 : magic == 0x20b ? 112 : 0;
  std::uint32_t directories = 0;
  if (fixed == 0 || !Read32(bytes, optional + fixed - 4, directories) || directories < 3 ||
      fixed + 8 * 3 > optionalSize) {
    return false;
  }
  std::uint32_t resourceRva = 0;
  if (!Read32(bytes, optional + fixed + 16, resourceRva) || resourceRva == 0) {
    return false;
  }
  std::uint64_t base = 0;
  if (!RvaToOffset(bytes, optional + optionalSize, sections, resourceRva, base)) {
    return false;
  }
  std::uint32_t typeEntry = 0;
  if (!FindResourceEntry(bytes, base, base, kRcdata, {}, typeEntry) || (typeEntry & kHighBit) == 0) {
    return false;
  }
  std::uint32_t nameEntry = 0;
  return FindResourceEntry(bytes, base, base + (typeEntry & ~kHighBit), 0, name, nameEntry);
}

} // namespace pelorin
