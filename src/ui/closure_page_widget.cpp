#include "ui/closure_page_widget.h"

#include "simspec/closure_page.h"
#include "ui/lines_text.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace pelorin {

ClosurePageWidget::ClosurePageWidget(QWidget* parent) : QWidget(parent), text_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("ClosureTabSheet"));
  text_->setObjectName(QStringLiteral("ClosureMemo"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Closure"), this));
  layout->addWidget(text_, 1);
}

void ClosurePageWidget::Refresh(const ClosurePage& page) {
  if (!shown_ || page.Lines != shownLines_) {
    shown_ = true;
    shownLines_ = page.Lines;
    text_->setPlainText(LinesToQString(shownLines_));
  }
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
