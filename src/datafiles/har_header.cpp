// Reading a header's heading: the description record, the version-3 block, the set-and-element records, and
// the completion of a header record.

#include "datafiles/har_internal.h"
#include "platform/strings.h"

#include <algorithm>
#include <string_view>

namespace pelorin {

namespace {

constexpr const char* kCrLf = "\r\n";

std::string Num(std::int64_t value) {
  return std::to_string(value);
}

std::string Chars(const unsigned char* p, std::size_t n) {
  return std::string(reinterpret_cast<const char*>(p), n);
}

bool ReadChars(RecordCursor& cursor, std::int64_t count, std::string& text, ErrorText& errorText) {
  text.clear();
  if (count < 0 || cursor.pos > cursor.length || count > cursor.length - cursor.pos) {
    return Fail(errorText, "Read past end of record " + Num(cursor.length), " [ReadCharsAt]");
  }
  text.assign(reinterpret_cast<const char*>(cursor.data + cursor.pos), static_cast<std::size_t>(count));
  cursor.pos += count;
  return true;
}

// The version-3 block that follows a description record of type "03".
bool ReadV3Block(LaheyFile& file, bool isFujitsu, THeadRecz& head, ErrorText& errorText) {
  const char* tag = " [GetV3Block]";
  HarV3Info& v3 = head.v3;
  RecordParts parts;
  std::int32_t ints[15] = {};
  if (!GetRecBufInts(file, 6, isFujitsu, ints, parts, errorText)) {
    return AddTag(errorText, tag);
  }
  if (ints[0] < 5) {
    return Fail(errorText, "expected Ints^[1]>=5", tag);
  }
  v3.headerNameLength = ints[1];
  v3.longNameLength = ints[2];
  v3.setNameLength = ints[3];
  v3.elementNameLength = ints[4];
  v3.coefficientNameLength = ints[5];

  if (!GetRecBuf(file, 0, isFujitsu, 1, parts, errorText)) {
    return AddTag(errorText, tag);
  }
  RecordCursor cursor{parts.elements, parts.count, 0};
  if (!ReadIntAt(cursor, v3.flag, errorText) || !ReadIntAt(cursor, v3.field2, errorText) ||
      !ReadIntAt(cursor, v3.field3, errorText) || !ReadInt64At(cursor, v3.field4, errorText)) {
    return AddTag(errorText, tag);
  }

  if (!GetRecBufInts(file, 2, isFujitsu, ints, parts, errorText)) {
    return AddTag(errorText, tag);
  }
  const std::int32_t records = ints[0];
  if (records < 1) {
    return Fail(errorText, "Expect 1 record here", tag);
  }
  for (std::int32_t r = 1; r <= records; ++r) {
    if (r == 1) {
      if (!GetRecBufInts(file, 1, isFujitsu, ints, parts, errorText)) {
        return AddTag(errorText, tag);
      }
      v3.firstInt = ints[0];
    } else if (!GetRecBuf(file, 0, isFujitsu, 1, parts, errorText)) {
      return AddTag(errorText, tag);
    }
  }

  std::string text;
  if (!GetRecBuf(file, 0, isFujitsu, 1, parts, errorText)) {
    return AddTag(errorText, tag);
  }
  cursor = RecordCursor{parts.elements, parts.count, 0};
  if (!ReadChars(cursor, v3.headerNameLength, text, errorText)) {
    return AddTag(errorText, tag);
  }

  if (!GetRecBuf(file, 0, isFujitsu, 1, parts, errorText)) {
    return AddTag(errorText, tag);
  }
  cursor = RecordCursor{parts.elements, parts.count, 0};
  std::int32_t nDim = 0;
  if (!ReadChars(cursor, 2, v3.code, errorText) || !ReadChars(cursor, 4, v3.field5, errorText) ||
      !ReadIntAt(cursor, nDim, errorText)) {
    return AddTag(errorText, tag);
  }
  if (nDim < 0) {
    return Fail(errorText, "Dimension < 0", tag);
  }
  v3.nDim = nDim;
  v3.sizes.fill(1);
  for (int d = 0; d < std::min(nDim, 15); ++d) {
    if (!ReadInt64At(cursor, v3.sizes[static_cast<std::size_t>(d)], errorText)) {
      return AddTag(errorText, tag);
    }
    if (v3.sizes[static_cast<std::size_t>(d)] < 0) {
      return Fail(errorText, "Dimension < 0", tag);
    }
  }

  if (!GetRecBuf(file, 0, isFujitsu, 1, parts, errorText)) {
    return AddTag(errorText, tag);
  }
  cursor = RecordCursor{parts.elements, parts.count, 0};
  if (!ReadChars(cursor, v3.longNameLength, head.longName, errorText)) {
    return AddTag(errorText, tag);
  }

  if (!GetRecBufInts(file, 1, isFujitsu, ints, parts, errorText)) {
    return AddTag(errorText, tag);
  }
  v3.lastInt = ints[0];
  head.isV3 = true;
  return true;
}

bool IsArrayType(std::string_view type) {
  return type == "RL" || type == "RE" || type == "DL" || type == "DE";
}

bool IsMatrixType(std::string_view type) {
  return type == "1C" || type == "2I" || type == "2R";
}

// The description record: type, storage, long name and the integers of the type.
bool GetDesc(LaheyFile& file, bool isFujitsu, THeadRecz& head, std::vector<std::int64_t>& ints,
             ErrorText& errorText) {
  const char* tag = " [GetDesc]";
  RecordParts parts;
  if (!GetRecBuf(file, 76, isFujitsu, 4, parts, errorText)) {
    return AddTag(errorText, tag);
  }
  const std::string type = Chars(parts.structure, 2);
  head.storage = Chars(parts.structure + 2, 4);
  head.longName = Chars(parts.structure + 6, 70);
  ints.clear();
  for (std::int64_t i = 0; i < parts.count; ++i) {
    ints.push_back(LoadInt32(parts.elements + 4 * i));
  }
  head.orgHeadType = type;
  head.headType = type;
  if (type == "02") {
    return Fail(errorText, "Illegal data type " + type, tag);
  }
  if (type == "03") {
    return ReadV3Block(file, isFujitsu, head, errorText) || AddTag(errorText, tag);
  }
  if (!IsArrayType(type) && !IsMatrixType(type)) {
    return Fail(errorText,
                "Unrecognized Data Type " + type + kCrLf +
                    "You may be able to read this data using a more recent version of this program.",
                tag);
  }
  const bool storageOk = head.storage == "FULL" || (IsArrayType(type) && head.storage == "SPSE");
  if (!storageOk) {
    return Fail(errorText, "Unrecognized Storage Method: " + head.storage, tag);
  }
  if (ints.size() != (IsArrayType(type) ? 8u : 3u)) {
    return Fail(errorText, "Description Record wrong length", tag);
  }
  return true;
}

// The set-and-element record and the element-name lists that follow it.
bool GetSetElements(LaheyFile& file, bool isFujitsu, THeadRecz& head, ErrorText& errorText) {
  const char* tag = " [GetSetElements]";
  const HarV3Info& lengths = head.v3;
  RecordParts parts;
  if (!GetRecBuf(file, 0, isFujitsu, 1, parts, errorText)) {
    return AddTag(errorText, tag);
  }
  RecordCursor cursor{parts.elements, parts.count, 0};
  std::int32_t setsToRead = 0;
  std::int32_t acDim = 0;
  if (!ReadIntAt(cursor, setsToRead, errorText) || !ReadBoolAt(cursor, head.acdmkn, errorText) ||
      !ReadIntAt(cursor, acDim, errorText)) {
    return AddTag(errorText, tag);
  }
  if (acDim < 0) {
    return Fail(errorText, "AcDim too small=" + Num(acDim) + " but min is 0", tag);
  }
  if (acDim > 15) {
    return Fail(errorText, "AcDim too large=" + Num(acDim) + " but max is 15", tag);
  }
  head.acDim = acDim;
  if (!ReadFixedName(cursor, lengths.coefficientNameLength, head.coefficient, errorText) ||
      !ReadBoolAt(cursor, head.stknow, errorText)) {
    return AddTag(errorText, tag);
  }
  for (int d = 0; d < acDim; ++d) {
    if (!ReadFixedName(cursor, lengths.setNameLength, head.setNames[d], errorText)) {
      return AddTag(errorText, tag);
    }
  }
  for (int d = 0; d < acDim; ++d) {
    char status = 0;
    if (!ReadCharAt(cursor, status, errorText)) {
      return AddTag(errorText, tag);
    }
    if (status != 'k' && status != 'e' && status != 'u' && status != 'n') {
      return Fail(errorText, "RDelst not k, e, u or n", tag);
    }
    head.statuses[d] = status == 'n' ? 'u' : status;
  }
  for (int d = 0; d < acDim; ++d) {
    bool ok = false;
    if (head.isV3) {
      ok = ReadInt64At(cursor, head.labelSizes[d], errorText);
    } else {
      std::int32_t size = 0;
      ok = ReadIntAt(cursor, size, errorText);
      head.labelSizes[d] = size;
    }
    if (!ok) {
      return AddTag(errorText, tag);
    }
  }
  std::int32_t nEltrd = 0;
  if (!ReadIntAt(cursor, nEltrd, errorText)) {
    return AddTag(errorText, tag);
  }
  head.nEltrd = nEltrd;
  for (std::int32_t i = 0; i < nEltrd; ++i) {
    std::string element;
    if (!ReadFixedName(cursor, lengths.elementNameLength, element, errorText)) {
      return AddTag(errorText, tag);
    }
    head.eltNames.push_back(std::move(element));
  }

  // Element lists of the first seven dimensions; dimensions over a set already read share its list.
  int listsRead = 0;
  int elementDims = 0;
  const int labelled = std::min(acDim, 7);
  for (int d = 0; d < acDim; ++d) {
    if (head.statuses[d] == 'e') {
      ++elementDims;
    }
  }
  if (elementDims != nEltrd) {
    return Fail(errorText, "neltrd mismatch: J=" + Num(elementDims) + ",NEltrd=" + Num(nEltrd), tag);
  }
  int elementIndex = 0;
  for (int d = 0; d < labelled; ++d) {
    if (head.statuses[d] == 'k') {
      // The list is indexed by the dimension's positions, so it must cover the dimension exactly.
      if (head.labelSizes[d] != head.sizes[d]) {
        return Fail(errorText,
                    "Set " + head.setNames[d] + " has size " + Num(head.labelSizes[d]) + " but dimension " +
                        Num(d + 1) + " has size " + Num(head.sizes[d]),
                    tag);
      }
      int earlier = -1;
      for (int e = 0; e < d; ++e) {
        if (head.statuses[e] == 'k' && head.setNames[e] == head.setNames[d]) {
          earlier = e;
          break;
        }
      }
      if (earlier >= 0) {
        if (head.labelSizes[earlier] != head.labelSizes[d]) {
          return Fail(errorText, "Set " + head.setNames[d] + " has 2 different sizes in same header. ", tag);
        }
        head.elements[d] = head.elements[earlier];
        continue;
      }
      auto list = std::make_shared<PStrVec>();
      if (!har::ReadStringRecords(file, isFujitsu, head.labelSizes[d], lengths.elementNameLength, *list,
                                  errorText)) {
        return AddTag(errorText, tag);
      }
      head.elements[d] = std::move(list);
      ++listsRead;
    } else if (head.statuses[d] == 'e') {
      auto list = std::make_shared<PStrVec>(2);
      (*list)[1] = head.eltNames[static_cast<std::size_t>(elementIndex)];
      head.elements[d] = std::move(list);
    }
    if (head.statuses[d] == 'e') {
      ++elementIndex;
    }
  }
  if (acDim <= 7 && listsRead != setsToRead) {
    return Fail(errorText, "SetsToRead mismatch", tag);
  }

  // Labels as the header shows them.
  elementIndex = 0;
  for (int d = 0; d < acDim; ++d) {
    if (head.statuses[d] == 'u' && SameText(head.setNames[d], "Unk" + Num(head.labelSizes[d]))) {
      head.setNames[d].clear();
    }
    const std::string label =
        head.statuses[d] == 'e' ? head.eltNames[static_cast<std::size_t>(elementIndex++)] : head.setNames[d];
    if (d < 7) {
      head.dimLabels[d] = label;
    }
  }
  head.isLabelled = true;
  return true;
}

bool IsV3Labelled(const THeadRecz& head) {
  return head.isV3 && head.v3.code.size() == 2 && head.v3.code[1] == 'e';
}

// Checks that a version-3 header fits the version-1 model and takes over its type and sizes.
bool ConvertV3Heading(THeadRecz& head, ErrorText& errorText) {
  const HarV3Info& v3 = head.v3;
  const std::string& code = v3.code;
  ErrorText message;
  auto limit = [&](const char* what, std::int64_t value, std::int64_t maximum) {
    if (value > maximum) {
      message = std::string(what) + " " + Num(value) + " exceeds current limit=" + Num(maximum);
      return false;
    }
    return true;
  };
  bool ok = true;
  const char kind = code.size() == 2 ? code[0] : '?';
  const char labels = code.size() == 2 ? code[1] : '?';
  if ((kind != 'r' && kind != 'd' && kind != 'i' && kind != 'c') || (labels != 'l' && labels != 'e')) {
    message = "Unrecognized V3 Data Type " + code;
    ok = false;
  }
  ok = ok && limit("Longname length", v3.longNameLength, 70) &&
       limit("Coefficient name length", v3.coefficientNameLength, 12) &&
       limit("Set name length", v3.setNameLength, 12) &&
       limit("Set element length", v3.elementNameLength, 12) &&
       limit("Number of dimensions", v3.nDim, kind == 'i' ? 2 : 17);
  if (ok && kind == 'c') {
    message = "v3 string type not yet supported";
    ok = false;
  }
  if (ok) {
    for (int d = 7; d < 15; ++d) {
      if (v3.sizes[static_cast<std::size_t>(d)] != 1) {
        message = "Too many dimensions";
        ok = false;
        break;
      }
    }
  }
  if (!ok) {
    return Fail(errorText, "Cannnot yet process this V3 Data Type \"" + code + "\" at header " + head.name +
                               kCrLf + message + kCrLf +
                               "You may need a later program version to read this file");
  }
  for (int d = 0; d < 7; ++d) {
    head.sizes[d] = v3.sizes[static_cast<std::size_t>(d)];
  }
  if (kind == 'i') {
    head.headType = "2I";
    head.rows = head.sizes[0];
    head.cols = head.sizes[1];
    return true;
  }
  head.isDouble = kind == 'd';
  head.headType = labels == 'e' ? "RE" : "RL";
  if (v3.nDim <= 7) {
    head.nDim = v3.nDim;
    return true;
  }
  return FindNDim(head.sizes, head.nDim, errorText);
}

// Steps after the description: sizes by type, labels, version-3 conversion, completion.
bool HeadingDetails(LaheyFile& file, bool isFujitsu, THeadRecz& head, const std::vector<std::int64_t>& ints,
                    ErrorText& errorText) {
  const std::string type = head.orgHeadType;
  if (type == "1C") {
    head.numStrings = ints[1];
    head.stringLength = ints[2];
    head.nDim = 1;
    if (head.numStrings < 0 || head.stringLength < 0) {
      return Fail(errorText, "Dimension < 0", " [GetHeaderDetails]");
    }
  } else if (IsArrayType(type)) {
    for (int d = 0; d < 7; ++d) {
      head.sizes[d] = ints[static_cast<std::size_t>(d) + 1];
    }
    head.isDouble = type[0] == 'D';
    if (!FindNDim(head.sizes, head.nDim, errorText)) {
      return false;
    }
  } else if (type == "2I" || type == "2R") {
    head.rows = ints[1];
    head.cols = ints[2];
    if (head.rows < 0 || head.cols < 0) {
      return Fail(errorText, "Dimension < 0", " [GetHeaderDetails]");
    }
  }
  if (type == "RE" || type == "DE" || IsV3Labelled(head)) {
    if (head.isV3) {
      for (int d = 0; d < 7; ++d) {
        head.sizes[d] = head.v3.sizes[static_cast<std::size_t>(d)];
      }
    }
    if (!GetSetElements(file, isFujitsu, head, errorText)) {
      return false;
    }
  }
  if (head.isV3 && !ConvertV3Heading(head, errorText)) {
    return false;
  }
  return CompleteHeaderRecord(head, errorText);
}

std::string JoinSizes(const THeadRecz& head, bool labelled) {
  if (head.nDim == 0) {
    return "1";
  }
  std::string text;
  for (int d = 0; d < head.nDim && d < 7; ++d) {
    if (d > 0) {
      text += "*";
    }
    text += (labelled && !head.dimLabels[d].empty()) ? head.dimLabels[d] : Num(head.sizes[d]);
  }
  return text;
}

} // namespace

std::string NormalHeaderName(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c >= '!' && c <= '~' && out.size() < 4) {
      out.push_back((c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c);
    }
  }
  out.resize(4, ' ');
  return out;
}

