// Reading and writing the engine's data files: Header Array files through the project's reader and writer,
// text data files through the engine's own layout.
#include "datafiles/har_data.h"
#include "datafiles/har_writer.h"
#include "engine/data_io.h"
#include "platform/strings.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace pelorin::engine {

namespace {

/// The string length of a history header this program starts.
constexpr std::int64_t kHistoryLength = 60;

DataArray FromHeader(const HarHeader& h) {
  DataArray a;
  a.longName = Trim(h.longName);
  switch (h.kind) {
  case HarKind::Strings:
    a.isStrings = true;
    for (const std::string& s : h.strings) {
      a.strings.push_back(TrimRight(s));
    }
    break;
  case HarKind::IntMatrix:
  case HarKind::Integer:
    a.dims = {h.rows, h.cols};
    a.values.assign(h.ints.begin(), h.ints.end());
    break;
  case HarKind::RealMatrix:
    a.dims = {h.rows, h.cols};
    a.values.assign(h.reals.begin(), h.reals.end());
    break;
  case HarKind::Real:
  case HarKind::Double:
    for (const HarDim& d : h.dims) {
      a.dims.push_back(d.size);
      if (d.status == 'e') {
        // One element of a set: the element is what the values belong to, whatever the set it comes from.
        a.setNames.emplace_back();
        a.elementNames.push_back(d.elementName.empty() ? std::vector<std::string>{}
                                                       : std::vector<std::string>{d.elementName});
      } else {
        a.setNames.push_back(d.setName);
        a.elementNames.push_back(d.elements);
      }
    }
    if (h.kind == HarKind::Real) {
      a.values.assign(h.reals.begin(), h.reals.end());
    } else {
      a.values = h.doubles;
    }
    break;
  }
  return a;
}

HarHeader ToHeader(const std::string& name, const DataArray& a) {
  if (a.isStrings) {
    return MakeStrings(name, a.longName.empty() ? name : a.longName, a.strings);
  }
  std::vector<HarDim> dims;
  bool labelled = false;
  for (std::size_t d = 0; d < a.dims.size(); ++d) {
    const bool hasElements = d < a.elementNames.size() && !a.elementNames[d].empty() &&
                             static_cast<std::int64_t>(a.elementNames[d].size()) == a.dims[d];
    const std::string setName = d < a.setNames.size() ? a.setNames[d] : std::string();
    if (hasElements && !setName.empty()) {
      dims.push_back(SetDim(setName, a.elementNames[d]));
      labelled = true;
    } else {
      dims.push_back(SizeDim(a.dims[d], setName));
    }
  }
  if (dims.empty()) {
    dims.push_back(SizeDim(1));
  }
  return MakeDoubles(name, a.longName.empty() ? name : a.longName, std::move(dims), a.values, labelled);
}

// The history of an updated file: the input's lines as they were, in their own string length, and the run's
// line after them (cut to that length).
HarHeader UpdatedHistory(const THeadRecz* inputHistory, std::string line) {
  HarHeader history = inputHistory != nullptr ? HarHeaderFromHead(*inputHistory)
                                              : MakeStrings("XXHS", "File History", {}, kHistoryLength);
  if (history.stringLength <= 0) {
    history.stringLength = kHistoryLength;
  }
  for (const std::string& s : history.strings) {
    history.stringLength = std::max<std::int64_t>(history.stringLength, static_cast<std::int64_t>(s.size()));
  }
  if (static_cast<std::int64_t>(line.size()) > history.stringLength) {
    line.resize(static_cast<std::size_t>(history.stringLength));
  }
  history.strings.push_back(std::move(line));
  return history;
}

bool ReadText(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  std::ostringstream out;
  out << in.rdbuf();
  bytes = out.str();
  return true;
}

} // namespace

