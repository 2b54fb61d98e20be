#include "praxola/output_set.h"

#include <filesystem>
#include <unistd.h>

namespace pelorin::conv {

OutputSet::~OutputSet() {
  for (const Entry& e : entries_) {
    if (!e.done) {
      std::error_code ec;
      std::filesystem::remove(e.temporary, ec);
    }
  }
}

std::string OutputSet::Add(const std::string& finalPath) {
  Entry e;
  e.final = finalPath;
  e.temporary = finalPath + ".tmp" + std::to_string(static_cast<long>(getpid()));
  entries_.push_back(e);
  return entries_.back().temporary;
}

bool OutputSet::Commit(ErrorText& errorText) {
  for (Entry& e : entries_) {
    if (e.done) {
      continue;
    }
    std::error_code ec;
    std::filesystem::rename(e.temporary, e.final, ec);
    if (ec) {
      return Fail(errorText, "error: cannot create the file " + e.final + ": " + ec.message());
    }
    e.done = true;
  }
  return true;
}

std::vector<std::string> OutputSet::Finals() const {
  std::vector<std::string> finals;
  for (const Entry& e : entries_) {
    finals.push_back(e.final);
  }
  return finals;
}

} // namespace pelorin::conv
