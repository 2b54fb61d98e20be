#pragma once

// What a viewer window asks of the desktop: showing an error, choosing a file to open or to save, putting
// text on the clipboard. Windows call these hooks; tests replace them so nothing modal ever appears.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace pelorin {

struct ViewerServices {
  /// Shows an error message (a modal box by default).
  std::function<void(QWidget* parent, const QString& title, const QString& text)> showError;
  /// Shows an information message.
  std::function<void(QWidget* parent, const QString& title, const QString& text)> showInformation;
  /// Chooses an existing file: title, folder, filters; empty when cancelled.
  std::function<QString(QWidget* parent, const QString& title, const QString& folder, const QString& filters)>
      chooseOpenFile;
  /// Chooses one or more existing files: title, folder, filters; empty when cancelled.
  std::function<QStringList(QWidget* parent, const QString& title, const QString& folder,
                            const QString& filters)>
      chooseOpenFiles;
  /// Chooses a file to write: title, proposed path, filters; empty when cancelled.
  std::function<QString(QWidget* parent, const QString& title, const QString& path, const QString& filters)>
      chooseSaveFile;
  /// Puts text on the clipboard.
  std::function<void(const QString& text)> setClipboardText;
};

/// The services of the desktop: message boxes, file dialogs, the system clipboard.
ViewerServices DesktopServices();

/// Writes text to a file (UTF-8); false with the reason in `error` when it cannot.
bool WriteTextFile(const QString& path, const QString& text, QString& error);

} // namespace pelorin
