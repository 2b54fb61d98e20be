#pragma once

// The readable text form of a Header Array file that harmake turns into the binary file. One statement per
// line; "#" starts a comment; words are separated by blanks; a word with blanks is written in double quotes.
//
//   flavour lahey                      record flavour of the file: lahey (the default) or fujitsu
//   bookkeeping "program name"         write the bookkeeping headers (creation date, creating program)
//   history "a line of history"        add a line to the file history (may repeat)
//
//   header NAME "long name"            starts a header, ended by "end"
//     type RE [sparse] [v3]            1C, 2I, 2R, RE, RL, DE or DL; "sparse" for RE/DE, "v3" for the
//                                      version-3 layout of arrays and integer matrices
//     coefficient NAME                 coefficient name of a labelled array
//     set NAME e1 e2 ...               a dimension over a set with these elements
//     size N [SETNAME]                 an unlabelled dimension of size N
//     element SET ELEMENT              a dimension that is one element of a set
//     shape ROWS COLS                  size of a 2I or 2R matrix
//     length N                         string length of a 1C header (default: the longest string)
//     string "text"                    one string of a 1C header
//     values 1 2.5 3*0 ...             values in storage order (dimension 1 fastest, matrices column by
//                                      column); "N*V" repeats V N times; the following lines may
//                                  go on with more numbers without repeating "values"
//   end

#include "datafiles/har_writer.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// A parsed description: the headers and how to write them.
struct HarText {
  HarWriteOptions options;
  std::vector<HarHeader> headers;
};

/// Parses the text; on failure `errorText` says "line N: ...".
bool ParseHarText(std::string_view text, HarText& result, ErrorText& errorText);

} // namespace pelorin