bool FindNDim(const std::array<std::int64_t, 7>& sizes, int& nDim, ErrorText& errorText) {
  nDim = 1;
  for (std::int64_t size : sizes) {
    if (size < 0) {
      return Fail(errorText, "Dimension < 0", " [FindNDim]");
    }
  }
  for (int d = 6; d >= 0; --d) {
    if (sizes[d] != 1) {
      nDim = d + 1;
      return true;
    }
  }
  return true;
}

bool TurnRLtoRE(THeadRecz& head, ErrorText& errorText) {
  if (head.headType == "RL") {
    head.headType = "RE";
  } else if (head.headType == "DL") {
    head.headType = "DE";
  } else {
    return Fail(errorText, "UnExpected header type " + head.headType, " [TurnRLtoRE]");
  }
  head.acdmkn = true;
  head.stknow = false;
  head.acDim = head.nDim;
  head.coefficient.clear();
  for (int d = 0; d < 15; ++d) {
    head.setNames[d].clear();
    head.statuses[d] = 'u';
    head.labelSizes[d] = d < 7 ? head.sizes[d] : 1;
  }
  head.nEltrd = 0;
  head.eltNames.clear();
  for (int d = 0; d < 7; ++d) {
    head.elements[d].reset();
    head.dimLabels[d].clear();
  }
  head.isReal = true;
  head.isLabelled = true;
  return true;
}

