#pragma once

#include "platform/error_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelorin::engine {

/// The answers a solver run reads from its stored-input file: the report file, the command file and the
/// lines typed at the terminal that follow them (data the model reads from the terminal).
struct StoredInput {
  std::string reportFile;
  std::string commandFile;
  std::vector<std::string> terminalLines;
};

/// Decodes a stored input: option codes, one per line and ignoring case, each followed by its value line:
/// "rpt" (report file) and "cmf" (command file, which ends the options); every later line is terminal data.
/// Blank lines between options are skipped. Failures name the file and line: "FILE:LINE: error: ...".
bool ParseStoredInput(std::string_view text, const std::string& fileName, StoredInput& input,
                      ErrorText& errorText);
/// Reads a stored-input file from disk.
bool ReadStoredInput(const std::string& path, StoredInput& input, ErrorText& errorText);

} // namespace pelorin::engine
