// Vexmoor: a table becomes bars, lines or horizontal bars with its series by rows or columns; charts are
// written as PNG and SVG; the command line renders without a window and refuses malformed tables; the
// window draws the table on the clipboard when a notice comes on its socket.
#include "results/chart_table.h"
#include "vexmoor/chart_builder.h"
#include "vexmoor/vexmoor_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <memory>
#include <unistd.h>

namespace pelorin {

namespace {

// QFAC's whole table: two factors by three solutions, one value missing.
const char* const kTable =
    "QFAC\t(Sim)\tPre\tPost\r\nlabour\t10.00\t130.00\t143.00\r\ncapital\t0\t120.00\tn.a.\r\n";

ChartTable Read(const std::string& text) {
  ChartTable table;
  ErrorText error;
  if (!ReadChartTable(text, table, error)) {
    qFatal("%s", error.c_str());
  }
  return table;
}

QStringList Categories(QChart* chart, Qt::Alignment side) {
  const QList<QAbstractAxis*> axes = chart->axes(side == Qt::AlignLeft ? Qt::Vertical : Qt::Horizontal);
  for (QAbstractAxis* axis : axes) {
    if (auto* categories = qobject_cast<QBarCategoryAxis*>(axis)) {
      return categories->categories();
    }
  }
  return {};
}

QString ValueAxisTitle(QChart* chart) {
  for (QAbstractAxis* axis : chart->axes()) {
    if (qobject_cast<QValueAxis*>(axis)) {
      return axis->titleText();
    }
  }
  return {};
}

void Notify(const QString& socket) {
  QLocalSocket client;
  client.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
  client.connectToServer(socket);
  QVERIFY(client.waitForConnected(1000));
  client.write(kVexmoorNotice.data(), static_cast<qint64>(kVexmoorNotice.size()));
  QVERIFY(client.waitForBytesWritten(1000));
  client.disconnectFromServer();
}

struct Run {
  int code = -1;
  QString errors;
};

Run Vexmoor(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(PELORIN_VEXMOOR), arguments);
  Run run;
  if (process.waitForFinished(30000)) {
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }
  run.errors = QString::fromLocal8Bit(process.readAllStandardError());
  return run;
}

} // namespace

class VexmoorTest : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void barsHaveASeriesPerColumnOrRow() {
    const ChartTable table = Read(kTable);
    // Two rows, three columns: the shorter side makes the series.
    const std::unique_ptr<QChart> chart(BuildChart(table, ChartType::Bar, SeriesOrientation::Automatic));
    QCOMPARE(chart->series().size(), 1);
    auto* bars = qobject_cast<QBarSeries*>(chart->series().front());
    QVERIFY(bars);
    QCOMPARE(bars->count(), 2);
    QCOMPARE(bars->barSets()[0]->label(), QStringLiteral("labour"));
    QCOMPARE(bars->barSets()[1]->at(2), 0.0); // "n.a." draws no bar
    QCOMPARE(bars->barSets()[0]->at(1), 130.0);
    QCOMPARE(Categories(chart.get(), Qt::AlignBottom),
             (QStringList{QStringLiteral("(Sim)"), QStringLiteral("Pre"), QStringLiteral("Post")}));
    QCOMPARE(Categories(chart.get(), Qt::AlignBottom).size(), 3);
    QCOMPARE(chart->axes(Qt::Horizontal).front()->titleText(), QStringLiteral("QFAC"));
    QVERIFY(chart->legend()->isVisible());

    const std::unique_ptr<QChart> byColumn(BuildChart(table, ChartType::Bar, SeriesOrientation::Columns));
    auto* columns = qobject_cast<QBarSeries*>(byColumn->series().front());
    QCOMPARE(columns->count(), 3);
    QCOMPARE(columns->barSets()[2]->label(), QStringLiteral("Post"));
    QCOMPARE(Categories(byColumn.get(), Qt::AlignBottom),
             (QStringList{QStringLiteral("labour"), QStringLiteral("capital")}));

