#pragma once

#include "platform/error_text.h"
#include "tools/byte_source.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pelorin {

/// The texts looked for in executables (ignoring case), numbered 0 to 16.
inline constexpr std::array<std::string_view, 17> kExeSignatures = {"BORLAND\\DELPHI",
                                                                    "LAHEY COMPUTER SYSTEMS INC.",
                                                                    "KALVIMO",
                                                                    "LF95V",
                                                                    "_ILLIGAL_",
                                                                    "PHAR LAP",
                                                                    "386|VMM",
                                                                    "32-bit power",
                                                                    "DEADLOCK ERROR",
                                                                    "Intel Fortran RTL",
                                                                    "libgfortran",
                                                                    "mingw",
                                                                    "gcc",
                                                                    "corporation",
                                                                    "InnoSetupLdrWindow",
                                                                    "wisemain",
                                                                    "kvdelphi"};

/// The size of the blocks the file is searched in; a signature split across two blocks is not seen.
inline constexpr std::size_t kSignatureBlockSize = 2048;

/// Counts, for each signature, the blocks that contain it.
class SignatureCounter {
public:
  SignatureCounter();
  /// Searches one block (at most kSignatureBlockSize bytes): NUL bytes become blanks, letters are
  /// upper-cased, and each signature found in it counts once.
  void AddBlock(std::string_view block);
  /// The number of blocks that contained each signature.
  const std::array<int, kExeSignatures.size()>& Counts() const { return counts_; }

private:
  std::array<int, kExeSignatures.size()> counts_{};
};

/// What the signature scan says of an executable.
struct ExeSignature {
  /// Each signature found, in double quotes and followed by a blank (and "\"DVCLAL resource\" ").
  std::string found;
  /// The compiler class, 0 to 8.
  int compilerClass = 0;
  /// The class's name, "(Kalvimo)" when signature 2 was found, a blank and the platform text.
  std::string description;
  /// The record flavour the class writes: "Old Lahey", "New Fujitsu" or "None".
  std::string flavour;
  /// The platform text of the file's header (see PlatformText).
  std::string platform;
};

/// The name of a compiler class ("Unknown" for one out of range).
std::string_view CompilerClassName(int compilerClass);

/// Scores the classes from the signatures' counts and describes the file. `hasDvclal` is asked only when
/// signature 0 was found and signature 16 was not.
ExeSignature ClassifySignatures(const std::array<int, kExeSignatures.size()>& counts,
                                const std::string& platform, const std::function<bool()>& hasDvclal);

/// The whole scan over a file's bytes: platform text, block search and classification.
ExeSignature ScanExecutable(const ByteSource& bytes);

/// The scan of a file on disk, read in one pass. Fails with "Cannot open file " + path + ": " + reason or
/// "read error from file " + path, then "[ExecutableSignature]".
bool ExecutableSignature(const std::string& path, ExeSignature& signature, ErrorText& errorText);

} // namespace pelorin
