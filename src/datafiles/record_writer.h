#pragma once

#include "platform/error_text.h"

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

namespace pelorin {

/// The bytes of a Lahey length marker of value (0 <= value < 2^30) in writing order: byte[0], byte[1], ...
std::string LaheyMarker(std::int64_t value);

/// Writes Fortran unformatted records of either flavour, into a file or into memory. A Lahey file starts with
/// the byte 0xFD; each record is framed as the record layer reads it.
class RecordWriter {
public:
  RecordWriter() = default;
  ~RecordWriter();
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;

  /// Creates (or truncates) a file and writes the flavour's start; "Cannot create file " + name on failure.
  bool Create(const std::string& fileName, bool isFujitsu, ErrorText& errorText);
  /// Starts collecting the records in memory; Bytes() holds them.
  void CreateInMemory(bool isFujitsu);
  /// Writes one record made of the pieces, in order.
  bool WriteRecordParts(std::initializer_list<std::string_view> pieces, ErrorText& errorText);
  /// Writes one record.
  bool WriteRecord(std::string_view data, ErrorText& errorText) {
    return WriteRecordParts({data}, errorText);
  }
  /// Writes bytes as they stand, without framing (for building damaged files on purpose).
  bool WriteRaw(std::string_view bytes, ErrorText& errorText);
  /// Finishes the file ("write error" when anything failed to reach it).
  bool Close(ErrorText& errorText);

  bool IsFujitsu() const { return isFujitsu_; }
  /// The bytes written so far when writing into memory.
  const std::string& Bytes() const { return memory_; }

private:
  bool Put(std::string_view bytes);
  std::FILE* file_ = nullptr;
  bool inMemory_ = false;
  bool isFujitsu_ = false;
  bool failed_ = false;
  std::string fileName_;
  std::string memory_;
};

} // namespace pelorin
