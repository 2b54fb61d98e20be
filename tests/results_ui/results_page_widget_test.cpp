// The Results page's widgets over the core after a real solve of Minimal: the grids show the core's tables,
// clicks, keys and buttons go to the core, the charting hand-off reaches a stand-in listening on the socket,
// and a table exported as CSV reads back value for value.
#include "results/chart_table.h"
#include "results/contents_view.h"
#include "results/results_page.h"
#include "results_ui_tests.h"
#include "solved_minimal.h"
#include "ui/results_grid.h"
#include "ui/results_page_widget.h"
#include "ui/up_down_button.h"
#include "ui/vexmoor_notifier.h"
#include "views/sim_tab_model.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <charconv>
#include <unistd.h>

namespace pelorin {

namespace {

// The widget a click on table cell (row, col) of a grid lands on, and the point there.
std::pair<QWidget*, QPoint> Target(ResultsGrid* grid, int row, int col) {
  const QPoint point = grid->CellRect(row, col).center();
  QWidget* widget = grid->viewport();
  if (row == 0 && col == 0) {
    widget = grid->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
  } else if (row == 0) {
    widget = grid->horizontalHeader()->viewport();
  } else if (col == 0 && grid->Model().HeadingColumnLocked()) {
    widget = grid->verticalHeader()->viewport();
  }
  return {widget, widget->mapFrom(grid, point)};
}

void Click(ResultsGrid* grid, int row, int col, Qt::MouseButton button = Qt::LeftButton) {
  const auto [widget, point] = Target(grid, row, col);
  QTest::mouseClick(widget, button, Qt::NoModifier, point);
}

// Pixels of the marked colour's kind (a strong red) inside a rectangle of a grab of the grid.
int RedPixels(const QImage& image, const QRect& rect) {
  int red = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) {
      const QColor colour = image.pixelColor(x, y);
      red += colour.red() > 150 && colour.green() < 70 && colour.blue() < 70 ? 1 : 0;
    }
  }
  return red;
}

// A charting program's stand-in: listens on its own socket and keeps every notice it is sent.
class ChartingStandIn : public QObject {
public:
  explicit ChartingStandIn(const QString& name) {
    server.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    listening = server.listen(name);
    connect(&server, &QLocalServer::newConnection, this, [this] {
      while (QLocalSocket* socket = server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
          const QByteArray notice = socket->readAll();
          if (!notice.isEmpty()) {
            notices.append(notice);
          }
          socket->deleteLater();
        });
      }
    });
  }
  QLocalServer server;
  bool listening = false;
  QList<QByteArray> notices;
};

} // namespace

void ResultsPageWidgetTest::initTestCase() {
  std::string failure;
  solved = test::SolvedMinimal::Get(failure);
  QVERIFY2(solved, failure.c_str());
}

void ResultsPageWidgetTest::init() {
  ResultsPage& page = solved->app->Results;
  page.ElementFilterChange(0);
  page.ContentsButtonClick();
  solved->ui.messages.clear();
  widget = std::make_unique<ResultsPageWidget>(page);
  widget->resize(1000, 640);
  widget->show();
  QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
  widget->PageActivated();
}

void ResultsPageWidgetTest::cleanup() {
  widget.reset();
}

