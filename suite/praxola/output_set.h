#pragma once

// Output files that appear together or not at all: each is written under a temporary name beside its final
// name, and only when every one has been written are they renamed into place, in the order they were added.
// Whatever has not been renamed when the set goes is removed, so a failed run leaves no half-written file
// under a name that looks valid.

#include "platform/error_text.h"

#include <string>
#include <vector>

namespace pelorin::conv {

class OutputSet {
public:
  OutputSet() = default;
  ~OutputSet();
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;

  /// The temporary name under which `finalPath` is to be written.
  std::string Add(const std::string& finalPath);
  /// Renames every file into place. A failure names the file; the files not yet renamed are removed.
  bool Commit(ErrorText& errorText);
  /// The final names, in order.
  std::vector<std::string> Finals() const;

private:
  struct Entry {
    std::string temporary;
    std::string final;
    bool done = false;
  };
  std::vector<Entry> entries_;
};

} // namespace pelorin::conv
