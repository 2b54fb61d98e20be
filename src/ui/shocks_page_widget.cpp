#include "ui/shocks_page_widget.h"

#include "simspec/shocks_page.h"
#include "ui/lines_text.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace pelorin {

ShocksPageWidget::ShocksPageWidget(QWidget* parent) : QWidget(parent), text_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("ShocksTabSheet"));
  text_->setObjectName(QStringLiteral("ShockMemo"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Shocks"), this));
  layout->addWidget(text_, 1);
}

void ShocksPageWidget::Refresh(const ShocksPage& page) {
  if (!shown_ || page.Lines != shownLines_) {
    shown_ = true;
    shownLines_ = page.Lines;
    text_->setPlainText(LinesToQString(shownLines_));
  }
}

} // namespace pelorin
