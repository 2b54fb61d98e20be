#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

/// The most an archive may unpack to when a model is added (models are a few megabytes).
inline constexpr std::uint64_t kMaxModelArchiveBytes = 1ull << 30;
/// The most entries an archive may hold when a model is added (a model folder holds a few dozen files).
inline constexpr std::uint64_t kMaxModelArchiveEntries = 1000;

/// Renames a folder only when nothing is at the new name: 0, or -1 with errno set as rename(2) does. The
/// system's uses RENAME_NOREPLACE; tests put one in its place that fails as a file system without it does.
using RenameNoReplaceFn = int (*)(const char* from, const char* to);
int SystemRenameNoReplace(const char* from, const char* to);

/// Why an archive's name (without ".zip") cannot name a model folder: it is empty, starts with "." (the
/// catalogue never lists such a folder), or holds a control character or a separator; nothing when it can.
std::optional<std::string> ModelArchiveNameProblem(std::string_view name);

/// Extracts every file entry of a zip archive into the new folder `folder` (which must not exist) by its bare
/// file name. The archive is checked whole before anything is written and refused when it cannot be read,
/// holds no files, more than kMaxModelArchiveEntries entries, a symbolic link, an encrypted entry, an entry
/// whose bare name is empty, "." or "..", or holds a control character, two entries of the same bare name
/// (ignoring case), or more than `maxBytes` in total; an entry that holds more or fewer bytes than it
/// declares is refused as it is read. The files are written into a hidden folder beside `folder`, never over
/// an existing file, and that folder is renamed to `folder` only when everything was written, never over
/// anything there (where the file system cannot rename that way, the name is first claimed by making an
/// empty folder); on any failure it is removed. False with the reason.
bool InstallModelArchive(const std::string& archive, const std::string& folder, std::uint64_t maxBytes,
                         std::string& reason, RenameNoReplaceFn renameNoReplace = SystemRenameNoReplace);

} // namespace pelorin
