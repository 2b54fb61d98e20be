// The View menu: its sub-menus built from the model's file list, the enabled state of its entries, and what
// each entry shows.

#include "datafiles/record_file.h"
#include "model/file_lines.h"
#include "model/model_set_up.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "shell/app_state.h"

#include <filesystem>

namespace pelorin {

namespace fs = std::filesystem;

namespace {

template <typename T> const T* At(const std::vector<T>& items, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < items.size()
             ? &items[static_cast<std::size_t>(index)]
             : nullptr;
}

} // namespace

void ModelSetUp::RebuildViewMenus() {
  ViewMenu.InputData.Items.clear();
  ViewMenu.UpdatedData.Items.clear();
  ViewMenu.OutputsPreSim.Items.clear();
  ViewMenu.OutputsPostSim.Items.clear();
  int outputs = 0;
  for (const std::string& line : Model.FileLines) {
    const FileDescLine d = ParseFileDescLine(line);
    if (d.Direction == "in") {
      ViewMenu.InputData.Items.push_back({"Original " + d.LogicalName, d.LogicalName, d.Type()});
      if (d.Updated) {
        ViewMenu.UpdatedData.Items.push_back({"Updated " + d.LogicalName, d.LogicalName, d.Type()});
      }
    } else if (d.Direction == "out") {
      const bool display = d.Is("(display)");
      if (display && !d.Updated) {
        continue;
      }
      ViewMenuItem item;
      item.LogicalName = d.LogicalName;
      item.FileType = display ? "txt" : d.Type();
      item.Display = display;
      item.OutIndex = display ? 0 : ++outputs;
      item.Caption = display ? "Display file (Presim)" : d.LogicalName + " (Presim)";
      ViewMenu.OutputsPreSim.Items.push_back(item);
    }
  }
  for (ViewMenuItem item : ViewMenu.OutputsPreSim.Items) {
    item.Caption = item.Caption.substr(0, item.Caption.rfind('(')) + "(Postsim)";
    ViewMenu.OutputsPostSim.Items.push_back(item);
  }
  if (!ViewMenu.OutputsPreSim.Items.empty()) {
    ViewMenuItem log;
    log.Caption = "Post Sim Log file";
    log.Log = true;
    log.FileType = "txt";
    ViewMenu.OutputsPostSim.Items.push_back(log);
  }
}

void ModelSetUp::ViewData1Click() {
  const bool present = app_.SolutionPresent;
  ViewMenu.InputData.Enabled = !ViewMenu.InputData.Items.empty() && AreInputDataFilesSelected(true);
  const bool outputsCurrent = present && !Model.OutputNamesChanged;
  ViewMenu.UpdatedData.Enabled = outputsCurrent && !ViewMenu.UpdatedData.Items.empty();
  ViewMenu.OutputsPreSim.Enabled = outputsCurrent && !ViewMenu.OutputsPreSim.Items.empty();
  ViewMenu.OutputsPostSim.Enabled = present && !ViewMenu.OutputsPostSim.Items.empty();
  ViewMenu.MainMrkFileEnabled = IsFile(Model.MainMrkFile);
  Model.MrkStiFile.clear();
  if (!Model.MainMrkFile.empty()) {
    const std::string sti = ChangeFileExt(Model.MainMrkFile, ".STI");
    Model.MrkStiFile = FindPathIgnoringCase(sti).value_or(sti);
  }
  ViewMenu.MrkStiFileEnabled = IsFile(Model.MrkStiFile);
  const bool xacWanted = Hooks.xacWanted && Hooks.xacWanted();
  ViewMenu.XacFileEnabled = present && xacWanted && IsFile(ChangeFileExt(LastSolve.SolutionFile, ".xac"));
  ViewMenu.LogFileEnabled = present;
  ViewMenu.AccuracySummaryEnabled = LastSolve.AccuracySummaryMade;
  ViewMenu.TelvariEnabled = ViewerFound("Telvari");
  ViewMenu.LumarixEnabled = ViewerFound("Lumarix");
  ViewMenu.BrisolentEnabled = present && !FindBrisolent(app_.ProgramDir, BrisolentFallbackDir).empty() &&
                              IsFile(ChangeFileExt(LastSolve.SolutionFile, ".slc"));
}

void ModelSetUp::ShowByType(const std::string& file, const std::string& type, const std::string& textTitle) {
  if (type == "har") {
    StartLumarix("#" + file);
  } else if (type == "txt") {
    ViewTextFile(file, textTitle, false);
  } else {
    ui_.Message(MessageKind::Information, "Sorry, cannot show you this file.");
  }
}

std::string ModelSetUp::OutputLineFile(const std::string& label) const {
  for (const std::string& line : OutputPage.OutputLines) {
    std::string lineLabel;
    std::string file;
    SplitFileLine(line, lineLabel, file);
    if (SameText(lineLabel, label)) {
      return file;
    }
  }
  return {};
}

void ModelSetUp::ViewInputDataItemClick(int item) {
  const ViewMenuItem* it = At(ViewMenu.InputData.Items, item);
  if (it == nullptr) {
    return;
  }
  if (Model.DataFilesChanged && app_.Solved) {
    ui_.Message(MessageKind::Information,
                "File shown is the one currently specified on the Model/Data page.\r\n"
                "(This may have changed since the last successful simulation.)");
  }
  const std::string* line = At(DataPage.InputLines, item);
  const std::string file = line == nullptr ? std::string("??") : LineFile(*line);
  if (file == "??" || file.empty()) {
    ui_.Message(MessageKind::Information, "File name not yet specified.");
    return;
  }
  ShowByType(file, it->FileType, "File" + it->LogicalName);
}

void ModelSetUp::ViewUpdatedDataItemClick(int item) {
  const ViewMenuItem* it = At(ViewMenu.UpdatedData.Items, item);
  if (it == nullptr) {
    return;
  }
  const std::string label = SameText(it->LogicalName, "(terminal)")
                                ? "Updated terminal data = "
                                : "Updated file " + it->LogicalName + " = ";
  const std::string file = OutputLineFile(label);
  if (file.empty()) {
    ui_.Message(MessageKind::Information, "File name not yet specified.");
    return;
  }
  // The updated data were written into the output folder of the last solve, which need not be today's.
  const std::string& folder = LastSolve.LastOutputDir.empty() ? Model.OutputDir : LastSolve.LastOutputDir;
  ShowByType(ResolveRelative(folder, file), it->FileType, "File" + it->LogicalName);
}

void ModelSetUp::ViewPreSimItemClick(int item) {
  const ViewMenuItem* it = At(ViewMenu.OutputsPreSim.Items, item);
  if (it == nullptr) {
    return;
  }
  const std::string file =
      OutputLineFile(it->Display ? "Display file = " : "File " + it->LogicalName + " = ");
  if (file.empty()) {
    ui_.Message(MessageKind::Information, "File name not yet specified.");
    return;
  }
  ShowByType(ResolveRelative(LastSolve.LastOutputDir, file), it->FileType, "File" + it->LogicalName);
}

void ModelSetUp::ViewPostSimItemClick(int item) {
  const ViewMenuItem* it = At(ViewMenu.OutputsPostSim.Items, item);
  if (it == nullptr) {
    return;
  }
  if (Model.OutputDir != LastSolve.LastPostSimDir || OutputPage.PostSimName != LastSolve.LastPostSimName) {
    ui_.Message(MessageKind::Information, "File shown relates to last post-simulation run,\r\n"
                                          "not to current settings on Output Files page.");
  }
  if (it->Log) {
    ViewTextFile(LastSolve.PostSimLog, "Post Sim Log File", false);
    return;
  }
  if (it->Display) {
    ViewTextFile(LastSolve.PostSimDisplayFile, "Post-sim display file", false);
    return;
  }
  ShowByType(ChangeFileExt(LastSolve.PostSimDisplayFile, OutFileExt(it->OutIndex)), it->FileType,
             "Post-sim file" + it->LogicalName);
}

void ModelSetUp::XACFile1Click() {
  ViewTextFile(LastSolve.XacFile, "XAC file", false);
}

void ModelSetUp::LogFile1Click() {
  ViewTextFile(LastSolve.LogCopy, "Log file", false);
}

void ModelSetUp::MainMERKAFile1Click() {
  ViewTextFile(Model.MainMrkFile, "Main MERKA file", false);
}

void ModelSetUp::MERKASTIFile1Click() {
  if (!Model.StiUsed) {
    ui_.Message(MessageKind::Information, "No STI file was used to run MERKA.");
    return;
  }
  ViewTextFile(Model.MrkStiFile, "Main Condensation file", false);
}

void ModelSetUp::LookAtCMFFileButtonClick() {
  ViewTextFile(LastSolve.CmfFile, "Simulation Command file", false);
}

void ModelSetUp::OtherTextFile1Click() {
  ViewAnyTextFile(Model.ModelDir);
}

void ModelSetUp::ViewTempDirTextFiles1Click() {
  ViewAnyTextFile(app_.WorkDir);
}

void ModelSetUp::ViewTempDirHARFiles1Click() {
  StartLumarix("%" + app_.WorkDir);
}

void ModelSetUp::OtherHeaderArrayFile1Click() {
  const std::string& folder = !Model.OutputDir.empty()  ? Model.OutputDir
                              : !Model.ModelDir.empty() ? Model.ModelDir
                                                        : app_.ProgramDir;
  StartLumarix("%" + folder);
}

void ModelSetUp::SolutionViaTelvari1Click() {
  StartTelvari(app_.SolutionPresent ? LastSolve.SolutionFile : "%" + Model.OutputDir);
}

void ModelSetUp::SolutionViaLumarix1Click() {
  StartLumarix(app_.SolutionPresent ? LastSolve.SolutionFile : "%" + Model.OutputDir);
}

void ModelSetUp::SolutionViaBrisolent1Click() {
  StartBrisolent(LastSolve.SolutionFile);
}

void ModelSetUp::ViewTextFile(const std::string& file, const std::string& title, bool editable,
                              int helpTopic) {
  if (!IsFile(file)) {
    ui_.Message(MessageKind::Error, "File \r\n" + file + "\r\n does not exist.");
    return;
  }
  if (!TextEditor.empty()) {
    StartEditor(file, editable);
    return;
  }
  TextEditorRequest request;
  request.file = file;
  request.title = title;
  request.editable = editable;
  request.helpTopic = helpTopic;
  request.returnCaption = "&Back to Orvane";
  ui_.OpenTextEditor(request);
}

void ModelSetUp::ViewAnyTextFile(const std::string& initialDir) {
  FileDialogRequest request;
  request.fileName = "*.*";
  request.filter = "All Files|*.*";
  request.title = "Load Text file";
  request.initialDir = initialDir;
  const auto chosen = ui_.OpenFileDialog(request);
  if (!chosen || chosen->empty()) {
    return;
  }
  ErrorText err;
  if (IsFile(*chosen) && CheckLaheyFile(*chosen, err)) {
    ui_.Message(MessageKind::Error, "Cannot view Lahey binary file - try Lumarix !");
    return;
  }
  if (UpperCase(ExtractFileExt(*chosen)) == ".EXE") {
    ui_.Message(MessageKind::Error, "Cannot view EXE file !");
    return;
  }
  ViewTextFile(*chosen, "Editing " + *chosen, true);
}

} // namespace pelorin
