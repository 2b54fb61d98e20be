#include "platform/profile_file.h"

#include "platform/strings.h"
#include "platform/whole_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace pelorin {

namespace {

// Settings, reports and catalogues are a few kilobytes; anything this large is not a profile file.
constexpr std::uintmax_t kMaxProfileBytes = 64u * 1024u * 1024u;

std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\n' || c == '\r') {
      c = ' ';
    }
  }
  return line;
}

bool ParseInteger(std::string_view text, int& value) {
  const std::string trimmed = Trim(text);
  std::string_view digits = trimmed;
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
    if (!digits.empty() && digits.front() == '-') {
      return false;
    }
  }
  if (digits.empty()) {
    return false;
  }
  const char* end = digits.data() + digits.size();
  const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
  return ec == std::errc() && ptr == end;
}

} // namespace

void ProfileFile::Parse(std::string_view text) {
  preamble_.clear();
  sections_.clear();
  Section* current = nullptr;
  // Editors on some systems start a file with a byte-order mark; it would hide the first section's header.
  // A file saved through two such editors carries two, and the text written back must read the same.
  for (std::string_view rest = WithoutByteOrderMark(text); rest.size() != text.size();
       rest = WithoutByteOrderMark(text)) {
    text = rest;
  }
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    const std::string trimmed = Trim(line);
    if (!trimmed.empty() && trimmed.front() == '[') {
      const std::size_t close = trimmed.find(']');
      const std::string name = Trim(
          std::string_view(trimmed).substr(1, close == std::string::npos ? std::string::npos : close - 1));
      current = FindSection(name);
      if (current == nullptr) {
        sections_.push_back(Section{name, {}, {}});
        current = &sections_.back();
      }
      continue;
    }
    if (current == nullptr) {
      preamble_.emplace_back(line);
      continue;
    }
    const std::size_t equals = line.find('=');
    const bool comment = !trimmed.empty() && trimmed.front() == ';';
    if (equals == std::string_view::npos || comment) {
      current->lines.push_back(Line{false, {}, std::string(line)});
      continue;
    }
    std::string key = Trim(line.substr(0, equals));
    if (key.empty()) {
      current->lines.push_back(Line{false, {}, std::string(line)});
      continue;
    }
    std::string lowered = LowerCase(key);
    if (current->index.contains(lowered)) {
      continue; // keys are unique: the first one wins
    }
    current->index.emplace(std::move(lowered), current->lines.size());
    current->lines.push_back(Line{true, std::move(key), Trim(line.substr(equals + 1))});
  }
}

std::string ProfileFile::Text() const {
  std::string text;
  for (const std::string& line : preamble_) {
    text.append(line).push_back('\n');
  }
  for (const Section& section : sections_) {
    text.append("[").append(section.name).append("]\n");
    for (const Line& line : section.lines) {
      if (line.isKey) {
        text.append(line.key).append("=").append(line.text).push_back('\n');
      } else {
        text.append(line.text).push_back('\n');
      }
    }
  }
  return text;
}

const ProfileFile::Section* ProfileFile::FindSection(std::string_view name) const {
  for (const Section& section : sections_) {
    if (SameText(section.name, name)) {
      return &section;
    }
  }
  return nullptr;
}

ProfileFile::Section* ProfileFile::FindSection(std::string_view name) {
  return const_cast<Section*>(static_cast<const ProfileFile*>(this)->FindSection(name));
}

void ProfileFile::Reindex(Section& section) {
  section.index.clear();
  for (std::size_t i = 0; i < section.lines.size(); ++i) {
    if (section.lines[i].isKey) {
      section.index.emplace(LowerCase(section.lines[i].key), i);
    }
  }
}

bool ProfileFile::HasSection(std::string_view section) const {
  return FindSection(section) != nullptr;
}

std::optional<std::string> ProfileFile::Find(std::string_view section, std::string_view key) const {
  const Section* found = FindSection(section);
  if (found == nullptr) {
    return std::nullopt;
  }
  const auto it = found->index.find(LowerCase(Trim(key)));
  if (it == found->index.end()) {
    return std::nullopt;
  }
  return found->lines[it->second].text;
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
  std::optional<std::string> value = Find(section, key);
  return value ? std::move(*value) : std::string(fallback);
}

int ProfileFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const std::optional<std::string> value = Find(section, key);
  int number = 0;
  return value && ParseInteger(*value, number) ? number : fallback;
}

