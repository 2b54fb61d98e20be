#include "viewkit/har_array_panel.h"

#include "views/har_grid_model.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace pelorin {

namespace {

QString Text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString DimCaption(const HarGrid& grid, int d) {
  return Text(grid.DimName(d)) + QStringLiteral(": %1").arg(grid.DimSize(d));
}

// Columns wider than their contents need are no help, nor are elided numbers: small grids get the width of
// their contents (judged on the first rows), large ones one width for all.
constexpr int kFitColumnsUpTo = 60;

} // namespace

HarArrayPanel::HarArrayPanel(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);

  axesBar_ = new QWidget(this);
  auto* axes = new QHBoxLayout(axesBar_);
  axes->setContentsMargins(0, 0, 0, 0);
  rowBox_ = new QComboBox(axesBar_);
  colBox_ = new QComboBox(axesBar_);
  rowBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  colBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  sumsBox_ = new QCheckBox(tr("&Sums"), axesBar_);
  formatBox_ = new QComboBox(axesBar_);
  formatBox_->addItems({tr("Fixed"), tr("Exponent")});
  decimalsBox_ = new QSpinBox(axesBar_);
  decimalsBox_->setRange(0, 9);
  decimalsBox_->setValue(grid_.Decimals());
  auto* rowLabel = new QLabel(tr("&Rows:"), axesBar_);
  rowLabel->setBuddy(rowBox_);
  auto* colLabel = new QLabel(tr("&Columns:"), axesBar_);
  colLabel->setBuddy(colBox_);
  auto* formatLabel = new QLabel(tr("&Format:"), axesBar_);
  formatLabel->setBuddy(formatBox_);
  auto* decimalsLabel = new QLabel(tr("&Decimals:"), axesBar_);
  decimalsLabel->setBuddy(decimalsBox_);
  // The choice of rows and columns on one line; the number format, then the other dimensions' elements, on
  // the next, so neither line has to squeeze its choosers.
  for (QWidget* w : std::initializer_list<QWidget*>{rowLabel, rowBox_, colLabel, colBox_, sumsBox_}) {
    axes->addWidget(w);
  }
  axes->addStretch(1);
  layout->addWidget(axesBar_);

  formatBar_ = new QWidget(this);
  auto* second = new QHBoxLayout(formatBar_);
  second->setContentsMargins(0, 0, 0, 0);
  for (QWidget* w : std::initializer_list<QWidget*>{formatLabel, formatBox_, decimalsLabel, decimalsBox_}) {
    w->setParent(formatBar_);
    second->addWidget(w);
  }
  second->addSpacing(16);
  fixedBar_ = new QWidget(formatBar_);
  fixedLayout_ = new QHBoxLayout(fixedBar_);
  fixedLayout_->setContentsMargins(0, 0, 0, 0);
  second->addWidget(fixedBar_, 1);
  layout->addWidget(formatBar_);
  for (QComboBox* box : {rowBox_, colBox_, formatBox_}) {
    box->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
  }

  title_ = new QLabel(this);
  title_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  title_->setWordWrap(true);
  layout->addWidget(title_);

  table_ = new QTableView(this);
  model_ = new HarGridModel(this);
  model_->SetGrid(&grid_);
  table_->setModel(model_);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setResizeContentsPrecision(200);
  layout->addWidget(table_, 1);

  connect(rowBox_, &QComboBox::currentIndexChanged, this, [this] { AxesChosen(); });
  connect(colBox_, &QComboBox::currentIndexChanged, this, [this] { AxesChosen(); });
  connect(sumsBox_, &QCheckBox::toggled, this, [this](bool on) {
    grid_.SetShowSums(on);
    Refresh();
  });
  auto formatChosen = [this] {
    grid_.SetNumberFormat(formatBox_->currentIndex() == 1 ? HarNumberFormat::Exponent
                                                          : HarNumberFormat::Fixed,
                          decimalsBox_->value());
    Refresh();
  };
  connect(formatBox_, &QComboBox::currentIndexChanged, this, formatChosen);
  connect(decimalsBox_, &QSpinBox::valueChanged, this, formatChosen);
  SetHeader(nullptr);
}

HarArrayPanel::~HarArrayPanel() {
  model_->SetGrid(nullptr);
}

void HarArrayPanel::SetHeader(std::shared_ptr<const THeadRecz> head) {
  grid_.SetHeader(std::move(head));
  grid_.SetShowSums(sumsBox_->isChecked());
  RebuildChoosers();
  Refresh();
}

bool HarArrayPanel::SetAxes(int rowDim, int colDim) {
  if (!grid_.SetAxes(rowDim, colDim)) {
    return false;
  }
  RebuildChoosers();
  Refresh();
  return true;
}

bool HarArrayPanel::SetFixed(int dim, std::int64_t element) {
  if (!grid_.SetFixed(dim, element)) {
    return false;
  }
  if (QComboBox* box = FixedBox(dim)) {
    updating_ = true;
    box->setCurrentIndex(static_cast<int>(element));
    updating_ = false;
  }
  Refresh();
  return true;
}

