#include "support/scripted_ui.h"

#include <filesystem>

namespace pelorin::test {

MessageAnswer ScriptedUserInterface::Message(MessageKind kind, std::string_view text, MessageButtons buttons,
                                             int helpTopic) {
  messages.push_back({kind, std::string(text), buttons, helpTopic});
  if (!answers.empty()) {
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  switch (buttons) {
  case MessageButtons::YesNo:
  case MessageButtons::YesNoHelp:
  case MessageButtons::YesNoCancel:
    return MessageAnswer::Yes;
  default:
    return MessageAnswer::Ok;
  }
}

std::optional<std::string> ScriptedUserInterface::NextFile(const FileDialogRequest& request) {
  dialogs.push_back(request);
  if (files.empty()) {
    return std::nullopt;
  }
  auto answer = files.front();
  files.pop_front();
  return answer;
}

std::optional<std::string> ScriptedUserInterface::OpenFileDialog(const FileDialogRequest& request) {
  return NextFile(request);
}

std::optional<std::string> ScriptedUserInterface::SaveFileDialog(const FileDialogRequest& request) {
  std::optional<std::string> chosen = NextFile(request);
  std::error_code ec;
  if (chosen && request.confirmOverwrite &&
      std::filesystem::exists(std::filesystem::symlink_status(*chosen, ec))) {
    overwriteQuestions.push_back(*chosen);
    const bool replace = overwriteAnswers.empty() || overwriteAnswers.front();
    if (!overwriteAnswers.empty()) {
      overwriteAnswers.pop_front();
    }
    if (!replace) {
      return std::nullopt;
    }
  }
  return chosen;
}

std::optional<std::string> ScriptedUserInterface::FolderDialog(const FileDialogRequest& request) {
  return NextFile(request);
}

std::optional<std::string> ScriptedUserInterface::Prompt(std::string_view caption, std::string_view text,
                                                         std::string_view initial) {
  promptTexts.emplace_back(text);
  if (prompts.empty()) {
    return std::nullopt;
  }
  auto answer = prompts.front();
  prompts.pop_front();
  return answer;
}

std::optional<int> ScriptedUserInterface::ChooseFromList(std::string_view caption,
                                                         const std::vector<std::string>& items,
                                                         int preselected) {
  lists.push_back(items);
  if (choices.empty()) {
    return std::nullopt;
  }
  auto answer = choices.front();
  choices.pop_front();
  return answer;
}

void ScriptedUserInterface::PassingNote(std::string_view text, int milliseconds) {
  notes.emplace_back(text);
}

bool ScriptedUserInterface::SetClipboardText(std::string_view text) {
  if (!clipboardWorks) {
    return false;
  }
  clipboard = text;
  return true;
}

std::vector<std::string> ScriptedUserInterface::Texts() const {
  std::vector<std::string> texts;
  texts.reserve(messages.size());
  for (const auto& shown : messages) {
    texts.push_back(shown.text);
  }
  return texts;
}

void ScriptedUserInterface::ShowWaitDialog(std::string_view caption, std::string_view text) {
  wait.open = true;
  wait.caption = caption;
  wait.text = text;
  wait.image = 1;
  ++wait.opened;
  wait.texts.emplace_back(text);
}

void ScriptedUserInterface::UpdateWaitDialog(std::string_view text, int image) {
  wait.image = image;
  wait.images.push_back(image);
  if (text != wait.text) {
    wait.text = text;
    wait.texts.emplace_back(text);
  }
}

void ScriptedUserInterface::CloseWaitDialog() {
  wait.open = false;
  ++wait.closed;
}

} // namespace pelorin::test
