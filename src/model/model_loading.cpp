// Choosing, checking, loading and forgetting the model.

#include "model/file_lines.h"
#include "model/model_set_up.h"
#include "modelinfo/model_info_reader.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "shell/app_state.h"
#include "shell/companion_programs.h"
#include "shell/fatal.h"
#include "shell/settings.h"
#include "summaries/time_date_stamp.h"

#include <filesystem>
#include <span>
#include <unordered_map>

namespace pelorin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kNoChange = "\r\nNo change made.";
constexpr const char* kSolutionLabel = "Solution file = ";

bool FolderExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

// The companion of a model file with another extension, found ignoring case; the name as it would be written
// (extension as given) when there is none.
std::string Companion(const std::string& modelFile, const char* ext, bool& found) {
  const std::string wanted = ChangeFileExt(modelFile, ext);
  const auto existing = FindPathIgnoringCase(wanted);
  found = existing.has_value();
  return found ? *existing : wanted;
}

} // namespace

ModelSetUp::ModelSetUp(AppState& app, UserInterface& ui, SolInfoRec& modelInfo)
    : app_(app), ui_(ui), modelInfo_(modelInfo) {
  Model.ModelDir = app_.ProgramDir;
  Model.OutputDir = app_.ProgramDir;
}

bool ModelSetUp::StampsAgree(const std::string& infoFile, const std::string& auxFile) {
  bool same = false;
  ErrorText err;
  // An unreadable file refuses the model without a message; differing stamps were reported by the comparison.
  return MinAxtCompatible(infoFile, auxFile, 0, false, ui_, same, err) && same;
}

void ModelSetUp::ChangeModelButtonClick() {
  const std::string dravex = FindProgram("DRAVEX", app_.ProgramDir);
  FileDialogRequest request;
  request.title = "Select Model";
  request.initialDir = Model.ModelDir.empty() ? app_.ProgramDir : Model.ModelDir;
  if (IsFile(Model.ModelFile)) {
    request.fileName = Model.ModelFile;
  }
  request.filter =
      !dravex.empty() ? "Model Files (*.EXE,*.GSS)|*.exe;*.gss" : "Model EXE Files (*.EXE)|*.exe";
  const auto chosen = ui_.OpenFileDialog(request);
  if (!chosen) {
    return;
  }
  const std::string file = *chosen;
  const bool isExe = LowerCase(ExtractFileExt(file)) == ".exe";
  if (!isExe && LowerCase(ExtractFileExt(file)) == ".gss" && dravex.empty()) {
    // A typed-in ".gss" name gets past the filter; without DRAVEX such a model cannot be solved.
    ui_.Message(MessageKind::Information,
                "DRAVEX is not available\r\n" + std::string(kProgramPlace) + kNoChange);
    return;
  }
  if (!FindModelFiles(file)) {
    return;
  }
  Model.ModelFile = file;
  Model.ModelIsExe = isExe;
  Model.SolverProgram = isExe ? file : dravex;
  Model.ModelGpVer = 0;
  ProcessModel(true);
}

