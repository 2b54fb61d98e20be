#pragma once

#include <QAbstractTableModel>

namespace pelorin {

class HarGrid;

/// A table model over a Header Array header shown as a grid (strings, an integer matrix or a 2-D slice of a
/// real array, with sums). Every cell is asked from the grid when a view paints it, so a header of a million
/// values opens as fast as a small one. The grid's row and column labels are the headers; sums are bold.
class HarGridModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit HarGridModel(QObject* parent = nullptr);

  /// Shows `grid` (or nothing for null); the grid must outlive the model or be replaced first.
  void SetGrid(const HarGrid* grid);
  /// Tells the views that the grid changed its slice, sums or format.
  void GridChanged();
  const HarGrid* Grid() const { return grid_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
  const HarGrid* grid_ = nullptr;
};

} // namespace pelorin
