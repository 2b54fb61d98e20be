#include "golden_files.h"

#include "model/model_set_up.h"
#include "platform/paths.h"
#include "simspec/simulation_pages.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace pelorin::test {

namespace fs = std::filesystem;

void ExpectGolden(const std::string& caseName, const std::string& file, const std::string& root) {
  std::string bytes = ReadFileBytes(file);
  for (std::size_t at = bytes.find(root); at != std::string::npos; at = bytes.find(root, at)) {
    bytes.replace(at, root.size(), "@DIR@");
  }
  const fs::path expected = fs::path(SIMSPEC_GOLDEN_DIR) / caseName / ExtractFileName(file);
  if (const char* update = std::getenv("PELORIN_UPDATE_GOLDEN"); update != nullptr && *update == '1') {
    fs::create_directories(expected.parent_path());
    std::ofstream(expected, std::ios::binary) << bytes;
  }
  EXPECT_EQ(bytes, ReadFileBytes(expected)) << "differs from " << expected;
}

void ExpectGoldenJobFiles(const SimulationPages& sim, const ModelSetUp& model, const std::string& workDir,
                          const std::string& root, const std::string& caseName, bool postSim) {
  ErrorText errorText;
  const std::vector<std::string>& outputs = model.OutputPage.OutputLines;
  const std::string solution = SolutionFilePath(model.Model.OutputDir, outputs);
  const std::string cmf = SimulationCmfPath(model.Model.OutputDir, outputs);
  const std::string postCmf = PostSimCmfPath(model.Model.OutputDir, model.OutputPage.PostSimName);
  ASSERT_TRUE(sim.CreateCMF(cmf, false, errorText)) << errorText;
  ExpectGolden(caseName, cmf, root);
  if (postSim) {
    ASSERT_TRUE(sim.CreateCMF(postCmf, true, errorText)) << errorText;
    ExpectGolden(caseName, postCmf, root);
  }
  ASSERT_TRUE(sim.WriteSolveJobInputs(solution, cmf, postCmf, postSim, errorText)) << errorText;
  std::vector<std::string> written{"solve.sti", "praxol.inp", "mirdashk.inp", "praxolsh.inp"};
  if (postSim) {
    written.emplace_back("postsim.sti");
  } else {
    EXPECT_FALSE(fs::exists(JoinPath(workDir, "postsim.sti")));
  }
  ASSERT_TRUE(sim.CheckClosureCMF(errorText)) << errorText;
  written.insert(written.end(), {"clcheck.cmf", "clcheck.sti", "clcheck.bat"});
  for (const std::string& name : written) {
    ExpectGolden(caseName, JoinPath(workDir, name), root);
  }
  EXPECT_EQ(errorText, "");
}

} // namespace pelorin::test
