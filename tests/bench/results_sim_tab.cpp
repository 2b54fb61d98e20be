// Speed of the simulation tables on a 1,000 x 1,000 table: building it from numbers and copying it as text.
#include "results/decimal_separator.h"
#include "results/sim_tab.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace pelorin {
namespace {

constexpr int kSize = 1000;

std::vector<float> Values() {
  std::vector<float> values(static_cast<std::size_t>(kSize) * kSize);
  for (std::size_t i = 0; i < values.size(); ++i) {
    values[i] = static_cast<float>((static_cast<double>(i % 9973) - 4000.0) / 7.0);
  }
  values[17] = MissingValue;
  values[99] = 0.0f;
  return values;
}

void BM_MakeSimpleR2Table(benchmark::State& state) {
  SetDecimalSeparator('.');
  const std::vector<float> values = Values();
  SimTab table;
  ErrorText error;
  for (auto _ : state) {
    if (!MakeSimpleR2Table(table, {.matrix = values, .corner = "V"}, 3, kSize, kSize, error)) {
      state.SkipWithError(error.c_str());
    }
    benchmark::DoNotOptimize(table.Contents.data());
  }
}
BENCHMARK(BM_MakeSimpleR2Table)->Unit(benchmark::kMillisecond);

void BM_CopySimTabToString(benchmark::State& state) {
  SetDecimalSeparator('.');
  const std::vector<float> values = Values();
  SimTab table;
  ErrorText error;
  MakeSimpleR2Table(table, {.matrix = values, .corner = "V"}, 3, kSize, kSize, error);
  std::string text;
  for (auto _ : state) {
    if (!CopySimTabToString(table, static_cast<int>(state.range(0)), text, error)) {
      state.SkipWithError(error.c_str());
    }
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CopySimTabToString)
    ->Arg(kSimTabWholeTable)
    ->Arg(kSimTabWholeTable | kSimTabTransposed)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pelorin
