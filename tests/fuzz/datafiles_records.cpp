// Fuzzes the record layer: flavour detection, opening, and every read of records, headers and cursors.

#include "datafiles/record_file.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string TempFile() {
  static const std::string name = "/tmp/fuzz_datafiles_records_" + std::to_string(getpid());
  return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin;
  const std::string path = TempFile();
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  ErrorText errorText;
  CheckLaheyFile(path, errorText);
  // Read the file three ways: whole records, data-record splits with cursor reads, and the header scan.
  for (int pass = 0; pass < 3; ++pass) {
    LaheyFile file;
    bool isFujitsu = false;
    errorText.clear();
    if (!OpenLaheyFile(file, path, isFujitsu, errorText)) {
      break;
    }
    file.skipByReading = size > 0 && (data[0] & 1) != 0;
    for (int i = 0; i < 64; ++i) {
      errorText.clear();
      if (pass == 0) {
        std::int64_t length = 0;
        bool eof = false;
        if (!GetLaheyRecA(file, SharedRecordBuffer(), isFujitsu, length, eof, errorText) || eof) {
          break;
        }
      } else if (pass == 1) {
        RecordParts parts;
        std::int32_t ints[15];
        if (!GetRecBufInts(file, 3, isFujitsu, ints, parts, errorText)) {
          break;
        }
        RecordCursor cursor{parts.elements, parts.count, 0};
        std::int32_t v32;
        std::int64_t v64;
        std::string name;
        bool b;
        float f;
        double d;
        char c;
        ReadIntAt(cursor, v32, errorText);
        ReadInt64At(cursor, v64, errorText);
        ReadFixedName(cursor, ints[0] & 0xFF, name, errorText);
        ReadBoolAt(cursor, b, errorText);
        ReadSingleAt(cursor, f, errorText);
        ReadDoubleAt(cursor, d, errorText);
        ReadCharAt(cursor, c, errorText);
      } else {
        std::string name;
        bool found = false;
        if (!GetHead(file, isFujitsu, name, found, errorText) || !found) {
          break;
        }
      }
    }
  }
  std::remove(path.c_str());
  return 0;
}
