#include "vexmoor/vexmoor_window.h"

#include <QAbstractBarSeries>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QCursor>
#include <QFileDialog>
#include <QLabel>
#include <QLineSeries>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolTip>
#include <cmath>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace pelorin {

namespace {

constexpr QSize kPictureSize(1000, 620);

// Only a program of the same user may send us notices: the abstract socket namespace has no permissions.
bool SameUser(const QLocalSocket* socket) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  return ::getsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials,
                      &size) == 0 &&
         credentials.uid == ::getuid();
}

QString Number(double value) {
  return std::isfinite(value) ? QString::number(value, 'g', 10) : QStringLiteral("n.a.");
}

} // namespace

VexmoorWindow::VexmoorWindow(QWidget* parent) : QMainWindow(parent), view_(new QChartView(this)) {
  setObjectName(QStringLiteral("VexmoorWindow"));
  setWindowTitle(QStringLiteral("Vexmoor"));
  view_->setRenderHint(QPainter::Antialiasing);
  view_->chart()->setTitle(
      QStringLiteral("Right-click a heading of a data view in Pelorin to chart it here"));
  setCentralWidget(view_);
  resize(900, 600);

  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  QToolBar* tools = addToolBar(QStringLiteral("Chart"));
  tools->setObjectName(QStringLiteral("ChartToolBar"));
  tools->setMovable(false);

  QAction* save = file->addAction(QStringLiteral("&Save Chart As..."), this, &VexmoorWindow::SaveAs);
  save->setShortcut(QKeySequence::Save);
  QAction* copy = file->addAction(QStringLiteral("&Copy Chart"), this, &VexmoorWindow::CopyChart);
  copy->setShortcut(QKeySequence::Copy);
  QAction* paste = file->addAction(QStringLiteral("&Read Clipboard"), this, [this] { ReadClipboard(); });
  paste->setShortcut(QKeySequence::Paste);
  file->addSeparator();
  file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);

  QMenu* chartMenu = menuBar()->addMenu(QStringLiteral("&Chart"));
  auto* types = new QActionGroup(this);
  const std::pair<const char*, ChartType> kinds[3] = {
      {"&Bars", ChartType::Bar}, {"&Lines", ChartType::Line}, {"&Horizontal Bars", ChartType::HorizontalBar}};
  for (int i = 0; i < 3; ++i) {
    QAction* action = chartMenu->addAction(QString::fromLatin1(kinds[i].first));
    action->setCheckable(true);
    types->addAction(action);
    const ChartType type = kinds[i].second;
    connect(action, &QAction::triggered, this, [this, type] { SetChartType(type); });
    typeActions_[i] = action;
    tools->addAction(action);
  }
  typeActions_[0]->setChecked(true);
  chartMenu->addSeparator();
  tools->addSeparator();
  auto* orientations = new QActionGroup(this);
  rowsAction_ = chartMenu->addAction(QStringLiteral("Series per &Row"));
  columnsAction_ = chartMenu->addAction(QStringLiteral("Series per C&olumn"));
  for (QAction* action : {rowsAction_, columnsAction_}) {
    action->setCheckable(true);
    orientations->addAction(action);
    tools->addAction(action);
  }
  connect(rowsAction_, &QAction::triggered, this, [this] { SetSeriesOrientation(SeriesOrientation::Rows); });
  connect(columnsAction_, &QAction::triggered, this,
          [this] { SetSeriesOrientation(SeriesOrientation::Columns); });
  tools->addSeparator();
  tools->addAction(save);
  tools->addAction(copy);
  statusBar()->showMessage(QStringLiteral("Ready"));
}

bool VexmoorWindow::Listen(const QString& socketName, QString& error) {
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::AbstractNamespaceOption);
  if (!server_->listen(socketName)) {
    error = server_->errorString();
    return false;
  }
  connect(server_, &QLocalServer::newConnection, this, &VexmoorWindow::NewConnection);
  return true;
}

void VexmoorWindow::NewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    if (!SameUser(socket)) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    auto* received = new QByteArray;
    connect(socket, &QLocalSocket::readyRead, socket, [socket, received] { *received += socket->readAll(); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket, received] {
      *received += socket->readAll();
      const bool notice = received->startsWith(
          QByteArray(kVexmoorNotice.data(), static_cast<qsizetype>(kVexmoorNotice.size())));
      delete received;
      socket->deleteLater();
      if (notice) {
        const bool drawn = ReadClipboard();
        showNormal();
        raise();
        activateWindow();
        Q_EMIT NoticeHandled(drawn);
      }
    });
  }
}

