#include "mrklang/parser.h"

#include "platform/strings.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>

namespace pelorin::mrk {

namespace {

enum class Tok { End, Name, Number, String, Punct };

struct Token {
  Tok kind = Tok::End;
  std::string text; ///< name as written, string without quotes, punctuation character
  double number = 0.0;
  int line = 0;
  int col = 0;
};

/// Thrown inside the parser only: ends the current statement, which is then skipped up to its ";" or up to
/// the next statement's keyword. A silent one is not reported: it follows from an earlier error.
struct StatementError {
  Diagnostic diagnostic;
  bool silent = false;
};

bool IsNameStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsNameChar(char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

/// Splits the source into tokens; "!" starts a comment that runs to the end of the line.
class Lexer {
public:
  explicit Lexer(std::string_view source) : src_(source) {}

  bool Run(std::vector<Token>& tokens, std::vector<Diagnostic>& errors) {
    while (true) {
      SkipBlanks();
      Token token;
      token.line = line_;
      token.col = Col();
      if (pos_ >= src_.size()) {
        token.kind = Tok::End;
        tokens.push_back(token);
        return errors.empty();
      }
      const char c = src_[pos_];
      if (IsNameStart(c)) {
        std::size_t start = pos_;
        while (pos_ < src_.size() && IsNameChar(src_[pos_])) {
          ++pos_;
        }
        token.kind = Tok::Name;
        token.text = std::string(src_.substr(start, pos_ - start));
      } else if (IsDigit(c) || (c == '.' && pos_ + 1 < src_.size() && IsDigit(src_[pos_ + 1]))) {
        std::size_t start = pos_;
        while (pos_ < src_.size() && (IsDigit(src_[pos_]) || src_[pos_] == '.')) {
          ++pos_;
        }
        if (pos_ < src_.size() && (src_[pos_] == 'e' || src_[pos_] == 'E')) {
          std::size_t save = pos_++;
          if (pos_ < src_.size() && (src_[pos_] == '+' || src_[pos_] == '-')) {
            ++pos_;
          }
          if (pos_ < src_.size() && IsDigit(src_[pos_])) {
            while (pos_ < src_.size() && IsDigit(src_[pos_])) {
              ++pos_;
            }
          } else {
            pos_ = save;
          }
        }
        std::string text(src_.substr(start, pos_ - start));
        char* end = nullptr;
        errno = 0;
        token.number = std::strtod(text.c_str(), &end);
        if (end != text.c_str() + text.size() || errno == ERANGE) {
          errors.push_back({token.line, token.col, "bad number \"" + text + "\""});
        }
        token.kind = Tok::Number;
        token.text = text;
      } else if (c == '"') {
        std::size_t start = ++pos_;
        while (pos_ < src_.size() && src_[pos_] != '"' && src_[pos_] != '\n') {
          ++pos_;
        }
        if (pos_ >= src_.size() || src_[pos_] != '"') {
          errors.push_back({token.line, token.col, "text in double quotes is not closed on its line"});
          token.text = std::string(src_.substr(start, pos_ - start));
        } else {
          token.text = std::string(src_.substr(start, pos_ - start));
          ++pos_;
        }
        token.kind = Tok::String;
      } else if (std::string_view("(),;:=+-*/^").find(c) != std::string_view::npos) {
        token.kind = Tok::Punct;
        token.text = std::string(1, c);
        ++pos_;
      } else {
        const unsigned char u = static_cast<unsigned char>(c);
        std::string shown = (u >= 33 && u < 127) ? std::string(1, c) : "byte " + std::to_string(u);
        errors.push_back({token.line, token.col, "unexpected character " + shown});
        ++pos_;
        if (errors.size() >= 50) {
          tokens.push_back({Tok::End, "", 0.0, line_, Col()});
          return false;
        }
        continue;
      }
      tokens.push_back(std::move(token));
    }
  }

private:
  int Col() const { return static_cast<int>(pos_ - lineStart_) + 1; }

  void SkipBlanks() {
    while (pos_ < src_.size()) {
      const char c = src_[pos_];
      if (c == '\n') {
        ++pos_;
        ++line_;
        lineStart_ = pos_;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
        ++pos_;
      } else if (c == '!') {
        while (pos_ < src_.size() && src_[pos_] != '\n') {
          ++pos_;
        }
      } else {
        return;
      }
    }
  }

  std::string_view src_;
  std::size_t pos_ = 0;
  std::size_t lineStart_ = 0;
  int line_ = 1;
};

/// Recursive-descent parser that checks each statement as it reads it (names are declared before use).
class Parser {
public:
  Parser(std::vector<Token> tokens, Model& model, std::vector<Diagnostic>& errors)
      : toks_(std::move(tokens)), model_(model), errors_(errors) {}

  void Run() {
    while (Peek().kind != Tok::End && errors_.size() < 50) {
      const std::size_t start = pos_;
      statementName_.clear();
      try {
        Statement();
      } catch (const StatementError& e) {
        if (!e.silent) {
          errors_.push_back(e.diagnostic);
        }
        // What the statement would have declared is not there; its later uses are not reported again.
        if (!statementName_.empty()) {
          failedNames_.insert(LowerCase(statementName_));
        }
        if (pos_ == start) {
          ++pos_;
        }
        // A statement keyword cannot appear inside a statement (it is reserved), so it starts the next one:
        // a missing ";" costs only the statement it ends.
        while (Peek().kind != Tok::End && !IsPunct(Peek(), ";") && !StartsStatement(Peek())) {
          ++pos_;
        }
        if (IsPunct(Peek(), ";")) {
          ++pos_;
        }
      }
    }
  }

private:
  // ---- token helpers ----
  const Token& Peek(std::size_t ahead = 0) const {
    std::size_t i = pos_ + ahead;
    return i < toks_.size() ? toks_[i] : toks_.back();
  }
  const Token& Next() {
    const Token& t = Peek();
    if (pos_ < toks_.size() - 1) {
      ++pos_;
    }
    return t;
  }
  static bool IsPunct(const Token& t, const char* p) { return t.kind == Tok::Punct && t.text == p; }
  static bool IsWord(const Token& t, const char* w) { return t.kind == Tok::Name && SameText(t.text, w); }

  [[noreturn]] static void ErrorAt(const Token& t, std::string message) {
    throw StatementError{{t.line, t.col, std::move(message)}};
  }
  /// A name that is not declared: reported, unless its own statement failed and was reported already.
  [[noreturn]] void UnknownName(const Token& t, std::string message) const {
    throw StatementError{{t.line, t.col, std::move(message)}, failedNames_.count(LowerCase(t.text)) != 0};
  }
  static bool StartsStatement(const Token& t) {
    static const char* const kStatements[] = {"model",  "description", "file",     "set",
                                              "subset", "coefficient", "variable", "equation",
                                              "update", "write",       "display"};
    for (const char* word : kStatements) {
      if (IsWord(t, word)) {
        return true;
      }
    }
    return false;
  }
  /// The name a statement declares, remembered in case the statement fails.
  const Token& DeclaredName(const char* what) {
    const Token& name = ExpectName(what);
    statementName_ = name.text;
    return name;
  }
  static std::string Describe(const Token& t) {
    switch (t.kind) {
    case Tok::End:
      return "the end of the file";
    case Tok::String:
      return "\"" + t.text + "\"";
    default:
      return "\"" + t.text + "\"";
    }
  }
  void Expect(const char* p) {
    if (!IsPunct(Peek(), p)) {
      ErrorAt(Peek(), std::string("expected \"") + p + "\" but found " + Describe(Peek()));
    }
    Next();
  }
  void ExpectWord(const char* w) {
    if (!IsWord(Peek(), w)) {
      ErrorAt(Peek(), std::string("expected \"") + w + "\" but found " + Describe(Peek()));
    }
    Next();
  }
  const Token& ExpectName(const char* what) {
    if (Peek().kind != Tok::Name) {
      ErrorAt(Peek(), std::string("expected ") + what + " but found " + Describe(Peek()));
    }
    return Next();
  }
  std::string OptionalString() {
    if (Peek().kind == Tok::String) {
      return Next().text;
    }
    return {};
  }

  // ---- names ----
  void Declare(const Token& name, std::size_t maxLength, const char* what) {
    static const char* const kReserved[] = {
        "model",    "description", "file",   "set",     "subset", "coefficient", "variable",
        "equation", "update",      "write",  "display", "sum",    "prod",        "exp",
        "ln",       "sqrt",        "read",   "in",      "of",     "to",          "percent",
        "change",   "input",       "output", "har",     "text",   "updated"};
    for (const char* word : kReserved) {
      if (SameText(name.text, word)) {
        ErrorAt(name, "\"" + name.text + "\" is a keyword and cannot name a " + what);
      }
    }
    if (name.text.size() > maxLength) {
      ErrorAt(name, std::string(what) + " name \"" + name.text + "\" is longer than " +
                        std::to_string(maxLength) + " characters");
    }
    const std::string key = LowerCase(name.text);
    auto it = names_.find(key);
    if (it != names_.end()) {
      ErrorAt(name, "duplicate name \"" + name.text + "\" (first declared at line " +
                        std::to_string(it->second) + ")");
    }
    names_[key] = name.line;
  }

  int LookupSet(const Token& t) const {
    int s = model_.FindSet(t.text);
    if (s < 0) {
      UnknownName(t, "unknown set \"" + t.text + "\"");
    }
    return s;
  }
  int LookupFile(const Token& t) const {
    int f = model_.FindFile(t.text);
    if (f < 0) {
      UnknownName(t, "file \"" + t.text + "\" is not declared");
    }
    return f;
  }
  void CheckHeader(const Token& t) const {
    if (t.text.empty() || t.text.size() > kMaxHeaderName) {
      ErrorAt(t, "header name \"" + t.text + "\" must have 1 to 4 characters");
    }
    for (char c : t.text) {
      if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) > '~') {
        ErrorAt(t, "header name \"" + t.text + "\" holds a blank or a character that is not printable");
      }
    }
  }
  std::string ReadHeader() {
    if (Peek().kind != Tok::String) {
      ErrorAt(Peek(), "expected a header name in double quotes but found " + Describe(Peek()));
    }
    const Token& t = Next();
    CheckHeader(t);
    return UpperCase(t.text);
  }
  int ReadInputFile() {
    const Token& f = ExpectName("a file name");
    int file = LookupFile(f);
    if (model_.files[file].kind != FileKind::Input) {
      ErrorAt(f, "file \"" + f.text + "\" is an output file and cannot be read");
    }
    return file;
  }

