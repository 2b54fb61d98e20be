// vexmoor.exe: the charting program. Without arguments it shows its window and listens for the tables the
// Results page hands over; "--render" draws one table into a picture file without a window.
//
//   vexmoor.exe [--socket NAME]
//   vexmoor.exe --render TABLE.txt --out FILE.png|FILE.svg [--type bar|line|hbar] [--series rows|columns]
//               [--size WIDTHxHEIGHT]

#include "results/chart_table.h"
#include "vexmoor/chart_builder.h"
#include "vexmoor/vexmoor_window.h"

#include <QApplication>
#include <QChart>
#include <QFile>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QStringList>
#include <cstdio>
#include <memory>

namespace {

constexpr const char* kUsage =
    "usage: vexmoor.exe [--socket NAME]\n"
    "       vexmoor.exe --render TABLE.txt --out FILE.png|FILE.svg [--type bar|line|hbar]\n"
    "                   [--series rows|columns] [--size WIDTHxHEIGHT]\n";

int Fail(const QString& message, int code) {
  std::fprintf(stderr, "vexmoor.exe: %s\n", message.toLocal8Bit().constData());
  return code;
}

struct Options {
  bool render = false;
  QString table;
  QString out;
  QString socket;
  pelorin::ChartType type = pelorin::ChartType::Bar;
  pelorin::SeriesOrientation series = pelorin::SeriesOrientation::Automatic;
  QSize size{1000, 620};
};

// Reads the arguments; false with a message for anything it does not know.
bool ReadArguments(const QStringList& arguments, Options& options, QString& error) {
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    const QString value = hasValue ? arguments[i + 1] : QString();
    if (argument == QStringLiteral("--render") && hasValue) {
      options.render = true;
      options.table = value;
    } else if (argument == QStringLiteral("--out") && hasValue) {
      options.out = value;
    } else if (argument == QStringLiteral("--socket") && hasValue) {
      options.socket = value;
    } else if (argument == QStringLiteral("--type") && hasValue) {
      if (!pelorin::ParseChartType(value, options.type)) {
        error = QStringLiteral("unknown chart type \"%1\" (bar, line or hbar)").arg(value);
        return false;
      }
    } else if (argument == QStringLiteral("--series") && hasValue) {
      if (!pelorin::ParseSeriesOrientation(value, options.series)) {
        error = QStringLiteral("unknown series choice \"%1\" (rows or columns)").arg(value);
        return false;
      }
    } else if (argument == QStringLiteral("--size") && hasValue) {
      const QStringList parts = value.split(QLatin1Char('x'));
      const int width = parts.size() == 2 ? parts[0].toInt() : 0;
      const int height = parts.size() == 2 ? parts[1].toInt() : 0;
      if (width < 100 || height < 100 || width > 10000 || height > 10000) {
        error = QStringLiteral("the size must be WIDTHxHEIGHT, each 100 to 10000 pixels: ") + value;
        return false;
      }
      options.size = QSize(width, height);
    } else {
      error = QStringLiteral("unknown or incomplete argument \"%1\"").arg(argument);
      return false;
    }
    ++i;
  }
  if (options.render && options.out.isEmpty()) {
    error = QStringLiteral("--render needs --out FILE.png or FILE.svg");
    return false;
  }
  return true;
}

int Render(const Options& options) {
  QFile file(options.table);
  if (!file.open(QIODevice::ReadOnly)) {
    return Fail(QStringLiteral("cannot read %1: %2").arg(options.table, file.errorString()), 1);
  }
  const QByteArray bytes = file.readAll();
  pelorin::ChartTable table;
  pelorin::ErrorText error;
  if (!pelorin::ReadChartTable(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                               table, error)) {
    // The reader's routine names mean nothing to a person at the command line.
    QString message = QString::fromStdString(error);
    message.remove(QRegularExpression(QStringLiteral("\\s*\\[[A-Za-z]+\\]$")));
    return Fail(options.table + QStringLiteral(": ") + message, 1);
  }
  const pelorin::ChartPlan plan = pelorin::PlanChart(table, options.series);
  if (!plan.note.isEmpty()) {
    std::fprintf(stderr, "vexmoor.exe: %s\n", plan.note.toLocal8Bit().constData());
  }
  const std::unique_ptr<QChart> chart(pelorin::BuildChart(table, options.type, options.series));
  QString failure;
  if (!pelorin::RenderChart(*chart, options.out, options.size, failure)) {
    return Fail(failure, 1);
  }
  return 0;
}

// Another Vexmoor holds the socket: hand it the notice, so it reads the clipboard, and leave it the stage.
bool NotifyRunning(const QString& socket) {
  QLocalSocket probe;
  probe.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
  probe.connectToServer(socket);
  if (!probe.waitForConnected(500)) {
    return false;
  }
  probe.write(pelorin::kVexmoorNotice.data(), static_cast<qint64>(pelorin::kVexmoorNotice.size()));
  probe.waitForBytesWritten(500);
  probe.disconnectFromServer();
  return true;
}

} // namespace

int main(int argc, char** argv) {
  bool render = false;
  for (int i = 1; i < argc; ++i) {
    render = render || QByteArray(argv[i]) == "--render";
  }
  // Rendering needs no screen.
  if (render && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vexmoor"));
  Options options;
  QString error;
  if (!ReadArguments(QApplication::arguments(), options, error)) {
    std::fputs(kUsage, stderr);
    return Fail(error, 2);
  }
  if (options.render) {
    return Render(options);
  }
  const QString socket =
      options.socket.isEmpty() ? QString::fromStdString(pelorin::VexmoorSocketName()) : options.socket;
  pelorin::VexmoorWindow window;
  if (!window.Listen(socket, error)) {
    if (NotifyRunning(socket)) {
      return 0;
    }
    return Fail(QStringLiteral("cannot listen on %1: %2").arg(socket, error), 1);
  }
  window.show();
  return QApplication::exec();
}
