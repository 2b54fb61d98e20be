#pragma once

#include "platform/user_interface.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QWidget;

namespace pelorin {

class HelpWindow;
class TWaitForm;

/// The window program's UserInterface: Qt's message boxes, file dialogs, prompts, the model chooser, the
/// passing note, the clipboard, the beep, the busy cursor, the help windows and the built-in text editor.
/// Dialogs sit over the modal window on top (the editor, the about box), else over the main window.
class QtUserInterface : public UserInterface {
public:
  QtUserInterface();
  ~QtUserInterface() override;
  QtUserInterface(const QtUserInterface&) = delete;
  QtUserInterface& operator=(const QtUserInterface&) = delete;

  /// The window dialogs belong to (and that the application's minimise and restore act on).
  void SetMainWindow(QWidget* window) { mainWindow_ = window; }
  /// Where a message box's Help button finds the program's help page (asked when pressed).
  void SetHelpFile(std::function<std::string()> helpFile) { helpFile_ = std::move(helpFile); }
  /// Runs before each dialog, so the window shows the state the question is about.
  void SetBeforeDialog(std::function<void()> beforeDialog) { beforeDialog_ = std::move(beforeDialog); }
  /// Closes every help window (at close-down).
  void CloseHelpWindows();
  /// The help window of a help file, if one is open.
  HelpWindow* OpenHelpWindow(const std::string& helpFile) const;
  /// Opens the program's help at the topic of a help number, as a message box's Help button does.
  void ShowHelpTopic(int helpTopic);
  /// What the wait dialog's "&Hide" and "&Cancel" do (the main window hands them to the job runner).
  void SetWaitButtons(std::function<void()> hide, std::function<void()> cancel);
  /// The wait dialog (null until a job first showed it).
  TWaitForm* WaitForm() const { return waitForm_.get(); }

  MessageAnswer Message(MessageKind kind, std::string_view text, MessageButtons buttons = MessageButtons::Ok,
                        int helpTopic = 0) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> FolderDialog(const FileDialogRequest& request) override;
  std::optional<std::string> Prompt(std::string_view caption, std::string_view text,
                                    std::string_view initial) override;
  std::optional<int> ChooseFromList(std::string_view caption, const std::vector<std::string>& items,
                                    int preselected) override;
  std::optional<int> ChooseModel(const std::vector<std::string>& items, int preselected) override;
  void PassingNote(std::string_view text, int milliseconds) override;
  bool SetClipboardText(std::string_view text) override;
  void Beep() override;
  void Busy(bool on) override;
  void ProcessEvents() override;
  void ShowHelp(std::string_view helpFile, std::string_view topic) override;
  std::string OpenTextEditor(const TextEditorRequest& request) override;
  void ShowWaitDialog(std::string_view caption, std::string_view text) override;
  void UpdateWaitDialog(std::string_view text, int image) override;
  void CloseWaitDialog() override;
  void MinimizeApplication() override;
  void RestoreApplication() override;

private:
  enum class FileDialogKind { Open, Save, Folder };
  std::optional<std::string> RunFileDialog(const FileDialogRequest& request, FileDialogKind kind);
  QWidget* DialogParent() const;
  void BeforeDialog() const;

  QPointer<QWidget> mainWindow_;
  std::function<std::string()> helpFile_;
  std::function<void()> beforeDialog_;
  std::map<std::string, QPointer<HelpWindow>> helpWindows_;
  std::function<void()> waitHide_;
  std::function<void()> waitCancel_;
  std::unique_ptr<TWaitForm> waitForm_;
  bool busy_ = false;
};

} // namespace pelorin
