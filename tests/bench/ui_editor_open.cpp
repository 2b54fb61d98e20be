// The built-in editor opening a large solver log: the file read, checked, handed to the editing widget, the
// window shown and painted. The target is a 50 MB log in under a second; the rest of a large file follows
// while the window works.
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "ui/orf_edit_dlg.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>

namespace pelorin {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "bench_ui_editor";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  static QApplication app(argc, argv);
  return app;
}

// A log of `megabytes` MB in lines like the solver's.
std::string WriteLog(const test::TempDir& dir, int megabytes) {
  const std::string path = dir.File("big.log");
  std::ofstream out(path, std::ios::binary);
  const std::size_t target = static_cast<std::size_t>(megabytes) * 1000 * 1000;
  std::size_t written = 0;
  char line[160];
  for (long n = 0; written < target; ++n) {
    const int length = std::snprintf(
        line, sizeof line, " Step %6ld  subinterval %3ld  x(%ld) =\t%14.6e  change %10.4f%%\n", n, n % 97,
        n % 131, 1.0e3 / static_cast<double>(n + 1), static_cast<double>(n % 1000) / 7.0);
    out.write(line, length);
    written += static_cast<std::size_t>(length);
  }
  return path;
}

void BM_EditorOpensLargeLog(benchmark::State& state) {
  App();
  test::TempDir dir;
  const std::string file = WriteLog(dir, static_cast<int>(state.range(0)));
  test::ScriptedUserInterface ui;
  TextEditorRequest request;
  request.file = file;
  request.title = "Log file";
  request.returnCaption = "&Back to Orvane";
  int lines = 0;
  for (auto _ : state) {
    auto editor = std::make_unique<TOrfEditDlg>(ui, request, nullptr, nullptr);
    ErrorText errorText;
    if (!editor->Open(errorText)) {
      state.SkipWithError(errorText.c_str());
      break;
    }
    editor->show();
    QApplication::processEvents(); // shown and painted
    lines = editor->Editor()->blockCount();
    state.PauseTiming();
    editor.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["lines"] = lines;
}
BENCHMARK(BM_EditorOpensLargeLog)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);

// The rest of the log handed to the widget while the window works: the time until the whole text is in, and
// the longest the window went without handling its events meanwhile.
void BM_EditorTakesTheWholeLog(benchmark::State& state) {
  App();
  test::TempDir dir;
  const std::string file = WriteLog(dir, static_cast<int>(state.range(0)));
  test::ScriptedUserInterface ui;
  TextEditorRequest request;
  request.file = file;
  request.title = "Log file";
  request.returnCaption = "&Back to Orvane";
  double longestTurn = 0;
  int lines = 0;
  for (auto _ : state) {
    auto editor = std::make_unique<TOrfEditDlg>(ui, request, nullptr, nullptr);
    ErrorText errorText;
    if (!editor->Open(errorText)) {
      state.SkipWithError(errorText.c_str());
      break;
    }
    editor->show();
    while (editor->Loading()) {
      const auto start = std::chrono::steady_clock::now();
      QApplication::processEvents();
      longestTurn = std::max(
          longestTurn,
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    lines = editor->Editor()->blockCount();
    state.PauseTiming();
    editor.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["lines"] = lines;
  state.counters["longest_turn_ms"] = longestTurn;
}
BENCHMARK(BM_EditorTakesTheWholeLog)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace pelorin
