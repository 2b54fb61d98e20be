#include "ui/closure_page_widget.h"

#include "simspec/closure_page.h"
#include "ui/lines_text.h"
#include "ui/qt_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

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

ClosurePageWidget::ClosurePageWidget(ClosurePage& page, QWidget* parent)
    : QWidget(parent), page_(page), text_(new QPlainTextEdit(this)),
      load_(new QPushButton(QStringLiteral("Load Closure"), this)),
      save_(new QPushButton(QStringLiteral("Save Closure"), this)),
      check_(new QPushButton(QStringLiteral("Check Closure"), this)),
      errorLogLabel_(new QLabel(QStringLiteral("Closure check log"), this)),
      errorLog_(new QPlainTextEdit(this)),
      hideErrorLog_(new QPushButton(QStringLiteral("Hide Error Log"), this)),
      setSizesLog_(new QPlainTextEdit(this)),
      setSizes_(new QPushButton(QStringLiteral("&Set Sizes etc"), this)), errorLogView_(errorLog_),
      setSizesView_(setSizesLog_) {
  setObjectName(QStringLiteral("ClosureTabSheet"));
  text_->setObjectName(QStringLiteral("ClosureMemo"));
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  load_->setObjectName(QStringLiteral("LoadClosureButton"));
  save_->setObjectName(QStringLiteral("SaveClosureButton"));
  check_->setObjectName(QStringLiteral("CheckClosureButton"));
  errorLog_->setObjectName(QStringLiteral("ClosureErrorLogMemo"));
  hideErrorLog_->setObjectName(QStringLiteral("HideClosureErrorLogButton"));
  setSizesLog_->setObjectName(QStringLiteral("SetSizesLogMemo"));
  setSizes_->setObjectName(QStringLiteral("SetSizesButton"));
  for (QPlainTextEdit* log : {errorLog_, setSizesLog_}) {
    log->setReadOnly(true);
    log->setLineWrapMode(QPlainTextEdit::NoWrap);
    UseLogFont(log);
  }
  QFont bold = errorLogLabel_->font();
  bold.setBold(true);
  errorLogLabel_->setFont(bold);

  auto* buttons = new QHBoxLayout;
  auto* caption = new QLabel(QStringLiteral("Closure"), this);
  caption->setFont(bold);
  buttons->addWidget(caption);
  buttons->addStretch(1);
  buttons->addWidget(load_);
  buttons->addWidget(save_);
  buttons->addWidget(check_);
  auto* logRow = new QHBoxLayout;
  logRow->addWidget(errorLogLabel_);
  logRow->addStretch(1);
  logRow->addWidget(setSizes_);
  logRow->addWidget(hideErrorLog_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(text_, 3);
  layout->addLayout(logRow);
  layout->addWidget(errorLog_, 2);
  layout->addWidget(setSizesLog_, 2);

  connect(text_, &QPlainTextEdit::textChanged, this, [this] { edited_ = true; });
  connect(load_, &QPushButton::clicked, this, [this] { Forward(&ClosurePage::LoadClosureButtonClick); });
  connect(save_, &QPushButton::clicked, this, [this] { Forward(&ClosurePage::SaveClosureButtonClick); });
  connect(check_, &QPushButton::clicked, this, [this] { Forward(&ClosurePage::CheckClosureButtonClick); });
  connect(hideErrorLog_, &QPushButton::clicked, this,
          [this] { Forward(&ClosurePage::HideErrorLogButtonClick); });
  connect(setSizes_, &QPushButton::clicked, this, [this] { Forward(&ClosurePage::SetSizesButtonClick); });
}

template <typename Routine> void ClosurePageWidget::Forward(Routine routine) {
  PushEdits();
  (page_.*routine)();
  Q_EMIT Changed();
}

void ClosurePageWidget::PushEdits() {
  if (edited_) {
    edited_ = false;
    shownLines_ = TextLines(text_);
    page_.Lines = shownLines_;
    page_.Modified = true;
  }
  page_.Selection = SelectedText(text_);
  pushedSelection_ = !page_.Selection.empty();
}

void ClosurePageWidget::Refresh() {
  if (!shown_ || page_.Lines != shownLines_) {
    shown_ = true;
    shownLines_ = page_.Lines;
    const QSignalBlocker blocker(text_);
    text_->setPlainText(LinesToQString(shownLines_));
    edited_ = false;
  }
  if (pushedSelection_ && page_.Selection.empty()) {
    // The logic took the selection (Copy): it is gone.
    QTextCursor cursor = text_->textCursor();
    cursor.clearSelection();
    text_->setTextCursor(cursor);
  }
  pushedSelection_ = false;
  const bool errorLog = page_.ErrorLogVisible;
  errorLogLabel_->setVisible(errorLog);
  errorLog_->setVisible(errorLog);
  hideErrorLog_->setVisible(errorLog || page_.SetSizesLogVisible);
  if (errorLog) {
    errorLogView_.Show(page_.ErrorLog, page_.ErrorLogSelStart, page_.ErrorLogSelLength);
  }
  setSizesLog_->setVisible(page_.SetSizesLogVisible);
  if (page_.SetSizesLogVisible) {
    setSizesView_.Show(page_.SetSizesLog, 0, 0);
  }
  setSizes_->setVisible(page_.SetSizesButtonVisible);
}

void ClosurePageWidget::SetSizes(int fontUnit) {
  if (fontUnit == fontUnit_) {
    return;
  }
  fontUnit_ = fontUnit;
  QFont font = text_->font();
  font.setPixelSize(fontUnit);
  text_->setFont(font);
}

} // namespace pelorin
