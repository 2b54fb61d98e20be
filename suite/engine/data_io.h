#pragma once

#include "platform/error_text.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::engine {

/// One array of a data file as the engine uses it: strings (set elements) or reals in any number of
/// dimensions, dimension 1 varying fastest (the order of Header Array files).
struct DataArray {
  bool isStrings = false;
  std::vector<std::string> strings;
  std::vector<std::int64_t> dims; ///< reals: the sizes (empty for a scalar)
  std::vector<double> values;
  std::string longName;
  std::vector<std::string> setNames;                  ///< labels of the dimensions, when known
  std::vector<std::vector<std::string>> elementNames; ///< element names of each dimension, when known
};

/// The arrays of a data file by header name (upper case), in file order.
struct DataFile {
  std::vector<std::string> order;
  std::map<std::string, DataArray> arrays;
};

/// Reads a text data file: blocks, each a line `header "NAME" real N1 N2 ... ;` or `header "NAME" strings N
/// ;` followed by its values (numbers separated by blanks, commas or line ends, dimension 1 fastest; or one
/// string per line). A real header may label its dimensions, one line `set NAME e1 e2 ... ;` each, between
/// its heading and its values. Text after "!" is a comment. Failures name the file and line.
bool ParseTextData(std::string_view text, const std::string& fileName, DataFile& data, ErrorText& errorText);
/// Writes arrays in the text data layout (values with 17 significant digits, so nothing is lost; labels when
/// every dimension has them).
std::string TextDataBytes(const DataFile& data);

/// Reads a data file of either format from disk (text when `text` is set, else Header Array).
bool ReadDataFile(const std::string& path, bool text, DataFile& data, ErrorText& errorText);
/// Writes a data file of either format. A Header Array file gets the bookkeeping headers of `program`.
bool WriteDataFile(const std::string& path, bool text, const DataFile& data, const std::string& program,
                   ErrorText& errorText);

/// The existing file for a path whose folder or name parts may differ in case from the disk (a command file
/// written on a system that ignores case); the path itself when nothing better is found.
std::string ResolvePathIgnoringCase(const std::string& path);

} // namespace pelorin::engine

namespace pelorin::engine {

/// Writes `path` as a copy of the data file `original` in which the arrays of `replacements` replace the
/// headers of the same name (headers not in the original are added at the end).
bool WriteUpdatedDataFile(const std::string& original, bool text, const std::string& path,
                          const DataFile& replacements, const std::string& program, ErrorText& errorText);

} // namespace pelorin::engine