bool ProfileFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

std::vector<std::string> ProfileFile::ReadSectionKeys(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* found = FindSection(section)) {
    for (const Line& line : found->lines) {
      if (line.isKey) {
        keys.push_back(line.key);
      }
    }
  }
  return keys;
}

std::vector<std::string> ProfileFile::ReadList(std::string_view section) const {
  // A key is absent exactly when a read with default "abcdef" and one with default "xx" both return their
  // defaults; looking the key up says the same in one step, and a value that is literally "abcdef" is a line.
  std::vector<std::string> lines;
  const Section* found = FindSection(section);
  if (found == nullptr) {
    return lines;
  }
  for (std::size_t i = 0;; ++i) {
    const auto it = found->index.find(std::to_string(i));
    if (it == found->index.end()) {
      break;
    }
    lines.push_back(found->lines[it->second].text);
  }
  return lines;
}

void ProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string name = Trim(OneLine(section));
  std::string keyName = Trim(OneLine(key));
  std::replace(keyName.begin(), keyName.end(), '=', ' '); // a key ends at the first "=" when read back
  Section* found = FindSection(name);
  if (found == nullptr) {
    sections_.push_back(Section{name, {}, {}});
    found = &sections_.back();
  }
  const std::string lowered = LowerCase(keyName);
  const auto it = found->index.find(lowered);
  if (it != found->index.end()) {
    found->lines[it->second].text = Trim(OneLine(value));
    return;
  }
  // A new key goes after the last line that is not blank, so blank lines separating sections stay at the end.
  std::size_t at = found->lines.size();
  while (at > 0 && !found->lines[at - 1].isKey && Trim(found->lines[at - 1].text).empty()) {
    --at;
  }
  found->lines.insert(found->lines.begin() + static_cast<std::ptrdiff_t>(at),
                      Line{true, keyName, Trim(OneLine(value))});
  if (at + 1 == found->lines.size()) {
    found->index.emplace(lowered, at);
  } else {
    Reindex(*found);
  }
}

void ProfileFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void ProfileFile::DeleteKey(std::string_view section, std::string_view key) {
  Section* found = FindSection(section);
  if (found == nullptr) {
    return;
  }
  const auto it = found->index.find(LowerCase(Trim(key)));
  if (it == found->index.end()) {
    return;
  }
  found->lines.erase(found->lines.begin() + static_cast<std::ptrdiff_t>(it->second));
  Reindex(*found);
}

void ProfileFile::EraseSection(std::string_view section) {
  for (auto it = sections_.begin(); it != sections_.end(); ++it) {
    if (SameText(it->name, section)) {
      sections_.erase(it);
      return;
    }
  }
}

void ProfileFile::WriteList(std::string_view section, const std::vector<std::string>& lines,
                            bool emptyAsBlankLine) {
  EraseSection(section);
  if (lines.empty()) {
    if (emptyAsBlankLine) {
      WriteString(section, "0", "");
    }
    return;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    WriteString(section, std::to_string(i), lines[i]);
  }
}

bool LoadProfileFile(const std::string& path, ProfileFile& profile, ErrorText& errorText) {
  namespace fs = std::filesystem;
  profile.Parse({});
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) {
    return true;
  }
  // Only a regular file is read: a folder fails, and a named pipe or device could block or never end.
  if (ec || !fs::is_regular_file(status)) {
    return Fail(errorText, "Cannot open file " + path, "[LoadProfileFile]");
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return Fail(errorText, "Cannot open file " + path, "[LoadProfileFile]");
  }
  std::string text;
  char buffer[65536];
  bool failed = false;
  bool tooLarge = false;
  for (;;) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
    text.append(buffer, got);
    if (text.size() > kMaxProfileBytes) {
      tooLarge = true;
      break;
    }
    if (got < sizeof buffer) {
      failed = std::ferror(file) != 0;
      break;
    }
  }
  std::fclose(file);
  if (tooLarge) {
    return Fail(errorText, "File too large: " + path, "[LoadProfileFile]");
  }
  if (failed) {
    return Fail(errorText, "read error from file " + path, "[LoadProfileFile]");
  }
  profile.Parse(text);
  return true;
}

bool SaveProfileFile(const std::string& path, const ProfileFile& profile, ErrorText& errorText) {
  return ReplaceFileWhole(path, profile.Text(), "[SaveProfileFile]", errorText);
}

} // namespace pelorin
