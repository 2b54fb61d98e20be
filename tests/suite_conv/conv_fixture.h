#pragma once

#include "datafiles/har_writer.h"

#include <string>
#include <vector>

namespace pelorin::test {

/// The report files of a run that succeeded and of one that failed.
inline constexpr const char* kReportOk = "[Result]\nStatus=ok\nRelease=Pelorin suite 1.0\nGPVer Large=12\n";
inline constexpr const char* kReportError =
    "[Result]\nStatus=error\nRelease=Pelorin suite 1.0\nGPVer Large=12\n";

/// The headers of a small solution file as the engine writes it. Sets COM (food, manuf), REG (usa, eu) and
/// TRAD (food, a subset of COM); variables Y(REG) "Income" (percentage change, exogenous, Y("usa") shocked by
/// 10), X(COM,REG) "Demand" (percentage change, endogenous) and T "Transfer" (ordinary change, exogenous,
/// changed by 2); two subtotals "income" and "transfer". X("manuf","eu") starts at 1,000,000 and moves by
/// 1e-6 percent, a change of 0.01 that single-precision levels cannot show.
std::vector<HarHeader> SampleSolutionHeaders();

/// Replaces the header of the same name (or appends it).
void ReplaceHeader(std::vector<HarHeader>& headers, HarHeader header);
/// Removes the header of a name.
void RemoveHeader(std::vector<HarHeader>& headers, const std::string& name);

/// Runs a program in `folder` with its output discarded, polling it as the job runner does, and returns its
/// exit code (-1 when it cannot be started).
int RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& folder);

} // namespace pelorin::test
