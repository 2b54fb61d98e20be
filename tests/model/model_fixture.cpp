#include "model_fixture.h"

#include "datafiles/har_writer.h"
#include "model/file_lines.h"
#include "modelinfo/model_info_writer.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "support/fuzz_seed.h"

#include <filesystem>
#include <fstream>

namespace pelorin::test {

namespace fs = std::filesystem;

namespace {

void Write(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

ModelFixture::ModelFixture() {
  app.ProgramDir = dir.Path().string();
  app.WorkDir = JoinPath(app.ProgramDir, "work");
  fs::create_directories(app.WorkDir);
  app.ModelName = "minimal";
  app.ModelHomeDir = JoinPath(app.ProgramDir, "minimal");
  app.KeepDir = app.ModelHomeDir;
  app.LastSaveDir = app.ProgramDir;
  setUp = std::make_unique<ModelSetUp>(app, ui, info);
  setUp->Exit = [this](int code) { exits.push_back(code); };
  setUp->Launcher = [this](const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& folder, ErrorText&) {
    std::vector<std::string> call{program};
    call.insert(call.end(), arguments.begin(), arguments.end());
    call.push_back("@" + folder);
    launches.push_back(std::move(call));
    return true;
  };
  ModelHooks& h = setUp->Hooks;
  h.processClosureFile = [this](const std::string& f) { calls.push_back("closure:" + f); };
  h.clearClosure = [this] { calls.push_back("clearClosure"); };
  h.processClosureInfoFile = [this](const std::string& f) { calls.push_back("svi:" + f); };
  h.clearSviInfo = [this] { calls.push_back("clearSvi"); };
  h.resetSimulation = [this](bool newModel) { calls.push_back(newModel ? "reset:new" : "reset:none"); };
  h.closureLines = [] { return std::vector<std::string>{"exogenous pop ;", "rest endogenous ;"}; };
  h.setCaption = [this](const std::string& text) { caption = text; };
}

std::string ModelFixture::WriteModel(const TestModel& model) {
  return WriteTestModel(app.ProgramDir, model);
}

std::string WriteTestModel(const std::string& programDir, const TestModel& model) {
  const std::string folder = JoinPath(programDir, model.name);
  fs::create_directories(folder);
  const std::string base = JoinPath(folder, model.name);
  const std::string modelFile = base + (model.exe ? ".exe" : ".gss");
  Write(modelFile, "model program");
  if (model.exe) {
    Write(base + ".axs", "auxiliary statements");
  }

  ErrorText err;
  std::string stamp = model.auxStamp;
  stamp.resize(40, ' ');
  WriteHarFile(base + (model.exe ? ".axt" : ".gst"), {MakeStrings("DTXT", "Time and date", {stamp}, 40)}, {},
               err);

  ModelInfoDescription d;
  for (const TestFile& f : model.files) {
    TFileRec rec;
    rec.logicalName = f.name;
    rec.direction = f.direction;
    rec.updated = f.updated;
    rec.fileType = f.type;
    rec.rest = f.fixedName;
    rec.description = f.name.front() == '(' ? std::string() : f.description;
    d.files.push_back(rec);
  }
  d.mrkFile = model.mrkFile;
  d.stiFile = model.stiFile;
  d.tmDate = model.minStamp;
  d.sets.push_back({"COM", "Commodities", 2, {"food", "mfg"}});
  VariableDescription pop;
  pop.name = "pop";
  pop.size = 1;
  pop.exoStat = 'X';
  pop.description = "Population";
  VariableDescription px;
  px.name = "p_x";
  px.size = 2;
  px.argSets = {1};
  px.vcTp = 'p';
  px.description = "Output";
  d.variables = {pop, px};
  d.kvVer = 1;
  d.prVer = 1;
  WriteModelInfo(base + ".min", d, err);
  SaveFuzzSeed("model_loading", model.name + ".min", ReadFileBytes(base + ".min"));
  if (model.withClosure) {
    WriteLines(base + ".cls", model.closure);
  }
  return modelFile;
}

bool ModelFixture::LoadNew(const std::string& modelFile) {
  if (!setUp->FindModelFiles(modelFile)) {
    return false;
  }
  setUp->Model.ModelFile = modelFile;
  setUp->Model.ModelIsExe = ExtractFileExt(modelFile) == ".exe";
  setUp->Model.SolverProgram = modelFile;
  setUp->ProcessModel(true);
  return true;
}

std::vector<std::string> FileLinesOf(const std::string& path) {
  std::vector<std::string> lines;
  ReadLines(path, lines);
  return lines;
}

} // namespace pelorin::test