  // ---- statements ----
  void Statement() {
    nodes_ = 0;
    const Token& kw = Peek();
    if (kw.kind != Tok::Name) {
      ErrorAt(kw, "expected a statement but found " + Describe(kw));
    }
    const std::string word = LowerCase(kw.text);
    Next();
    if (word == "model") {
      ModelStatement(kw);
    } else if (word == "description") {
      if (Peek().kind != Tok::String) {
        ErrorAt(Peek(), "expected a description line in double quotes");
      }
      model_.descriptionLines.push_back(Next().text);
    } else if (word == "file") {
      FileStatement();
    } else if (word == "set") {
      SetStatement();
    } else if (word == "subset") {
      SubsetStatement();
    } else if (word == "coefficient") {
      CoefficientStatement();
    } else if (word == "variable") {
      VariableStatement();
    } else if (word == "equation") {
      EquationStatement();
    } else if (word == "update") {
      UpdateStatement();
    } else if (word == "write") {
      WriteStatement();
    } else if (word == "display") {
      DisplayStatement();
    } else {
      ErrorAt(kw, "unknown statement \"" + kw.text + "\"");
    }
    Expect(";");
  }

  void ModelStatement(const Token& kw) {
    if (modelSeen_) {
      ErrorAt(kw, "the model statement is given twice");
    }
    modelSeen_ = true;
    model_.name = ExpectName("the model's name").text;
    model_.description = OptionalString();
  }

