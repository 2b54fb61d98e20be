#include "explorer/source_spans.h"

#include "platform/strings.h"

#include <array>

namespace pelorin::explore {

namespace {

constexpr std::array<std::string_view, 27> kKeywords{
    "model", "description", "file",    "input",       "output",   "har",     "text",   "updated",  "set",
    "read",  "subset",      "of",      "coefficient", "variable", "percent", "change", "equation", "update",
    "write", "to",          "display", "in",          "sum",      "prod",    "exp",    "ln",       "sqrt"};

bool IsNameStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsNameChar(char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsKeyword(std::string_view word) {
  for (std::string_view k : kKeywords) {
    if (SameText(k, word)) {
      return true;
    }
  }
  return false;
}

} // namespace

NameRef LookupName(const mrk::Model& model, std::string_view name) {
  const std::string text(name);
  if (int i = model.FindSet(text); i >= 0) {
    return {NameKind::Set, i};
  }
  if (int i = model.FindCoefficient(text); i >= 0) {
    return {NameKind::Coefficient, i};
  }
  if (int i = model.FindVariable(text); i >= 0) {
    return {NameKind::Variable, i};
  }
  for (std::size_t i = 0; i < model.equations.size(); ++i) {
    if (SameText(model.equations[i].name, name)) {
      return {NameKind::Equation, static_cast<int>(i)};
    }
  }
  if (int i = model.FindFile(text); i >= 0) {
    return {NameKind::File, i};
  }
  return {};
}

std::vector<SourceSpan> SourceSpans(std::string_view source, const mrk::Model* model) {
  std::vector<SourceSpan> spans;
  std::size_t pos = 0;
  while (pos < source.size()) {
    const char c = source[pos];
    const std::size_t start = pos;
    if (c == '!') {
      while (pos < source.size() && source[pos] != '\n') {
        ++pos;
      }
      spans.push_back({start, pos - start, SpanKind::Comment, {}});
    } else if (c == '"') {
      ++pos;
      while (pos < source.size() && source[pos] != '"' && source[pos] != '\n') {
        ++pos;
      }
      if (pos < source.size() && source[pos] == '"') {
        ++pos;
      }
      spans.push_back({start, pos - start, SpanKind::Text, {}});
    } else if (IsNameStart(c)) {
      while (pos < source.size() && IsNameChar(source[pos])) {
        ++pos;
      }
      const std::string_view word = source.substr(start, pos - start);
      const NameRef ref = model != nullptr ? LookupName(*model, word) : NameRef{};
      if (ref.kind != NameKind::None) {
        spans.push_back({start, pos - start, SpanKind::Name, ref});
      } else if (IsKeyword(word)) {
        spans.push_back({start, pos - start, SpanKind::Keyword, {}});
      }
    } else if (IsDigit(c) || (c == '.' && pos + 1 < source.size() && IsDigit(source[pos + 1]))) {
      while (pos < source.size() && (IsNameChar(source[pos]) || source[pos] == '.' ||
                                     ((source[pos] == '+' || source[pos] == '-') &&
                                      (source[pos - 1] == 'e' || source[pos - 1] == 'E')))) {
        ++pos;
      }
      spans.push_back({start, pos - start, SpanKind::Number, {}});
    } else {
      ++pos;
    }
  }
  return spans;
}

} // namespace pelorin::explore
