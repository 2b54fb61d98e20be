#include "simspec/statement_reader.h"

#include "platform/strings.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pelorin {

namespace {

constexpr char kControlZ = '\x1a';

bool IsGap(char c) {
  return c == ' ' || c == '\t';
}
bool IsSingleToken(char c) {
  return c == '=' || c == ';' || c == '(' || c == ')';
}

// Abbreviations are matched by their first characters in this order; the first match wins.
constexpr std::array<std::pair<std::string_view, std::string_view>, 20> kKeywordPrefixes{{
    {"sho", "shock"},
    {"ash", "ashock"},
    {"fil", "file"},
    {"ts", "tshock"},
    {"tf", "tfinal_level"},
    {"ach", "achange"},
    {"tc", "tchange"},
    {"ap", "apercent_change"},
    {"tp", "tpercent_change"},
    {"us", "use"},
    {"modi", "modify"},
    {"env", "environment"},
    {"lu", "lu"},
    {"exo", "exogenous"},
    {"end", "endogenous"},
    {"re", "rest"},
    {"ta", "take"},
    {"fin", "final_level"},
    {"cha", "change"},
    {"pe", "percent_change"},
}};

// The keyword as a statement carries it: characters outside "!".."~" blanked, trailing blanks dropped.
std::string CleanKeyword(std::string_view token) {
  std::string keyword = CleanEditLine(token);
  while (!keyword.empty() && keyword.back() == ' ') {
    keyword.pop_back();
  }
  return keyword;
}

bool OnlyBlanks(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

std::string ControlZMessage(std::string_view where, std::size_t position, int lineNumber,
                            std::string_view line) {
  std::string text = "ControlZ found in text ";
  text.append(where);
  text.append("\r\nin position ");
  text.append(std::to_string(position));
  text.append(" in line number ");
  text.append(std::to_string(lineNumber));
  text.append("\r\n\"");
  text.append(line);
  text.append(
      "\"\r\n Please remove ControlZ to fix this.\r\n[Having such a character before the end of the file "
      "will\r\n  confuse some compilers and editors.]");
  return text;
}

std::string OpenQuoteMessage(std::string_view where, int lineIndex, std::string_view line) {
  std::string text = "A quoted text is not closed at the end of line ";
  text.append(std::to_string(lineIndex + 1));
  text.append(where);
  text.append("\r\n\"");
  text.append(line);
  text.append("\"\r\nThe solver would take the rest of the line, and the statements after it, as part of the "
              "text.\r\nPlease close the quote or remove it.");
  return text;
}

} // namespace

const std::vector<std::string_view> kClosureKeywords{
    "exogenous", "endogenous", "rest", "swap", "xset", "xsubset", "use", "modify", "take", "xfile", "file"};
const std::vector<std::string_view> kShockKeywords{"shock", "subtotal",    "xset",   "xsubset",       "xfile",
                                                   "file",  "final_level", "change", "percent_change"};

void TOpenCMFFile::Open(std::span<const std::string> lines) {
  lines_ = lines;
  line_.clear();
  pos_ = 0;
  token_.clear();
  prevToken_.clear();
  keyword_.clear();
  tokenPos_ = 0;
  lineCount_ = -1;
  atStatementEnd_ = true;
}

void TOpenCMFFile::Close() {
  Open({});
}

std::string TOpenCMFFile::PrepareLine(std::string_view line) {
  // Comments first: "!!" stands for the character after it (kept even when it is a "!"); a single "!" ends
  // the line.
  std::string uncommented;
  uncommented.reserve(line.size());
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] != '!') {
      uncommented.push_back(line[i++]);
    } else if (i + 1 < line.size() && line[i + 1] == '!') {
      if (i + 2 < line.size()) {
        uncommented.push_back(line[i + 2]);
      }
      i += 3;
    } else {
      break;
    }
  }
  // Then every "#...#" span goes; an unpaired "#" takes the rest of the line with it.
  std::string prepared;
  prepared.reserve(uncommented.size());
  for (std::size_t i = 0; i < uncommented.size();) {
    if (uncommented[i] != '#') {
      prepared.push_back(uncommented[i++]);
      continue;
    }
    const std::size_t close = uncommented.find('#', i + 1);
    if (close == std::string::npos) {
      break;
    }
    i = close + 1;
  }
  return prepared;
}

bool TOpenCMFFile::NextLine() {
  if (lineCount_ + 1 >= static_cast<long long>(lines_.size())) {
    lineCount_ = static_cast<int>(lines_.size());
    line_.clear();
    pos_ = 0;
    return false;
  }
  ++lineCount_;
  line_ = PrepareLine(lines_[static_cast<std::size_t>(lineCount_)]);
  pos_ = 0;
  return true;
}

