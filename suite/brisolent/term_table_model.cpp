#include "brisolent/term_table_model.h"

#include <QBrush>
#include <QFont>
#include <cmath>

namespace pelorin {

namespace {

const char* const kColumns[] = {"Side", "Term", "Before", "After", "Change"};

} // namespace

TermTableModel::TermTableModel(QObject* parent) : QAbstractTableModel(parent) {}

QString TermTableModel::Number(double value) {
  return QString::number(value, 'g', 6);
}

void TermTableModel::SetValues(const explore::EquationValues& values) {
  beginResetModel();
  values_ = values;
  largestMove_[0] = largestMove_[1] = -1;
  double largest[2] = {0, 0};
  for (std::size_t i = 0; i < values_.terms.size(); ++i) {
    const explore::EquationTerm& term = values_.terms[i];
    const int side = term.rightSide ? 1 : 0;
    if (std::fabs(term.Change()) > largest[side]) {
      largest[side] = std::fabs(term.Change());
      largestMove_[side] = static_cast<int>(i);
    }
  }
  endResetModel();
}

int TermTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || values_.terms.empty() ? 0 : static_cast<int>(values_.terms.size()) + 2;
}

int TermTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 5;
}

QVariant TermTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) {
    return {};
  }
  const int terms = static_cast<int>(values_.terms.size());
  const int row = index.row();
  const int col = index.column();
  const bool sumRow = row >= terms;
  if (role == Qt::TextAlignmentRole) {
    return col >= 2 ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
  }
  if (role == Qt::FontRole) {
    const bool largest = !sumRow && (row == largestMove_[0] || row == largestMove_[1]);
    if (sumRow || largest) {
      QFont font;
      font.setBold(true);
      return font;
    }
    return {};
  }
  if (role == Qt::BackgroundRole) {
    return sumRow ? QVariant(QBrush(QColor(236, 240, 246))) : QVariant();
  }
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
    return {};
  }
  if (sumRow) {
    const bool right = row == terms + 1;
    const double before = right ? values_.rhsBefore : values_.lhsBefore;
    const double after = right ? values_.rhsAfter : values_.lhsAfter;
    switch (col) {
    case 0:
      return right ? tr("Right") : tr("Left");
    case 1:
      return right ? tr("Right side in all") : tr("Left side in all");
    case 2:
      return Number(before);
    case 3:
      return Number(after);
    default:
      return Number(after - before);
    }
  }
  const explore::EquationTerm& term = values_.terms[static_cast<std::size_t>(row)];
  switch (col) {
  case 0:
    return term.rightSide ? tr("Right") : tr("Left");
  case 1:
    return QString::fromUtf8(term.text.data(), static_cast<qsizetype>(term.text.size()));
  case 2:
    return Number(term.before);
  case 3:
    return Number(term.after);
  default:
    return Number(term.Change());
  }
}

QVariant TermTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 5) {
    return tr(kColumns[section]);
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace pelorin