bool ModelSetUp::FindModelFiles(const std::string& modelFile) {
  const std::string ext = LowerCase(ExtractFileExt(modelFile));
  if (ext != ".exe" && ext != ".gss") {
    ui_.Message(MessageKind::Information, "File must have extension .EXE or .GSS");
    return false;
  }
  struct Required {
    const char* kind;
    const char* ext;
  };
  static constexpr Required kExe[] = {
      {"AXS file ", ".axs"}, {"AXT file ", ".axt"}, {"Model Information File ", ".min"}};
  static constexpr Required kGss[] = {{"GST file ", ".gst"}, {"Model Information File ", ".min"}};
  const bool isExe = ext == ".exe";
  std::string infoFile;
  std::string auxFile;
  for (const Required& r : isExe ? std::span<const Required>(kExe) : std::span<const Required>(kGss)) {
    bool found = false;
    const std::string path = Companion(modelFile, r.ext, found);
    if (!found) {
      ui_.Message(MessageKind::Information, r.kind + UpperCase(path) + " does not exist." + kNoChange);
      return false;
    }
    (std::string_view(r.ext) == ".min" ? infoFile : auxFile) = path;
  }
  if (!StampsAgree(infoFile, auxFile)) {
    return false;
  }
  FileSection section;
  if (!ReadFileSection(infoFile, section)) {
    return false;
  }
  bool postSimPossible = true;
  for (const FileSection::Entry& entry : section.Entries) {
    const FileDescLine d = ParseFileDescLine(entry.Line);
    if (d.Is("(terminal)") && d.Updated) {
      postSimPossible = false;
    } else if (d.Is("(solution)") && !d.Updated) {
      ui_.Message(MessageKind::Information, "It is not possible to carry out simulations with this model.\r\n"
                                            "Such models cannot be used with Orvane.\r\nNo change made.");
      return false;
    } else if (!d.FixedName.empty()) {
      ui_.Message(
          MessageKind::Information,
          "In this model, the name of the data file corresponding \r\n to logical name " + d.LogicalName +
              "\r\n is hard-wired in the MRK file as \r\n" + d.FixedName +
              "\r\nAt present models where actual file names are hard-wired cannot be used with Orvane." +
              kNoChange);
      return false;
    }
  }
  Model.PostSimPossible = postSimPossible;
  return true;
}

bool ModelSetUp::ReadModelInformation() {
  ErrorText err;
  if (!ReadModelInfo(Model.ModelInfoFile, err, modelInfo_) ||
      !AddMinInfoToSolInfo(Model.ModelInfoFile, modelInfo_, err)) {
    ProgramError(ui_, Exit, err);
    return false;
  }
  return true;
}

void ModelSetUp::ProcessModel(bool newModel) {
  if (Model.ModelFile.empty()) {
    return;
  }
  if (!IsFile(Model.ModelFile)) {
    ClearModel();
    return;
  }
  Model.ModelDir = FolderOfPath(Model.ModelFile);
  Model.ModelStem = ChangeFileExt(ExtractFileName(Model.ModelFile), "");
  Model.ModelIsExe = LowerCase(ExtractFileExt(Model.ModelFile)) == ".exe";
  DataPage.ModelLabel = "Model: " + Model.ModelFile;
  bool found = false;
  Model.ModelInfoFile = Companion(Model.ModelFile, ".MIN", found);
  if (!found) {
    ui_.Message(MessageKind::Information, "Model Info file " + Model.ModelInfoFile + " does not exist.");
    return;
  }
  const std::string auxFile = Companion(Model.ModelFile, Model.ModelIsExe ? ".axt" : ".gst", found);
  if (!StampsAgree(Model.ModelInfoFile, auxFile)) {
    return;
  }

  Model.MainMrkFile.clear();
  Model.MrkStiFile.clear();
  Model.StiUsed = false;
  Model.FileLines.clear();
  FileSection section;
  ReadFileSection(Model.ModelInfoFile, section);
  for (const FileSection::Entry& entry : section.Entries) {
    std::string first12 = LowerCase(std::string_view(entry.Line).substr(0, 12));
    first12.resize(12, ' ');
    if (first12 != "(solution)  " && first12 != "(equations) ") {
      Model.FileLines.push_back(entry.Line);
    }
  }
  if (section.HasMrkFile) {
    Model.MainMrkFile = ResolveRelative(Model.ModelDir, section.MrkFile);
    if (const auto existing = FindPathIgnoringCase(Model.MainMrkFile)) {
      Model.MainMrkFile = *existing;
    }
  }
  Model.StiUsed = section.HasStiFile && section.StiFile != "%none";

  if (newModel) {
    SetOutputDir(Model.ModelDir);
    LastSolve.SolutionFile = JoinPath(Model.OutputDir, "sim1.sl4");
    Model.SviFile.clear();
    BuildDefaultLists(section);
    const std::string closureFile = Companion(Model.ModelFile, ".CLS", found);
    if (!found) {
      ui_.Message(MessageKind::Warning, "Default model closure file " + closureFile + " is missing.");
      if (Hooks.clearClosure) {
        Hooks.clearClosure();
      }
    }
    if (!ReadModelInformation()) {
      return;
    }
    if (found && Hooks.processClosureFile) {
      Hooks.processClosureFile(closureFile);
    }
    if (Hooks.resetSimulation) {
      Hooks.resetSimulation(true);
    }
    app_.ResultsOutdated = true;
    app_.Solved = false;
    app_.SolutionPresent = false;
    LastSolve.AccuracySummaryMade = false;
  } else if (!Model.SviFile.empty() && Hooks.processClosureInfoFile) {
    Hooks.processClosureInfoFile(Model.SviFile);
  } else if (!ReadModelInformation()) {
    return;
  }

  if (Hooks.setCaption) {
    Hooks.setCaption(app_.Title + " - " + Model.ModelStem);
  }
  RebuildViewMenus();
  ShowPostSimRequest(newModel);
}

