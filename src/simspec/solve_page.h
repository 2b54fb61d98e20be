#pragma once

#include "simspec/simulation_context.h"

#include <memory>
#include <string>
#include <vector>

namespace pelorin {

class TSolveMethodDlg;

/// The Solve page: the solution method's description and its dialog, the verbal description, the checks that
/// come before a solve, and the error log the job runner fills.
class SolvePage {
public:
  explicit SolvePage(SimulationContext& context);

  /// The verbal description box ("?" until the user writes one).
  std::string VerbalDescription = "?";
  /// The one-line description of the solution method.
  std::string MethodLabel;
  /// The error log with its "Error Log" label and "Hide Error Log" button, and the log's line worth reading,
  /// selected (positions in characters, each line counting its length + 2).
  bool ErrorLogVisible = false;
  std::vector<std::string> ErrorLog;
  int ErrorLogSelStart = 0;
  int ErrorLogSelLength = 0;
  /// "Look at CMF File" (shown after a solve).
  bool LookAtCmfVisible = false;

  /// Shows the current method in MethodLabel.
  void RefreshMethodLabel();
  /// "Change": the logic of the "Choose Solution Method" dialog over the application's method and options.
  std::unique_ptr<TSolveMethodDlg> ChangeMethodButtonClick();
  /// After the method dialog closed: a changed method refreshes the label and outdates the results.
  void MethodDialogClosed(bool changed);
  /// "Hide Error Log".
  void HideErrorLogButtonClick() { ErrorLogVisible = false; }
  /// "Solve": checks, in order, that a simulation can run (each failure explains itself and shows the page to
  /// fix), then starts the solve job.
  void SolveButtonClick();

private:
  SimulationContext& context_;
};

} // namespace pelorin
