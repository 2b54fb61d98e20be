#include "ui/closure_page_widget.h"

#include "simspec/closure_page.h"
#include "ui/qt_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pelorin {

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
      setSizesView_(setSizesLog_), textMirror_(text_, false) {
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
  textMirror_.Push(page_.Lines, page_.Modified, page_.Selection);
}

void ClosurePageWidget::Refresh() {
  textMirror_.Show(page_.Lines, page_.Selection);
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
