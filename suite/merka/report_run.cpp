#include "merka/report_run.h"

#include "engine/model_info.h"
#include "platform/strings.h"

#include <fstream>
#include <iostream>
#include <string>

namespace pelorin::merka {

int RunStoredInput(const std::string& storedInput) {
  std::ifstream in(storedInput, std::ios::binary);
  if (!in) {
    std::cerr << storedInput << ": error: cannot open the stored input\n";
    return 1;
  }
  std::string first, report;
  std::getline(in, first);
  std::getline(in, report);
  report = Trim(report);
  if (!SameText(Trim(first), "RPT")) {
    std::cerr << storedInput
              << ":1:1: error: a stored input for merka.exe must ask for the report run (RPT)\n";
    return 1;
  }
  if (report.empty()) {
    std::cerr << storedInput << ":2:1: error: the report run needs the report file's name on line 2\n";
    return 1;
  }
  const std::string temporary = report + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    // The reader shows every line but the last two, which only close the report.
    out << "[result]\n"
        << "release=" << engine::kSuiteRelease << "\n"
        << "Program version=e\n"
        << "GPVer Large=" << engine::kSuiteVersion << "\n"
        << "Status=ok\n"
        << "[end]\n"
        << "Report=complete\n";
    if (!out.flush()) {
      std::cerr << report << ": error: cannot write the report\n";
      return 1;
    }
  }
  if (std::rename(temporary.c_str(), report.c_str()) != 0) {
    std::remove(temporary.c_str());
    std::cerr << report << ": error: cannot write the report\n";
    return 1;
  }
  return 0;
}

} // namespace pelorin::merka
