#include "results/results_page.h"

#include "platform/strings.h"
#include "platform/user_interface.h"
#include "results/results_model.h"
#include "results/table_csv.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pelorin {

namespace {

constexpr const char* kEverything = "Everything";
constexpr const char* kContentsStatus = "  Double click on an  item to view it (or arrow keys + spacebar)";
constexpr const char* kWorkingStatus = "  WORKING - PLEASE WAIT A MOMENT.... ";

void AppendLine(std::string& text, const std::vector<std::string>& cells) {
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) {
      text += '\t';
    }
    text += cells[i];
  }
  text += "\r\n";
}

} // namespace

GridGeometry TableGeometry(const SimTab& table, int fontHeight, int rowFactor, int colFactor) {
  GridGeometry geometry;
  geometry.colCount = table.ncol + 1;
  geometry.rowCount = table.nrow == 0 ? 2 : table.nrow + 1;
  geometry.rowHeight = static_cast<int>(std::lround(fontHeight * 0.1 * rowFactor));
  geometry.colWidths.resize(static_cast<std::size_t>(geometry.colCount), 0);
  for (int j = 0; j <= table.ncol && j < static_cast<int>(table.ColWidth.size()); ++j) {
    geometry.colWidths[static_cast<std::size_t>(j)] = (table.ColWidth[j] + 1) * fontHeight * colFactor / 9;
  }
  return geometry;
}

std::vector<ToolBarSlot> ToolBarLayout(int height) {
  const int widths[6] = {5 * height, static_cast<int>(std::lround(1.5 * height)),
                         2 * height, 3 * height,
                         4 * height, 5 * height};
  std::vector<ToolBarSlot> slots;
  int left = 1;
  for (int width : widths) {
    slots.push_back({left, width});
    left += width + 2;
  }
  return slots;
}

bool ChartTableText(const SimTab& table, int row, int col, std::string& text, ErrorText& errorText) {
  text.clear();
  if (!table.HasContents() || row < 0 || col < 0 || row > table.nrow || col > table.ncol) {
    return Fail(errorText, "nothing to copy", "[ChartTableText]");
  }
  if (row == 0 && col == 0) {
    if (!CopySimTabToString(table, kSimTabWithHeadings, text, errorText)) {
      return AddTag(errorText, "[ChartTableText]");
    }
    if (!text.empty() && text.back() == '\0') {
      text.pop_back();
    }
    return true;
  }
  std::vector<std::string> first;
  std::vector<std::string> second;
  if (row == 0) {
    for (int r = 0; r <= table.nrow; ++r) {
      first.push_back(table.Cell(r, 0));
      second.push_back(table.Cell(r, col));
    }
  } else if (col == 0) {
    for (int c = 0; c <= table.ncol; ++c) {
      first.push_back(table.Cell(0, c));
      second.push_back(table.Cell(row, c));
    }
  } else {
    return true;
  }
  AppendLine(text, first);
  AppendLine(text, second);
  return true;
}

ResultsPage::ResultsPage(ResultsModel& model, UserInterface& ui) : model_(model), ui_(ui) {}

void ResultsPage::ShowError(const std::string& message) {
  ui_.Message(MessageKind::Error, "Program Error, message is:\r\n" + message);
}

void ResultsPage::SetStatusText(const std::string& text) {
  state_.lastStatusSet = text;
  state_.statusText = text;
}

void ResultsPage::UpdateGeometry() {
  state_.contentsGrid = TableGeometry(contentsTable_, state_.fontHeight, state_.rowFactor, state_.colFactor);
  state_.dataGrid = TableGeometry(dataTable_, state_.fontHeight, state_.rowFactor, state_.colFactor);
}

void ResultsPage::BuildPage() {
  ErrorText errorText;
  if (!model_.InitPlan(errorText)) {
    ui_.Message(MessageKind::Error, "Error: " + errorText);
  }
}

