#pragma once

#include <string>

namespace pelorin {

/// How zipping a folder ended.
enum class ZipOutcome {
  Ok,          ///< every file was stored
  EntryFailed, ///< one file could not be added; the archive was abandoned
  Failed,      ///< the archive could not be created or written
};

/// Stores every regular file directly in `folder` (not its sub-folders, not symbolic links, not the archive
/// itself) in a new deflate-compressed zip archive `archive`, each by its bare file name. When a file cannot
/// be added, `failedEntry` names it. An abandoned archive leaves no file behind.
ZipOutcome ZipFolder(const std::string& folder, const std::string& archive, std::string& failedEntry);

} // namespace pelorin
