#pragma once

// The sets and variables inspector without its window: the sorted set and variable lists, the chosen set's
// members, subsets and supersets, the list widths and the Copy texts. It works on its own copy of the model
// information.

#include "modelinfo/sol_info.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

class UserInterface;

/// The menu's caption text and help context for the inspector.
inline constexpr const char* kInspectorCaption = " Information about Sets, Subsets and Variables";
inline constexpr int kInspectorHelp = 5432;

/// The inspector's pages.
enum class InspectorPage { Sets = 0, Variables = 1, Coefficients = 2 };

/// One list item: its text and the number of the set or variable it stands for.
struct InspectorItem {
  std::string text;
  int number = 0;
};

/// Measures a text's width in pixels in the list's font (the window layer's); by default one per character.
using TextMeasure = std::function<int(std::string_view text)>;

/// The inspector's logic.
class Inspector {
public:
  /// Fills both lists and chooses the first set. `fontHeight` is the dialog's font height (its absolute
  /// value is used).
  Inspector(const SolInfoRec& info, std::string_view caption, int helpContext, int fontHeight,
            TextMeasure measure = {});

  /// " " + the caption text.
  const std::string& Caption() const { return caption_; }
  bool HelpVisible() const { return helpContext_ != 0; }
  int HelpContext() const { return helpContext_; }
  /// Font height of the page selector and item height of every list: 4h/3.
  int ItemHeight() const { return itemHeight_; }

  const std::vector<InspectorItem>& SetItems() const { return sets_; }
  const std::vector<InspectorItem>& VariableItems() const { return variables_; }
  /// Always empty: coefficients are never read.
  const std::vector<InspectorItem>& CoefficientItems() const { return coefficients_; }

  /// Chooses item `index` (0-based) of the set list.
  void ChooseSet(int index);
  int ChosenSet() const { return chosen_; }
  const std::vector<std::string>& Members() const { return members_; }
  const std::vector<std::string>& Subsets() const { return subsets_; }
  const std::vector<std::string>& Supersets() const { return supersets_; }

  /// Widths of the widest variable name, argument text and description; the variable list's scroll range
  /// is their sum.
  int NameWidth() const { return w1_; }
  int ArgsWidth() const { return w2_; }
  int DescriptionWidth() const { return w3_; }
  int VariableScrollRange() const { return w1_ + w2_ + w3_; }

  /// The text "&Copy" puts on the clipboard for a page (empty for "Coefficients").
  std::string CopyText(InspectorPage page) const;
  /// "&Copy": puts the page's text on the clipboard; "Coefficients" copies nothing.
  void Copy(InspectorPage page, UserInterface& ui) const;

private:
  SolInfoRec info_;
  std::string caption_;
  int helpContext_ = 0;
  int itemHeight_ = 0;
  std::vector<InspectorItem> sets_;
  std::vector<InspectorItem> variables_;
  std::vector<InspectorItem> coefficients_;
  int chosen_ = 0;
  std::vector<std::string> members_;
  std::vector<std::string> subsets_;
  std::vector<std::string> supersets_;
  int w1_ = 0;
  int w2_ = 0;
  int w3_ = 0;
};

} // namespace pelorin
