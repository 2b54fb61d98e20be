#pragma once

// The Header Array writer. The program itself only reads Header Array files; the writer serves our companion
// programs, the tools and the tests. Every header kind the reader reads can be written, in either record
// flavour, with arrays split over as many records as needed so that no record exceeds 8,000,000 bytes.
//
//   HarWriter writer;                                   // Lahey flavour unless options say otherwise
//   writer.Create("base.har", err);
//   writer.Write(MakeStrings("NOTE", "A note", {"first line", "second"}), err);
//   writer.Write(MakeReals("PRIC", "Prices", {SetDim("COM", {"food", "mfg"})}, {1.0f, 2.5f}), err);
//   writer.Close(err);

#include "datafiles/record_writer.h"
#include "platform/error_text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

struct THeadRecz;
struct HarData;

/// What a header holds.
enum class HarKind {
  Strings,    ///< "1C": a list of strings of one length
  IntMatrix,  ///< "2I": an integer matrix
  RealMatrix, ///< "2R": a single-precision matrix
  Real,       ///< "RE" (labelled) or "RL": a single-precision array of up to 7 dimensions
  Double,     ///< "DE" (labelled) or "DL": a double-precision array of up to 7 dimensions
  Integer,    ///< version 3 only ("ie"/"il"): an integer array of at most 2 dimensions
};

/// One dimension of an array header.
struct HarDim {
  std::int64_t size = 1;
  std::string setName; ///< at most 12 characters; empty for an unlabelled dimension
  std::vector<std::string>
      elements;            ///< element names (at most 12 characters) of a dimension over a known set
  char status = 0;         ///< 'k', 'u', 'e' or 'n'; 0 = 'k' when elements are given, else 'u'
  std::string elementName; ///< the element of an 'e' dimension (which has size 1)
};

/// A dimension over a set with known elements.
HarDim SetDim(std::string setName, std::vector<std::string> elements);
/// An unlabelled dimension of a size (optionally naming its set).
HarDim SizeDim(std::int64_t size, std::string setName = {});
/// A dimension that is one named element of a set.
HarDim ElementDim(std::string setName, std::string elementName);

/// One header to write.
struct HarHeader {
  std::string name;     ///< up to 4 characters
  std::string longName; ///< up to 70 characters
  HarKind kind = HarKind::Real;
  bool labelled = false;   ///< arrays: write set-and-element records ("RE"/"DE"; else "RL"/"DL")
  bool sparse = false;     ///< "RE"/"DE" arrays: storage "SPSE" (only the non-zero values are written)
  bool version3 = false;   ///< arrays and integer matrices: the version-3 layout (type "03")
  std::string coefficient; ///< coefficient name of a labelled array, up to 12 characters

  std::vector<std::string> strings; ///< "1C" strings
  std::int64_t stringLength = 0;    ///< "1C" string length; 0 = the longest string's (at least 1)

  std::int64_t rows = 0; ///< "2I"/"2R"
  std::int64_t cols = 0;
  std::vector<std::int32_t> ints; ///< "2I" and version-3 integer values, column by column
  std::vector<float> reals;       ///< "2R" (column by column) and "RE"/"RL" values, dimension 1 fastest
  std::vector<double> doubles;    ///< "DE"/"DL" values, dimension 1 fastest
  std::vector<HarDim> dims;       ///< arrays: up to 7 dimensions (none: a scalar, version 3 only)
};

/// A "1C" header.
HarHeader MakeStrings(std::string name, std::string longName, std::vector<std::string> strings,
                      std::int64_t stringLength = 0);
/// A "2I" header; values column by column.
HarHeader MakeIntMatrix(std::string name, std::string longName, std::int64_t rows, std::int64_t cols,
                        std::vector<std::int32_t> values);
/// A "2R" header; values column by column.
HarHeader MakeRealMatrix(std::string name, std::string longName, std::int64_t rows, std::int64_t cols,
                         std::vector<float> values);
/// A single-precision array: "RE" when any dimension carries a set name (or `labelled`), else "RL".
HarHeader MakeReals(std::string name, std::string longName, std::vector<HarDim> dims,
                    std::vector<float> values, bool labelled = false);
/// A double-precision array: "DE" when any dimension carries a set name (or `labelled`), else "DL".
HarHeader MakeDoubles(std::string name, std::string longName, std::vector<HarDim> dims,
                      std::vector<double> values, bool labelled = false);

/// The bookkeeping headers: "XXCD" ("at " + date and time), "XXCR" (program, and the writer's
/// identification), "XXCP" (compiler) and, when history lines are given, "XXHS".
std::vector<HarHeader> BookkeepingHeaders(std::string_view program, std::string_view dateTime,
                                          const std::vector<std::string>& history = {});
/// The current local date and time as the bookkeeping headers write it.
std::string NowText();

/// How a file is written.
struct HarWriteOptions {
  bool isFujitsu = false; ///< record flavour
  std::int64_t maxRecordBytes =
      8'000'000; ///< largest record written (smaller values split arrays more finely)
};

/// Writes headers one after another into a file or into memory.
class HarWriter {
public:
  explicit HarWriter(HarWriteOptions options = {}) : options_(options) {}

  /// Creates the file; "Cannot create file " + name on failure.
  bool Create(const std::string& fileName, ErrorText& errorText);
  /// Collects the file's bytes in memory instead (Bytes()).
  void CreateInMemory();
  /// Writes one header; a header the format cannot carry fails with a message and " [HarWriter]".
  bool Write(const HarHeader& header, ErrorText& errorText);
  /// Finishes the file.
  bool Close(ErrorText& errorText);
  /// The bytes written when writing into memory.
  const std::string& Bytes() const { return records_.Bytes(); }
  /// The record writer underneath (tests use it to add damaged records).
  RecordWriter& Records() { return records_; }

private:
  HarWriteOptions options_;
  RecordWriter records_;
};

/// Writes a whole file of headers.
bool WriteHarFile(const std::string& fileName, const std::vector<HarHeader>& headers,
                  const HarWriteOptions& options, ErrorText& errorText);
/// The bytes of a file of headers (a failure leaves the message and returns what was written before it).
std::string HarFileBytes(const std::vector<HarHeader>& headers, const HarWriteOptions& options = {});

/// The writable form of a header read into memory (real headers come back as single precision, unless the
/// reader kept a double-precision header's values as stored).
HarHeader HarHeaderFromHead(const THeadRecz& head);
/// Writes an in-memory file back: its bookkeeping headers first, then the ordinary ones, in the flavour
/// given.
bool WriteHarData(const std::string& fileName, const HarData& data, bool isFujitsu, ErrorText& errorText);
/// The same in the flavour of the file the data was read from.
bool WriteHarData(const std::string& fileName, const HarData& data, ErrorText& errorText);

} // namespace pelorin
