#pragma once

#include "platform/user_interface.h"

#include <deque>
#include <iosfwd>
#include <string>

namespace pelorin {

/// A UserInterface for runs without a window: every message goes to a stream (one line per line of the
/// message, the first marked with its kind), every question takes its default answer (the first button, the
/// proposed text, the preselected item) and file dialogs take the files the run was given, in turn, or are
/// cancelled. A save dialog that confirms overwriting refuses an existing file unless the run was told to
/// overwrite: nobody is there to confirm. The model catalogue's question is answered with the model the run
/// was asked for.
class ConsoleUserInterface : public UserInterface {
public:
  ConsoleUserInterface(std::ostream& out, std::string modelName)
      : out_(out), modelName_(std::move(modelName)) {}

  MessageAnswer Message(MessageKind kind, std::string_view text, MessageButtons buttons = MessageButtons::Ok,
                        int helpTopic = 0) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> FolderDialog(const FileDialogRequest& request) override;
  std::optional<std::string> Prompt(std::string_view caption, std::string_view text,
                                    std::string_view initial) override;
  std::optional<int> ChooseFromList(std::string_view caption, const std::vector<std::string>& items,
                                    int preselected) override;
  void PassingNote(std::string_view text, int milliseconds) override;
  bool SetClipboardText(std::string_view text) override;
  void Beep() override {}
  void Busy(bool on) override {}
  void ShowWaitDialog(std::string_view caption, std::string_view text) override;
  void UpdateWaitDialog(std::string_view text, int image) override;

  /// Answers the next file dialogs with `file`, in the order given.
  void AnswerFileDialog(std::string file) { fileAnswers_.push_back(std::move(file)); }
  /// Lets a save dialog that confirms overwriting take an existing file.
  void AllowOverwrite(bool allow) { allowOverwrite_ = allow; }

  /// Number of error messages shown.
  int Errors() const { return errors_; }
  /// Number of warnings shown.
  int Warnings() const { return warnings_; }
  /// The clipboard's text.
  const std::string& Clipboard() const { return clipboard_; }

private:
  void Print(std::string_view label, std::string_view text);
  std::optional<std::string> NextFile(const FileDialogRequest& request);

  std::ostream& out_;
  std::string modelName_;
  std::string waitText_;
  std::string clipboard_;
  std::deque<std::string> fileAnswers_;
  bool allowOverwrite_ = false;
  int errors_ = 0;
  int warnings_ = 0;
};

} // namespace pelorin
