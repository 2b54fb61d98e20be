#pragma once

#include "platform/error_text.h"

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

} // namespace pelorin
