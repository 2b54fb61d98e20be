#pragma once

#include "results/results_page.h"

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace pelorin {

class ResultsGrid;
class UpDownButton;

/// The Results page: the tool bar (element filter, "V", decimals, "Contents", "Description", solution
/// chooser), the contents and data grids sharing the page, and the status line with the three size buttons.
/// Every event goes to the core routine of the same name; Refresh() then mirrors the core's page state.
class ResultsPageWidget : public QWidget {
  Q_OBJECT
public:
  explicit ResultsPageWidget(ResultsPage& page, QWidget* parent = nullptr);

  /// Shows the core's page state: which controls show, their lists and choices, the grids and their
  /// geometry, the status text, what is enabled and which grid has the focus.
  void Refresh();

  /// The page became the one shown, or stopped being it.
  void PageActivated();
  void PageDeactivated();

  ResultsGrid* ContentsGrid() const { return contentsGrid_; }
  ResultsGrid* DataGrid() const { return dataGrid_; }
  QComboBox* ElementFilter() const { return filter_; }
  QPushButton* FormatButton() const { return formatButton_; }
  QComboBox* DecimalsChooser() const { return decimals_; }
  QPushButton* ContentsButton() const { return contentsButton_; }
  QPushButton* DescriptionButton() const { return descriptionButton_; }
  QComboBox* SolutionChooser() const { return solutions_; }
  QLabel* StatusLine() const { return status_; }
  UpDownButton* SizeButton(SizeKind kind) const;
  /// The grid in front (the one the page shows).
  ResultsGrid* FrontGrid() const;

Q_SIGNALS:
  /// The page's state changed through one of its controls (the main window refreshes its menus).
  void Changed();

protected:
  void changeEvent(QEvent* event) override;

private:
  void Forward(const std::function<void()>& routine);
  void LayOutBars();
  void FillCombo(QComboBox* combo, std::vector<std::string>& shown, const std::vector<std::string>& items,
                 int index);
  void ApplyCellStyle();

  ResultsPage& page_;
  QWidget* toolBar_;
  QComboBox* filter_;
  QPushButton* formatButton_;
  QComboBox* decimals_;
  QPushButton* contentsButton_;
  QPushButton* descriptionButton_;
  QComboBox* solutions_;
  QStackedWidget* grids_;
  ResultsGrid* contentsGrid_;
  ResultsGrid* dataGrid_;
  QWidget* statusBar_;
  QLabel* status_;
  UpDownButton* sizeButtons_[3];

  // What the widgets show now, so Refresh only touches what changed.
  std::vector<std::string> filterShown_;
  std::vector<std::string> solutionsShown_;
  int contentsVersion_ = -1;
  int dataVersion_ = -1;
  int fontHeight_ = 0;
  bool forwarding_ = false;
  GridGeometry contentsGeometry_;
  GridGeometry dataGeometry_;
};

} // namespace pelorin
