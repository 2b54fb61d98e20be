#include "tools/text_editor.h"

#include "platform/paths.h"

namespace pelorin {

OrfEditor::OrfEditor(UserInterface& ui, OrfEditorOptions options)
    : ui_(ui), options_(std::move(options)), readOnly_(!options_.editable) {}

bool OrfEditor::Open(ErrorText& errorText) {
  if (!LoadEditorFile(options_.file, document_, errorText)) {
    return false;
  }
  readOnly_ = !options_.editable || !document_.validText;
  if (options_.editable && !document_.validText) {
    note_ = "This file is not UTF-8 text: it is shown read-only, so that saving cannot change its bytes.";
  }
  return true;
}

std::string OrfEditor::Caption() const {
  return options_.captionPrefix + ": " + options_.file;
}

OrfEditorMenus OrfEditor::Menus() const {
  OrfEditorMenus menus;
  menus.helpMenu = options_.fileHelp != 0 || options_.editingHelp != 0;
  menus.editingHelp = options_.editingHelp != 0;
  menus.fileHelp = options_.fileHelp != 0;
  menus.editingItems = !readOnly_;
  return menus;
}

std::string OrfEditor::InitialStateField() const {
  return readOnly_ ? "Read only" : "";
}

std::string OrfEditor::StateField(bool modified) const {
  if (modified) {
    return "Modified";
  }
  return readOnly_ ? "Read Only" : "";
}

std::string OrfEditor::PositionField(int line, int column) {
  return std::to_string(line) + ":" + std::to_string(column);
}

bool OrfEditor::SaveAs1Click(std::string_view text) {
  return SaveAs(text) == SaveOutcome::Saved;
}

OrfEditor::SaveOutcome OrfEditor::SaveAs(std::string_view text) {
  FileDialogRequest request;
  request.initialDir = ExtractFilePath(options_.file);
  request.fileName = ExtractFileName(options_.file);
  request.filter = "All files|*.*";
  request.confirmOverwrite = true;
  const auto chosen = ui_.SaveFileDialog(request);
  if (!chosen || chosen->empty()) {
    return SaveOutcome::Cancelled;
  }
  ErrorText errorText;
  if (!SaveEditorFile(*chosen, text, document_.crlf, errorText)) {
    ui_.Message(MessageKind::Error, errorText);
    return SaveOutcome::Failed;
  }
  options_.file = *chosen;
  return SaveOutcome::Saved;
}

bool OrfEditor::FormCloseQuery(bool modified, const std::function<std::string()>& text) {
  if (!modified || readOnly_) {
    return true;
  }
  if (ui_.Message(MessageKind::Confirmation, "Save Changes?", MessageButtons::YesNo) != MessageAnswer::Yes) {
    return true;
  }
  return SaveAs(text ? text() : std::string()) != SaveOutcome::Failed;
}

void OrfEditor::ShowSearchDialog(TextBuffer& buffer, bool replace, const SearchDialog& dialog,
                                 const ReplaceQuestion& ask) {
  if (!dialog || !dialog(Search, replace)) {
    return;
  }
  Search.replaceMode = replace;
  searchConfirmed_ = true;
  RunSearchRounds(buffer, Search, ui_, ask);
}

void OrfEditor::Find1Click(TextBuffer& buffer, const SearchDialog& dialog, const ReplaceQuestion& ask) {
  ShowSearchDialog(buffer, false, dialog, ask);
}

void OrfEditor::Replace1Click(TextBuffer& buffer, const SearchDialog& dialog, const ReplaceQuestion& ask) {
  if (readOnly_) {
    return;
  }
  ShowSearchDialog(buffer, true, dialog, ask);
}

void OrfEditor::SearchAgain1Click(TextBuffer& buffer, const ReplaceQuestion& ask) {
  if (!searchConfirmed_ || (Search.replaceMode && readOnly_)) {
    return;
  }
  RunSearchRounds(buffer, Search, ui_, ask);
}

} // namespace pelorin
