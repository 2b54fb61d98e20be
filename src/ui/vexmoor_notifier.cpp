#include "ui/vexmoor_notifier.h"

#include "results/chart_table.h"
#include "shell/companion_programs.h"

#include <QDateTime>
#include <QLocalSocket>
#include <QProcess>
#include <QStringList>

namespace pelorin {

namespace {

constexpr int kRetryMilliseconds = 100;
constexpr int kMaxAttempts = 100;
// A program started this long ago still counts as coming up.
constexpr qint64 kStartGraceMilliseconds = 10000;
constexpr int kConnectMilliseconds = 250;

QString FromStd(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

VexmoorNotifier::VexmoorNotifier(std::string programDir, QString socketName, QObject* parent)
    : QObject(parent), programDir_(std::move(programDir)), socketName_(std::move(socketName)) {
  retry_.setInterval(kRetryMilliseconds);
  connect(&retry_, &QTimer::timeout, this, [this] {
    if (Send() || ++attempts_ >= kMaxAttempts) {
      retry_.stop();
    }
  });
}

QString VexmoorNotifier::DefaultSocketName() {
  return FromStd(VexmoorSocketName());
}

ChartingLink VexmoorNotifier::Link() {
  return {[this] { return EnsureRunning(); }, [this] { Notify(); }};
}

bool VexmoorNotifier::EnsureRunning() {
  QLocalSocket probe;
  probe.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
  probe.connectToServer(socketName_);
  if (probe.waitForConnected(kConnectMilliseconds)) {
    probe.disconnectFromServer();
    return true;
  }
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (startedAt_ >= 0 && now - startedAt_ < kStartGraceMilliseconds) {
    return true;
  }
  const std::string program = FindProgram("Vexmoor", programDir_);
  if (program.empty()) {
    return false;
  }
  QStringList arguments;
  if (socketName_ != DefaultSocketName()) {
    arguments << QStringLiteral("--socket") << socketName_;
  }
  const std::string folder = startFolder_.empty() ? programDir_ : startFolder_;
  qint64 started = 0;
  if (!QProcess::startDetached(FromStd(program), arguments, FromStd(folder), &started)) {
    return false;
  }
  startedProcess_ = started;
  startedAt_ = now;
  return true;
}

void VexmoorNotifier::Notify() {
  attempts_ = 0;
  if (Send()) {
    retry_.stop();
  } else {
    retry_.start();
  }
}

bool VexmoorNotifier::Send() {
  QLocalSocket socket;
  socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
  socket.connectToServer(socketName_);
  if (!socket.waitForConnected(kConnectMilliseconds)) {
    return false;
  }
  socket.write(kVexmoorNotice.data(), static_cast<qint64>(kVexmoorNotice.size()));
  const bool sent = socket.waitForBytesWritten(kConnectMilliseconds) || socket.bytesToWrite() == 0;
  socket.disconnectFromServer();
  return sent;
}

} // namespace pelorin
