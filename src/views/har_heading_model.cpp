#include "views/har_heading_model.h"

#include "datafiles/har_headings.h"

namespace pelorin {

namespace {

const char* const kColumns[] = {"Name", "Type", "Dimensions", "Long name", "Storage"};
constexpr int kNumColumns = 5;

} // namespace

HarHeadingModel::HarHeadingModel(QObject* parent) : QAbstractTableModel(parent) {}

void HarHeadingModel::SetList(const HarHeadingList* list) {
  beginResetModel();
  rows_.clear();
  if (list != nullptr) {
    rows_.reserve(list->headings.size());
    for (const HarHeading& heading : list->headings) {
      rows_.push_back(HeadingColumns(*heading.head));
    }
  }
  endResetModel();
}

int HarHeadingModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HarHeadingModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kNumColumns;
}

QVariant HarHeadingModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole || index.row() >= static_cast<int>(rows_.size())) {
    return {};
  }
  const std::string& text =
      rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant HarHeadingModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kNumColumns) {
    return QString::fromLatin1(kColumns[section]);
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace pelorin
