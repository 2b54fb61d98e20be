#pragma once

#include <QDate>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QSoundEffect;

namespace pelorin {

/// What the about box shows and does.
struct AboutBoxContents {
  std::string title;
  double version = 0;
  std::string executablePath;
  /// The suite-version lines (SuiteVersionLines).
  std::vector<std::string> suiteVersionLines;
  /// "&Help" is shown when above 0, and shows this topic.
  int helpContext = 0;
  std::function<void(int topic)> showHelp;
  /// "&Diagnostics": opens the diagnostics window over the about box.
  std::function<void(QWidget* owner)> showDiagnostics;
  /// Called after the icon was clicked and has shaken (the main window's way into developer mode).
  std::function<void()> iconCallback;
};

/// The about box: the program's title, version, file and the suite's version, with "&OK", "&Help" and
/// "&Diagnostics". A click on the program icon plays a short sound, shakes the icon and then calls back.
class TvxAboutBox : public QDialog {
  Q_OBJECT
public:
  TvxAboutBox(AboutBoxContents contents, QWidget* owner);
  ~TvxAboutBox() override;

  /// The icon was clicked: sound, 30 shakes of 2 pixels 30 ms apart, then the callback. The event loop runs
  /// on meanwhile; a click while it shakes is ignored.
  void ProgramIconClick();
  /// The sound a click plays on a day: "BEE" on the odd days of the week counted from Sunday as 1 (Sunday,
  /// Tuesday, Thursday, Saturday), "POP" on the even ones.
  static QString SoundOf(const QDate& day);

  QLabel* Icon() const { return icon_; }
  QLabel* TitleLabel() const { return title_; }
  QLabel* VersionLabel() const { return version_; }
  QLabel* FileLabel() const { return file_; }
  QLabel* SuitePanel() const { return suite_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* HelpButton() const { return help_; }
  QPushButton* DiagnosticsButton() const { return diagnostics_; }
  /// True while the icon shakes.
  bool Shaking() const { return shakeTimer_.isActive(); }
  /// The sound the last click played ("BEE" or "POP"; empty before a click).
  const QString& LastSound() const { return lastSound_; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void ShakeStep();

  AboutBoxContents contents_;
  QLabel* icon_ = nullptr;
  QLabel* title_ = nullptr;
  QLabel* version_ = nullptr;
  QLabel* file_ = nullptr;
  QLabel* suite_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* help_ = nullptr;
  QPushButton* diagnostics_ = nullptr;
  QTimer shakeTimer_;
  int shakes_ = 0;
  QPoint iconHome_;
  QString lastSound_;
  std::unique_ptr<QSoundEffect> sound_;
};

} // namespace pelorin