  void FileStatement() {
    const Token& name = DeclaredName("a logical file name");
    Declare(name, kMaxFileName, "file");
    LogicalFile file;
    file.name = name.text;
    file.line = name.line;
    file.description = OptionalString();
    if (IsWord(Peek(), "input")) {
      file.kind = FileKind::Input;
    } else if (IsWord(Peek(), "output")) {
      file.kind = FileKind::Output;
    } else {
      ErrorAt(Peek(), "expected \"input\" or \"output\" but found " + Describe(Peek()));
    }
    Next();
    if (IsWord(Peek(), "har")) {
      Next();
    } else if (IsWord(Peek(), "text")) {
      file.format = FileFormat::Text;
      Next();
    }
    if (IsWord(Peek(), "updated")) {
      if (file.kind != FileKind::Input) {
        ErrorAt(Peek(), "only an input file can be updated");
      }
      file.updated = true;
      Next();
    }
    if (IsTerminalFile(file) && (file.kind != FileKind::Input || file.format != FileFormat::Text)) {
      ErrorAt(name, "the file terminal holds data typed at the terminal; declare it \"input text\"");
    }
    model_.files.push_back(std::move(file));
  }

  void SetStatement() {
    const Token& name = DeclaredName("a set name");
    Declare(name, kMaxSetName, "set");
    SetDecl set;
    set.name = name.text;
    set.line = name.line;
    set.label = OptionalString();
    Expect("=");
    if (IsWord(Peek(), "read")) {
      Next();
      set.fromData = true;
      set.file = ReadInputFile();
      set.header = ReadHeader();
    } else {
      Expect("(");
      std::map<std::string, int> seen;
      while (true) {
        const Token& e = Peek();
        if (e.kind != Tok::Name && e.kind != Tok::String && e.kind != Tok::Number) {
          ErrorAt(e, "expected an element name but found " + Describe(e));
        }
        Next();
        if (e.text.empty() || e.text.size() > kMaxElementName) {
          ErrorAt(e, "element name \"" + e.text + "\" must have 1 to 12 characters");
        }
        if (!seen.emplace(LowerCase(e.text), e.line).second) {
          ErrorAt(e, "element \"" + e.text + "\" is listed twice in set " + set.name);
        }
        set.elements.push_back(e.text);
        if (IsPunct(Peek(), ",")) {
          Next();
          continue;
        }
        Expect(")");
        break;
      }
    }
    model_.sets.push_back(std::move(set));
  }

