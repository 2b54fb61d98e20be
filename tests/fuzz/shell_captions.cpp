#include "shell/captions.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

// Reads arbitrary bytes as a model's caption file (the reader works on files, so the bytes go to one first).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/fuzz_shell_captions_" + std::to_string(::getpid()) + ".tit";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    return 0;
  }
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  pelorin::ModelCaptions captions;
  pelorin::ErrorText error;
  pelorin::ReadCaptions(path, captions, error);
  for (const pelorin::CaptionRecord& record : captions.records) {
    (void)pelorin::CaptionLabelHeight(pelorin::CaptionFontHeight(1080, record.size));
  }
  return 0;
}
