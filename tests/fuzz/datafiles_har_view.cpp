// Fuzzes the viewer's reading path: the header list read without values, each listed header read from its
// place, and the header shown as a grid (every arrangement of rows and columns, sums, copied text and CSV).

#include "datafiles/har_grid.h"
#include "datafiles/har_headings.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin;
  static const std::string path = "/tmp/fuzz_datafiles_har_view_" + std::to_string(getpid());
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  // Keep allocations small so that runs stay fast: pretend the machine has 200 MB (150 MB after the reserve).
  static const bool limited = [] {
    SetMemoryStatusSource([] { return MemoryStatus{200ull << 20, 64ull << 20}; });
    return true;
  }();
  (void)limited;
  ErrorText errorText;
  HarHeadingList list;
  if (ReadHarHeadings(path, list, errorText)) {
    for (const HarHeading& heading : list.headings) {
      HeadingColumns(*heading.head);
      std::unique_ptr<THeadRecz> head;
      errorText.clear();
      if (!ReadHarHeaderAt(path, heading, head, errorText)) {
        continue;
      }
      HarGrid grid;
      grid.SetHeader(std::shared_ptr<const THeadRecz>(std::move(head)));
      grid.SetShowSums(true);
      for (int r = 0; r < grid.NumDims(); ++r) {
        for (int c = -1; c < grid.NumDims(); ++c) {
          if (!grid.SetAxes(r, c)) {
            continue;
          }
          for (int d = 0; d < grid.NumDims(); ++d) {
            grid.SetFixed(d, grid.DimSize(d) - 1);
          }
          grid.SliceDescription();
          grid.RangeText(0, 3, 0, 3, true);
          grid.CellText(grid.DisplayRows() - 1, grid.DisplayCols() - 1);
        }
      }
      if (HeaderValueCount(*grid.Header()) < 100'000) {
        grid.CsvText();
      }
    }
  }
  FindHeading(list, "A", 0);
  std::remove(path.c_str());
  return 0;
}
