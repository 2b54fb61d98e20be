#pragma once

// The accuracy summary dialog without its window: which summary and side are shown, the list's items, the
// caption and the bars. The window layer draws State(), ItemText() and the bars and forwards its events.

#include "platform/error_text.h"
#include "summaries/acc_summary.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace pelorin {

class UserInterface;

/// The two sides of the selector strip.
enum class AccSide { Variables = 0, Data = 1 };

/// The dialog's help context.
inline constexpr int kAccSummaryHelp = 6806;
/// Longest bar, in pixels.
inline constexpr int kAccBarLength = 370;
/// Extra height while "Click and hold" is held.
inline constexpr int kAccLegendHeight = 55;
/// Client height of the dialog and of the selector strip.
inline constexpr int kAccDialogHeight = 241;
inline constexpr int kAccStripHeight = 70;

/// Colours of the bars for 0..6 figures (red, green, blue).
inline constexpr std::array<std::array<int, 3>, 7> kAccBinColours{
    {{128, 0, 0}, {255, 0, 0}, {255, 255, 0}, {0, 128, 0}, {0, 255, 255}, {0, 0, 255}, {0, 0, 128}}};

/// How one list item is drawn: the name, the variables' face and text, the data's face (-1: none) and text.
struct AccListItem {
  std::string name;
  int variablesFace = 0;
  std::string variablesText;
  int dataFace = -1;
  std::string dataText;
};

/// The dialog's state.
struct AccDialogState {
  int current = 0; ///< the summary shown (1-based)
  AccSide side = AccSide::Variables;
  int listIndex = -1; ///< the list's selection (0-based)
  std::string caption;
  std::array<int, 7> bars{};   ///< bar lengths in pixels, 0..6 figures
  std::array<int, 7> counts{}; ///< the numbers written beside them
  int dialogHeight = kAccDialogHeight;
  int stripHeight = kAccStripHeight;
};

/// The accuracy summary dialog's logic over one accuracy record.
class AccSummaryDialog {
public:
  AccSummaryDialog(const AccSummaryRec& record, UserInterface& ui);

  /// Number of summaries (list items).
  int Count() const { return record_.numSubintervals; }
  /// How list item i (1-based) is drawn.
  AccListItem ItemText(int i) const;
  /// The selector strip's choice.
  void SideChange(AccSide side);
  /// The list's choice (index 0-based).
  void ListClick(int index);
  /// "Click and hold" pressed (true) or released (false): the legend shows while it is held.
  void HoldLegend(bool held);

  const AccDialogState& State() const { return state_; }
  const AccSummaryRec& Record() const { return record_; }

private:
  bool IsOverall(int i) const;
  bool OverallHasData() const { return record_.overallDataPos > 0; }
  void Refresh();

  const AccSummaryRec& record_;
  UserInterface& ui_;
  AccDialogState state_;
};

/// Shows the dialog (modally, with help context 6806) over the main window.
using ShowAccSummary = std::function<void(AccSummaryDialog& dialog)>;

/// Builds the accuracy record of a solve's log (`numUpdated` updated data files). Fails with "No log file"
/// when the log is missing. Suffix "[MakeAccuracySummary]".
bool MakeAccuracySummary(const std::string& logFile, int numUpdated, AccSummaryRec& record,
                         ErrorText& errorText);
/// Opening the dialog: builds the record, shows it through `show`, and returns true when a summary is
/// available; on failure shows "Could not make accuracy summary:\r\n" + the reason and returns false.
bool OpenAccSummaryDialog(const std::string& logFile, int numUpdated, UserInterface& ui,
                          const ShowAccSummary& show);

} // namespace pelorin
