#include "results/inspector.h"

#include "modelinfo/model_info_reader.h"
#include "platform/strings.h"
#include "platform/user_interface.h"

#include <algorithm>
#include <cstdlib>

namespace pelorin {

namespace {

// List boxes sort their items ignoring letter case.
void SortItems(std::vector<InspectorItem>& items) {
  std::stable_sort(items.begin(), items.end(), [](const InspectorItem& a, const InspectorItem& b) {
    return LowerCase(a.text) < LowerCase(b.text);
  });
}

} // namespace

Inspector::Inspector(const SolInfoRec& info, std::string_view caption, int helpContext, int fontHeight,
                     TextMeasure measure)
    : info_(info), caption_(" " + std::string(caption)), helpContext_(helpContext),
      itemHeight_(4 * std::abs(fontHeight) / 3) {
  if (!measure) {
    measure = [](std::string_view text) { return static_cast<int>(text.size()); };
  }
  const int numSets = std::min(info_.NumSets, static_cast<int>(info_.SetData.size()));
  for (int i = 1; i <= numSets; ++i) {
    sets_.push_back({info_.Set(i).name + " = " + info_.Set(i).label, i});
  }
  SortItems(sets_);
  const int numVars = std::min(info_.NVar, static_cast<int>(info_.SVarData.size()));
  for (int v = 1; v <= numVars; ++v) {
    const TVarRec& var = info_.Var(v);
    const std::string args = ArgumentText(v, info_);
    variables_.push_back({var.name + "\t" + args + "\t" + var.description, v});
    w1_ = std::max(w1_, measure(var.name));
    w2_ = std::max(w2_, measure(args));
    w3_ = std::max(w3_, measure(var.description));
  }
  SortItems(variables_);
  ChooseSet(0);
}

void Inspector::ChooseSet(int index) {
  members_.clear();
  subsets_.clear();
  supersets_.clear();
  if (index < 0 || index >= static_cast<int>(sets_.size())) {
    chosen_ = 0;
    return;
  }
  chosen_ = sets_[static_cast<std::size_t>(index)].number;
  const TSetRec& set = info_.Set(chosen_);
  if (set.ElementsKnown) {
    members_ = set.elements;
  }
  if (!info_.IsSubSet) {
    return;
  }
  for (int j = 1; j <= static_cast<int>(sets_.size()); ++j) {
    if (info_.IsSubSet->Get(j, chosen_)) {
      subsets_.push_back(info_.Set(j).name);
    }
    if (info_.IsSubSet->Get(chosen_, j)) {
      supersets_.push_back(info_.Set(j).name);
    }
  }
}

std::string Inspector::CopyText(InspectorPage page) const {
  std::string text;
  switch (page) {
  case InspectorPage::Variables:
    for (const InspectorItem& item : variables_) {
      text += item.text + "\r\n";
    }
    break;
  case InspectorPage::Sets:
    for (const InspectorItem& item : sets_) {
      text += item.text + "\r\n";
    }
    text += "\r\n";
    for (const std::string& member : members_) {
      text += member + "\r\n";
    }
    break;
  case InspectorPage::Coefficients:
    break;
  }
  return text;
}

void Inspector::Copy(InspectorPage page, UserInterface& ui) const {
  if (page == InspectorPage::Coefficients) {
    return;
  }
  ui.SetClipboardText(CopyText(page));
}

} // namespace pelorin
