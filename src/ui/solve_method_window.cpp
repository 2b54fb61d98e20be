#include "ui/solve_method_window.h"

#include "simspec/simulation_context.h"
#include "simspec/solve_method_dialog.h"
#include "ui/qt_text.h"
#include "ui/qt_user_interface.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace pelorin {

namespace {

QRadioButton* AddRadio(QButtonGroup* group, QBoxLayout* layout, QWidget* parent, const char* caption,
                       int id) {
  auto* button = new QRadioButton(QString::fromLatin1(caption), parent);
  group->addButton(button, id);
  layout->addWidget(button);
  return button;
}

void SetValue(QSpinBox* box, int value) {
  if (box->value() != value) {
    box->setValue(value);
  }
}

} // namespace

SolveMethodWindow::SolveMethodWindow(TSolveMethodDlg& dialog, QtUserInterface& ui, QWidget* parent)
    : QDialog(parent), dialog_(dialog), ui_(ui), methodGroup_(new QButtonGroup(this)),
      solutionsGroup_(new QGroupBox(QStringLiteral(" Number of solutions "), this)),
      solutionsButtons_(new QButtonGroup(this)),
      automatic_(new QCheckBox(QStringLiteral("Automatic Accuracy"), this)),
      subintervalsLabel_(new QLabel(QStringLiteral("Sub-intervals"), this)),
      subintervals_(new QSpinBox(this)),
      accuracy_(new QGroupBox(QStringLiteral(" Automatic accuracy options "), this)),
      figures_(new QSpinBox(accuracy_)), percent_(new QSpinBox(accuracy_)),
      criterionButtons_(new QButtonGroup(this)), exponent_(new QSpinBox(accuracy_)),
      stop_(new QRadioButton(QStringLiteral("STOP"), accuracy_)),
      continue_(new QRadioButton(QStringLiteral("Continue"), accuracy_)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)),
      help_(new QPushButton(QStringLiteral("Help"), this)) {
  setObjectName(QStringLiteral("TSolveMethodDlg"));
  setWindowTitle(QStringLiteral("Choose Solution Method"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* methodBox = new QGroupBox(QStringLiteral(" Method "), this);
  methodBox->setObjectName(QStringLiteral("MethodGroup"));
  auto* methodRow = new QHBoxLayout(methodBox);
  const char* const methodNames[] = {"Johansen", "Euler", "Gragg", "Midpoint"};
  for (int m = 1; m <= 4; ++m) {
    methods_[static_cast<std::size_t>(m - 1)] =
        AddRadio(methodGroup_, methodRow, methodBox, methodNames[m - 1], m);
  }

  solutionsGroup_->setObjectName(QStringLiteral("SolutionsGroup"));
  auto* solutionsColumn = new QVBoxLayout(solutionsGroup_);
  const char* const solutionNames[] = {"1 solution", "2 solutions", "3 solutions"};
  for (int n = 1; n <= 3; ++n) {
    solutions_[static_cast<std::size_t>(n - 1)] =
        AddRadio(solutionsButtons_, solutionsColumn, solutionsGroup_, solutionNames[n - 1], n);
  }

  auto* stepsBox = new QGroupBox(QStringLiteral(" Steps per solution "), this);
  stepsBox->setObjectName(QStringLiteral("StepsGroup"));
  auto* stepsRow = new QHBoxLayout(stepsBox);
  const int digitWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12;
  for (std::size_t i = 0; i < steps_.size(); ++i) {
    steps_[i] = new QLineEdit(stepsBox);
    steps_[i]->setObjectName(QStringLiteral("StepsEdit%1").arg(i + 1));
    steps_[i]->setMaxLength(3);
    steps_[i]->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), steps_[i]));
    steps_[i]->setFixedWidth(digitWidth);
    stepsRow->addWidget(steps_[i]);
  }
  stepsRow->addStretch(1);
  auto* subintervalsRow = new QHBoxLayout;
  subintervals_->setObjectName(QStringLiteral("SubintervalsEdit"));
  subintervalsLabel_->setBuddy(subintervals_);
  subintervalsRow->addWidget(subintervalsLabel_);
  subintervalsRow->addWidget(subintervals_);
  subintervalsRow->addStretch(1);
  auto* stepsColumn = new QVBoxLayout;
  stepsColumn->addWidget(stepsBox);
  stepsColumn->addLayout(subintervalsRow);
  stepsColumn->addStretch(1);
  auto* middle = new QHBoxLayout;
  middle->addWidget(solutionsGroup_);
  middle->addLayout(stepsColumn, 1);

  automatic_->setObjectName(QStringLiteral("AutoAccCheckBox"));
  ok_->setObjectName(QStringLiteral("OkButton"));
  ok_->setDefault(true);
  cancel_->setObjectName(QStringLiteral("CancelButton"));
  help_->setObjectName(QStringLiteral("HelpButton"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(automatic_);
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addWidget(help_);

  accuracy_->setObjectName(QStringLiteral("AccuracyGroup"));
  figures_->setObjectName(QStringLiteral("FiguresEdit"));
  figures_->setRange(1, 6);
  percent_->setObjectName(QStringLiteral("PercentEdit"));
  percent_->setRange(60, 99);
  percent_->setSingleStep(5);
  exponent_->setObjectName(QStringLiteral("MinSubintEdit"));
  exponent_->setRange(-9, -1);
  auto* criterionBox = new QGroupBox(QStringLiteral("Criterion"), accuracy_);
  auto* criterionRow = new QHBoxLayout(criterionBox);
  const char* const criterionNames[] = {"Data", "Solution", "Both"};
  for (int c = 0; c < 3; ++c) {
    criteria_[static_cast<std::size_t>(c)] =
        AddRadio(criterionButtons_, criterionRow, criterionBox, criterionNames[c], c);
  }
  auto* failBox = new QGroupBox(QStringLiteral("If fail at min subint..."), accuracy_);
  auto* failRow = new QHBoxLayout(failBox);
  stop_->setParent(failBox);
  continue_->setParent(failBox);
  failRow->addWidget(stop_);
  failRow->addWidget(continue_);
  auto* warning = new QLabel(
      QStringLiteral(
          "WARNING -- Inappropriate options for automatic accuracy may lead to excessive solution times."),
      accuracy_);
  warning->setObjectName(QStringLiteral("WarningLabel"));
  warning->setWordWrap(true);
  auto* accuracyGrid = new QGridLayout(accuracy_);
  const auto addNumber = [accuracyGrid, this](int column, const char* caption, QSpinBox* box) {
    auto* label = new QLabel(QString::fromLatin1(caption), accuracy_);
    label->setBuddy(box);
    accuracyGrid->addWidget(label, 0, 2 * column);
    accuracyGrid->addWidget(box, 0, 2 * column + 1);
  };
  addNumber(0, "Figures", figures_);
  addNumber(1, "Percent", percent_);
  addNumber(2, "Min subint=10^n", exponent_);
  accuracyGrid->addWidget(criterionBox, 1, 0, 1, 3);
  accuracyGrid->addWidget(failBox, 1, 3, 1, 3);
  accuracyGrid->addWidget(warning, 2, 0, 1, 6);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(methodBox);
  layout->addLayout(middle);
  layout->addLayout(buttons);
  layout->addWidget(accuracy_);
  // The dialog ends a third of a button's height below its last part, and grows or shrinks with the
  // accuracy options.
  QMargins margins = layout->contentsMargins();
  margins.setBottom(ok_->sizeHint().height() / 3);
  layout->setContentsMargins(margins);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(methodGroup_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked && !refreshing_) {
      dialog_.MethodChanged(id);
      Refresh();
    }
  });
  connect(solutionsButtons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked && !refreshing_) {
      dialog_.SolutionsChanged(id);
      Refresh();
    }
  });
  for (int i = 0; i < 3; ++i) {
    connect(steps_[static_cast<std::size_t>(i)], &QLineEdit::textEdited, this,
            [this, i](const QString& text) { dialog_.StepsChanged(i, ToStdString(text)); });
  }
  connect(automatic_, &QCheckBox::toggled, this, [this](bool on) {
    if (!refreshing_) {
      dialog_.AutomaticAccuracyChanged(on);
      Refresh();
    }
  });
  const auto number = [this](QSpinBox* box, void (TSolveMethodDlg::*routine)(int)) {
    connect(box, &QSpinBox::valueChanged, this, [this, routine](int value) {
      if (!refreshing_) {
        (dialog_.*routine)(value);
        Refresh();
      }
    });
  };
  number(subintervals_, &TSolveMethodDlg::SubintervalsChanged);
  number(figures_, &TSolveMethodDlg::FiguresChanged);
  number(percent_, &TSolveMethodDlg::PercentChanged);
  number(exponent_, &TSolveMethodDlg::ExponentChanged);
  connect(criterionButtons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked && !refreshing_) {
      dialog_.CriterionChanged(id);
    }
  });
  connect(stop_, &QRadioButton::toggled, this, [this](bool on) {
    if (!refreshing_) {
      dialog_.FailActionChanged(on);
    }
  });
  connect(ok_, &QPushButton::clicked, this, &SolveMethodWindow::OkButtonClick);
  connect(cancel_, &QPushButton::clicked, this, &SolveMethodWindow::reject);
  connect(help_, &QPushButton::clicked, this, [this] { ui_.ShowHelpTopic(kHelpSolve); });
  Refresh();
}

