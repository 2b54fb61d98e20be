#pragma once

// A Header Array file in memory. Every real header, whatever type it was stored as, is held as a
// single-precision array of up to 7 dimensions with optional set and element labels ("RE" style); the stored
// type stays beside it.

#include "datafiles/dyn_arrays.h"
#include "platform/error_text.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// Most ordinary headers a file may hold.
inline constexpr int kMaxHeaders = 10'050;
/// The value a non-finite number read from a file becomes.
inline constexpr float kNonFiniteValue = 424242.0f;

/// The element names of one set (1-based: slot 0 unused), shared between the dimensions of a header over it.
using ElementList = std::shared_ptr<const PStrVec>;

/// The name lengths and the fields of a version-3 header's records.
struct HarV3Info {
  std::int32_t headerNameLength = 4;
  std::int32_t longNameLength = 70;
  std::int32_t setNameLength = 12;
  std::int32_t elementNameLength = 12;
  std::int32_t coefficientNameLength = 12;
  std::int32_t flag = 0;                ///< record 2
  std::int32_t field2 = 0;              ///< record 2
  std::int32_t field3 = 0;              ///< record 2
  std::int64_t field4 = 0;              ///< record 2
  std::int32_t firstInt = 0;            ///< record 3's first follower
  std::string code;                     ///< the version-3 type code, e.g. "re"
  std::string field5;                   ///< the 4-character field of record 5
  std::int32_t nDim = 0;                ///< dimensions as stored
  std::array<std::int64_t, 15> sizes{}; ///< sizes as stored (1 beyond nDim)
  std::int32_t lastInt = 0;             ///< record 7
};

/// One header.
struct THeadRecz {
  std::string name = "    "; ///< 4 characters, upper case
  std::string longName;      ///< up to 70 characters
  std::string orgHeadType;   ///< the type as stored: "1C", "2I", "2R", "RL", "RE", "DL", "DE" or "03"
  std::string headType;      ///< the type in memory: "1C", "2I", "RE" or "DE"
  std::string storage;       ///< "FULL" or "SPSE"

  // "1C"
  std::int64_t numStrings = 0;
  std::int64_t stringLength = 0;
  PStrVec strings; ///< 1-based

  // "2I" (and the stored shape of "2R")
  std::int64_t rows = 0;
  std::int64_t cols = 0;
  Mat2<std::int32_t> intMatrix; ///< "2I" values, (row, column) from 1

  // Real headers
  int nDim = 0;                                           ///< 0 only for a version-3 scalar
  std::array<std::int64_t, 7> sizes{1, 1, 1, 1, 1, 1, 1}; ///< dimension 1 first
  Arr7<float> values;                                     ///< dimension 1 fastest
  std::int64_t numValues = 0;
  float scalarValue = 0;       ///< the value of a scalar (nDim 0)
  bool keepDoubles = false;    ///< set before the values are read: keep double-precision values as stored
  std::vector<double> doubles; ///< with keepDoubles, a double-precision header's values as stored, dimension
                               ///< 1 fastest (a non-finite one as 424242.0); empty otherwise
  std::int64_t numNonFinite = 0; ///< values that were not finite in the file (now 424242.0)

  // Labels, as stored in the set-and-element record
  bool acdmkn = false;
  bool stknow = false;
  int acDim = 0;
  std::string coefficient;
  std::array<std::string, 15> setNames;
  std::array<char, 15> statuses{}; ///< 'k', 'e' or 'u' ('n' reads as 'u')
  std::array<std::int64_t, 15> labelSizes{};
  int nEltrd = 0;
  std::vector<std::string> eltNames;    ///< the element of each 'e' dimension, in order (0-based)
  std::array<ElementList, 7> elements;  ///< element names of each dimension ('k': the set's, 'e': the one)
  std::array<std::string, 7> dimLabels; ///< set name, or the element name of an 'e' dimension

  std::string dimTextLabelled; ///< e.g. "COM*REG" (a dimension without label shows its size)
  std::string dimTextSizes;    ///< e.g. "23*10"

  bool isReal = false;
  bool isLabelled = false;
  bool isV3 = false;
  bool isDouble = false; ///< the values were stored in double precision
  HarV3Info v3;

  char mark = ' ';       ///< 'p' or 'c' in a "#SOLVIEW" file
  std::string shortText; ///< up to 15 characters (GetRealDetails)
  bool allZero = false;  ///< every value is zero (GetRealDetails)
};

/// A Header Array file in memory.
struct HarData {
  std::vector<std::unique_ptr<THeadRecz>> heads; ///< ordinary headers in order (0-based; a slot may be empty)
  std::unique_ptr<THeadRecz> xxcd;               ///< "Creation Date and Time"
  std::unique_ptr<THeadRecz> xxcr;               ///< "Creating Program"
  std::unique_ptr<THeadRecz> xxcp;               ///< "compiler used to make EXE which created this file"
  std::unique_ptr<THeadRecz> xxhs;               ///< "File History"
  std::unique_ptr<THeadRecz> xxff;
  bool isLahey = true;   ///< the flavour of the file it was read from
  bool solView = false;  ///< the history begins with "#SOLVIEW"
  double totalReals = 0; ///< real values over all real headers

