#pragma once

#include <iosfwd>
#include <string>

namespace pelorin {

/// The program's version as the about box and the report show it (the settings file stores it as 240).
inline constexpr double kProgramVersion = 2.40;

/// `pelorin --diagnostics`: prints the diagnostics report of the program at `executablePath` to `out`, one
/// line per line, without a window: the same sections as the diagnostics window (no screen, no model's
/// settings file), the suite-version lines, and the section of the model compiler's report run, made in a
/// temporary folder of its own that is removed afterwards. Returns the exit code (0).
int PrintDiagnosticsReport(const std::string& executablePath, const std::string& commandLine,
                           std::ostream& out);

} // namespace pelorin