bool ResultsPage::PVLoadSol(const std::string& solFile, const std::string& displayName,
                            const std::string& sliFile, bool showSubtotals, bool showLevels,
                            ErrorText& errorText) {
  const bool loaded = model_.PVLoadSol(solFile, displayName, sliFile, showSubtotals, showLevels, errorText);
  // Whatever was shown belonged to the solutions just closed.
  model_.ElmFiltered = false;
  opened_ = ContentsItem{};
  if (!loaded) {
    state_.view = ResultsView::None;
    FreeSimTab(contentsTable_, errorText);
    FreeSimTab(dataTable_, errorText);
    ++state_.contentsVersion;
    ++state_.dataVersion;
    contents_.clear();
    return false;
  }
  RebuildContents();
  ShowContentsScreen();
  FillElementFilter();
  if (model_.Nsol() > 1) {
    FillSolutionChooser();
    state_.solutionChooserVisible = true;
  } else {
    state_.solutionItems.clear();
    state_.solutionIndex = -1;
    state_.solutionChooserVisible = false;
  }
  return true;
}

void ResultsPage::ShowContentsScreen() {
  state_.frontGrid = ResultsView::Contents;
  state_.contentsGridEnabled = true;
  state_.decimalsVisible = false;
  state_.contentsButtonVisible = false;
  state_.formatButtonVisible = true;
  state_.view = ResultsView::Contents;
  if (state_.pageActive) {
    state_.focusedGrid = ResultsView::Contents;
  }
  SetStatusText(kContentsStatus);
}

void ResultsPage::RebuildContents() {
  ErrorText errorText;
  const bool built = model_.ElmFiltered
                         ? MakeFilteredContentsList(model_, contents_, contentsTable_, errorText)
                         : MakeContentsList(model_, contents_, contentsTable_, errorText);
  ++state_.contentsVersion;
  if (!built) {
    ShowError(errorText);
  }
  UpdateGeometry();
}

void ResultsPage::OpenContentsLine(int row) {
  if (row < 1 || row > static_cast<int>(contents_.size())) {
    return;
  }
  opened_ = contents_[static_cast<std::size_t>(row - 1)];
  if (opened_.ContentsItemType == kNoData) {
    return;
  }
  if (opened_.ContentsItemType == kThreeDim) {
    ui_.Message(MessageKind::Error,
                "Sorry, you cannot view a 3-D matrix unless filtering on a particular element name");
    return;
  }
  state_.activeDataRow = 1;
  state_.activeDataCol = 1;
  BuildAndShowDataTable();
}

void ResultsPage::BuildAndShowDataTable() {
  state_.statusText = kWorkingStatus;
  state_.busy = true;
  ui_.Busy(true);
  ui_.ProcessEvents();
  state_.pageEnabled = false;

  ErrorText errorText;
  const bool built = BuildDataTable(model_, opened_, state_.decimals, dataTable_, dataTitle_, errorText);
  ++state_.dataVersion;
  if (built) {
    UpdateGeometry();
    state_.dataGridEnabled = true;
    state_.frontGrid = ResultsView::Data;
    SetStatusText(" " + dataTitle_);
    state_.decimalsVisible = true;
    state_.descriptionButtonVisible = true;
    state_.contentsButtonVisible = true;
    state_.formatButtonVisible = false;
    state_.contentsGridEnabled = false;
    state_.lastClickRow = -3;
    state_.lastClickCol = -3;
    state_.view = ResultsView::Data;
    state_.focusedGrid = ResultsView::Data;
  } else {
    errorText += " [BuildAndShowDataTable]";
    ShowError(errorText);
  }

  state_.pageEnabled = true;
  state_.busy = false;
  ui_.Busy(false);
  state_.statusText = state_.lastStatusSet;
}

void ResultsPage::RebuildCurrentView() {
  switch (state_.view) {
  case ResultsView::Data:
    BuildAndShowDataTable();
    RebuildContents();
    break;
  case ResultsView::Contents:
    RebuildContents();
    ShowContentsScreen();
    break;
  case ResultsView::None:
    break;
  }
}

void ResultsPage::ElementFilterChange(int index) {
  if (index < 0 || index >= static_cast<int>(state_.filterItems.size())) {
    return;
  }
  state_.filterIndex = index;
  const bool wasOn = model_.ElmFiltered;
  const std::string& item = state_.filterItems[static_cast<std::size_t>(index)];
  model_.ElmFiltered = item != kEverything;
  if (model_.ElmFiltered) {
    model_.FilterElement = item;
    model_.SetFilterPositions(item);
    if (wasOn) {
      RebuildCurrentView();
    } else {
      RebuildContents();
      ShowContentsScreen();
    }
  } else if (wasOn) {
    RebuildContents();
    ShowContentsScreen();
  }
}

