#include "tools/text_search.h"

namespace pelorin {

int RunSearchRounds(TextBuffer& buffer, SearchState& state, UserInterface& ui, const ReplaceQuestion& ask) {
  const FindOptions options{state.matchCase, state.wholeWord, state.up};
  int replaced = 0;
  bool continuation = false;
  for (int round = 1;; ++round) {
    const int lineBefore = buffer.CaretLine();
    if (state.findText.empty() || !buffer.Find(state.findText, options)) {
      // The end of a "Replace all" that found something is no news; anything else that found nothing is.
      if (!(state.replaceMode && round > 1 && state.replaceAll)) {
        ui.Message(MessageKind::Information, "Could not find \"" + state.findText + "\".");
      }
      // Nothing found ends the rounds even while the continuation is on: another round would only search
      // the same text again.
      return replaced;
    }
    if (buffer.CaretLine() != lineBefore) {
      buffer.RevealSelection();
    }
    if (!state.replaceMode) {
      return replaced;
    }
    continuation = state.replaceAll;
    bool replace = true;
    if (state.promptOnReplace) {
      switch (ask ? ask() : ReplaceAnswer::Cancel) {
      case ReplaceAnswer::Yes:
        break;
      case ReplaceAnswer::No:
        replace = false;
        break;
      case ReplaceAnswer::Cancel:
        replace = false;
        continuation = false;
        break;
      case ReplaceAnswer::All:
        state.promptOnReplace = false;
        break;
      }
    }
    if (replace) {
      buffer.ReplaceSelection(state.replaceText);
      ++replaced;
    }
    if (!continuation) {
      return replaced;
    }
  }
}

} // namespace pelorin
