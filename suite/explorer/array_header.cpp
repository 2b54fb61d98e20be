#include "explorer/array_header.h"

#include <algorithm>
#include <cstring>

namespace pelorin::explore {

bool MakeArrayHeader(const std::string& name, const std::string& longName, const std::vector<ArrayDim>& dims,
                     const std::vector<float>& values, std::unique_ptr<THeadRecz>& head,
                     ErrorText& errorText) {
  const char* tag = " [MakeArrayHeader]";
  if (dims.size() > 7) {
    return Fail(errorText, "More than 7 dimensions", tag);
  }
  auto h = std::make_unique<THeadRecz>();
  h->name = name;
  h->longName = longName;
  h->headType = h->orgHeadType = "RE";
  h->storage = "FULL";
  std::int64_t count = 1;
  for (std::size_t d = 0; d < dims.size(); ++d) {
    h->sizes[d] = static_cast<std::int64_t>(dims[d].elements.size());
    count *= h->sizes[d];
  }
  if (static_cast<std::int64_t>(values.size()) != count) {
    return Fail(errorText, "Expected " + std::to_string(count) + " values", tag);
  }
  h->nDim = std::max<int>(1, static_cast<int>(dims.size()));
  h->acdmkn = h->stknow = true;
  h->acDim = static_cast<int>(dims.size());
  for (std::size_t d = 0; d < dims.size(); ++d) {
    auto list = std::make_shared<PStrVec>();
    list->push_back("");
    list->insert(list->end(), dims[d].elements.begin(), dims[d].elements.end());
    h->elements[d] = list;
    h->setNames[d] = h->dimLabels[d] = dims[d].setName;
    h->statuses[d] = 'k';
    h->labelSizes[d] = h->sizes[d];
  }
  if (!AllocMat7UK(*h, errorText)) {
    return AddTag(errorText, tag);
  }
  if (count > 0) {
    std::memcpy(h->values.Data(), values.data(), values.size() * sizeof(float));
  }
  if (!CompleteHeaderRecord(*h, errorText)) {
    return AddTag(errorText, tag);
  }
  head = std::move(h);
  return true;
}

bool MakeStringsHeader(const std::string& name, const std::string& longName,
                       const std::vector<std::string>& strings, std::unique_ptr<THeadRecz>& head,
                       ErrorText& errorText) {
  std::unique_ptr<THeadRecz> slot;
  PStrVec list{""};
  std::int64_t length = 1;
  for (const std::string& s : strings) {
    list.push_back(s);
    length = std::max<std::int64_t>(length, static_cast<std::int64_t>(s.size()));
  }
  if (!Create1C(slot, name, longName, length, static_cast<std::int64_t>(strings.size()), list, errorText)) {
    return AddTag(errorText, " [MakeStringsHeader]");
  }
  head = std::move(slot);
  return true;
}

} // namespace pelorin::explore