bool VexmoorWindow::ReadClipboard() {
  const std::string text = QGuiApplication::clipboard()->text().toStdString();
  ChartTable table;
  ErrorText error;
  if (!ReadChartTable(text, table, error)) {
    statusBar()->showMessage(QStringLiteral("The clipboard holds no table to chart: ") +
                             QString::fromStdString(error));
    return false;
  }
  ShowTable(std::move(table));
  return true;
}

void VexmoorWindow::ShowTable(ChartTable table) {
  table_ = std::move(table);
  hasTable_ = true;
  orientation_ = SeriesOrientation::Automatic;
  Redraw();
}

void VexmoorWindow::SetChartType(ChartType type) {
  type_ = type;
  typeActions_[static_cast<int>(type)]->setChecked(true);
  Redraw();
}

void VexmoorWindow::SetSeriesOrientation(SeriesOrientation orientation) {
  orientation_ = orientation;
  Redraw();
}

void VexmoorWindow::Redraw() {
  if (!hasTable_) {
    return;
  }
  plan_ = PlanChart(table_, orientation_);
  // The automatic choice shows as the one it made.
  (plan_.seriesAreRows ? rowsAction_ : columnsAction_)->setChecked(true);
  QChart* old = view_->chart();
  view_->setChart(BuildChart(table_, type_, orientation_));
  delete old;
  ConnectHover();
  statusBar()->showMessage(
      plan_.note.isEmpty() ? QStringLiteral("%1 series of %2 values").arg(plan_.series).arg(plan_.categories)
                           : plan_.note);
}

QString VexmoorWindow::HoverText(int series, int category) const {
  if (!hasTable_ || series < 0 || series >= plan_.series || category < 0 || category >= plan_.categories) {
    return {};
  }
  const auto& names = plan_.seriesAreRows ? table_.rowLabels : table_.columnHeadings;
  const auto& categories = plan_.seriesAreRows ? table_.columnHeadings : table_.rowLabels;
  const double value = plan_.seriesAreRows ? table_.Value(series, category) : table_.Value(category, series);
  return QString::fromStdString(names[static_cast<std::size_t>(series)]) + QStringLiteral(", ") +
         QString::fromStdString(categories[static_cast<std::size_t>(category)]) + QStringLiteral(": ") +
         Number(value);
}

void VexmoorWindow::ConnectHover() {
  const QList<QAbstractSeries*> all = view_->chart()->series();
  for (int s = 0; s < all.size(); ++s) {
    if (auto* bars = qobject_cast<QAbstractBarSeries*>(all[s])) {
      connect(bars, &QAbstractBarSeries::hovered, this, [this, bars](bool status, int index, QBarSet* set) {
        if (status) {
          QToolTip::showText(QCursor::pos(), HoverText(static_cast<int>(bars->barSets().indexOf(set)), index),
                             view_);
        } else {
          QToolTip::hideText();
        }
      });
    } else if (auto* line = qobject_cast<QLineSeries*>(all[s])) {
      connect(line, &QLineSeries::hovered, this, [this, s](const QPointF& point, bool state) {
        if (state) {
          QToolTip::showText(QCursor::pos(), HoverText(s, static_cast<int>(std::lround(point.x()))), view_);
        } else {
          QToolTip::hideText();
        }
      });
    }
  }
}

bool VexmoorWindow::SaveChart(const QString& file, QString& error) {
  if (!hasTable_) {
    error = QStringLiteral("there is no chart to save");
    return false;
  }
  // A chart of its own for the picture, so the one on screen stays in its view.
  const std::unique_ptr<QChart> chart(BuildChart(table_, type_, orientation_));
  return RenderChart(*chart, file, view_->size().expandedTo(kPictureSize), error);
}

void VexmoorWindow::SaveAs() {
  const QString file =
      QFileDialog::getSaveFileName(this, QStringLiteral("Save Chart As"), QString(),
                                   QStringLiteral("PNG pictures (*.png);;SVG drawings (*.svg)"));
  if (file.isEmpty()) {
    return;
  }
  QString error;
  if (!SaveChart(file, error)) {
    statusBar()->showMessage(QStringLiteral("Could not save the chart: ") + error);
  }
}

void VexmoorWindow::CopyChart() {
  QGuiApplication::clipboard()->setPixmap(view_->grab());
  statusBar()->showMessage(QStringLiteral("Chart copied to the clipboard as a picture"), 3000);
}

} // namespace pelorin
