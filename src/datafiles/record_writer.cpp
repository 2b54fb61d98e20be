#include "datafiles/record_writer.h"

#include "datafiles/record_file.h"

namespace pelorin {

std::string LaheyMarker(std::int64_t value) {
  std::string bytes(1, '\0');
  std::int64_t q = value / 64;
  int n = 0;
  for (int k = 1; k <= 3 && q > 0; ++k) {
    bytes.push_back(static_cast<char>(q % 256));
    ++n;
    q /= 256;
  }
  bytes[0] = static_cast<char>(((value % 64) * 4) | n);
  return bytes;
}

RecordWriter::~RecordWriter() {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
}

bool RecordWriter::Create(const std::string& fileName, bool isFujitsu, ErrorText& errorText) {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  inMemory_ = false;
  failed_ = false;
  isFujitsu_ = isFujitsu;
  fileName_ = fileName;
  file_ = fileName.empty() ? nullptr : std::fopen(fileName.c_str(), "wb");
  if (file_ == nullptr) {
    return Fail(errorText, "Cannot create file " + fileName, " [RecordWriter]");
  }
  std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
  if (!isFujitsu) {
    Put(std::string_view("\xFD", 1));
  }
  return true;
}

void RecordWriter::CreateInMemory(bool isFujitsu) {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  inMemory_ = true;
  failed_ = false;
  isFujitsu_ = isFujitsu;
  memory_.clear();
  if (!isFujitsu) {
    memory_.push_back(static_cast<char>(kLaheyStartByte));
  }
}

bool RecordWriter::Put(std::string_view bytes) {
  if (inMemory_) {
    memory_.append(bytes);
    return true;
  }
  if (file_ == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    failed_ = true;
    return false;
  }
  return true;
}

bool RecordWriter::WriteRecordParts(std::initializer_list<std::string_view> pieces, ErrorText& errorText) {
  std::int64_t length = 0;
  for (std::string_view piece : pieces) {
    length += static_cast<std::int64_t>(piece.size());
  }
  if (length >= (std::int64_t{1} << 30) || (isFujitsu_ && length > INT32_MAX)) {
    return Fail(errorText, "Record too long to write: " + std::to_string(length), " [RecordWriter]");
  }
  std::string lead;
  std::string trail;
  if (isFujitsu_) {
    for (int i = 0; i < 4; ++i) {
      lead.push_back(static_cast<char>((length >> (8 * i)) & 0xFF));
    }
    trail = lead;
  } else {
    lead = LaheyMarker(length);
    const std::string check = LaheyMarker(length + static_cast<std::int64_t>(lead.size()));
    trail.assign(check.rbegin(), check.rend());
  }
  bool ok = Put(lead);
  for (std::string_view piece : pieces) {
    ok = ok && Put(piece);
  }
  ok = ok && Put(trail);
  return ok || Fail(errorText, "write error", " [RecordWriter]");
}

bool RecordWriter::WriteRaw(std::string_view bytes, ErrorText& errorText) {
  return Put(bytes) || Fail(errorText, "write error", " [RecordWriter]");
}

bool RecordWriter::Close(ErrorText& errorText) {
  if (inMemory_) {
    return true;
  }
  bool ok = !failed_;
  if (file_ != nullptr) {
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
  }
  return ok || Fail(errorText, "write error", " [RecordWriter]");
}

} // namespace pelorin
