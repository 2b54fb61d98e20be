#pragma once

#include "explorer/solution_explorer.h"
#include "viewkit/viewer_services.h"

#include <QMainWindow>
#include <vector>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QStackedWidget;
class QTableView;
class QTextBrowser;

namespace pelorin {

class HarArrayPanel;
class TermTableModel;

/// The model explorer's window: the model's source with every name a link, and beside it the values of the
/// chosen name (a set's elements, a coefficient before and after, a variable's results and levels) or, for an
/// equation, its terms for a chosen element before and after the simulation. What is missing (the source,
/// the coefficient file) is said above everything else.
class BrisolentWindow : public QMainWindow {
  Q_OBJECT
public:
  explicit BrisolentWindow(ViewerServices services, QWidget* parent = nullptr);
  ~BrisolentWindow() override;

  /// Acts on the program's argument: a solution file (in quotes when it holds blanks).
  void StartWith(const QString& argument);
  /// Opens a solution; false (with the reason shown) when the solution file cannot be read.
  bool OpenSolution(const QString& path);
  /// Shows a name of the model: values, or an equation's terms.
  bool ShowName(const explore::NameRef& ref);
  /// Shows variable k of the solution file (what can be shown without the model source).
  bool ShowSolutionVariable(int k);
  /// Chooses the element of domain set d of the equation shown.
  bool ChooseElement(int d, int element);
  /// Copies what is shown (the grid's selection, or the terms) as tab-separated text.
  void CopyShown();

  const explore::SolutionExplorer& Explorer() const { return explorer_; }
  QTextBrowser* SourceView() const { return source_; }
  QLabel* NotesLabel() const { return notes_; }
  QLabel* Heading() const { return heading_; }
  HarArrayPanel* Panel() const { return panel_; }
  QTableView* TermView() const { return termView_; }
  const TermTableModel* Terms() const { return terms_; }
  QComboBox* NameBox() const { return nameBox_; }
  QComboBox* ElementBox(int d) const;
  /// The page shown on the right: 0 values, 1 an equation's terms, 2 a message.
  int PageShown() const;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void BuildMenus();
  void FillNameBox();
  void ShowMessage(const QString& heading, const QString& text);
  void ComputeTerms();
  void FitTermRowsLater();

  ViewerServices services_;
  explore::SolutionExplorer explorer_;
  explore::NameRef shown_;
  QLabel* notes_ = nullptr;
  QTextBrowser* source_ = nullptr;
  QComboBox* nameBox_ = nullptr;
  QLabel* heading_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  HarArrayPanel* panel_ = nullptr;
  QWidget* elementBar_ = nullptr;
  QHBoxLayout* elementLayout_ = nullptr;
  std::vector<QComboBox*> elementBoxes_;
  QTableView* termView_ = nullptr;
  TermTableModel* terms_ = nullptr;
  QLabel* termNote_ = nullptr;
  QLabel* message_ = nullptr;
  bool updating_ = false;
  bool termRowsPending_ = false;
};

} // namespace pelorin