bool CompleteHeaderRecord(THeadRecz& head, ErrorText& errorText) {
  head.name = NormalHeaderName(head.name);
  std::string longName = head.longName;
  for (char& c : longName) {
    if (c < ' ' || c > '~') {
      c = ' ';
    }
  }
  longName = Trim(longName);
  if (longName.size() > 70) {
    longName.resize(70);
  }
  head.longName = longName;
  if (head.headType == "RL" || head.headType == "DL") {
    if (!TurnRLtoRE(head, errorText)) {
      return AddTag(errorText, " [CompleteHeaderRecord]");
    }
  }
  if (head.orgHeadType == "??" || head.orgHeadType.empty()) {
    head.orgHeadType = head.headType;
  }
  const std::string& type = head.headType;
  if (type == "1C") {
    head.nDim = 1;
    head.dimTextLabelled = head.dimTextSizes = Num(head.numStrings) + " length " + Num(head.stringLength);
  } else if (type == "2I" || type == "2R") {
    head.numValues = ElementCount({head.rows, head.cols, 1, 1, 1, 1, 1});
    head.sizes = {1, 1, 1, 1, 1, 1, 1};
    if (head.rows == 1 && head.cols == 1) {
      head.nDim = 1;
      head.dimTextLabelled = head.dimTextSizes = "1";
    } else if (head.rows == 1 || head.cols == 1) {
      head.nDim = 1;
      head.sizes[0] = head.rows == 1 ? head.cols : head.rows;
      head.dimTextLabelled = head.dimTextSizes = Num(head.sizes[0]);
    } else {
      head.nDim = 2;
      head.sizes[0] = head.rows;
      head.sizes[1] = head.cols;
      head.dimTextLabelled = head.dimTextSizes = Num(head.rows) + "*" + Num(head.cols);
    }
  } else if (type == "RE" || type == "DE") {
    head.numValues = ElementCount(head.sizes);
    head.dimTextLabelled = JoinSizes(head, true);
    head.dimTextSizes = JoinSizes(head, false);
    if (head.longName.empty()) {
      head.longName = head.coefficient;
    } else if (head.longName == "?") {
      head.longName = " ";
    }
    head.isReal = true;
    head.isLabelled = true;
  } else {
    return Fail(errorText, "Unrecognized Header Type \"" + type + "\"", " [CompleteHeaderRecord]");
  }
  return true;
}

