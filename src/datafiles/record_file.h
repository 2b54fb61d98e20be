#pragma once

// The record layer: Fortran unformatted sequential files of either flavour. Lahey files start with the byte
// 0xFD and frame each record with variable-length markers (the trailing one reversed); Fujitsu files frame
// each record with its 4-byte little-endian length before and after. The flavour travels with every call as
// `isFujitsu`.

#include "platform/error_text.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pelorin {

/// Longest record the layer reads, in bytes.
inline constexpr std::int64_t kMaxHarBuf = 8'000'000;
/// Size of the shared record buffer.
inline constexpr std::int64_t kRecordBufferSize = kMaxHarBuf + 1;
/// Files of this many KB or more are skipped through by reading instead of seeking.
inline constexpr std::int64_t kSkipByReadingKb = 0x1FFFFF;
/// The byte a Lahey file starts with.
inline constexpr unsigned char kLaheyStartByte = 0xFD;

/// A binary file opened read-only, with a small read-ahead buffer for markers and direct reads for large
/// blocks.
class BinaryFile {
public:
  BinaryFile();
  ~BinaryFile();
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  /// Opens a file for reading; false when it cannot be opened (or is a folder).
  bool Open(const std::string& fileName);
  /// Closes the file (nothing happens when none is open).
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  /// Reads up to count bytes; returns how many were read (fewer only at end of file or on a read error).
  std::int64_t Read(void* target, std::int64_t count);
  /// Moves to a position from the start of the file (beyond the end is allowed; reads then find nothing).
  bool Seek(std::int64_t position);
  /// The position of the next byte to read.
  std::int64_t Position() const { return bufferStart_ + static_cast<std::int64_t>(bufferPos_); }
  /// The file's size in bytes when it was opened.
  std::int64_t Size() const { return size_; }

private:
  bool Fill();
  int fd_ = -1;
  std::unique_ptr<unsigned char[]> buffer_;
  std::size_t bufferPos_ = 0;
  std::size_t bufferLen_ = 0;
  std::size_t fillSize_ = 0;
  std::int64_t bufferStart_ = 0;
  std::int64_t size_ = 0;
};

/// A record file as the layer sees it: the binary file and the skip-by-reading flag.
struct LaheyFile {
  BinaryFile file;
  bool skipByReading = false; ///< set for files of 2,097,151 KB or more: skipping reads instead of seeking
};

/// The shared record buffer of 8,000,001 bytes (one per thread, made on first use). Pointers into it stay
/// valid only until the next record is read.
unsigned char* SharedRecordBuffer();

/// Reads exactly count bytes: fewer is "Unexpected end-of-file [FileRead]".
bool FileRead(LaheyFile& file, void* buffer, std::int64_t count, ErrorText& errorText);
/// Reads count bytes; none left gives eof = true and success; a partial read fails as FileRead does.
bool FileReadOrEof(LaheyFile& file, void* buffer, std::int64_t count, bool& eof, ErrorText& errorText);
/// Reads a Lahey leading marker: the record length and the check value of its trailer.
bool GetRecLenA(LaheyFile& file, std::int64_t& length, std::int64_t& check, bool& eof, ErrorText& errorText);
/// Reads and checks a Lahey trailing marker against the check value.
bool ChkRecLen(LaheyFile& file, std::int64_t check, ErrorText& errorText);
/// Reads a Fujitsu leading length; a negative one is "RecLen<0".
bool FujiGetRecLen(LaheyFile& file, std::int64_t& length, bool& eof, ErrorText& errorText);
/// Reads a Fujitsu trailing length, which must equal the leading one.
bool FujiChkRecLen(LaheyFile& file, std::int64_t length, ErrorText& errorText);
/// Reads one whole record of either flavour into buffer (which must hold kRecordBufferSize bytes); end of
/// file is success with eof = true.
bool GetLaheyRecA(LaheyFile& file, unsigned char* buffer, bool isFujitsu, std::int64_t& length, bool& eof,
                  ErrorText& errorText);
/// As GetLaheyRecA, but end of file fails (with no text of its own).
bool GetLaheyRec(LaheyFile& file, unsigned char* buffer, bool isFujitsu, std::int64_t& length,
                 ErrorText& errorText);