bool TOpenCMFFile::NextToken() {
  for (;;) {
    while (pos_ < line_.size() && IsGap(line_[pos_])) {
      ++pos_;
    }
    if (pos_ < line_.size()) {
      break;
    }
    if (!NextLine()) {
      return false;
    }
  }
  const std::size_t start = pos_;
  if (line_[start] == '"') {
    const std::size_t close = line_.find('"', start + 1);
    pos_ = close == std::string::npos ? line_.size() : close + 1;
  } else if (IsSingleToken(line_[start])) {
    pos_ = start + 1;
  } else {
    while (pos_ < line_.size() && !IsGap(line_[pos_]) && !IsSingleToken(line_[pos_])) {
      ++pos_;
    }
  }
  prevToken_ = std::move(token_);
  token_.assign(line_, start, pos_ - start);
  tokenPos_ = start;
  atStatementEnd_ = token_ == ";";
  return true;
}

bool TOpenCMFFile::NextStatement() {
  while (!atStatementEnd_) {
    if (!NextToken()) {
      return false;
    }
  }
  for (;;) {
    if (!NextToken()) {
      return false;
    }
    if (token_ == ";") {
      continue; // an empty statement
    }
    keyword_ = CleanKeyword(token_);
    if (!keyword_.empty()) {
      return true;
    }
  }
}

std::string TOpenCMFFile::NormaliseKeyword(std::string_view keyword) {
  std::string lower = LowerCase(keyword);
  for (const auto& [prefix, full] : kKeywordPrefixes) {
    if (lower.starts_with(prefix)) {
      return std::string(full);
    }
  }
  return lower;
}

KeywordCheck CheckKeywords(std::span<const std::string> source, std::span<const std::string_view> allowed,
                           std::string_view where, UserInterface& ui) {
  TOpenCMFFile reader;
  reader.Open(source);
  // A Control-Z may only be followed by blanks up to the end of the text.
  bool seen = false;
  std::size_t position = 0;
  int lineNumber = 0;
  std::string zLine;
  while (reader.NextLine()) {
    const std::string& line = reader.Line();
    if (!seen) {
      const std::size_t z = line.find(kControlZ);
      if (z == std::string::npos) {
        continue;
      }
      seen = true;
      position = z + 1;
      lineNumber = reader.LineCount();
      zLine = line;
      if (OnlyBlanks(std::string_view(line).substr(z + 1))) {
        continue;
      }
    } else if (OnlyBlanks(line)) {
      continue;
    }
    ui.Message(MessageKind::Error, ControlZMessage(where, position, lineNumber, zLine));
    return {KeywordCheck::Outcome::ControlZ, {}};
  }

  if (const int open = FindOpenQuote(source); open >= 0) {
    ui.Message(MessageKind::Error, OpenQuoteMessage(where, open, source[static_cast<std::size_t>(open)]));
    return {KeywordCheck::Outcome::OpenQuote, {}};
  }

  reader.Open(source);
  while (reader.NextStatement()) {
    std::string keyword = TOpenCMFFile::NormaliseKeyword(reader.Keyword());
    bool known = false;
    for (std::string_view word : allowed) {
      known = known || SameText(word, keyword);
    }
    if (!known) {
      return {KeywordCheck::Outcome::BadKeyword, std::move(keyword)};
    }
  }
  return {};
}

void CleanEditLines(std::vector<std::string>& lines) {
  for (std::string& line : lines) {
    line = CleanEditLine(line);
  }
}

std::string StatementText(std::string_view text) {
  std::string cleaned = CleanEditLine(text);
  for (char& c : cleaned) {
    if (c == ';') {
      c = ',';
    } else if (c == '!' || c == '#') {
      c = ' ';
    } else if (c == '"') {
      c = '\'';
    }
  }
  return cleaned;
}

int FindOpenQuote(std::span<const std::string> lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string prepared = TOpenCMFFile::PrepareLine(lines[i]);
    // Every double quote opens or closes a string, wherever it stands in a word.
    if (std::count(prepared.begin(), prepared.end(), '"') % 2 != 0) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool IsBlankText(std::span<const std::string> lines) {
  for (const std::string& line : lines) {
    for (char c : line) {
      if (static_cast<unsigned char>(c) > ' ') {
        return false;
      }
    }
  }
  return true;
}

} // namespace pelorin
