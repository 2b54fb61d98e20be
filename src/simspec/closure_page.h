#pragma once

#include "platform/error_text.h"
#include "simspec/simulation_context.h"

#include <map>
#include <string>
#include <vector>

namespace pelorin {

/// The Closure page: the closure text, the exogenous variables derived from it, closure files and the closure
/// check, and the switching of the current model information between the model's own information file and
/// closure or solution information files.
class ClosurePage {
public:
  explicit ClosurePage(SimulationContext& context) : context_(context) {}

  /// The closure edit box's lines.
  std::vector<std::string> Lines;
  /// The user changed the text since it was last processed.
  bool Modified = false;
  /// The exogenous variables: lower-case names in sorted order, each with its number in the current model
  /// information (0 when the model has no such variable).
  std::map<std::string, int> ExoList;
  /// The closure-check error log and its "Hide Error Log" button, and the log's line worth reading, selected
  /// (positions in characters, each line counting its length + 2).
  bool ErrorLogVisible = false;
  std::vector<std::string> ErrorLog;
  int ErrorLogSelStart = 0;
  int ErrorLogSelLength = 0;
  /// The set-sizes log and its "&Set Sizes etc" button; both stay hidden until something fills the log.
  bool SetSizesLogVisible = false;
  bool SetSizesButtonVisible = false;
  std::vector<std::string> SetSizesLog;
  /// The text selected in the closure edit box (empty when nothing is): what "&Copy" takes when there is one.
  std::string Selection;

  /// Rebuilds the exogenous list from the closure text and checks every name against the model; a name that
  /// is not a variable is reported and makes the result false.
  bool SetUpExoList();
  /// After the closure text changed: exogenous list, the Shocks page's variables, results outdated.
  void WhenClosureChanged();
  /// "Load Closure".
  void LoadClosureButtonClick();
  /// "Save Closure".
  void SaveClosureButtonClick();
  /// Loads a closure file and its closure information file (".CLI") when there is one.
  void ProcessClosureFile(const std::string& fileName);
  /// Makes `fileName` the current model information; an empty name only empties the exogenous list, and a
  /// file that does not exist (any more) is reported and the model's own information used.
  void ProcessClosureInfoFile(const std::string& fileName);
  /// Forgets the closure information and goes back to the model's information file.
  void ClearSVIInfo();
  /// Keeps a copy of a closure or solution information file as "current.svi" in the keep folder and makes it
  /// the SVI file. False (SVI file unchanged, the reason in `errorText`) when the copy fails.
  bool UpdateCurrentSVIFileName(const std::string& fileName, ErrorText& errorText);
  /// "Hide Error Log": hides the closure-check log and the set-sizes log.
  void HideErrorLogButtonClick();
  /// "&Set Sizes etc": shows the set-sizes log.
  void SetSizesButtonClick();
  /// "Check Closure": the preconditions, then the closure-check job.
  void CheckClosureButtonClick();
  /// The closure-check job ended: with "clcheck.cli" in the work folder the closure is fine and becomes the
  /// current model information (true); otherwise "Closure is not valid" is shown (false) and the caller
  /// offers the job's log.
  bool ClosureCheckEnded();
  /// The keyword check of a solve: false after a message when the text holds a Control-Z or a keyword that
  /// does not belong in a closure.
  bool CheckClosureKeywords();
  /// True when the closure text is empty or holds only blanks.
  bool IsEmpty() const;

private:
  void ReadModelInformation(const std::string& fileName);
  void ResetShocksPage();

  SimulationContext& context_;
};

} // namespace pelorin
