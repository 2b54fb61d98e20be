#include "datafiles/har_writer.h"

#include "datafiles/record_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <ctime>
#include <map>
#include <utility>

namespace pelorin {

static_assert(std::endian::native == std::endian::little, "the writer lays out values in memory order");

namespace {

constexpr std::string_view kTag = " [HarWriter]";
constexpr std::string_view kPrefix = "    ";
constexpr int kNameLength = 12; // set, element and coefficient names

std::string Num(std::int64_t value) {
  return std::to_string(value);
}

void PutInt32(std::string& out, std::int64_t value) {
  const auto v = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
  for (int i = 0; i < 4; ++i) {
    out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
}

void PutInt64(std::string& out, std::int64_t value) {
  const auto v = static_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i) {
    out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
}

std::string Padded(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

template <class T> std::string_view Bytes(const T* values, std::int64_t count) {
  return {reinterpret_cast<const char*>(values), static_cast<std::size_t>(count) * sizeof(T)};
}

bool Refuse(ErrorText& errorText, const HarHeader& header, const std::string& message) {
  return Fail(errorText, "Header \"" + header.name + "\": " + message, kTag);
}

std::int64_t Product(const std::vector<HarDim>& dims) {
  std::int64_t count = 1;
  for (const HarDim& dim : dims) {
    if (dim.size < 0 || (dim.size > 0 && count > INT64_MAX / dim.size)) {
      return -1;
    }
    count *= dim.size;
  }
  return count;
}

char StatusOf(const HarDim& dim) {
  if (dim.status != 0) {
    return dim.status;
  }
  return dim.elements.empty() ? 'u' : 'k';
}

// One contiguous block of an array in storage order: its first offset, its length and its index limits.
struct Block {
  std::int64_t offset = 0;
  std::int64_t count = 0;
  std::array<std::int64_t, 7> first{1, 1, 1, 1, 1, 1, 1};
  std::array<std::int64_t, 7> last{1, 1, 1, 1, 1, 1, 1};
};

// Splits an array into blocks of at most `cap` elements, each a contiguous run: the lowest dimensions whole,
// one dimension in chunks, the higher ones a single index.
std::vector<Block> SplitBlocks(const std::array<std::int64_t, 7>& sizes, std::int64_t cap) {
  std::vector<Block> blocks;
  std::int64_t total = 1;
  for (std::int64_t size : sizes) {
    total *= size;
  }
  if (total <= cap) {
    Block whole;
    whole.count = total;
    whole.last = sizes;
    blocks.push_back(whole);
    return blocks;
  }
  int m = 0;
  std::int64_t inner = 1;
  while (m < 7 && inner * sizes[m] <= cap) {
    inner *= sizes[m];
    ++m;
  }
  const std::int64_t chunk = std::max<std::int64_t>(1, cap / inner);
  std::array<std::int64_t, 7> outer{1, 1, 1, 1, 1, 1, 1}; // indexes of dimensions above m
  for (;;) {
    for (std::int64_t start = 1; start <= sizes[m]; start += chunk) {
      Block block;
      for (int d = 0; d < 7; ++d) {
        if (d < m) {
          block.first[d] = 1;
          block.last[d] = sizes[d];
        } else if (d == m) {
          block.first[d] = start;
          block.last[d] = std::min(sizes[d], start + chunk - 1);
        } else {
          block.first[d] = block.last[d] = outer[d];
        }
      }
      std::int64_t offset = 0;
      for (int d = 6; d >= 0; --d) {
        offset = offset * sizes[d] + (block.first[d] - 1);
      }
      block.offset = offset;
      block.count = inner * (block.last[m] - block.first[m] + 1);
      blocks.push_back(block);
    }
    int d = m + 1;
    while (d < 7 && outer[d] == sizes[d]) {
      outer[d] = 1;
      ++d;
    }
    if (d >= 7) {
      break;
    }
    ++outer[d];
  }
  return blocks;
}

std::array<std::int64_t, 7> SevenSizes(const std::vector<HarDim>& dims) {
  std::array<std::int64_t, 7> sizes{1, 1, 1, 1, 1, 1, 1};
  for (std::size_t d = 0; d < dims.size() && d < 7; ++d) {
    sizes[d] = dims[d].size;
  }
  return sizes;
}

class HeaderWriter {
public:
  HeaderWriter(RecordWriter& records, const HarWriteOptions& options, const HarHeader& header,
               ErrorText& errorText)
      : records_(records), options_(options), header_(header), errorText_(errorText) {}

  bool Write() {
    if (header_.name.empty() || header_.name.size() > 4) {
      return Refuse(errorText_, header_, "name must have 1 to 4 characters");
    }
    if (header_.longName.size() > 70) {
      return Refuse(errorText_, header_, "long name longer than 70 characters");
    }
    if (options_.maxRecordBytes < 64) {
      return Refuse(errorText_, header_, "record size limit below 64 bytes");
    }
    if (!records_.WriteRecord(Padded(header_.name, 4), errorText_)) {
      return false;
    }
    if (header_.version3) {
      return WriteVersion3();
    }
    switch (header_.kind) {
    case HarKind::Strings:
      return WriteStrings();
    case HarKind::IntMatrix:
    case HarKind::RealMatrix:
      return WriteMatrix();
    case HarKind::Real:
    case HarKind::Double:
      return WriteArray();
    case HarKind::Integer:
      return Refuse(errorText_, header_, "integer arrays exist only in the version-3 layout");
    }
    return false;
  }

private:
  bool Record(std::initializer_list<std::string_view> pieces) {
    return records_.WriteRecordParts(pieces, errorText_);
  }

  bool Description(std::string_view type, std::string_view storage, const std::vector<std::int64_t>& ints) {
    std::string record(kPrefix);
    record += type;
    record += storage;
    record += Padded(header_.longName, 70);
    for (std::int64_t value : ints) {
      PutInt32(record, value);
    }
    return Record({record});
  }

  // String records: each holds records remaining, total, its count, then its strings.
  bool StringRecords(const std::vector<std::string>& strings, std::int64_t length) {
    const std::int64_t total = static_cast<std::int64_t>(strings.size());
    const std::int64_t perRecord = (options_.maxRecordBytes - 16) / length;
    if (perRecord < 1) {
      return Refuse(errorText_, header_, "strings of length " + Num(length) + " do not fit in a record");
    }
    const std::int64_t recordCount = std::max<std::int64_t>(1, (total + perRecord - 1) / perRecord);
    for (std::int64_t r = 0; r < recordCount; ++r) {
      const std::int64_t first = r * perRecord;
      const std::int64_t count = std::min(perRecord, total - first);
      std::string record(kPrefix);
      PutInt32(record, recordCount - r);
      PutInt32(record, total);
      PutInt32(record, count);
      for (std::int64_t i = first; i < first + count; ++i) {
        record += Padded(strings[static_cast<std::size_t>(i)], static_cast<std::size_t>(length));
      }
      if (!Record({record})) {
        return false;
      }
    }
    return true;
  }

  bool WriteStrings() {
    std::int64_t length = header_.stringLength;
    std::int64_t longest = 1;
    for (const std::string& text : header_.strings) {
      longest = std::max<std::int64_t>(longest, static_cast<std::int64_t>(text.size()));
    }
    if (length <= 0) {
      length = longest;
    } else if (longest > length) {
      return Refuse(errorText_, header_, "a string is longer than the string length " + Num(length));
    }
    const std::int64_t total = static_cast<std::int64_t>(header_.strings.size());
    if (total * length > kMaxHarBuf) {
      return Refuse(errorText_, header_,
                    Num(total) + " strings of length " + Num(length) + " exceed " + Num(kMaxHarBuf) +
                        " bytes");
    }
    return Description("1C", "FULL", {2, total, length}) && StringRecords(header_.strings, length);
  }

  bool WriteMatrix() {
    const bool isInt = header_.kind == HarKind::IntMatrix;
    const std::int64_t rows = header_.rows;
    const std::int64_t cols = header_.cols;
    const std::int64_t given = static_cast<std::int64_t>(isInt ? header_.ints.size() : header_.reals.size());
    if (rows < 0 || cols < 0 || rows > INT32_MAX || cols > INT32_MAX || rows * cols != given) {
      return Refuse(errorText_, header_,
                    "matrix of " + Num(rows) + "*" + Num(cols) + " with " + Num(given) + " values");
    }
    if (!Description(isInt ? "2I" : "2R", "FULL", {2, rows, cols})) {
      return false;
    }
    const std::int64_t cap = (options_.maxRecordBytes - 32) / 4;
    // Blocks of whole columns when a column fits, else slices of one column.
    struct MatBlock {
      std::int64_t r1, r2, c1, c2;
    };
    std::vector<MatBlock> blocks;
    if (rows == 0 || cols == 0 || rows * cols <= cap) {
      blocks.push_back({1, rows, 1, cols});
    } else if (rows <= cap) {
      const std::int64_t perRecord = cap / rows;
      for (std::int64_t c = 1; c <= cols; c += perRecord) {
        blocks.push_back({1, rows, c, std::min(cols, c + perRecord - 1)});
      }
    } else {
      for (std::int64_t c = 1; c <= cols; ++c) {
        for (std::int64_t r = 1; r <= rows; r += cap) {
          blocks.push_back({r, std::min(rows, r + cap - 1), c, c});
        }
      }
    }
    const std::int64_t recordCount = static_cast<std::int64_t>(blocks.size());
    std::string values;
    for (std::int64_t b = 0; b < recordCount; ++b) {
      const MatBlock& block = blocks[static_cast<std::size_t>(b)];
      std::string record(kPrefix);
      for (std::int64_t value : {recordCount - b, rows, cols, block.r1, block.r2, block.c1, block.c2}) {
        PutInt32(record, value);
      }
      values.clear();
      for (std::int64_t c = block.c1; c <= block.c2; ++c) {
        const std::int64_t start = (c - 1) * rows + (block.r1 - 1);
        const std::int64_t count = block.r2 - block.r1 + 1;
        values +=
            isInt ? Bytes(header_.ints.data() + start, count) : Bytes(header_.reals.data() + start, count);
      }
      if (!Record({record, values})) {
        return false;
      }
    }
    return true;
  }

  bool CheckArray(std::int64_t& count) {
    if (header_.dims.size() > 7) {
      return Refuse(errorText_, header_, "more than 7 dimensions");
    }
    count = Product(header_.dims);
    const bool isDouble = header_.kind == HarKind::Double;
    const bool isInt = header_.kind == HarKind::Integer;
    const std::int64_t given = static_cast<std::int64_t>(
        isDouble ? header_.doubles.size() : (isInt ? header_.ints.size() : header_.reals.size()));
    if (count < 0 || count != given) {
      return Refuse(errorText_, header_,
                    "the sizes give " + Num(count) + " values but " + Num(given) + " are given");
    }
    for (const HarDim& dim : header_.dims) {
      if (dim.size > INT32_MAX && !header_.version3) {
        return Refuse(errorText_, header_, "a dimension exceeds 2147483647");
      }
    }
    return true;
  }

  // The set-and-element record and the element-name lists of a labelled array.
  bool SetRecords(bool sizes64) {
    const std::vector<HarDim>& dims = header_.dims;
    if (header_.coefficient.size() > kNameLength) {
      return Refuse(errorText_, header_, "coefficient name longer than 12 characters");
    }
    std::map<std::string, std::size_t> firstOfSet;
    std::vector<std::size_t> lists;
    std::vector<std::string> elementNames;
    bool anySet = false;
    for (std::size_t d = 0; d < dims.size(); ++d) {
      const HarDim& dim = dims[d];
      const char status = StatusOf(dim);
      if (dim.setName.size() > kNameLength) {
        return Refuse(errorText_, header_, "set name " + dim.setName + " longer than 12 characters");
      }
      anySet = anySet || !dim.setName.empty();
      if (status == 'k') {
        if (static_cast<std::int64_t>(dim.elements.size()) != dim.size || dim.setName.empty()) {
          return Refuse(errorText_, header_,
                        "dimension " + Num(static_cast<std::int64_t>(d) + 1) +
                            " needs a set name and one element name per index");
        }
        for (const std::string& element : dim.elements) {
          if (element.size() > kNameLength) {
            return Refuse(errorText_, header_, "element name " + element + " longer than 12 characters");
          }
        }
        auto [it, inserted] = firstOfSet.emplace(dim.setName, d);
        if (inserted) {
          lists.push_back(d);
        } else if (dims[it->second].elements != dim.elements) {
          return Refuse(errorText_, header_, "set " + dim.setName + " has two different element lists");
        }
      } else if (status == 'e') {
        if (dim.size != 1 || dim.elementName.size() > kNameLength) {
          return Refuse(errorText_, header_,
                        "an element dimension needs size 1 and a name of up to 12 characters");
        }
        elementNames.push_back(dim.elementName);
      }
    }
    std::string record(kPrefix);
    PutInt32(record, static_cast<std::int64_t>(lists.size()));
    PutInt32(record, 1);
    PutInt32(record, static_cast<std::int64_t>(dims.size()));
    record += Padded(header_.coefficient, kNameLength);
    PutInt32(record, anySet ? 1 : 0);
    for (const HarDim& dim : dims) {
      record += Padded(dim.setName, kNameLength);
    }
    for (const HarDim& dim : dims) {
      record.push_back(StatusOf(dim));
    }
    for (const HarDim& dim : dims) {
      sizes64 ? PutInt64(record, dim.size) : PutInt32(record, dim.size);
    }
    PutInt32(record, static_cast<std::int64_t>(elementNames.size()));
    for (const std::string& element : elementNames) {
      record += Padded(element, kNameLength);
    }
    if (!Record({record})) {
      return false;
    }
    for (std::size_t d : lists) {
      if (!StringRecords(dims[d].elements, kNameLength)) {
        return false;
      }
    }
    return true;
  }

  bool WriteArray() {
    std::int64_t count = 0;
    if (!CheckArray(count)) {
      return false;
    }
    const bool isDouble = header_.kind == HarKind::Double;
    const bool labelled = header_.labelled || std::any_of(header_.dims.begin(), header_.dims.end(),
                                                          [](const HarDim& d) { return !d.setName.empty(); });
    if (header_.sparse && !labelled) {
      return Refuse(errorText_, header_, "only labelled arrays are stored sparse");
    }
    const std::array<std::int64_t, 7> sizes = SevenSizes(header_.dims);
    std::vector<std::int64_t> ints{7};
    ints.insert(ints.end(), sizes.begin(), sizes.end());
    const std::string_view type = isDouble ? (labelled ? "DE" : "DL") : (labelled ? "RE" : "RL");
    if (!Description(type, header_.sparse ? "SPSE" : "FULL", ints)) {
      return false;
    }
    if (labelled && !SetRecords(false)) {
      return false;
    }
    return header_.sparse ? SparseData(count) : FullData(sizes);
  }

  bool FullData(const std::array<std::int64_t, 7>& sizes) {
    const bool isDouble = header_.kind == HarKind::Double;
    const std::int64_t elementSize = isDouble ? 8 : 4;
    const std::vector<Block> blocks = SplitBlocks(sizes, (options_.maxRecordBytes - 8) / elementSize);
    const std::int64_t recordCount = 2 * static_cast<std::int64_t>(blocks.size());
    std::string record(kPrefix);
    PutInt32(record, recordCount + 1);
    PutInt32(record, 7);
    for (std::int64_t size : sizes) {
      PutInt32(record, size);
    }
    if (!Record({record})) {
      return false;
    }
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      const Block& block = blocks[b];
      const std::int64_t remaining = recordCount - 2 * static_cast<std::int64_t>(b);
      std::string limits(kPrefix);
      PutInt32(limits, remaining);
      for (int d = 0; d < 7; ++d) {
        PutInt32(limits, block.first[d]);
        PutInt32(limits, block.last[d]);
      }
      std::string head(kPrefix);
      PutInt32(head, remaining - 1);
      const std::string_view values = isDouble ? Bytes(header_.doubles.data() + block.offset, block.count)
                                               : Bytes(header_.reals.data() + block.offset, block.count);
      if (!Record({limits}) || !Record({head, values})) {
        return false;
      }
    }
    return true;
  }

  bool SparseData(std::int64_t count) {
    const bool isDouble = header_.kind == HarKind::Double;
    if (count > INT32_MAX) {
      return Refuse(errorText_, header_, "too many values for sparse storage");
    }
    std::vector<std::int32_t> positions;
    for (std::int64_t i = 0; i < count; ++i) {
      const bool nonZero = isDouble ? header_.doubles[static_cast<std::size_t>(i)] != 0.0
                                    : header_.reals[static_cast<std::size_t>(i)] != 0.0f;
      if (nonZero) {
        positions.push_back(static_cast<std::int32_t>(i + 1));
      }
    }
    const std::int64_t nnz = static_cast<std::int64_t>(positions.size());
    std::string first(kPrefix);
    PutInt32(first, nnz);
    PutInt32(first, 4);
    PutInt32(first, isDouble ? 8 : 4);
    if (!Record({first})) {
      return false;
    }
    const std::int64_t perRecord = (options_.maxRecordBytes - 16) / (isDouble ? 12 : 8);
    const std::int64_t recordCount = std::max<std::int64_t>(1, (nnz + perRecord - 1) / perRecord);
    std::string values;
    for (std::int64_t r = 0; r < recordCount; ++r) {
      const std::int64_t start = r * perRecord;
      const std::int64_t n = std::min(perRecord, nnz - start);
      std::string head(kPrefix);
      PutInt32(head, recordCount - r);
      PutInt32(head, nnz);
      PutInt32(head, n);
      values.clear();
      for (std::int64_t i = start; i < start + n; ++i) {
        const std::size_t at = static_cast<std::size_t>(positions[static_cast<std::size_t>(i)] - 1);
        values += isDouble ? Bytes(&header_.doubles[at], 1) : Bytes(&header_.reals[at], 1);
      }
      if (!Record({head, Bytes(positions.data() + start, n), values})) {
        return false;
      }
    }
    return true;
  }

  bool WriteVersion3() {
    std::vector<HarDim> matrixDims;
    const std::vector<HarDim>* dims = &header_.dims;
    std::string code;
    std::int64_t elementSize = 4;
    const bool labelled = header_.labelled || std::any_of(header_.dims.begin(), header_.dims.end(),
                                                          [](const HarDim& d) { return !d.setName.empty(); });
    switch (header_.kind) {
    case HarKind::Real:
      code = labelled ? "re" : "rl";
      break;
    case HarKind::Double:
      code = labelled ? "de" : "dl";
      elementSize = 8;
      break;
    case HarKind::Integer:
      code = labelled ? "ie" : "il";
      break;
    case HarKind::IntMatrix:
      code = "il";
      matrixDims = {SizeDim(header_.rows), SizeDim(header_.cols)};
      dims = &matrixDims;
      break;
    default:
      return Refuse(errorText_, header_, "the version-3 layout is written for numeric headers only");
    }
    if (header_.kind != HarKind::IntMatrix) {
      std::int64_t count = 0;
      if (!CheckArray(count)) {
        return false;
      }
    } else if (header_.rows * header_.cols != static_cast<std::int64_t>(header_.ints.size())) {
      return Refuse(errorText_, header_, "matrix size and value count differ");
    }
    if (!Description("03", "FULL", {})) {
      return false;
    }
    std::string rec(kPrefix);
    for (std::int64_t value : {5, 4, 70, kNameLength, kNameLength, kNameLength}) {
      PutInt32(rec, value);
    }
    if (!Record({rec})) {
      return false;
    }
    rec.assign(kPrefix);
    PutInt32(rec, 1);
    PutInt32(rec, 0);
    PutInt32(rec, 0);
    PutInt64(rec, 0);
    if (!Record({rec})) {
      return false;
    }
    rec.assign(kPrefix);
    PutInt32(rec, 1);
    PutInt32(rec, 0);
    std::string one(kPrefix);
    PutInt32(one, 0);
    if (!Record({rec}) || !Record({one}) || !Record({kPrefix, Padded(header_.name, 4)})) {
      return false;
    }
    rec.assign(kPrefix);
    rec += code;
    rec += "FULL";
    PutInt32(rec, static_cast<std::int64_t>(dims->size()));
    for (const HarDim& dim : *dims) {
      PutInt64(rec, dim.size);
    }
    if (!Record({rec}) || !Record({kPrefix, Padded(header_.longName, 70)}) || !Record({one})) {
      return false;
    }
    if (labelled && header_.kind != HarKind::IntMatrix && !SetRecords(true)) {
      return false;
    }
    // Data: the start record, the sizes, then the values in storage order.
    if (!Record({one})) {
      return false;
    }
    rec.assign(kPrefix);
    PutInt64(rec, 0);
    PutInt32(rec, static_cast<std::int64_t>(dims->size()));
    for (const HarDim& dim : *dims) {
      PutInt64(rec, dim.size);
    }
    if (!Record({rec})) {
      return false;
    }
    const std::int64_t count = Product(*dims);
    const std::int64_t perRecord = (options_.maxRecordBytes - 28) / elementSize;
    const std::int64_t recordCount = std::max<std::int64_t>(1, (count + perRecord - 1) / perRecord);
    for (std::int64_t r = 0; r < recordCount; ++r) {
      const std::int64_t start = r * perRecord;
      const std::int64_t n = std::min(perRecord, count - start);
      std::string head(kPrefix);
      PutInt64(head, recordCount - r);
      PutInt64(head, n);
      PutInt64(head, 0);
      std::string_view values;
      if (header_.kind == HarKind::Double) {
        values = Bytes(header_.doubles.data() + start, n);
      } else if (header_.kind == HarKind::Real) {
        values = Bytes(header_.reals.data() + start, n);
      } else {
        values = Bytes(header_.ints.data() + start, n);
      }
      if (!Record({head, values})) {
        return false;
      }
    }
    return true;
  }

  RecordWriter& records_;
  const HarWriteOptions& options_;
  const HarHeader& header_;
  ErrorText& errorText_;
};

} // namespace

HarDim SetDim(std::string setName, std::vector<std::string> elements) {
  HarDim dim;
  dim.size = static_cast<std::int64_t>(elements.size());
  dim.setName = std::move(setName);
  dim.elements = std::move(elements);
  dim.status = 'k';
  return dim;
}

HarDim SizeDim(std::int64_t size, std::string setName) {
  HarDim dim;
  dim.size = size;
  dim.setName = std::move(setName);
  dim.status = 'u';
  return dim;
}

HarDim ElementDim(std::string setName, std::string elementName) {
  HarDim dim;
  dim.size = 1;
  dim.setName = std::move(setName);
  dim.elementName = std::move(elementName);
  dim.status = 'e';
  return dim;
}

HarHeader MakeStrings(std::string name, std::string longName, std::vector<std::string> strings,
                      std::int64_t stringLength) {
  HarHeader header;
  header.name = std::move(name);
  header.longName = std::move(longName);
  header.kind = HarKind::Strings;
  header.strings = std::move(strings);
  header.stringLength = stringLength;
  return header;
}

HarHeader MakeIntMatrix(std::string name, std::string longName, std::int64_t rows, std::int64_t cols,
                        std::vector<std::int32_t> values) {
  HarHeader header;
  header.name = std::move(name);
  header.longName = std::move(longName);
  header.kind = HarKind::IntMatrix;
  header.rows = rows;
  header.cols = cols;
  header.ints = std::move(values);
  return header;
}

HarHeader MakeRealMatrix(std::string name, std::string longName, std::int64_t rows, std::int64_t cols,
                         std::vector<float> values) {
  HarHeader header;
  header.name = std::move(name);
  header.longName = std::move(longName);
  header.kind = HarKind::RealMatrix;
  header.rows = rows;
  header.cols = cols;
  header.reals = std::move(values);
  return header;
}

HarHeader MakeReals(std::string name, std::string longName, std::vector<HarDim> dims,
                    std::vector<float> values, bool labelled) {
  HarHeader header;
  header.name = std::move(name);
  header.longName = std::move(longName);
  header.kind = HarKind::Real;
  header.dims = std::move(dims);
  header.reals = std::move(values);
  header.labelled = labelled;
  return header;
}

HarHeader MakeDoubles(std::string name, std::string longName, std::vector<HarDim> dims,
                      std::vector<double> values, bool labelled) {
  HarHeader header;
  header.name = std::move(name);
  header.longName = std::move(longName);
  header.kind = HarKind::Double;
  header.dims = std::move(dims);
  header.doubles = std::move(values);
  header.labelled = labelled;
  return header;
}

std::string NowText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64];
  std::strftime(text, sizeof text, "%H:%M:%S on %d-%b-%Y", &local);
  return text;
}

