#pragma once

// The Results page without its windows: which screen is shown, the tool bar's lists and flags, the grid
// geometry, the status line, and what every control does. The window layer mirrors State() and the two
// tables, and forwards the controls' events to the methods of the same names.
//
// The end of a successful solve:
//   ResultsModel model(ui);  ResultsPage page(model, ui);  page.BuildPage();      // once, at start-up
//   page.PVLoadSol(ChangeFileExt(solution, ".sol"), " ", ChangeFileExt(solution, ".sli"),
//                  settings.getSubtotals, !settings.ignoreLevels, err);           // shows the contents
//   OpenAccSummaryDialog(solveLog, numUpdated, ui, show);                         // acc_summary_dialog.h
// and the Copy menu on this page calls page.Copy(err).

#include "platform/error_text.h"
#include "results/contents_view.h"
#include "results/sim_tab.h"

#include <functional>
#include <string>
#include <vector>

namespace pelorin {

class ResultsModel;
class UserInterface;

/// The screen the page shows.
enum class ResultsView { None = 0, Contents = 1, Data = 2 };

/// The three size buttons.
enum class SizeKind { ColumnWidth, RowHeight, FontHeight };

/// The mouse button of a click on the data grid.
enum class MouseButton { Left, Right, Middle };

/// Limits and starting values of the page's sizes.
inline constexpr int kMinFontHeight = 7;
inline constexpr int kMaxFontHeight = 50;
inline constexpr int kMinColFactor = 3;
inline constexpr int kMaxColFactor = 16;
inline constexpr int kMinRowFactor = 10;
inline constexpr int kMaxRowFactor = 35;

/// The colour of an exogenous element's number (red, green, blue).
inline constexpr int kMarkedCellColour[3] = {208, 0, 0};

/// The geometry of a grid showing a table.
struct GridGeometry {
  int colCount = 1;
  int rowCount = 2;
  int rowHeight = 22;         ///< pixels
  std::vector<int> colWidths; ///< pixels, per column 0..ncol
};

/// The geometry of a grid showing `table` with the given font height and factors.
GridGeometry TableGeometry(const SimTab& table, int fontHeight, int rowFactor, int colFactor);

/// One tool-bar control's place: left edge and width in pixels.
struct ToolBarSlot {
  int left = 0;
  int width = 0;
};
/// The tool bar's controls left to right (element filter, "V", decimals, "Contents", "Description", solution
/// chooser) for controls `height` pixels high: 5, 1.5 (rounded), 2, 3, 4 and 5 heights wide, the first at 1,
/// each 2 pixels after the one before. The tool bar is height + 2 high, the controls 1 pixel from its top.
std::vector<ToolBarSlot> ToolBarLayout(int height);

/// Everything on the page that the logic sets.
struct ResultsPageState {
  ResultsView view = ResultsView::None;
  int decimals = 2;
  int fontHeight = 18;
  int colFactor = 5;
  int rowFactor = 12;
  std::string statusText;    ///< shown now
  std::string lastStatusSet; ///< the status text set last (shown again after a variable's description)
  int lastClickRow = -3;     ///< the last data cell clicked
  int lastClickCol = -3;
  int activeDataRow = 1; ///< the data grid's active cell
  int activeDataCol = 1;

  std::vector<std::string> filterItems; ///< "Everything", then the current solution's element names
  int filterIndex = -1;
  std::vector<std::string> solutionItems; ///< "1 (Sim)", "2 Pre ...", ...
  int solutionIndex = -1;
  bool solutionChooserVisible = false;
  bool formatButtonVisible = true; ///< "V"
  bool decimalsVisible = false;
  bool contentsButtonVisible = false;
  bool descriptionButtonVisible = true;

  ResultsView frontGrid = ResultsView::None; ///< the grid brought to the front
  bool contentsGridEnabled = false;
  bool dataGridEnabled = false;
  GridGeometry contentsGrid;
  GridGeometry dataGrid;
  bool pageEnabled = true;
  bool busy = false;
  bool sizeButtonsEnabled = true;
  bool repaintSuspended = false;
  bool pageActive = false;                     ///< the Results page is the one shown
  ResultsView focusedGrid = ResultsView::None; ///< the grid holding the keyboard focus
  /// Raised each time the contents table or the data table is rebuilt, so a window knows to ask again.
  int contentsVersion = 0;
  int dataVersion = 0;
};

/// What the page needs of the charting program: make sure it runs (start it when it does not; false when it
/// can be neither found nor started), and tell it that the clipboard holds a table.
struct ChartingLink {
  std::function<bool()> ensureRunning;
  std::function<void()> notify;
};

/// The clipboard text the charting program receives for a click on heading cell (row, col) of a data table:
/// the whole table (corner), the row labels and one column (column heading), or the column headings and one
/// row (row label). Cells are separated by HT, lines end with CR LF. Empty for a cell that is no heading.
bool ChartTableText(const SimTab& table, int row, int col, std::string& text, ErrorText& errorText);

/// The Results page's logic.
class ResultsPage {
public:
  ResultsPage(ResultsModel& model, UserInterface& ui);

