// Speed and memory of the Results page's window over a data view of 2,000 x 500 cells: opening it (the core's
// build, the grid's model reset and the first paint), scrolling it a screen at a time, and what the window
// takes on top of the core's table. Runs offscreen.
#include "results/decimal_separator.h"
#include "results/results_model.h"
#include "results/results_page.h"
#include "results/solution_files.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "ui/results_grid.h"
#include "ui/results_page_widget.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace pelorin {
namespace {

// One matrix of 2,000 rows and 500 columns, half its first column exogenous, loaded and shown on the page.
struct BigView {
  test::TempDir dir;
  test::ScriptedUserInterface ui;
  ResultsModel model{ui};
  ResultsPage page{model, ui};
  std::unique_ptr<ResultsPageWidget> widget;
  std::string error;

  BigView() {
    SetDecimalSeparator('.');
    test::SimFiles files;
    files.sets = {test::MakeSet("ROW", test::Names("r", 2000)), test::MakeSet("COL", test::Names("c", 500))};
    files.vars = {{"big", {1, 2}, 'p', "a large matrix", {{1, 1000}}}};
    files.value = [](const test::SimVar&, int, int component) {
      return static_cast<float>(component % 9973) / 7.0f - 500.0f;
    };
    page.BuildPage();
    ErrorText errorText;
    if (!page.PVLoadSol(files.Write(dir.Path().string()), " ", dir.File("sim.sli"), false, false,
                        errorText)) {
      error = errorText;
      return;
    }
    widget = std::make_unique<ResultsPageWidget>(page);
    widget->resize(1280, 800);
    widget->show();
    QApplication::processEvents();
    widget->PageActivated();
  }
  void Open() {
    page.OpenContentsLine(1);
    widget->Refresh();
    widget->repaint();
  }
  void Close() {
    page.ContentsButtonClick();
    widget->Refresh();
  }
};

// The resident size read afresh (the memory status the allocation estimates use is cached for a while).
double ResidentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

BigView& View() {
  static BigView view;
  return view;
}

// Memory, measured first so nothing freed before is reused: the core's table (its build), then what showing
// it on the page adds.
void BM_WindowMemoryAboveTheTable(benchmark::State& state) {
  BigView& view = View();
  if (!view.error.empty()) {
    state.SkipWithError(view.error.c_str());
    return;
  }
  double coreMb = 0;
  double windowMb = 0;
  for (auto _ : state) {
    view.page.ContentsButtonClick();
    view.widget->Refresh();
    view.widget->repaint();
    const double before = ResidentMegabytes();
    view.page.OpenContentsLine(1);
    const double built = ResidentMegabytes();
    view.widget->Refresh();
    view.widget->repaint();
    ResultsGrid* grid = view.widget->DataGrid();
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    grid->viewport()->repaint();
    const double shown = ResidentMegabytes();
    coreMb = built - before;
    windowMb = shown - built;
  }
  state.counters["core_table_MB"] = coreMb;
  state.counters["window_MB"] = windowMb;
  view.Close();
}
BENCHMARK(BM_WindowMemoryAboveTheTable)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_OpenDataViewOnThePage(benchmark::State& state) {
  BigView& view = View();
  if (!view.error.empty()) {
    state.SkipWithError(view.error.c_str());
    return;
  }
  for (auto _ : state) {
    view.Open();
    state.PauseTiming();
    view.Close();
    state.ResumeTiming();
  }
  const SimTab& table = view.page.DataTable();
  state.counters["cells"] = static_cast<double>(table.nrow) * table.ncol;
}
BENCHMARK(BM_OpenDataViewOnThePage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScrollAScreen(benchmark::State& state) {
  BigView& view = View();
  if (!view.error.empty()) {
    state.SkipWithError(view.error.c_str());
    return;
  }
  view.Open();
  ResultsGrid* grid = view.widget->DataGrid();
  QScrollBar* bar = state.range(0) == 0 ? grid->verticalScrollBar() : grid->horizontalScrollBar();
  for (auto _ : state) {
    const int next = bar->value() + bar->pageStep();
    bar->setValue(next > bar->maximum() ? 0 : next);
    grid->viewport()->repaint();
  }
  view.Close();
}
BENCHMARK(BM_ScrollAScreen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace pelorin

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
