#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pelorin {

class TextFile;

/// The lines the summary readers work through: those of a text file opened with TxtOpen, or of text held in
/// memory. Lines come without their line end (LF or CR LF).
class LineSource {
public:
  /// Lines of an open text file.
  explicit LineSource(TextFile& file) : file_(&file) {}
  /// Lines of text in memory (which must outlive the source).
  explicit LineSource(std::string_view text) : text_(text) {}

  /// Reads the next line; false at the end (a last line without a line end still counts).
  bool ReadLine(std::string& line);
  /// True when the file could not be read.
  bool HadError() const;
  /// The file's name ("" for text in memory).
  std::string Name() const;

private:
  TextFile* file_ = nullptr;
  std::string_view text_;
  std::size_t pos_ = 0;
};

/// Reads `count` integers starting at `pos` in `line`: an integer skips blanks, tabs and line ends (fetching
/// further lines from the source), then takes an optional sign and decimal digits that must end at a blank or
/// the line end. `line` and `pos` are left after the last integer. False when one cannot be read.
bool ReadIntegers(LineSource& source, std::string& line, std::size_t& pos, int count, int* values);

} // namespace pelorin
