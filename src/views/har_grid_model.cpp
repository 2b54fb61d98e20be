#include "views/har_grid_model.h"

#include "datafiles/har_grid.h"

#include <QBrush>
#include <QFont>
#include <climits>

namespace pelorin {

namespace {

int Clamp(std::int64_t n) {
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

QString Text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

HarGridModel::HarGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void HarGridModel::SetGrid(const HarGrid* grid) {
  beginResetModel();
  grid_ = grid;
  endResetModel();
}

void HarGridModel::GridChanged() {
  beginResetModel();
  endResetModel();
}

int HarGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || grid_ == nullptr ? 0 : Clamp(grid_->DisplayRows());
}

int HarGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || grid_ == nullptr ? 0 : Clamp(grid_->DisplayCols());
}

QVariant HarGridModel::data(const QModelIndex& index, int role) const {
  if (grid_ == nullptr || !index.isValid()) {
    return {};
  }
  const bool sum = grid_->IsSumRow(index.row()) || grid_->IsSumCol(index.column());
  switch (role) {
  case Qt::DisplayRole:
    return Text(grid_->CellText(index.row(), index.column()));
  case Qt::TextAlignmentRole:
    return grid_->GetKind() == HarGrid::Kind::Strings ? QVariant(int(Qt::AlignLeft | Qt::AlignVCenter))
                                                      : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
  case Qt::FontRole:
    if (sum) {
      QFont font;
      font.setBold(true);
      return font;
    }
    return {};
  case Qt::BackgroundRole:
    return sum ? QVariant(QBrush(QColor(236, 240, 246))) : QVariant();
  default:
    return {};
  }
}

QVariant HarGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (grid_ == nullptr || role != Qt::DisplayRole) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return Text(orientation == Qt::Horizontal ? grid_->ColLabel(section) : grid_->RowLabel(section));
}

Qt::ItemFlags HarGridModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace pelorin
