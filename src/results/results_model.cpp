#include "results/results_model.h"

#include "platform/strings.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string_view>

namespace pelorin {

namespace {

// Byte order of the lower-cased texts.
struct CaseLess {
  bool operator()(std::string_view a, std::string_view b) const {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
      const auto ca = static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(a[i])));
      const auto cb = static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(b[i])));
      if (ca != cb) {
        return ca < cb;
      }
    }
    return a.size() < b.size();
  }
};

// A header of one value over no set is a scalar, however the file stored its shape.
int ResultDims(const ResultHeader& rh) {
  const THeadRecz& head = *rh.head;
  if (head.nDim == 0) {
    return 0;
  }
  if (rh.merged) {
    return rh.numArgs == 0 && head.numValues == 1 ? 0 : head.nDim;
  }
  return head.nDim == 1 && head.sizes[0] == 1 && head.setNames[0].empty() ? 0 : head.nDim;
}

std::string VariableName(const THeadRecz& head) {
  return head.shortText.empty() ? Trim(head.name) : head.shortText;
}

} // namespace

std::span<const float> ResultHeader::Values() const {
  if (!head) {
    return {};
  }
  if (head->values.Allocated()) {
    return {head->values.Data(), static_cast<std::size_t>(head->values.Count())};
  }
  if (head->nDim == 0) {
    return {&head->scalarValue, 1};
  }
  return {};
}

std::string ResultHeader::SetName(int d) const {
  if (d < 1 || d > 7) {
    return {};
  }
  if (merged && d <= numArgs && !argSetNames[d - 1].empty()) {
    return argSetNames[d - 1];
  }
  return head ? head->setNames[d - 1] : std::string();
}

std::string ResultHeader::SetOrSize(int d) const {
  std::string name = SetName(d);
  return name.empty() ? std::to_string(Size(d)) : name;
}

const PStrVec* ResultHeader::Elements(int d) const {
  if (!head || d < 1 || d > 7) {
    return nullptr;
  }
  return head->elements[d - 1].get();
}

std::string ResultHeader::ElementLabel(int d, std::int64_t i) const {
  const PStrVec* names = Elements(d);
  if (names && i >= 1 && i < static_cast<std::int64_t>(names->size())) {
    return (*names)[static_cast<std::size_t>(i)];
  }
  return std::to_string(i);
}

std::string ResultHeader::DimText(bool withSets) const {
  if (nDim == 0) {
    return "1";
  }
  std::string text;
  for (int d = 1; d <= nDim; ++d) {
    if (d > 1) {
      text += '*';
    }
    text += withSets ? SetOrSize(d) : std::to_string(Size(d));
  }
  return text;
}

std::string CleanLongName(std::string_view longName) {
  std::string text = Trim(longName);
  const std::size_t hash = text.find('#');
  if (hash == std::string::npos) {
    return text;
  }
  text = Trim(std::string_view(text).substr(hash + 1));
  if (!text.empty() && text.back() == '#') {
    text.pop_back();
    text = Trim(text);
  }
  return text;
}

std::string ResultHeader::CleanLongName() const {
  return head ? pelorin::CleanLongName(head->longName) : std::string();
}

bool BuildElementList(const std::vector<SolSet>& sets, std::vector<std::string>& elmNames,
                      ErrorText& errorText) {
  if (!elmNames.empty()) {
    return Fail(errorText, "ElmNames<>nil", "[BuildElementList]");
  }
  std::set<std::string_view, CaseLess> distinct;
  for (std::size_t i = 1; i < sets.size(); ++i) {
    const SolSet& set = sets[i];
    if (!set.present) {
      continue;
    }
    if (!set.hasElements) {
      return Fail(errorText, "nil setelms, i: " + std::to_string(i), "[BuildElementList]");
    }
    for (std::size_t j = 0; j < set.elements.size(); ++j) {
      if (set.elements[j].empty()) {
        return Fail(errorText, "nil setelms^[j], i: " + std::to_string(i) + " j:" + std::to_string(j + 1),
                    "[BuildElementList]");
      }
      distinct.insert(set.elements[j]);
    }
  }
  elmNames.reserve(distinct.size());
  for (std::string_view name : distinct) {
    elmNames.emplace_back(name);
  }
  return true;
}