namespace har {

bool ReadHeading(LaheyFile& file, bool isFujitsu, const std::string& name, THeadRecz& head,
                 bool& badDescription, ErrorText& errorText) {
  badDescription = false;
  head = THeadRecz{};
  head.name = name;
  std::vector<std::int64_t> ints;
  if (!GetDesc(file, isFujitsu, head, ints, errorText)) {
    badDescription = true;
    return false;
  }
  ErrorText inner;
  if (!HeadingDetails(file, isFujitsu, head, ints, inner)) {
    errorText += "At header " + name + kCrLf + inner + " [GetHeaderDetails]";
    return false;
  }
  return true;
}

bool GetHeaderRecord(LaheyFile& file, bool isFujitsu, THeadRecz& head, bool& found, bool skipBad,
                     bool& someSkipped, ErrorText& errorText) {
  for (;;) {
    std::string name;
    if (!GetHead(file, isFujitsu, name, found, errorText)) {
      return AddTag(errorText, " [GetHeaderRecord]");
    }
    if (!found) {
      return true;
    }
    bool badDescription = false;
    ErrorText inner;
    if (ReadHeading(file, isFujitsu, name, head, badDescription, inner)) {
      return true;
    }
    if (badDescription && skipBad) {
      someSkipped = true;
      continue;
    }
    found = false;
    if (badDescription) {
      errorText += "Bad details at header \"" + name + "\"" + kCrLf + inner;
    } else {
      errorText += inner;
    }
    return AddTag(errorText, " [GetHeaderRecord]");
  }
}

bool RealHeaderTooLarge(const THeadRecz& head, std::string& message) {
  for (std::int64_t size : head.sizes) {
    if (size > kMaxArraySize) {
      message = "Dimension too large(" + Num(size) + "), max is " + Num(kMaxArraySize);
      return true;
    }
  }
  std::array<std::int64_t, 7> outerFirst{};
  for (int d = 0; d < 7; ++d) {
    outerFirst[d] = head.sizes[6 - d];
  }
  Arr7Estimate estimate = EstimateArr7(outerFirst, 4);
  estimate.overheadKb = 0;
  const MemoryKb memory = CurrentMemoryKb();
  if (estimate.RequiredKb() > static_cast<double>(memory.available)) {
    message = NotEnoughMemoryText(ElemType::Real, outerFirst, estimate, memory);
    return true;
  }
  return false;
}

} // namespace har

} // namespace pelorin
