#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>

namespace pelorin {

struct SimTab;

/// A table model over one of the core's simulation tables. Every cell is asked from the table when a view
/// paints it: nothing is copied, so a view of a million cells opens as fast as a small one. The table's row 0
/// and column 0 are its headings: row 0 always becomes the horizontal header (a locked heading row); column 0
/// becomes the vertical header when the headings include it (a locked heading column), else it is model
/// column 0. Data cells keep the table's own marks as the marked colour.
class SimTabModel : public QAbstractTableModel {
  Q_OBJECT
public:
  /// Which of the table's headings stay in place while the view scrolls.
  enum class LockedHeadings { Row, RowAndColumn };

  explicit SimTabModel(LockedHeadings locked, QObject* parent = nullptr);

  /// Shows `table` (or nothing for null); the table must outlive the model or be replaced first.
  void SetTable(const SimTab* table);
  /// Tells the views that the table shown was rebuilt in place.
  void TableRebuilt();
  const SimTab* Table() const { return table_; }

  /// The font and alignment of every cell and heading (the grid's cell style).
  void SetCellStyle(const QFont& font, Qt::Alignment alignment);
  const QFont& CellFont() const { return font_; }
  Qt::Alignment CellAlignment() const { return alignment_; }

  /// The table row and column of a model index's row and column (data cells start at 1).
  int TableRow(int modelRow) const { return modelRow + 1; }
  int TableColumn(int modelColumn) const { return lockedColumn_ ? modelColumn + 1 : modelColumn; }
  /// True when column 0 of the table is the vertical header.
  bool HeadingColumnLocked() const { return lockedColumn_; }
  /// The text of table cell (row, col), empty outside the table.
  QString CellText(int row, int col) const;
  /// True when table cell (row, col) is a marked data cell.
  bool CellMarked(int row, int col) const;

  /// The colour of a marked cell's text: RGB (208, 0, 0).
  static QColor MarkedColour();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
  QVariant Style(int role) const;

  const SimTab* table_ = nullptr;
  bool lockedColumn_ = false;
  QFont font_;
  Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

} // namespace pelorin