std::string WarningListText(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0 && (i + 1) % 10 == 0) {
      text += "\r\n  ";
    }
    text += "  ";
    text += names[i];
  }
  return text;
}

ResultsModel::ResultsModel(UserInterface& ui) : ui_(ui) {}

ResultsModel::~ResultsModel() = default;

bool ResultsModel::IncSol(std::unique_ptr<HarData> data, const std::string& displayName,
                          const std::string& label, ErrorText& errorText) {
  if (Nsol() >= kMaxSolutions) {
    return Fail(errorText, "Too many solutions: Max is " + std::to_string(kMaxSolutions) + ".", "[IncSol]");
  }
  if (!data) {
    return Fail(errorText, "FData[Nsol]=nil", "[IncSol]");
  }
  auto sol = std::make_unique<OpenSolution>();
  sol->data = std::move(data);
  sol->vars.resize(sol->data->heads.size());
  for (std::size_t i = 0; i < sol->data->heads.size(); ++i) {
    THeadRecz* head = sol->data->heads[i].get();
    if (!head) {
      continue;
    }
    ResultHeader& rh = sol->vars[i];
    rh.head = head;
    rh.varName = VariableName(*head);
    rh.nDim = ResultDims(rh);
  }
  sol->SolLabel = label;
  sol->displayName = displayName;
  sol->FilterPos.assign(kMaxSets + 1, 0);
  solutions_.push_back(std::move(sol));
  curSol_ = Nsol();
  return true;
}

bool ResultsModel::ClearSol(int i, ErrorText& errorText) {
  if (i < 1 || i > Nsol()) {
    return Fail(errorText, "No solution " + std::to_string(i), "[ClearSol]");
  }
  solutions_.erase(solutions_.begin() + (i - 1));
  for (int p = 1; p <= PlanCount(); ++p) {
    PVRec& pv = plan_[static_cast<std::size_t>(p - 1)];
    if (static_cast<int>(pv.slots.size()) > i) {
      pv.slots.erase(pv.slots.begin() + i);
    }
    pv.SolCount = 0;
    pv.ScalarSomewhere = false;
    for (int s = 1; s <= Nsol(); ++s) {
      if (const ResultHeader* rh = Header(p, s)) {
        ++pv.SolCount;
        pv.ScalarSomewhere = pv.ScalarSomewhere || rh->nDim == 0;
      }
    }
  }
  if (curSol_ > i || curSol_ > Nsol()) {
    --curSol_;
  }
  return true;
}

bool ResultsModel::MergeSolinfoToHar(SolInfoRec& info, int s, ErrorText& errorText) {
  if (s < 1 || s > Nsol()) {
    return Fail(errorText, "No solution " + std::to_string(s), "[MergeSolinfoToHar]");
  }
  OpenSolution& sol = Sol(s);
  const int numSets = std::min(info.NumSets, static_cast<int>(info.SetData.size()));
  std::vector<bool> used(static_cast<std::size_t>(numSets) + 1, false);
  for (ResultHeader& rh : sol.vars) {
    if (!rh.head) {
      continue;
    }
    const int v = info.VarIndex.Find(rh.varName);
    if (v < 1 || v > static_cast<int>(info.SVarData.size())) {
      continue;
    }
    TVarRec& var = info.Var(v);
    if (var.size <= 0) {
      continue;
    }
    const std::int64_t count = std::max<std::int64_t>(rh.head->numValues, 0);
    rh.exoMarks.assign(static_cast<std::size_t>(count), 0);
    if (!var.ExoFlags.empty()) {
      // The flags are 1-based over the variable's components; a header of another size takes what fits.
      const std::int64_t n =
          std::min<std::int64_t>(count, static_cast<std::int64_t>(var.ExoFlags.size()) - 1);
      for (std::int64_t k = 0; k < n; ++k) {
        rh.exoMarks[static_cast<std::size_t>(k)] = var.ExoFlags[static_cast<std::size_t>(k + 1)];
      }
      std::vector<std::uint8_t>().swap(var.ExoFlags);
    }
    rh.merged = true;
    rh.changeType = var.VcTp;
    rh.numArgs = std::clamp(var.numArgs, 0, kMaxVarArgs);
    for (int a = 0; a < rh.numArgs; ++a) {
      const int set = var.ArgSets[static_cast<std::size_t>(a)];
      if (set >= 1 && set <= numSets) {
        rh.argSets[static_cast<std::size_t>(a)] = set;
        rh.argSetNames[static_cast<std::size_t>(a)] = info.Set(set).name;
        used[static_cast<std::size_t>(set)] = true;
      }
    }
    rh.nDim = ResultDims(rh);
  }
  // The set list moves into the solution; sets no header uses are freed.
  sol.sets.assign(static_cast<std::size_t>(numSets) + 1, SolSet{});
  for (int i = 1; i <= numSets; ++i) {
    TSetRec& set = info.Set(i);
    SolSet& target = sol.sets[static_cast<std::size_t>(i)];
    target.name = set.name;
    if (!used[static_cast<std::size_t>(i)]) {
      continue;
    }
    target.present = true;
    // A set whose size is not known has no element names at all.
    target.hasElements = set.size >= 0;
    if (target.hasElements) {
      target.elements = set.ElementsKnown ? std::move(set.elements) : set.ElementNames();
    }
  }
  info.SetData.clear();
  info.NumSets = 0;
  if (static_cast<int>(sol.FilterPos.size()) < numSets + 1) {
    sol.FilterPos.assign(static_cast<std::size_t>(numSets) + 1, 0);
  }
  if (!BuildElementList(sol.sets, sol.ElmNames, errorText)) {
    return AddTag(errorText, " [MergeSolinfoToHar]");
  }
  return true;
}

