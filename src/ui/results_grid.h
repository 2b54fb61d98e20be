#pragma once

#include <QHeaderView>
#include <QTableView>

namespace pelorin {

class SimTabModel;
struct GridGeometry;

/// A header whose thickness is set by the grid (the row height, or the width of the label column) rather than
/// by its contents.
class GridHeader : public QHeaderView {
  Q_OBJECT
public:
  explicit GridHeader(Qt::Orientation orientation, QWidget* parent = nullptr);
  /// The header's height (horizontal) or width (vertical) in pixels.
  void SetThickness(int pixels);
  QSize sizeHint() const override;

private:
  int thickness_ = 0;
};

/// One grid of the Results page over a simulation table: a read-only view whose cells are asked from the
/// table, with its heading row (and on the data grid its heading column) locked, the geometry the page
/// decides, no resizing by the user and no cell selection. The contents grid browses by rows and opens a line
/// by double click, space bar or Enter; the data grid reports every mouse press on a cell, its headings
/// included, in table coordinates (row 0 and column 0 are the headings).
class ResultsGrid : public QTableView {
  Q_OBJECT
public:
  enum class Kind { Contents, Data };

  ResultsGrid(Kind kind, QWidget* parent = nullptr);

  Kind GridKind() const { return kind_; }
  SimTabModel& Model() const { return *model_; }
  /// Column widths, row height and the headers' thickness.
  void ApplyGeometry(const GridGeometry& geometry);
  /// The font of every cell and heading, and the cells' alignment.
  void SetCellStyle(const QFont& font, Qt::Alignment alignment);
  /// The table was rebuilt: the views ask again; the contents grid keeps its line when it still exists.
  void TableRebuilt();
  /// Makes table cell (row, col) the active cell (data cells start at 1).
  void SetActiveCell(int row, int col);
  /// The table row of the contents grid's active line (1-based), 0 when none.
  int ActiveLine() const;
  /// The table cell under a point of the grid's viewport; false when there is none.
  bool CellAt(const QPoint& viewportPoint, int& row, int& col) const;
  /// The rectangle of table cell (row, col) in the grid's own coordinates, headings included.
  QRect CellRect(int row, int col) const;

Q_SIGNALS:
  /// Data grid: a mouse button went down on table cell (row, col).
  void CellPressed(int row, int col, Qt::MouseButton button);
  /// Contents grid: the person opened line `row` of the table (1-based).
  void LineOpened(int row);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
  bool PaintCorner(QWidget* corner);
  void PressOn(int row, int col, QEvent* event);

  Kind kind_;
  SimTabModel* model_;
  GridHeader* horizontal_;
  GridHeader* vertical_;
  QWidget* corner_ = nullptr;
};

} // namespace pelorin
