#include "shell/model_archive.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

// Installs arbitrary bytes as a model archive into a fresh folder (the installer works on files, so the bytes
// go to one first), then removes what it made.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string base = "/tmp/fuzz_shell_model_archive_" + std::to_string(::getpid());
  static const std::string path = base + ".zip";
  static const std::string programDir = base + "_prog";
  std::error_code ec;
  std::filesystem::create_directories(programDir, ec);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    return 0;
  }
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::string reason;
  pelorin::InstallModelArchive(path, programDir + "/model", 1 << 20, reason);
  std::filesystem::remove_all(programDir + "/model", ec);
  return 0;
}
