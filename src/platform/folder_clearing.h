#pragma once

#include "platform/error_text.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// A folder whose files must never be deleted in bulk, and how a message names it ("the program folder").
struct NamedFolder {
  std::string path;
  std::string what;
};

/// Which files of a folder a bulk deletion takes, by bare name; an empty filter takes every file.
using FileNameFilter = std::function<bool(std::string_view name)>;

/// Why the files of `folder` must not be deleted in bulk, as the end of a sentence ("is a symbolic link",
/// "is the home folder", "is the program folder"); nothing when they may be. Refused are a path that is not
/// absolute, a symbolic link (never followed, whatever it points at), something that is not a folder, and a
/// folder that is the same folder as "/", the home folder (HOME and the user's entry in the password file) or
/// one of `protectedFolders`, compared as the folders they resolve to.
std::optional<std::string> BulkDeleteRefusal(const std::string& folder,
                                             const std::vector<NamedFolder>& protectedFolders);

/// Deletes the files directly in `folder` that `wanted` takes: regular files and links themselves, never a
/// sub-folder, never what a link points at. The folder is checked as BulkDeleteRefusal says on the very
/// folder opened, so swapping it for a link meanwhile deletes nothing. On refusal nothing is deleted. False,
/// with the reason and "[DeleteFilesIn]", when refused, when the folder cannot be read or a file cannot be
/// deleted (the others are still deleted).
bool DeleteFilesIn(const std::string& folder, const std::vector<NamedFolder>& protectedFolders,
                   const FileNameFilter& wanted, ErrorText& errorText);

/// Removes `folder` and everything below it without following any link (a link is removed, not what it points
/// at), under the same refusal as DeleteFilesIn. False, with the reason and "[RemoveFolderTree]", when
/// refused or when something could not be removed.
bool RemoveFolderTree(const std::string& folder, const std::vector<NamedFolder>& protectedFolders,
                      ErrorText& errorText);

} // namespace pelorin
