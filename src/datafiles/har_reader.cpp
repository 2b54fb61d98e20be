// Reading whole Header Array files and single headers into memory.

#include "datafiles/har_internal.h"
#include "platform/strings.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

namespace pelorin {

namespace {

std::string Num(std::int64_t value) {
  return std::to_string(value);
}

std::mutex warningMutex;
HarWarningHandler& WarningHandler() {
  static HarWarningHandler handler;
  return handler;
}

void Warn(const std::string& text) {
  HarWarningHandler handler;
  {
    std::lock_guard<std::mutex> lock(warningMutex);
    handler = WarningHandler();
  }
  if (handler) {
    handler(text);
  }
}

bool IsXX(const THeadRecz& head) {
  return head.name.size() >= 2 && head.name[0] == 'X' && head.name[1] == 'X';
}

// The slot of a bookkeeping header, or nullptr for an ordinary one.
std::unique_ptr<THeadRecz>* SpecialSlot(HarData& data, const std::string& name) {
  if (name == "XXCD") {
    return &data.xxcd;
  }
  if (name == "XXCR") {
    return &data.xxcr;
  }
  if (name == "XXCP") {
    return &data.xxcp;
  }
  if (name == "XXHS") {
    return &data.xxhs;
  }
  if (name == "XXFF") {
    return &data.xxff;
  }
  return nullptr;
}

bool EndsWith(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void ApplySolViewMarks(HarData& data) {
  data.solView = false;
  if (!data.xxhs || data.xxhs->numStrings < 1 || data.xxhs->strings.size() < 2) {
    return;
  }
  if (!StartsWithText(UpperCase(Trim(data.xxhs->strings[1])), "#SOLVIEW")) {
    return;
  }
  data.solView = true;
  for (auto& head : data.heads) {
    if (!head) {
      continue;
    }
    if (EndsWith(head->longName, "(p)")) {
      head->mark = 'p';
    } else if (EndsWith(head->longName, "(c)")) {
      head->mark = 'c';
    }
  }
}

} // namespace

void SetHarWarningHandler(HarWarningHandler handler) {
  std::lock_guard<std::mutex> lock(warningMutex);
  WarningHandler() = std::move(handler);
}

const THeadRecz* HarData::Find(std::string_view name) const {
  const std::string wanted = NormalHeaderName(name);
  for (const auto& head : heads) {
    if (head && head->name == wanted) {
      return head.get();
    }
  }
  for (const auto* slot : {&xxcd, &xxcr, &xxcp, &xxhs, &xxff}) {
    if (*slot && (*slot)->name == wanted) {
      return slot->get();
    }
  }
  return nullptr;
}

bool ReadMoreIntoHarFile(const std::string& fileName, HarData& data, bool sort, bool skipBad,
                         bool& someSkipped, ErrorText& errorText, const HarReadOptions& options) {
  const char* tag = " [ReadMoreIntoHarFile]";
  std::error_code ec;
  const auto size = std::filesystem::file_size(fileName, ec);
  if (ec) {
    return Fail(errorText, "File " + fileName + " does not exist. ", tag);
  }
  const MemoryKb memory = CurrentMemoryKb();
  if (static_cast<double>(size) > static_cast<double>(memory.available) * 1024) {
    return Fail(errorText,
                "Insufficient Memory to read HAR file " + fileName + "\r\n" +
                    "  required:" + Num(static_cast<std::int64_t>(size / (1024 * 1024))) +
                    "MB  available:" + Num(memory.available / 1024) + "MB",
                tag);
  }
  LaheyFile file;
  bool isFujitsu = false;
  if (!OpenLaheyFile(file, fileName, isFujitsu, errorText)) {
    return AddTag(errorText, tag);
  }
  data.isLahey = !isFujitsu;
  for (;;) {
    auto head = std::make_unique<THeadRecz>();
    bool found = false;
    if (!har::GetHeaderRecord(file, isFujitsu, *head, found, skipBad, someSkipped, errorText)) {
      return AddTag(errorText, tag);
    }
    if (!found) {
      break;
    }
    if (head->headType == "RE") {
      std::string message;
      if (har::RealHeaderTooLarge(*head, message)) {
        Warn("At header " + head->name + "   " + head->longName + "\r\n" + "of file " + fileName + "\r\n" +
             message + "\r\n" + "This header will be ignored. ");
        continue;
      }
    }
    head->keepDoubles = options.keepDoubles;
    if (!har::ReadHeaderData(file, isFujitsu, *head, errorText)) {
      return AddTag(errorText, tag);
    }
    if (std::unique_ptr<THeadRecz>* slot = SpecialSlot(data, head->name)) {
      *slot = std::move(head);
      continue;
    }
    if (data.NumHeads() >= kMaxHeaders) {
      return Fail(errorText, "Too many headers: max is " + Num(kMaxHeaders), tag);
    }
    data.heads.push_back(std::move(head));
  }
  file.file.Close();
  if (!CompleteHarFile(&data, sort, errorText)) {
    return AddTag(errorText, tag);
  }
  return true;
}

bool ReadHarFile(const std::string& fileName, bool sort, bool skipBad, std::unique_ptr<HarData>& data,
                 bool& someSkipped, ErrorText& errorText, const HarReadOptions& options) {
  data = std::make_unique<HarData>();
  someSkipped = false;
  if (!ReadMoreIntoHarFile(fileName, *data, sort, skipBad, someSkipped, errorText, options)) {
    FreeHarData(data);
    return AddTag(errorText, " [ReadHarFile]");
  }
  std::stable_partition(data->heads.begin(), data->heads.end(),
                        [](const std::unique_ptr<THeadRecz>& head) { return head && IsXX(*head); });
  ApplySolViewMarks(*data);
  return true;
}

bool ReadHeaderFromHarFile(const std::string& fileName, std::string_view headerName, bool skipBad,
                           std::unique_ptr<THeadRecz>& head, ErrorText& errorText,
                           const HarReadOptions& options) {
  const char* tag = " [ReadHeaderFromHarFile]";
  head.reset();
  const std::string wanted = NormalHeaderName(headerName);
  LaheyFile file;
  bool isFujitsu = false;
  if (!OpenLaheyFile(file, fileName, isFujitsu, errorText)) {
    return AddTag(errorText, tag);
  }
  for (;;) {
    std::string name;
    bool found = false;
    if (!GetHead(file, isFujitsu, name, found, errorText)) {
      return AddTag(errorText, tag);
    }
    if (!found) {
      return true;
    }
    if (NormalHeaderName(name) != wanted) {
      continue;
    }
    auto candidate = std::make_unique<THeadRecz>();
    bool badDescription = false;
    ErrorText inner;
    if (!har::ReadHeading(file, isFujitsu, name, *candidate, badDescription, inner)) {
      if (badDescription && skipBad) {
        continue;
      }
      if (badDescription) {
        errorText += "Bad details at header \"" + name + "\"\r\n";
      }
      errorText += inner;
      return AddTag(errorText, tag);
    }
    candidate->keepDoubles = options.keepDoubles;
    if (!har::ReadHeaderData(file, isFujitsu, *candidate, errorText)) {
      return AddTag(errorText, tag);
    }
    head = std::move(candidate);
    return true;
  }
}

bool GetRealDetails(const std::string& fileName, std::unique_ptr<HarData>& data, ErrorText& errorText) {
  bool someSkipped = false;
  if (!ReadHarFile(fileName, true, false, data, someSkipped, errorText)) {
    return AddTag(errorText, " [GetRealDetails]");
  }
  for (auto& head : data->heads) {
    if (!head) {
      continue;
    }
    if (!head->isReal || head->numValues < 1) {
      FreeHead(head);
      continue;
    }
    bool hasNonZero = false;
    if (!testzero7(head->values, hasNonZero, errorText)) {
      FreeHarData(data);
      return AddTag(errorText, " [GetRealDetails]");
    }
    head->allZero = !hasNonZero;
    const std::size_t hash = head->longName.find('#');
    if (hash != std::string::npos) {
      std::string shortText = Trim(head->longName.substr(0, hash));
      if (shortText.size() > 15) {
        shortText.resize(15);
      }
      std::string rest = head->longName.substr(hash + 1);
      const std::size_t second = rest.find('#');
      if (second != std::string::npos) {
        rest.resize(second);
      }
      head->shortText = Trim(shortText);
      head->longName = Trim(rest);
    }
  }
  PurgeNilHeaders(*data);
  return true;
}

void FreeHead(std::unique_ptr<THeadRecz>& head) {
  head.reset();
}

void FreeHarData(std::unique_ptr<HarData>& data) {
  data.reset();
}

void PurgeNilHeaders(HarData& data) {
  data.heads.erase(std::remove(data.heads.begin(), data.heads.end(), nullptr), data.heads.end());
}

} // namespace pelorin
