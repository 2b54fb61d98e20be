#pragma once

#include "platform/error_text.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace pelorin {

/// The ordered map from a name to the 1-based number of its record, used for the variables of a model and for
/// the results plan. Keys are byte strings compared byte by byte (case-sensitive); with case folding they are
/// stored lower-cased. Each entry carries a second integer for the caller's own use (0 when added).
class NameIndex {
public:
  /// One entry: the record number and the caller's second integer.
  struct Entry {
    int number = 0;
    int extra = 0;
  };

  /// Adds a key. Refuses an empty name ("Cannot add blank key") and a key already present ("Duplicate name:
  /// \""
  /// + name + "\""), each followed by "[AddKeyToRBTree]".
  bool AddKeyToRBTree(std::string_view name, int number, bool foldCase, ErrorText& errorText);
  /// The number stored for a key as it is given (no case folding here), or 0 when absent.
  int Find(std::string_view key) const;
  /// The entry of a key as it is given, or nullptr when absent.
  const Entry* FindEntry(std::string_view key) const;
  /// The entry of a key as it is given, or nullptr when absent; its second integer may be changed.
  Entry* FindEntry(std::string_view key);
  /// Visits every entry in ascending key order.
  void ForEach(const std::function<void(const std::string& key, const Entry& entry)>& visit) const;
  /// Number of keys held.
  int Count() const { return static_cast<int>(entries_.size()); }
  /// Removes every key.
  void Clear() { entries_.clear(); }

private:
  std::map<std::string, Entry, std::less<>> entries_;
};

} // namespace pelorin
