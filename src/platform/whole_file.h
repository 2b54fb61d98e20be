#pragma once

#include "platform/error_text.h"

#include <functional>
#include <string>
#include <string_view>

namespace pelorin {

/// Replaces a file's contents whole: the text goes to a new file beside it that is then renamed over the old
/// one, so a failed write leaves the previous file exactly as it was and never a partial or empty one. A link
/// is followed (the file it points to is replaced, the link stays); an existing file keeps its permissions;
/// one the user may not write, or that is not a regular file, is not replaced. Fails with "Cannot create file
/// "
/// + path, "write error" or "Cannot replace file " + path, then `tag`.
bool ReplaceFileWhole(const std::string& path, std::string_view text, std::string_view tag,
                      ErrorText& errorText);

/// The step at which a whole-file replacement stopped, for callers that word their own messages.
enum class ReplaceStep {
  Done,
  NoName,
  FollowLink,
  NotAFile,
  ReadOnly,
  CreateTemporary,
  Write,
  BeforeRename,
  Rename
};

struct ReplaceOutcome {
  ReplaceStep step = ReplaceStep::Done;
  int error = 0;      ///< errno of the failed call, where there was one
  std::string reason; ///< the link's failure, or what `beforeRename` said
};

/// ReplaceFileWhole's steps with the failure handed back. `beforeRename`, when given, runs once the new
/// contents are safely written, with the file about to be replaced (the link's target) and whether it
/// exists; returning false stops the replacement and leaves the old file as it was.
ReplaceOutcome ReplaceFileWholeSteps(const std::string& path, std::string_view text,
                                     const std::function<bool(const std::string& target, bool exists,
                                                              std::string& reason)>& beforeRename = {});

} // namespace pelorin
