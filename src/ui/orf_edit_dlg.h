#pragma once

#include "platform/error_text.h"
#include "platform/user_interface.h"
#include "tools/text_editor.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QTimer;

namespace pelorin {

class PlainTextBuffer;
class TSrchDlg1;

/// The built-in text editor: one text file in a modal window over the main window, for reading or editing,
/// with its menu bar, status bar and search dialog. The window holds the text in its editing widget; the
/// file, caption, menus, status texts, saving and the search rounds are the core's (OrfEditor).
class TOrfEditDlg : public QDialog {
  Q_OBJECT
public:
  /// An editor for `request` over `owner` (at its position and size). `showHelp` shows a help topic number.
  TOrfEditDlg(UserInterface& ui, const TextEditorRequest& request, std::function<void(int topic)> showHelp,
              QWidget* owner);
  ~TOrfEditDlg() override;

  /// Reads the file into the editing widget. Fails as the core's Open.
  bool Open(ErrorText& errorText);
  /// The editor's file name: the one opened, or the one last saved under.
  const std::string& FileName() const { return core_.FileName(); }

  OrfEditor& Core() { return core_; }
  QPlainTextEdit* Editor() const { return edit_; }
  /// A menu item by its object name ("Undo1", "SaveAs1", "Find1", ...).
  QAction* Action(const QString& name) const;
  /// A menu by its object name ("Edit1", "Search1", "Help1").
  QMenu* Menu(const QString& name) const;
  QLabel* PositionField() const { return positionField_; }
  QLabel* StateField() const { return stateField_; }
  QLabel* HintField() const { return hintField_; }
  /// The note above the text that says why an editable file is shown read-only (hidden otherwise).
  QLabel* NoteLabel() const { return note_; }
  /// The search dialog (made when first shown).
  TSrchDlg1* SearchDialog() const { return searchDialog_; }
  /// A large file is still being handed to the editing widget, slice by slice, while the window works; the
  /// text is read-only and cannot be searched or saved until it is whole.
  bool Loading() const { return !pending_.isEmpty(); }

  /// Opening the Edit menu: "&Undo", "&Redo", "Cu&t", "&Copy" and "&Paste" enabled as they can act.
  void Edit1Click();

public Q_SLOTS:
  void reject() override;

protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

private:
  void BuildMenus(const std::string& closeCaption);
  QAction* AddItem(QMenu* menu, const QString& caption, const char* name, const QString& hint,
                   const QKeySequence& shortcut = {});
  void ApplyMenus();
  // Hands the next slice of a large file to the editing widget; the last one makes the text editable.
  void LoadNextSlice();
  void SetLoadingState(bool loading);
  void UpdatePosition();
  void UpdateState();
  std::string Text() const;
  bool RunSearchDialog(SearchState& state, bool replace);
  ReplaceAnswer AskReplace();
  void SaveAs1Click();
  void Find1Click();
  void Replace1Click();
  void SearchAgain1Click();

  OrfEditor core_;
  std::function<void(int)> showHelp_;
  int fileHelp_ = 0;
  QMenuBar* menuBar_ = nullptr;
  QPlainTextEdit* edit_ = nullptr;
  QLabel* note_ = nullptr;
  QLabel* hintField_ = nullptr;
  QLabel* stateField_ = nullptr;
  QLabel* positionField_ = nullptr;
  QAction* editSeparator_ = nullptr;
  TSrchDlg1* searchDialog_ = nullptr;
  std::unique_ptr<PlainTextBuffer> buffer_;
  QString pending_;           ///< the text of a large file not yet in the editing widget
  qsizetype pendingFrom_ = 0; ///< where the next slice of it starts
  QTimer* loadTimer_ = nullptr;
};

} // namespace pelorin
