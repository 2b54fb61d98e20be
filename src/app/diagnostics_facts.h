#pragma once

#include "tools/diagnostics_report.h"

#include <string>

namespace pelorin {

class Application;

/// What the running program tells the diagnostics report about itself: its title, version, executable and
/// command line, help file, keep, settings and temporary folders, and its decimal separator. The screen and
/// the suite-version lines are the caller's to add.
DiagnosticsFacts DiagnosticsFactsOf(const Application& app, const std::string& commandLine);

} // namespace pelorin
