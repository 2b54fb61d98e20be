#include "platform/text_file.h"

namespace pelorin {

namespace {
constexpr std::size_t kTextBufferSize = 60001;
} // namespace

TextFile::~TextFile() {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
}

bool TextFile::OpenWith(const std::string& name, const char* mode) {
  file_ = std::fopen(name.c_str(), mode);
  if (file_ == nullptr) {
    return false;
  }
  buffer_ = std::make_unique<char[]>(kTextBufferSize);
  std::setvbuf(file_, buffer_.get(), _IOFBF, kTextBufferSize);
  name_ = name;
  return true;
}

bool TextFile::ReadLine(std::string& line) {
  line.clear();
  int c = std::getc(file_);
  if (c == EOF) {
    return false;
  }
  while (c != EOF && c != '\n') {
    line.push_back(static_cast<char>(c));
    c = std::getc(file_);
  }
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return true;
}

bool TextFile::ReadRest(std::string& bytes) {
  char chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file_)) > 0) {
    bytes.append(chunk, got);
  }
  return std::ferror(file_) == 0;
}

bool TextFile::AtEof() {
  const int c = std::getc(file_);
  if (c == EOF) {
    return true;
  }
  std::ungetc(c, file_);
  return false;
}

bool TextFile::Write(std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), file_) == text.size();
}

bool TextFile::WriteLine(std::string_view line) { return Write(line) && std::fputc('\n', file_) != EOF; }

bool TxtOpen(TextFile& file, const std::string& name, ErrorText& errorText) {
  if (name.empty()) {
    return Fail(errorText, "Blank File Name", "[TxtOpen]");
  }
  if (!file.OpenWith(name, "rb")) {
    return Fail(errorText, "Cannot open file " + name, "[TxtOpen]");
  }
  return true;
}

bool TxtCreate(TextFile& file, const std::string& name, ErrorText& errorText) {
  if (name.empty()) {
    return Fail(errorText, "Blank File Name", "[TxtCreate]");
  }
  if (!file.OpenWith(name, "wb")) {
    return Fail(errorText, "Cannot create file " + name, "[TxtCreate]");
  }
  return true;
}

bool TxtClose(TextFile& file, ErrorText& errorText) {
  if (file.file_ == nullptr) {
    return true;
  }
  const bool failed = std::ferror(file.file_) != 0;
  const bool closed = std::fclose(file.file_) == 0;
  file.file_ = nullptr;
  file.buffer_.reset();
  if (failed || !closed) {
    return Fail(errorText, "Cannot close file", "[TxtClose]");
  }
  return true;
}

bool TxtAppend(TextFile& output, const std::string& name, ErrorText& errorText) {
  TextFile input;
  if (!input.OpenWith(name, "rb")) {
    return Fail(errorText, "Cannot open file " + name, "[TxtAppend]");
  }
  std::string line;
  while (input.ReadLine(line)) {
    if (!output.WriteLine(line)) {
      return Fail(errorText, "write error", "[TxtAppend]");
    }
  }
  if (input.HadError()) {
    return Fail(errorText, "read error from file " + name, "[TxtAppend]");
  }
  return true;
}

} // namespace pelorin
