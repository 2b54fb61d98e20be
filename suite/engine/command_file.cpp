#include "engine/command_file.h"

#include "platform/strings.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace pelorin::engine {

namespace {

struct CmfToken {
  std::string text;
  bool quoted = false;
  bool punct = false; ///< one of = ; ( ) ,
  int line = 0;       ///< 1-based
  std::size_t col = 0;
  std::size_t end = 0; ///< column just after the token
};

/// Removes comments ("!" to the end of the line, "!!" kept as one "!") and spans between "#" marks.
std::string PrepareLine(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '!') {
      if (i + 1 < line.size() && line[i + 1] == '!') {
        out.push_back('!');
        ++i;
        continue;
      }
      break;
    }
    out.push_back(line[i]);
  }
  std::string result;
  result.reserve(out.size());
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '#') {
      std::size_t close = out.find('#', i + 1);
      if (close == std::string::npos) {
        break;
      }
      i = close;
      continue;
    }
    result.push_back(out[i]);
  }
  return result;
}

bool IsBlankChar(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v' || c == 26;
}
bool IsPunctChar(char c) {
  return c == '=' || c == ';' || c == '(' || c == ')' || c == ',';
}

void Tokenise(const std::string& line, int lineNo, std::vector<CmfToken>& tokens) {
  std::size_t i = 0;
  while (i < line.size()) {
    if (IsBlankChar(line[i])) {
      ++i;
      continue;
    }
    CmfToken t;
    t.line = lineNo;
    t.col = i;
    if (line[i] == '"') {
      std::size_t close = line.find('"', i + 1);
      if (close == std::string::npos) {
        close = line.size();
      }
      t.text = line.substr(i + 1, close - i - 1);
      t.quoted = true;
      i = close + 1;
    } else if (IsPunctChar(line[i])) {
      t.text = std::string(1, line[i]);
      t.punct = true;
      ++i;
    } else {
      std::size_t start = i;
      while (i < line.size() && !IsBlankChar(line[i]) && !IsPunctChar(line[i]) && line[i] != '"') {
        ++i;
      }
      t.text = line.substr(start, i - start);
    }
    t.end = std::min(i, line.size());
    tokens.push_back(std::move(t));
  }
}

struct Statement {
  std::vector<CmfToken> tokens; ///< without the closing ";"
  int line = 0;
  int endLine = 0;
  std::size_t endCol = 0; ///< column of the closing ";"
};

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) {
    return false;
  }
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && errno != ERANGE;
}

bool ParseInt(const std::string& text, long& value) {
  if (text.empty()) {
    return false;
  }
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text.c_str(), &end, 10);
  return end == text.c_str() + text.size() && errno != ERANGE;
}

class CmfParser {
public:
  CmfParser(const std::string& fileName, CommandFile& cmf, ErrorText& errorText)
      : fileName_(fileName), cmf_(cmf), errorText_(errorText) {}

  void Run(std::string_view text) {
    // Split into prepared lines, then into statements.
    std::vector<Statement> statements;
    Statement current;
    int lineNo = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
      std::size_t eol = text.find('\n', pos);
      if (eol == std::string_view::npos) {
        eol = text.size();
      }
      std::string_view raw = text.substr(pos, eol - pos);
      if (!raw.empty() && raw.back() == '\r') {
        raw.remove_suffix(1);
      }
      ++lineNo;
      lines_.push_back(PrepareLine(raw));
      std::vector<CmfToken> tokens;
      Tokenise(lines_.back(), lineNo, tokens);
      for (CmfToken& t : tokens) {
        if (t.punct && t.text == ";") {
          current.endLine = t.line;
          current.endCol = t.col;
          if (!current.tokens.empty()) {
            statements.push_back(std::move(current));
          }
          current = Statement{};
          continue;
        }
        if (current.tokens.empty()) {
          current.line = t.line;
        }
        current.tokens.push_back(std::move(t));
      }
      if (eol >= text.size()) {
        break;
      }
      pos = eol + 1;
    }
    if (!current.tokens.empty()) {
      Error(current.line, "statement starting \"" + Head(current) + "\" does not end with \";\"");
    }
    for (const Statement& s : statements) {
      if (errors_ >= 20) {
        break;
      }
      Dispatch(s);
    }
  }

  int Errors() const { return errors_; }

