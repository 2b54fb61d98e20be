#pragma once

#include "platform/user_interface.h"
#include "shell/settings.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// Reads text in the command-file language statement by statement: "!" comments ("!!" stands for a literal
/// character), "#...#" spans removed, quoted tokens, "=", ";", "(" and ")" as tokens of their own, and the
/// first token of every statement taken as its keyword. It reads the lines of an edit box; nothing is copied.
class TOpenCMFFile {
public:
  /// Starts reading `lines`, which must outlive the reader (or the next Open), as if a ";" had just been
  /// read.
  void Open(std::span<const std::string> lines);
  /// Forgets the lines.
  void Close();

  /// Takes and prepares the next line; false at the end of the lines.
  bool NextLine();
  /// Moves to the next token, reading further lines as needed; false at the end.
  bool NextToken();
  /// Skips to the end of the current statement, then takes the next non-empty token as the statement's
  /// keyword (empty statements, ";" on its own, are passed over); false at the end.
  bool NextStatement();

  /// The full keyword for an abbreviated one: lower-cased, then matched by its first characters against the
  /// language's keywords (exo -> exogenous, re... -> rest); other words come back lower-cased.
  static std::string NormaliseKeyword(std::string_view keyword);
  /// A line as the reader sees it: comments cut and "#" spans deleted.
  static std::string PrepareLine(std::string_view line);

  /// The current token, the one before it and the current statement's keyword (cleaned, not normalised).
  const std::string& Token() const { return token_; }
  const std::string& PrevToken() const { return prevToken_; }
  const std::string& Keyword() const { return keyword_; }
  /// The current prepared line, the 0-based position of the current token in it and the 0-based line number.
  const std::string& Line() const { return line_; }
  std::size_t TokenPos() const { return tokenPos_; }
  int LineCount() const { return lineCount_; }

private:
  std::span<const std::string> lines_;
  std::string line_;
  std::size_t pos_ = 0;
  std::string token_;
  std::string prevToken_;
  std::string keyword_;
  std::size_t tokenPos_ = 0;
  int lineCount_ = -1;
  bool atStatementEnd_ = true;
};

/// The outcome of CheckKeywords.
struct KeywordCheck {
  enum class Outcome { Ok, BadKeyword, ControlZ, OpenQuote };
  Outcome outcome = Outcome::Ok;
  /// The first keyword (normalised) that is not allowed, with BadKeyword.
  std::string keyword;
};

/// Checks a closure or shock text before it goes to the solver: a Control-Z followed by anything but blanks,
/// or a quoted text left open at the end of a line, fails with a message box naming `where` (" in closure
/// memo."); otherwise the first statement keyword that, normalised, is not among `allowed` (ignoring case) is
/// returned for the caller to report.
KeywordCheck CheckKeywords(std::span<const std::string> source, std::span<const std::string_view> allowed,
                           std::string_view where, UserInterface& ui);

/// The keywords a closure may use, and those the shock list may use.
extern const std::vector<std::string_view> kClosureKeywords;
extern const std::vector<std::string_view> kShockKeywords;

/// The edit-box cleaning applied before a closure or shock text is saved, checked or written to a command
/// file: every character outside "!".."~" becomes a blank (CleanEditLine for each line).
void CleanEditLines(std::vector<std::string>& lines);

/// Free text made safe as the text of one statement (a verbal or subtotal description): cleaned like an edit
/// line, with ";" (which would end the statement early) made ",", "!" and "#" (which would hide the closing
/// ";" from the solver) made blanks, and a double quote (which would take the closing ";" and the next
/// statement into a string) made a single quote.
std::string StatementText(std::string_view text);

/// The first line (0-based) whose text, as the solver reads it (comments and "#" spans gone), leaves a double
/// quote open at its end; -1 when there is none. The solver takes such a string to the end of the line, so
/// the ";" on it and the statement after it would silently become part of the quoted text.
int FindOpenQuote(std::span<const std::string> lines);

/// True when no line holds anything but blanks and control characters (such a text counts as no text).
bool IsBlankText(std::span<const std::string> lines);

} // namespace pelorin
