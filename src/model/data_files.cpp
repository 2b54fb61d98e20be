// The input data file lines of the Model/Data page and the output file lines of the Output files page.

#include "model/file_lines.h"
#include "model/model_set_up.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "shell/app_state.h"

#include <filesystem>

namespace pelorin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSolutionLabel = "Solution file = ";

// Names the program makes are stored lower-cased; the folder of a chosen file is kept as it is, since on a
// case-sensitive file system a lower-cased folder would be another folder.
std::string LowerCaseName(const std::string& path) {
  return ExtractFilePath(path) + LowerCase(ExtractFileName(path));
}

} // namespace

std::string ModelSetUp::SaveDialog(FileDialogRequest request) {
  if (request.initialDir.empty()) {
    request.initialDir = app_.LastSaveDir;
  }
  const auto chosen = ui_.SaveFileDialog(request);
  if (!chosen || chosen->empty()) {
    return {};
  }
  const std::string folder = WithoutTrailingSeparator(ExtractFilePath(*chosen));
  if (!folder.empty()) {
    app_.LastSaveDir = folder;
  }
  return *chosen;
}

bool ModelSetUp::AreInputDataFilesSelected(bool quiet) {
  bool result = true;
  // A blank line names no file and is no logical file of the model: it is dropped, never taken for a file
  // still to choose.
  DataPage.InputLines = WithoutBlankLines(std::move(DataPage.InputLines));
  // The list may be re-checked from inside (choosing a file re-checks everything), so walk it by index.
  for (std::size_t i = 0; i < DataPage.InputLines.size(); ++i) {
    std::string label;
    std::string file;
    SplitFileLine(DataPage.InputLines[i], label, file);
    if (label.empty()) {
      // Not a file line at all; it is left as the user loaded it, and the prompting check says which it is,
      // since otherwise Solve would only say that files are missing.
      result = false;
      if (!quiet) {
        ui_.Message(MessageKind::Error,
                    "Line " + std::to_string(i + 1) +
                        " of the input data files has no \"=\", so it names no file:\r\n" +
                        DataPage.InputLines[i]);
      }
      continue;
    }
    if (file == "??") {
      result = false;
      continue;
    }
    if (IsFile(file)) {
      continue;
    }
    DataPage.InputLines[i] = label + "?? ;";
    if (quiet) {
      result = false;
      continue;
    }
    const std::string question = "The file " + file + "\r\n (associated with logical file " +
                                 InputLogicalName(label) + ") no longer exists.\r\n" +
                                 "Do you wish to specify this file again?";
    if (ui_.Message(MessageKind::Confirmation, question, MessageButtons::YesNo) == MessageAnswer::Yes) {
      if (!OrigDataFilesCMFListBoxChange(static_cast<int>(i))) {
        result = false;
      }
    } else {
      result = false;
    }
  }
  DataPage.SaveAsEnabled = result;
  return result;
}

bool ModelSetUp::OrigDataFilesCMFListBoxChange(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= DataPage.InputLines.size()) {
    return false;
  }
  FileDialogRequest request;
  request.fileName = "*.har;*.dat";
  request.initialDir = Model.ModelDir;
  request.filter = "HA Files (*.HAR,*.DAT)|*.HAR;*.DAT|All Files|*.*";
  request.title = "Data File ";
  const auto chosen = ui_.OpenFileDialog(request);
  if (!chosen || chosen->empty()) {
    return false;
  }
  Model.DataFilesChanged = true;
  if (Hooks.clearSviInfo) {
    Hooks.clearSviInfo();
  }
  std::string& line = DataPage.InputLines[static_cast<std::size_t>(index)];
  std::string label;
  std::string file;
  SplitFileLine(line, label, file);
  std::string type;
  std::string description;
  DescribeLogicalFile(Model.ModelInfoFile, InputLogicalName(line), type, description);
  line = label + QuoteIfNeeded(*chosen) + " ; ! " + description;
  AreInputDataFilesSelected(false);
  return true;
}

