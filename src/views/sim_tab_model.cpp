#include "views/sim_tab_model.h"

#include "results/results_page.h"
#include "results/sim_tab.h"
#include "views/view_text.h"

namespace pelorin {

SimTabModel::SimTabModel(LockedHeadings locked, QObject* parent)
    : QAbstractTableModel(parent), lockedColumn_(locked == LockedHeadings::RowAndColumn) {}

void SimTabModel::SetTable(const SimTab* table) {
  beginResetModel();
  table_ = table;
  endResetModel();
}

void SimTabModel::TableRebuilt() {
  beginResetModel();
  endResetModel();
}

void SimTabModel::SetCellStyle(const QFont& font, Qt::Alignment alignment) {
  font_ = font;
  alignment_ = alignment;
  if (rowCount() > 0 && columnCount() > 0) {
    Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                       {Qt::FontRole, Qt::TextAlignmentRole});
  }
  if (columnCount() > 0) {
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  }
  if (rowCount() > 0) {
    Q_EMIT headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
  }
}

QColor SimTabModel::MarkedColour() {
  return QColor(kMarkedCellColour[0], kMarkedCellColour[1], kMarkedCellColour[2]);
}

QString SimTabModel::CellText(int row, int col) const {
  if (!table_ || !table_->HasContents() || row < 0 || col < 0 || row > table_->nrow || col > table_->ncol) {
    return {};
  }
  return ViewText(table_->Cell(row, col));
}

bool SimTabModel::CellMarked(int row, int col) const {
  return table_ && row >= 1 && col >= 1 && row <= table_->nrow && col <= table_->ncol &&
         table_->Marked(row, col);
}

int SimTabModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !table_ || !table_->HasContents()) {
    return 0;
  }
  // A table without data rows still shows one empty row under its headings.
  return table_->nrow == 0 ? 1 : table_->nrow;
}

int SimTabModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid() || !table_ || !table_->HasContents()) {
    return 0;
  }
  return lockedColumn_ ? table_->ncol : table_->ncol + 1;
}

QVariant SimTabModel::Style(int role) const {
  switch (role) {
  case Qt::FontRole:
    return font_;
  case Qt::TextAlignmentRole:
    return QVariant::fromValue(alignment_);
  default:
    return {};
  }
}

QVariant SimTabModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !table_) {
    return {};
  }
  const int row = TableRow(index.row());
  const int col = TableColumn(index.column());
  switch (role) {
  case Qt::DisplayRole:
    return CellText(row, col);
  case Qt::ForegroundRole:
    return CellMarked(row, col) ? QVariant(MarkedColour()) : QVariant();
  default:
    return Style(role);
  }
}

QVariant SimTabModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (!table_ || section < 0) {
    return {};
  }
  if (role != Qt::DisplayRole) {
    return Style(role);
  }
  if (orientation == Qt::Horizontal) {
    return CellText(0, TableColumn(section));
  }
  return lockedColumn_ ? CellText(TableRow(section), 0) : QVariant(section + 1);
}

Qt::ItemFlags SimTabModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace pelorin
