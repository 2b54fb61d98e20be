#pragma once

#include "results/sim_tab.h"
#include "telvari/telvari_simulation.h"
#include "viewkit/viewer_services.h"
#include "viewkit/viewer_user_interface.h"

#include <QMainWindow>
#include <QTemporaryDir>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTabWidget;
class QTableView;

namespace pelorin {

class SimTabModel;

/// The solution viewer's window: one or more solutions, each shown as Pelorin's Results page shows it
/// (contents, data views with every solution side by side, element filter, description), the accuracy
/// figures of each, and, with two or more open, one variable from each side by side with the differences.
class TelvariWindow : public QMainWindow {
  Q_OBJECT
public:
  explicit TelvariWindow(ViewerServices services, QWidget* parent = nullptr);
  ~TelvariWindow() override;

  /// Acts on the program's arguments: solution files, or "%" + folder (solutions chosen there).
  void StartWith(const QStringList& arguments);
  /// Opens one more solution and shows it; false (with the reason shown) when it cannot be opened.
  bool OpenSolution(const QString& path);
  /// Shows simulation i (0-based) on the Results tab.
  void ShowSimulation(int i);
  /// Opens line `row` (0-based) of the contents.
  void OpenContentsLine(int row);
  /// Shows variable `name` of every simulation side by side (solution `s`, 1 the cumulative one).
  bool CompareVariable(const QString& name, int s = 1);
  /// Copies the table shown on the tab shown.
  void CopyShown();

  int NumSimulations() const { return static_cast<int>(simulations_.size()); }
  telv::TelvariSimulation& Simulation(int i) { return *simulations_[static_cast<std::size_t>(i)]; }
  int CurrentSimulation() const { return current_; }
  QTabWidget* Tabs() const { return tabs_; }
  QTableView* ContentsView() const { return contentsView_; }
  QTableView* DataView() const { return dataView_; }
  QTableView* AccuracyView() const { return accuracyView_; }
  QTableView* CompareView() const { return compareView_; }
  QLabel* StatusLabel() const { return status_; }
  QLabel* CompareTitle() const { return compareTitle_; }
  QComboBox* FilterBox() const { return filterBox_; }
  QComboBox* SolutionBox() const { return solutionBox_; }
  QComboBox* CompareVariableBox() const { return compareVariable_; }
  const SimTab& ComparisonTable() const { return comparison_; }

private:
  void BuildResultsTab();
  void BuildAccuracyTab();
  void BuildCompareTab();
  void BuildMenus();
  void Refresh();
  void RefreshCompareChoices();
  ResultsPage* Page();

  ViewerServices services_;
  ViewerUserInterface ui_;
  QTemporaryDir scratch_;
  std::vector<std::unique_ptr<telv::TelvariSimulation>> simulations_;
  int current_ = -1;
  bool updating_ = false;

  QTabWidget* tabs_ = nullptr;
  QComboBox* simulationBox_ = nullptr;
  QLabel* simulationLabel_ = nullptr;
  QComboBox* filterBox_ = nullptr;
  QComboBox* solutionBox_ = nullptr;
  QLabel* solutionLabel_ = nullptr;
  QSpinBox* decimalsBox_ = nullptr;
  QPushButton* contentsButton_ = nullptr;
  QPushButton* descriptionButton_ = nullptr;
  QLabel* status_ = nullptr;
  QStackedWidget* grids_ = nullptr;
  QTableView* contentsView_ = nullptr;
  QTableView* dataView_ = nullptr;
  SimTabModel* contentsModel_ = nullptr;
  SimTabModel* dataModel_ = nullptr;

  QLabel* accuracyLabel_ = nullptr;
  QTableView* accuracyView_ = nullptr;
  SimTabModel* accuracyModel_ = nullptr;

  QComboBox* compareVariable_ = nullptr;
  QComboBox* compareSolution_ = nullptr;
  QSpinBox* compareDecimals_ = nullptr;
  QLabel* compareTitle_ = nullptr;
  QTableView* compareView_ = nullptr;
  SimTabModel* compareModel_ = nullptr;
  SimTab comparison_;
};

} // namespace pelorin
