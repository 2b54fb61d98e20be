#include "conv_fixture.h"

#include "platform/process.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace pelorin::test {

std::vector<HarHeader> SampleSolutionHeaders() {
  std::string stamp = "MERKA 2026-01-02 03:04:05.000006 P123";
  stamp.resize(40, ' ');
  std::vector<HarHeader> h = BookkeepingHeaders("Sample.exe", "Fri Jan  2 03:04:05 2026");
  h.push_back(MakeStrings("SLFM", "Solution file format", {"PELORIN SOLUTION 1"}));
  h.push_back(MakeStrings("STMP", "Model time-date stamp", {stamp}, 40));
  h.push_back(MakeStrings("MODL", "Model name and command file", {"Sample", "/tmp/sample.cmf"}));
  h.push_back(MakeStrings("VDSC", "Verbal description", {"Ten percent more income", "#not a heading"}));
  h.push_back(MakeIntMatrix("METH", "Method", 1, 8, {3, 3, 2, 4, 6, 1, 0, 2}));
  h.push_back(MakeStrings("METN", "Method name", {"Gragg"}));
  h.push_back(MakeStrings("SNAM", "Set names", {"COM", "REG", "TRAD"}));
  h.push_back(MakeStrings("SLAB", "Set labels", {"Commodities", "Regions", "Traded goods"}));
  h.push_back(MakeIntMatrix("SSIZ", "Set sizes", 3, 1, {2, 2, 1}));
  h.push_back(MakeStrings("SELM", "Elements", {"food", "manuf", "usa", "eu", "food"}));
  h.push_back(MakeIntMatrix("SSUB", "Subset pairs", 1, 2, {3, 1}));
  h.push_back(MakeStrings("VNAM", "Variable names", {"Y", "X", "T"}));
  h.push_back(MakeStrings("VDES", "Variable descriptions", {"Income", "Demand", "Transfer"}));
  h.push_back(MakeStrings("VTYP", "Change types", {"p", "p", "c"}));
  h.push_back(MakeIntMatrix("VNAR", "Arguments", 3, 1, {1, 2, 0}));
  std::vector<std::int32_t> args(21, 0);
  args[0] = 2; // Y(REG)
  args[1] = 1; // X(COM, REG)
  args[3 + 1] = 2;
  h.push_back(MakeIntMatrix("VARG", "Argument sets", 3, 7, args));
  h.push_back(MakeIntMatrix("VSIZ", "Components", 3, 1, {2, 4, 1}));
  h.push_back(MakeIntMatrix("VOFF", "First component", 3, 1, {1, 3, 7}));
  h.push_back(MakeDoubles("CUMR", "Cumulative results", {SizeDim(7)}, {10, 0, 10, 4, 0, 1e-6, 2}));
  h.push_back(MakeDoubles("PREL", "Pre levels", {SizeDim(7)}, {100, 50, 40, 60, 30, 1e6, 0}));
  h.push_back(MakeDoubles("POSL", "Post levels", {SizeDim(7)}, {110, 50, 44, 62.4, 30, 1e6 + 0.01, 2}));
  h.push_back(MakeIntMatrix("EXOG", "Closure", 7, 1, {1, 1, 0, 0, 0, 0, 1}));
  h.push_back(MakeIntMatrix("ACCF", "Accuracy", 7, 1, {6, 6, 6, 6, 6, 6, 6}));
  h.push_back(MakeIntMatrix("SHKC", "Shocks", 2, 2, {1, 7, 0, 1}));
  h.push_back(MakeDoubles("SHKV", "Shock values", {SizeDim(2)}, {10, 2}));
  h.push_back(MakeIntMatrix("STNM", "Subtotals", 1, 1, {2}));
  h.push_back(MakeStrings("STDS", "Subtotal descriptions", {"income", "a transfer of two units"}));
  h.push_back(MakeDoubles("SUBT", "Subtotal results", {SizeDim(7), SizeDim(2)},
                          {10, 0, 6, 2.5, 0, 1e-6, 0, 0, 0, 4, 1.5, 0, 0, 2}));
  h.push_back(MakeDoubles("SOLN", "Each solution", {SizeDim(7)}, {10, 0, 10, 4, 0, 1e-6, 2}));
  return h;
}

void ReplaceHeader(std::vector<HarHeader>& headers, HarHeader header) {
  for (HarHeader& h : headers) {
    if (h.name == header.name) {
      h = std::move(header);
      return;
    }
  }
  headers.push_back(std::move(header));
}

void RemoveHeader(std::vector<HarHeader>& headers, const std::string& name) {
  headers.erase(
      std::remove_if(headers.begin(), headers.end(), [&](const HarHeader& h) { return h.name == name; }),
      headers.end());
}

int RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& folder) {
  ChildProcess process;
  ProcessOptions options;
  options.folder = folder;
  options.discardOutput = true;
  ErrorText err;
  if (!process.Start(program, arguments, options, err)) {
    ADD_FAILURE() << err;
    return -1;
  }
  while (process.Running()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return process.ExitCode();
}

} // namespace pelorin::test
