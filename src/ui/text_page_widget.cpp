#include "ui/text_page_widget.h"

#include "shell/catalogue.h"
#include "ui/qt_text.h"

#include <QTextBrowser>
#include <QVBoxLayout>

namespace pelorin {

TextPageWidget::TextPageWidget(QWidget* parent) : QWidget(parent), browser_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("TextTabSheet"));
  browser_->setObjectName(QStringLiteral("RichEdit1"));
  browser_->setReadOnly(true);
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(browser_);
}

void TextPageWidget::Refresh(const TextPage& page) {
  if (shown_ && page.richTextFile == shownFile_) {
    return;
  }
  shown_ = true;
  shownFile_ = page.richTextFile;
  if (shownFile_.empty()) {
    browser_->clear();
    return;
  }
  // Rich text is read by the description reader of the next release; until then the page names the file.
  browser_->setPlainText(
      QStringLiteral("The model's description is in the file\n%1").arg(ToQString(shownFile_)));
}

} // namespace pelorin