bool ResultsModel::MergeSoltoFmt(int s, ErrorText& errorText) {
  if (s < 1 || s > Nsol()) {
    return Fail(errorText, "No solution " + std::to_string(s), "[MergeSoltoFmt]");
  }
  OpenSolution& sol = Sol(s);
  for (std::size_t i = 0; i < sol.vars.size(); ++i) {
    ResultHeader& rh = sol.vars[i];
    if (!rh.head) {
      continue;
    }
    if (rh.head->nDim > kMaxPlanDims) {
      sol.data->heads[i].reset();
      rh = ResultHeader{};
      continue;
    }
    if (!AddVarToPlan(s, static_cast<int>(i) + 1, errorText)) {
      return AddTag(errorText, "[MergeSoltoFmt]");
    }
  }
  return true;
}

bool ResultsModel::AddVarToPlan(int s, int slot, ErrorText& errorText) {
  if (s < 1 || s > Nsol() || slot < 1 || slot > static_cast<int>(Sol(s).vars.size()) ||
      !Sol(s).vars[static_cast<std::size_t>(slot - 1)].head) {
    return Fail(errorText, "Nil Header", "[AddVarToPlan]");
  }
  const ResultHeader& rh = Sol(s).vars[static_cast<std::size_t>(slot - 1)];
  const std::string key = LowerCase(rh.varName);
  int number = planIndex_.Find(key);
  if (number == 0) {
    // The plan never forgets a name, so it is full for good once it holds the most it can.
    if (PlanCount() >= kMaxPlanVars) {
      return Fail(errorText, "Too many variables: Max is " + std::to_string(kMaxPlanVars) + ".",
                  "[AddVarToPlan]");
    }
    number = PlanCount() + 1;
    if (!planIndex_.AddKeyToRBTree(key, number, false, errorText)) {
      return AddTag(errorText, "[AddVarToPlan]");
    }
    PVRec record;
    record.VarPos = number;
    plan_.push_back(std::move(record));
    varOrder_.push_back(number);
  }
  PVRec& pv = plan_[static_cast<std::size_t>(number - 1)];
  pv.name = rh.varName;
  if (static_cast<int>(pv.slots.size()) <= s) {
    pv.slots.resize(static_cast<std::size_t>(s) + 1, 0);
  }
  if (pv.slots[static_cast<std::size_t>(s)] != 0) {
    return Fail(errorText, "Header should be nil for " + rh.varName + ", sol " + std::to_string(s),
                "[AddVarToPlan]");
  }
  pv.slots[static_cast<std::size_t>(s)] = slot;
  ++pv.SolCount;
  pv.ScalarSomewhere = pv.ScalarSomewhere || rh.nDim == 0;
  return true;
}

