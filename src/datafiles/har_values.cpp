// Reading a header's data records: strings, integer and real matrices, full and sparse real arrays, and the
// version-3 value records. Large value records are read straight into the header's array.

#include "datafiles/har_internal.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

namespace pelorin {

namespace {

static_assert(std::endian::native == std::endian::little, "values are read in memory order");

constexpr std::uint32_t kExponentMask = 0x7F80'0000u;
constexpr std::uint64_t kDoubleExponentMask = 0x7FF0'0000'0000'0000ull;

std::string Num(std::int64_t value) {
  return std::to_string(value);
}

// Replaces non-finite singles by 424242.0 and returns how many there were. The first pass only looks, so
// clean data (the usual case) costs one vectorised scan.
std::int64_t ReplaceNonFinite(float* values, std::int64_t count) {
  std::uint32_t any = 0;
  for (std::int64_t i = 0; i < count; ++i) {
    std::uint32_t bits;
    std::memcpy(&bits, values + i, 4);
    any |= static_cast<std::uint32_t>((bits & kExponentMask) == kExponentMask);
  }
  if (any == 0) {
    return 0;
  }
  std::int64_t replaced = 0;
  for (std::int64_t i = 0; i < count; ++i) {
    std::uint32_t bits;
    std::memcpy(&bits, values + i, 4);
    if ((bits & kExponentMask) == kExponentMask) {
      values[i] = kNonFiniteValue;
      ++replaced;
    }
  }
  return replaced;
}

// A double as a single: non-finite doubles, and finite ones beyond the single range (which would become
// infinities), become 424242.0 and are counted.
float DoubleToSingle(const unsigned char* p, std::int64_t& replaced) {
  std::uint64_t bits;
  std::memcpy(&bits, p, 8);
  double value;
  std::memcpy(&value, p, 8);
  if ((bits & kDoubleExponentMask) == kDoubleExponentMask || value > 3.4028234663852886e38 ||
      value < -3.4028234663852886e38) {
    ++replaced;
    return kNonFiniteValue;
  }
  return static_cast<float>(value);
}

// A double as stored, for a reader that keeps them; non-finite ones become 424242.0 as in the singles.
double KeptDouble(const unsigned char* p) {
  double value;
  std::memcpy(&value, p, 8);
  return std::isfinite(value) ? value : static_cast<double>(kNonFiniteValue);
}

// The zero-filled array of doubles kept beside the singles, when the reader asks for it.
bool AllocKeptDoubles(THeadRecz& head, ErrorText& errorText) {
  head.doubles.clear();
  if (!head.keepDoubles || !head.isDouble) {
    return true;
  }
  try {
    head.doubles.assign(static_cast<std::size_t>(head.values.Count()), 0.0);
  } catch (const std::bad_alloc&) {
    return Fail(errorText, "Out of Memory", " [AllocKeptDoubles]");
  }
  return true;
}

bool IsContiguous(const std::array<std::int64_t, 7>& sizes, const std::int32_t* limits) {
  int d = 0;
  while (d < 7 && limits[2 * d] == 1 && limits[2 * d + 1] == sizes[d]) {
    ++d;
  }
  for (int e = d + 1; e < 7; ++e) {
    if (limits[2 * e] != limits[2 * e + 1]) {
      return false;
    }
  }
  return true;
}

bool AllocHeaderArray(THeadRecz& head, ErrorText& errorText) {
  return AllocMat7UK(head, errorText);
}

// One value record of a full real array: the remaining count, then the values of the block given by `limits`
// (first and last index of each dimension), stored straight into the array when the block is contiguous
// there.
// The array of a full read is allocated without zero fill. Blocks usually arrive in storage order, each
// starting where the last ended; as long as they do, only that written prefix is in use. The first block out
// of order zeroes everything after the prefix, and at the end whatever was never written is zeroed, so the
// array reads exactly as a zero-filled one would.
struct FillTracker {
  std::int64_t prefix = 0;
  bool zeroed = false;

