// How long vexmoor.exe takes to render a table of 50 rows and 20 columns to PNG, from process start to exit.
#include "platform/process.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace pelorin {
namespace {

void BM_RenderFromProcessStart(benchmark::State& state) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("vexmoor-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string table = (dir / "table.txt").string();
  {
    std::ofstream out(table, std::ios::binary);
    out << "QXS";
    for (int c = 1; c <= 20; ++c) {
      out << "\tsol" << c;
    }
    out << "\r\n";
    for (int r = 1; r <= 50; ++r) {
      out << "elem" << r;
      for (int c = 1; c <= 20; ++c) {
        out << '\t' << (r * 7 + c * 13) % 101 - 30 << ".25";
      }
      out << "\r\n";
    }
  }
  const std::string png = (dir / "chart.png").string();
  for (auto _ : state) {
    ChildProcess process;
    ProcessOptions options;
    options.folder = dir.string();
    ErrorText error;
    if (!process.Start(PELORIN_VEXMOOR, {"--render", table, "--out", png}, options, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    while (process.Running()) {
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    if (process.ExitCode() != 0) {
      state.SkipWithError("vexmoor.exe failed");
      break;
    }
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RenderFromProcessStart)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace pelorin
