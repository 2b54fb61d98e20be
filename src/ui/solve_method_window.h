#pragma once

#include <QDialog>
#include <array>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace pelorin {

class QtUserInterface;
class TSolveMethodDlg;

/// "Choose Solution Method": the window of the method dialog's logic (TSolveMethodDlg, already opened).
/// " Method ", " Number of solutions ", " Steps per solution ", the hidden "Automatic Accuracy" box,
/// "Sub-intervals", " Automatic accuracy options " (shown only with automatic accuracy, which makes the
/// dialog taller) with its warning, OK, Cancel and Help. OK closes when the logic accepts the steps; Cancel,
/// Escape and closing the window restore the choice the dialog opened with.
class SolveMethodWindow : public QDialog {
  Q_OBJECT
public:
  SolveMethodWindow(TSolveMethodDlg& dialog, QtUserInterface& ui, QWidget* parent = nullptr);

  QRadioButton* MethodButton(int method) const { return methods_[static_cast<std::size_t>(method - 1)]; }
  QRadioButton* SolutionsButton(int solutions) const {
    return solutions_[static_cast<std::size_t>(solutions - 1)];
  }
  QLineEdit* StepsEdit(int index) const { return steps_[static_cast<std::size_t>(index)]; }
  QCheckBox* AutomaticAccuracyBox() const { return automatic_; }
  QSpinBox* SubintervalsBox() const { return subintervals_; }
  QGroupBox* AccuracyGroup() const { return accuracy_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

  void reject() override;

private:
  void Refresh();
  void OkButtonClick();

  TSolveMethodDlg& dialog_;
  QtUserInterface& ui_;
  std::array<QRadioButton*, 4> methods_{};
  QButtonGroup* methodGroup_;
  QGroupBox* solutionsGroup_;
  std::array<QRadioButton*, 3> solutions_{};
  QButtonGroup* solutionsButtons_;
  std::array<QLineEdit*, 3> steps_{};
  QCheckBox* automatic_;
  QLabel* subintervalsLabel_;
  QSpinBox* subintervals_;
  QGroupBox* accuracy_;
  QSpinBox* figures_;
  QSpinBox* percent_;
  std::array<QRadioButton*, 3> criteria_{};
  QButtonGroup* criterionButtons_;
  QSpinBox* exponent_;
  QRadioButton* stop_;
  QRadioButton* continue_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QPushButton* help_;
  bool refreshing_ = false;
};

} // namespace pelorin
