#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// The four kinds of modal message box.
enum class MessageKind { Error, Warning, Information, Confirmation };

/// The buttons a message box offers.
enum class MessageButtons { Ok, OkHelp, OkCancel, OkCancelHelp, YesNo, YesNoHelp, YesNoCancel };

/// The button a person pressed.
enum class MessageAnswer { Ok, Cancel, Yes, No };

/// What an open, save or folder dialog shows: its title, file-type filter ("Text files|*.txt|All|*.*"), the
/// folder it starts in, the name it proposes and the extension added to a name typed without one. A save
/// dialog with `confirmOverwrite` asks before it returns a file that exists (a person who declines chooses
/// again or cancels); without it an existing file is returned as chosen.
struct FileDialogRequest {
  std::string title;
  std::string filter;
  std::string initialDir;
  std::string fileName;
  std::string defaultExt;
  bool confirmOverwrite = false;
};

/// What the built-in text editor is asked to show: the file, the window title, whether it may be edited, its
/// help topic and the caption of the button that returns to the main window.
struct TextEditorRequest {
  std::string file;
  std::string title;
  bool editable = false;
  int helpTopic = 0;
  std::string returnCaption;
};

/// Everything a person sees or answers. The window layer implements it with real dialogs; tests use a
/// scripted double that records every call verbatim and answers from a queue. The logic below the window
/// layer talks to a person only through this interface.
class UserInterface {
public:
  virtual ~UserInterface() = default;

  /// Shows a modal message box and returns the button pressed. `helpTopic` 0 means no Help topic.
  virtual MessageAnswer Message(MessageKind kind, std::string_view text,
                                MessageButtons buttons = MessageButtons::Ok, int helpTopic = 0) = 0;
  /// Asks for an existing file to open; nothing when cancelled.
  virtual std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) = 0;
  /// Asks for a file name to save to; nothing when cancelled.
  virtual std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) = 0;
  /// Asks for a folder; nothing when cancelled.
  virtual std::optional<std::string> FolderDialog(const FileDialogRequest& request) = 0;
  /// Asks for one line of text, proposing `initial`; nothing when cancelled.
  virtual std::optional<std::string> Prompt(std::string_view caption, std::string_view text,
                                            std::string_view initial) = 0;
  /// Asks the person to pick one of `items` (`preselected` is an index into it, -1 for none); nothing when
  /// cancelled.
  virtual std::optional<int> ChooseFromList(std::string_view caption, const std::vector<std::string>& items,
                                            int preselected) = 0;
  /// The start-up model chooser ("Select Model"): `items` read "name - description", `preselected` is an
  /// index into them. Nothing when the person closes it any other way than by "Ok". Without a chooser of its
  /// own, an interface offers the items as a list choice captioned "Select Model".
  virtual std::optional<int> ChooseModel(const std::vector<std::string>& items, int preselected) {
    return ChooseFromList("Select Model", items, preselected);
  }
  /// Shows a borderless, always-on-top note for a while, without waiting for it.
  virtual void PassingNote(std::string_view text, int milliseconds) = 0;
  /// Puts text on the clipboard; false when the clipboard could not be opened.
  virtual bool SetClipboardText(std::string_view text) = 0;
  /// Sounds the system beep.
  virtual void Beep() = 0;
  /// Shows (true) or ends (false) the "busy" cursor.
  virtual void Busy(bool on) = 0;
  /// Lets the window layer handle pending events (a repaint) during a long step.
  virtual void ProcessEvents() {}
  /// Shows a text file in the built-in editor, a modal window over the main window, and returns the editor's
  /// file name when it closes: the file shown, or the one last saved under another name with "Save As".
  virtual std::string OpenTextEditor(const TextEditorRequest& request) { return request.file; }
  /// Shows a help file (an HTML page) at a topic's anchor; an empty topic shows its contents.
  virtual void ShowHelp(std::string_view helpFile, std::string_view topic) {}

  // The wait dialog of a running job: non-modal, with "&Hide" and "&Cancel" and no title-bar buttons. The
  // window layer forwards its two buttons to the job runner; the runner decides everything else.

  /// Opens the wait dialog with its caption and text; its animation starts at image 1.
  virtual void ShowWaitDialog(std::string_view caption, std::string_view text) {}
  /// Shows another text and animation image (1..4) in the open wait dialog.
  virtual void UpdateWaitDialog(std::string_view text, int image) {}
  /// Closes the wait dialog.
  virtual void CloseWaitDialog() {}
  /// Minimises the whole application (the wait dialog's "&Hide").
  virtual void MinimizeApplication() {}
  /// Restores the application when it is minimised and brings the main window to the front.
  virtual void RestoreApplication() {}
};

} // namespace pelorin