void ModelSetUp::BuildDefaultLists(const FileSection& section) {
  DataPage.InputLines.clear();
  OutputPage.OutputLines.clear();
  OutputPage.OutputLines.push_back(std::string(kSolutionLabel) + "sim1 ;");
  // A logical file's description is that of the first line with its name (as DescribeLogicalFile finds it).
  std::unordered_map<std::string, const std::string*> descriptions;
  for (const FileSection::Entry& entry : section.Entries) {
    descriptions.emplace(UpperCase(ParseFileDescLine(entry.Line).LogicalName), &entry.Description);
  }
  int updated = 0;
  int outputs = 0;
  for (const std::string& line : Model.FileLines) {
    const FileDescLine d = ParseFileDescLine(line);
    if (d.Direction == "in") {
      const auto found = descriptions.find(UpperCase(d.LogicalName));
      const std::string description = found == descriptions.end() ? std::string() : *found->second;
      DataPage.InputLines.push_back("File " + d.LogicalName + " = ?? ; ! " + description);
      if (d.Updated) {
        const std::string name = "sim1" + UpdatedSuffix(++updated, ui_) + ".upd";
        OutputPage.OutputLines.push_back(d.Is("(terminal)")
                                             ? "Updated terminal data = " + name + " ;"
                                             : "Updated file " + d.LogicalName + " = " + name + " ;");
      }
    } else if (d.Direction == "out") {
      if (d.Is("(display)")) {
        if (d.Updated) {
          OutputPage.OutputLines.push_back("Display file = sim1.dis ;");
        }
      } else {
        OutputPage.OutputLines.push_back("File " + d.LogicalName + " = " + OutFileName("sim1", ++outputs) +
                                         " ;");
      }
    }
  }
  bool found = false;
  const std::string dataList = Companion(Model.ModelFile, ".MDF", found);
  std::vector<std::string> lines;
  if (found && ReadLines(dataList, lines)) {
    DataPage.InputLines = WithoutBlankLines(std::move(lines));
  }
}

void ModelSetUp::ShowPostSimRequest(bool newModel) {
  const bool requested = PostSimRequested();
  OutputPage.PostSimVisible = requested;
  if (requested && !OutputPage.OutputLines.empty()) {
    SetPostSimNames(LineFile(OutputPage.OutputLines.front()));
  }
  if (newModel && !Model.PostSimPossible) {
    ui_.Message(MessageKind::Information, "In this model, data read from the terminal is updated.\r\n"
                                          "A post-simulation job will not be run after each simulation.");
  }
}

void ModelSetUp::SetOutputDir(const std::string& folder) {
  Model.OutputDir = folder;
  OutputPage.OutputDirLabel = UpperCase(folder);
}

