// Fuzzes the engine's command-file parser.
#include "engine/command_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelorin::engine::CommandFile cmf;
  pelorin::ErrorText err;
  pelorin::engine::ParseCommandFile(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.cmf",
                                    cmf, err);
  return 0;
}
