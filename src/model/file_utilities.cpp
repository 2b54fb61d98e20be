// Small utilities around the model's files: the command-file preamble, the editor choice and zipping a
// folder.

#include "model/file_lines.h"
#include "model/model_set_up.h"
#include "model/zip_folder.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "shell/app_state.h"

#include <filesystem>

namespace pelorin {

namespace fs = std::filesystem;

void ModelSetUp::EditCMFSTARTFile() {
  if (const std::optional<std::string> existing = FindCmfStartFile(Model.OutputDir, Model.ModelDir)) {
    ui_.Message(MessageKind::Information, "Current CMFSTART File is\r\n" + *existing);
    ViewTextFile(*existing, "CMFSTART file", true);
    return;
  }
  const std::string path = JoinPath(Model.OutputDir, "CMFSTART");
  const std::string question = "At present is no CMFSTART in this Simulation Directory\r\n" +
                               Model.OutputDir + "\r\nDo you wish to create one?";
  if (ui_.Message(MessageKind::Confirmation, question, MessageButtons::YesNoHelp) != MessageAnswer::Yes) {
    return;
  }
  if (!WriteLines(path, {})) {
    ui_.Message(MessageKind::Error, "Cannot create file " + path);
    return;
  }
  ViewTextFile(path, "CMFSTART file", true);
}

void ModelSetUp::ChangeTextEditor1Click() {
  if (!TextEditor.empty() && !IsFile(TextEditor)) {
    TextEditor.clear();
  }
  ViewMenu.OwnEditorChecked = TextEditor.empty();
  ViewMenu.AnotherEditorChecked = !TextEditor.empty();
}

void ModelSetUp::UseOrvanesEditor1Click() {
  TextEditor.clear();
  ViewMenu.OwnEditorChecked = true;
  ViewMenu.AnotherEditorChecked = false;
}

void ModelSetUp::UseAnotherEditor1Click() {
  if (!TextEditor.empty() && IsFile(TextEditor)) {
    const std::string question =
        "At present you are using editor \r\n" + TextEditor + "\r\nDo you wish to change this?";
    if (ui_.Message(MessageKind::Confirmation, question, MessageButtons::YesNo) != MessageAnswer::Yes) {
      return;
    }
  }
  FileDialogRequest request;
  request.fileName = TextEditor.empty() ? "*.*" : TextEditor;
  request.initialDir = app_.ProgramDir;
  request.filter = "All Files|*.*";
  request.title = "Choose New Text Editor";
  const auto chosen = ui_.OpenFileDialog(request);
  if (!chosen || chosen->empty()) {
    return;
  }
  TextEditor = *chosen;
  ViewMenu.OwnEditorChecked = false;
  ViewMenu.AnotherEditorChecked = true;
}

void ModelSetUp::ZipDirectory(const std::string& folder, const std::string& name, const std::string& words) {
  FileDialogRequest request;
  request.initialDir = Model.OutputDir;
  request.fileName = name + ".zip";
  request.filter = "ZIP Files (*.ZIP)|*.zip|All Files (*.*)|*.*";
  request.title = "Choose name of ZIP File";
  request.defaultExt = "zip";
  request.confirmOverwrite = true; // the file chosen is deleted at once
  const std::string archive = SaveDialog(request);
  if (archive.empty()) {
    return;
  }
  std::error_code ec;
  bool ok = true;
  const fs::file_status status = fs::symlink_status(archive, ec);
  if (fs::is_directory(status)) {
    ok = false; // never delete a folder in place of an archive
  } else if (fs::exists(status)) {
    ok = fs::remove(archive, ec) && !ec;
  }
  std::string failedEntry;
  const ZipOutcome outcome = ok ? ZipFolder(folder, archive, failedEntry) : ZipOutcome::Failed;
  if (outcome == ZipOutcome::Ok) {
    ui_.Message(MessageKind::Information, "All files in " + words + "\r\nput into Zip file\r\n" + archive);
    return;
  }
  if (outcome == ZipOutcome::EntryFailed) {
    ui_.Message(MessageKind::Error, "Error zipping file\r\n" + failedEntry + "\r\n(Is the disk full?)");
  }
  ui_.Message(MessageKind::Information,
              "There was an error creating the ZIP file\r\n" + archive + "\r\n(Is the disk full?)");
}

void ModelSetUp::ZipTempDir1Click() {
  ZipDirectory(app_.WorkDir, "tempdir", "Temp Dir");
}

void ModelSetUp::ZipKeepDir1Click() {
  ZipDirectory(app_.KeepDir, "keepdir", "Keep Dir");
}

void ModelSetUp::ZipModelDir1Click() {
  const std::string folder = WithoutTrailingSeparator(Model.ModelDir);
  ZipDirectory(folder, ExtractFileName(folder), "Model Dir");
}

} // namespace pelorin
