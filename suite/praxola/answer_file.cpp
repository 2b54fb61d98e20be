#include "praxola/answer_file.h"

#include "platform/strings.h"

#include <fstream>
#include <sstream>

namespace pelorin::conv {

bool AnswerFile::Load(const std::string& path, ErrorText& errorText) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return Fail(errorText, "error: cannot open the answer file " + path);
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) {
    return Fail(errorText, "error: cannot read the answer file " + path);
  }
  LoadText(bytes.str(), path);
  return true;
}

void AnswerFile::LoadText(std::string_view text, std::string fileName) {
  fileName_ = std::move(fileName);
  lines_.clear();
  next_ = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    std::string line(text.substr(pos, end - pos));
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines_.push_back(std::move(line));
    pos = end + 1;
  }
}

std::string AnswerFile::Where() const {
  return fileName_ + ":" + std::to_string(next_);
}

bool AnswerFile::Error(const std::string& message, ErrorText& errorText) const {
  return Fail(errorText, Where() + ": error: " + message);
}

bool AnswerFile::Next(std::string_view question, std::string& line, ErrorText& errorText) {
  if (next_ >= lines_.size()) {
    return Fail(errorText, fileName_ + ":" + std::to_string(lines_.size()) +
                               ": error: the answers end before the answer to " + std::string(question));
  }
  line = lines_[next_++];
  return true;
}

bool AnswerFile::Code(std::string_view question, std::string& code, ErrorText& errorText) {
  std::string line;
  if (!Next(question, line, errorText)) {
    return false;
  }
  const std::size_t comment = line.find('!');
  code = LowerCase(Trim(std::string_view(line).substr(0, comment)));
  return true;
}

bool AnswerFile::Choice(std::string_view question, std::initializer_list<std::string_view> allowed,
                        std::string& code, ErrorText& errorText) {
  if (!Code(question, code, errorText)) {
    return false;
  }
  std::string expected;
  for (std::string_view choice : allowed) {
    if (code == choice) {
      return true;
    }
    expected += (expected.empty() ? "\"" : ", \"") + std::string(choice) + "\"";
  }
  return Error("unknown answer \"" + code + "\" to " + std::string(question) + " (expected " + expected + ")",
               errorText);
}

bool AnswerFile::FileName(std::string_view question, std::string& name, ErrorText& errorText) {
  std::string line;
  if (!Next(question, line, errorText)) {
    return false;
  }
  name = Trim(line);
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
    name = Trim(std::string_view(name).substr(1, name.size() - 2));
  }
  if (name.empty()) {
    return Error("no file name given as the answer to " + std::string(question), errorText);
  }
  return true;
}

bool AnswerFile::End(ErrorText& errorText) {
  while (next_ < lines_.size()) {
    const std::string& line = lines_[next_++];
    if (!Trim(line).empty()) {
      return Error("unexpected answer \"" + Trim(line) + "\" after the last question", errorText);
    }
  }
  return true;
}

bool AnswerOptions::Has(std::string_view code) const {
  for (const std::string& c : codes) {
    if (c == code) {
      return true;
    }
  }
  return false;
}

bool ReadAnswerOptions(AnswerFile& answers, std::initializer_list<std::string_view> allowed,
                       AnswerOptions& options, ErrorText& errorText) {
  constexpr std::string_view kQuestion = "the options (a list of codes ended by an empty line)";
  while (true) {
    std::string code;
    if (!answers.Code(kQuestion, code, errorText)) {
      return false;
    }
    if (code.empty()) {
      return true;
    }
    if (code == "rpt") {
      if (!answers.FileName("option \"rpt\" (the report file)", options.reportFile, errorText)) {
        return false;
      }
      continue;
    }
    bool known = false;
    std::string expected = "\"rpt\"";
    for (std::string_view option : allowed) {
      known = known || code == option;
      expected += ", \"" + std::string(option) + "\"";
    }
    if (!known) {
      return answers.Error("unknown option \"" + code + "\" (expected " + expected + " or an empty line)",
                           errorText);
    }
    options.codes.push_back(code);
  }
}

} // namespace pelorin::conv
