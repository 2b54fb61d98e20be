#pragma once

#include "explorer/equation_terms.h"

#include <QAbstractTableModel>

namespace pelorin {

/// A table model over an equation's terms for one element: side, term, value before and after the
/// simulation, change; then one line per side with its sum. The term that moved most on each side is bold.
class TermTableModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit TermTableModel(QObject* parent = nullptr);

  /// Shows the terms (copied).
  void SetValues(const explore::EquationValues& values);
  const explore::EquationValues& Values() const { return values_; }
  /// A number as the table writes it: six significant figures, what single-precision levels hold.
  static QString Number(double value);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
  explore::EquationValues values_;
  int largestMove_[2] = {-1, -1};
};

} // namespace pelorin