bool ReadDataFile(const std::string& path, bool text, DataFile& data, ErrorText& errorText) {
  data = DataFile{};
  const std::string resolved = ResolvePathIgnoringCase(path);
  if (text) {
    std::string bytes;
    if (!ReadText(resolved, bytes)) {
      return Fail(errorText, "Cannot open file " + path, "");
    }
    return ParseTextData(bytes, path, data, errorText);
  }
  std::unique_ptr<HarData> har;
  bool skipped = false;
  ErrorText inner;
  if (!ReadHarFile(resolved, false, false, har, skipped, inner, HarReadOptions{true})) {
    return Fail(errorText, "cannot read Header Array file " + path + ": " + inner, "");
  }
  for (const auto& head : har->heads) {
    if (!head) {
      continue;
    }
    HarHeader h = HarHeaderFromHead(*head);
    std::string name = UpperCase(Trim(h.name));
    if (data.arrays.count(name) != 0) {
      continue;
    }
    data.order.push_back(name);
    data.arrays.emplace(name, FromHeader(h));
  }
  return true;
}

bool WriteDataFile(const std::string& path, bool text, const DataFile& data, const std::string& program,
                   ErrorText& errorText) {
  if (text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
      return Fail(errorText, "Cannot create file " + path, "");
    }
    out << TextDataBytes(data);
    out.close();
    if (!out) {
      return Fail(errorText, "write error on file " + path, "");
    }
    return true;
  }
  std::vector<HarHeader> headers = BookkeepingHeaders(program, NowText());
  for (const std::string& name : data.order) {
    headers.push_back(ToHeader(name, data.arrays.at(name)));
  }
  ErrorText inner;
  if (!WriteHarFile(path, headers, HarWriteOptions{}, inner)) {
    return Fail(errorText, "cannot write Header Array file " + path + ": " + inner, "");
  }
  return true;
}

} // namespace pelorin::engine

namespace pelorin::engine {

bool WriteUpdatedDataFile(const std::string& original, bool text, const std::string& path,
                          const DataFile& replacements, const std::string& program, ErrorText& errorText) {
  if (text) {
    DataFile data;
    if (!ReadDataFile(original, true, data, errorText)) {
      return false;
    }
    for (const std::string& name : replacements.order) {
      if (data.arrays.count(name) == 0) {
        data.order.push_back(name);
      }
      data.arrays[name] = replacements.arrays.at(name);
    }
    return WriteDataFile(path, true, data, program, errorText);
  }
  std::unique_ptr<HarData> har;
  bool skipped = false;
  ErrorText inner;
  if (!ReadHarFile(ResolvePathIgnoringCase(original), false, false, har, skipped, inner,
                   HarReadOptions{true})) {
    return Fail(errorText, "cannot read Header Array file " + original + ": " + inner, "");
  }
  const std::string now = NowText();
  std::vector<HarHeader> headers = BookkeepingHeaders(program, now);
  headers.push_back(UpdatedHistory(har->xxhs.get(), "Updated by " + program + " at " + now));
  std::vector<std::string> done;
  for (const auto& head : har->heads) {
    if (!head) {
      continue;
    }
    HarHeader h = HarHeaderFromHead(*head);
    const std::string name = UpperCase(Trim(h.name));
    auto it = replacements.arrays.find(name);
    if (it != replacements.arrays.end()) {
      DataArray a = it->second;
      if (a.longName.empty()) {
        a.longName = Trim(h.longName);
      }
      headers.push_back(ToHeader(name, a));
      done.push_back(name);
    } else {
      headers.push_back(std::move(h));
    }
  }
  for (const std::string& name : replacements.order) {
    if (std::find(done.begin(), done.end(), name) == done.end()) {
      headers.push_back(ToHeader(name, replacements.arrays.at(name)));
    }
  }
  if (!WriteHarFile(path, headers, HarWriteOptions{}, inner)) {
    return Fail(errorText, "cannot write Header Array file " + path + ": " + inner, "");
  }
  return true;
}

} // namespace pelorin::engine