void SolveMethodWindow::Refresh() {
  refreshing_ = true;
  const TSolveMethodDlg::ControlState& state = dialog_.State();
  if (state.method >= 1 && state.method <= 4) {
    methods_[static_cast<std::size_t>(state.method - 1)]->setChecked(true);
  }
  if (state.solutions >= 1 && state.solutions <= 3) {
    solutions_[static_cast<std::size_t>(state.solutions - 1)]->setChecked(true);
  }
  solutionsGroup_->setEnabled(state.solutionsEnabled);
  for (std::size_t i = 0; i < steps_.size(); ++i) {
    const QString text = ToQString(state.steps[i]);
    if (steps_[i]->text() != text) {
      steps_[i]->setText(text);
    }
  }
  steps_[0]->setEnabled(state.steps1Enabled);
  steps_[1]->setVisible(state.steps2Visible);
  steps_[2]->setVisible(state.steps3Visible);
  automatic_->setChecked(state.automaticAccuracy);
  automatic_->setEnabled(state.automaticAccuracyEnabled);
  automatic_->setVisible(state.automaticAccuracyVisible);
  subintervals_->setRange(1, state.subintervalsMax);
  SetValue(subintervals_, state.subintervals);
  subintervalsLabel_->setVisible(state.subintervalsVisible);
  subintervals_->setVisible(state.subintervalsVisible);
  subintervals_->setEnabled(state.subintervalsVisible);
  accuracy_->setVisible(state.tall);
  SetValue(figures_, state.figures);
  SetValue(percent_, state.percent);
  SetValue(exponent_, state.exponent);
  if (state.criterion >= 0 && state.criterion <= 2) {
    criteria_[static_cast<std::size_t>(state.criterion)]->setChecked(true);
  }
  (state.stopOnFailure ? stop_ : continue_)->setChecked(true);
  refreshing_ = false;
}

void SolveMethodWindow::OkButtonClick() {
  if (dialog_.OkClick()) {
    accept();
    return;
  }
  switch (dialog_.FocusTarget()) {
  case TSolveMethodDlg::Focus::Steps1:
    steps_[0]->setFocus();
    break;
  case TSolveMethodDlg::Focus::Steps2:
    steps_[1]->setFocus();
    break;
  case TSolveMethodDlg::Focus::Steps3:
    steps_[2]->setFocus();
    break;
  case TSolveMethodDlg::Focus::None:
    break;
  }
}

void SolveMethodWindow::reject() {
  dialog_.CancelClick();
  QDialog::reject();
}

} // namespace pelorin