  /// Number of ordinary header slots.
  int NumHeads() const { return static_cast<int>(heads.size()); }
  /// The first ordinary header of a name (normalised as headers are), or nullptr.
  const THeadRecz* Find(std::string_view name) const;
};

/// What a reader keeps beyond what the program shows.
struct HarReadOptions {
  bool keepDoubles = false; ///< keep the values of double-precision headers as stored (THeadRecz::doubles)
};

/// Receives the warning text of a real header too large to read (the header is then skipped).
using HarWarningHandler = std::function<void(const std::string& text)>;
/// Installs the handler the readers call; the window layer shows a warning box with a Help button.
void SetHarWarningHandler(HarWarningHandler handler);

/// Reads a whole file: headers in file order with "XX" headers first (all sorted by name with `sort`), the
/// bookkeeping headers completed, the "#SOLVIEW" marks applied. With `skipBad` a header whose description
/// cannot be read is passed over and `someSkipped` set. On failure `data` is empty.
bool ReadHarFile(const std::string& fileName, bool sort, bool skipBad, std::unique_ptr<HarData>& data,
                 bool& someSkipped, ErrorText& errorText, const HarReadOptions& options = {});
/// Reads every header of a file into an existing HarData, then completes it.
bool ReadMoreIntoHarFile(const std::string& fileName, HarData& data, bool sort, bool skipBad,
                         bool& someSkipped, ErrorText& errorText, const HarReadOptions& options = {});
/// Reads the first header of a name. A name not in the file is no failure: `head` is then empty.
bool ReadHeaderFromHarFile(const std::string& fileName, std::string_view headerName, bool skipBad,
                           std::unique_ptr<THeadRecz>& head, ErrorText& errorText,
                           const HarReadOptions& options = {});
/// Reads a file's real headers with at least one value, sorted, each marked when all zero; a long name with
/// "#" is split into the short text before it and the long name after it.
bool GetRealDetails(const std::string& fileName, std::unique_ptr<HarData>& data, ErrorText& errorText);
/// Frees a header and everything it owns.
void FreeHead(std::unique_ptr<THeadRecz>& head);
/// Frees every header, the bookkeeping headers and the object.
void FreeHarData(std::unique_ptr<HarData>& data);
/// Closes the gaps left by emptied slots, keeping order.
void PurgeNilHeaders(HarData& data);

/// Completes a header's derived fields: normalised name and long name, "RL"/"DL" turned into "RE"/"DE", the
/// number of dimensions, value count and the two dimension texts.
bool CompleteHeaderRecord(THeadRecz& head, ErrorText& errorText);
/// Makes an unlabelled "RL"/"DL" header into "RE"/"DE" with labels that say there are none.
bool TurnRLtoRE(THeadRecz& head, ErrorText& errorText);
/// The number of dimensions of seven sizes: the highest not equal to 1 (a 0 counts), or 1.
bool FindNDim(const std::array<std::int64_t, 7>& sizes, int& nDim, ErrorText& errorText);
/// Allocates a header's real array for its seven sizes (zero-filled); failures append " [AllocMat7UK]".
bool AllocMat7UK(THeadRecz& head, ErrorText& errorText);
/// Releases a header's real array.
bool FreeMat7UK(THeadRecz& head, ErrorText& errorText);
/// A header name as headers keep it: characters "!".."~", upper case, 4 characters.
std::string NormalHeaderName(std::string_view name);

// Header Array data built in memory.

/// Counts the real values, makes the missing bookkeeping headers and, with `sort`, sorts the headers by name.
bool CompleteHarFile(HarData* data, bool sort, ErrorText& errorText);
/// Makes an empty "XXHS" unless there is one.
bool CreateHistoryHeader(HarData& data, ErrorText& errorText);
/// Makes "XXCD" holding "at " + the text.
bool SetCreationDateHeader(HarData& data, std::string_view dateTime, ErrorText& errorText);
/// Makes "XXCR" (the text and "unknown") and "XXCP" ("unknown").
bool SetCreatingProgHeader(HarData& data, std::string_view program, ErrorText& errorText);
/// Replaces the header in a slot by a "1C" header that takes over `strings` (1-based; left empty).
bool Create1C(std::unique_ptr<THeadRecz>& slot, std::string_view name, std::string_view longName,
              std::int64_t stringLength, std::int64_t numStrings, PStrVec& strings, ErrorText& errorText);
/// Whether a header's real array holds a value other than zero (-0.0 counts as zero).
bool testzero7(const Arr7<float>& values, bool& hasNonZero, ErrorText& errorText);
/// The description in a long name made as name + " # " + description + " #" (the trimmed text otherwise).
std::string DescriptionFromLongName(std::string_view longName);

} // namespace pelorin