bool ResultsModel::InitPlan(ErrorText& errorText) {
  if (!plan_.empty() && !Freeplan(errorText)) {
    return AddTag(errorText, "[InitPlan]");
  }
  return true;
}

bool ResultsModel::Freeplan(ErrorText& /*errorText*/) {
  plan_.clear();
  planIndex_.Clear();
  varOrder_.assign(1, 0);
  return true;
}

bool ResultsModel::alfasortvars(ErrorText& errorText) {
  int rank = 0;
  planIndex_.ForEach([&](const std::string&, const NameIndex::Entry& entry) {
    plan_[static_cast<std::size_t>(entry.number - 1)].VarPos = ++rank;
  });
  if (!SetVarOrder(errorText)) {
    return AddTag(errorText, "[alfasortvars]");
  }
  return true;
}

bool ResultsModel::SetVarOrder(ErrorText& errorText) {
  const int count = PlanCount();
  varOrder_.assign(static_cast<std::size_t>(count) + 1, 0);
  for (int i = 1; i <= count; ++i) {
    const int pos = plan_[static_cast<std::size_t>(i - 1)].VarPos;
    if (pos < 1 || pos > count) {
      continue; // leaves a position unfilled, reported below
    }
    if (varOrder_[static_cast<std::size_t>(pos)] != 0) {
      return Fail(errorText, "Duplicate VarPos entries [SetVarOrder]");
    }
    varOrder_[static_cast<std::size_t>(pos)] = i;
  }
  for (int pos = 1; pos <= count; ++pos) {
    if (varOrder_[static_cast<std::size_t>(pos)] == 0) {
      return Fail(errorText, "Unused VarOrder entries [SetVarOrder]");
    }
  }
  return true;
}

void ResultsModel::SetFilterPositions(const std::string& element) {
  for (auto& sol : solutions_) {
    std::fill(sol->FilterPos.begin(), sol->FilterPos.end(), 0);
    if (static_cast<int>(sol->FilterPos.size()) < sol->NumSets() + 1) {
      sol->FilterPos.assign(static_cast<std::size_t>(sol->NumSets()) + 1, 0);
    }
    for (int i = 1; i <= sol->NumSets(); ++i) {
      const SolSet& set = sol->sets[static_cast<std::size_t>(i)];
      for (std::size_t j = 0; j < set.elements.size(); ++j) {
        if (SameText(set.elements[j], element)) {
          sol->FilterPos[static_cast<std::size_t>(i)] = static_cast<int>(j) + 1;
          break;
        }
      }
    }
  }
}

int ResultsModel::FindPV(std::string_view name) const {
  return planIndex_.Find(LowerCase(name));
}

const ResultHeader* ResultsModel::Header(int pv, int s) const {
  if (pv < 1 || pv > PlanCount() || s < 1 || s > Nsol()) {
    return nullptr;
  }
  const PVRec& record = plan_[static_cast<std::size_t>(pv - 1)];
  if (static_cast<int>(record.slots.size()) <= s) {
    return nullptr;
  }
  const int slot = record.slots[static_cast<std::size_t>(s)];
  const OpenSolution& sol = Sol(s);
  if (slot < 1 || slot > static_cast<int>(sol.vars.size())) {
    return nullptr;
  }
  const ResultHeader* rh = &sol.vars[static_cast<std::size_t>(slot - 1)];
  return rh->head ? rh : nullptr;
}

bool ResultsModel::ContainsFilterElement(int pv, int s, int k, int& position) const {
  position = 0;
  const ResultHeader* rh = Header(pv, s);
  if (!rh || k < 1 || k > rh->nDim) {
    return false;
  }
  const int set = rh->SetNumber(k);
  const std::vector<int>& filterPos = Sol(s).FilterPos;
  if (set < 1 || set >= static_cast<int>(filterPos.size())) {
    return false;
  }
  const int pos = filterPos[static_cast<std::size_t>(set)];
  // A summary whose set is longer than the file's dimension must not point past the values.
  if (pos < 1 || pos > rh->Size(k)) {
    return false;
  }
  position = pos;
  return true;
}

} // namespace pelorin