  void SubsetStatement() {
    const Token& small = ExpectName("a set name");
    int s = LookupSet(small);
    ExpectWord("of");
    const Token& big = ExpectName("a set name");
    int b = LookupSet(big);
    if (s == b) {
      ErrorAt(big, "a set cannot be declared a subset of itself");
    }
    if (model_.IsSubsetOf(b, s)) {
      ErrorAt(big, "set " + big.text + " is already a subset of " + small.text);
    }
    const SetDecl& ss = model_.sets[s];
    const SetDecl& bs = model_.sets[b];
    if (!ss.fromData && !bs.fromData) {
      for (const std::string& e : ss.elements) {
        bool found = false;
        for (const std::string& f : bs.elements) {
          found = found || SameText(e, f);
        }
        if (!found) {
          ErrorAt(small, "element \"" + e + "\" of set " + ss.name + " is not in set " + bs.name);
        }
      }
    }
    model_.subsets.push_back({s, b, small.line});
  }

  /// "(i in SET, j in SET2)": declares the domain slots of a formula.
  void Domain(Formula& f) {
    if (!IsPunct(Peek(), "(")) {
      return;
    }
    Next();
    while (true) {
      const Token& idx = ExpectName("an index name");
      ExpectWord("in");
      const Token& setTok = ExpectName("a set name");
      int set = LookupSet(setTok);
      BindIndex(idx, set, f);
      f.domain.push_back(set);
      if (f.domain.size() > kMaxArguments) {
        ErrorAt(idx, "more than 7 arguments");
      }
      if (IsPunct(Peek(), ",")) {
        Next();
        continue;
      }
      Expect(")");
      break;
    }
  }

