#include "ui/log_memo_view.h"

#include "results/log_tail.h"
#include "ui/lines_text.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

namespace pelorin {

namespace {

// The selected line in view, read from its start: log lines are read from the left.
void BringSelectionIntoView(QPlainTextEdit* memo) {
  memo->ensureCursorVisible();
  memo->horizontalScrollBar()->setValue(0);
}

} // namespace

void LogMemoView::Show(const std::vector<std::string>& lines, int selStart, int selLength) {
  if (lines == lines_ && selStart == selStart_ && selLength == selLength_) {
    return;
  }
  lines_ = lines;
  selStart_ = selStart;
  selLength_ = selLength;
  memo_->setPlainText(LinesToQString(lines_));
  const int end = memo_->document()->characterCount() - 1;
  QTextCursor cursor(memo_->document());
  cursor.setPosition(std::max(end - 20, 0));
  cursor.setPosition(std::min(std::max(end - 19, 0), end), QTextCursor::KeepAnchor);
  memo_->setTextCursor(cursor);
  memo_->ensureCursorVisible();
  const int start = std::min(SingleBreakPosition(lines_, selStart_), end);
  cursor.setPosition(start);
  cursor.setPosition(std::min(start + std::max(selLength_, 0), end), QTextCursor::KeepAnchor);
  memo_->setTextCursor(cursor);
  BringSelectionIntoView(memo_);
  // A memo shown by this same change is laid out later: the chosen line is brought into view again then.
  QTimer::singleShot(0, memo_, [memo = memo_] { BringSelectionIntoView(memo); });
}

void UseLogFont(QPlainTextEdit* memo) {
  // Only the family is set: the size follows the page's font.
  QFont font;
  font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                    QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
  font.setStyleHint(QFont::Monospace);
  memo->setFont(font);
}

} // namespace pelorin
