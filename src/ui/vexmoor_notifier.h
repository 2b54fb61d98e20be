#pragma once

#include "results/results_page.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <string>

namespace pelorin {

/// The Results page's side of the charting hand-off: makes sure the charting program listens (starting
/// vexmoor.exe from the program folder when nobody does) and tells it, over its local socket, that the
/// clipboard holds a table. A program just started may not listen yet: the notice is then tried again for a
/// few seconds without holding up the window.
class VexmoorNotifier : public QObject {
  Q_OBJECT
public:
  /// `programDir` is where vexmoor.exe is looked for (then PATH); `socketName` the socket it listens on.
  explicit VexmoorNotifier(std::string programDir, QString socketName = DefaultSocketName(),
                           QObject* parent = nullptr);

  /// The socket of the user running this program.
  static QString DefaultSocketName();

  /// What the Results page calls (ResultsPage::SetChartingLink).
  ChartingLink Link();
  /// True when the charting program listens, or was started now (or a moment ago) and will.
  bool EnsureRunning();
  /// Sends the notice (again, until it is taken or about ten seconds have passed).
  void Notify();
  /// The folder the charting program is started in (the model's folder).
  void SetStartFolder(std::string folder) { startFolder_ = std::move(folder); }
  /// True while a notice waits for the program to listen.
  bool NoticePending() const { return retry_.isActive(); }
  /// The process id of the charting program this notifier started last, 0 when it started none.
  qint64 StartedProcess() const { return startedProcess_; }

private:
  bool Send();

  std::string programDir_;
  QString socketName_;
  std::string startFolder_;
  QTimer retry_;
  int attempts_ = 0;
  qint64 startedAt_ = -1;
  qint64 startedProcess_ = 0;
};

} // namespace pelorin
