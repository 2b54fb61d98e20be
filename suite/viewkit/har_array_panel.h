#pragma once

#include "datafiles/har_grid.h"

#include <QWidget>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QSpinBox;
class QTableView;

namespace pelorin {

class HarGridModel;

/// A header's values in a grid: the choice of the dimensions that form the rows and the columns, one chooser
/// for the element of every other dimension, sums, the number format and its decimals, and the slice's
/// description above the grid. Strings are shown as a list.
class HarArrayPanel : public QWidget {
  Q_OBJECT
public:
  explicit HarArrayPanel(QWidget* parent = nullptr);
  ~HarArrayPanel() override;

  /// Shows a header (null: nothing); rows over its first dimension, columns over its second.
  void SetHeader(std::shared_ptr<const THeadRecz> head);
  /// Chooses the rows' and columns' dimensions (-1 columns: a single column); false when the grid refuses.
  bool SetAxes(int rowDim, int colDim);
  /// Fixes another dimension at an element.
  bool SetFixed(int dim, std::int64_t element);

  const HarGrid& Grid() const { return grid_; }
  QTableView* Table() const { return table_; }
  QComboBox* RowDimBox() const { return rowBox_; }
  QComboBox* ColDimBox() const { return colBox_; }
  /// The element chooser of a dimension that is neither rows nor columns (null for those).
  QComboBox* FixedBox(int dim) const;
  QCheckBox* SumsBox() const { return sumsBox_; }
  QComboBox* FormatBox() const { return formatBox_; }
  QSpinBox* DecimalsBox() const { return decimalsBox_; }
  QLabel* TitleLabel() const { return title_; }

  /// The selected cells (their bounding rectangle) with their row and column labels, tab-separated; the whole
  /// grid when nothing is selected; empty when the grid is empty.
  QString SelectionText() const;

Q_SIGNALS:
  /// The slice, the sums or the format changed.
  void Changed();

private:
  void RebuildChoosers();
  void Refresh();
  void AxesChosen();

  HarGrid grid_;
  HarGridModel* model_ = nullptr;
  QTableView* table_ = nullptr;
  QLabel* title_ = nullptr;
  QComboBox* rowBox_ = nullptr;
  QComboBox* colBox_ = nullptr;
  QCheckBox* sumsBox_ = nullptr;
  QComboBox* formatBox_ = nullptr;
  QSpinBox* decimalsBox_ = nullptr;
  QWidget* axesBar_ = nullptr;
  QWidget* formatBar_ = nullptr;
  QWidget* fixedBar_ = nullptr;
  QHBoxLayout* fixedLayout_ = nullptr;
  std::vector<QComboBox*> fixedBoxes_; ///< per dimension; null for the rows' and columns'
  bool updating_ = false;
};

} // namespace pelorin
