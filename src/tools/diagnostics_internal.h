#pragma once

// Helpers shared by the source files of the diagnostics report; not for use elsewhere.

#include "tools/diagnostics_report.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::diagnostics {

/// A system path below the view's root.
std::string SystemPath(const SystemView& view, std::string_view path);
/// Reads a small file whole (files of /proc report no size, so it reads to the end); false when it cannot
/// be read. At most `limit` bytes are kept.
bool ReadSmallFile(const std::string& path, std::string& text, std::size_t limit = 4u << 20);
/// The value of an environment variable of the view; nothing when unset.
std::optional<std::string> EnvValue(const SystemView& view, std::string_view name);
/// The lines of a text (LF or CR LF); a final line without LF counts.
std::vector<std::string_view> SplitLines(std::string_view text);
/// The user's home folder: HOME of the view, else "/".
std::string HomeFolder(const SystemView& view);
/// An XDG base folder: the variable when it holds an absolute path, else the home folder joined with
/// `fallback`.
std::string XdgFolder(const SystemView& view, std::string_view variable, std::string_view fallback);
/// A search path laid out as the report shows it: each entry after the first on a line of its own, four
/// blanks in, every entry but the last ending with the separator.
std::vector<std::string> PathLines(std::string_view path);

void OperatingSystemSection(DiagnosticsReport& report, const DiagnosticsFacts& facts, const SystemView& view);
void AppearanceSection(DiagnosticsReport& report, const DiagnosticsFacts& facts, const SystemView& view);
void FileAssociationsSection(DiagnosticsReport& report, const SystemView& view);
void SpecialFoldersSection(DiagnosticsReport& report, const SystemView& view);
void RegistrySection(DiagnosticsReport& report, const SystemView& view);
void ProcessesSection(DiagnosticsReport& report, const SystemView& view);

} // namespace pelorin::diagnostics
