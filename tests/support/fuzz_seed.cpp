#include "support/fuzz_seed.h"

#include <filesystem>
#include <fstream>

namespace pelorin::test {

void SaveFuzzSeed(std::string_view target, std::string_view name, std::string_view bytes) {
  const std::filesystem::path folder = std::filesystem::path(PELORIN_FUZZ_CORPUS_DIR) / target;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace pelorin::test
