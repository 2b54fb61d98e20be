#pragma once

#include "tools/text_search.h"

class QChar;
class QPlainTextEdit;

namespace pelorin {

/// The search rounds' text buffer over the editor's editing widget: finds select the match in the widget,
/// replacements go through its undo history.
class PlainTextBuffer : public TextBuffer {
public:
  explicit PlainTextBuffer(QPlainTextEdit& edit) : edit_(edit) {}

  bool Find(std::string_view text, const FindOptions& options) override;
  void ReplaceSelection(std::string_view text) override;
  int CaretLine() const override;
  void RevealSelection() override;

  /// True for the characters a whole-word search takes as part of a word: letters, digits, "_" and every
  /// character beyond ASCII (as the search without a window counts them).
  static bool IsWordChar(QChar c);

private:
  QPlainTextEdit& edit_;
};

} // namespace pelorin
