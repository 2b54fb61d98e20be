// Loading a simulation's solutions from hostile files, then building its contents (plain, grouped and
// filtered) and every data view. The input is a 4-byte little-endian length, that many bytes of solution
// summary (".sli"), and the cumulative solution file (".sol") after them.
#include "datafiles/dyn_arrays.h"
#include "results/contents_view.h"
#include "results/results_model.h"
#include "support/scripted_ui.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void WriteFile(const std::filesystem::path& path, const char* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data, static_cast<std::streamsize>(size));
}

void AllViews(pelorin::ResultsModel& model) {
  pelorin::ContentsList list;
  pelorin::SimTab contents;
  pelorin::SimTab data;
  std::string title;
  pelorin::ErrorText error;
  const bool built = model.ElmFiltered ? pelorin::MakeFilteredContentsList(model, list, contents, error)
                                       : pelorin::MakeContentsList(model, list, contents, error);
  if (!built) {
    return;
  }
  for (const pelorin::ContentsItem& item : list) {
    pelorin::BuildDataTable(model, item, 3, data, title, error);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) {
    return 0;
  }
  static const std::filesystem::path dir = [] {
    // A machine with little memory: views and tables beyond it are refused, not attempted.
    pelorin::SetMemoryStatusSource([] { return pelorin::MemoryStatus{200ull << 20, 64ull << 20}; });
    auto path = std::filesystem::temp_directory_path() / ("fuzz-results-load-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  std::size_t sliSize =
      data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::size_t>(data[3]) << 24);
  sliSize = std::min(sliSize, size - 4);
  const char* bytes = reinterpret_cast<const char*>(data) + 4;
  WriteFile(dir / "sim.sli", bytes, sliSize);
  WriteFile(dir / "sim.sol", bytes + sliSize, size - 4 - sliSize);

  pelorin::test::ScriptedUserInterface ui;
  pelorin::ResultsModel model(ui);
  pelorin::ErrorText error;
  model.PVLoadSol((dir / "sim.sol").string(), " ", (dir / "sim.sli").string(), true, true, error);
  if (model.Nsol() == 0) {
    return 0;
  }
  for (int format : {0, 2}) {
    model.ContentsFormat = format;
    model.ElmFiltered = false;
    AllViews(model);
    const auto& names = model.Sol(model.CurSol()).ElmNames;
    if (!names.empty()) {
      model.ElmFiltered = true;
      model.FilterElement = names[names.size() / 2];
      model.SetFilterPositions(model.FilterElement);
      AllViews(model);
    }
  }
  return 0;
}