void ModelSetUp::ClearModel() {
  Model.ModelFile.clear();
  Model.ModelStem.clear();
  Model.ModelDir = app_.ProgramDir;
  Model.ModelIsExe = false;
  Model.SolverProgram.clear();
  Model.ModelInfoFile.clear();
  Model.MainMrkFile.clear();
  Model.MrkStiFile.clear();
  Model.StiUsed = false;
  Model.SviFile.clear();
  Model.FileLines.clear();
  DataPage.ModelLabel.clear();
  DataPage.InputLines.clear();
  DataPage.SelectedLine = -1;
  OutputPage.OutputLines.clear();
  if (Hooks.clearClosure) {
    Hooks.clearClosure();
  }
  if (Hooks.resetSimulation) {
    Hooks.resetSimulation(false);
  }
  SetOutputDir(app_.ProgramDir);
  if (Hooks.setCaption) {
    Hooks.setCaption(app_.Title);
  }
  RebuildViewMenus();
  OutputPage.PostSimVisible = false;
}

void ModelSetUp::ApplySettings(const IniOptions& options) {
  TextEditor = options.textEditor;
  if (!options.model.empty()) {
    Model.ModelFile = options.model;
    Model.ModelIsExe = LowerCase(ExtractFileExt(options.model)) == ".exe";
    Model.SolverProgram = Model.ModelIsExe ? options.model : FindProgram("DRAVEX", app_.ProgramDir);
    Model.ModelStem = options.modelName;
    DataPage.ModelLabel = "Model: " + options.model;
    Model.ModelDir = FolderOfPath(options.model);
    Model.ModelGpVer = options.modelGpVer;
  } else {
    Model.ModelFile.clear();
    Model.ModelDir.clear();
    Model.ModelStem.clear();
    Model.MainMrkFile.clear();
    Model.MrkStiFile.clear();
    Model.ModelInfoFile.clear();
  }
  // The catalogue put the output folder below the model's home; a folder that has gone falls back.
  std::string outputDir = JoinPath(app_.ModelHomeDir, "OutPut");
  if (outputDir != app_.ProgramDir && !FolderExists(outputDir)) {
    outputDir = Model.ModelFile.empty() ? app_.ProgramDir : Model.ModelDir;
  }
  SetOutputDir(outputDir);
  OutputPage.PostSimName = options.postSimNames;
  Model.SviFile = Model.ModelFile.empty() ? std::string() : options.sviFile;
  // An empty list is stored as one empty line; it reads back as no line.
  auto list = [](const std::vector<std::string>& lines) {
    return lines.size() == 1 && Trim(lines.front()).empty() ? std::vector<std::string>() : lines;
  };
  DataPage.InputLines = Model.ModelFile.empty() ? std::vector<std::string>() : list(options.inputFiles);
  OutputPage.OutputLines = Model.ModelFile.empty() ? std::vector<std::string>() : list(options.outputFiles);
  // Line 0 is always the solution line; a hand-edited file without one gets the default back.
  if (!Model.ModelFile.empty()) {
    std::string label;
    std::string file;
    if (!OutputPage.OutputLines.empty()) {
      SplitFileLine(OutputPage.OutputLines.front(), label, file);
    }
    if (label != kSolutionLabel) {
      OutputPage.OutputLines.insert(OutputPage.OutputLines.begin(), std::string(kSolutionLabel) + "sim1 ;");
    }
  }
}

void ModelSetUp::StoreSettings(IniOptions& options) const {
  options.textEditor = TextEditor;
  options.model = Model.ModelFile;
  options.modelName = Model.ModelStem;
  options.merkaFile = Model.MainMrkFile;
  options.outputDirectory = Model.OutputDir;
  options.postSimNames = OutputPage.PostSimName;
  options.sviFile = Model.SviFile;
  options.modelGpVer = Model.ModelGpVer;
  options.inputFiles = DataPage.InputLines;
  options.outputFiles = OutputPage.OutputLines;
}

} // namespace pelorin
