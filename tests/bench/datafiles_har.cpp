// Speed of the Header Array reader on large files, measured against a plain fread of the same file.
//   bench_datafiles_har [--benchmark_filter=...]
// The files are written into a temporary folder on first use and removed at exit.

#include "datafiles/har_data.h"
#include "datafiles/har_writer.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

namespace pelorin {
namespace {

constexpr int kHeaders = 50;
constexpr std::int64_t kRows = 1000;
constexpr std::int64_t kCols = 1000; // 1,000,000 single reals per header
constexpr std::int64_t kSparseSize = 10'000'000;

std::vector<std::string> Names(const std::string& stem, std::int64_t n) {
  std::vector<std::string> names;
  for (std::int64_t i = 1; i <= n; ++i) {
    names.push_back(stem + std::to_string(i));
  }
  return names;
}

std::string HeaderName(int i) {
  char name[8];
  std::snprintf(name, sizeof name, "H%03d", i);
  return name;
}

struct Files {
  test::TempDir dir;
  std::string big;
  std::string sparse;
  std::int64_t bigBytes = 0;
  std::int64_t sparseBytes = 0;

  Files() {
    big = dir.File("big.har");
    sparse = dir.File("sparse.har");
    HarHeader header = MakeReals("H000", "One of fifty",
                                 {SetDim("COM", Names("c", kRows)), SetDim("REG", Names("r", kCols))},
                                 std::vector<float>(static_cast<std::size_t>(kRows * kCols)));
    for (std::size_t i = 0; i < header.reals.size(); ++i) {
      header.reals[i] = static_cast<float>(i % 977) * 0.25f;
    }
    HarWriter writer;
    ErrorText errorText;
    writer.Create(big, errorText);
    for (int h = 1; h <= kHeaders; ++h) {
      header.name = HeaderName(h);
      writer.Write(header, errorText);
    }
    writer.Close(errorText);

    HarHeader sparseHeader = MakeReals("SPAR", "One per cent non-zero",
                                       {SetDim("A", Names("a", 1000)), SizeDim(kSparseSize / 1000)},
                                       std::vector<float>(static_cast<std::size_t>(kSparseSize)));
    for (std::int64_t i = 0; i < kSparseSize; i += 100) {
      sparseHeader.reals[static_cast<std::size_t>(i + (i / 100) % 100)] = 1.5f;
    }
    sparseHeader.sparse = true;
    WriteHarFile(sparse, {sparseHeader}, {}, errorText);
    if (!errorText.empty()) {
      std::fprintf(stderr, "writing the benchmark files failed: %s\n", errorText.c_str());
    }
    std::error_code ec;
    bigBytes = static_cast<std::int64_t>(std::filesystem::file_size(big, ec));
    sparseBytes = static_cast<std::int64_t>(std::filesystem::file_size(sparse, ec));
  }
};

Files& TheFiles() {
  static Files files;
  return files;
}

void BM_FreadWholeFile(benchmark::State& state) {
  Files& files = TheFiles();
  std::vector<char> buffer(static_cast<std::size_t>(files.bigBytes));
  for (auto _ : state) {
    std::FILE* f = std::fopen(files.big.c_str(), "rb");
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), f);
    std::fclose(f);
    benchmark::DoNotOptimize(got);
  }
  state.SetBytesProcessed(state.iterations() * files.bigBytes);
}
BENCHMARK(BM_FreadWholeFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadHarFileWhole(benchmark::State& state) {
  Files& files = TheFiles();
  for (auto _ : state) {
    std::unique_ptr<HarData> data;
    bool skipped = false;
    ErrorText errorText;
    if (!ReadHarFile(files.big, false, false, data, skipped, errorText) || data->NumHeads() != kHeaders) {
      state.SkipWithError(errorText.c_str());
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * files.bigBytes);
}
BENCHMARK(BM_ReadHarFileWhole)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadLastHeader(benchmark::State& state) {
  Files& files = TheFiles();
  for (auto _ : state) {
    std::unique_ptr<THeadRecz> head;
    ErrorText errorText;
    if (!ReadHeaderFromHarFile(files.big, HeaderName(kHeaders), false, head, errorText) || !head) {
      state.SkipWithError(errorText.c_str());
      break;
    }
  }
}
BENCHMARK(BM_ReadLastHeader)->Unit(benchmark::kMillisecond);

void BM_ReadSparse(benchmark::State& state) {
  Files& files = TheFiles();
  for (auto _ : state) {
    std::unique_ptr<HarData> data;
    bool skipped = false;
    ErrorText errorText;
    if (!ReadHarFile(files.sparse, false, false, data, skipped, errorText)) {
      state.SkipWithError(errorText.c_str());
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * files.sparseBytes);
}
BENCHMARK(BM_ReadSparse)->Unit(benchmark::kMillisecond);

std::int64_t StatusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) {
      return std::stoll(line.substr(std::string(key).size()));
    }
  }
  return -1;
}

// Peak resident memory while reading the big file, against the values it holds (1.1 x values + 16 MB
// allowed).
void BM_PeakMemoryWholeFile(benchmark::State& state) {
  Files& files = TheFiles();
  double peakMb = 0;
  double allowedMb = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::ofstream("/proc/self/clear_refs") << "5"; // resets the peak to the current size
    const std::int64_t before = StatusKb("VmRSS:");
    state.ResumeTiming();
    std::unique_ptr<HarData> data;
    bool skipped = false;
    ErrorText errorText;
    ReadHarFile(files.big, false, false, data, skipped, errorText);
    state.PauseTiming();
    const std::int64_t peak = StatusKb("VmHWM:");
    const double valuesMb = data ? data->totalReals * 4 / (1024.0 * 1024.0) : 0;
    peakMb = static_cast<double>(peak - before) / 1024.0;
    allowedMb = 1.1 * valuesMb + 16;
    data.reset();
    malloc_trim(0); // give the freed arrays back, so the next read starts from a low resident size
    state.ResumeTiming();
  }
  state.counters["peak_MB"] = peakMb;
  state.counters["allowed_MB"] = allowedMb;
}
BENCHMARK(BM_PeakMemoryWholeFile)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace pelorin
