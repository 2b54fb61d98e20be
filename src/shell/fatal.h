#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pelorin {

class UserInterface;

/// How the program ends after a fatal error: by default the process exits with the code. Tests put a recorder
/// in its place; when it returns, the fatal routines return too and their callers stop what they were doing.
using ExitHook = std::function<void(int exitCode)>;

/// The default exit: ends the process at once with the code.
ExitHook ProcessExit();

/// Shows "Fatal Error:" with what went wrong, the name it concerns and advice (OK and Help), then "Program
/// will be halted due to fatal errors.", then ends with exit code 1.
void FatalError(UserInterface& ui, const ExitHook& exit, std::string_view what, std::string_view name,
                std::string_view advice);

/// Shows the pending error text (OK and Help), then "Program will be halted due to fatal errors", then ends
/// with exit code 1.
void FatalErrorText(UserInterface& ui, const ExitHook& exit, std::string_view errorText);

/// Shows "Program  Error:" and the text, then "Program will be halted due to fatal errors", then ends with
/// exit code 1. Used when a file the program must read is unreadable.
void ProgramError(UserInterface& ui, const ExitHook& exit, std::string_view text);

} // namespace pelorin
