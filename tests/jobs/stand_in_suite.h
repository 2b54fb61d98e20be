#pragma once

// Stand-ins for the suite's programs, run as real processes: the model's solver, the converter and the
// sensitivity preparation as small shell scripts steered by files in a control folder.

#include "../app/installed_program.h"

#include <string>

namespace pelorin::test {

/// Replaces Minimal's solver, praxola.exe and mirdaa.exe of an installed program folder (with model Minimal)
/// by the stand-ins, steered by the control folder (made when missing):
/// - the solver: a control file "solver", "postsim" or "check" (for that run) saying "fail" (error exit),
///   "nosolution" (no solution file), "noreport" or "nocli"; "hold" (any run) or "holdpost" (the
///   post-simulation run) makes it wait for "release"; "log" is copied into its log;
/// - the converter and the preparation: a control file named after the answer file ("praxol", "mirdashk",
///   "praxolsh") saying "fail" makes that run fail;
/// - every run appends its arguments to "calls".
/// The log the solver writes holds the accuracy summaries of one subinterval and the overall results.
void InstallStandInSuite(const InstalledProgram& program, const std::string& control);

} // namespace pelorin::test
