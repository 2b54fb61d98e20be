#include "ui/text_page_widget.h"

#include "shell/catalogue.h"
#include "shell/rtf_reader.h"
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
  std::string html;
  ErrorText error;
  if (RtfFileToHtml(shownFile_, html, error)) {
    browser_->setHtml(ToQString(html));
  } else {
    // A description that cannot be read says why on the page itself.
    browser_->setPlainText(
        MessageToQString("The model's description " + shownFile_ + " cannot be shown:\r\n" + error));
  }
}

} // namespace pelorin
