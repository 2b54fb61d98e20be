#include "datafiles/record_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin {

namespace {

constexpr std::size_t kReadAheadMax = 64 * 1024;
constexpr std::size_t kReadAheadMin = 4 * 1024;

std::string Num(std::int64_t value) {
  return std::to_string(value);
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// BinaryFile

BinaryFile::BinaryFile() = default;

BinaryFile::~BinaryFile() {
  Close();
}

bool BinaryFile::Open(const std::string& fileName) {
  Close();
  if (fileName.empty()) {
    return false;
  }
  int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  size_ = static_cast<std::int64_t>(info.st_size);
  if (!buffer_) {
    buffer_ = std::make_unique<unsigned char[]>(kReadAheadMax);
  }
  bufferPos_ = bufferLen_ = 0;
  bufferStart_ = 0;
  fillSize_ = kReadAheadMin;
  return true;
}

void BinaryFile::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  bufferPos_ = bufferLen_ = 0;
  bufferStart_ = 0;
}

// Reads at an explicit offset, so the buffer's place in the file never depends on the descriptor's own
// offset.
static std::int64_t ReadAt(int fd, unsigned char* target, std::int64_t count, std::int64_t offset) {
  std::int64_t done = 0;
  while (done < count) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::int64_t>(count - done, 1 << 30));
    const ssize_t got = ::pread(fd, target + done, chunk, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    done += got;
  }
  return done;
}

bool BinaryFile::Fill() {
  bufferStart_ += static_cast<std::int64_t>(bufferLen_);
  bufferPos_ = bufferLen_ = 0;
  if (fd_ < 0 || bufferStart_ >= size_) {
    return false;
  }
  const std::int64_t got = ReadAt(fd_, buffer_.get(), static_cast<std::int64_t>(fillSize_), bufferStart_);
  bufferLen_ = static_cast<std::size_t>(got);
  fillSize_ = std::min(fillSize_ * 2, kReadAheadMax);
  return got > 0;
}

std::int64_t BinaryFile::Read(void* target, std::int64_t count) {
  auto* out = static_cast<unsigned char*>(target);
  std::int64_t done = 0;
  while (done < count) {
    if (bufferPos_ < bufferLen_) {
      const std::size_t take =
          std::min<std::size_t>(bufferLen_ - bufferPos_, static_cast<std::size_t>(count - done));
      std::memcpy(out + done, buffer_.get() + bufferPos_, take);
      bufferPos_ += take;
      done += static_cast<std::int64_t>(take);
      continue;
    }
    const std::int64_t remaining = count - done;
    if (remaining >= static_cast<std::int64_t>(kReadAheadMax)) {
      // Large blocks go straight from the file into the caller's memory.
      const std::int64_t position = Position();
      const std::int64_t got = fd_ < 0 ? 0 : ReadAt(fd_, out + done, remaining, position);
      bufferStart_ = position + got;
      bufferPos_ = bufferLen_ = 0;
      done += got;
      if (got < remaining) {
        break;
      }
      continue;
    }
    if (!Fill()) {
      break;
    }
  }
  return done;
}

bool BinaryFile::Seek(std::int64_t position) {
  if (fd_ < 0 || position < 0) {
    return false;
  }
  if (position >= bufferStart_ && position <= bufferStart_ + static_cast<std::int64_t>(bufferLen_)) {
    bufferPos_ = static_cast<std::size_t>(position - bufferStart_);
    return true;
  }
  bufferStart_ = position;
  bufferPos_ = bufferLen_ = 0;
  fillSize_ = kReadAheadMin;
  return true;
}

// ---------------------------------------------------------------------------------------------------------------
// Shared buffer and raw reads

unsigned char* SharedRecordBuffer() {
  thread_local std::unique_ptr<unsigned char[]> buffer;
  if (!buffer) {
    buffer.reset(new unsigned char[kRecordBufferSize]);
  }
  return buffer.get();
}

std::int32_t LoadInt32(const unsigned char* p) {
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
      (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

std::int64_t LoadInt64(const unsigned char* p) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) {
    value = (value << 8) | p[i];
  }
  return static_cast<std::int64_t>(value);
}

