#pragma once

#include "simspec/simulation_context.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace pelorin {

class TSubtForm;

/// One entry of a choice list: its text and the number attached to it.
struct ChoiceEntry {
  std::string text;
  int number = 0;
  bool operator==(const ChoiceEntry&) const = default;
};

/// A dimension choice: one argument of the chosen variable.
struct DimensionChoice {
  std::vector<ChoiceEntry> entries;
  int selected = -1;
  bool visible = false;
};

/// How the entries of a dimension choice are numbered: on the Shocks page "All " + the argument's set is 0
/// and "All " + subset k is -k; in the subtotal dialog they carry the set's own number. Elements carry their
/// position.
enum class ChoiceNumbering { Shocks, Subtotal };

/// Fills the dimension choices of a variable's first three arguments: "All " + the argument's set, "All " +
/// each of its subsets, then the set's elements when they are known; each choice is shown with its first
/// entry selected. Arguments beyond the third get no choice: statements name their whole set (see
/// ArgumentPart). With `stopAtUnknown`, filling stops at the first argument whose elements are not known: the
/// result is then false and `unknownArgument` that argument's number (1-based).
bool FillDimensionChoices(const SolInfoRec& info, int variable, ChoiceNumbering numbering, bool stopAtUnknown,
                          std::array<DimensionChoice, 3>& choices, int& unknownArgument);

/// The argument part of a statement for variable `variable`, one entry per argument joined with "," inside
/// parentheses: the selected entry of a visible choice ("All " entries give their set name and make the
/// statement uniform, elements are written in double quotes), the set name for every other argument (beyond
/// the third, or without a choice shown); "" for a scalar.
std::string ArgumentPart(const SolInfoRec& info, int variable, const std::array<DimensionChoice, 3>& choices,
                         bool& uniform);

/// The Shocks page: the shock list, the statement builder (variable, components, value, type) with its
/// preview, and shock files. A variable with more than three arguments is offered like any other: its first
/// three arguments get a choice and the statement names the whole set of every further argument.
class ShocksPage {
public:
  explicit ShocksPage(SimulationContext& context);

  /// The shock edit box's lines.
  std::vector<std::string> Lines;
  /// The user typed into the shock list since it was last looked at.
  bool Modified = false;
  /// The text selected in the shock edit box (empty when nothing is): what "&Copy" takes when there is one.
  std::string Selection;
  /// "Variable to Shock": "None Selected" (number 0), then the exogenous variables with their numbers.
  std::vector<ChoiceEntry> VarChoices;
  int VarSelected = 0;
  /// "Elements to Shock": one choice per argument, and whether the group is shown.
  std::array<DimensionChoice, 3> Dims;
  bool ElementsVisible = false;
  /// "Value of Shock" (at most 14 characters) and whether the box and its caption are shown.
  std::string Value;
  bool ValueVisible = false;
  /// The value box should take the focus (after a refused value).
  bool ValueFocus = false;
  /// "Type of Shock": the single entry "%change variable"; the list and its label are hidden once the window
  /// is up (the page works with its single entry).
  std::vector<std::string> Types;
  int TypeSelected = -1;
  bool TypeVisible = true;
  /// The preview of the statement "Add to Shock List" appends, the variable's description and "Dimensions: ".
  std::string Preview;
  std::string Description;
  std::string DimensionsText;
  /// The system writes numbers with a decimal comma; the page then shows kDecimalCommaNote.
  bool DecimalComma = false;

  /// The note shown when the system's decimal separator is a comma.
  static constexpr std::string_view kDecimalCommaNote =
      "Use period not comma as decimal separator if you type into the box below.";

  /// Resets the statement builder: choices hidden, preview and texts cleared, value hidden, type list
  /// refilled.
  void ShockPageInit();
  /// Refills the variable choice from the exogenous list and selects "None Selected".
  void SetUpExoVarComboBox();
  /// A variable was chosen (index into VarChoices).
  void ExoVarComboBoxChange(int index);
  /// A dimension choice (0..2) changed its selection.
  void ExoDimCombo1Change(int dimension, int index);
  /// The value box's text changed.
  void ShockValueChange(const std::string& text);
  /// The type list's selection changed.
  void ShockTypeChange(int index);
  /// Filters a key typed into the value box: the character to insert, or 0 when it is dropped (with a beep).
  char ShockValueEditKeyPress(char key);
  /// Rebuilds the preview.
  void SetShockLineLabel();
  /// "Add to Shock List".
  void AddShockButtonClick();
  /// "Clear Shock List".
  void ClearShocksButtonClick();
  /// "Save File of Shocks".
  void SaveShockFileButtonClick();
  /// "Load File of Shocks".
  void LoadShockFileButtonClick();
  /// Loads a shock file into the shock list.
  void LoadShockFile(const std::string& fileName);
  /// The variable choice is opened.
  void ExoVarComboBoxDropDown();
  /// Dimension choice `dimension` (0..2) is opened: offers to check the closure when its set's elements are
  /// not known.
  void ExoDimCombo1DropDown(int dimension);
  /// "Define Subtotal": the subtotal dialog's logic over the shock list and the current model information.
  std::unique_ptr<TSubtForm> DefineSubtotalBtn1Click();
  /// After the subtotal dialog's OK: appends its lines to the shock list in pieces under 60 characters.
  void AppendSubtotal(const std::vector<std::string>& subtotalLines);
  /// The keyword check of a solve: false after a message when the shock list holds a Control-Z or a keyword
  /// that does not belong in it.
  bool CheckShockKeywords();
  /// True when the shock list is empty or holds only blanks.
  bool IsEmpty() const;

private:
  int ChosenVariable() const;

  SimulationContext& context_;
};

/// True when the text is a number as the value box accepts it: an optional sign, digits with at most one
/// point, an optional exponent; finite.
bool IsShockValue(std::string_view text);

} // namespace pelorin
