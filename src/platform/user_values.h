#pragma once

#include "platform/error_text.h"

#include <string>
#include <string_view>

namespace pelorin {

/// The per-user values file: "KALVIMO.ini" in the folder "KALVIMO" of the user's configuration folder
/// (XDG_CONFIG_HOME, else ~/.config), section "KALVIMO". It holds the values a user sets once for every
/// program of the suite ("ForceDecimalPoint", "FlashTaskBar").
std::string UserValuesPath();

/// A per-user flag; `fallback` when the file or the value is absent or unreadable.
bool ReadUserBool(std::string_view name, bool fallback);
/// A per-user text; `fallback` when absent.
std::string ReadUserString(std::string_view name, std::string_view fallback);

/// Stores a per-user flag as "1" or "0", creating the folder and file when needed. Failure appends the
/// reason, then "[WriteUserValue]".
bool WriteUserBool(std::string_view name, bool value, ErrorText& errorText);
/// Stores a per-user text (see WriteUserBool).
bool WriteUserString(std::string_view name, std::string_view value, ErrorText& errorText);

} // namespace pelorin