QComboBox* HarArrayPanel::FixedBox(int dim) const {
  return dim >= 0 && static_cast<std::size_t>(dim) < fixedBoxes_.size() ? fixedBoxes_[dim] : nullptr;
}

void HarArrayPanel::AxesChosen() {
  if (updating_) {
    return;
  }
  const int row = rowBox_->currentIndex();
  int col = colBox_->currentIndex() - 1; // entry 0 is "(one column)"
  if (col == row) {
    // The dimension moves from the columns to the rows: the old rows become the columns.
    col = grid_.RowDim();
  }
  SetAxes(row, col);
}

void HarArrayPanel::RebuildChoosers() {
  updating_ = true;
  rowBox_->clear();
  colBox_->clear();
  fixedBoxes_.assign(static_cast<std::size_t>(std::max(grid_.NumDims(), 0)), nullptr);
  // The labels and choosers of the previous slice go with their layout items.
  while (QLayoutItem* item = fixedLayout_->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  const bool arrays = grid_.GetKind() == HarGrid::Kind::Reals || grid_.GetKind() == HarGrid::Kind::Integers;
  axesBar_->setVisible(grid_.GetKind() != HarGrid::Kind::Empty);
  formatBar_->setVisible(grid_.GetKind() != HarGrid::Kind::Empty);
  for (QWidget* w : {static_cast<QWidget*>(rowBox_), static_cast<QWidget*>(colBox_)}) {
    w->setEnabled(arrays && grid_.NumDims() > 1);
  }
  sumsBox_->setEnabled(arrays);
  formatBox_->setEnabled(grid_.GetKind() == HarGrid::Kind::Reals);
  decimalsBox_->setEnabled(grid_.GetKind() == HarGrid::Kind::Reals);
  colBox_->addItem(tr("(one column)"));
  for (int d = 0; d < grid_.NumDims(); ++d) {
    rowBox_->addItem(DimCaption(grid_, d));
    colBox_->addItem(DimCaption(grid_, d));
  }
  rowBox_->setCurrentIndex(grid_.RowDim());
  colBox_->setCurrentIndex(grid_.ColDim() + 1);
  bool anyFixed = false;
  for (int d = 0; d < grid_.NumDims(); ++d) {
    if (d == grid_.RowDim() || d == grid_.ColDim() || grid_.GetKind() != HarGrid::Kind::Reals) {
      continue;
    }
    auto* label = new QLabel(Text(grid_.DimName(d)) + ":", fixedBar_);
    auto* box = new QComboBox(fixedBar_);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    box->setObjectName(QStringLiteral("fixed%1").arg(d));
    for (std::int64_t i = 0; i < grid_.DimSize(d); ++i) {
      box->addItem(Text(grid_.ElementLabel(d, i)));
    }
    box->setCurrentIndex(static_cast<int>(grid_.Fixed(d)));
    label->setBuddy(box);
    fixedLayout_->addWidget(label);
    fixedLayout_->addWidget(box);
    fixedBoxes_[static_cast<std::size_t>(d)] = box;
    connect(box, &QComboBox::currentIndexChanged, this, [this, d](int index) {
      if (!updating_ && index >= 0) {
        grid_.SetFixed(d, index);
        Refresh();
      }
    });
    anyFixed = true;
  }
  fixedLayout_->addStretch(1);
  fixedBar_->setVisible(anyFixed);
  updating_ = false;
}

void HarArrayPanel::Refresh() {
  model_->GridChanged();
  title_->setText(Text(grid_.SliceDescription()));
  title_->setVisible(!title_->text().isEmpty());
  QHeaderView* header = table_->horizontalHeader();
  if (grid_.GetKind() == HarGrid::Kind::Strings) {
    header->setSectionResizeMode(QHeaderView::Stretch);
  } else {
    header->setSectionResizeMode(QHeaderView::Interactive);
    if (grid_.DisplayCols() <= kFitColumnsUpTo) {
      table_->resizeColumnsToContents();
    } else {
      const int width = table_->fontMetrics().horizontalAdvance(QStringLiteral("-0000000.0000")) + 12;
      for (int c = 0; c < header->count(); ++c) {
        header->resizeSection(c, width);
      }
    }
  }
  Q_EMIT Changed();
}

QString HarArrayPanel::SelectionText() const {
  if (grid_.DisplayRows() == 0 || grid_.DisplayCols() == 0) {
    return {};
  }
  const QModelIndexList selected = table_->selectionModel()->selectedIndexes();
  if (selected.isEmpty()) {
    return Text(grid_.RangeText(0, grid_.DisplayRows() - 1, 0, grid_.DisplayCols() - 1, true));
  }
  int r0 = selected.first().row(), r1 = r0, c0 = selected.first().column(), c1 = c0;
  for (const QModelIndex& index : selected) {
    r0 = std::min(r0, index.row());
    r1 = std::max(r1, index.row());
    c0 = std::min(c0, index.column());
    c1 = std::max(c1, index.column());
  }
  return Text(grid_.RangeText(r0, r1, c0, c1, true));
}

} // namespace pelorin
