#pragma once

#include "platform/error_text.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// A profile file held in memory: sections in square brackets, "key=value" lines. Section and key names
/// compare ignoring case, keys are unique within a section (the first of a repeated key wins, as does the
/// first of a repeated section, into which later ones merge), values are trimmed of surrounding blanks. Lines
/// that are not keys (comments, blank lines) are kept as they stand. Changes are made in memory and saved
/// whole.
class ProfileFile {
public:
  /// Replaces the contents with the parsed text; lines may end in LF or CR LF (carriage returns before the LF
  /// are dropped), and a leading UTF-8 byte-order mark is ignored. Text() never writes one.
  void Parse(std::string_view text);
  /// The contents as a file's text, each line ending in LF.
  std::string Text() const;

  /// True when the section exists.
  bool HasSection(std::string_view section) const;
  /// The value of a key, or nothing when the section or key is absent.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  /// The value of a key, or `fallback` when absent.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
  /// A decimal integer (optional sign); `fallback` when absent, unreadable or out of range.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  /// False for an integer 0, true for any other integer; `fallback` when absent or not an integer.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
  /// The key names of a section in file order.
  std::vector<std::string> ReadSectionKeys(std::string_view section) const;
  /// A numbered list: the values of keys "0", "1", ... up to the first absent key.
  std::vector<std::string> ReadList(std::string_view section) const;

  /// Sets a key, creating the section (at the end) and the key (after the section's last key) when absent.
  /// Line breaks in names and values become blanks so a value can never start a new line.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  /// Writes an integer as decimal text.
  void WriteInteger(std::string_view section, std::string_view key, int value);
  /// Writes a flag as "1" or "0".
  void WriteBool(std::string_view section, std::string_view key, bool value);
  /// Removes one key; nothing happens when it is absent.
  void DeleteKey(std::string_view section, std::string_view key);
  /// Removes a whole section with its keys and other lines.
  void EraseSection(std::string_view section);
  /// Erases the section, then writes the lines as keys "0", "1", ...; an empty list is written as the single
  /// key "0" with an empty value when `emptyAsBlankLine`, otherwise it leaves no section.
  void WriteList(std::string_view section, const std::vector<std::string>& lines, bool emptyAsBlankLine);

private:
  struct Line {
    bool isKey = false;
    std::string key;  // for a key line
    std::string text; // the value of a key line, or a non-key line as it stands
  };
  struct Section {
    std::string name;
    std::vector<Line> lines;
    std::map<std::string, std::size_t> index; // lower-cased key -> position in lines
  };

  const Section* FindSection(std::string_view name) const;
  Section* FindSection(std::string_view name);
  static void Reindex(Section& section);

  std::vector<std::string> preamble_; // lines before the first section
  std::vector<Section> sections_;
};

/// Reads a profile file. A file that does not exist reads as an empty profile. Fails with "Cannot open file "
/// + path, "read error from file " + path or "File too large: " + path, then "[LoadProfileFile]".
bool LoadProfileFile(const std::string& path, ProfileFile& profile, ErrorText& errorText);

/// Writes a profile file whole: the text goes to a new file beside it that is then renamed over the old one,
/// so a failed save leaves the previous file as it was. A file the user may not write (read-only) is not
/// replaced. Fails with "Cannot create file " + path, "write error" or "Cannot replace file " + path, then
/// "[SaveProfileFile]".
bool SaveProfileFile(const std::string& path, const ProfileFile& profile, ErrorText& errorText);

} // namespace pelorin