  void BeforeBlock(Arr7<float>& values, std::int64_t start, std::int64_t count) {
    if (zeroed || count == 0) {
      return;
    }
    if (start == prefix) {
      prefix += count;
      return;
    }
    std::memset(values.Data() + prefix, 0, static_cast<std::size_t>(values.Count() - prefix) * sizeof(float));
    zeroed = true;
  }
  void Finish(Arr7<float>& values) const {
    if (!zeroed && prefix < values.Count()) {
      std::memset(values.Data() + prefix, 0,
                  static_cast<std::size_t>(values.Count() - prefix) * sizeof(float));
    }
  }
};

bool ReadFullValueRecord(LaheyFile& file, bool isFujitsu, THeadRecz& head, const std::int32_t* limits,
                         FillTracker& fill, std::int32_t& remaining, ErrorText& errorText) {
  const std::int64_t elementSize = head.isDouble ? 8 : 4;
  std::array<std::int64_t, 7> first{};
  std::array<std::int64_t, 7> extent{};
  for (int d = 0; d < 7; ++d) {
    first[d] = limits[2 * d];
    extent[d] = static_cast<std::int64_t>(limits[2 * d + 1]) - limits[2 * d] + 1;
  }
  const std::int64_t blockCount = ElementCount(extent); // within the array: the limits were checked
  RecordFrame frame;
  bool eof = false;
  if (!BeginRecord(file, isFujitsu, frame, eof, errorText)) {
    return AddTag(errorText, " [GetRecBuf]");
  }
  if (eof) {
    return AddTag(errorText, " [GetRecBuf]");
  }
  std::int64_t count = 0;
  if (!CheckRecordShape(frame.length, 4, elementSize, count, errorText)) {
    return false;
  }
  unsigned char head8[8];
  if (!FileRead(file, head8, 8, errorText)) {
    return AddTag(errorText, " [GetLaheyRecA] [GetRecBuf]");
  }
  remaining = LoadInt32(head8 + 4);
  if (count != blockCount) {
    return Fail(errorText, "RL record wrong length");
  }
  const std::int64_t start = head.values.Offset(first);
  float* target = head.values.Data();
  std::int64_t replaced = 0;
  const bool contiguous = IsContiguous(head.sizes, limits);
  fill.BeforeBlock(head.values, contiguous ? start : -1, count);
  if (!head.isDouble && contiguous) {
    if (!FileRead(file, target + start, count * 4, errorText)) {
      return AddTag(errorText, " [GetLaheyRecA] [GetRecBuf]");
    }
    replaced = ReplaceNonFinite(target + start, count);
  } else {
    unsigned char* buffer = SharedRecordBuffer();
    if (!FileRead(file, buffer, count * elementSize, errorText)) {
      return AddTag(errorText, " [GetLaheyRecA] [GetRecBuf]");
    }
    // Runs along dimension 1, one per index of the higher dimensions.
    const std::int64_t run = extent[0];
    const std::int64_t runs = run > 0 ? count / run : 0;
    std::array<std::int64_t, 7> index = first;
    const unsigned char* from = buffer;
    for (std::int64_t r = 0; r < runs; ++r) {
      const std::int64_t offset = head.values.Offset(index);
      float* to = target + offset;
      if (head.isDouble) {
        for (std::int64_t i = 0; i < run; ++i) {
          to[i] = DoubleToSingle(from + 8 * i, replaced);
        }
        if (!head.doubles.empty()) {
          for (std::int64_t i = 0; i < run; ++i) {
            head.doubles[static_cast<std::size_t>(offset + i)] = KeptDouble(from + 8 * i);
          }
        }
      } else {
        std::memcpy(to, from, static_cast<std::size_t>(run) * 4);
        replaced += ReplaceNonFinite(to, run);
      }
      from += run * elementSize;
      for (int d = 1; d < 7; ++d) {
        if (++index[d] < first[d] + extent[d]) {
          break;
        }
        index[d] = first[d];
      }
    }
  }
  head.numNonFinite += replaced;
  if (!EndRecord(file, isFujitsu, frame, errorText)) {
    return AddTag(errorText, " [GetRecBuf]");
  }
  return true;
}

bool ReadFullBlocks(LaheyFile& file, bool isFujitsu, THeadRecz& head, FillTracker& fill,
                    ErrorText& errorText);

bool ReadFullReals(LaheyFile& file, bool isFujitsu, THeadRecz& head, ErrorText& errorText) {
  const char* tag = " [ReadFullReals]";
  if (!AllocArr7UKUnfilled(head.values, head.sizes, errorText)) {
    errorText += " [AllocMat7UK]";
    return AddTag(errorText, tag);
  }
  if (!AllocKeptDoubles(head, errorText)) {
    return AddTag(errorText, tag);
  }
  FillTracker fill;
  const bool ok = ReadFullBlocks(file, isFujitsu, head, fill, errorText);
  fill.Finish(head.values);
  return ok || AddTag(errorText, tag);
}

bool ReadFullBlocks(LaheyFile& file, bool isFujitsu, THeadRecz& head, FillTracker& fill,
                    ErrorText& errorText) {
  // The caller adds the routine's tag to every failure.
  RecordParts parts;
  std::int32_t ints[15] = {};
  if (!GetRecBufInts(file, 9, isFujitsu, ints, parts, errorText)) {
    return false;
  }
  for (;;) {
    std::int32_t limits[15];
    if (!GetRecBufInts(file, 15, isFujitsu, ints, parts, errorText)) {
      return false;
    }
    std::memcpy(limits, ints + 1, sizeof(std::int32_t) * 14);
    for (int d = 0; d < 7; ++d) {
      const std::int64_t from = limits[2 * d];
      const std::int64_t to = limits[2 * d + 1];
      if (from < 1 || to > head.sizes[d] || to < from - 1) {
        return Fail(errorText, "RL record limits out of range: dimension " + Num(d + 1) + " from " +
                                   Num(from) + " to " + Num(to) + " of " + Num(head.sizes[d]));
      }
    }
    std::int32_t remaining = 0;
    if (!ReadFullValueRecord(file, isFujitsu, head, limits, fill, remaining, errorText)) {
      return false;
    }
    if (remaining == 1) {
      return true;
    }
  }
}

bool ReadSparseReals(LaheyFile& file, bool isFujitsu, THeadRecz& head, ErrorText& errorText) {
  const char* tag = " [ReadSparseReals]";
  if (!AllocHeaderArray(head, errorText) || !AllocKeptDoubles(head, errorText)) {
    return AddTag(errorText, tag);
  }
  RecordParts parts;
  std::int32_t ints[15] = {};
  if (!GetRecBufInts(file, 3, isFujitsu, ints, parts, errorText)) {
    return AddTag(errorText, tag);
  }
  const std::int64_t nnz = ints[0];
  if (ints[1] != 4) {
    return Fail(errorText, "Expected 4 byte integer kind: found " + Num(ints[1]), tag);
  }
  const int realSize = head.isDouble ? 8 : 4;
  if (ints[2] != realSize) {
    return Fail(errorText, "Expected " + Num(realSize) + " byte real kind: found " + Num(ints[2]), tag);
  }
  float* target = head.values.Data();
  const std::int64_t total = head.values.Count();
  std::int64_t nRead = 0;
  std::int64_t replaced = 0;
  for (;;) {
    if (!GetRecBuf(file, 12, isFujitsu, 4, parts, errorText)) {
      return AddTag(errorText, tag);
    }
    const std::int32_t remaining = LoadInt32(parts.structure);
    const std::int32_t recordNnz = LoadInt32(parts.structure + 4);
    const std::int64_t n = LoadInt32(parts.structure + 8);
    const std::int64_t units = head.isDouble ? 3 : 2;
    if (n < 0 || n * units != parts.count) {
      return Fail(errorText,
                  "Nhere(" + Num(n) + ") <>(Extra(" + Num(parts.count) + ") div " + Num(units) +
                      ") at KREC=" + Num(remaining),
                  tag);
    }
    if (recordNnz != nnz) {
      return Fail(errorText, "TOTAL <> NNZ", tag);
    }
    const unsigned char* positions = parts.elements;
    const unsigned char* values = parts.elements + 4 * n;
    for (std::int64_t i = 0; i < n; ++i) {
      const std::int64_t p = LoadInt32(positions + 4 * i);
      if (p < 0) {
        return Fail(errorText, "unexpected offset<0", tag);
      }
      if (p == 0 || p > total) {
        return Fail(errorText, "unexpected offset " + Num(p) + " outside 1.." + Num(total), tag);
      }
      float value;
      if (head.isDouble) {
        value = DoubleToSingle(values + 8 * i, replaced);
        if (!head.doubles.empty()) {
          head.doubles[static_cast<std::size_t>(p - 1)] = KeptDouble(values + 8 * i);
        }
      } else {
        std::memcpy(&value, values + 4 * i, 4);
        std::uint32_t bits;
        std::memcpy(&bits, &value, 4);
        if ((bits & kExponentMask) == kExponentMask) {
          value = kNonFiniteValue;
          ++replaced;
        }
      }
      target[p - 1] = value;
    }
    nRead += n;
    if (remaining == 1) {
      break;
    }
  }
  head.numNonFinite += replaced;
  if (nRead != nnz) {
    return Fail(errorText, "NRead(" + Num(nRead) + ") <> NNZ(" + Num(nnz) + ")", tag);
  }
  return true;
}

// "2I" and "2R" records: seven integers (remaining, rows, columns, first and last row, first and last
// column), then the block's values column by column.
template <class T>
bool ReadMatrixRecords(LaheyFile& file, bool isFujitsu, std::int64_t rows, std::int64_t cols, T* target,
                       const char* what, ErrorText& errorText) {
  const std::string tag = std::string(" [Read") + what + "]";
  RecordParts parts;
  for (;;) {
    if (!GetRecBuf(file, 28, isFujitsu, 4, parts, errorText)) {
      return AddTag(errorText, tag);
    }
    std::int64_t v[7];
    for (int i = 0; i < 7; ++i) {
      v[i] = LoadInt32(parts.structure + 4 * i);
    }
    const std::int64_t r1 = v[3], r2 = v[4], c1 = v[5], c2 = v[6];
    const long double blockCount =
        static_cast<long double>(r2 - r1 + 1) * static_cast<long double>(c2 - c1 + 1);
    if (blockCount != static_cast<long double>(parts.count) || (parts.count > 0 && (r2 < r1 || c2 < c1))) {
      return Fail(errorText, std::string(what) + " record wrong length", tag);
    }
    if (parts.count > 0 && (r1 < 1 || c1 < 1 || r2 > rows || c2 > cols)) {
      return Fail(errorText, std::string(what) + " record limits out of range", tag);
    }
    const unsigned char* from = parts.elements;
    for (std::int64_t c = c1; parts.count > 0 && c <= c2; ++c) {
      T* to = target + (c - 1) * rows + (r1 - 1);
      const std::int64_t n = r2 - r1 + 1;
      std::memcpy(to, from, static_cast<std::size_t>(n) * sizeof(T));
      from += n * 4;
    }
    if (v[0] == 1) {
      break;
    }
  }
  return true;
}

bool ReadIntMatrix(LaheyFile& file, bool isFujitsu, THeadRecz& head, ErrorText& errorText) {
  if (!AllocMat2UK(head.intMatrix, head.rows, head.cols, ElemType::Integer, errorText)) {
    return AddTag(errorText, " [Read2I]");
  }
  return ReadMatrixRecords(file, isFujitsu, head.rows, head.cols, head.intMatrix.Data(), "2I", errorText);
}

// "2R": read into a rows x columns single array, then taken as a one- or two-dimensional real array.
bool ReadRealMatrix(LaheyFile& file, bool isFujitsu, THeadRecz& head, ErrorText& errorText) {
  head.sizes = {head.rows, head.cols, 1, 1, 1, 1, 1};
  if (!AllocHeaderArray(head, errorText)) {
    return AddTag(errorText, " [Read2R]");
  }
  if (!ReadMatrixRecords(file, isFujitsu, head.rows, head.cols, head.values.Data(), "2R", errorText)) {
    return false;
  }
  head.numNonFinite += ReplaceNonFinite(head.values.Data(), head.values.Count());
  // Turn2RtoRL: the matrix storage becomes the array; a single row becomes a vector over the columns.
  std::array<std::int64_t, 7> dims{1, 1, 1, 1, 1, 1, 1};
  if (head.rows < 2) {
    dims[0] = head.cols;
    dims[1] = head.rows;
    head.nDim = 1;
  } else {
    dims[0] = head.rows;
    dims[1] = head.cols;
    head.nDim = 2;
  }
  head.sizes = dims;
  head.values.Reshape(dims);
  return true;
}

bool ReadV3Values(LaheyFile& file, bool isFujitsu, THeadRecz& head, ErrorText& errorText) {
  const char* tag = " [ReadV3Data]";
  const char kind = head.v3.code[0];
  RecordParts parts;
  if (!GetRecBuf(file, 0, isFujitsu, 1, parts, errorText)) {
    return AddTag(errorText, tag);
  }
  if (parts.count != 4) {
    return Fail(errorText, "Expect 4 bytes start of V3 1C data", tag);
  }
  if (!GetRecBuf(file, 0, isFujitsu, 1, parts, errorText)) {
    return AddTag(errorText, tag);
  }
  RecordCursor cursor{parts.elements, parts.count, 0};
  std::int64_t ignored = 0;
  std::int32_t dims = 0;
  if (!ReadInt64At(cursor, ignored, errorText) || !ReadIntAt(cursor, dims, errorText)) {
    return AddTag(errorText, tag);
  }
  if (dims > 7) {
    return Fail(errorText, "Too many dimensions", tag);
  }
  std::int64_t total = 1;
  for (std::int32_t d = 0; d < dims; ++d) {
    std::int64_t size = 0;
    if (!ReadInt64At(cursor, size, errorText)) {
      return AddTag(errorText, tag);
    }
    if (size < 0 || (size > 0 && total > INT64_MAX / size)) {
      return Fail(errorText, "Dimension < 0", tag);
    }
    total *= size;
  }
  if (kind == 'c') {
    return Fail(errorText, "IsChar not implemented here yet", tag);
  }
  const bool isInt = kind == 'i';
  const std::int64_t expected = isInt ? ElementCount({head.rows, head.cols, 1, 1, 1, 1, 1}) : head.numValues;
  if (total != expected) {
    return Fail(errorText, "Cannot convert this header " + head.name + " to V1", tag);
  }
  if (isInt) {
    if (!AllocMat2UK(head.intMatrix, head.rows, head.cols, ElemType::Integer, errorText)) {
      return AddTag(errorText, tag);
    }
  } else if (!AllocHeaderArray(head, errorText) || !AllocKeptDoubles(head, errorText)) {
    return AddTag(errorText, tag);
  }
  const std::int64_t elementSize = kind == 'd' ? 8 : 4;
  std::int64_t filled = 0;
  std::int64_t replaced = 0;
  for (;;) {
    if (!GetRecBuf(file, 24, isFujitsu, elementSize, parts, errorText)) {
      return AddTag(errorText, tag);
    }
    const std::int64_t remaining = LoadInt64(parts.structure);
    const std::int64_t n = LoadInt64(parts.structure + 8);
    if (n != parts.count || n > total - filled) {
      return Fail(errorText, "V3 record wrong length", tag);
    }
    if (isInt) {
      std::memcpy(head.intMatrix.Data() + filled, parts.elements, static_cast<std::size_t>(n) * 4);
    } else if (kind == 'd') {
      float* to = head.values.Data() + filled;
      for (std::int64_t i = 0; i < n; ++i) {
        to[i] = DoubleToSingle(parts.elements + 8 * i, replaced);
      }
      if (!head.doubles.empty()) {
        for (std::int64_t i = 0; i < n; ++i) {
          head.doubles[static_cast<std::size_t>(filled + i)] = KeptDouble(parts.elements + 8 * i);
        }
      }
    } else {
      float* to = head.values.Data() + filled;
      std::memcpy(to, parts.elements, static_cast<std::size_t>(n) * 4);
      replaced += ReplaceNonFinite(to, n);
    }
    filled += n;
    if (remaining == 1) {
      break;
    }
  }
  if (filled != total) {
    return Fail(errorText, "Too few values in V3 data", tag);
  }
  head.numNonFinite += replaced;
  return true;
}

} // namespace

bool AllocMat7UK(THeadRecz& head, ErrorText& errorText) {
  if (!AllocArr7UK(head.values, head.sizes, ElemType::Real, errorText)) {
    return AddTag(errorText, " [AllocMat7UK]");
  }
  return true;
}

bool FreeMat7UK(THeadRecz& head, ErrorText& errorText) {
  return FreeArr7UK(head.values, errorText);
}

namespace har {

bool ReadStringRecords(LaheyFile& file, bool isFujitsu, std::int64_t expected, std::int64_t length,
                       PStrVec& strings, ErrorText& errorText) {
  const char* tag = " [Read1CData]";
  const long double totalSize = static_cast<long double>(expected) * static_cast<long double>(length);
  if (totalSize > kMaxHarBuf) {
    return Fail(errorText,
                "Cannot read " + Num(expected) + " strings length " + Num(length) + " (total size " +
                    Num(static_cast<std::int64_t>(totalSize)) +
                    ") since buffer size MaxHarBuf is set to just " + "8000000",
                tag);
  }
  // Every string takes at least one byte of the file, so a count the rest of the file cannot hold is a lie;
  // refusing it here keeps a small damaged file from reserving gigabytes of empty strings.
  const std::int64_t bytesLeft = file.file.Size() - file.file.Position();
  if (expected > 0 && static_cast<long double>(expected) * std::max<std::int64_t>(length, 1) > bytesLeft) {
    return Fail(errorText,
                "File too short for " + Num(expected) + " strings length " + Num(length) + ": only " +
                    Num(bytesLeft) + " bytes left",
                tag);
  }
  strings.clear();
  if (!AllocPStrVec(strings, expected, errorText)) {
    return AddTag(errorText, tag);
  }
  std::int64_t gathered = 0;
  RecordParts parts;
  for (;;) {
    if (!GetRecBuf(file, 12, isFujitsu, length, parts, errorText)) {
      return AddTag(errorText, tag);
    }
    const std::int32_t remaining = LoadInt32(parts.structure);
    const std::int64_t total = LoadInt32(parts.structure + 4);
    const std::int64_t n = LoadInt32(parts.structure + 8);
    if (total != expected) {
      return Fail(errorText, "Expected " + Num(expected) + " strings in record, but found " + Num(total),
                  tag);
    }
    if (n != parts.count) {
      return Fail(errorText, "1C record wrong length", tag);
    }
    if (n > expected - gathered) {
      return Fail(errorText, "Too many strings in 1C record", tag);
    }
    const std::size_t keep = static_cast<std::size_t>(std::min<std::int64_t>(length, 255));
    for (std::int64_t i = 0; i < n; ++i) {
      std::string_view text(reinterpret_cast<const char*>(parts.elements + i * length), keep);
      while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
      }
      strings[static_cast<std::size_t>(++gathered)] = std::string(text);
    }
    if (remaining == 1) {
      break;
    }
  }
  if (gathered != expected) {
    return Fail(errorText, "Too few strings in 1C record", tag);
  }
  return true;
}

bool ReadHeaderData(LaheyFile& file, bool isFujitsu, THeadRecz& head, ErrorText& errorText) {
  const std::string tag = " [ReadHeaderData:" + head.name + "]";
  bool ok = true;
  if (head.isV3) {
    const char kind = head.v3.code.empty() ? '?' : head.v3.code[0];
    if (kind == 'r' || kind == 'd' || kind == 'i') {
      ok = ReadV3Values(file, isFujitsu, head, errorText);
    } else {
      ok = Fail(errorText, "Cannot convert this header " + head.name + " type " + head.v3.code + " to V1");
    }
  } else if (head.orgHeadType == "RE" || head.orgHeadType == "DE") {
    if (head.storage == "FULL") {
      ok = ReadFullReals(file, isFujitsu, head, errorText);
    } else if (head.storage == "SPSE") {
      ok = ReadSparseReals(file, isFujitsu, head, errorText);
    } else {
      ok = Fail(errorText, "Unrecognized Storage Method: \"" + head.storage + "\"");
    }
  } else if (head.orgHeadType == "RL" || head.orgHeadType == "DL") {
    ok = ReadFullReals(file, isFujitsu, head, errorText);
  } else if (head.headType == "2I") {
    ok = ReadIntMatrix(file, isFujitsu, head, errorText);
  } else if (head.headType == "2R") {
    ok = ReadRealMatrix(file, isFujitsu, head, errorText);
    if (ok) {
      head.headType = "RL";
      ok = CompleteHeaderRecord(head, errorText);
    }
  } else if (head.headType == "1C") {
    ok = ReadStringRecords(file, isFujitsu, head.numStrings, head.stringLength, head.strings, errorText);
  } else {
    ok = Fail(errorText, "Bad HeadType: " + head.headType);
  }
  if (!ok) {
    return AddTag(errorText, tag);
  }
  if (head.isReal && head.nDim == 0 && head.values.Count() == 1) {
    head.scalarValue = head.values.Data()[0];
  }
  return true;
}

} // namespace har

} // namespace pelorin
