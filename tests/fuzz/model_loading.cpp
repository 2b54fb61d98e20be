#include "datafiles/har_writer.h"
#include "model/file_lines.h"
#include "model/model_set_up.h"
#include "modelinfo/sol_info.h"
#include "shell/app_state.h"
#include "support/scripted_ui.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// Loads a model whose information file is the fuzz input (followed by the stamp its auxiliary table file
// carries, so the file section, the defaults built from it and the model information reader all run).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace fs = std::filesystem;
  static const std::string folder = "/tmp/fuzz_model_loading_" + std::to_string(::getpid());
  static const std::string modelFile = folder + "/minimal.exe";
  static bool prepared = false;
  if (!prepared) {
    fs::create_directories(folder);
    std::ofstream(modelFile) << "model";
    std::ofstream(folder + "/minimal.axs") << "axs";
    std::string stamp = "FUZZ";
    stamp.resize(40, ' ');
    pelorin::ErrorText err;
    pelorin::WriteHarFile(folder + "/minimal.axt", {pelorin::MakeStrings("DTXT", "Stamp", {stamp}, 40)}, {},
                          err);
    prepared = true;
  }
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::ofstream(folder + "/minimal.min", std::ios::binary | std::ios::trunc) << text << "\n#TMDATE\nFUZZ\n";

  pelorin::AppState app;
  app.ProgramDir = folder;
  app.WorkDir = folder;
  pelorin::test::ScriptedUserInterface ui;
  pelorin::SolInfoRec info;
  pelorin::ModelSetUp setUp(app, ui, info);
  setUp.Exit = [](int) {};
  if (setUp.FindModelFiles(modelFile)) {
    setUp.Model.ModelFile = modelFile;
    setUp.ProcessModel(true);
    setUp.ViewData1Click();
    for (std::size_t i = 0; i < setUp.DataPage.InputLines.size() && i < 50; ++i) {
      setUp.OrigDataFilesCMFListBoxMouseDown(static_cast<int>(i));
      setUp.TellMeMore1Click();
    }
  }
  return 0;
}
