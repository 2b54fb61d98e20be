#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>

class QAbstractButton;
class QWidget;

namespace pelorin::test {

/// Installs the build's program folder (the programs, Minimal and Trade, their archives) into `folder`. False
/// with the installer's output in `log` when it fails.
bool InstallProgramFolder(const std::string& folder, std::string& log);

/// Watches for a modal window that `match` accepts and calls `act` with it once it is up. It is polled on the
/// event loop, so it also runs inside the loop of the call that shows the window (a chooser, a file dialog).
/// Stops when it has acted, after `timeoutMs`, or when it goes.
class ModalWatch {
public:
  ModalWatch(std::function<bool(QWidget*)> match, std::function<void(QWidget*)> act, int timeoutMs = 10000);
  ~ModalWatch();
  ModalWatch(const ModalWatch&) = delete;
  ModalWatch& operator=(const ModalWatch&) = delete;

  /// It found its window and acted.
  bool Acted() const { return acted_; }

private:
  QTimer timer_;
  int waited_ = 0;
  bool acted_ = false;
};

/// A match for ModalWatch: a window of class T.
template <typename T> std::function<bool(QWidget*)> IsA() {
  return [](QWidget* window) { return qobject_cast<T*>(window) != nullptr; };
}

/// Types `path` into a file dialog's name box and accepts it, as a person would; tried again until the dialog
/// takes it (it may still be reading its folder).
void ChooseInFileDialog(QWidget* dialog, const QString& path);

/// The button of a dialog whose caption, without its access key, is `caption` (null when none).
QAbstractButton* FindButton(QWidget* dialog, const QString& caption);

/// The text of a message box (empty for other windows).
QString MessageBoxText(QWidget* window);

/// Answers every message box shown while it lives, as a person would: with the next queued button caption,
/// else the box's first button (OK or Yes). Keeps every text it saw.
class MessageAnswerer {
public:
  MessageAnswerer();
  ~MessageAnswerer();
  MessageAnswerer(const MessageAnswerer&) = delete;
  MessageAnswerer& operator=(const MessageAnswerer&) = delete;

  QStringList texts;                          ///< the texts of the boxes answered, in order
  std::deque<QString> answers;                ///< button captions to press, first in first out
  std::function<void(QWidget*)> beforeAnswer; ///< runs with each box before it is answered (a picture)

private:
  void Poll();
  QTimer timer_;
};

} // namespace pelorin::test
