#include "support/fuzz_seed.h"
#include "support/temp_dir.h"
#include "tools/exe_header.h"
#include "tools/exe_signature.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

void Put16(std::string& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

// A small Windows program: DOS stub, PE header with the given machine and flags, a 32-bit optional header
// and one ".rsrc" section whose resource table holds RCDATA resources of the given name (none when empty).
std::string WindowsProgram(std::uint16_t machine, std::uint16_t characteristics,
                           const std::u16string& rcdata) {
  std::string bytes(0x400, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  Put32(bytes, 0x3C, 0x40);
  bytes.replace(0x40, 4, std::string("PE\0\0", 4));
  const std::size_t coff = 0x44;
  Put16(bytes, coff, machine);
  Put16(bytes, coff + 2, 1);     // one section
  Put16(bytes, coff + 16, 0xE0); // optional header size: 96 + 16 directories
  Put16(bytes, coff + 18, characteristics);
  const std::size_t optional = coff + 20;
  Put16(bytes, optional, 0x10B);
  Put32(bytes, optional + 92, 16);
  Put32(bytes, optional + 96 + 16, 0x1000); // resource table RVA
  Put32(bytes, optional + 96 + 20, 0x100);
  const std::size_t section = optional + 0xE0;
  bytes.replace(section, 5, ".rsrc");
  Put32(bytes, section + 8, 0x200);
  Put32(bytes, section + 12, 0x1000);
  Put32(bytes, section + 16, 0x200);
  Put32(bytes, section + 20, 0x200);
  if (!rcdata.empty()) {
    const std::size_t base = 0x200;
    Put16(bytes, base + 14, 1);                  // one numbered type
    Put32(bytes, base + 16, 10);                 // RCDATA
    Put32(bytes, base + 20, 0x80000000u | 0x18); // its directory
    Put16(bytes, base + 0x18 + 12, 1);           // one named entry
    Put32(bytes, base + 0x18 + 16, 0x80000000u | 0x30);
    Put32(bytes, base + 0x18 + 20, 0x40);
    Put16(bytes, base + 0x30, static_cast<std::uint16_t>(rcdata.size()));
    for (std::size_t i = 0; i < rcdata.size(); ++i) {
      Put16(bytes, base + 0x32 + 2 * i, rcdata[i]);
    }
  }
  return bytes;
}

std::string ElfProgram(unsigned char elfClass, unsigned char data, std::uint16_t machine) {
  std::string bytes(64, '\0');
  bytes.replace(0, 4,
                "\x7F"
                "ELF");
  bytes[4] = static_cast<char>(elfClass);
  bytes[5] = static_cast<char>(data);
  if (data == 2) {
    bytes[18] = static_cast<char>(machine >> 8);
    bytes[19] = static_cast<char>(machine & 0xFF);
  } else {
    Put16(bytes, 18, machine);
  }
  return bytes;
}

ExeSignature Scan(const std::string& bytes, const std::string& seed) {
  test::SaveFuzzSeed("tools_signature", seed, bytes);
  return ScanExecutable(MemoryBytes(bytes));
}

TEST(ExeSignature, ClassesOfMixedSignatures) {
  const ExeSignature gfortran =
      Scan(std::string(100, '\0') + "LIBGFORTRAN.so" + std::string(50, 'x') + "MinGW", "gf");
  EXPECT_EQ(gfortran.found, "\"libgfortran\" \"mingw\" ");
  EXPECT_EQ(gfortran.compilerClass, 5);
  EXPECT_EQ(gfortran.description, "GFortran  LAAunknown Win?");
  EXPECT_EQ(gfortran.flavour, "New Fujitsu");

  const ExeSignature delphi = Scan("KvDelphi libgfortran Lahey Computer Systems Inc.", "kvd");
  EXPECT_EQ(delphi.compilerClass, 6);
  EXPECT_EQ(delphi.description, "Delphi  LAAunknown Win?");
  EXPECT_EQ(delphi.flavour, "None");

  const ExeSignature none = Scan("just some bytes", "none");
  EXPECT_EQ(none.found, "");
  EXPECT_EQ(none.description, "Unknown  LAAunknown Win?");
  EXPECT_EQ(none.flavour, "None");

  // Lahey: signature 1 scores class 2 above class 1; the suite's name adds "(Kalvimo)".
  const ExeSignature lahey = Scan(ElfProgram(2, 1, 62) + "Lahey Computer Systems Inc. kalvimo", "lahey");
  EXPECT_EQ(lahey.description, "Lahey LF90(Kalvimo)  ELF64 x86-64");
  EXPECT_EQ(lahey.flavour, "Old Lahey");

  // A tie goes to the first class: one point each for LF95 (signature 3) and F77 (signature 6).
  EXPECT_EQ(Scan("LF95V 386|VMM", "tie").compilerClass, 1);
  EXPECT_EQ(Scan("Intel Fortran RTL gcc", "ifort").compilerClass, 4);
  EXPECT_EQ(Scan("InnoSetupLdrWindow", "inno").description, "InnoInstaller  LAAunknown Win?");
  EXPECT_EQ(Scan("WiseMain", "wise").compilerClass, 8);
}

TEST(ExeSignature, SignaturesCountOncePerBlockAndNotAcrossBlocks) {
  SignatureCounter counter;
  std::string first(kSignatureBlockSize, ' ');
  first.replace(10, 3, "gcc");
  first.replace(100, 3, "GCC");
  first.replace(kSignatureBlockSize - 4, 4, "LIBG");
  counter.AddBlock(first);
  counter.AddBlock("FORTRAN and gcc");
  EXPECT_EQ(counter.Counts()[12], 2); // "gcc": two blocks, though three times
  EXPECT_EQ(counter.Counts()[10], 0); // "libgfortran" split over the boundary

  std::string split(kSignatureBlockSize - 4, '\0');
  split += "LIBGFORTRAN";
  EXPECT_EQ(Scan(split, "split").found, "");
  // NUL bytes read as blanks, so a signature with a blank matches across them.
  EXPECT_EQ(Scan(std::string("DEADLOCK\0ERROR", 14), "nul").found, "\"DEADLOCK ERROR\" ");
}

TEST(ExeSignature, DelphiResourceAddsItsScore) {
  const std::string program = WindowsProgram(332, 0x0020, u"DVCLAL") + "Borland\\Delphi libgfortran mingw";
  const ExeSignature delphi = Scan(program, "dvclal");
  EXPECT_EQ(delphi.found, "\"BORLAND\\DELPHI\" \"libgfortran\" \"mingw\" \"DVCLAL resource\" ");
  EXPECT_EQ(delphi.compilerClass, 6);
  EXPECT_EQ(delphi.description, "Delphi  isLAA Win32");

  // Without the resource the one point of signature 0 loses to GFortran's seven.
  const ExeSignature other =
      Scan(WindowsProgram(332, 0, u"OTHER") + "Borland\\Delphi libgfortran mingw", "nodv");
  EXPECT_EQ(other.compilerClass, 5);
  EXPECT_EQ(other.found, "\"BORLAND\\DELPHI\" \"libgfortran\" \"mingw\" ");
  EXPECT_TRUE(HasRcdataResource(MemoryBytes(WindowsProgram(34404, 0, u"dvclal")), "DVCLAL"));
  EXPECT_FALSE(HasRcdataResource(MemoryBytes(WindowsProgram(34404, 0, u"DVCLALX")), "DVCLAL"));
  EXPECT_FALSE(HasRcdataResource(MemoryBytes(ElfProgram(2, 1, 62)), "DVCLAL"));
}

TEST(ExeHeader, PlatformTextsOfElfAndWindowsPrograms) {
  EXPECT_EQ(PlatformText(MemoryBytes(ElfProgram(2, 1, 62))), " ELF64 x86-64");
  EXPECT_EQ(PlatformText(MemoryBytes(ElfProgram(1, 1, 3))), " ELF32 i386");
  EXPECT_EQ(PlatformText(MemoryBytes(ElfProgram(2, 2, 21))), " ELF64 PowerPC64");
  EXPECT_EQ(PlatformText(MemoryBytes(ElfProgram(2, 1, 183))), " ELF64 AArch64");
  EXPECT_EQ(PlatformText(MemoryBytes(ElfProgram(7, 1, 9999))), " ELF? machine 9999");
  EXPECT_EQ(PlatformText(MemoryBytes(WindowsProgram(332, 0x0022, {}))), " isLAA Win32");
  EXPECT_EQ(PlatformText(MemoryBytes(WindowsProgram(34404, 0x0002, {}))), " notLAA Win64");
  EXPECT_EQ(PlatformText(MemoryBytes(WindowsProgram(0xAA64, 0, {}))), " notLAA Win?");
  // Headers cut short or pointing outside the file.
  EXPECT_EQ(PlatformText(MemoryBytes(WindowsProgram(332, 0, {}).substr(0, 0x50))), " LAAunknown Win?");
  std::string wild = WindowsProgram(332, 0, {});
  Put32(wild, 0x3C, 0xFFFFFFF0u);
  EXPECT_EQ(PlatformText(MemoryBytes(wild)), " LAAunknown Win?");
  EXPECT_EQ(PlatformText(MemoryBytes("MZ")), " LAAunknown Win?");
  EXPECT_EQ(PlatformText(MemoryBytes("")), " LAAunknown Win?");
  EXPECT_EQ(PlatformText(MemoryBytes("\x7F"
                                     "ELF")),
            " LAAunknown Win?");
}

TEST(ExeSignature, FileOnDiskIsScannedWholeAndAMissingOneFails) {
  test::TempDir dir;
  // Big enough to take several reads; the signature sits in the last block.
  std::string bytes = ElfProgram(2, 1, 62) + std::string(kSignatureBlockSize * 200, 'z');
  bytes += "Intel Fortran RTL";
  const std::string path = dir.Write("solver.exe", bytes);
  ExeSignature signature;
  ErrorText err;
  ASSERT_TRUE(ExecutableSignature(path, signature, err)) << err;
  EXPECT_EQ(signature.description, "Intel Fortran  ELF64 x86-64");
  EXPECT_EQ(signature.flavour, "New Fujitsu");
  EXPECT_FALSE(ExecutableSignature(dir.File("none.exe"), signature, err));
  EXPECT_EQ(err,
            "Cannot open file " + dir.File("none.exe") + ": No such file or directory[ExecutableSignature]");
  test::SaveFuzzSeed("tools_exe_header", "pe_dvclal", WindowsProgram(332, 0x20, u"DVCLAL"));
  test::SaveFuzzSeed("tools_exe_header", "pe64", WindowsProgram(34404, 0, {}));
  test::SaveFuzzSeed("tools_exe_header", "elf", ElfProgram(2, 1, 62));
}

} // namespace
} // namespace pelorin
