#include "explorer/source_spans.h"

#include "platform/strings.h"

#include <algorithm>
#include <array>
#include <string>

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

void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    case '\r':
      break;
    default:
      out += c;
    }
  }
}

const char* NameColour(NameKind kind) {
  switch (kind) {
  case NameKind::Set:
    return "#00695c";
  case NameKind::Coefficient:
    return "#8d4a00";
  case NameKind::Variable:
    return "#1546a0";
  case NameKind::Equation:
    return "#a0154f";
  case NameKind::File:
  case NameKind::None:
    break;
  }
  return "#4a4a4a";
}

const char* SpanStyle(SpanKind kind) {
  switch (kind) {
  case SpanKind::Keyword:
    return "color:#202070; font-weight:bold";
  case SpanKind::Comment:
    return "color:#5a7a5a; font-style:italic";
  case SpanKind::Text:
    return "color:#8a3b12";
  case SpanKind::Number:
    return "color:#5b2c8f";
  case SpanKind::Name:
    break;
  }
  return "";
}

} // namespace

std::string NameLink(const NameRef& ref) {
  return "name:" + std::to_string(static_cast<int>(ref.kind)) + ":" + std::to_string(ref.index);
}

bool ParseNameLink(std::string_view link, NameRef& ref) {
  if (link.substr(0, 5) != "name:") {
    return false;
  }
  const std::size_t colon = link.find(':', 5);
  if (colon == std::string_view::npos) {
    return false;
  }
  int kind = 0;
  int index = 0;
  const auto digits = [](std::string_view text, int& value) {
    if (text.empty() || text.size() > 9) {
      return false;
    }
    value = 0;
    for (char c : text) {
      if (c < '0' || c > '9') {
        return false;
      }
      value = value * 10 + (c - '0');
    }
    return true;
  };
  if (!digits(link.substr(5, colon - 5), kind) || !digits(link.substr(colon + 1), index) || kind < 1 ||
      kind > static_cast<int>(NameKind::File)) {
    return false;
  }
  ref = {static_cast<NameKind>(kind), index};
  return true;
}

std::string SourceHtml(std::string_view source, const std::vector<SourceSpan>& spans) {
  std::string out = "<pre style=\"font-family:monospace\">";
  std::size_t pos = 0;
  for (const SourceSpan& span : spans) {
    if (span.begin < pos || span.begin + span.length > source.size()) {
      continue;
    }
    AppendEscaped(out, source.substr(pos, span.begin - pos));
    const std::string_view text = source.substr(span.begin, span.length);
    if (span.kind == SpanKind::Name) {
      out += "<a href=\"" + NameLink(span.ref) + "\" style=\"color:" + NameColour(span.ref.kind) +
             "; text-decoration:none; font-weight:bold\">";
      AppendEscaped(out, text);
      out += "</a>";
    } else {
      out += "<span style=\"" + std::string(SpanStyle(span.kind)) + "\">";
      AppendEscaped(out, text);
      out += "</span>";
    }
    pos = span.begin + span.length;
  }
  AppendEscaped(out, source.substr(std::min(pos, source.size())));
  out += "</pre>";
  return out;
}

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
