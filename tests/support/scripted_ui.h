#pragma once

#include "platform/user_interface.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace pelorin::test {

/// A UserInterface for tests: records every call verbatim and answers from queues. With an empty queue a
/// message box answers its first button (Ok or Yes), except for the Cancel of an OkCancel box which must be
/// queued; dialogs answer "cancelled". A save dialog that confirms overwriting asks about an existing file as
/// a real one does: the answer comes from `overwriteAnswers` (yes when empty), and "no" cancels the dialog.
class ScriptedUserInterface : public UserInterface {
public:
  /// One message box as shown.
  struct Shown {
    MessageKind kind;
    std::string text;
    MessageButtons buttons;
    int helpTopic;
  };

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
  void Beep() override { ++beeps; }
  void Busy(bool on) override { busy = on; }
  std::string OpenTextEditor(const TextEditorRequest& request) override {
    editors.push_back(request);
    return request.file;
  }
  void ShowHelp(std::string_view helpFile, std::string_view topic) override {
    helps.emplace_back(std::string(helpFile) + "#" + std::string(topic));
  }
  void ShowWaitDialog(std::string_view caption, std::string_view text) override;
  void UpdateWaitDialog(std::string_view text, int image) override;
  void CloseWaitDialog() override;
  void MinimizeApplication() override { ++minimized; }
  void RestoreApplication() override { ++restored; }

  /// The texts of every message box shown so far, in order.
  std::vector<std::string> Texts() const;

  std::deque<MessageAnswer> answers;              ///< answers to message boxes, first in first out
  std::deque<std::optional<std::string>> files;   ///< answers to open, save and folder dialogs
  std::deque<std::optional<std::string>> prompts; ///< answers to text prompts
  std::deque<std::optional<int>> choices;         ///< answers to list choices
  std::deque<bool> overwriteAnswers;              ///< answers to "replace the existing file?"
  bool clipboardWorks = true;                     ///< false makes SetClipboardText fail

  std::vector<Shown> messages;                 ///< every message box shown
  std::vector<FileDialogRequest> dialogs;      ///< every file or folder dialog shown
  std::vector<std::string> overwriteQuestions; ///< every existing file a save dialog asked about
  std::vector<std::string> promptTexts;        ///< every prompt's text
  std::vector<std::vector<std::string>> lists; ///< every list offered to choose from
  std::vector<std::string> notes;              ///< every passing note
  std::string clipboard;                       ///< the clipboard's text
  std::vector<TextEditorRequest> editors;      ///< every file opened in the built-in editor
  std::vector<std::string> helps;              ///< every help shown, as file + "#" + topic
  int beeps = 0;
  bool busy = false;

  /// The wait dialog as the person sees it now, and every text it has shown (in order, repeats dropped).
  struct WaitDialog {
    bool open = false;
    std::string caption;
    std::string text;
    int image = 0;
    int opened = 0; ///< times it was opened
    int closed = 0; ///< times it was closed
    std::vector<std::string> texts;
    std::vector<int> images; ///< every image shown, in order
  };
  WaitDialog wait;
  int minimized = 0; ///< times the application was minimised
  int restored = 0;  ///< times the application was restored and brought to the front

private:
  std::optional<std::string> NextFile(const FileDialogRequest& request);
};

} // namespace pelorin::test