  void BindIndex(const Token& idx, int set, Formula& f) {
    for (const auto& [name, slot] : scope_) {
      if (SameText(name, idx.text)) {
        ErrorAt(idx, "index \"" + idx.text + "\" is already in use here");
      }
    }
    scope_.emplace_back(idx.text, static_cast<int>(f.slotSets.size()));
    f.slotSets.push_back(set);
    f.slotNames.push_back(idx.text);
  }

  void CoefficientStatement() {
    const Token& name = DeclaredName("a coefficient name");
    Coefficient c;
    c.name = name.text;
    c.line = name.line;
    scope_.clear();
    Domain(c.formula);
    c.sets = c.formula.domain;
    c.description = OptionalString();
    Expect("=");
    if (IsWord(Peek(), "read")) {
      Next();
      c.source = Source::Read;
      c.file = ReadInputFile();
      c.header = ReadHeader();
    } else {
      c.source = Source::Formula;
      c.formula.expr = Expression(c.formula);
    }
    Declare(name, kMaxVariableName, "coefficient");
    c.order = declarations_++;
    model_.coefficients.push_back(std::move(c));
  }

  void VariableStatement() {
    bool percent = true;
    if (IsWord(Peek(), "percent") || IsWord(Peek(), "change")) {
      percent = IsWord(Next(), "percent");
    }
    const Token& name = DeclaredName("a variable name");
    Variable v;
    v.name = name.text;
    v.line = name.line;
    v.percent = percent;
    scope_.clear();
    Domain(v.formula);
    v.sets = v.formula.domain;
    v.description = OptionalString();
    Expect("=");
    if (IsWord(Peek(), "read")) {
      Next();
      v.source = Source::Read;
      v.file = ReadInputFile();
      v.header = ReadHeader();
    } else {
      v.source = Source::Formula;
      v.formula.expr = Expression(v.formula);
    }
    Declare(name, kMaxVariableName, "variable");
    v.order = declarations_++;
    model_.variables.push_back(std::move(v));
  }

  void EquationStatement() {
    const Token& name = DeclaredName("an equation name");
    Declare(name, kMaxVariableName, "equation");
    Equation eq;
    eq.name = name.text;
    eq.line = name.line;
    scope_.clear();
    Domain(eq.lhs);
    eq.description = OptionalString();
    Expect(":");
    eq.lhs.expr = Expression(eq.lhs);
    Expect("=");
    eq.rhs = Expression(eq.lhs);
    model_.equations.push_back(std::move(eq));
  }

  void UpdateStatement() {
    const Token& f = ExpectName("a file name");
    Update u;
    u.line = f.line;
    u.file = LookupFile(f);
    const LogicalFile& file = model_.files[u.file];
    if (file.kind != FileKind::Input || !file.updated) {
      ErrorAt(f, "file \"" + f.text + "\" is not declared as an updated input file");
    }
    const Token& headerTok = Peek();
    u.header = ReadHeader();
    for (const Update& other : model_.updates) {
      if (other.file == u.file && other.header == u.header) {
        ErrorAt(headerTok, "header \"" + u.header + "\" of file " + f.text + " is updated twice");
      }
    }
    scope_.clear();
    Domain(u.value);
    Expect("=");
    u.value.expr = Expression(u.value);
    model_.updates.push_back(std::move(u));
  }

  /// A coefficient or variable named by a write or display statement.
  Output OutputTarget() {
    const Token& name = ExpectName("a coefficient or variable name");
    Output out;
    out.line = name.line;
    int c = model_.FindCoefficient(name.text);
    int v = model_.FindVariable(name.text);
    if (c >= 0) {
      out.ref = c;
    } else if (v >= 0) {
      out.isVariable = true;
      out.ref = v;
    } else {
      ErrorAt(name, "\"" + name.text + "\" is not a coefficient or variable");
    }
    return out;
  }

