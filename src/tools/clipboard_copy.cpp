#include "tools/clipboard_copy.h"

#include <chrono>
#include <thread>

namespace pelorin {

namespace {
constexpr int kClipboardAttempts = 10;
} // namespace

bool CopyTextWithRetries(UserInterface& ui, std::string_view text, const ClipboardWait& wait) {
  for (int attempt = 1; attempt <= kClipboardAttempts; ++attempt) {
    if (ui.SetClipboardText(text)) {
      return true;
    }
    if (attempt == kClipboardAttempts) {
      break;
    }
    const int milliseconds = 20 * attempt;
    if (wait) {
      wait(milliseconds);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
  }
  return false;
}

} // namespace pelorin
