#include "platform/profile_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Parses arbitrary bytes as a profile file, reads the lists and keys the settings reader uses, and checks
// that writing the parsed contents back and parsing again reads the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  pelorin::ProfileFile profile;
  profile.Parse(text);
  (void)profile.ReadList("Closure");
  (void)profile.ReadInteger("Solution Method", "Method", 0);
  (void)profile.ReadBool("Options", "PlayMusic", false);
  const std::string once = profile.Text();
  pelorin::ProfileFile again;
  again.Parse(once);
  if (again.Text() != once) {
    __builtin_trap();
  }
  profile.WriteString("Options", "Key\n=", "value\r\n[x]");
  profile.WriteList("Input Files", {"a", "b"}, true);
  profile.EraseSection("Options");
  (void)profile.Text();
  return 0;
}
