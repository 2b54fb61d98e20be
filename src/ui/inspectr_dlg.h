#pragma once

#include "results/inspector.h"

#include <QDialog>
#include <functional>
#include <memory>

class QListWidget;
class QPushButton;
class QTabWidget;

namespace pelorin {

class UserInterface;

/// The sets and variables inspector: the model's sets with their members, subsets and supersets, its
/// variables in three columns, and its coefficients (none are read), each page with its own "&Copy". It works
/// on its own copy of the model information through the core's inspector logic.
class TInspectrDlg : public QDialog {
  Q_OBJECT
public:
  /// The dialog takes `owner`'s font name; `caption` is the menu's text (shown after a blank); `help` opens
  /// the help of `helpContext` (no Help button when that is 0).
  TInspectrDlg(const SolInfoRec& info, std::string_view caption, int helpContext, UserInterface& ui,
               std::function<void()> help, QWidget* owner = nullptr);
  ~TInspectrDlg() override;

  const Inspector& Logic() const { return *logic_; }
  QTabWidget* Pages() const { return pages_; }
  QListWidget* SetList() const { return sets_; }
  QListWidget* MemberList() const { return members_; }
  QListWidget* SubsetList() const { return subsets_; }
  QListWidget* SupersetList() const { return supersets_; }
  QListWidget* VariableList() const { return variables_; }
  QListWidget* CoefficientList() const { return coefficients_; }
  QPushButton* ExitButton() const { return exit_; }
  QPushButton* HelpButton() const { return help_; }
  QPushButton* CopyButton() const { return copy_; }

private:
  void ShowChosenSet();

  std::unique_ptr<Inspector> logic_;
  UserInterface& ui_;
  QTabWidget* pages_;
  QListWidget* sets_;
  QListWidget* members_;
  QListWidget* subsets_;
  QListWidget* supersets_;
  QListWidget* variables_;
  QListWidget* coefficients_;
  QPushButton* exit_;
  QPushButton* help_;
  QPushButton* copy_;
};

} // namespace pelorin
