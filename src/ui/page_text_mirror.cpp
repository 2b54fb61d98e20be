#include "ui/page_text_mirror.h"

#include "ui/lines_text.h"
#include "ui/qt_text.h"

#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

namespace pelorin {

std::vector<std::string> TextLines(const QPlainTextEdit* edit) {
  const QTextDocument* document = edit->document();
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(document->blockCount()));
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    lines.push_back(ToStdString(block.text()));
  }
  // An empty box, or one whose last line is empty after a final line break, holds no line there.
  if (!lines.empty() && lines.back().empty()) {
    lines.pop_back();
  }
  return lines;
}

std::string SelectedText(const QPlainTextEdit* edit) {
  QString text = edit->textCursor().selectedText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return ToStdString(text);
}

PageTextMirror::PageTextMirror(QPlainTextEdit* text, bool followAppended)
    : text_(text), followAppended_(followAppended) {
  QObject::connect(text_, &QPlainTextEdit::textChanged, text_, [this] { edited_ = true; });
}

void PageTextMirror::Push(std::vector<std::string>& lines, bool& modified, std::string& selection) {
  if (edited_) {
    edited_ = false;
    shownLines_ = TextLines(text_);
    lines = shownLines_;
    modified = true;
  }
  selection = SelectedText(text_);
  pushedSelection_ = !selection.empty();
}

void PageTextMirror::Show(const std::vector<std::string>& lines, const std::string& selection) {
  if (!shown_ || lines != shownLines_) {
    const bool appended = followAppended_ && shown_ && lines.size() > shownLines_.size() &&
                          std::equal(shownLines_.begin(), shownLines_.end(), lines.begin());
    shown_ = true;
    shownLines_ = lines;
    const QSignalBlocker blocker(text_);
    text_->setPlainText(LinesToQString(shownLines_));
    edited_ = false;
    if (appended) {
      // What was just added is in view.
      text_->moveCursor(QTextCursor::End);
      text_->ensureCursorVisible();
    }
  }
  if (pushedSelection_ && selection.empty()) {
    // The logic took the selection (Copy): it is gone.
    QTextCursor cursor = text_->textCursor();
    cursor.clearSelection();
    text_->setTextCursor(cursor);
  }
  pushedSelection_ = false;
}

} // namespace pelorin
