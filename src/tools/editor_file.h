#pragma once

#include "platform/error_text.h"

#include <string>
#include <string_view>

namespace pelorin {

/// A file as the editor holds it: its text with lines ending in LF, whether it is text at all, and the line
/// end it is written back with.
struct EditorFile {
  /// The bytes of the file; when it is valid text, a CR before each LF is dropped.
  std::string text;
  /// The file is valid UTF-8 without NUL bytes. Anything else is shown read-only: the editing widget cannot
  /// hold it unchanged, so saving would write other bytes than were read.
  bool validText = true;
  /// The file's first line ends in CR LF; every line is written back that way.
  bool crlf = false;
};

/// True when the bytes are UTF-8 text: well-formed sequences, no overlong forms, surrogates or values above
/// U+10FFFF, and no NUL byte.
bool IsValidText(std::string_view bytes);

/// Reads a whole file for the editor in one pass. Fails with "Cannot open file " + path + ": " + reason or
/// "read error from file " + path, then "[LoadEditorFile]".
bool LoadEditorFile(const std::string& path, EditorFile& file, ErrorText& errorText);

/// The text as it is saved: blanks and tabs at the ends of lines removed, lines ending in CR LF when `crlf`.
std::string SavedText(std::string_view text, bool crlf);

/// The name the previous contents of `path` are kept under when it is saved over: its extension replaced by
/// ".BAK" (added when it has none).
std::string BackupName(const std::string& path);

/// Saves the editor's text (LF lines) to `path` as SavedText makes it. The text goes to a new file beside the
/// target that is renamed over it, so a failed save leaves the old file as it was; an existing file is kept
/// as BackupName(path) first (not when that is the file itself). A link is followed to the file it names;
/// the file keeps its permissions. Fails with "Cannot save " + path + ": " + reason, then "[SaveEditorFile]".
bool SaveEditorFile(const std::string& path, std::string_view text, bool crlf, ErrorText& errorText);

} // namespace pelorin
