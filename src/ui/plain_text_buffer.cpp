#include "ui/plain_text_buffer.h"

#include "ui/qt_text.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace pelorin {

namespace {

// The lines kept below a match that the view scrolls to, so that what follows it can be read.
constexpr int kLinesBelowMatch = 4;

bool IsWordAt(const QTextDocument& document, int position) {
  if (position < 0 || position >= document.characterCount()) {
    return false;
  }
  return PlainTextBuffer::IsWordChar(document.characterAt(position));
}

} // namespace

bool PlainTextBuffer::IsWordChar(QChar c) {
  // The document ends each line with a paragraph separator, which lies beyond ASCII but is a line break.
  if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
    return false;
  }
  return c.isLetterOrNumber() || c == QLatin1Char('_') || c.unicode() > 0x7F;
}

bool PlainTextBuffer::Find(std::string_view text, const FindOptions& options) {
  const QString wanted = ToQString(text);
  if (wanted.isEmpty()) {
    return false;
  }
  QTextDocument::FindFlags flags;
  if (options.matchCase) {
    flags |= QTextDocument::FindCaseSensitively;
  }
  if (options.up) {
    flags |= QTextDocument::FindBackward;
  }
  const QTextDocument& document = *edit_.document();
  QTextCursor from = edit_.textCursor();
  for (;;) {
    QTextCursor found = document.find(wanted, from, flags);
    if (found.isNull()) {
      return false;
    }
    // Whole words are judged here rather than by the document, so that "_" joins words as it does in the
    // command files the editor mostly shows.
    const bool whole = !options.wholeWord || (!IsWordAt(document, found.selectionStart() - 1) &&
                                              !IsWordAt(document, found.selectionEnd()));
    if (whole) {
      edit_.setTextCursor(found);
      return true;
    }
    // The next try starts just beyond this match's first character, in the search's direction.
    from = QTextCursor(edit_.document());
    from.setPosition(options.up ? found.selectionStart() : found.selectionStart() + 1);
  }
}

void PlainTextBuffer::ReplaceSelection(std::string_view text) {
  QTextCursor cursor = edit_.textCursor();
  const int start = cursor.selectionStart();
  const QString replacement = ToQString(text);
  cursor.insertText(replacement);
  cursor.setPosition(start);
  cursor.setPosition(start + static_cast<int>(replacement.size()), QTextCursor::KeepAnchor);
  edit_.setTextCursor(cursor);
}

int PlainTextBuffer::CaretLine() const {
  return edit_.textCursor().blockNumber() + 1;
}

void PlainTextBuffer::RevealSelection() {
  // Without line wrap the vertical scroll bar counts lines: the first line on screen.
  QScrollBar* bar = edit_.verticalScrollBar();
  const int lineHeight = std::max(edit_.fontMetrics().lineSpacing(), 1);
  const int linesOnScreen = std::max(edit_.viewport()->height() / lineHeight, 1);
  const int line = edit_.textCursor().blockNumber();
  const int below = std::min(kLinesBelowMatch, linesOnScreen / 2);
  if (line < bar->value() || line > bar->value() + linesOnScreen - 1 - below) {
    bar->setValue(std::max(line - (linesOnScreen - 1 - below), 0));
  }
  edit_.ensureCursorVisible();
}

} // namespace pelorin
