#include "shell/fatal.h"

#include "platform/user_interface.h"

#include <cstdlib>

namespace pelorin {

namespace {
constexpr std::string_view kHalted = "Program will be halted due to fatal errors";
} // namespace

ExitHook ProcessExit() {
  return [](int exitCode) { std::exit(exitCode); };
}

void FatalError(UserInterface& ui, const ExitHook& exit, std::string_view what, std::string_view name,
                std::string_view advice) {
  std::string text = "Fatal Error:\r\n";
  text.append(what).append("\r\n").append(name).append("\r\n").append(advice);
  text.append("\r\nClick Help for more information.");
  ui.Message(MessageKind::Error, text, MessageButtons::OkHelp);
  ui.Message(MessageKind::Error, std::string(kHalted) + ".");
  exit(1);
}

void FatalErrorText(UserInterface& ui, const ExitHook& exit, std::string_view errorText) {
  ui.Message(MessageKind::Error, errorText, MessageButtons::OkHelp);
  ui.Message(MessageKind::Error, kHalted);
  exit(1);
}

void ProgramError(UserInterface& ui, const ExitHook& exit, std::string_view text) {
  ui.Message(MessageKind::Error, "Program  Error:\r\n" + std::string(text));
  ui.Message(MessageKind::Error, kHalted);
  exit(1);
}

} // namespace pelorin
