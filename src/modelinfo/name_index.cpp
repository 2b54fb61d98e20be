#include "modelinfo/name_index.h"

#include "platform/strings.h"

namespace pelorin {

bool NameIndex::AddKeyToRBTree(std::string_view name, int number, bool foldCase, ErrorText& errorText) {
  if (name.empty()) {
    return Fail(errorText, "Cannot add blank key", "[AddKeyToRBTree]");
  }
  std::string key = foldCase ? LowerCase(name) : std::string(name);
  const auto [where, added] = entries_.try_emplace(std::move(key), Entry{number, 0});
  if (!added) {
    return Fail(errorText, "Duplicate name: \"" + std::string(name) + "\"", "[AddKeyToRBTree]");
  }
  return true;
}

int NameIndex::Find(std::string_view key) const {
  const Entry* entry = FindEntry(key);
  return entry == nullptr ? 0 : entry->number;
}

const NameIndex::Entry* NameIndex::FindEntry(std::string_view key) const {
  const auto where = entries_.find(key);
  return where == entries_.end() ? nullptr : &where->second;
}

NameIndex::Entry* NameIndex::FindEntry(std::string_view key) {
  const auto where = entries_.find(key);
  return where == entries_.end() ? nullptr : &where->second;
}

void NameIndex::ForEach(const std::function<void(const std::string& key, const Entry& entry)>& visit) const {
  for (const auto& [key, entry] : entries_) {
    visit(key, entry);
  }
}

} // namespace pelorin
