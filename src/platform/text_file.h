#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/error_text.h"

namespace pelorin {

/// A text file opened by TxtOpen (reading) or TxtCreate (writing), with a 60,001-byte buffer. Lines end in LF;
/// a CR before the LF is dropped on reading. Closed by TxtClose, or silently when the object goes.
class TextFile {
public:
  TextFile() = default;
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  /// True while a file is open.
  bool IsOpen() const { return file_ != nullptr; }
  /// The name the file was opened or created with.
  const std::string& Name() const { return name_; }

  /// Reads the next line without its line end; false at end of file (a last line without LF still counts).
  bool ReadLine(std::string& line);
  /// Reads one byte, or returns EOF at end of file.
  int GetChar() { return std::getc(file_); }
  /// Pushes one byte back so the next GetChar returns it again.
  void UngetChar(int c) { std::ungetc(c, file_); }
  /// Reads every byte left in the file onto the end of `bytes`; false on a read error.
  bool ReadRest(std::string& bytes);
  /// True when no byte is left to read.
  bool AtEof();
  /// True when an input or output error has happened on the file.
  bool HadError() const { return file_ != nullptr && std::ferror(file_) != 0; }

  /// Writes text as it stands; false on a write error.
  bool Write(std::string_view text);
  /// Writes one line and its LF; false on a write error.
  bool WriteLine(std::string_view line);

private:
  friend bool TxtOpen(TextFile&, const std::string&, ErrorText&);
  friend bool TxtCreate(TextFile&, const std::string&, ErrorText&);
  friend bool TxtClose(TextFile&, ErrorText&);
  friend bool TxtAppend(TextFile&, const std::string&, ErrorText&);
  bool OpenWith(const std::string& name, const char* mode);

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::string name_;
};

/// Opens a text file for reading. Fails with "Blank File Name" or "Cannot open file " + name, then "[TxtOpen]".
bool TxtOpen(TextFile& file, const std::string& name, ErrorText& errorText);
/// Creates (or empties) a text file for writing. Fails with "Blank File Name" or "Cannot create file " + name,
/// then "[TxtCreate]".
bool TxtCreate(TextFile& file, const std::string& name, ErrorText& errorText);
/// Closes the file. Fails with "Cannot close file" "[TxtClose]" (also when buffered output could not be written).
bool TxtClose(TextFile& file, ErrorText& errorText);
/// Copies every line of the file `name` to the open output. Fails with "Cannot open file " + name,
/// "read error from file " + name or "write error", then "[TxtAppend]".
bool TxtAppend(TextFile& output, const std::string& name, ErrorText& errorText);

} // namespace pelorin
