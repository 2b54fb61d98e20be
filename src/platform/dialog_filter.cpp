#include "platform/dialog_filter.h"

#include "platform/strings.h"

#include <algorithm>

namespace pelorin {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) {
      return parts;
    }
    start = end + 1;
  }
}

void AddPattern(std::vector<std::string>& patterns, std::string pattern) {
  if (std::find(patterns.begin(), patterns.end(), pattern) == patterns.end()) {
    patterns.push_back(std::move(pattern));
  }
}

// "ZIP Files (*.ZIP)" -> "ZIP Files": the window lists the patterns it really uses after the label.
std::string LabelWithoutPatterns(std::string_view label) {
  std::string text = Trim(label);
  if (!text.empty() && text.back() == ')') {
    const std::size_t open = text.rfind('(');
    if (open != std::string::npos && text.find_first_of("*?", open) != std::string::npos) {
      text = Trim(std::string_view(text).substr(0, open));
    }
  }
  return text;
}

} // namespace

std::vector<DialogFilter> ParseDialogFilter(std::string_view filter) {
  std::vector<DialogFilter> entries;
  const std::vector<std::string_view> parts = Split(filter, '|');
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    DialogFilter entry;
    entry.label = LabelWithoutPatterns(parts[i]);
    for (const std::string_view part : Split(parts[i + 1], ';')) {
      const std::string pattern = Trim(part);
      if (pattern.empty()) {
        continue;
      }
      if (pattern == "*.*" || pattern == "*") {
        AddPattern(entry.patterns, "*");
        continue;
      }
      AddPattern(entry.patterns, pattern);
      AddPattern(entry.patterns, LowerCase(pattern));
      AddPattern(entry.patterns, UpperCase(pattern));
    }
    if (!entry.patterns.empty()) {
      if (entry.label.empty()) {
        entry.label = entry.patterns.front();
      }
      entries.push_back(std::move(entry));
    }
  }
  return entries;
}

bool IsNamePattern(std::string_view fileName) {
  return fileName.find_first_of("*?;") != std::string_view::npos;
}

} // namespace pelorin
