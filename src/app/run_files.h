#pragma once

// The files a run of pelorin-solve leaves in the folders it is given, so that a folder used again holds only
// the new run's files, and the tail of a log as a failing run prints it.

#include "platform/error_text.h"
#include "platform/folder_clearing.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// True for a file the chain of a solve writes beside its solution `solutionStem`.sl4 (names compared
/// ignoring case): the solution, its command file, log, accuracy and closure-solution files, the converted
/// results (".sol", ".sli", the levels files ".so2" to ".so4" and the subtotal files ".su1" ... ".s10" ...
/// ".100" ...), and the post-simulation's command, display and output files `postSimStem`.cmf, ".dis",
/// ".ou1" ... ".o10" ....
bool IsSolveOutput(std::string_view fileName, std::string_view solutionStem, std::string_view postSimStem);

/// Removes from `folder` (the files directly in it, never a folder, never what a link points at) what a run
/// of pelorin-solve writes there: the solve's outputs (IsSolveOutput), the files `namedFiles` (the output
/// lines' files, by name) and the kept model information "current.svi". Nothing else is touched. Refused,
/// deleting nothing, for a folder that must never be cleared in bulk (a link, "/", the home folder,
/// `protectedFolders`). False with the reason and "[RemoveRunFiles]" when refused or a file stays.
bool RemoveRunFiles(const std::string& folder, std::string_view solutionStem, std::string_view postSimStem,
                    const std::vector<std::string>& namedFiles,
                    const std::vector<NamedFolder>& protectedFolders, ErrorText& errorText);

/// Removes the CSV files (names ending in ".csv") directly in `folder`, refused as RemoveRunFiles is. False
/// with the reason and "[RemoveCsvFiles]".
bool RemoveCsvFiles(const std::string& folder, const std::vector<NamedFolder>& protectedFolders,
                    ErrorText& errorText);

/// The last `count` lines of a text, whole (a CR before a line's end dropped).
std::vector<std::string> LastLinesOfText(std::string_view text, std::size_t count);

/// The last `count` lines of a text file (LastLinesOfText); empty when it cannot be read.
std::vector<std::string> LastLines(const std::string& fileName, std::size_t count);

} // namespace pelorin
