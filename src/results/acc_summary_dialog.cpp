#include "results/acc_summary_dialog.h"

#include "platform/user_interface.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace pelorin {

AccSummaryDialog::AccSummaryDialog(const AccSummaryRec& record, UserInterface& ui)
    : record_(record), ui_(ui) {
  state_.current = record_.overallFound ? record_.overallLevelsPos : record_.worstLevels;
  state_.side = AccSide::Variables;
  state_.listIndex = state_.current - 1;
  Refresh();
}

bool AccSummaryDialog::IsOverall(int i) const {
  return record_.overallFound && i == record_.overallLevelsPos;
}

AccListItem AccSummaryDialog::ItemText(int i) const {
  AccListItem item;
  const int n = Count();
  if (i < 1 || i > n) {
    return item;
  }
  if (IsOverall(i)) {
    item.name = "Overall";
  } else if (n == 1) {
    item.name = " ";
  } else {
    item.name = "Subinterval " + std::to_string(i);
  }
  const AccSubinterval& sub = record_.sub[static_cast<std::size_t>(i)];
  item.variablesFace = sub.levels.grade;
  item.variablesText = std::to_string(sub.levels.grade) + (n > 1 && i == record_.worstLevels ? " worst" : "");
  if (IsOverall(i) && !OverallHasData()) {
    item.dataFace = -1;
    item.dataText = "-";
  } else {
    item.dataFace = sub.data.grade;
    item.dataText = std::to_string(sub.data.grade) + (n > 1 && i == record_.worstData ? " worst" : "");
  }
  return item;
}

void AccSummaryDialog::SideChange(AccSide side) {
  if (side == AccSide::Data && state_.side == AccSide::Variables && IsOverall(state_.current) &&
      !OverallHasData()) {
    if (record_.worstData < 1) {
      // Only the overall summary was read, and it has no data part: there is nothing to show for the data.
      Refresh();
      return;
    }
    state_.current = record_.worstData;
    ui_.Message(
        MessageKind::Information,
        "The Overall Accuracy Summary does not contain a summary for the data.\r\nWill show the worst "
        "subinterval for data accuracy\r\n which is subinterval number " +
            std::to_string(record_.worstData) + ".");
    state_.listIndex = state_.current - 1;
  }
  state_.side = side;
  Refresh();
}

void AccSummaryDialog::ListClick(int index) {
  if (index < 0 || index >= Count()) {
    return;
  }
  state_.current = index + 1;
  state_.listIndex = index;
  if (state_.side == AccSide::Data && IsOverall(state_.current) && !OverallHasData()) {
    state_.side = AccSide::Variables;
  }
  Refresh();
}

void AccSummaryDialog::HoldLegend(bool held) {
  state_.dialogHeight = kAccDialogHeight + (held ? kAccLegendHeight : 0);
  state_.stripHeight = kAccStripHeight + (held ? kAccLegendHeight : 0);
}

void AccSummaryDialog::Refresh() {
  const int current = state_.current;
  const bool valid = current >= 1 && current <= kMaxAccSubintervals;
  const AccHistogram empty;
  const AccSubinterval* sub = valid ? &record_.sub[static_cast<std::size_t>(current)] : nullptr;
  const AccHistogram& histogram = !sub ? empty : state_.side == AccSide::Data ? sub->data : sub->levels;
  const int most = std::max(1, *std::max_element(histogram.counts.begin(), histogram.counts.end()));
  for (int k = 0; k < 7; ++k) {
    state_.counts[static_cast<std::size_t>(k)] = histogram.counts[static_cast<std::size_t>(k)];
    state_.bars[static_cast<std::size_t>(k)] = static_cast<int>(std::lround(
        static_cast<double>(histogram.counts[static_cast<std::size_t>(k)]) / most * kAccBarLength));
  }
  if (IsOverall(current)) {
    state_.caption = OverallHasData() ? "Overall Accuracy Summary"
                                      : "Overall Accuracy Summary (no corresponding summary for data)";
    return;
  }
  state_.caption = Count() < 2 ? "Accuracy Summary for whole simulation"
                               : "Accuracy Summary for Subinterval Number " + std::to_string(current);
  state_.caption += state_.side == AccSide::Data ? ": data" : ": variables";
}

bool MakeAccuracySummary(const std::string& logFile, int numUpdated, AccSummaryRec& record,
                         ErrorText& errorText) {
  std::error_code error;
  if (logFile.empty() || !std::filesystem::is_regular_file(logFile, error)) {
    return Fail(errorText, "No log file");
  }
  record = AccSummaryRec{};
  return GetAccSummary(logFile, numUpdated, record, errorText);
}

bool OpenAccSummaryDialog(const std::string& logFile, int numUpdated, UserInterface& ui,
                          const ShowAccSummary& show) {
  auto record = std::make_unique<AccSummaryRec>();
  ErrorText errorText;
  if (!MakeAccuracySummary(logFile, numUpdated, *record, errorText)) {
    ui.Message(MessageKind::Error, "Could not make accuracy summary:\r\n" + errorText);
    return false;
  }
  AccSummaryDialog dialog(*record, ui);
  if (show) {
    show(dialog);
  }
  return true;
}

} // namespace pelorin