  void WriteStatement() {
    Output out = OutputTarget();
    ExpectWord("to");
    const Token& f = ExpectName("a file name");
    out.file = LookupFile(f);
    if (model_.files[out.file].kind != FileKind::Output) {
      ErrorAt(f, "file \"" + f.text + "\" is an input file; writes go to output files");
    }
    const Token& headerTok = Peek();
    out.header = ReadHeader();
    for (const Output& other : model_.writes) {
      if (other.file == out.file && other.header == out.header) {
        ErrorAt(headerTok, "header \"" + out.header + "\" is written twice to file " + f.text);
      }
    }
    model_.writes.push_back(std::move(out));
  }

  void DisplayStatement() { model_.displays.push_back(OutputTarget()); }

  // ---- expressions ----
  std::unique_ptr<Expr> Make(Op op, const Token& at) {
    // Trees are walked recursively when they are checked, evaluated and freed; keep them shallow enough.
    if (++nodes_ > kMaxNodes) {
      ErrorAt(at, "expression too long (more than " + std::to_string(kMaxNodes) +
                      " operations in one statement)");
    }
    auto e = std::make_unique<Expr>();
    e->op = op;
    e->line = at.line;
    e->col = at.col;
    return e;
  }

  std::unique_ptr<Expr> Expression(Formula& f) {
    auto left = Term(f);
    while (IsPunct(Peek(), "+") || IsPunct(Peek(), "-")) {
      const Token& op = Next();
      auto e = Make(op.text == "+" ? Op::Add : Op::Sub, op);
      e->a = std::move(left);
      e->b = Term(f);
      left = std::move(e);
    }
    return left;
  }

  std::unique_ptr<Expr> Term(Formula& f) {
    auto left = Unary(f);
    while (IsPunct(Peek(), "*") || IsPunct(Peek(), "/")) {
      const Token& op = Next();
      auto e = Make(op.text == "*" ? Op::Mul : Op::Div, op);
      e->a = std::move(left);
      e->b = Unary(f);
      left = std::move(e);
    }
    return left;
  }

  std::unique_ptr<Expr> Unary(Formula& f) {
    if (++depth_ > 200) {
      ErrorAt(Peek(), "expression nested too deeply");
    }
    std::unique_ptr<Expr> result;
    if (IsPunct(Peek(), "-")) {
      const Token& op = Next();
      result = Make(Op::Neg, op);
      result->a = Unary(f);
    } else if (IsPunct(Peek(), "+")) {
      Next();
      result = Unary(f);
    } else {
      result = Power(f);
    }
    --depth_;
    return result;
  }

  std::unique_ptr<Expr> Power(Formula& f) {
    auto base = Primary(f);
    if (IsPunct(Peek(), "^")) {
      const Token& op = Next();
      auto e = Make(Op::Pow, op);
      e->a = std::move(base);
      e->b = Unary(f);
      return e;
    }
    return base;
  }

