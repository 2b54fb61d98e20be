#pragma once

#include <string>
#include <vector>

class QPlainTextEdit;

namespace pelorin {

/// Shows a log's tail in a read-only memo: the lines, the caret 20 characters before the end so that the
/// end is in view, then the line worth reading selected (`selStart` and `selLength` count each line break as
/// two characters, as the log tail does; a length of 0 selects nothing). Refills only when the lines or the
/// selection changed, so a person's own scrolling is kept.
class LogMemoView {
public:
  explicit LogMemoView(QPlainTextEdit* memo) : memo_(memo) {}

  void Show(const std::vector<std::string>& lines, int selStart, int selLength);

private:
  QPlainTextEdit* memo_;
  std::vector<std::string> lines_;
  int selStart_ = -1;
  int selLength_ = -1;
};

/// The memo font of the logs: "Courier New", else the system's fixed-width font.
void UseLogFont(QPlainTextEdit* memo);

} // namespace pelorin