bool FileRead(LaheyFile& file, void* buffer, std::int64_t count, ErrorText& errorText) {
  if (count <= 0) {
    return true;
  }
  if (file.file.Read(buffer, count) != count) {
    return Fail(errorText, "Unexpected end-of-file", " [FileRead]");
  }
  return true;
}

bool FileReadOrEof(LaheyFile& file, void* buffer, std::int64_t count, bool& eof, ErrorText& errorText) {
  eof = false;
  if (count <= 0) {
    return true;
  }
  const std::int64_t got = file.file.Read(buffer, count);
  if (got == 0) {
    eof = true;
    return true;
  }
  if (got != count) {
    return Fail(errorText, "Unexpected end-of-file", " [FileRead]");
  }
  return true;
}

int LaheyLenBytes(std::int64_t value) {
  if (value < 64) {
    return 1;
  }
  if (value < 16'384) {
    return 2;
  }
  if (value <= 4'194'303) {
    return 3;
  }
  return 4;
}

bool GetRecLenA(LaheyFile& file, std::int64_t& length, std::int64_t& check, bool& eof, ErrorText& errorText) {
  length = check = 0;
  unsigned char bytes[4] = {0, 0, 0, 0};
  if (!FileReadOrEof(file, bytes, 1, eof, errorText)) {
    return AddTag(errorText, " [GetRecLenA]");
  }
  if (eof) {
    return true;
  }
  const int nExtra = bytes[0] & 3;
  if (!FileRead(file, bytes + 1, nExtra, errorText)) {
    return AddTag(errorText, " [GetRecLenA]");
  }
  length = (bytes[0] >> 2) + bytes[1] * 64LL + bytes[2] * 16'384LL + bytes[3] * 4'194'304LL;
  check = length + nExtra + 1;
  return true;
}

bool ChkRecLen(LaheyFile& file, std::int64_t check, ErrorText& errorText) {
  const int k = LaheyLenBytes(check);
  unsigned char t[5] = {0, 0, 0, 0, 0}; // t[1..k] in file order
  if (!FileRead(file, t + 1, k, errorText)) {
    return AddTag(errorText, " [ChkRecLen]");
  }
  if ((t[k] & 3) != k - 1) {
    return Fail(errorText, "Bad NExtraCheck value", " [ChkRecLen]");
  }
  std::int64_t value = t[k] >> 2;
  if (k >= 2) {
    value += t[k - 1] * 64LL;
  }
  if (k >= 3) {
    value += t[k - 2] * 16'384LL;
  }
  if (k >= 4) {
    value += t[k - 3] * 4'194'304LL;
  }
  if (value != check) {
    return Fail(errorText, "Bad RecLenCheck value", " [ChkRecLen]");
  }
  return true;
}

bool FujiGetRecLen(LaheyFile& file, std::int64_t& length, bool& eof, ErrorText& errorText) {
  length = 0;
  unsigned char bytes[4];
  if (!FileReadOrEof(file, bytes, 4, eof, errorText)) {
    return AddTag(errorText, " [FujiGetRecLen]");
  }
  if (eof) {
    return true;
  }
  length = LoadInt32(bytes);
  if (length < 0) {
    return Fail(errorText, "RecLen<0", " [FujiGetRecLen]");
  }
  return true;
}

bool FujiChkRecLen(LaheyFile& file, std::int64_t length, ErrorText& errorText) {
  unsigned char bytes[4];
  if (!FileRead(file, bytes, 4, errorText)) {
    return AddTag(errorText, " [FujiChkRecLen]");
  }
  if (LoadInt32(bytes) != length) {
    return Fail(errorText, "Bad RecLenCheck value", " [FujiChkRecLen]");
  }
  return true;
}

// ---------------------------------------------------------------------------------------------------------------
// Whole records

bool BeginRecord(LaheyFile& file, bool isFujitsu, RecordFrame& frame, bool& eof, ErrorText& errorText) {
  frame = RecordFrame{};
  if (isFujitsu) {
    if (!FujiGetRecLen(file, frame.length, eof, errorText)) {
      return AddTag(errorText, " [GetLaheyRecA]");
    }
    if (!eof && frame.length > kMaxHarBuf) {
      return Fail(errorText, "File record too long: is " + Num(frame.length) + "; max is " + Num(kMaxHarBuf),
                  " [GetLaheyRecA]");
    }
    return true;
  }
  if (!GetRecLenA(file, frame.length, frame.check, eof, errorText)) {
    return AddTag(errorText, " [GetLaheyRecA]");
  }
  if (!eof && frame.length > kMaxHarBuf) {
    return Fail(errorText, "File record too long", " [GetLaheyRecA]");
  }
  return true;
}

