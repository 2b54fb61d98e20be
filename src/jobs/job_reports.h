#pragma once

// What the suite's programs leave behind: their report files, and the copy of the solution summary kept as
// the current model information.

#include "platform/error_text.h"

#include <functional>
#include <string>

namespace pelorin {

class UserInterface;

/// Waits a number of milliseconds between attempts (tests count the waits instead).
using RetryPause = std::function<void(int milliseconds)>;

/// The pause that really sleeps.
RetryPause SleepingPause();

/// True when the report's section "Result" says "Status" "ok" (a missing status reads "?"). A report that
/// exists but is still held by its writer (locked, or not yet holding its status) is tried up to 6 times,
/// waiting 200 x attempt ms before attempts 2 to 6.
bool ReportStatusOk(const std::string& report, const RetryPause& pause);

/// The suite version in the report ("GPVer Large" of "Result"), 0 when it cannot be read.
int ReportSuiteVersion(const std::string& report);

/// Warns when a job left no report: the program is probably no program of the suite, or did not run.
void WarnIfNoReport(const std::string& report, const std::string& program, UserInterface& ui);

/// Copies a file over `target` (through a temporary file beside it, so a reader never sees half a copy),
/// trying up to 10 times and waiting 10 ms, then twice as long after each failure. Fails with "Cannot copy "
/// + source
/// + " to " + target, then "[CopyFileWithRetries]".
bool CopyFileWithRetries(const std::string& source, const std::string& target, const RetryPause& pause,
                         ErrorText& errorText);

} // namespace pelorin
