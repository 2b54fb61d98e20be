#include "ui_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace pelorin::test {

namespace {

QWidget* ModalWindow() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal->isVisible()) {
    return modal;
  }
  return nullptr;
}

QString WithoutAccessKey(QString caption) {
  return caption.remove(QLatin1Char('&'));
}

} // namespace

bool InstallProgramFolder(const std::string& folder, std::string& log) {
  const std::string logFile = folder + ".install.log";
  const std::string command = std::string("'") + PELORIN_CMAKE + "' --install '" + PELORIN_BINARY_DIR +
                              "' --prefix '" + folder + "' > '" + logFile + "' 2>&1";
  const int status = std::system(command.c_str());
  std::ifstream in(logFile);
  log.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return status == 0;
}

ModalWatch::ModalWatch(std::function<bool(QWidget*)> match, std::function<void(QWidget*)> act,
                       int timeoutMs) {
  timer_.setInterval(10);
  QObject::connect(&timer_, &QTimer::timeout,
                   [this, match = std::move(match), act = std::move(act), timeoutMs] {
                     waited_ += timer_.interval();
                     QWidget* modal = ModalWindow();
                     if (modal != nullptr && match(modal)) {
                       timer_.stop();
                       acted_ = true;
                       act(modal);
                     } else if (waited_ >= timeoutMs) {
                       timer_.stop();
                     }
                   });
  timer_.start();
}

ModalWatch::~ModalWatch() = default;

void ChooseInFileDialog(QWidget* dialog, const QString& path) {
  const QPointer<QWidget> window(dialog);
  for (int attempt = 0; attempt < 500 && window != nullptr && window->isVisible(); ++attempt) {
    // A file still selected in the dialog's list wins over a typed name, and the list selects the proposed
    // file when its folder listing arrives: choosing through the dialog clears that selection.
    if (auto* files = qobject_cast<QFileDialog*>(window.data())) {
      files->selectFile(path);
    }
    if (auto* name = window->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
      name->setText(path);
    }
    QMetaObject::invokeMethod(window, "accept");
    if (window != nullptr && window->isVisible()) {
      QTest::qWait(10);
    }
  }
}

QAbstractButton* FindButton(QWidget* dialog, const QString& caption) {
  if (dialog == nullptr) {
    return nullptr;
  }
  for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
    if (WithoutAccessKey(button->text()).compare(caption, Qt::CaseInsensitive) == 0) {
      return button;
    }
  }
  return nullptr;
}

QString MessageBoxText(QWidget* window) {
  const auto* box = qobject_cast<QMessageBox*>(window);
  return box != nullptr ? box->text() : QString();
}

MessageAnswerer::MessageAnswerer() {
  timer_.setInterval(10);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
  timer_.start();
}

MessageAnswerer::~MessageAnswerer() = default;

void MessageAnswerer::Poll() {
  auto* box = qobject_cast<QMessageBox*>(ModalWindow());
  if (box == nullptr) {
    return;
  }
  timer_.stop(); // the picture below may run the event loop
  texts << box->text();
  if (beforeAnswer) {
    beforeAnswer(box);
  }
  QAbstractButton* button = nullptr;
  if (!answers.empty()) {
    button = FindButton(box, answers.front());
    answers.pop_front();
  }
  if (button == nullptr) {
    const QList<QAbstractButton*> buttons = box->buttons();
    for (QMessageBox::StandardButton first : {QMessageBox::Ok, QMessageBox::Yes}) {
      if (QAbstractButton* standard = box->button(first)) {
        button = standard;
        break;
      }
    }
    if (button == nullptr && !buttons.isEmpty()) {
      button = buttons.constFirst();
    }
  }
  if (button != nullptr) {
    button->click();
  }
  timer_.start();
}

} // namespace pelorin::test
