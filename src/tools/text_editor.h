#pragma once

#include "platform/error_text.h"
#include "platform/user_interface.h"
#include "tools/editor_file.h"
#include "tools/text_search.h"

#include <functional>
#include <string>
#include <string_view>

namespace pelorin {

/// What the built-in editor is opened with.
struct OrfEditorOptions {
  std::string file;
  /// The caption is this prefix + ": " + the file name.
  std::string captionPrefix;
  bool editable = false;
  /// Help topics of "This &File" and "&Editing"; 0 hides the item (both 0 hide the Help menu).
  int fileHelp = 0;
  int editingHelp = 0;
  /// The caption of the menu bar's close item ("&Back to Orvane").
  std::string closeCaption;
};

/// Which of the editor's menu items are shown.
struct OrfEditorMenus {
  bool helpMenu = false;
  bool editingHelp = false;
  bool fileHelp = false;
  /// "Cu&t", "&Paste", "&Undo", "&Redo", "&Replace...", "Save &As" and the Edit menu's separator.
  bool editingItems = false;
};

/// Shows the search dialog in Find (false) or Replace (true) mode over the search state; on "Search" it
/// stores the dialog's settings in the state and returns true, on Cancel it leaves the state alone.
using SearchDialog = std::function<bool(SearchState& state, bool replace)>;

/// The built-in editor's logic: the file, its caption, menus and status fields, Save As, the question on
/// closing and the search dialog's rounds. The window holds the text in its editing widget and forwards its
/// menu items here.
class OrfEditor {
public:
  OrfEditor(UserInterface& ui, OrfEditorOptions options);

  /// Reads the file. A file that is not text opens read-only with a note. Fails as LoadEditorFile.
  bool Open(ErrorText& errorText);
  /// The file as read by Open; the window moves its text into the widget.
  EditorFile& Document() { return document_; }
  /// The editor's file name: the one opened, or the last one saved under with Save As.
  const std::string& FileName() const { return options_.file; }
  /// True when the text may not be edited (opened so, or not text).
  bool ReadOnly() const { return readOnly_; }
  /// Why an editable file was opened read-only; empty otherwise.
  const std::string& Note() const { return note_; }

  /// The window's caption: prefix + ": " + file name.
  std::string Caption() const;
  /// The menu items shown.
  OrfEditorMenus Menus() const;
  /// The state field when the editor opens: "Read only" for a read-only editor, else empty.
  std::string InitialStateField() const;
  /// The state field after a change: "Modified", else "Read Only" when read-only, else empty.
  std::string StateField(bool modified) const;
  /// The position field: line + ":" + column.
  static std::string PositionField(int line, int column);

  /// "Save &As": asks for a name in the file's folder and saves the text there; the file name changes only
  /// when the save succeeds. A failed save shows why. False when cancelled or failed.
  bool SaveAs1Click(std::string_view text);
  /// Closing: a modified text asks "Save Changes?" (Yes runs Save As). Returns whether the window closes:
  /// always, except after a save that failed, so the text is not lost with the window.
  bool FormCloseQuery(bool modified, const std::function<std::string()>& text);

  /// The search dialog's settings, kept while the editor is open.
  SearchState Search;
  /// "Search &again" is enabled once a search dialog was confirmed.
  bool SearchAgainEnabled() const { return searchConfirmed_; }
  /// "&Find..." and "&Replace...": the dialog, then the search when it was confirmed.
  void Find1Click(TextBuffer& buffer, const SearchDialog& dialog, const ReplaceQuestion& ask);
  void Replace1Click(TextBuffer& buffer, const SearchDialog& dialog, const ReplaceQuestion& ask);
  /// "Search &again": the last search once more.
  void SearchAgain1Click(TextBuffer& buffer, const ReplaceQuestion& ask);

private:
  enum class SaveOutcome { Saved, Cancelled, Failed };
  SaveOutcome SaveAs(std::string_view text);
  void ShowSearchDialog(TextBuffer& buffer, bool replace, const SearchDialog& dialog,
                        const ReplaceQuestion& ask);

  UserInterface& ui_;
  OrfEditorOptions options_;
  EditorFile document_;
  bool readOnly_ = true;
  std::string note_;
  bool searchConfirmed_ = false;
};

} // namespace pelorin