void ModelSetUp::OrigDataFilesCMFListBoxMouseDown(int index) {
  Popup = DataFilesPopup();
  if (index < 0 || static_cast<std::size_t>(index) >= DataPage.InputLines.size()) {
    return;
  }
  DataPage.SelectedLine = index;
  Popup.SelectVisible = app_.DeveloperMode;
  const std::string file = LineFile(DataPage.InputLines[static_cast<std::size_t>(index)]);
  Popup.ViewEnabled = !file.empty() && file.front() != '?' && IsFile(file);
}

void ModelSetUp::SelectFileName1Click() {
  OrigDataFilesCMFListBoxChange(DataPage.SelectedLine);
}

void ModelSetUp::ViewThisFile1Click() {
  if (DataPage.SelectedLine < 0 ||
      static_cast<std::size_t>(DataPage.SelectedLine) >= DataPage.InputLines.size()) {
    return;
  }
  const std::string& line = DataPage.InputLines[static_cast<std::size_t>(DataPage.SelectedLine)];
  const std::string name = InputLogicalName(line);
  std::string type;
  std::string description;
  DescribeLogicalFile(Model.ModelInfoFile, name, type, description);
  const std::string file = LineFile(line);
  if (SameText(type, "HAR")) {
    StartLumarix(file);
  } else if (SameText(type, "TXT")) {
    ViewTextFile(file, "File with logical name " + name, true);
  } else {
    ui_.Message(MessageKind::Information, "Sorry, cannot show you this file.");
  }
}

void ModelSetUp::TellMeMore1Click() {
  if (DataPage.SelectedLine < 0 ||
      static_cast<std::size_t>(DataPage.SelectedLine) >= DataPage.InputLines.size()) {
    return;
  }
  const std::string name =
      InputLogicalName(DataPage.InputLines[static_cast<std::size_t>(DataPage.SelectedLine)]);
  std::string type;
  std::string description;
  DescribeLogicalFile(Model.ModelInfoFile, name, type, description);
  ui_.Message(MessageKind::Information, "This is a " +
                                            std::string(SameText(type, "TXT") ? "text" : "Header Array") +
                                            " file described as" + "\r\n\"" + description +
                                            "\"\r\nTo see what is read from this file, search for \"" + name +
                                            "\" in the main MERKA file.");
}

void ModelSetUp::SaveDataFilesButtonClick() {
  if (!AreInputDataFilesSelected(true)) {
    ui_.Message(MessageKind::Error, "Please specify names for all files first.");
    return;
  }
  FileDialogRequest request;
  if (FindPathIgnoringCase(ChangeFileExt(Model.ModelFile, ".MDF"))) {
    request.initialDir = Model.OutputDir;
    request.fileName = "*.MDF";
  } else {
    request.initialDir = Model.ModelDir;
    request.fileName = Model.ModelStem + ".MDF";
  }
  request.filter = "Model data files|*.MDF";
  request.title = "Save Data File Names";
  request.defaultExt = "MDF";
  request.confirmOverwrite = true;
  const std::string file = SaveDialog(request);
  if (file.empty()) {
    return;
  }
  if (!WriteLines(file, DataPage.InputLines)) {
    ui_.Message(MessageKind::Error, "Cannot create file " + file);
  }
}

void ModelSetUp::LoadDataFilesButtonClick() {
  FileDialogRequest request;
  request.fileName = "*.mdf";
  request.initialDir = Model.ModelDir;
  request.filter = "Model Data files|*.mdf";
  request.title = "Model Data File ";
  const auto chosen = ui_.OpenFileDialog(request);
  if (!chosen || chosen->empty()) {
    return;
  }
  std::vector<std::string> lines;
  if (!ReadLines(*chosen, lines)) {
    ui_.Message(MessageKind::Error, "Cannot open file " + *chosen);
    return;
  }
  DataPage.InputLines = WithoutBlankLines(std::move(lines));
  Model.DataFilesChanged = true;
  if (Hooks.clearSviInfo) {
    Hooks.clearSviInfo();
  }
}

