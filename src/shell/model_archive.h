#pragma once

#include <cstdint>
#include <string>

namespace pelorin {

/// The most an archive may unpack to when a model is added (models are a few megabytes).
inline constexpr std::uint64_t kMaxModelArchiveBytes = 1ull << 30;

/// Extracts every file entry of a zip archive into the new folder `folder` (which must not exist) by its bare
/// file name. The archive is checked whole before anything is written and refused when it cannot be read,
/// holds no files, a symbolic link, an encrypted entry, an entry whose bare name is empty, "." or "..", or
/// holds a control character, two entries of the same bare name (ignoring case), or more than `maxBytes` in
/// total. The files are written into a hidden folder beside `folder`, never over an existing file, and that
/// folder is renamed to `folder` only when everything was written; on any failure it is removed. False with
/// the reason.
bool InstallModelArchive(const std::string& archive, const std::string& folder, std::uint64_t maxBytes,
                         std::string& reason);

} // namespace pelorin