  /// Builds the page once at start-up: empties the plan; a failure shows "Error: " + message.
  void BuildPage();
  /// Loads the solutions of a finished simulation (ResultsModel::PVLoadSol) and shows the contents, the
  /// element filter and, with more than one solution, the solution chooser. Failures end with " [PVLoadSol]".
  bool PVLoadSol(const std::string& solFile, const std::string& displayName, const std::string& sliFile,
                 bool showSubtotals, bool showLevels, ErrorText& errorText);

  /// Shows the contents screen.
  void ShowContentsScreen();
  /// Rebuilds the contents list and table (an error box on failure) and puts it into the contents grid.
  void RebuildContents();
  /// Opens line `row` (1-based) of the contents: a data view, the 3-D refusal, or nothing for "no data".
  void OpenContentsLine(int row);
  /// Builds the data view of the opened line and shows it; an error box on failure.
  void BuildAndShowDataTable();
  /// Rebuilds whatever screen is shown (after a change of solution, filter or size).
  void RebuildCurrentView();

  /// The element filter's choice (index into State().filterItems).
  void ElementFilterChange(int index);
  /// Refills the element filter from the current solution.
  void FillElementFilter();
  /// The solution chooser's choice (index into State().solutionItems).
  void SolutionChooserChange(int index);
  /// "V": toggles the contents format.
  void FormatButtonClick();
  /// The decimals chooser: 0..6.
  void DecimalsChange(int decimals);
  /// "Contents".
  void ContentsButtonClick();
  /// "Description": the current solution's description lines in an information box.
  void DescriptionButtonClick();
  /// A size button, step +1 or -1.
  void SizeButtonClick(SizeKind kind, int step);
  /// A mouse click on data cell (row, col) of the data grid.
  void DataGridMouseDown(int row, int col, MouseButton button);
  /// The page became the one shown.
  void PageActivated();
  /// The page is no longer the one shown.
  void PageDeactivated() { state_.pageActive = false; }

  /// The main window's Copy on this page: the shown table with its headings. Fails with "Nothing to copy".
  bool Copy(ErrorText& errorText);
  /// Writes the table shown as a CSV file: a data view with its values at full precision, the contents as
  /// shown. Fails with "Nothing to export" when no table is shown, or when the file cannot be written; suffix
  /// "[ExportTableAsCsv]".
  bool ExportTableAsCsv(const std::string& file, ErrorText& errorText);
  /// The name the save dialog proposes for the table shown: the data view's corner label (the variable's
  /// name) or "contents", made safe as a file name, with ".csv".
  std::string CsvFileName() const;
  /// The charting hand-off for heading cell (row, col) of the data table. Suffix "[SendChartInfo]".
  bool SendChartInfo(int row, int col, ErrorText& errorText);
  /// Sets how the charting program is found, started and told.
  void SetChartingLink(ChartingLink link) { charting_ = std::move(link); }

  const ResultsPageState& State() const { return state_; }
  const SimTab& ContentsTable() const { return contentsTable_; }
  const SimTab& DataTable() const { return dataTable_; }
  const ContentsList& Contents() const { return contents_; }
  const ContentsItem& OpenedItem() const { return opened_; }
  /// The title of the data view last built.
  const std::string& DataTitle() const { return dataTitle_; }

private:
  void SetStatusText(const std::string& text);
  void FillSolutionChooser();
  void UpdateGeometry();
  void ShowError(const std::string& message);

  ResultsModel& model_;
  UserInterface& ui_;
  ResultsPageState state_;
  SimTab contentsTable_;
  SimTab dataTable_;
  ContentsList contents_;
  ContentsItem opened_;
  std::string dataTitle_;
  ChartingLink charting_;
};

} // namespace pelorin
