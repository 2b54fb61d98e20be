#pragma once

#include "platform/user_interface.h"

#include <functional>
#include <string_view>

namespace pelorin {

/// Waits the given number of milliseconds between clipboard attempts (tests pass a recorder).
using ClipboardWait = std::function<void(int milliseconds)>;

/// Puts text on the clipboard, trying up to 10 times and waiting 20 x k ms after failed attempt k (another
/// program may hold the clipboard for a moment). False when it stayed unavailable.
bool CopyTextWithRetries(UserInterface& ui, std::string_view text, const ClipboardWait& wait = {});

} // namespace pelorin
