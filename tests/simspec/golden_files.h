#pragma once

#include <string>

namespace pelorin {
class ModelSetUp;
class SimulationPages;
} // namespace pelorin

namespace pelorin::test {

/// Compares a written file byte for byte with tests/simspec/golden/`caseName`/<its name>, where the test's
/// temporary folder `root` is written as "@DIR@". With PELORIN_UPDATE_GOLDEN=1 in the environment the
/// expected file is rewritten from the file written now.
void ExpectGolden(const std::string& caseName, const std::string& file, const std::string& root);

/// Writes every file of a solve as the job runner does (the simulation command file, the post-simulation one
/// when `postSim`, the stored inputs and answer files) and the closure check's files, and compares each with
/// its expected file. No "postsim.sti" may be left without a post-simulation.
void ExpectGoldenJobFiles(const SimulationPages& sim, const ModelSetUp& model, const std::string& workDir,
                          const std::string& root, const std::string& caseName, bool postSim);

} // namespace pelorin::test