  std::unique_ptr<Expr> Primary(Formula& f) {
    const Token& t = Peek();
    if (t.kind == Tok::Number) {
      Next();
      auto e = Make(Op::Const, t);
      e->value = t.number;
      return e;
    }
    if (IsPunct(t, "(")) {
      Next();
      auto e = Expression(f);
      Expect(")");
      return e;
    }
    if (t.kind != Tok::Name) {
      ErrorAt(t, "expected a number, a name or \"(\" but found " + Describe(t));
    }
    Next();
    const std::string word = LowerCase(t.text);
    if ((word == "sum" || word == "prod") && IsPunct(Peek(), "(")) {
      Next();
      auto e = Make(word == "sum" ? Op::Sum : Op::Prod, t);
      const Token& idx = ExpectName("an index name");
      ExpectWord("in");
      const Token& setTok = ExpectName("a set name");
      e->set = LookupSet(setTok);
      BindIndex(idx, e->set, f);
      e->slot = scope_.back().second;
      Expect(",");
      e->a = Expression(f);
      Expect(")");
      scope_.pop_back();
      return e;
    }
    if ((word == "exp" || word == "ln" || word == "sqrt") && IsPunct(Peek(), "(")) {
      Next();
      auto e = Make(word == "exp" ? Op::Exp : word == "ln" ? Op::Ln : Op::Sqrt, t);
      e->a = Expression(f);
      Expect(")");
      return e;
    }
    int c = model_.FindCoefficient(t.text);
    int v = c < 0 ? model_.FindVariable(t.text) : -1;
    if (c < 0 && v < 0) {
      for (const auto& [name, slot] : scope_) {
        if (SameText(name, t.text)) {
          ErrorAt(t, "index \"" + t.text + "\" cannot stand alone in an expression");
        }
      }
      if (model_.FindSet(t.text) >= 0) {
        ErrorAt(t, "set \"" + t.text + "\" cannot stand in an expression");
      }
      UnknownName(t, "undeclared name \"" + t.text + "\"");
    }
    auto e = Make(c >= 0 ? Op::Coef : Op::Var, t);
    e->ref = c >= 0 ? c : v;
    const std::vector<int>& sets = c >= 0 ? model_.coefficients[c].sets : model_.variables[v].sets;
    if (IsPunct(Peek(), "(")) {
      Next();
      while (true) {
        const Token& a = Peek();
        Arg arg;
        if (e->args.size() < sets.size()) {
          arg.argSet = sets[e->args.size()];
        }
        if (a.kind == Tok::String) {
          Next();
          arg.element = a.text;
          if (arg.argSet >= 0) {
            const SetDecl& s = model_.sets[arg.argSet];
            if (!s.fromData) {
              bool found = false;
              for (const std::string& el : s.elements) {
                found = found || SameText(el, a.text);
              }
              if (!found) {
                ErrorAt(a, "\"" + a.text + "\" is not an element of set " + s.name);
              }
            }
          }
        } else if (a.kind == Tok::Name) {
          Next();
          int slot = -1;
          for (const auto& [name, s] : scope_) {
            if (SameText(name, a.text)) {
              slot = s;
            }
          }
          if (slot < 0) {
            ErrorAt(a, "unknown index \"" + a.text + "\" (write element names in double quotes)");
          }
          arg.slot = slot;
          if (arg.argSet >= 0 && !model_.IsSubsetOf(f.slotSets[slot], arg.argSet)) {
            ErrorAt(a, "index \"" + a.text + "\" ranges over set " + model_.sets[f.slotSets[slot]].name +
                           " but argument " + std::to_string(e->args.size() + 1) + " of " + t.text +
                           " ranges over set " + model_.sets[arg.argSet].name);
          }
        } else {
          ErrorAt(a, "expected an index or an element name in double quotes but found " + Describe(a));
        }
        e->args.push_back(std::move(arg));
        if (IsPunct(Peek(), ",")) {
          Next();
          continue;
        }
        Expect(")");
        break;
      }
    }
    if (e->args.size() != sets.size()) {
      ErrorAt(t, "\"" + t.text + "\" has " + std::to_string(sets.size()) + " argument" +
                     (sets.size() == 1 ? "" : "s") + " but is used with " + std::to_string(e->args.size()));
    }
    return e;
  }

  std::vector<Token> toks_;
  std::size_t pos_ = 0;
  Model& model_;
  std::vector<Diagnostic>& errors_;
  std::map<std::string, int> names_;
  std::set<std::string> failedNames_; ///< lower case
  std::string statementName_;
  std::vector<std::pair<std::string, int>> scope_;
  bool modelSeen_ = false;
  int depth_ = 0;
  int declarations_ = 0;
  int nodes_ = 0;
  static constexpr int kMaxNodes = 5000;
};

} // namespace

bool ParseModel(std::string_view source, Model& model, std::vector<Diagnostic>& errors) {
  model = Model{};
  errors.clear();
  std::vector<Token> tokens;
  Lexer lexer(source);
  lexer.Run(tokens, errors);
  if (!errors.empty()) {
    return false;
  }
  Parser parser(std::move(tokens), model, errors);
  parser.Run();
  if (errors.size() > 50) {
    errors.resize(50);
  }
  return errors.empty();
}

std::string FormatDiagnostic(std::string_view file, const Diagnostic& diagnostic) {
  return std::string(file) + ":" + std::to_string(diagnostic.line) + ":" + std::to_string(diagnostic.col) +
         ": error: " + diagnostic.message;
}

} // namespace pelorin::mrk
