#pragma once

// How Vexmoor turns a table into a chart, and how it writes a chart to a picture file.

#include "results/chart_table.h"

#include <QSize>
#include <QString>

QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace pelorin {

/// The kinds of chart Vexmoor draws.
enum class ChartType { Bar, Line, HorizontalBar };
/// Which of the table's lines become the chart's series.
enum class SeriesOrientation {
  Automatic, ///< the table's shorter side: one series per row when it has fewer rows than columns
  Rows,      ///< one series per data row, the column headings along the category axis
  Columns,   ///< one series per data column, the row labels along the category axis
};

/// The most series and categories one chart draws; a bigger table is cut, and the chart says so.
inline constexpr int kMaxChartSeries = 40;
inline constexpr int kMaxChartCategories = 500;

/// What a table becomes under the options: series by rows or columns, how many of each are drawn, and a
/// note when the table was cut.
struct ChartPlan {
  bool seriesAreRows = false;
  int series = 0;
  int categories = 0;
  QString note; ///< empty unless the table was cut
};

/// The plan of a chart of `table`.
ChartPlan PlanChart(const ChartTable& table, SeriesOrientation orientation);
/// A new chart of `table`: bars, lines or horizontal bars, the series named in the legend, the category axis
/// titled with the table's corner heading and the value axis with the series' heading when there is one
/// series. A cell without a number draws no bar and no point. The caller owns the chart.
QChart* BuildChart(const ChartTable& table, ChartType type, SeriesOrientation orientation);
/// Writes a chart to `file` as PNG or SVG (by its extension, either case) of `size` pixels. Fails with a
/// message saying why.
bool RenderChart(QChart& chart, const QString& file, QSize size, QString& error);
/// Reads "bar", "line" or "hbar".
bool ParseChartType(const QString& text, ChartType& type);
/// Reads "rows" or "columns".
bool ParseSeriesOrientation(const QString& text, SeriesOrientation& orientation);

} // namespace pelorin