bool EndRecord(LaheyFile& file, bool isFujitsu, const RecordFrame& frame, ErrorText& errorText) {
  const bool ok =
      isFujitsu ? FujiChkRecLen(file, frame.length, errorText) : ChkRecLen(file, frame.check, errorText);
  return ok || AddTag(errorText, " [GetLaheyRecA]");
}

bool GetLaheyRecA(LaheyFile& file, unsigned char* buffer, bool isFujitsu, std::int64_t& length, bool& eof,
                  ErrorText& errorText) {
  RecordFrame frame;
  length = 0;
  if (!BeginRecord(file, isFujitsu, frame, eof, errorText)) {
    return false;
  }
  if (eof) {
    return true;
  }
  if (!FileRead(file, buffer, frame.length, errorText)) {
    return AddTag(errorText, " [GetLaheyRecA]");
  }
  if (!EndRecord(file, isFujitsu, frame, errorText)) {
    return false;
  }
  length = frame.length;
  return true;
}

bool GetLaheyRec(LaheyFile& file, unsigned char* buffer, bool isFujitsu, std::int64_t& length,
                 ErrorText& errorText) {
  bool eof = false;
  if (!GetLaheyRecA(file, buffer, isFujitsu, length, eof, errorText)) {
    return false;
  }
  return !eof;
}

bool CheckRecordShape(std::int64_t length, std::int64_t structureSize, std::int64_t elementSize,
                      std::int64_t& count, ErrorText& errorText) {
  count = 0;
  if (length < structureSize + 4) {
    return Fail(errorText, "Record too Short " + Num(length) + "/" + Num(structureSize + 4), " [GetRecBuf]");
  }
  const std::int64_t rest = length - 4 - structureSize;
  if (rest % elementSize != 0) {
    return Fail(errorText, "Non-Unit Record Length", " [GetRecBuf]");
  }
  count = rest / elementSize;
  return true;
}

bool GetRecBuf(LaheyFile& file, std::int64_t structureSize, bool isFujitsu, std::int64_t elementSize,
               RecordParts& parts, ErrorText& errorText) {
  parts = RecordParts{};
  if (elementSize <= 0) {
    return Fail(errorText, "sizelms=0", " [GetRecBuf]");
  }
  unsigned char* buffer = SharedRecordBuffer();
  std::int64_t length = 0;
  if (!GetLaheyRec(file, buffer, isFujitsu, length, errorText)) {
    return AddTag(errorText, " [GetRecBuf]");
  }
  if (!CheckRecordShape(length, structureSize, elementSize, parts.count, errorText)) {
    return false;
  }
  parts.length = length;
  parts.structure = buffer + 4;
  parts.elements = buffer + 4 + structureSize;
  return true;
}

bool GetRecBufInts(LaheyFile& file, int numInt, bool isFujitsu, std::int32_t* ints, RecordParts& parts,
                   ErrorText& errorText) {
  if (numInt > 15) {
    return Fail(errorText, "NumInt(" + Num(numInt) + ")>LenIntsArr(" + "15" + ")", " [GetRecBufInts]");
  }
  if (!GetRecBuf(file, 4LL * numInt, isFujitsu, 1, parts, errorText)) {
    return AddTag(errorText, " [GetRecBufInts]");
  }
  for (int i = 0; i < numInt; ++i) {
    ints[i] = LoadInt32(parts.structure + 4 * i);
  }
  return true;
}

// ---------------------------------------------------------------------------------------------------------------
// Header scan

void SkipRecBytes(LaheyFile& file, std::int64_t count) {
  if (count <= 0) {
    return;
  }
  if (!file.skipByReading) {
    file.file.Seek(file.file.Position() + count);
    return;
  }
  unsigned char* buffer = SharedRecordBuffer();
  while (count > 0) {
    const std::int64_t chunk = std::min(count, kRecordBufferSize);
    if (file.file.Read(buffer, chunk) != chunk) {
      return;
    }
    count -= chunk;
  }
}

