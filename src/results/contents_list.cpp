// The contents list: one line per variable or group of the current solution, in key order, and its table.
#include "results/contents_view.h"
#include "results/results_model.h"

#include <map>

namespace pelorin {

namespace {

constexpr std::size_t kLabelLength = 30;
constexpr std::size_t kSetNameLength = 12;

std::string Cut(std::string text, std::size_t length) {
  if (text.size() > length) {
    text.resize(length);
  }
  return text;
}

using ItemMap = std::map<std::string, ContentsItem>;

// Counts a line up, or adds it when its key is new.
void AddItem(ItemMap& items, ContentsItem item) {
  auto [it, added] = items.try_emplace(item.key);
  if (added) {
    item.count = 1;
    item.label = Cut(std::move(item.label), kLabelLength);
    it->second = std::move(item);
  } else {
    ++it->second.count;
  }
}

bool FinishList(const ResultsModel& model, ItemMap& items, ContentsList& list, SimTab& table,
                ErrorText& errorText) {
  list.clear();
  list.reserve(items.size());
  for (auto& entry : items) {
    list.push_back(std::move(entry.second));
  }
  if (list.empty()) {
    list.push_back(ContentsItem{});
  }
  return MakeContentsTable(model, list, table, errorText);
}

// Checks the filter state a list builder expects and orders the plan.
bool StartList(ResultsModel& model, bool filtered, const char* tag, ErrorText& errorText) {
  if (model.ElmFiltered != filtered) {
    return Fail(errorText, "ElmFiltered set wrong", tag);
  }
  if (!model.SetVarOrder(errorText)) {
    return AddTag(errorText, tag);
  }
  return true;
}

} // namespace

std::string Pad4(std::int64_t n) {
  std::string text = std::to_string(n);
  if (text.size() < 4) {
    text.insert(0, 4 - text.size(), '0');
  }
  return text;
}

bool MakeContentsList(ResultsModel& model, ContentsList& list, SimTab& table, ErrorText& errorText) {
  constexpr const char* kTag = "[MakeContentsList]";
  if (!StartList(model, false, kTag, errorText)) {
    return false;
  }
  const int cur = model.CurSol();
  const bool grouped = model.ContentsFormat == 2;
  ItemMap items;
  for (int i = 1; i <= model.PlanCount(); ++i) {
    const int pv = model.VarOrder(i);
    const ResultHeader* h = model.PV(pv).SolCount >= 1 ? model.Header(pv, cur) : nullptr;
    if (!h) {
      continue;
    }
    ContentsItem item;
    item.pv = pv;
    item.size = h->NumValues();
    std::string vectorSet;
    switch (h->nDim) {
    case 0:
      item.key = "A";
      item.ContentsItemType = kMacroGroup;
      break;
    case 1:
      vectorSet = Cut(h->SetName(1), kSetNameLength);
      if (grouped) {
        item.key = "B" + Pad4(item.size) + vectorSet;
        item.ContentsItemType = kVectorSizeGroup;
        item.setName = vectorSet;
      } else {
        item.key = "C" + Pad4(i);
        item.ContentsItemType = kVector;
      }
      break;
    case 2:
      item.key = "C" + Pad4(i);
      item.ContentsItemType = kMatrix;
      break;
    case 3:
      item.key = "C" + Pad4(i);
      item.ContentsItemType = kThreeDim;
      break;
    default:
      continue;
    }
    item.label = h->DimText(false);
    if (grouped) {
      item.label += " " + vectorSet;
    }
    AddItem(items, std::move(item));
  }
  if (!FinishList(model, items, list, table, errorText)) {
    return AddTag(errorText, kTag);
  }
  return true;
}

bool MakeFilteredContentsList(ResultsModel& model, ContentsList& list, SimTab& table, ErrorText& errorText) {
  constexpr const char* kTag = "[MakeFilteredContentsList]";
  if (!StartList(model, true, kTag, errorText)) {
    return false;
  }
  const int cur = model.CurSol();
  const bool grouped = model.ContentsFormat == 2;
  ItemMap items;
  for (int i = 1; i <= model.PlanCount(); ++i) {
    const int pv = model.VarOrder(i);
    const ResultHeader* h = model.PV(pv).SolCount >= 1 ? model.Header(pv, cur) : nullptr;
    if (!h || h->nDim < 1 || h->nDim > 3) {
      continue;
    }
    for (int k = 1; k <= h->nDim; ++k) {
      int position = 0;
      if (!model.ContainsFilterElement(pv, cur, k, position)) {
        continue;
      }
      ContentsItem item;
      item.pv = pv;
      item.filterDim = k;
      if (h->nDim == 1) {
        item.key = "A";
        item.ContentsItemType = kVectorFilterGroup;
        item.size = 1;
        item.label = "1";
      } else if (h->nDim == 2) {
        const int other = 3 - k;
        const std::int64_t m = h->Size(other);
        item.size = m;
        if (grouped) {
          const std::string set = Cut(h->SetName(other), kSetNameLength);
          item.key = "B" + Pad4(m) + set;
          item.ContentsItemType = kMatrixFilterSizeGroup;
          item.label = std::to_string(m) + " " + set;
          item.setName = set;
        } else {
          item.key = "C" + Pad4(i) + Pad4(k);
          item.ContentsItemType = kMatrixSlice;
          item.label = std::to_string(m);
        }
      } else {
        item.key = "C" + Pad4(i) + Pad4(k);
        item.ContentsItemType = kThreeDimSlice;
        item.label = h->DimText(false);
        item.size = 0;
      }
      AddItem(items, std::move(item));
    }
  }
  if (!FinishList(model, items, list, table, errorText)) {
    return AddTag(errorText, kTag);
  }
  return true;
}

bool MakeContentsTable(const ResultsModel& model, const ContentsList& list, SimTab& table,
                       ErrorText& errorText) {
  constexpr const char* kTag = "[MakeContentsTable]";
  if (!InitSimTab(table, static_cast<int>(list.size()), 3, errorText)) {
    return AddTag(errorText, kTag);
  }
  table.Cell(0, 0) = "Variable";
  table.Cell(0, 1) = "Size";
  table.Cell(0, 2) = "No.";
  table.Cell(0, 3) = "Name";
  const std::string& element = model.FilterElement;
  const int cur = model.CurSol();
  for (std::size_t r = 0; r < list.size(); ++r) {
    const ContentsItem& item = list[r];
    const int row = static_cast<int>(r) + 1;
    std::string cells[4];
    const ResultHeader* h = nullptr;
    const int type = item.ContentsItemType;
    if (type == kVector || type == kMatrix || type == kThreeDim || type == kMatrixSlice ||
        type == kThreeDimSlice) {
      h = model.Header(item.pv, cur);
      if (!h) {
        return Fail(errorText, "Nil Header", kTag);
      }
    }
    const std::string count = std::to_string(item.count);
    switch (type) {
    case kNoData:
      cells[0] = cells[1] = cells[2] = " ";
      cells[3] = "No data matching current criteria";
      break;
    case kMacroGroup:
      cells[0] = "Macros";
      cells[1] = "1";
      cells[2] = count;
      cells[3] = "Scalar variables (just one element)";
      break;
    case kVector:
    case kMatrix:
    case kThreeDim:
      cells[0] = h->varName;
      cells[1] = h->DimText(true);
      cells[2] = count;
      cells[3] = h->CleanLongName();
      break;
    case kVectorSizeGroup:
      cells[0] = "Vectors size:";
      cells[1] = item.label;
      cells[2] = count;
      cells[3] =
          "Vector variables ranging over set " + item.setName + " (size " + std::to_string(item.size) + " )";
      break;
    case kVectorFilterGroup:
      cells[0] = "Vector elements:";
      cells[1] = "1";
      cells[2] = count;
      cells[3] = "matching filter: " + element;
      break;
    case kMatrixSlice:
      cells[0] = h->varName + (item.filterDim == 1 ? "[" + element + ",*]" : "[*," + element + "]");
      cells[1] = h->SetOrSize(3 - item.filterDim);
      cells[2] = count;
      cells[3] = h->CleanLongName();
      break;
    case kMatrixFilterSizeGroup:
      cells[0] = "Matrix row/cols size:";
      cells[1] = item.label;
      cells[2] = count;
      cells[3] = "matching filter: " + element;
      break;
    case kThreeDimSlice: {
      static const char* const kPattern[4][2] = {{"", ""}, {"[", ",*,*]"}, {"[*,", ",*]"}, {"[*,*,", "]"}};
      const int k = item.filterDim >= 1 && item.filterDim <= 3 ? item.filterDim : 1;
      cells[0] = h->varName + kPattern[k][0] + element + kPattern[k][1];
      const int a = k == 1 ? 2 : 1;
      const int b = k == 3 ? 2 : 3;
      cells[1] = h->SetOrSize(a) + "*" + h->SetOrSize(b);
      cells[2] = "1";
      cells[3] = h->CleanLongName();
      break;
    }
    default:
      return Fail(errorText, "Unknown ContentsItemType", kTag);
    }
    for (int c = 0; c < 4; ++c) {
      table.Cell(row, c) = std::move(cells[c]);
    }
  }
  if (!SetUpSimTab(table, errorText)) {
    return AddTag(errorText, kTag);
  }
  return true;
}

} // namespace pelorin