void ResultsPageWidgetTest::contentsGridShowsTheCoreTable() {
  const SimTab& table = solved->app->Results.ContentsTable();
  ResultsGrid* grid = widget->ContentsGrid();
  QCOMPARE(widget->FrontGrid(), grid);
  QCOMPARE(grid->Model().rowCount(), table.nrow);
  QCOMPARE(grid->Model().columnCount(), 4);
  for (int c = 0; c <= 3; ++c) {
    QCOMPARE(grid->Model().headerData(c, Qt::Horizontal).toString(),
             QString::fromStdString(table.Cell(0, c)));
  }
  QCOMPARE(grid->Model().headerData(0, Qt::Horizontal).toString(), QStringLiteral("Variable"));
  for (int r = 1; r <= table.nrow; ++r) {
    for (int c = 0; c <= 3; ++c) {
      QCOMPARE(grid->Model().data(grid->Model().index(r - 1, c)).toString(),
               QString::fromStdString(table.Cell(r, c)));
    }
  }
  // The geometry the core decided: 22-pixel rows, columns of 10 pixels per character plus 10.
  const GridGeometry& geometry = solved->app->Results.State().contentsGrid;
  QCOMPARE(grid->verticalHeader()->defaultSectionSize(), 22);
  QCOMPARE(grid->horizontalHeader()->height(), 22);
  for (int c = 0; c <= 3; ++c) {
    QCOMPARE(grid->columnWidth(c), geometry.colWidths[static_cast<std::size_t>(c)]);
  }
  QCOMPARE(grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
  QCOMPARE(widget->StatusLine()->text(),
           QStringLiteral("  Double click on an  item to view it (or arrow keys + spacebar)"));
  // The contents screen's tool bar: "V" and the chooser of six solutions, no decimals or "Contents".
  QVERIFY(widget->FormatButton()->isVisible());
  QVERIFY(!widget->DecimalsChooser()->isVisible());
  QVERIFY(!widget->ContentsButton()->isVisible());
  QVERIFY(widget->SolutionChooser()->isVisible());
  QCOMPARE(widget->SolutionChooser()->count(), 6);
  QCOMPARE(widget->SolutionChooser()->itemText(0), QStringLiteral("1 (Sim)"));
  QCOMPARE(widget->ElementFilter()->itemText(0), QStringLiteral("Everything"));
  QCOMPARE(widget->ElementFilter()->toolTip(), QStringLiteral("Select one element only"));
  QCOMPARE(widget->ContentsButton()->toolTip(),
           QStringLiteral("Click here to return to contents screen\nor just double-click on the numbers"));
  // Tool-bar controls as high as the element filter, each 2 pixels after the one before.
  const int height = widget->ElementFilter()->height();
  QCOMPARE(widget->ElementFilter()->x(), 1);
  QCOMPARE(widget->ElementFilter()->width(), 5 * height);
  QCOMPARE(widget->FormatButton()->x(), 1 + 5 * height + 2);
  // The solution chooser, last in the bar, is at least as wide and shows its longest label whole.
  QVERIFY(widget->SolutionChooser()->width() >= 5 * height);
  QVERIFY(widget->SolutionChooser()->width() >
          widget->SolutionChooser()->fontMetrics().horizontalAdvance(QStringLiteral("6 more income")));
}

void ResultsPageWidgetTest::openingALineShowsTheDataViewWithMarksInRed() {
  // The scalars: INCOME is exogenous, VGDP is not.
  ResultsGrid* contents = widget->ContentsGrid();
  contents->SetActiveCell(solved->ContentsRow("Macros"), 1);
  QTest::keyClick(contents, Qt::Key_Space);
  ResultsGrid* data = widget->DataGrid();
  QCOMPARE(widget->FrontGrid(), data);
  const SimTab& table = solved->app->Results.DataTable();
  QCOMPARE(data->Model().rowCount(), table.nrow);
  QCOMPARE(data->Model().columnCount(), table.ncol);
  QCOMPARE(data->Model().CellText(0, 0), QStringLiteral("Macros"));
  QCOMPARE(data->Model().headerData(0, Qt::Vertical).toString(), QString::fromStdString(table.Cell(1, 0)));
  QCOMPARE(widget->StatusLine()->text(), QStringLiteral(" Macros"));
  QVERIFY(widget->DecimalsChooser()->isVisible());
  QVERIFY(widget->ContentsButton()->isVisible());
  QVERIFY(!widget->FormatButton()->isVisible());
  QVERIFY(data->hasFocus());

  int income = 0;
  int vgdp = 0;
  for (int r = 1; r <= table.nrow; ++r) {
    income = table.Cell(r, 0) == "INCOME" ? r : income;
    vgdp = table.Cell(r, 0) == "VGDP" ? r : vgdp;
  }
  QVERIFY(income > 0 && vgdp > 0);
  QVERIFY(table.Marked(income, 1));
  QVERIFY(!table.Marked(vgdp, 1));
  QCOMPARE(data->Model().data(data->Model().index(income - 1, 0), Qt::ForegroundRole).value<QColor>(),
           QColor(208, 0, 0));
  const QImage image = data->grab().toImage();
  QVERIFY(RedPixels(image, data->CellRect(income, 1)) > 0);
  QCOMPARE(RedPixels(image, data->CellRect(vgdp, 1)), 0);
  // Right-aligned numbers: the text ends 4 pixels before the cell's right edge.
  QCOMPARE(data->Model().CellAlignment(), Qt::AlignRight | Qt::AlignVCenter);

  // "Contents" goes back; a double click on a line opens it again.
  QTest::mouseClick(widget->ContentsButton(), Qt::LeftButton);
  QCOMPARE(widget->FrontGrid(), contents);
  QVERIFY(contents->isEnabled());
  const auto [viewport, point] = Target(contents, solved->ContentsRow("QFAC"), 1);
  QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
  QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
  QCOMPARE(widget->FrontGrid(), data);
  QCOMPARE(data->Model().CellText(0, 0), QStringLiteral("QFAC"));
  QVERIFY(widget->StatusLine()->text().startsWith(QStringLiteral(" QFAC(FAC) [%-change]: ")));
}

void ResultsPageWidgetTest::theSameCellClickedTwiceReturns() {
  widget->ContentsGrid()->SetActiveCell(solved->ContentsRow("Macros"), 1);
  QTest::keyClick(widget->ContentsGrid(), Qt::Key_Return);
  ResultsGrid* data = widget->DataGrid();
  QCOMPARE(widget->FrontGrid(), data);

  // A click on a row label shows the variable's long name; another cell in between keeps the view.
  Click(data, 1, 0);
  QVERIFY(widget->StatusLine()->text().contains(QStringLiteral(":  ")));
  Click(data, 1, 1);
  Click(data, 2, 1);
  QCOMPARE(widget->FrontGrid(), data);
  QCOMPARE(solved->app->Results.State().activeDataRow, 2);
  QCOMPARE(data->currentIndex().row(), 1);
  Click(data, 2, 1);
  QCOMPARE(widget->FrontGrid(), widget->ContentsGrid());
  QCOMPARE(widget->StatusLine()->text(),
           QStringLiteral("  Double click on an  item to view it (or arrow keys + spacebar)"));

  // A double click on a number is two presses on one cell (the second comes as the double click).
  QTest::keyClick(widget->ContentsGrid(), Qt::Key_Space);
  QCOMPARE(widget->FrontGrid(), data);
  const auto [viewport, point] = Target(data, 1, 1);
  QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
  QCOMPARE(widget->FrontGrid(), data);
  QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
  QCOMPARE(widget->FrontGrid(), widget->ContentsGrid());
}

void ResultsPageWidgetTest::sizeButtonsClampWithTheirStatusText() {
  ResultsPage& page = solved->app->Results;
  UpDownButton* font = widget->SizeButton(SizeKind::FontHeight);
  QCOMPARE(font->toolTip(), QStringLiteral("Change Font Height"));
  QCOMPARE(font->width(), static_cast<int>(std::lround(0.8 * font->height())));
  for (int i = 0; i < 40; ++i) {
    QTest::mouseClick(font->Up(), Qt::LeftButton);
  }
  QCOMPARE(page.State().fontHeight, 50);
  QCOMPARE(widget->StatusLine()->text(), QStringLiteral(" 50 12 5"));
  QCOMPARE(widget->ContentsGrid()->verticalHeader()->defaultSectionSize(), 60);
  QCOMPARE(widget->ContentsGrid()->Model().CellFont().pixelSize(), 39);

  for (int i = 0; i < 25; ++i) {
    QTest::mouseClick(widget->SizeButton(SizeKind::ColumnWidth)->Down(), Qt::LeftButton);
    QTest::mouseClick(widget->SizeButton(SizeKind::RowHeight)->Up(), Qt::LeftButton);
  }
  QCOMPARE(widget->StatusLine()->text(), QStringLiteral(" 50 35 3"));
  QCOMPARE(widget->ContentsGrid()->columnWidth(0), (page.ContentsTable().ColWidth[0] + 1) * 50 * 3 / 9);
  QCOMPARE(widget->ContentsGrid()->verticalHeader()->defaultSectionSize(), 175);

  // Back down to the starting sizes, clamped at the other ends on the way.
  for (int i = 0; i < 50; ++i) {
    QTest::mouseClick(font->Down(), Qt::LeftButton);
  }
  QCOMPARE(widget->StatusLine()->text(), QStringLiteral(" 7 35 3"));
  for (int i = 0; i < 11; ++i) {
    QTest::mouseClick(font->Up(), Qt::LeftButton);
  }
  for (int i = 0; i < 25; ++i) {
    QTest::mouseClick(widget->SizeButton(SizeKind::RowHeight)->Down(), Qt::LeftButton);
  }
  QCOMPARE(widget->StatusLine()->text(), QStringLiteral(" 18 10 3"));
  for (int i = 0; i < 2; ++i) {
    QTest::mouseClick(widget->SizeButton(SizeKind::RowHeight)->Up(), Qt::LeftButton);
    QTest::mouseClick(widget->SizeButton(SizeKind::ColumnWidth)->Up(), Qt::LeftButton);
  }
  QTest::mouseClick(widget->SizeButton(SizeKind::ColumnWidth)->Up(), Qt::LeftButton);
  QCOMPARE(widget->StatusLine()->text(), QStringLiteral(" 18 12 6"));
  QTest::mouseClick(widget->SizeButton(SizeKind::ColumnWidth)->Down(), Qt::LeftButton);
  QCOMPARE(widget->StatusLine()->text(), QStringLiteral(" 18 12 5"));
  QCOMPARE(widget->ContentsGrid()->verticalHeader()->defaultSectionSize(), 22);
}

void ResultsPageWidgetTest::rightClicksHandTheirTablesToTheChartingProgram() {
  const QString name = QStringLiteral("pelorin-test-vexmoor/%1").arg(::getpid());
  ChartingStandIn standIn(name);
  QVERIFY(standIn.listening);
  VexmoorNotifier notifier(solved->programDir, name);
  ResultsPage& page = solved->app->Results;
  page.SetChartingLink(notifier.Link());

  widget->ContentsGrid()->SetActiveCell(solved->ContentsRow("XFAC"), 1);
  QTest::keyClick(widget->ContentsGrid(), Qt::Key_Space);
  ResultsGrid* data = widget->DataGrid();
  QCOMPARE(data->Model().CellText(0, 0), QStringLiteral("XFAC"));

  // The corner: the whole table with its headings.
  Click(data, 0, 0, Qt::RightButton);
  QTRY_COMPARE(standIn.notices.size(), 1);
  QCOMPARE(standIn.notices[0],
           QByteArray(kVexmoorNotice.data(), static_cast<qsizetype>(kVexmoorNotice.size())));
  std::string whole;
  ErrorText error;
  QVERIFY(CopySimTabToString(page.DataTable(), kSimTabWithHeadings, whole, error));
  whole.pop_back();
  QCOMPARE(solved->ui.clipboard, whole);

  // A row label: the column headings and that row.
  Click(data, 2, 0, Qt::RightButton);
  QTRY_COMPARE(standIn.notices.size(), 2);
  const SimTab& table = page.DataTable();
  std::string expected;
  for (int row : {0, 2}) {
    for (int c = 0; c <= table.ncol; ++c) {
      expected += (c ? "\t" : "") + table.Cell(row, c);
    }
    expected += "\r\n";
  }
  QCOMPARE(solved->ui.clipboard, expected);
  ChartTable chart;
  QVERIFY(ReadChartTable(solved->ui.clipboard, chart, error));
  QCOMPARE(chart.rowLabels, std::vector<std::string>{"capital"});

  // A number hands nothing over; a column heading hands the row labels and that column.
  Click(data, 1, 1, Qt::RightButton);
  Click(data, 0, 2, Qt::RightButton);
  QTRY_COMPARE(standIn.notices.size(), 3);
  QVERIFY(solved->ui.clipboard.starts_with("XFAC\tlabour\tcapital\r\n"));
  QCOMPARE(widget->FrontGrid(), data);
  QVERIFY(solved->ui.messages.empty());
  page.SetChartingLink({});
}

void ResultsPageWidgetTest::theChartingProgramIsStartedWhenNobodyListens() {
  // A program folder whose vexmoor.exe only notes how it was started.
  test::TempDir folder;
  const std::string marker = folder.File("started");
  QVERIFY(QDir().mkpath(QString::fromStdString(folder.File("prog"))));
  folder.Write("prog/vexmoor.exe", "#!/bin/sh\necho \"$@\" > '" + marker + "'\n");
  QFile::setPermissions(QString::fromStdString(folder.File("prog/vexmoor.exe")),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QString name = QStringLiteral("pelorin-test-nobody/%1").arg(::getpid());
  VexmoorNotifier notifier(folder.File("prog"), name);
  notifier.SetStartFolder(folder.File(""));
  QVERIFY(notifier.EnsureRunning());
  QTRY_VERIFY(QFile::exists(QString::fromStdString(marker)));
  QCOMPARE(test::ReadFileBytes(marker), "--socket " + name.toStdString() + "\n");
  // The notice waits for the program to listen, then gets through.
  notifier.Notify();
  QVERIFY(notifier.NoticePending());
  ChartingStandIn standIn(name);
  QTRY_COMPARE(standIn.notices.size(), 1);
  QVERIFY(!notifier.NoticePending());
  // With no program to start, the page says so.
  VexmoorNotifier missing(folder.File("nowhere"), name + QStringLiteral("-missing"));
  QVERIFY(!missing.EnsureRunning());
}

void ResultsPageWidgetTest::exportedCsvReadsBackEveryValue() {
  widget->ContentsGrid()->SetActiveCell(solved->ContentsRow("XFAC"), 1);
  QTest::keyClick(widget->ContentsGrid(), Qt::Key_Space);
  Application& app = *solved->app;
  const std::string startDir = app.App.LastSaveDir;
  const std::string file = solved->Run("exports/xfac.csv");
  solved->ui.files.push_back(file);
  app.ExportTableAsCsv1Click();
  QVERIFY(!solved->ui.dialogs.empty());
  const FileDialogRequest& request = solved->ui.dialogs.back();
  QCOMPARE(request.title, std::string("Export Table as CSV"));
  QCOMPARE(request.initialDir, startDir);
  QCOMPARE(request.fileName, std::string("XFAC.csv"));
  QCOMPARE(app.App.LastSaveDir, solved->Run("exports"));
  QVERIFY(solved->ui.messages.empty());

  DataView view;
  ErrorText error;
  QVERIFY(BuildDataView(app.ResultsData, app.Results.OpenedItem(), view, error));
  const std::string csv = test::ReadFileBytes(file);
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < csv.size();) {
    const std::size_t end = csv.find("\r\n", start);
    QVERIFY(end != std::string::npos);
    lines.push_back(csv.substr(start, end - start));
    start = end + 2;
  }
  QCOMPARE(static_cast<int>(lines.size()), view.rows + 1);
  int values = 0;
  for (int r = 1; r <= view.rows; ++r) {
    QStringList fields = QString::fromStdString(lines[static_cast<std::size_t>(r)]).split(QLatin1Char(','));
    QCOMPARE(fields.size(), view.cols + 1);
    QCOMPARE(fields[0].toStdString(), view.rowLabels[static_cast<std::size_t>(r - 1)]);
    for (int c = 1; c <= view.cols; ++c) {
      const std::string field = fields[c].toStdString();
      if (view.values.At(r, c) == MissingValue) {
        QCOMPARE(field, std::string());
        continue;
      }
      float read = 0;
      const auto [end, fault] = std::from_chars(field.data(), field.data() + field.size(), read);
      QVERIFY(fault == std::errc() && end == field.data() + field.size());
      QCOMPARE(read, view.values.At(r, c));
      ++values;
    }
  }
  QCOMPARE(values, 6); // labour and capital in three industries

  // A cancelled dialog writes nothing; no table shown, no dialog.
  solved->ui.files.push_back(std::nullopt);
  const std::size_t dialogs = solved->ui.dialogs.size();
  app.ExportTableAsCsv1Click();
  QCOMPARE(solved->ui.dialogs.size(), dialogs + 1);
  QVERIFY(solved->ui.messages.empty());
}

void ResultsPageWidgetTest::toolBarControlsGoToTheCore() {
  Application& app = *solved->app;
  // "Description": the simulation's verbal description.
  QTest::mouseClick(widget->DescriptionButton(), Qt::LeftButton);
  QVERIFY(solved->ui.Texts().back().starts_with("Verbal description of simulation was:\r\n"
                                                "Ten percent more labour and five percent more income\r\n"
                                                "Model Minimal, solved by Gragg, steps 2 4 6"));
  // The element filter on "labour": only what holds it.
  const int labour = widget->ElementFilter()->findText(QStringLiteral("labour"));
  QVERIFY(labour > 0);
  widget->ElementFilter()->setCurrentIndex(labour);
  Q_EMIT widget->ElementFilter()->activated(labour);
  QVERIFY(app.ResultsData.ElmFiltered);
  QCOMPARE(widget->ContentsGrid()->Model().rowCount(), app.Results.ContentsTable().nrow);
  QCOMPARE(widget->ContentsGrid()->Model().data(widget->ContentsGrid()->Model().index(0, 0)).toString(),
           QStringLiteral("Vector elements:"));
  // Another solution: the second, "Pre".
  Q_EMIT widget->SolutionChooser()->activated(1);
  QCOMPARE(app.ResultsData.CurSol(), 2);
  QCOMPARE(widget->SolutionChooser()->currentIndex(), 1);
  Q_EMIT widget->SolutionChooser()->activated(0);
  // "V" groups the vectors by size and set.
  QTest::mouseClick(widget->FormatButton(), Qt::LeftButton);
  QCOMPARE(app.ResultsData.ContentsFormat, 2);
  QTest::mouseClick(widget->FormatButton(), Qt::LeftButton);
  QCOMPARE(app.ResultsData.ContentsFormat, 0);
  Q_EMIT widget->ElementFilter()->activated(0);
  QVERIFY(!app.ResultsData.ElmFiltered);

  // Another solution rebuilds the view shown; its grid keeps the page's geometry.
  widget->ContentsGrid()->SetActiveCell(solved->ContentsRow("Macros"), 1);
  QTest::keyClick(widget->ContentsGrid(), Qt::Key_Space);
  const auto widthsMatch = [&] {
    const GridGeometry& geometry = app.Results.State().dataGrid;
    for (int c = 1; c < geometry.colCount; ++c) {
      if (widget->DataGrid()->columnWidth(c - 1) != geometry.colWidths[static_cast<std::size_t>(c)]) {
        return false;
      }
    }
    return widget->DataGrid()->verticalHeader()->width() == geometry.colWidths[0];
  };
  QVERIFY(widthsMatch());
  Q_EMIT widget->SolutionChooser()->activated(2);
  QCOMPARE(widget->FrontGrid(), widget->DataGrid());
  QVERIFY(widthsMatch());
  Q_EMIT widget->SolutionChooser()->activated(0);
  QTest::mouseClick(widget->ContentsButton(), Qt::LeftButton);

  // Decimals on a data view, and Copy with the whole table and its passing note.
  widget->ContentsGrid()->SetActiveCell(solved->ContentsRow("QFAC"), 1);
  QTest::keyClick(widget->ContentsGrid(), Qt::Key_Space);
  Q_EMIT widget->DecimalsChooser()->activated(4);
  QCOMPARE(widget->DataGrid()->Model().CellText(1, 1), QStringLiteral("10.0000"));
  app.Copy1Click();
  QVERIFY(solved->ui.clipboard.starts_with("QFAC\t(Sim)\t"));
  QVERIFY(solved->ui.clipboard.find("\r\nlabour\t10.0000\t") != std::string::npos);
  QCOMPARE(solved->ui.notes.back(), std::string("Data copied to Clipboard"));
  Q_EMIT widget->DecimalsChooser()->activated(2);
}

} // namespace pelorin