bool SkipHead(LaheyFile& file, bool isFujitsu, char* name, bool& found, ErrorText& errorText) {
  found = false;
  for (;;) {
    std::int64_t length = 0;
    std::int64_t check = 0;
    bool eof = false;
    const bool ok = isFujitsu ? FujiGetRecLen(file, length, eof, errorText)
                              : GetRecLenA(file, length, check, eof, errorText);
    if (!ok) {
      return AddTag(errorText, " [SkipHead]");
    }
    if (eof) {
      return true;
    }
    if (length == 4) {
      if (!FileRead(file, name, 4, errorText)) {
        return AddTag(errorText, " [SkipHead]");
      }
      const bool trailerOk =
          isFujitsu ? FujiChkRecLen(file, 4, errorText) : ChkRecLen(file, check, errorText);
      if (!trailerOk) {
        return AddTag(errorText, " [SkipHead]");
      }
      found = true;
      return true;
    }
    if (isFujitsu) {
      SkipRecBytes(file, length);
      if (!FujiChkRecLen(file, length, errorText)) {
        return AddTag(errorText, " [SkipHead]");
      }
    } else {
      SkipRecBytes(file, length + LaheyLenBytes(check));
    }
  }
}

bool GetHead(LaheyFile& file, bool isFujitsu, std::string& name, bool& found, ErrorText& errorText) {
  char bytes[4] = {' ', ' ', ' ', ' '};
  name = "    ";
  if (!SkipHead(file, isFujitsu, bytes, found, errorText)) {
    return AddTag(errorText, " [GetHead]");
  }
  if (found) {
    for (int i = 0; i < 4; ++i) {
      const char c = bytes[i];
      name[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
  }
  return true;
}

// ---------------------------------------------------------------------------------------------------------------
// Flavour detection and opening

namespace {

// Reads up to five records in one flavour; true when the file reads as that flavour.
bool TryFlavour(LaheyFile& file, bool isFujitsu, const std::string& fileName, ErrorText& message) {
  unsigned char* buffer = SharedRecordBuffer();
  for (int i = 1; i <= 5; ++i) {
    std::int64_t length = 0;
    std::int64_t check = 0;
    bool eof = false;
    const bool ok =
        isFujitsu ? FujiGetRecLen(file, length, eof, message) : GetRecLenA(file, length, check, eof, message);
    if (!ok) {
      return false;
    }
    if (eof) {
      if (i == 1) {
        return Fail(message, isFujitsu ? "Strange? Empty file:" + fileName : "Empty file:" + fileName);
      }
      return true;
    }
    if (length > kMaxHarBuf) {
      return Fail(message, "File record too long");
    }
    if (i == 1 && length != 4) {
      return Fail(message, "First record not length 4");
    }
    if (!FileRead(file, buffer, length, message)) {
      return false;
    }
    const bool trailerOk = isFujitsu ? FujiChkRecLen(file, length, message) : ChkRecLen(file, check, message);
    if (!trailerOk) {
      return false;
    }
  }
  return true;
}

} // namespace

bool IsWhichLaheyFile(const std::string& fileName, bool& isFujitsu, ErrorText& errorText) {
  isFujitsu = false;
  LaheyFile file;
  if (!file.file.Open(fileName)) {
    return Fail(errorText, "No such file:" + fileName, " [IsWhichLaheyFile]");
  }
  unsigned char first = 0;
  if (file.file.Read(&first, 1) != 1) {
    return Fail(errorText, "Empty file:" + fileName, " [IsWhichLaheyFile]");
  }
  if (first == kLaheyStartByte) {
    ErrorText laheyMessage;
    if (TryFlavour(file, false, fileName, laheyMessage)) {
      return true;
    }
  }
  file.file.Close();
  if (!file.file.Open(fileName)) {
    return Fail(errorText, "Strange? No such file:" + fileName, " [IsWhichLaheyFile]");
  }
  ErrorText fujitsuMessage;
  if (!TryFlavour(file, true, fileName, fujitsuMessage)) {
    errorText += fujitsuMessage;
    return AddTag(errorText, " [IsWhichLaheyFile]");
  }
  isFujitsu = true;
  return true;
}

bool CheckLaheyFile(const std::string& fileName, ErrorText& errorText) {
  bool isFujitsu = false;
  return IsWhichLaheyFile(fileName, isFujitsu, errorText);
}

bool OpenLaheyFile(LaheyFile& file, const std::string& fileName, bool& isFujitsu, ErrorText& errorText) {
  file.file.Close();
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(fileName, ec);
  const bool large = !ec && static_cast<std::int64_t>(bytes / 1024) >= kSkipByReadingKb;
  if (!IsWhichLaheyFile(fileName, isFujitsu, errorText)) {
    return AddTag(errorText, " [OpenLaheyFile]");
  }
  if (!file.file.Open(fileName)) {
    return Fail(errorText, "No such file:" + fileName, " [OpenLaheyFile]");
  }
  file.skipByReading = large;
  if (isFujitsu) {
    return true;
  }
  unsigned char first = 0;
  if (file.file.Read(&first, 1) != 1) {
    file.file.Close();
    return Fail(errorText, "Empty file", " [OpenLaheyFile]");
  }
  if (first != kLaheyStartByte) {
    file.file.Close();
    return Fail(errorText, "Not a Lahey file", " [OpenLaheyFile]");
  }
  return true;
}

// ---------------------------------------------------------------------------------------------------------------
// Cursor

namespace {

bool Take(RecordCursor& cursor, std::int64_t width, const char* tag, ErrorText& errorText) {
  if (width < 0 || cursor.pos < 0 || cursor.pos > cursor.length || width > cursor.length - cursor.pos) {
    errorText += "Read past end of record ";
    errorText += Num(cursor.length);
    return AddTag(errorText, tag);
  }
  return true;
}

} // namespace

bool ReadIntAt(RecordCursor& cursor, std::int32_t& value, ErrorText& errorText) {
  if (!Take(cursor, 4, " [ReadIntAt]", errorText)) {
    return false;
  }
  value = LoadInt32(cursor.data + cursor.pos);
  cursor.pos += 4;
  return true;
}

bool ReadInt64At(RecordCursor& cursor, std::int64_t& value, ErrorText& errorText) {
  if (!Take(cursor, 8, " [ReadInt64At]", errorText)) {
    return false;
  }
  value = LoadInt64(cursor.data + cursor.pos);
  cursor.pos += 8;
  return true;
}

bool ReadBoolAt(RecordCursor& cursor, bool& value, ErrorText& errorText) {
  if (!Take(cursor, 4, " [ReadBoolAt]", errorText)) {
    return false;
  }
  value = LoadInt32(cursor.data + cursor.pos) != 0;
  cursor.pos += 4;
  return true;
}

bool ReadCharAt(RecordCursor& cursor, char& value, ErrorText& errorText) {
  if (!Take(cursor, 1, " [ReadCharAt]", errorText)) {
    return false;
  }
  value = static_cast<char>(cursor.data[cursor.pos]);
  cursor.pos += 1;
  return true;
}

bool ReadSingleAt(RecordCursor& cursor, float& value, ErrorText& errorText) {
  if (!Take(cursor, 4, " [ReadSingleAt]", errorText)) {
    return false;
  }
  std::memcpy(&value, cursor.data + cursor.pos, 4);
  cursor.pos += 4;
  return true;
}

bool ReadDoubleAt(RecordCursor& cursor, double& value, ErrorText& errorText) {
  if (!Take(cursor, 8, " [ReadDoubleAt]", errorText)) {
    return false;
  }
  std::memcpy(&value, cursor.data + cursor.pos, 8);
  cursor.pos += 8;
  return true;
}

bool ReadFixedName(RecordCursor& cursor, int k, std::string& value, ErrorText& errorText) {
  value.clear();
  if (k > 255 || !Take(cursor, k, " [ReadFixedName]", errorText)) {
    if (k > 255) {
      Fail(errorText, "Name length " + Num(k) + " exceeds 255", " [ReadFixedName]");
    }
    return false;
  }
  std::string_view raw(reinterpret_cast<const char*>(cursor.data + cursor.pos), static_cast<std::size_t>(k));
  cursor.pos += k;
  while (!raw.empty() && raw.back() == ' ') {
    raw.remove_suffix(1);
  }
  for (char c : raw) {
    if ((c >= '0' && c <= '9') || c == '@' || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z')) {
      value += c;
    }
  }
  return true;
}

} // namespace pelorin