/// A data record split into its parts: after the 4-byte prefix, `structureSize` bytes of structure, then n
/// elements of `elementSize` bytes. The pointers point into the shared record buffer.
struct RecordParts {
  const unsigned char* structure = nullptr;
  const unsigned char* elements = nullptr;
  std::int64_t count = 0;  ///< number of elements
  std::int64_t length = 0; ///< whole record length
};
/// Reads the next record into the shared buffer and splits it as a data record.
bool GetRecBuf(LaheyFile& file, std::int64_t structureSize, bool isFujitsu, std::int64_t elementSize,
               RecordParts& parts, ErrorText& errorText);
/// GetRecBuf with a structure of numInt 32-bit integers (at most 15) and 1-byte elements; `ints` receives
/// them.
bool GetRecBufInts(LaheyFile& file, int numInt, bool isFujitsu, std::int32_t* ints, RecordParts& parts,
                   ErrorText& errorText);

/// Moves to the next header-name record (a record of exactly 4 bytes) and reads its bytes into name[0..3].
bool SkipHead(LaheyFile& file, bool isFujitsu, char* name, bool& found, ErrorText& errorText);
/// SkipHead, then the name upper-cased; four blanks when no further header exists.
bool GetHead(LaheyFile& file, bool isFujitsu, std::string& name, bool& found, ErrorText& errorText);
/// Moves forward count bytes: by reading when the skip-by-reading flag is set, else by seeking.
void SkipRecBytes(LaheyFile& file, std::int64_t count);

/// Finds a file's flavour by reading its first records.
bool IsWhichLaheyFile(const std::string& fileName, bool& isFujitsu, ErrorText& errorText);
/// True when the file reads as either flavour.
bool CheckLaheyFile(const std::string& fileName, ErrorText& errorText);
/// Detects the flavour, opens the file read-only and positions it at the first record.
bool OpenLaheyFile(LaheyFile& file, const std::string& fileName, bool& isFujitsu, ErrorText& errorText);
/// Size of the Lahey marker of a value: 1 below 64, 2 below 16,384, 3 up to 4,194,303, else 4.
int LaheyLenBytes(std::int64_t value);

/// The two-part reading of a record used to read large records straight into their final storage: BeginRecord
/// reads the leading marker (refusing records over kMaxHarBuf as GetLaheyRecA does), the caller reads exactly
/// `length` bytes with FileRead, and EndRecord checks the trailer. Messages carry " [GetLaheyRecA]" as
/// GetLaheyRecA's would.
struct RecordFrame {
  std::int64_t length = 0;
  std::int64_t check = 0;
};
bool BeginRecord(LaheyFile& file, bool isFujitsu, RecordFrame& frame, bool& eof, ErrorText& errorText);
bool EndRecord(LaheyFile& file, bool isFujitsu, const RecordFrame& frame, ErrorText& errorText);
/// The checks GetRecBuf makes of a record's length: "Record too Short " and "Non-Unit Record Length" with
/// " [GetRecBuf]"; on success `count` is the number of elements.
bool CheckRecordShape(std::int64_t length, std::int64_t structureSize, std::int64_t elementSize,
                      std::int64_t& count, ErrorText& errorText);

/// A read cursor over a record's bytes; every read is checked against the record's end.
struct RecordCursor {
  const unsigned char* data = nullptr;
  std::int64_t length = 0;
  std::int64_t pos = 0;
};
bool ReadIntAt(RecordCursor& cursor, std::int32_t& value, ErrorText& errorText);
bool ReadInt64At(RecordCursor& cursor, std::int64_t& value, ErrorText& errorText);
bool ReadBoolAt(RecordCursor& cursor, bool& value, ErrorText& errorText);
bool ReadCharAt(RecordCursor& cursor, char& value, ErrorText& errorText);
bool ReadSingleAt(RecordCursor& cursor, float& value, ErrorText& errorText);
bool ReadDoubleAt(RecordCursor& cursor, double& value, ErrorText& errorText);
/// k characters (k <= 255): trailing blanks removed, then every character but 0-9, @, A-Z, _ and a-z deleted.
bool ReadFixedName(RecordCursor& cursor, int k, std::string& value, ErrorText& errorText);

/// Little-endian 32-bit integer at p.
std::int32_t LoadInt32(const unsigned char* p);
/// Little-endian 64-bit integer at p.
std::int64_t LoadInt64(const unsigned char* p);

} // namespace pelorin
