#pragma once

#include <string>

namespace pelorin::merka {

/// "merka.exe -sti FILE": a stored input whose first line is "RPT" asks for the report run. The compiler
/// writes the report file named on the second line (relative to the current folder) with section "result":
/// "release" (the suite's release) and "Program version" ("e": an installed executable image), and exits
/// with 0. Any other stored input is refused with exit code 1.
int RunStoredInput(const std::string& storedInput);

} // namespace pelorin::merka
