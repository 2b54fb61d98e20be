#include "results/log_tail.h"

#include "platform/strings.h"
#include "platform/text_file.h"
#include "summaries/line_source.h"

#include <algorithm>
#include <cctype>

namespace pelorin {

namespace {

bool ContainsError(const std::string& line) {
  return LowerCase(line).find("error") != std::string::npos;
}

} // namespace

void FillLogMemo(LineSource& source, LogMemo& memo) {
  std::vector<std::string> ring(kLogTailLines);
  long long read = 0;
  std::string line;
  while (source.ReadLine(line)) {
    if (line.size() > kLogLineChars) {
      line.resize(kLogLineChars);
    }
    ring[static_cast<std::size_t>(read % kLogTailLines)] = std::move(line);
    ++read;
  }
  memo.lines.clear();
  const long long kept = std::min<long long>(read, kLogTailLines);
  for (long long i = read - kept; i < read; ++i) {
    memo.lines.push_back(std::move(ring[static_cast<std::size_t>(i % kLogTailLines)]));
  }

  int marked = -1;
  int error = -1;
  for (int i = 0; i < static_cast<int>(memo.lines.size()); ++i) {
    const std::string& text = memo.lines[static_cast<std::size_t>(i)];
    if (text.find("%%") != std::string::npos && text.find("earch for") == std::string::npos) {
      marked = i;
    }
    if (ContainsError(text)) {
      error = i;
    }
  }
  const int chosen = marked >= 0 ? marked : error;
  memo.selStart = 0;
  memo.selLength = 0;
  if (chosen >= 0) {
    for (int i = 0; i < chosen; ++i) {
      memo.selStart += static_cast<int>(memo.lines[static_cast<std::size_t>(i)].size()) + 2;
    }
    memo.selLength = static_cast<int>(memo.lines[static_cast<std::size_t>(chosen)].size());
  }
  if (read >= kLogTailLines) {
    memo.lines.push_back("Log file has " + std::to_string(read) + " lines, but only the last " +
                         std::to_string(kLogTailLines) + " lines are shown here.");
    memo.lines.push_back("Use View..Log to see the whole file.");
  }
  memo.visible = true;
  memo.focused = true;
}

int SingleBreakPosition(const std::vector<std::string>& lines, int position) {
  long long remaining = std::max(position, 0);
  long long single = 0;
  for (const std::string& line : lines) {
    const auto length = static_cast<long long>(line.size());
    if (remaining <= length) {
      return static_cast<int>(single + remaining);
    }
    remaining -= length + 2;
    single += length + 1;
    if (remaining < 0) {
      return static_cast<int>(single - 1);
    }
  }
  // Past the last line: the end of the text (no break after its last line).
  return static_cast<int>(std::max(single - 1, 0LL));
}

bool GetLog(const std::string& fileName, LogMemo& memo, ErrorText& errorText) {
  TextFile file;
  if (!TxtOpen(file, fileName, errorText)) {
    return AddTag(errorText, "[GetLog]");
  }
  LineSource source(file);
  FillLogMemo(source, memo);
  ErrorText closeError;
  TxtClose(file, closeError);
  return true;
}

} // namespace pelorin
