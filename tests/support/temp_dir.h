#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pelorin::test {

/// A fresh folder under the system's temporary area, removed with everything in it when the object goes.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /// The folder itself.
  const std::filesystem::path& Path() const { return path_; }
  /// The folder joined with a name, as a string.
  std::string File(std::string_view name) const;
  /// Writes bytes to a file in the folder and returns its full path.
  std::string Write(std::string_view name, std::string_view bytes) const;

private:
  std::filesystem::path path_;
};

/// Reads a whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

} // namespace pelorin::test
