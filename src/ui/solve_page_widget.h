#pragma once

#include "ui/log_memo_view.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pelorin {

class ModelSetUp;
class QtUserInterface;
class SolvePage;

/// The Solve page: the solution method's description and "Change" (the "Choose Solution Method" dialog), the
/// verbal description, "Solve", "Look at CMF File", and the error log with "Hide Error Log". Every control
/// goes to the logic's routine of the same name; `Changed` then asks the window to show the new state.
class SolvePageWidget : public QWidget {
  Q_OBJECT
public:
  SolvePageWidget(SolvePage& page, ModelSetUp& model, QtUserInterface& ui, QWidget* parent = nullptr);

  void Refresh();

  QLabel* MethodLabel() const { return method_; }
  QPushButton* ChangeButton() const { return change_; }
  QLineEdit* DescriptionEdit() const { return description_; }
  QPushButton* SolveButton() const { return solve_; }
  QPushButton* LookAtCmfButton() const { return lookAtCmf_; }
  QPlainTextEdit* ErrorLog() const { return errorLog_; }
  QPushButton* HideErrorLogButton() const { return hideErrorLog_; }

Q_SIGNALS:
  void Changed();
  /// "Solve" was pressed: the main window hands its pending edits to the logic first.
  void SolveRequested();

private:
  void ChangeMethodButtonClick();

  SolvePage& page_;
  ModelSetUp& model_;
  QtUserInterface& ui_;
  QLabel* method_;
  QPushButton* change_;
  QLineEdit* description_;
  QPushButton* solve_;
  QPushButton* lookAtCmf_;
  QLabel* errorLogLabel_;
  QPlainTextEdit* errorLog_;
  QPushButton* hideErrorLog_;
  LogMemoView errorLogView_;
};

} // namespace pelorin
