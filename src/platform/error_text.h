#pragma once

#include <string>
#include <string_view>

namespace pelorin {

/// The error text a caller hands to a routine: on failure the routine appends its message and its own name in
/// square brackets, so the text reads from the innermost cause outward.
using ErrorText = std::string;

/// Appends a routine's message and then its tag (written exactly, e.g. "[TxtOpen]" or " [GetRecBuf]") and
/// returns false, so a failing routine can end with
/// `return Fail(errorText, "Cannot close file", "[TxtClose]");`.
inline bool Fail(ErrorText& errorText, std::string_view message, std::string_view tag = {}) {
  errorText.append(message);
  errorText.append(tag);
  return false;
}

/// Appends only a routine's tag after an inner routine has written the cause; returns false.
inline bool AddTag(ErrorText& errorText, std::string_view tag) {
  errorText.append(tag);
  return false;
}

} // namespace pelorin
