#pragma once

#include "platform/user_interface.h"

#include <functional>
#include <string>
#include <string_view>

namespace pelorin {

/// How one search looks for its text.
struct FindOptions {
  bool matchCase = false; ///< "Match case"
  bool wholeWord = false; ///< "Whole word": the match is neither preceded nor followed by a word character
  bool up = false;        ///< direction "Up": backwards from the caret
};

/// The editing component as the search rounds see it. The window layer implements it with its editing
/// widget; tests use StringTextBuffer.
class TextBuffer {
public:
  virtual ~TextBuffer() = default;
  /// Looks for `text` from the caret (forwards: from the selection's end; backwards: a match that starts
  /// before the selection's start, the nearest first) and selects it; false when there is none.
  virtual bool Find(std::string_view text, const FindOptions& options) = 0;
  /// Puts `text` in place of the selection and leaves the inserted text selected, so the next search in
  /// either direction starts beyond it.
  virtual void ReplaceSelection(std::string_view text) = 0;
  /// The caret's line, counted from 1.
  virtual int CaretLine() const = 0;
  /// Scrolls so that the selection is on screen with some lines following it.
  virtual void RevealSelection() = 0;
};

/// The search dialog's settings, kept between searches while the editor is open.
struct SearchState {
  std::string findText;
  std::string replaceText;
  bool matchCase = false;
  bool wholeWord = false;
  bool promptOnReplace = true;
  bool replaceAll = true;
  bool up = false;
  /// The last dialog confirmed was Replace (else Find).
  bool replaceMode = false;
};

/// The answers to "Replace this instance?".
enum class ReplaceAnswer { Yes, No, Cancel, All };

/// Asks "Replace this instance?" with Yes, No, Cancel and All.
using ReplaceQuestion = std::function<ReplaceAnswer()>;

/// Runs one search (Find, Replace or "Search again") from the caret with the options of `state`. In Find
/// mode the first match is selected. In Replace mode each match is replaced (asking first while "Prompt on
/// replace" is on; All switches it off for the rest) and, with "Replace all", the search goes on until no
/// match is left or the person cancels. "Could not find \"" + text + "\"." is shown when nothing was found,
/// except at the end of a "Replace all" that found something. Returns the number of replacements made.
int RunSearchRounds(TextBuffer& buffer, SearchState& state, UserInterface& ui, const ReplaceQuestion& ask);

} // namespace pelorin
