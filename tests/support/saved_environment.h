#pragma once

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelorin::test {

/// Puts environment variables back as they were when the object goes (start-up points TMP, TEMP and KVTEMP at
/// its work folder, and the tests' own temporary folders depend on them).
class SavedEnvironment {
public:
  explicit SavedEnvironment(std::initializer_list<const char*> names = {"TMP", "TEMP", "KVTEMP",
                                                                        "ORIGINAL_TMP", "ORIGINAL_TEMP",
                                                                        "ORIGINAL_KVTEMP"}) {
    for (const char* name : names) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }
  }
  ~SavedEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }
  SavedEnvironment(const SavedEnvironment&) = delete;
  SavedEnvironment& operator=(const SavedEnvironment&) = delete;

private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

} // namespace pelorin::test