void ResultsPage::FillElementFilter() {
  state_.filterItems.assign(1, kEverything);
  if (model_.CurSol() >= 1) {
    const std::vector<std::string>& names = model_.Sol(model_.CurSol()).ElmNames;
    state_.filterItems.insert(state_.filterItems.end(), names.begin(), names.end());
  }
  state_.filterIndex = 0;
  if (!model_.ElmFiltered) {
    return;
  }
  for (std::size_t i = 1; i < state_.filterItems.size(); ++i) {
    if (SameText(state_.filterItems[i], model_.FilterElement)) {
      state_.filterIndex = static_cast<int>(i);
      model_.SetFilterPositions(model_.FilterElement);
      return;
    }
  }
  model_.ElmFiltered = false;
}

void ResultsPage::FillSolutionChooser() {
  state_.solutionItems.clear();
  for (int s = 1; s <= model_.Nsol(); ++s) {
    state_.solutionItems.push_back(std::to_string(s) + " " + model_.Sol(s).SolLabel);
  }
  state_.solutionIndex = model_.CurSol() - 1;
}

void ResultsPage::SolutionChooserChange(int index) {
  const int s = index + 1;
  if (s < 1 || s > model_.Nsol() || s == model_.CurSol()) {
    return;
  }
  model_.SetCurSol(s);
  const bool wasFiltered = model_.ElmFiltered;
  FillElementFilter();
  if (wasFiltered && !model_.ElmFiltered && state_.view == ResultsView::Data) {
    // The filtered line opened no longer exists in this solution; its contents do.
    RebuildContents();
    ShowContentsScreen();
  } else {
    RebuildCurrentView();
  }
  state_.solutionIndex = index;
}

void ResultsPage::FormatButtonClick() {
  model_.ContentsFormat = model_.ContentsFormat == 2 ? 0 : 2;
  RebuildContents();
  ShowContentsScreen();
}

void ResultsPage::DecimalsChange(int decimals) {
  state_.decimals = std::clamp(decimals, 0, 6);
  // The chooser shows only with a data view; without one there is nothing to build.
  if (state_.view == ResultsView::Data) {
    BuildAndShowDataTable();
  }
}

void ResultsPage::ContentsButtonClick() {
  ShowContentsScreen();
}

void ResultsPage::DescriptionButtonClick() {
  if (model_.Nsol() == 0 || model_.CurSol() < 1) {
    ui_.Message(MessageKind::Information, "No solutions are open.");
    return;
  }
  const std::vector<std::string>& lines = model_.Sol(model_.CurSol()).SolDesc.lines;
  if (lines.empty()) {
    ui_.Message(MessageKind::Information,
                "No verbal description of simulation " + std::to_string(model_.CurSol()) + " is available.");
    return;
  }
  std::string text = "Verbal description of simulation was:";
  for (const std::string& line : lines) {
    text += "\r\n" + line;
  }
  ui_.Message(MessageKind::Information, text);
}

void ResultsPage::SizeButtonClick(SizeKind kind, int step) {
  if (state_.view == ResultsView::None) {
    return;
  }
  switch (kind) {
  case SizeKind::ColumnWidth:
    state_.colFactor = std::clamp(state_.colFactor + step, kMinColFactor, kMaxColFactor);
    break;
  case SizeKind::RowHeight:
    state_.rowFactor = std::clamp(state_.rowFactor + step, kMinRowFactor, kMaxRowFactor);
    break;
  case SizeKind::FontHeight:
    state_.fontHeight = std::clamp(state_.fontHeight + step, kMinFontHeight, kMaxFontHeight);
    break;
  }
  state_.sizeButtonsEnabled = false;
  state_.repaintSuspended = true;
  RebuildCurrentView();
  UpdateGeometry();
  SetStatusText(" " + std::to_string(state_.fontHeight) + " " + std::to_string(state_.rowFactor) + " " +
                std::to_string(state_.colFactor));
  state_.repaintSuspended = false;
  state_.sizeButtonsEnabled = true;
}

