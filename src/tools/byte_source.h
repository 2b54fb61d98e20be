#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelorin {

/// Random access to the bytes of a file or of memory, for the readers of executable headers.
class ByteSource {
public:
  virtual ~ByteSource() = default;
  /// The number of bytes.
  virtual std::uint64_t Size() const = 0;
  /// Reads `count` bytes at `offset`; false when they are not all there.
  virtual bool Read(std::uint64_t offset, void* into, std::size_t count) const = 0;
};

/// Bytes held in memory (tests and fuzzing).
class MemoryBytes : public ByteSource {
public:
  explicit MemoryBytes(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool Read(std::uint64_t offset, void* into, std::size_t count) const override;

private:
  std::string_view bytes_;
};

/// The bytes of a file, read where they are asked for.
class FileBytes : public ByteSource {
public:
  FileBytes() = default;
  ~FileBytes() override;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  /// Opens a regular file for reading; false (with errno set) when it cannot be opened.
  bool Open(const std::string& path);
  std::uint64_t Size() const override { return size_; }
  bool Read(std::uint64_t offset, void* into, std::size_t count) const override;
  /// Reads up to `count` bytes at `offset`; the number read (0 at the end or on an error).
  std::size_t ReadSome(std::uint64_t offset, void* into, std::size_t count) const;

private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

} // namespace pelorin