private:
  void Error(int line, const std::string& message) {
    if (errors_ < 20) {
      if (!errorText_.empty() && errorText_.back() != '\n') {
        errorText_ += '\n';
      }
      errorText_ += fileName_ + ":" + std::to_string(line) + ": error: " + message + "\n";
    }
    ++errors_;
  }

  static std::string Head(const Statement& s) {
    std::string text;
    for (std::size_t i = 0; i < s.tokens.size() && i < 6; ++i) {
      if (s.tokens[i].text == "=") {
        break;
      }
      if (!text.empty()) {
        text += ' ';
      }
      text += s.tokens[i].text;
    }
    return text;
  }

  /// Index of the first "=" token, or the token count.
  static std::size_t EqualsAt(const Statement& s) {
    for (std::size_t i = 0; i < s.tokens.size(); ++i) {
      if (s.tokens[i].punct && s.tokens[i].text == "=") {
        return i;
      }
    }
    return s.tokens.size();
  }

  /// The right-hand side of "key = value ;" as one text (a path may contain blanks only when quoted).
  bool Value(const Statement& s, std::string& value) {
    std::size_t eq = EqualsAt(s);
    if (eq == s.tokens.size()) {
      Error(s.line, "expected \"=\" in statement \"" + Head(s) + "\"");
      return false;
    }
    if (eq + 2 != s.tokens.size()) {
      Error(s.line, "expected one value after \"=\" in statement \"" + Head(s) + "\"");
      return false;
    }
    value = s.tokens[eq + 1].text;
    return true;
  }

  bool YesNo(const Statement& s, bool& value) {
    std::string text;
    if (!Value(s, text)) {
      return false;
    }
    if (SameText(text, "yes")) {
      value = true;
    } else if (SameText(text, "no")) {
      value = false;
    } else {
      Error(s.line, "expected yes or no in statement \"" + Head(s) + "\" but found \"" + text + "\"");
      return false;
    }
    return true;
  }

  bool IntValue(const Statement& s, int low, int high, int& value) {
    std::string text;
    long v = 0;
    if (!Value(s, text)) {
      return false;
    }
    if (!ParseInt(text, v) || v < low || v > high) {
      Error(s.line, "expected a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                        " in statement \"" + Head(s) + "\" but found \"" + text + "\"");
      return false;
    }
    value = static_cast<int>(v);
    return true;
  }

  void SetFile(const Statement& s, std::optional<CmfFile>& slot, const std::string& logical) {
    std::string path;
    if (!Value(s, path)) {
      return;
    }
    if (slot) {
      Error(s.line, "statement \"" + Head(s) + "\" was already given at line " + std::to_string(slot->line));
      return;
    }
    slot = CmfFile{logical, path, s.line};
  }

  void SetFlag(const Statement& s, std::optional<CmfFlag>& slot) {
    bool value = false;
    if (YesNo(s, value)) {
      slot = CmfFlag{value, s.line};
    }
  }

  void Dispatch(const Statement& s) {
    const std::size_t eq = EqualsAt(s);
    std::vector<std::string> head;
    for (std::size_t i = 0; i < eq; ++i) {
      head.push_back(LowerCase(s.tokens[i].text));
    }
    const std::string keyword = NormaliseKeyword(s.tokens[0].text);
    const std::string joined = [&] {
      std::string j;
      for (const std::string& w : head) {
        if (!j.empty()) {
          j += ' ';
        }
        j += w;
      }
      return j;
    }();

    if (keyword == "exogenous" || keyword == "endogenous") {
      CmfClosure c;
      c.kind = keyword == "exogenous" ? CmfClosure::Kind::Exogenous : CmfClosure::Kind::Endogenous;
      c.line = s.line;
      if (VarSpecs(s, 1, s.tokens.size(), c.vars, true)) {
        cmf_.closure.push_back(std::move(c));
      }
    } else if (keyword == "rest") {
      std::string what = s.tokens.size() == 2 ? NormaliseKeyword(s.tokens[1].text) : "";
      if (what != "exogenous" && what != "endogenous") {
        Error(s.line, "expected \"rest exogenous\" or \"rest endogenous\"");
        return;
      }
      CmfClosure c;
      c.kind = CmfClosure::Kind::Rest;
      c.restExogenous = what == "exogenous";
      c.line = s.line;
      cmf_.closure.push_back(std::move(c));
    } else if (keyword == "swap") {
      CmfClosure c;
      c.kind = CmfClosure::Kind::Swap;
      c.line = s.line;
      if (eq == s.tokens.size()) {
        Error(s.line, "expected \"=\" in swap statement");
        return;
      }
      if (VarSpecs(s, 1, eq, c.vars, true) && VarSpecs(s, eq + 1, s.tokens.size(), c.swapWith, true)) {
        cmf_.closure.push_back(std::move(c));
      }
    } else if (keyword == "shock" || keyword == "change" || keyword == "percent_change" ||
               keyword == "final_level") {
      ShockStatement(s, keyword, eq);
    } else if (keyword == "subtotal") {
      CmfSubtotal st;
      st.line = s.line;
      if (eq == s.tokens.size()) {
        Error(s.line, "expected \"=\" and a description in subtotal statement");
        return;
      }
      if (!VarSpecs(s, 1, eq, st.vars, false)) {
        return;
      }
      st.description = Trim(TextAfter(s, eq));
      cmf_.subtotals.push_back(std::move(st));
    } else if (keyword == "xset") {
      XSetStatement(s);
    } else if (keyword == "xsubset") {
      // xsubset SMALL is subset of BIG
      if (s.tokens.size() != 6 || !SameText(s.tokens[2].text, "is") ||
          !SameText(s.tokens[3].text, "subset") || !SameText(s.tokens[4].text, "of")) {
        Error(s.line, "expected \"xsubset SMALL is subset of BIG\"");
        return;
      }
      cmf_.xsubsets.push_back({s.tokens[1].text, s.tokens[5].text, s.line});
    } else if (keyword == "file" && head.size() >= 2) {
      std::string logical;
      for (std::size_t i = 1; i < head.size(); ++i) {
        logical += s.tokens[i].text;
      }
      std::string path;
      if (Value(s, path)) {
        for (const CmfFile& f : cmf_.files) {
          if (SameText(f.logicalName, logical)) {
            Error(s.line, "file " + logical + " was already given at line " + std::to_string(f.line));
            return;
          }
        }
        cmf_.files.push_back({logical, path, s.line});
      }
    } else if (joined == "auxiliary files") {
      SetFile(s, cmf_.auxiliaryFiles, "");
    } else if (joined == "solution file") {
      SetFile(s, cmf_.solutionFile, "");
    } else if (head.size() == 3 && head[0] == "updated" && head[1] == "file") {
      std::string path;
      if (Value(s, path)) {
        cmf_.updatedFiles.push_back({s.tokens[2].text, path, s.line});
      }
    } else if (joined == "updated terminal data") {
      SetFile(s, cmf_.updatedTerminalData, "(terminal)");
    } else if (joined == "display file") {
      SetFile(s, cmf_.displayFile, "(display)");
    } else if (joined == "closure information file") {
      SetFile(s, cmf_.closureInformationFile, "");
    } else if (joined == "extrapolation accuracy file") {
      YesNo(s, cmf_.extrapolationAccuracyFile);
    } else if (joined == "dpn") {
      SetFlag(s, cmf_.dpn);
    } else if (joined == "neq") {
      SetFlag(s, cmf_.neq);
    } else if (joined == "nas") {
      SetFlag(s, cmf_.nas);
    } else if (joined == "nds") {
      SetFlag(s, cmf_.nds);
    } else if (joined == "nwr") {
      SetFlag(s, cmf_.nwr);
    } else if (joined == "condensation") {
      SetFlag(s, cmf_.condensation);
    } else if (joined == "verbal description") {
      if (eq == s.tokens.size()) {
        Error(s.line, "expected \"=\" after \"Verbal Description\"");
        return;
      }
      cmf_.hasVerbalDescription = true;
      cmf_.verbalDescription = TextLinesAfter(s, eq);
    } else if (joined == "method") {
      std::string m;
      if (!Value(s, m)) {
        return;
      }
      m = LowerCase(m);
      if (m != "johansen" && m != "euler" && m != "gragg" && m != "midpoint") {
        Error(s.line, "unknown solution method \"" + m + "\" (expected Johansen, Euler, Gragg or Midpoint)");
        return;
      }
      cmf_.method = m;
      cmf_.methodLine = s.line;
    } else if (joined == "steps") {
      if (eq == s.tokens.size() || eq + 1 == s.tokens.size() || s.tokens.size() - eq - 1 > 3) {
        Error(s.line, "expected 1 to 3 step counts after \"Steps =\"");
        return;
      }
      cmf_.steps.clear();
      for (std::size_t i = eq + 1; i < s.tokens.size(); ++i) {
        long v = 0;
        if (!ParseInt(s.tokens[i].text, v) || v < 1 || v > 10000) {
          Error(s.line, "step count \"" + s.tokens[i].text + "\" is not a whole number from 1 to 10000");
          return;
        }
        cmf_.steps.push_back(static_cast<int>(v));
      }
    } else if (joined == "subintervals") {
      IntValue(s, 1, 100000, cmf_.subintervals);
    } else if (joined == "automatic accuracy") {
      YesNo(s, cmf_.automaticAccuracy);
    } else if (joined == "accuracy figures") {
      IntValue(s, 1, 6, cmf_.accuracyFigures);
    } else if (joined == "accuracy percent") {
      IntValue(s, 1, 100, cmf_.accuracyPercent);
    } else if (joined == "minimum subinterval length") {
      std::string text;
      double v = 0;
      if (Value(s, text)) {
        if (!ParseNumber(text, v) || !(v > 0.0) || v > 1.0) {
          Error(s.line, "minimum subinterval length \"" + text + "\" is not a number above 0 and at most 1");
          return;
        }
        cmf_.minimumSubintervalLength = v;
      }
    } else if (joined == "minimum subinterval fails") {
      std::string text;
      if (Value(s, text)) {
        if (SameText(text, "stop")) {
          cmf_.minimumSubintervalFailsStop = true;
        } else if (SameText(text, "continue")) {
          cmf_.minimumSubintervalFailsStop = false;
        } else {
          Error(s.line, "expected stop or continue after \"minimum subinterval fails =\"");
        }
      }
    } else if (joined == "accuracy criterion") {
      std::string text;
      if (Value(s, text)) {
        if (SameText(text, "data")) {
          cmf_.accuracyCriterion = 0;
        } else if (SameText(text, "solution")) {
          cmf_.accuracyCriterion = 1;
        } else if (SameText(text, "both")) {
          cmf_.accuracyCriterion = 2;
        } else {
          Error(s.line, "expected Data, Solution or Both after \"accuracy criterion =\"");
        }
      }
    } else {
      Error(s.line, "unknown statement \"" + Head(s) + "\"");
    }
  }

  /// The prepared text of the statement after token `eq` up to its ";", lines joined by one blank.
  std::string TextAfter(const Statement& s, std::size_t eq) {
    std::string joined;
    for (const std::string& line : TextLinesAfter(s, eq)) {
      if (!joined.empty()) {
        joined += ' ';
      }
      joined += line;
    }
    return joined;
  }

  std::vector<std::string> TextLinesAfter(const Statement& s, std::size_t eq) {
    std::vector<std::string> out;
    const CmfToken& e = s.tokens[eq];
    for (int line = e.line; line <= s.endLine; ++line) {
      const std::string& text = lines_[static_cast<std::size_t>(line - 1)];
      std::size_t from = line == e.line ? e.end : 0;
      std::size_t to = line == s.endLine ? s.endCol : text.size();
      if (from > to || from > text.size()) {
        from = to = 0;
      }
      std::string part = TrimRight(text.substr(from, to - from));
      if (line == e.line) {
        part = TrimLeft(part);
        if (part.empty()) {
          continue;
        }
      }
      out.push_back(part);
    }
    while (!out.empty() && Trim(out.back()).empty()) {
      out.pop_back();
    }
    return out;
  }

  /// Reads variable references from tokens [from, to).
  bool VarSpecs(const Statement& s, std::size_t from, std::size_t to, std::vector<CmfVarSpec>& varRefs,
                bool allowComponents) {
    std::size_t i = from;
    while (i < to) {
      const CmfToken& t = s.tokens[i];
      if (t.punct && t.text == ",") {
        ++i;
        continue;
      }
      long number = 0;
      if (!t.punct && !t.quoted && !varRefs.empty() && allowComponents &&
          ComponentRange(t.text, varRefs.back())) {
        ++i;
        continue;
      }
      if (t.punct || t.quoted || ParseInt(t.text, number)) {
        Error(t.line, "expected a variable name but found \"" + t.text + "\"");
        return false;
      }
      CmfVarSpec varRef;
      varRef.name = t.text;
      varRef.line = t.line;
      ++i;
      if (i < to && s.tokens[i].punct && s.tokens[i].text == "(") {
        varRef.hasArgs = true;
        ++i;
        while (true) {
          if (i >= to) {
            Error(t.line, "argument list of " + varRef.name + " is not closed with \")\"");
            return false;
          }
          const CmfToken& a = s.tokens[i];
          if (a.punct && a.text == ")") {
            ++i;
            break;
          }
          if (a.punct && a.text == ",") {
            ++i;
            continue;
          }
          if (a.punct) {
            Error(a.line, "unexpected \"" + a.text + "\" in the arguments of " + varRef.name);
            return false;
          }
          varRef.args.push_back({a.text, a.quoted});
          ++i;
        }
        if (varRef.args.empty()) {
          Error(t.line, "empty argument list for " + varRef.name);
          return false;
        }
      }
      varRefs.push_back(std::move(varRef));
    }
    if (varRefs.empty()) {
      Error(s.line, "statement \"" + Head(s) + "\" names no variable");
      return false;
    }
    return true;
  }

  /// "5" or "2-4" after a variable name: component numbers.
  bool ComponentRange(const std::string& text, CmfVarSpec& varRef) {
    long a = 0;
    long b = 0;
    std::size_t dash = text.find('-', 1);
    if (dash == std::string::npos) {
      if (!ParseInt(text, a)) {
        return false;
      }
      b = a;
    } else if (!ParseInt(text.substr(0, dash), a) || !ParseInt(text.substr(dash + 1), b)) {
      return false;
    }
    varRef.components.emplace_back(a, b);
    return true;
  }

  void ShockStatement(const Statement& s, const std::string& keyword, std::size_t eq) {
    CmfShock shock;
    shock.line = s.line;
    shock.kind = keyword == "shock"            ? CmfShock::Kind::Shock
                 : keyword == "change"         ? CmfShock::Kind::Change
                 : keyword == "percent_change" ? CmfShock::Kind::PercentChange
                                               : CmfShock::Kind::FinalLevel;
    if (eq == s.tokens.size() || eq + 1 == s.tokens.size()) {
      Error(s.line, "expected \"=\" and a value in statement \"" + Head(s) + "\"");
      return;
    }
    std::vector<CmfVarSpec> varRefs;
    if (!VarSpecs(s, 1, eq, varRefs, true)) {
      return;
    }
    if (varRefs.size() != 1) {
      Error(s.line, "a " + keyword + " statement names one variable, not " + std::to_string(varRefs.size()));
      return;
    }
    shock.target = std::move(varRefs[0]);
    std::size_t i = eq + 1;
    auto word = [&](std::size_t k, const char* w) {
      return k < s.tokens.size() && !s.tokens[k].quoted && SameText(s.tokens[k].text, w);
    };
    if (word(i, "uniform")) {
      double v = 0;
      if (i + 2 != s.tokens.size() || !ParseNumber(s.tokens[i + 1].text, v)) {
        Error(s.line, "expected one number after \"uniform\"");
        return;
      }
      shock.source = CmfShock::Source::Uniform;
      shock.values.push_back(v);
    } else if (word(i, "select") || word(i, "file")) {
      if (word(i, "select")) {
        if (!word(i + 1, "from") || !word(i + 2, "file")) {
          Error(s.line, "expected \"select from file\"");
          return;
        }
        shock.select = true;
        i += 2;
      }
      ++i;
      if (i >= s.tokens.size()) {
        Error(s.line, "expected a file name after \"file\"");
        return;
      }
      shock.source = CmfShock::Source::File;
      shock.file = s.tokens[i++].text;
      if (word(i, "header")) {
        if (i + 2 != s.tokens.size()) {
          Error(s.line, "expected one header name after \"header\"");
          return;
        }
        shock.header = UpperCase(s.tokens[i + 1].text);
      } else if (i != s.tokens.size()) {
        Error(s.line, "unexpected \"" + s.tokens[i].text + "\" after the file name");
        return;
      }
    } else {
      shock.source = CmfShock::Source::Values;
      for (; i < s.tokens.size(); ++i) {
        if (s.tokens[i].punct && s.tokens[i].text == ",") {
          continue;
        }
        double v = 0;
        if (!ParseNumber(s.tokens[i].text, v)) {
          Error(s.line, "shock value \"" + s.tokens[i].text + "\" is not a number");
          return;
        }
        shock.values.push_back(v);
      }
      if (shock.values.empty()) {
        Error(s.line, "no shock value given");
        return;
      }
    }
    cmf_.shocks.push_back(std::move(shock));
  }

  void XSetStatement(const Statement& s) {
    CmfXSet x;
    x.line = s.line;
    std::size_t i = 1;
    if (i >= s.tokens.size() || s.tokens[i].punct) {
      Error(s.line, "expected a set name after \"xset\"");
      return;
    }
    x.name = s.tokens[i++].text;
    if (i < s.tokens.size() && s.tokens[i].quoted) {
      x.label = s.tokens[i++].text;
    }
    if (i >= s.tokens.size() || s.tokens[i].text != "(") {
      Error(s.line, "expected \"(\" and the elements of set " + x.name);
      return;
    }
    for (++i; i < s.tokens.size(); ++i) {
      const CmfToken& t = s.tokens[i];
      if (t.punct && t.text == ",") {
        continue;
      }
      if (t.punct && t.text == ")") {
        break;
      }
      if (t.punct) {
        Error(s.line, "unexpected \"" + t.text + "\" in the elements of set " + x.name);
        return;
      }
      x.elements.push_back(t.text);
    }
    if (i + 1 != s.tokens.size() || x.elements.empty()) {
      Error(s.line, "expected \"xset NAME (element, ...)\"");
      return;
    }
    cmf_.xsets.push_back(std::move(x));
  }

  const std::string& fileName_;
  CommandFile& cmf_;
  ErrorText& errorText_;
  std::vector<std::string> lines_;
  int errors_ = 0;
};

} // namespace

std::string NormaliseKeyword(std::string_view word) {
  static const std::pair<const char*, const char*> kPrefixes[] = {{"sho", "shock"},
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
                                                                  {"pe", "percent_change"}};
  const std::string lower = LowerCase(word);
  for (const auto& [prefix, keyword] : kPrefixes) {
    if (lower.rfind(prefix, 0) == 0) {
      return keyword;
    }
  }
  return lower;
}

bool ParseCommandFile(std::string_view text, const std::string& fileName, CommandFile& cmf,
                      ErrorText& errorText) {
  cmf = CommandFile{};
  cmf.fileName = fileName;
  CmfParser parser(fileName, cmf, errorText);
  parser.Run(text);
  return parser.Errors() == 0;
}

bool ReadCommandFile(const std::string& path, CommandFile& cmf, ErrorText& errorText) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return Fail(errorText, "Cannot open file " + path, "[ReadCommandFile]");
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return ParseCommandFile(bytes.str(), path, cmf, errorText);
}

} // namespace pelorin::engine
