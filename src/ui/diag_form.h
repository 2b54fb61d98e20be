#pragma once

#include "tools/diagnostics_report.h"
#include "tools/diagnostics_run.h"

#include <QDialog>
#include <QTimer>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace pelorin {

class UserInterface;

/// The screen as the window layer sees it, for the report's "Appearance" section: the screen of `window`
/// (the primary one without a window), the menu, main and monospace fonts and every monitor.
ScreenFacts ScreenFactsOf(const QWidget* window);

/// The diagnostics window: a note, the report in a memo, "&OK", "&Copy" and "&Save". Opening it starts the
/// model compiler's report run; a 100 ms timer watches for its end and adds its section to the report.
class TvxDiagForm : public QDialog {
  Q_OBJECT
public:
  /// The report of `facts` (screen and suite-version lines included) over the live system; the report run
  /// uses the compiler of `suiteFolder` (empty: none found) in `tempDir`; the save dialog opens in `saveDir`.
  TvxDiagForm(UserInterface& ui, const DiagnosticsFacts& facts, const std::string& suiteFolder,
              const std::string& tempDir, const std::string& saveDir, QWidget* owner);
  ~TvxDiagForm() override;

  /// The whole report as the memo shows it.
  QString ReportText() const;
  /// "&Copy": the whole report to the clipboard, tried again while the clipboard is busy.
  void CopyButtonClick();
  /// "&Save": asks for a file (" Save Diagnostic File", "Diag.txt") and writes the report's lines to it.
  void SaveButtonClick();

  QLabel* Note() const { return note_; }
  QPlainTextEdit* Memo() const { return memo_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CopyButton() const { return copy_; }
  QPushButton* SaveButton() const { return save_; }
  /// True while the report run is watched.
  bool Watching() const { return timer_.isActive(); }

protected:
  void done(int result) override;

private:
  void TimerTick();
  void ShowReport();

  UserInterface& ui_;
  std::string saveDir_;
  DiagnosticsReport report_;
  DiagnosticsReportRun run_;
  QTimer timer_;
  QLabel* note_ = nullptr;
  QPlainTextEdit* memo_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* copy_ = nullptr;
  QPushButton* save_ = nullptr;
};

} // namespace pelorin
