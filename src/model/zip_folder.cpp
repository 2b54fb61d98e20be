#include "model/zip_folder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>
#include <zip.h>

namespace pelorin {

namespace fs = std::filesystem;

namespace {

bool CanRead(const fs::path& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    return false;
  }
  std::fclose(f);
  return true;
}

} // namespace

ZipOutcome ZipFolder(const std::string& folder, const std::string& archive, std::string& failedEntry) {
  failedEntry.clear();
  std::error_code ec;
  const fs::path archivePath = fs::absolute(archive, ec);
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    std::error_code entryEc;
    if (!entry.is_regular_file(entryEc) || entry.is_symlink(entryEc)) {
      continue;
    }
    if (fs::equivalent(entry.path(), archivePath, entryEc)) {
      continue;
    }
    files.push_back(entry.path());
  }
  if (ec) {
    return ZipOutcome::Failed;
  }
  std::sort(files.begin(), files.end());

  int zipError = 0;
  zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &zipError);
  if (zip == nullptr) {
    return ZipOutcome::Failed;
  }
  for (const fs::path& file : files) {
    const std::string name = file.filename().string();
    zip_source_t* source = CanRead(file) ? zip_source_file(zip, file.c_str(), 0, -1) : nullptr;
    const zip_int64_t index =
        source == nullptr ? -1 : zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_GUESS);
    if (index < 0) {
      zip_source_free(source);
      zip_discard(zip);
      failedEntry = file.string();
      return ZipOutcome::EntryFailed;
    }
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0);
  }
  if (files.empty()) {
    // An archive without entries is not written by the zip layer; leave a valid empty one.
    zip_discard(zip);
    static constexpr unsigned char kEmptyArchive[22] = {0x50, 0x4b, 0x05, 0x06};
    std::FILE* f = std::fopen(archive.c_str(), "wb");
    if (f == nullptr) {
      return ZipOutcome::Failed;
    }
    const bool written = std::fwrite(kEmptyArchive, 1, sizeof kEmptyArchive, f) == sizeof kEmptyArchive;
    if (std::fclose(f) != 0 || !written) {
      fs::remove(archive, ec);
      return ZipOutcome::Failed;
    }
    return ZipOutcome::Ok;
  }
  if (zip_close(zip) != 0) {
    zip_discard(zip);
    return ZipOutcome::Failed;
  }
  return ZipOutcome::Ok;
}

} // namespace pelorin
