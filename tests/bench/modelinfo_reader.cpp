// Speed of the model information reader on a large model and of closing a long subset chain.
#include "modelinfo/model_info_reader.h"
#include "modelinfo/model_info_writer.h"
#include "modelinfo/sample_model.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>

namespace pelorin {
namespace {

// ReadModelInfo and the second pass over a file of 50,000 variables (X, N and x with ranges) and 1,000 sets
// with listed element names.
void BM_ReadModelInfoLargeModel(benchmark::State& state) {
  test::TempDir dir;
  const std::string name = dir.File("large.min");
  ErrorText error;
  if (!WriteModelInfo(name, test::LargeModel(1000, 50000), error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  for (auto _ : state) {
    SolInfoRec info;
    if (!ReadModelInfo(name, error, info) || !AddMinInfoToSolInfo(name, info, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    benchmark::DoNotOptimize(info.NVar);
  }
}
BENCHMARK(BM_ReadModelInfoLargeModel)->Unit(benchmark::kMillisecond);

// Closing the relation of 1,000 sets each a subset of the next.
void BM_MakeTransitiveClosureChain(benchmark::State& state) {
  constexpr int kSets = 1000;
  SubsetMatrix chain(kSets);
  for (int i = 1; i < kSets; ++i) {
    chain.Set(i, i + 1);
  }
  SolInfoRec info;
  ErrorText error;
  for (auto _ : state) {
    info.IsSubSet = chain;
    if (!MakeTransitiveClosure(info, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    benchmark::DoNotOptimize(info.IsSubSet->Get(1, kSets));
  }
}
BENCHMARK(BM_MakeTransitiveClosureChain)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pelorin
