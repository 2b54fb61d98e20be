#include "app/console_ui.h"

#include "platform/strings.h"

#include <filesystem>
#include <ostream>

namespace pelorin {

void ConsoleUserInterface::Print(std::string_view label, std::string_view text) {
  std::string line;
  bool first = true;
  const auto flush = [&] {
    out_ << (first ? std::string(label) + ": " : std::string(label.size() + 2, ' ')) << line << '\n';
    first = false;
    line.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      continue;
    }
    if (text[i] == '\n') {
      flush();
    } else {
      line.push_back(text[i]);
    }
  }
  flush();
  out_.flush();
}

MessageAnswer ConsoleUserInterface::Message(MessageKind kind, std::string_view text, MessageButtons buttons,
                                            int helpTopic) {
  static constexpr std::string_view kLabels[] = {"error", "warning", "information", "question"};
  if (kind == MessageKind::Error) {
    ++errors_;
  } else if (kind == MessageKind::Warning) {
    ++warnings_;
  }
  Print(kLabels[static_cast<int>(kind)], text);
  switch (buttons) {
  case MessageButtons::YesNo:
  case MessageButtons::YesNoHelp:
  case MessageButtons::YesNoCancel:
    return MessageAnswer::Yes;
  default:
    return MessageAnswer::Ok;
  }
}

std::optional<std::string> ConsoleUserInterface::NextFile(const FileDialogRequest& request) {
  if (fileAnswers_.empty()) {
    Print("dialog", request.title + " (cancelled: no window)");
    return std::nullopt;
  }
  std::string file = std::move(fileAnswers_.front());
  fileAnswers_.pop_front();
  return file;
}

std::optional<std::string> ConsoleUserInterface::OpenFileDialog(const FileDialogRequest& request) {
  return NextFile(request);
}

std::optional<std::string> ConsoleUserInterface::SaveFileDialog(const FileDialogRequest& request) {
  std::optional<std::string> file = NextFile(request);
  std::error_code ec;
  if (file && request.confirmOverwrite && !allowOverwrite_ &&
      std::filesystem::exists(std::filesystem::symlink_status(*file, ec))) {
    ++errors_;
    Print("error", request.title + ": " + *file + " exists and is not overwritten without being told to");
    return std::nullopt;
  }
  return file;
}

std::optional<std::string> ConsoleUserInterface::FolderDialog(const FileDialogRequest& request) {
  return NextFile(request);
}

std::optional<std::string> ConsoleUserInterface::Prompt(std::string_view caption, std::string_view text,
                                                        std::string_view initial) {
  return std::string(initial);
}

std::optional<int> ConsoleUserInterface::ChooseFromList(std::string_view caption,
                                                        const std::vector<std::string>& items,
                                                        int preselected) {
  if (caption == "Select Model") {
    // Items read "name - description".
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (SameText(items[i].substr(0, items[i].find(" - ")), modelName_)) {
        return static_cast<int>(i);
      }
    }
    return std::nullopt;
  }
  if (preselected >= 0 && preselected < static_cast<int>(items.size())) {
    return preselected;
  }
  return std::nullopt;
}

void ConsoleUserInterface::PassingNote(std::string_view text, int milliseconds) {
  Print("note", text);
}

bool ConsoleUserInterface::SetClipboardText(std::string_view text) {
  clipboard_ = text;
  return true;
}

void ConsoleUserInterface::ShowWaitDialog(std::string_view caption, std::string_view text) {
  waitText_ = text;
  Print("running", text);
}

void ConsoleUserInterface::UpdateWaitDialog(std::string_view text, int image) {
  if (text != waitText_) {
    waitText_ = text;
    Print("running", text);
  }
}

} // namespace pelorin
