#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

/// The separator between a folder and a name on this platform.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

/// The folder without trailing separators, one separator, the name without leading separators.
std::string JoinPath(std::string_view folder, std::string_view name);

/// A path as written on a command line, into a batch file, a command file or a list line: trimmed of blanks;
/// left alone when it is at least two characters long and already starts and ends with a double quote;
/// otherwise wrapped in double quotes when it holds a blank or any of & ( ) < > @ ^.
std::string QuoteIfNeeded(std::string_view path);

/// The folder part of a path including its final separator ("" when there is none).
std::string ExtractFilePath(std::string_view path);
/// The name part of a path (everything after the last separator).
std::string ExtractFileName(std::string_view path);
/// The extension of a path's name including the dot ("" when the name has none).
std::string ExtractFileExt(std::string_view path);
/// The path with the extension of its name replaced by `ext` (which includes the dot, or is empty).
std::string ChangeFileExt(std::string_view path, std::string_view ext);

/// The existing entry of `folder` whose name equals `name` ignoring ASCII case: the exact name when it exists,
/// otherwise the first match in byte order of the names. The result is the full path; nothing when none matches.
std::optional<std::string> FindFileIgnoringCase(std::string_view folder, std::string_view name);

/// The existing file for a full path whose name part may differ in case (the folder part is taken as it is).
std::optional<std::string> FindPathIgnoringCase(std::string_view path);

} // namespace pelorin
