#pragma once

#include <string>
#include <vector>

class QPlainTextEdit;

namespace pelorin {

/// A page's text box kept in step with the lines its logic holds: what the person typed goes to the logic
/// before an event is handled, and the logic's lines are put back only when they changed, so the cursor and
/// the scroll position outlive every other refresh.
class PageTextMirror {
public:
  /// `followAppended`: lines the logic added at the end are scrolled into view.
  PageTextMirror(QPlainTextEdit* text, bool followAppended);

  /// Hands the lines typed since the last call (marking them modified) and the selection to the logic.
  void Push(std::vector<std::string>& lines, bool& modified, std::string& selection);
  /// Shows the logic's lines when they differ from those shown; a selection the logic took (Copy) goes.
  void Show(const std::vector<std::string>& lines, const std::string& selection);

private:
  QPlainTextEdit* text_;
  bool followAppended_;
  std::vector<std::string> shownLines_;
  bool shown_ = false;
  bool edited_ = false;
  bool pushedSelection_ = false;
};

/// The lines of a plain-text box as the core keeps them.
std::vector<std::string> TextLines(const QPlainTextEdit* edit);
/// The selected text of a plain-text box, line breaks as "\n" (empty when nothing is selected).
std::string SelectedText(const QPlainTextEdit* edit);

} // namespace pelorin
