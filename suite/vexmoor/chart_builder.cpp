#include "vexmoor/chart_builder.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {

// Beyond these the legend moves to the side and the category labels stand upright.
constexpr int kSeriesAlongTheBottom = 6;
constexpr int kCategoriesSideBySide = 12;

QString Text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The value of series s at category k under the plan.
double At(const ChartTable& table, const ChartPlan& plan, int s, int k) {
  return plan.seriesAreRows ? table.Value(s, k) : table.Value(k, s);
}

QString SeriesName(const ChartTable& table, const ChartPlan& plan, int s) {
  return Text(plan.seriesAreRows ? table.rowLabels[static_cast<std::size_t>(s)]
                                 : table.columnHeadings[static_cast<std::size_t>(s)]);
}

QString CategoryName(const ChartTable& table, const ChartPlan& plan, int k) {
  return Text(plan.seriesAreRows ? table.columnHeadings[static_cast<std::size_t>(k)]
                                 : table.rowLabels[static_cast<std::size_t>(k)]);
}

// The value axis spans the numbers drawn and zero, with a little room.
void FitValueAxis(QValueAxis* axis, const ChartTable& table, const ChartPlan& plan) {
  double low = 0;
  double high = 0;
  for (int s = 0; s < plan.series; ++s) {
    for (int k = 0; k < plan.categories; ++k) {
      const double value = At(table, plan, s, k);
      if (std::isfinite(value)) {
        low = std::min(low, value);
        high = std::max(high, value);
      }
    }
  }
  if (low == high) {
    high = low + 1;
  }
  axis->setRange(low, high);
  axis->applyNiceNumbers();
}

} // namespace

ChartPlan PlanChart(const ChartTable& table, SeriesOrientation orientation) {
  ChartPlan plan;
  plan.seriesAreRows = orientation == SeriesOrientation::Rows ||
                       (orientation == SeriesOrientation::Automatic && table.Rows() < table.Cols());
  const int series = plan.seriesAreRows ? table.Rows() : table.Cols();
  const int categories = plan.seriesAreRows ? table.Cols() : table.Rows();
  plan.series = std::min(series, kMaxChartSeries);
  plan.categories = std::min(categories, kMaxChartCategories);
  QStringList cuts;
  if (plan.series < series) {
    cuts << QStringLiteral("the first %1 of %2 series").arg(plan.series).arg(series);
  }
  if (plan.categories < categories) {
    cuts << QStringLiteral("the first %1 of %2 categories").arg(plan.categories).arg(categories);
  }
  if (!cuts.isEmpty()) {
    plan.note = QStringLiteral("Showing ") + cuts.join(QStringLiteral(" and "));
  }
  return plan;
}

QChart* BuildChart(const ChartTable& table, ChartType type, SeriesOrientation orientation) {
  const ChartPlan plan = PlanChart(table, orientation);
  auto* chart = new QChart;
  chart->legend()->setVisible(true);
  // A long list of series reads better down the side than elided along the bottom.
  chart->legend()->setAlignment(plan.series > kSeriesAlongTheBottom ? Qt::AlignRight : Qt::AlignBottom);
  QStringList categories;
  for (int k = 0; k < plan.categories; ++k) {
    categories << CategoryName(table, plan, k);
  }
  auto* categoryAxis = new QBarCategoryAxis;
  categoryAxis->append(categories);
  if (plan.categories > kCategoriesSideBySide && type != ChartType::HorizontalBar) {
    categoryAxis->setLabelsAngle(-90);
    categoryAxis->setTruncateLabels(false);
  }
  categoryAxis->setTitleText(Text(table.corner));
  auto* valueAxis = new QValueAxis;
  if (plan.series == 1) {
    valueAxis->setTitleText(SeriesName(table, plan, 0));
  }
  FitValueAxis(valueAxis, table, plan);
  const bool horizontal = type == ChartType::HorizontalBar;
  chart->addAxis(categoryAxis, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
  chart->addAxis(valueAxis, horizontal ? Qt::AlignBottom : Qt::AlignLeft);

  if (type == ChartType::Line) {
    for (int s = 0; s < plan.series; ++s) {
      auto* line = new QLineSeries;
      line->setName(SeriesName(table, plan, s));
      line->setPointsVisible(true);
      for (int k = 0; k < plan.categories; ++k) {
        const double value = At(table, plan, s, k);
        if (std::isfinite(value)) {
          line->append(k, value);
        }
      }
      chart->addSeries(line);
      line->attachAxis(categoryAxis);
      line->attachAxis(valueAxis);
    }
    return chart;
  }
  QAbstractBarSeries* bars = horizontal ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                        : static_cast<QAbstractBarSeries*>(new QBarSeries);
  for (int s = 0; s < plan.series; ++s) {
    auto* set = new QBarSet(SeriesName(table, plan, s));
    for (int k = 0; k < plan.categories; ++k) {
      const double value = At(table, plan, s, k);
      *set << (std::isfinite(value) ? value : 0.0);
    }
    bars->append(set);
  }
  chart->addSeries(bars);
  bars->attachAxis(categoryAxis);
  bars->attachAxis(valueAxis);
  // Bars take their colours from the chart's theme; outlined in the same colour, thin bars still show it.
  for (QBarSet* set : bars->barSets()) {
    set->setBorderColor(set->color());
  }
  return chart;
}

bool RenderChart(QChart& chart, const QString& file, QSize size, QString& error) {
  const QString suffix = QFileInfo(file).suffix().toLower();
  if (suffix != QStringLiteral("png") && suffix != QStringLiteral("svg")) {
    error = QStringLiteral("the picture must be a .png or .svg file: ") + file;
    return false;
  }
  QGraphicsScene scene;
  scene.addItem(&chart);
  chart.setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
  const QRectF area(QPointF(0, 0), QSizeF(size));
  bool written = false;
  if (suffix == QStringLiteral("png")) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      scene.render(&painter, area, area);
    }
    written = image.save(file, "PNG");
  } else {
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(size);
    svg.setViewBox(area);
    svg.setTitle(QStringLiteral("Vexmoor chart"));
    QPainter painter;
    if (painter.begin(&svg)) {
      painter.setRenderHint(QPainter::Antialiasing);
      scene.render(&painter, area, area);
      written = painter.end() && QFileInfo::exists(file);
    }
  }
  scene.removeItem(&chart);
  if (!written) {
    error = QStringLiteral("cannot write ") + file;
  }
  return written;
}

bool ParseChartType(const QString& text, ChartType& type) {
  if (text == QStringLiteral("bar")) {
    type = ChartType::Bar;
  } else if (text == QStringLiteral("line")) {
    type = ChartType::Line;
  } else if (text == QStringLiteral("hbar")) {
    type = ChartType::HorizontalBar;
  } else {
    return false;
  }
  return true;
}

bool ParseSeriesOrientation(const QString& text, SeriesOrientation& orientation) {
  if (text == QStringLiteral("rows")) {
    orientation = SeriesOrientation::Rows;
  } else if (text == QStringLiteral("columns")) {
    orientation = SeriesOrientation::Columns;
  } else {
    return false;
  }
  return true;
}

} // namespace pelorin
