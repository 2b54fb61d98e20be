#pragma once

#include "platform/user_interface.h"
#include "shell/solve_method.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// The method's name as the Solve page and the command file write it: "Johansen", "Euler", "Gragg",
/// "Midpoint".
std::string_view MethodName(SolutionMethod method);

/// True when the solve uses automatic accuracy: it is on, and the method makes three solutions (the dialog
/// switches it off otherwise; settings written by hand may still hold it).
bool AutomaticAccuracyInUse(const SolveMethodRec& method);

/// The subintervals the solve uses: the accuracy subintervals with automatic accuracy in use, otherwise the
/// method's; 1 whenever the dialog hides the "Sub-intervals" box (Johansen, fewer than three solutions).
int SubintervalsInUse(const SolveMethodRec& method, const AccuracyOptions& accuracy);

/// The Solve page's one-line description of the method, e.g. "Gragg: 2-4-6 steps extrapolation",
/// "Johansen: 1 step", "Gragg: 2-4-6 steps extrapolation (4 subintervals)"; it names the subintervals
/// whenever the solve uses more than one.
std::string MethodLabelText(const SolveMethodRec& method);

/// The command-file lines for the method: "Method = ...;", "Steps = ...;" and "subintervals = ...;".
std::vector<std::string> MethodStatements(const SolveMethodRec& method, const AccuracyOptions& accuracy);

/// The command-file lines for automatic accuracy: "automatic accuracy = no;" when it is not in use, otherwise
/// the accuracy lines ending with "accuracy criterion = ...;".
std::vector<std::string> AutomaticAccuracyStatements(const SolveMethodRec& method,
                                                     const AccuracyOptions& accuracy);

/// A real number in the exponent form of the command file: sign or blank, one digit, ".", one digit, "E", the
/// exponent's sign and four digits (0.001 gives " 1.0E-0003").
std::string ExponentText(double value);

/// True when two method records mean the same solve: the same method and automatic-accuracy setting, for a
/// method other than Johansen the same number of solutions and steps of the solutions in use, and without
/// automatic accuracy the same subintervals.
bool SameSolveMethod(const SolveMethodRec& a, const SolveMethodRec& b);

/// The logic of the "Choose Solution Method" dialog over the application's method record and accuracy
/// options. The window layer mirrors State(), forwards every change to the matching routine and closes the
/// dialog when OkClick returns true or after CancelClick.
class TSolveMethodDlg {
public:
  /// The boxes that can take the focus after a refused OK.
  enum class Focus { None, Steps1, Steps2, Steps3 };

  /// What the dialog's controls show.
  struct ControlState {
    int method = 1;    ///< " Method ": 1 Johansen .. 4 Midpoint
    int solutions = 1; ///< " Number of solutions ": 1 to 3
    bool solutionsEnabled = true;
    std::array<std::string, 3> steps; ///< " Steps per solution " boxes (one to three digits)
    bool steps1Enabled = true;
    bool steps2Visible = true;
    bool steps3Visible = true;
    bool automaticAccuracy = false; ///< "Automatic Accuracy" (never shown: only the settings switch it on)
    bool automaticAccuracyEnabled = false;
    bool automaticAccuracyVisible = false;
    int subintervals = 1; ///< "Sub-intervals"
    int subintervalsMax = 100;
    bool subintervalsVisible = false; ///< box and caption, shown and enabled only with 3 solutions
    bool tall = false;                ///< the dialog shows " Automatic accuracy options "
    int figures = 4;                  ///< "Figures" 1..6
    int percent = 80;                 ///< "Percent" 60..99
    int criterion = 0;                ///< "Criterion": 0 "Data", 1 "Solution", 2 "Both"
    int exponent = -3;                ///< "Min subint=10^n": -9..-1
    bool stopOnFailure = true;        ///< "If fail at min subint...": "STOP" or "Continue"
  };

  TSolveMethodDlg(SolveMethodRec& method, AccuracyOptions& accuracy, UserInterface& ui);

  /// Opens the dialog: per-method memory, copies for Cancel, controls filled and arranged.
  void Open();
  /// A method was picked (1..4).
  void MethodChanged(int method);
  /// A number of solutions was picked (1..3).
  void SolutionsChanged(int solutions);
  /// A step box's text changed (index 0..2).
  void StepsChanged(int index, std::string_view text);
  /// The "Automatic Accuracy" box changed.
  void AutomaticAccuracyChanged(bool on);
  /// The "Sub-intervals" box changed.
  void SubintervalsChanged(int subintervals);
  /// The accuracy options changed.
  void FiguresChanged(int figures);
  void PercentChanged(int percent);
  void CriterionChanged(int criterion);
  void ExponentChanged(int exponent);
  void FailActionChanged(bool stop);
  /// OK: checks the steps; true when the dialog may close (the record then holds the choice), false after an
  /// error box with FocusTarget naming the box to fix.
  bool OkClick();
  /// Cancel, or closing the dialog any other way: the record and options return to their state at Open.
  void CancelClick();
  /// After OK: whether the choice differs from the one at Open.
  bool Changed() const;

  /// What the controls show now.
  const ControlState& State() const { return controls_; }
  /// The box to focus after a refused OK.
  Focus FocusTarget() const { return focus_; }

private:
  void FillControls();
  void Arrange();
  void StoreSteps();

  SolveMethodRec& method_;
  AccuracyOptions& accuracy_;
  UserInterface& ui_;
  std::array<SolveMethodRec, 4> memory_{};
  SolveMethodRec savedMethod_{};
  AccuracyOptions savedAccuracy_{};
  ControlState controls_;
  Focus focus_ = Focus::None;
};

} // namespace pelorin
