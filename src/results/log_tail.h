#pragma once

// The end of a log file shown in a memo, with the line most worth reading selected.

#include "platform/error_text.h"

#include <string>
#include <vector>

namespace pelorin {

class LineSource;

/// Most lines of a log the memo shows, and the characters kept of each.
inline constexpr int kLogTailLines = 700;
inline constexpr std::size_t kLogLineChars = 80;

/// A multi-line text box showing a log's tail.
struct LogMemo {
  std::vector<std::string> lines;
  int selStart = 0; ///< the selection, in characters (each line counts its length + 2)
  int selLength = 0;
  bool visible = false;
  bool focused = false;
};

/// Fills the memo with the last 700 lines of a log (80 characters of each), a notice when lines were left
/// out, and selects the last line holding "%%" (but not "earch for"), else the last holding "error" in any
/// case. Fails with the open routine's message + "[GetLog]".
bool GetLog(const std::string& fileName, LogMemo& memo, ErrorText& errorText);
/// A position in the memo's text counted with each line break as two characters (CR LF, as LogMemo's
/// selection counts) as it is counted with each line break as one character (a text box's own count). A
/// position inside a line break is the end of its line; one past the text is the text's end.
int SingleBreakPosition(const std::vector<std::string>& lines, int position);
/// GetLog over lines already open.
void FillLogMemo(LineSource& source, LogMemo& memo);

} // namespace pelorin
