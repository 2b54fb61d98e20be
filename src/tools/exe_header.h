#pragma once

#include "tools/byte_source.h"

#include <string>
#include <string_view>

namespace pelorin {

/// The platform text of an executable, read from its header:
///  - an ELF file: " ELF32" or " ELF64" (" ELF?" for another class) and the machine's name, for example
///    " ELF64 x86-64" (" machine N" for a machine without a name here);
///  - a Windows program: " isLAA" when its large-address-aware flag is set, else " notLAA", followed by
///    " Win32" (machine 332), " Win64" (machine 34404) or " Win?";
///  - anything else, or a header cut short: " LAAunknown Win?".
std::string PlatformText(const ByteSource& bytes);

/// True when the file is a Windows program with an RCDATA resource of the given name (compared ignoring
/// ASCII case). Every offset and count in the file is checked before it is followed.
bool HasRcdataResource(const ByteSource& bytes, std::string_view name);

/// True when the bytes start with the ELF magic number.
bool IsElf(const ByteSource& bytes);

} // namespace pelorin
