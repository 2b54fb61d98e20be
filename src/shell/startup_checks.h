#pragma once

#include "platform/error_text.h"

#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

class UserInterface;

/// The temporary-area probe: tries the folders named by KVTEMP, TMP and TEMP, then "/tmp", and succeeds at
/// the first where KVTEMP/ORVANE below it can be created and a scratch file written and erased.
/// On failure appends the lines saying so, then "[FormCreate]".
bool FindWritableTempArea(ErrorText& errorText);

/// What is wrong with the program folder's name (a "%", "(", ")", a blank, or more than 70 characters), as
/// the first part of the fatal message; nothing when the name is fine.
std::optional<std::string> ProgramDirNameProblem(std::string_view programDir);

/// The command interpreter that runs job scripts: the file `comspec` (the value of COMSPEC, read once when
/// the program starts) names when it is not blank, otherwise "/bin/sh". Empty when that file does not exist.
std::string CommandInterpreter(std::string_view comspec);

/// Creates, closes and erases a scratch file (named after this process) in the folder; false when any step
/// fails.
bool CanWriteTestFile(const std::string& folder);

/// Points TMP, TEMP and KVTEMP at the work folder for every program started later, first keeping each defined
/// value in "ORIGINAL_" + name (a failure to keep one is a warning). False, after the fatal message, when a
/// variable cannot be set.
bool SetJobEnvironment(const std::string& workDir, UserInterface& ui);

} // namespace pelorin
