#pragma once

#include "platform/error_text.h"
#include "platform/folder_clearing.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

struct AppState;
class UserInterface;

/// The temporary-area probe: tries the folders named by KVTEMP, TMP and TEMP, then "/tmp", and succeeds at
/// the first where TempAreaFolder finds a folder it can write in; `found` (when given) is set to that folder.
/// On failure appends the lines saying so, then "[FormCreate]".
bool FindWritableTempArea(ErrorText& errorText, std::string* found = nullptr);

/// The folder the probe writes in below a temporary area (trimmed, one trailing separator dropped, made
/// absolute): KVTEMP/ORVANE, created with its parents if missing. When everyone may write in the area (as in
/// /tmp) each user gets a folder of his own, KVTEMP-<user>/ORVANE, which must be a real folder owned by the
/// user: the first user to start must not own the folder every other user needs. Nothing when the folder
/// cannot be made, is not the user's own, or a scratch file cannot be written and erased in it.
std::optional<std::string> TempAreaFolder(std::string_view candidate);

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

/// The folders whose files are never deleted in bulk besides "/" and the home folder: the program folder, the
/// model's folder and the folder that keeps "current.svi" (those of them that are set).
std::vector<NamedFolder> FoldersNeverCleared(const AppState& app);

/// Why the work folder cannot be used, as the first part of the fatal message ("Work folder is a symbolic
/// link: "): its files are deleted at every solve and at close-down, so it must be a folder of its own;
/// nothing when it can be used.
std::optional<std::string> WorkFolderProblem(const AppState& app);

/// Deletes the files directly in the work folder (never its sub-folders, never through a link) unless
/// WorkFolderProblem refuses it; false with the reason otherwise.
bool ClearWorkFolder(const AppState& app, ErrorText& errorText);

} // namespace pelorin
