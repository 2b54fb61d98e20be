#pragma once

#include "platform/user_interface.h"
#include "simspec/shocks_page.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

struct SolInfoRec;

/// The logic of the "Specify Subtotal" dialog: it offers the variables the shock list shocks, builds variable
/// entries (whole variables or some of their components) and, on OK, asks for a description. The
/// window layer mirrors the public fields and closes the dialog when OkButtonClick returns true; the caller
/// then appends SubtotalLines to the shock list (ShocksPage::AppendSubtotal).
class TSubtForm {
public:
  TSubtForm(const SolInfoRec& info, const std::vector<std::string>& shockLines, UserInterface& ui);

  /// "Select variable": "None Selected" (number 0), then the shocked variables, sorted, spelled as the model
  /// spells them, with their numbers.
  std::vector<ChoiceEntry> VarChoices;
  int VarSelected = 0;
  /// "Select elements": one choice per argument (set, subset and element entries carry their numbers).
  std::array<DimensionChoice, 3> Dims;
  bool ElementsVisible = false;
  /// The variable's description, "Dimensions: " + argument sets, and the preview of the entry.
  std::string Description;
  std::string DimensionsText;
  std::string Preview;
  /// The subtotal's lines: "Subtotal", one per added entry, and after OK the description line.
  std::vector<std::string> SubtotalLines{"Subtotal"};
  /// How many entries were added.
  int AddedCount = 0;
  /// Subtotal statements already in the shock list.
  int ExistingSubtotals = 0;
  /// Asks for the subtotal's description ("Subtotal Description"), proposing `proposal`; nothing when none is
  /// given. Unset: the user interface's prompt asks.
  std::function<std::optional<std::string>(const std::string& proposal)> AskDescription;

  /// A variable was chosen (index into VarChoices).
  void VarComboChange(int index);
  /// A dimension choice (0..2) changed its selection.
  void DimComboChange(int dimension, int index);
  /// "Add variable to subtotal".
  void AddButtonClick();
  /// "Clear subtotal".
  void ClearButtonClick();
  /// OK: false (dialog stays open) when nothing was added or the description was not given; otherwise the
  /// description line is appended and the result is true.
  bool OkButtonClick();
  /// The description proposed for the added entries (at most 60 characters of names, then " changes"
  /// or " (etc) changes").
  std::string ProposedDescription() const;

private:
  void UpdatePreview();

  const SolInfoRec& info_;
  UserInterface& ui_;
};

} // namespace pelorin
