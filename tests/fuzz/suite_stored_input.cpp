// Fuzzes the engine's stored-input reader and its text data reader.
#include "engine/data_io.h"
#include "engine/stored_input.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  pelorin::engine::StoredInput input;
  pelorin::ErrorText err;
  pelorin::engine::ParseStoredInput(text, "fuzz.sti", input, err);
  pelorin::engine::DataFile file;
  pelorin::engine::ParseTextData(text, "fuzz.txt", file, err);
  return 0;
}
