#include "viewkit/viewer_services.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QSaveFile>

namespace pelorin {

ViewerServices DesktopServices() {
  ViewerServices services;
  services.showError = [](QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::critical(parent, title, text);
  };
  services.showInformation = [](QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text);
  };
  services.chooseOpenFile = [](QWidget* parent, const QString& title, const QString& folder,
                               const QString& filters) {
    return QFileDialog::getOpenFileName(parent, title, folder, filters);
  };
  services.chooseOpenFiles = [](QWidget* parent, const QString& title, const QString& folder,
                                const QString& filters) {
    return QFileDialog::getOpenFileNames(parent, title, folder, filters);
  };
  services.chooseSaveFile = [](QWidget* parent, const QString& title, const QString& path,
                               const QString& filters) {
    return QFileDialog::getSaveFileName(parent, title, path, filters);
  };
  services.setClipboardText = [](const QString& text) { QApplication::clipboard()->setText(text); };
  return services;
}

bool WriteTextFile(const QString& path, const QString& text, QString& error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    error = "Cannot create file " + path + ": " + file.errorString();
    return false;
  }
  const QByteArray bytes = text.toUtf8();
  if (file.write(bytes) != bytes.size() || !file.commit()) {
    error = "Cannot write file " + path + ": " + file.errorString();
    return false;
  }
  return true;
}

} // namespace pelorin
