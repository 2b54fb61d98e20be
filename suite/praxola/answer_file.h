#pragma once

// The answer files of the converter and the sensitivity-analysis preparation program: one answer per line, in
// the order the program asks its questions. An answer that is a short code may carry a comment after "!"
// ("s   ! Solution file"); an answer that is a file name is the whole line. A program first reads its
// options, one code per line up to an empty line; "rpt" is followed by the report file's name.

#include "platform/error_text.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::conv {

/// The lines of an answer file and the position of the next answer.
class AnswerFile {
public:
  /// Reads the file (lines may end in LF or CR LF). Fails with "cannot open the answer file " + path.
  bool Load(const std::string& path, ErrorText& errorText);
  /// Takes the answers from a text (`fileName` names it in messages).
  void LoadText(std::string_view text, std::string fileName);

  /// The next answer as a code: the text before any "!", trimmed and lower-cased (possibly empty). The end of
  /// the file fails with "FILE:LINE: error: the answers end before the answer to " + question.
  bool Code(std::string_view question, std::string& code, ErrorText& errorText);
  /// The next answer as a code that must be one of `allowed`; another fails with "FILE:LINE: error: unknown
  /// answer ..." naming the question and the codes expected.
  bool Choice(std::string_view question, std::initializer_list<std::string_view> allowed, std::string& code,
              ErrorText& errorText);
  /// The next answer as a file name: the line trimmed, one pair of surrounding double quotes removed. An
  /// empty answer fails.
  bool FileName(std::string_view question, std::string& name, ErrorText& errorText);
  /// After the last question only blank lines may follow; the first other line is an unexpected answer.
  bool End(ErrorText& errorText);

  /// "FILE:LINE" of the answer read last (line 0 before the first).
  std::string Where() const;
  /// Fails with "FILE:LINE: error: " + message for the answer read last.
  bool Error(const std::string& message, ErrorText& errorText) const;

private:
  bool Next(std::string_view question, std::string& line, ErrorText& errorText);

  std::string fileName_;
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

/// The options a program reads before its questions.
struct AnswerOptions {
  /// The option codes in the order given (without "rpt").
  std::vector<std::string> codes;
  /// The report file named after "rpt"; empty when none was named.
  std::string reportFile;

  /// True when the option was given.
  bool Has(std::string_view code) const;
};

/// Reads options up to the first empty line; each must be one of `allowed` ("rpt" is always allowed). The
/// report file is kept as soon as it is read, so a later refusal can still be reported there.
bool ReadAnswerOptions(AnswerFile& answers, std::initializer_list<std::string_view> allowed,
                       AnswerOptions& options, ErrorText& errorText);

} // namespace pelorin::conv