    // One series: the value axis is titled with its heading.
    const std::unique_ptr<QChart> one(BuildChart(Read("QFAC\tlabour\tcapital\r\n(Sim)\t10\t0\r\n"),
                                                 ChartType::Bar, SeriesOrientation::Automatic));
    QCOMPARE(ValueAxisTitle(one.get()), QStringLiteral("(Sim)"));
  }

  void linesAndHorizontalBars() {
    const ChartTable table = Read(kTable);
    const std::unique_ptr<QChart> lines(BuildChart(table, ChartType::Line, SeriesOrientation::Rows));
    QCOMPARE(lines->series().size(), 2);
    auto* capital = qobject_cast<QLineSeries*>(lines->series()[1]);
    QVERIFY(capital);
    QCOMPARE(capital->name(), QStringLiteral("capital"));
    QCOMPARE(capital->count(), 2); // the missing value is no point
    QCOMPARE(capital->at(1), QPointF(1, 120));

    const std::unique_ptr<QChart> across(
        BuildChart(table, ChartType::HorizontalBar, SeriesOrientation::Rows));
    QVERIFY(qobject_cast<QHorizontalBarSeries*>(across->series().front()));
    QCOMPARE(Categories(across.get(), Qt::AlignLeft).size(), 3);
  }

  void bigTablesAreCutAndSaySo() {
    std::string text = "V";
    for (int c = 0; c < 3; ++c) {
      text += "\tc" + std::to_string(c);
    }
    text += "\r\n";
    for (int r = 0; r < 700; ++r) {
      text += "r" + std::to_string(r) + "\t1\t2\t3\r\n";
    }
    ChartTable table = Read(text);
    ChartPlan plan = PlanChart(table, SeriesOrientation::Automatic);
    QVERIFY(!plan.seriesAreRows);
    QCOMPARE(plan.categories, kMaxChartCategories);
    QCOMPARE(plan.note, QStringLiteral("Showing the first 500 of 700 categories"));
    plan = PlanChart(table, SeriesOrientation::Rows);
    QCOMPARE(plan.note, QStringLiteral("Showing the first 40 of 700 series"));
    QVERIFY(PlanChart(Read(kTable), SeriesOrientation::Rows).note.isEmpty());
  }

  void chartsAreWrittenAsPngAndSvg() {
    QTemporaryDir dir;
    const std::unique_ptr<QChart> chart(
        BuildChart(Read(kTable), ChartType::Bar, SeriesOrientation::Automatic));
    QString error;
    QVERIFY2(RenderChart(*chart, dir.filePath(QStringLiteral("q.png")), QSize(640, 400), error),
             qPrintable(error));
    const QImage image(dir.filePath(QStringLiteral("q.png")));
    QCOMPARE(image.size(), QSize(640, 400));
    QVERIFY2(RenderChart(*chart, dir.filePath(QStringLiteral("q.SVG")), QSize(640, 400), error),
             qPrintable(error));
    QFile svg(dir.filePath(QStringLiteral("q.SVG")));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QByteArray drawing = svg.readAll();
    QVERIFY(drawing.startsWith("<?xml"));
    QVERIFY(drawing.contains("labour"));
    QVERIFY(!RenderChart(*chart, dir.filePath(QStringLiteral("q.jpg")), QSize(640, 400), error));
    QCOMPARE(error, QStringLiteral("the picture must be a .png or .svg file: ") +
                        dir.filePath(QStringLiteral("q.jpg")));
    QVERIFY(!RenderChart(*chart, dir.filePath(QStringLiteral("missing/q.png")), QSize(640, 400), error));
  }

  void theCommandLineRendersOrRefusesClearly() {
    QTemporaryDir dir;
    const QString table = dir.filePath(QStringLiteral("table.txt"));
    QFile file(table);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kTable);
    file.close();
    const QString png = dir.filePath(QStringLiteral("chart.png"));
    Run run = Vexmoor({QStringLiteral("--render"), table, QStringLiteral("--out"), png,
                       QStringLiteral("--type"), QStringLiteral("line")});
    QCOMPARE(run.code, 0);
    QCOMPARE(QImage(png).size(), QSize(1000, 620));
    run =
        Vexmoor({QStringLiteral("--render"), table, QStringLiteral("--out"),
                 dir.filePath(QStringLiteral("c.svg")), QStringLiteral("--size"), QStringLiteral("300x200")});
    QCOMPARE(run.code, 0);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("c.svg"))));

    const QString bad = dir.filePath(QStringLiteral("bad.txt"));
    QFile badFile(bad);
    QVERIFY(badFile.open(QIODevice::WriteOnly));
    badFile.write("QFAC\t(Sim)\tPre\r\nlabour\t10.00\r\n");
    badFile.close();
    run = Vexmoor({QStringLiteral("--render"), bad, QStringLiteral("--out"), png});
    QCOMPARE(run.code, 1);
    QVERIFY2(run.errors.contains(QStringLiteral("vexmoor.exe: ") + bad +
                                 QStringLiteral(": Line 2 has 2 cells but the heading line has 3\n")),
             qPrintable(run.errors));
    run = Vexmoor(
        {QStringLiteral("--render"), dir.filePath(QStringLiteral("none.txt")), QStringLiteral("--out"), png});
    QCOMPARE(run.code, 1);
    QVERIFY(run.errors.contains(QStringLiteral("cannot read")));
    run = Vexmoor({QStringLiteral("--render"), table, QStringLiteral("--out"), png, QStringLiteral("--type"),
                   QStringLiteral("pie")});
    QCOMPARE(run.code, 2);
    QVERIFY(run.errors.contains(QStringLiteral("unknown chart type \"pie\" (bar, line or hbar)")));
    run = Vexmoor({QStringLiteral("--render"), table});
    QCOMPARE(run.code, 2);
    QVERIFY(run.errors.contains(QStringLiteral("--render needs --out FILE.png or FILE.svg")));
  }

  void theWindowDrawsTheClipboardsTableOnANotice() {
    const QString socket = QStringLiteral("pelorin-test-vexmoor-window/%1").arg(::getpid());
    VexmoorWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Vexmoor"));
    QString error;
    QVERIFY2(window.Listen(socket, error), qPrintable(error));
    window.show();
    QSignalSpy handled(&window, &VexmoorWindow::NoticeHandled);

    QGuiApplication::clipboard()->setText(QString::fromLatin1(kTable));
    Notify(socket);
    QTRY_COMPARE(handled.size(), 1);
    QCOMPARE(handled[0][0].toBool(), true);
    QChart* chart = window.View()->chart();
    QCOMPARE(chart->series().size(), 1);
    QCOMPARE(qobject_cast<QBarSeries*>(chart->series().front())->count(), 2);
    QCOMPARE(window.HoverText(0, 1), QStringLiteral("labour, Pre: 130"));
    QCOMPARE(window.HoverText(1, 2), QStringLiteral("capital, Post: n.a."));

    window.SetChartType(ChartType::Line);
    QVERIFY(qobject_cast<QLineSeries*>(window.View()->chart()->series().front()));
    window.SetSeriesOrientation(SeriesOrientation::Columns);
    QCOMPARE(window.View()->chart()->series().size(), 3);
    QCOMPARE(window.HoverText(0, 1), QStringLiteral("(Sim), capital: 0"));

    QTemporaryDir dir;
    QVERIFY2(window.SaveChart(dir.filePath(QStringLiteral("w.png")), error), qPrintable(error));
    QVERIFY(!QImage(dir.filePath(QStringLiteral("w.png"))).isNull());
    QVERIFY(window.View()->chart()->scene() != nullptr);
    window.CopyChart();
    QVERIFY(!QGuiApplication::clipboard()->image().isNull());

    // A clipboard without a table leaves the chart and says why.
    QGuiApplication::clipboard()->setText(QStringLiteral("just some words"));
    Notify(socket);
    QTRY_COMPARE(handled.size(), 2);
    QCOMPARE(handled[1][0].toBool(), false);
    QCOMPARE(window.View()->chart()->series().size(), 3);
    QVERIFY(window.statusBar()->currentMessage().startsWith(
        QStringLiteral("The clipboard holds no table to chart: ")));

    // A connection that says nothing is no notice; a second window cannot take the name.
    {
      QLocalSocket probe;
      probe.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
      probe.connectToServer(socket);
      QVERIFY(probe.waitForConnected(1000));
      probe.disconnectFromServer();
    }
    QTest::qWait(100);
    QCOMPARE(handled.size(), 2);
    VexmoorWindow second;
    QVERIFY(!second.Listen(socket, error));
  }
};

} // namespace pelorin

QTEST_MAIN(pelorin::VexmoorTest)
#include "vexmoor_test.moc"
