#include "sim_fixture.h"

#include "model/file_lines.h"
#include "modelinfo/model_info_reader.h"
#include "platform/paths.h"
#include "platform/strings.h"

#include <filesystem>

namespace pelorin::test {

namespace {

TFileRec File(std::string name, std::string direction, bool updated, std::string type,
              std::string description) {
  TFileRec file;
  file.logicalName = std::move(name);
  file.direction = std::move(direction);
  file.updated = updated;
  file.fileType = std::move(type);
  file.description = std::move(description);
  return file;
}

VariableDescription Variable(std::string name, int size, std::vector<int> args, char exoStat, char vcTp,
                             char vcStat, std::string description,
                             std::vector<std::pair<int, int>> ranges = {}) {
  VariableDescription var;
  var.name = std::move(name);
  var.size = size;
  var.argSets = std::move(args);
  var.exoStat = exoStat;
  var.exogenousRanges = std::move(ranges);
  var.vcTp = vcTp;
  var.vcStat = vcStat;
  var.description = std::move(description);
  return var;
}

} // namespace

ModelInfoDescription TradeModelInfo() {
  ModelInfoDescription d;
  d.files = {
      File("BASEDATA", "in", true, "har", "Base data"), File("PARAM", "in", false, "har", "Parameters"),
      File("(terminal)", "in", false, "txt", ""),       File("(display)", "out", true, "txt", ""),
      File("SUMMARY", "out", false, "har", "Summary"),  File("TRADE", "out", false, "har", "Trade flows")};
  d.mrkFile = "trade.mrk";
  d.stiFile = "%none";
  d.tmDate = "2026-12-09 10:00:00";
  d.sets = {{"COM", "Commodities", 3, {"food", "mnfcs", "svces"}},
            {"SUBCOM", "Traded commodities", 2, {"food", "mnfcs"}},
            {"REG", "Regions", 3, {"usa", "eu", "row"}},
            {"TIME", "Years", -1, {}}};
  d.subsets = {{2, 1}};
  d.variables = {Variable("pop", 1, {}, 'X', 'p', 'c', "Population"),
                 Variable("p_x", 9, {1, 3}, 'x', 'p', 'c', "Export prices", {{1, 3}, {5, 5}}),
                 Variable("qo", 9, {1, 3}, 'N', 'p', 'b', "Output"),
                 Variable("tf", 81, {1, 3, 3, 1}, 'X', 'p', 'c', "Four-way tax"),
                 Variable("kt", -1, {4}, '?', 'c', 'c', "Capital by year"),
                 Variable("del_tbal", 1, {}, 'N', 'c', 'b', "Trade balance")};
  d.descriptionLines = {"A small trade model"};
  d.kvVer = 11;
  d.prVer = 3;
  return d;
}

ModelInfoDescription MinimalModelInfo() {
  ModelInfoDescription d;
  d.files = {File("BASEDATA", "in", false, "har", "Base data")};
  d.mrkFile = "minimal.mrk";
  d.stiFile = "%none";
  d.tmDate = "2026-12-09 10:00:00";
  d.sets = {{"IND", "Industries", 2, {"a", "b"}}};
  d.variables = {Variable("x", 2, {1}, 'N', 'p', 'b', "Activity"),
                 Variable("pop", 1, {}, 'X', 'p', 'c', "Population"),
                 Variable("y", 2, {1}, 'X', 'p', 'c', "Productivity")};
  return d;
}

SimFixture::SimFixture() {
  programDir = dir.File("prog");
  workDir = JoinPath(programDir, "work");
  std::filesystem::create_directories(workDir);
  app.ProgramDir = programDir;
  app.WorkDir = workDir;
  model = std::make_unique<ModelSetUp>(app, ui, info);
  sim = std::make_unique<SimulationPages>(app, *model, info, ui);
  sim->Context.hooks.showPage = [this](int page) { pages.push_back(page); };
  sim->Context.hooks.startClosureCheck = [this] { ++closureChecks; };
  sim->Context.hooks.startSolve = [this] { ++solves; };
  sim->Context.exit = [this](int code) { exits.push_back(code); };
  sim->ConnectModelHooks(model->Hooks);
}

std::vector<std::string> SimFixture::FileLinesOf(const std::string& minFile) {
  FileSection section;
  ReadFileSection(minFile, section);
  std::vector<std::string> lines;
  for (const FileSection::Entry& entry : section.Entries) {
    const FileDescLine file = ParseFileDescLine(entry.Line);
    if (!file.Is("(solution)") && !file.Is("(equations)")) {
      lines.push_back(entry.Line);
    }
  }
  return lines;
}

std::string SimFixture::WriteText(const std::string& path, const std::vector<std::string>& lines) const {
  WriteLines(path, lines);
  return path;
}

std::vector<std::string> SimFixture::Lines(const std::string& path) {
  std::vector<std::string> lines;
  ReadLines(path, lines);
  return lines;
}

void SimFixture::InstallModel(const std::string& stem, const ModelInfoDescription& description) {
  modelDir = InstallTestModel(programDir, stem, description, app, *model, info);
}

std::string InstallTestModel(const std::string& programDir, const std::string& stem,
                             const ModelInfoDescription& description, AppState& app, ModelSetUp& setUp,
                             SolInfoRec& info) {
  const std::string modelDir = JoinPath(programDir, stem);
  std::filesystem::create_directories(modelDir);
  app.ModelName = stem;
  app.ModelHomeDir = modelDir;
  app.KeepDir = modelDir;
  const std::string minFile = JoinPath(modelDir, stem + ".min");
  ErrorText errorText;
  EXPECT_TRUE(WriteModelInfo(minFile, description, errorText)) << errorText;
  const std::string modelFile = JoinPath(modelDir, stem + ".exe");
  for (const char* ext : {".exe", ".axs", ".axt"}) {
    WriteLines(ChangeFileExt(modelFile, ext), {});
  }

  ModelState& state = setUp.Model;
  state.ModelFile = modelFile;
  state.ModelDir = modelDir;
  state.ModelStem = stem;
  state.ModelIsExe = true;
  state.SolverProgram = modelFile;
  state.ModelInfoFile = minFile;
  state.OutputDir = modelDir;
  state.FileLines = SimFixture::FileLinesOf(minFile);

  std::vector<std::string>& inputs = setUp.DataPage.InputLines;
  std::vector<std::string>& outputs = setUp.OutputPage.OutputLines;
  inputs.clear();
  outputs = {"Solution file = sim1 ;"};
  int updated = 0;
  int out = 0;
  for (const TFileRec& file : description.files) {
    if (file.direction == "in") {
      const bool terminal = file.logicalName == "(terminal)";
      const std::string data =
          JoinPath(modelDir, terminal ? "terminal.txt" : LowerCase(file.logicalName) + ".har");
      WriteLines(data, {"1.5", "2.5"});
      inputs.push_back("File " + file.logicalName + " = " + data + " ;" +
                       (file.description.empty() ? "" : " ! " + file.description));
      if (file.updated) {
        ++updated;
        outputs.push_back("Updated file " + file.logicalName + " = sim1" +
                          (updated == 1 ? "" : std::string(1, static_cast<char>('a' + updated - 2))) +
                          ".upd ;");
      }
    } else if (file.logicalName == "(display)") {
      if (file.updated) {
        outputs.emplace_back("Display file = sim1.dis ;");
      }
    } else {
      outputs.push_back("File " + file.logicalName + " = sim1" + OutFileExt(++out) + " ;");
    }
  }
  setUp.OutputPage.PostSimName = "sim1ps";
  setUp.OutputPage.PostSimVisible = out > 0;

  EXPECT_TRUE(ReadModelInfo(minFile, errorText, info)) << errorText;
  EXPECT_TRUE(AddMinInfoToSolInfo(minFile, info, errorText)) << errorText;
  return modelDir;
}

} // namespace pelorin::test