void ResultsPage::DataGridMouseDown(int row, int col, MouseButton button) {
  if (!dataTable_.HasContents() || row < 0 || col < 0 || row > dataTable_.nrow || col > dataTable_.ncol) {
    return;
  }
  state_.statusText = state_.lastStatusSet;
  if (row >= 1) {
    state_.activeDataRow = row;
  }
  if (row == state_.lastClickRow && col == state_.lastClickCol) {
    ShowContentsScreen();
    return;
  }
  state_.lastClickRow = row;
  state_.lastClickCol = col;
  if (button == MouseButton::Right) {
    ErrorText errorText;
    if (!SendChartInfo(row, col, errorText)) {
      ui_.Message(MessageKind::Error, "Error: " + errorText);
    }
    return;
  }
  if (row == 0 && col == 0) {
    return;
  }
  std::string name;
  const int type = opened_.ContentsItemType;
  if (type == kMacroGroup || type == kVectorFilterGroup) {
    name = dataTable_.Cell(row, 0);
  } else if (type == kVectorSizeGroup || type == kMatrixFilterSizeGroup) {
    name = dataTable_.Cell(0, col);
  } else {
    return;
  }
  const std::size_t bracket = name.find('[');
  if (bracket != std::string::npos && bracket > 0) {
    name.resize(bracket);
  }
  const int pv = model_.FindPV(name);
  if (const ResultHeader* h = pv ? model_.Header(pv, model_.CurSol()) : nullptr) {
    state_.statusText = " " + name + ":  " + h->CleanLongName();
  }
}

void ResultsPage::PageActivated() {
  state_.pageActive = true;
  ui_.ProcessEvents();
  if (state_.view == ResultsView::Contents && state_.contentsGridEnabled) {
    state_.focusedGrid = ResultsView::Contents;
  } else if (state_.view == ResultsView::Data && state_.dataGridEnabled) {
    state_.focusedGrid = ResultsView::Data;
  }
}

bool ResultsPage::Copy(ErrorText& errorText) {
  if (state_.view == ResultsView::None) {
    return Fail(errorText, "Nothing to copy");
  }
  const SimTab& table = state_.view == ResultsView::Data ? dataTable_ : contentsTable_;
  return CopySimTabToClipboard(table, kSimTabWholeTable, ui_, errorText);
}

bool ResultsPage::SendChartInfo(int row, int col, ErrorText& errorText) {
  if (row != 0 && col != 0) {
    return true;
  }
  if (!charting_.ensureRunning || !charting_.ensureRunning()) {
    return Fail(errorText, "Could not locate or launch the Vexmoor", "[CheckVexmoorRunning][SendChartInfo]");
  }
  std::string text;
  if (!ChartTableText(dataTable_, row, col, text, errorText)) {
    return AddTag(errorText, "[SendChartInfo]");
  }
  if (!ui_.SetClipboardText(text)) {
    return Fail(errorText, "Clipboard not available", "[SendChartInfo]");
  }
  if (charting_.notify) {
    charting_.notify();
  }
  return true;
}

bool ResultsPage::ExportTableAsCsv(const std::string& file, ErrorText& errorText) {
  constexpr const char* kTag = "[ExportTableAsCsv]";
  std::string csv;
  switch (state_.view) {
  case ResultsView::None:
    return Fail(errorText, "Nothing to export", kTag);
  case ResultsView::Contents:
    csv = SimTabCsv(contentsTable_);
    break;
  case ResultsView::Data: {
    // The numbers again, not the texts on screen: those are rounded to the decimals chosen.
    DataView view;
    if (!BuildDataView(model_, opened_, view, errorText)) {
      return AddTag(errorText, kTag);
    }
    csv = DataViewCsv(view);
    break;
  }
  }
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) {
    return Fail(errorText, "Cannot create file " + file, kTag);
  }
  const bool written = std::fwrite(csv.data(), 1, csv.size(), out) == csv.size();
  const bool closed = std::fclose(out) == 0;
  if (!written || !closed) {
    std::remove(file.c_str());
    return Fail(errorText, "write error " + file, kTag);
  }
  return true;
}

std::string ResultsPage::CsvFileName() const {
  std::string name = state_.view == ResultsView::Data && dataTable_.HasContents() ? dataTable_.Cell(0, 0)
                                                                                  : std::string("contents");
  for (char& c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || c == '/' || c == '\\' || c == '*' || c == '[' || c == ']' || c == '"' || c == ':' ||
        c == '?' || c == '<' || c == '>' || c == '|' || c == ' ') {
      c = '_';
    }
  }
  if (name.empty() || name.front() == '.') {
    name.insert(0, "table");
  }
  return name + ".csv";
}

} // namespace pelorin
