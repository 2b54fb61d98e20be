// Speed of the Header Array viewer's reading path: listing the headers of a 200 MB file, and showing a header
// of 1,000,000 values (read from its place, put into a grid with sums, the first screen of cells written).
//   bench_datafiles_har_view [--benchmark_filter=...]
// Targets: the list under 200 ms, the header under 300 ms. The file is written into a temporary folder on
// first use and removed at exit.

#include "datafiles/har_grid.h"
#include "datafiles/har_headings.h"
#include "datafiles/har_writer.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>

namespace pelorin {
namespace {

constexpr int kBigHeaders = 40;     // 40 x 1,000,000 single reals: 160 MB
constexpr int kSmallHeaders = 4000; // 4,000 x 2,500 single reals: 40 MB
constexpr std::int64_t kSide = 1000;

std::vector<std::string> Names(const std::string& stem, std::int64_t n) {
  std::vector<std::string> names;
  for (std::int64_t i = 1; i <= n; ++i) {
    names.push_back(stem + std::to_string(i));
  }
  return names;
}

struct File {
  test::TempDir dir;
  std::string path;
  std::int64_t bytes = 0;

  File() {
    path = dir.File("view.har");
    HarWriter writer;
    ErrorText errorText;
    writer.Create(path, errorText);
    HarHeader big = MakeReals("B000", "A big matrix",
                              {SetDim("COM", Names("c", kSide)), SetDim("REG", Names("r", kSide))},
                              std::vector<float>(static_cast<std::size_t>(kSide * kSide)));
    for (std::size_t i = 0; i < big.reals.size(); ++i) {
      big.reals[i] = static_cast<float>(i % 977) * 0.25f;
    }
    HarHeader small =
        MakeReals("S000", "A small array", {SetDim("IND", Names("i", 50)), SetDim("SRC", Names("s", 50))},
                  std::vector<float>(2500, 1.5f));
    char name[8];
    for (int h = 0; h < kBigHeaders + kSmallHeaders; ++h) {
      HarHeader& header = h % 101 == 0 && h / 101 < kBigHeaders ? big : small;
      std::snprintf(name, sizeof name, "%c%03X", &header == &big ? 'B' : 'S', h);
      header.name = name;
      writer.Write(header, errorText);
    }
    writer.Close(errorText);
    if (!errorText.empty()) {
      std::fprintf(stderr, "writing the benchmark file failed: %s\n", errorText.c_str());
    }
    std::error_code ec;
    bytes = static_cast<std::int64_t>(std::filesystem::file_size(path, ec));
  }
};

File& TheFile() {
  static File file;
  return file;
}

void BM_ListHeadersOf200MB(benchmark::State& state) {
  File& file = TheFile();
  for (auto _ : state) {
    HarHeadingList list;
    ErrorText errorText;
    if (!ReadHarHeadings(file.path, list, errorText)) {
      state.SkipWithError(errorText.c_str());
      return;
    }
    benchmark::DoNotOptimize(list.headings.size());
  }
  state.counters["MB"] = static_cast<double>(file.bytes) / 1e6;
}
BENCHMARK(BM_ListHeadersOf200MB)->Unit(benchmark::kMillisecond);

void BM_ShowMillionValueHeader(benchmark::State& state) {
  File& file = TheFile();
  HarHeadingList list;
  ErrorText errorText;
  if (!ReadHarHeadings(file.path, list, errorText)) {
    state.SkipWithError(errorText.c_str());
    return;
  }
  const HarHeading& heading = list.headings[0];
  for (auto _ : state) {
    std::unique_ptr<THeadRecz> head;
    if (!ReadHarHeaderAt(file.path, heading, head, errorText)) {
      state.SkipWithError(errorText.c_str());
      return;
    }
    HarGrid grid;
    grid.SetHeader(std::shared_ptr<const THeadRecz>(std::move(head)));
    grid.SetShowSums(true);
    std::size_t length = 0;
    for (std::int64_t r = 0; r < 50; ++r) {
      length += grid.RowLabel(r).size();
      for (std::int64_t c = 0; c < 20; ++c) {
        length += grid.CellText(r, c).size();
      }
    }
    length += grid.CellText(grid.Rows(), grid.Cols()).size(); // the grand total: every value summed
    benchmark::DoNotOptimize(length);
  }
}
BENCHMARK(BM_ShowMillionValueHeader)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pelorin