std::vector<HarHeader> BookkeepingHeaders(std::string_view program, std::string_view dateTime,
                                          const std::vector<std::string>& history) {
  std::vector<HarHeader> headers;
  headers.push_back(MakeStrings("XXCD", "Creation Date and Time", {"at " + std::string(dateTime)}, 70));
  headers.push_back(
      MakeStrings("XXCR", "Creating Program", {std::string(program), "Pelorin Header Array writer"}, 70));
  headers.push_back(MakeStrings("XXCP", "compiler used to make EXE which created this file", {"g++"}, 6));
  if (!history.empty()) {
    headers.push_back(MakeStrings("XXHS", "File History", history, 60));
  }
  return headers;
}

bool HarWriter::Create(const std::string& fileName, ErrorText& errorText) {
  return records_.Create(fileName, options_.isFujitsu, errorText);
}

void HarWriter::CreateInMemory() {
  records_.CreateInMemory(options_.isFujitsu);
}

bool HarWriter::Write(const HarHeader& header, ErrorText& errorText) {
  return HeaderWriter(records_, options_, header, errorText).Write();
}

bool HarWriter::Close(ErrorText& errorText) {
  return records_.Close(errorText);
}

bool WriteHarFile(const std::string& fileName, const std::vector<HarHeader>& headers,
                  const HarWriteOptions& options, ErrorText& errorText) {
  HarWriter writer(options);
  if (!writer.Create(fileName, errorText)) {
    return false;
  }
  for (const HarHeader& header : headers) {
    if (!writer.Write(header, errorText)) {
      ErrorText ignored;
      writer.Close(ignored);
      return false;
    }
  }
  return writer.Close(errorText);
}

std::string HarFileBytes(const std::vector<HarHeader>& headers, const HarWriteOptions& options) {
  HarWriter writer(options);
  writer.CreateInMemory();
  ErrorText errorText;
  for (const HarHeader& header : headers) {
    if (!writer.Write(header, errorText)) {
      break;
    }
  }
  return writer.Bytes();
}

} // namespace pelorin
