#pragma once

#include "platform/user_interface.h"
#include "viewkit/viewer_services.h"

class QWidget;

namespace pelorin {

/// The core's user interface for a viewer window: messages through the viewer's services (a confirmation is
/// answered Yes), the clipboard, the busy cursor. Dialogs the core might ask for are not offered.
class ViewerUserInterface : public UserInterface {
public:
  ViewerUserInterface(const ViewerServices& services, QWidget* window, QString title)
      : services_(services), window_(window), title_(std::move(title)) {}

  MessageAnswer Message(MessageKind kind, std::string_view text, MessageButtons buttons = MessageButtons::Ok,
                        int helpTopic = 0) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> SaveFileDialog(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> FolderDialog(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> Prompt(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::optional<int> ChooseFromList(std::string_view, const std::vector<std::string>&, int) override {
    return std::nullopt;
  }
  void PassingNote(std::string_view, int) override {}
  bool SetClipboardText(std::string_view text) override;
  void Beep() override {}
  void Busy(bool on) override;

private:
  const ViewerServices& services_;
  QWidget* window_;
  QString title_;
};

} // namespace pelorin
