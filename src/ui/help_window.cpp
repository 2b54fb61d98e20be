#include "ui/help_window.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

namespace pelorin {

HelpWindow::HelpWindow(const QString& helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), helpFile_(helpFile), browser_(new QTextBrowser(this)),
      findBox_(new QLineEdit(this)), backButton_(new QPushButton(tr("&Back"), this)),
      forwardButton_(new QPushButton(tr("&Forward"), this)) {
  setObjectName(QStringLiteral("HelpWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  browser_->setOpenExternalLinks(true);
  auto* contents = new QPushButton(tr("&Contents"), this);
  auto* findNext = new QPushButton(tr("Find &Next"), this);
  auto* findLabel = new QLabel(tr("F&ind:"), this);
  findLabel->setBuddy(findBox_);
  findBox_->setClearButtonEnabled(true);
  backButton_->setEnabled(false);
  forwardButton_->setEnabled(false);

  auto* bar = new QHBoxLayout;
  bar->addWidget(backButton_);
  bar->addWidget(forwardButton_);
  bar->addWidget(contents);
  bar->addStretch(1);
  bar->addWidget(findLabel);
  bar->addWidget(findBox_, 1);
  bar->addWidget(findNext);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(browser_, 1);

  connect(backButton_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forwardButton_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, backButton_, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forwardButton_, &QPushButton::setEnabled);
  connect(contents, &QPushButton::clicked, this, [this] { ShowTopic(QString()); });
  connect(findNext, &QPushButton::clicked, this, [this] { FindNext(findBox_->text()); });
  connect(findBox_, &QLineEdit::returnPressed, this, [this] { FindNext(findBox_->text()); });
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QFileInfo(helpFile_).fileName() : title);
  });
  auto* find = new QShortcut(QKeySequence::Find, this);
  connect(find, &QShortcut::activated, findBox_, [this] {
    findBox_->setFocus();
    findBox_->selectAll();
  });

  const int unit = fontMetrics().height();
  resize(48 * unit, 36 * unit);
}

void HelpWindow::ShowTopic(const QString& topic) {
  QUrl url = QUrl::fromLocalFile(helpFile_);
  if (!topic.isEmpty()) {
    url.setFragment(topic);
  }
  browser_->setSource(url);
  if (topic.isEmpty()) {
    browser_->moveCursor(QTextCursor::Start);
    browser_->verticalScrollBar()->setValue(0);
  }
}

bool HelpWindow::FindNext(const QString& text) {
  if (text.isEmpty()) {
    return false;
  }
  if (browser_->find(text)) {
    return true;
  }
  const QTextCursor kept = browser_->textCursor();
  browser_->moveCursor(QTextCursor::Start);
  if (browser_->find(text)) {
    return true;
  }
  browser_->setTextCursor(kept);
  return false;
}

} // namespace pelorin
