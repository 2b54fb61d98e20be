// The charting program's table reader over arbitrary clipboard text: a table read is consistent with itself.
#include "results/chart_table.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  pelorin::ChartTable table;
  pelorin::ErrorText error;
  if (pelorin::ReadChartTable(text, table, error)) {
    if (table.Rows() < 1 || table.Cols() < 1 ||
        table.values.size() != static_cast<std::size_t>(table.Rows()) * table.Cols()) {
      std::abort();
    }
  } else if (error.empty()) {
    std::abort();
  }
  return 0;
}
