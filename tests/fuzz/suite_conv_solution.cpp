// Fuzzes the solution-file reader and, for the files it accepts, the conversion, the map and the shock
// listing built from them.
#include "datafiles/har_data.h"
#include "platform/memory_status.h"
#include "praxola/conversion.h"
#include "praxola/solution_reader.h"
#include "praxola/ssa_map.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("fuzz_suite_conv_solution_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string file = (folder / "sim.sl4").string();
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // Keep allocations small so that runs stay fast: pretend the machine has 200 MB (150 MB after the reserve).
  static const bool limited = [] {
    pelorin::SetMemoryStatusSource([] { return pelorin::MemoryStatus{200ull << 20, 64ull << 20}; });
    pelorin::SetHarWarningHandler([](const std::string&) {});
    return true;
  }();
  (void)limited;
  pelorin::conv::Solution solution;
  pelorin::ErrorText err;
  if (pelorin::conv::ReadSolution(file, solution, err)) {
    pelorin::conv::OutputSet outputs; // never committed: the temporary files go with it
    pelorin::conv::ConvertSolution(solution, (folder / "sim").string(), pelorin::conv::ConvertOptions{},
                                   outputs, err);
    const pelorin::conv::SsaMap map = pelorin::conv::MakeSsaMap(solution, false);
    pelorin::conv::ShockListingText(solution, &map, "fuzz.map");
    pelorin::conv::SsaMap back;
    if (pelorin::conv::ParseSsaMap(pelorin::conv::SsaMapText(map, solution), "fuzz.map", back, err)) {
      pelorin::conv::CheckSsaMap(back, "fuzz.map", solution, err);
    }
  }
  return 0;
}
