// Fuzzes the Header Array reader: whole-file reads (plain, sorted, skipping bad headers), single-header reads
// and the real-details read, with and without double-precision values kept, on arbitrary bytes.

#include "datafiles/har_data.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin;
  static const std::string path = "/tmp/fuzz_datafiles_har_" + std::to_string(getpid());
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  // Keep allocations small so that runs stay fast: pretend the machine has 200 MB (150 MB after the reserve).
  static const bool limited = [] {
    SetMemoryStatusSource([] { return MemoryStatus{200ull << 20, 64ull << 20}; });
    SetHarWarningHandler([](const std::string&) {});
    return true;
  }();
  (void)limited;
  ErrorText errorText;
  std::unique_ptr<HarData> har;
  bool skipped = false;
  const unsigned mode = size > 0 ? data[size - 1] : 0;
  ReadHarFile(path, (mode & 1) != 0, (mode & 2) != 0, har, skipped, errorText,
              HarReadOptions{(mode & 32) != 0});
  errorText.clear();
  GetRealDetails(path, har, errorText);
  errorText.clear();
  std::unique_ptr<THeadRecz> head;
  const char* names[] = {"PRIC", "XXCD", "V3RE", "NOTE"};
  ReadHeaderFromHarFile(path, names[(mode >> 2) & 3], (mode & 16) != 0, head, errorText,
                        HarReadOptions{(mode & 64) != 0});
  std::remove(path.c_str());
  return 0;
}
