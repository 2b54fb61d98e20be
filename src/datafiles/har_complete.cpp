// Header Array data built in memory: the bookkeeping headers every HarData ends up with, the all-zero test
// and the description hidden in a variable's long name.

#include "datafiles/har_data.h"
#include "platform/strings.h"

#include <algorithm>

namespace pelorin {

namespace {

bool IsXX(const std::unique_ptr<THeadRecz>& head) {
  return head && head->name.size() >= 2 && head->name[0] == 'X' && head->name[1] == 'X';
}

bool MakeStrings(std::unique_ptr<THeadRecz>& slot, std::string_view name, std::string_view longName,
                 std::int64_t length, std::initializer_list<std::string_view> texts, ErrorText& errorText) {
  PStrVec strings;
  if (!AllocPStrVec(strings, static_cast<std::int64_t>(texts.size()), errorText)) {
    return false;
  }
  std::size_t i = 1;
  for (std::string_view text : texts) {
    strings[i++] = std::string(text);
  }
  return Create1C(slot, name, longName, length, static_cast<std::int64_t>(texts.size()), strings, errorText);
}

} // namespace

bool Create1C(std::unique_ptr<THeadRecz>& slot, std::string_view name, std::string_view longName,
              std::int64_t stringLength, std::int64_t numStrings, PStrVec& strings, ErrorText& errorText) {
  slot.reset();
  auto head = std::make_unique<THeadRecz>();
  head->name = std::string(name.substr(0, 4));
  head->longName = std::string(longName.substr(0, 70));
  head->orgHeadType = "1C";
  head->headType = "1C";
  head->storage = "FULL";
  head->stringLength = stringLength;
  head->numStrings = numStrings;
  head->strings = std::move(strings);
  strings.clear();
  if (!CompleteHeaderRecord(*head, errorText)) {
    return AddTag(errorText, " [Create1C]");
  }
  slot = std::move(head);
  return true;
}

bool CreateHistoryHeader(HarData& data, ErrorText& errorText) {
  if (data.xxhs) {
    return true;
  }
  PStrVec none;
  if (!AllocPStrVec(none, 0, errorText) ||
      !Create1C(data.xxhs, "XXHS", "File History", 60, 0, none, errorText)) {
    return AddTag(errorText, " [CreateHistoryHeader]");
  }
  return true;
}

bool SetCreationDateHeader(HarData& data, std::string_view dateTime, ErrorText& errorText) {
  const std::string text = "at " + std::string(dateTime);
  if (!MakeStrings(data.xxcd, "XXCD", "Creation Date and Time", 70, {text}, errorText)) {
    return AddTag(errorText, " [SetCreationDateHeader]");
  }
  return true;
}

bool SetCreatingProgHeader(HarData& data, std::string_view program, ErrorText& errorText) {
  if (!MakeStrings(data.xxcr, "XXCR", "Creating Program", 70, {program, "unknown"}, errorText) ||
      !MakeStrings(data.xxcp, "XXCP", "compiler used to make EXE which created this file", 6, {"unknown"},
                   errorText)) {
    return AddTag(errorText, " [SetCreatingProgHeader]");
  }
  return true;
}

bool CompleteHarFile(HarData* data, bool sort, ErrorText& errorText) {
  const char* tag = " [CompleteHarFile]";
  if (data == nullptr) {
    return Fail(errorText, "Unexpected Nil Pointer", tag);
  }
  std::int64_t total = 0;
  for (const auto& head : data->heads) {
    if (head && head->isReal) {
      total += head->numValues;
    }
  }
  data->totalReals = static_cast<double>(total);
  if (!CreateHistoryHeader(*data, errorText)) {
    return AddTag(errorText, tag);
  }
  if (!data->xxcd && !SetCreationDateHeader(*data, "unknown time", errorText)) {
    return AddTag(errorText, tag);
  }
  if (!data->xxcr && !SetCreatingProgHeader(*data, "unknown", errorText)) {
    return AddTag(errorText, tag);
  }
  if (sort) {
    auto ordinary = std::stable_partition(data->heads.begin(), data->heads.end(), IsXX);
    std::stable_sort(ordinary, data->heads.end(), [](const auto& a, const auto& b) {
      if (!a || !b) {
        return a != nullptr && b == nullptr;
      }
      return a->name < b->name;
    });
  }
  return true;
}

bool testzero7(const Arr7<float>& values, bool& hasNonZero, ErrorText& errorText) {
  hasNonZero = false;
  if (!values.Allocated()) {
    return Fail(errorText, "Unexpected Nil Pointer", " [testzero7]");
  }
  const float* data = values.Data();
  const std::int64_t count = values.Count();
  for (std::int64_t i = 0; i < count; ++i) {
    if (data[i] != 0.0f) {
      hasNonZero = true;
      return true;
    }
  }
  return true;
}

std::string DescriptionFromLongName(std::string_view longName) {
  std::string text = Trim(longName);
  const std::size_t hash = text.find('#');
  if (hash == std::string::npos) {
    return text;
  }
  text = Trim(text.substr(hash + 1));
  if (!text.empty() && text.back() == '#') {
    text.pop_back();
    text = Trim(text);
  }
  return text;
}

} // namespace pelorin
