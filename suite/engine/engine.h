#pragma once

#include <string>
#include <vector>

namespace pelorin::engine {

/// Runs the engine as a model executable or as the general simulation program: `arguments` are the command
/// line after the program ("-sti", stored input, "-lon" or "-los", log), `programPath` the executable's own
/// path (a model executable finds its compiled model beside itself by its own name; "dravex.exe" takes it
/// from the command file's "Auxiliary files" statement). Returns the exit code: 0 on success, 1 when the run
/// failed (the log says why), 2 for a wrong command line.
int RunEngine(const std::string& programPath, const std::vector<std::string>& arguments);

} // namespace pelorin::engine
