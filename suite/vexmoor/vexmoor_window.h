#pragma once

#include "results/chart_table.h"
#include "vexmoor/chart_builder.h"

#include <QMainWindow>

class QAction;
class QLocalServer;
QT_BEGIN_NAMESPACE
class QChartView;
QT_END_NAMESPACE

namespace pelorin {

/// Vexmoor's window: listens on its local socket; on each notice it reads the table on the clipboard and
/// draws it. The person chooses bars, lines or horizontal bars, series by rows or columns, saves the chart as
/// PNG or SVG, or copies it as a picture.
class VexmoorWindow : public QMainWindow {
  Q_OBJECT
public:
  explicit VexmoorWindow(QWidget* parent = nullptr);

  /// Starts listening on the socket; false (with the reason) when another program holds the name.
  bool Listen(const QString& socketName, QString& error);
  /// Reads the clipboard's table and draws it; a table that cannot be read leaves the chart and says why in
  /// the status bar. False then.
  bool ReadClipboard();
  /// Draws a table.
  void ShowTable(ChartTable table);
  /// Saves the chart as PNG or SVG (by the file's extension).
  bool SaveChart(const QString& file, QString& error);
  /// Puts the chart on the clipboard as a picture.
  void CopyChart();
  /// What hovering over value k of series s shows.
  QString HoverText(int series, int category) const;

  void SetChartType(ChartType type);
  void SetSeriesOrientation(SeriesOrientation orientation);
  ChartType Type() const { return type_; }
  SeriesOrientation Orientation() const { return orientation_; }
  QChartView* View() const { return view_; }
  const ChartTable& Table() const { return table_; }
  const ChartPlan& Plan() const { return plan_; }

Q_SIGNALS:
  /// A notice arrived and its table was read (or not).
  void NoticeHandled(bool drawn);

private:
  void Redraw();
  void ConnectHover();
  void SaveAs();
  void NewConnection();

  QChartView* view_;
  QLocalServer* server_ = nullptr;
  ChartTable table_;
  ChartPlan plan_;
  bool hasTable_ = false;
  ChartType type_ = ChartType::Bar;
  SeriesOrientation orientation_ = SeriesOrientation::Automatic;
  QAction* typeActions_[3] = {};
  QAction* rowsAction_ = nullptr;
  QAction* columnsAction_ = nullptr;
};

} // namespace pelorin
