#include "app/access_keys.h"

#include <cctype>
#include <optional>

namespace pelorin {

namespace {

bool IsKeyCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

char KeyOf(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// The position of the character a caption's "&" marks, if any.
std::optional<std::size_t> MarkedKey(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (caption[i + 1] != '&') {
        return i + 1;
      }
      ++i;
    }
  }
  return std::nullopt;
}

} // namespace

std::vector<std::string> AssignAccessKeys(const std::vector<std::string>& captions) {
  std::vector<std::string> result = captions;
  bool taken[256] = {};
  for (const std::string& caption : captions) {
    if (const std::optional<std::size_t> key = MarkedKey(caption)) {
      taken[static_cast<unsigned char>(KeyOf(caption[*key]))] = true;
    }
  }
  for (std::string& caption : result) {
    if (caption.empty() || caption == "-" || MarkedKey(caption)) {
      continue;
    }
    std::optional<std::size_t> chosen;
    for (int pass = 0; pass < 2 && !chosen; ++pass) {
      for (std::size_t i = 0; i < caption.size(); ++i) {
        const bool wordStart = i == 0 || !IsKeyCharacter(caption[i - 1]);
        if (IsKeyCharacter(caption[i]) && (pass == 1 || wordStart) &&
            !taken[static_cast<unsigned char>(KeyOf(caption[i]))]) {
          chosen = i;
          break;
        }
      }
    }
    if (chosen) {
      taken[static_cast<unsigned char>(KeyOf(caption[*chosen]))] = true;
      caption.insert(*chosen, 1, '&');
    }
  }
  return result;
}

} // namespace pelorin
