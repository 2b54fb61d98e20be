// Writing headers read into memory back to a file.

#include "datafiles/har_data.h"
#include "datafiles/har_writer.h"

#include <algorithm>

namespace pelorin {

HarHeader HarHeaderFromHead(const THeadRecz& head) {
  HarHeader header;
  header.name = head.name;
  while (!header.name.empty() && header.name.back() == ' ') {
    header.name.pop_back();
  }
  header.longName = head.longName;
  header.version3 = head.isV3;
  if (head.headType == "1C") {
    header.kind = HarKind::Strings;
    header.stringLength = head.stringLength;
    if (head.strings.size() > 1) {
      header.strings.assign(head.strings.begin() + 1, head.strings.end());
    }
    // A string made in memory may be longer than its header's length ("unknown" in the 6-character compiler
    // header); the file keeps what fits.
    for (std::string& text : header.strings) {
      if (head.stringLength > 0 && static_cast<std::int64_t>(text.size()) > head.stringLength) {
        text.resize(static_cast<std::size_t>(head.stringLength));
      }
    }
    return header;
  }
  if (head.headType == "2I") {
    header.kind = HarKind::IntMatrix;
    header.rows = head.rows;
    header.cols = head.cols;
    const std::int32_t* values = head.intMatrix.Data();
    header.ints.assign(values, values + head.rows * head.cols);
    return header;
  }
  const float* values = head.values.Data();
  const std::int64_t count = head.values.Count();
  if (head.orgHeadType == "2R") {
    header.kind = HarKind::RealMatrix;
    header.rows = head.rows;
    header.cols = head.cols;
    header.reals.assign(values, values + count);
    return header;
  }
  header.kind = head.isDouble ? HarKind::Double : HarKind::Real;
  if (head.isDouble && static_cast<std::int64_t>(head.doubles.size()) == count) {
    header.doubles = head.doubles;
  } else if (head.isDouble) {
    header.doubles.assign(values, values + count);
  } else {
    header.reals.assign(values, values + count);
  }
  const bool storedLabelled = head.isV3 ? (head.v3.code.size() == 2 && head.v3.code[1] == 'e')
                                        : (head.orgHeadType == "RE" || head.orgHeadType == "DE");
  header.labelled = storedLabelled;
  header.sparse = head.storage == "SPSE";
  header.coefficient = head.coefficient;
  // Trailing dimensions of size 1 that carry a label (an element, say) count as dimensions too.
  const int dimCount = std::min(7, std::max(head.nDim, storedLabelled ? head.acDim : 0));
  for (int d = 0; d < dimCount; ++d) {
    HarDim dim = SizeDim(head.sizes[d]);
    if (storedLabelled && d < head.acDim) {
      dim.setName = head.setNames[d];
      dim.status = head.statuses[d];
      if (dim.status == 'k' && head.elements[d]) {
        dim.elements.assign(head.elements[d]->begin() + 1, head.elements[d]->end());
      } else if (dim.status == 'e' && head.elements[d] && head.elements[d]->size() > 1) {
        dim.elementName = (*head.elements[d])[1];
      }
    }
    header.dims.push_back(std::move(dim));
  }
  return header;
}

bool WriteHarData(const std::string& fileName, const HarData& data, bool isFujitsu, ErrorText& errorText) {
  HarWriteOptions options;
  options.isFujitsu = isFujitsu;
  HarWriter writer(options);
  if (!writer.Create(fileName, errorText)) {
    return AddTag(errorText, " [WriteHarData]");
  }
  bool ok = true;
  for (const auto* slot : {&data.xxcd, &data.xxcr, &data.xxcp, &data.xxhs, &data.xxff}) {
    if (ok && *slot) {
      ok = writer.Write(HarHeaderFromHead(**slot), errorText);
    }
  }
  for (const auto& head : data.heads) {
    if (ok && head) {
      ok = writer.Write(HarHeaderFromHead(*head), errorText);
    }
  }
  ErrorText closing;
  const bool closed = writer.Close(closing);
  if (!ok || !closed) {
    errorText += closing;
    return AddTag(errorText, " [WriteHarData]");
  }
  return true;
}

bool WriteHarData(const std::string& fileName, const HarData& data, ErrorText& errorText) {
  return WriteHarData(fileName, data, !data.isLahey, errorText);
}

} // namespace pelorin