void ModelSetUp::OutputFilesListBoxChange(int index) {
  std::vector<std::string>& lines = OutputPage.OutputLines;
  if (index < 0 || static_cast<std::size_t>(index) >= lines.size()) {
    return;
  }
  const std::size_t i = static_cast<std::size_t>(index);
  const std::string oldSolution = LineFile(lines.front());
  std::string label;
  std::string current;
  SplitFileLine(lines[i], label, current);
  const bool solutionLine = label == kSolutionLabel;

  FileDialogRequest request;
  request.fileName = solutionLine ? "*.sl4" : "*.*";
  request.filter = solutionLine ? "Solution Files|*.sl4" : "All Files|*.*";
  const std::string currentFolder = WithoutTrailingSeparator(ExtractFilePath(current));
  request.initialDir = currentFolder.empty() ? Model.OutputDir : currentFolder;
  request.title = "Output File ";
  request.confirmOverwrite = true; // the next solve writes over it
  std::string chosen = SaveDialog(request);
  if (chosen.empty()) {
    return;
  }
  Model.OutputNamesChanged = true;
  if (solutionLine) {
    chosen = ChangeFileExt(chosen, "");
  }
  if (SameText(WithoutTrailingSeparator(ExtractFilePath(chosen)),
               WithoutTrailingSeparator(Model.OutputDir))) {
    chosen = ExtractFileName(chosen);
  }
  if (OutputNameConflicts(lines, i, chosen)) {
    ui_.Message(
        MessageKind::Information,
        "Sorry, cannot make this change since it would lead to a conflict with other output file names.");
    return;
  }
  lines[i] = label + QuoteIfNeeded(LowerCaseName(chosen)) + " ;";
  if (!solutionLine) {
    return;
  }
  int updated = 0;
  for (std::size_t j = 0; j < lines.size(); ++j) {
    if (j == i) {
      continue;
    }
    std::string otherLabel;
    std::string otherFile;
    SplitFileLine(lines[j], otherLabel, otherFile);
    if (IsUpdatedLine(lines[j])) {
      const std::string name = UpdatedName(++updated, otherFile, oldSolution, chosen, ui_);
      if (name != otherFile && !OutputNameConflicts(lines, j, name)) {
        lines[j] = otherLabel + QuoteIfNeeded(LowerCaseName(name)) + " ;";
      }
    } else if (!otherLabel.empty() && SameText(ChangeFileExt(otherFile, ""), oldSolution)) {
      lines[j] = otherLabel + QuoteIfNeeded(LowerCaseName(chosen + ExtractFileExt(otherFile))) + " ;";
    }
  }
  SetPostSimNames(LowerCaseName(chosen));
}

void ModelSetUp::SetPostSimNames(const std::string& solutionName) {
  OutputPage.PostSimName = PostSimNameFor(solutionName);
}

void ModelSetUp::ChangeOutputDirButtonClick() {
  FileDialogRequest request;
  request.title = "Default Output Directory";
  request.initialDir = Model.OutputDir;
  const auto chosen = ui_.FolderDialog(request);
  if (chosen && !chosen->empty()) {
    SetOutputDir(WithoutTrailingSeparator(*chosen));
  }
}

void ModelSetUp::CreateDefaultListFiles(DefaultListFiles which) {
  if (Model.ModelFile.empty()) {
    return;
  }
  const int bits = static_cast<int>(which);
  struct Default {
    int bit;
    const char* ext;
    const char* what;
  };
  static constexpr Default kDefaults[] = {{1, ".mdf", "Created default Model Data Files file "},
                                          {2, ".cls", "Created default Model Closure file "}};
  for (const Default& d : kDefaults) {
    // Any case of the extension counts as present; a new file gets a lower-case one like the rest of the
    // model folder.
    const std::string path = ChangeFileExt(Model.ModelFile, d.ext);
    if ((bits & d.bit) == 0 || FindPathIgnoringCase(path)) {
      continue;
    }
    std::vector<std::string> lines;
    if (d.bit == 1) {
      lines = DataPage.InputLines;
    } else if (Hooks.closureLines) {
      lines = Hooks.closureLines();
    }
    if (WriteLines(path, lines)) {
      ui_.Message(MessageKind::Information, d.what + path);
    } else {
      ui_.Message(MessageKind::Error, "Cannot create file " + path);
    }
  }
}

} // namespace pelorin
