// The data view of one contents line: which variables and solutions it shows, its labels and its numbers.
#include "datafiles/dyn_arrays.h"
#include "platform/strings.h"
#include "results/contents_view.h"
#include "results/results_model.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace pelorin {

namespace {

constexpr const char* kTag = "[BuildDataTable]";
constexpr std::size_t kSetNameLength = 12;

struct Member {
  int pv = 0;
  int k = 0;        // filter dimension (matrix slices)
  int position = 0; // position of the filter element along k
};

// Allocates the view's numbers (all missing, unmarked) and labels.
bool Allocs(DataView& view, std::int64_t rows, std::int64_t cols, ErrorText& errorText) {
  if (rows < 1 || cols < 1 || rows > kMaxArraySize || cols > kMaxArraySize) {
    return Fail(errorText, "Bad table size " + std::to_string(rows) + "x" + std::to_string(cols), "[Allocs]");
  }
  // The labels and the table of texts the view becomes outweigh its numbers, so all of it must fit.
  const long double bytes =
      static_cast<long double>(rows) * cols * (sizeof(float) + 1 + sizeof(std::string)) +
      static_cast<long double>(rows + cols) * sizeof(std::string);
  if (bytes / 1024 > static_cast<long double>(CurrentMemoryKb().available)) {
    return Fail(errorText,
                "Not enough memory for a view of " + std::to_string(rows) + " rows and " +
                    std::to_string(cols) + " columns",
                "[Allocs]");
  }
  if (!AllocMat2UK(view.values, rows, cols, ElemType::Real, errorText) ||
      !AllocBoolMat2(view.marks, rows, cols, errorText)) {
    view.values.Release();
    return AddTag(errorText, "[Allocs]");
  }
  std::fill_n(view.values.Data(), rows * cols, MissingValue);
  view.rows = static_cast<int>(rows);
  view.cols = static_cast<int>(cols);
  view.rowLabels.assign(static_cast<std::size_t>(rows), std::string());
  view.colLabels.assign(static_cast<std::size_t>(cols), std::string());
  return true;
}

bool TooMany(const char* group, ErrorText& errorText) {
  return Fail(errorText,
              std::string("Too many variables in ") + group + ", max is " + std::to_string(kMaxGroupMembers) +
                  "\r\n",
              kTag);
}

// The variable's name, arguments, change kind and cleaned long name, as the status line shows them.
std::string HeaderText(const ResultHeader& h, const std::string& name,
                       const std::string* arguments = nullptr) {
  std::string text = name;
  if (arguments) {
    text += *arguments;
  } else if (h.nDim > 0) {
    text += "(";
    for (int d = 1; d <= h.nDim; ++d) {
      if (d > 1) {
        text += ",";
      }
      text += h.SetOrSize(d);
    }
    text += ")";
  }
  text += h.changeType == 'c' ? " [change]: " : " [%-change]: ";
  text += h.CleanLongName();
  return text;
}

// The 0-based offset of a value of a header of up to 3 dimensions.
std::int64_t Offset(const ResultHeader& h, std::int64_t i1, std::int64_t i2, std::int64_t i3 = 1) {
  return (i1 - 1) + h.Size(1) * ((i2 - 1) + h.Size(2) * (i3 - 1));
}

// Value and mark of a header at an offset (missing when outside its values).
void Put(DataView& view, int row, int col, const ResultHeader& h, std::int64_t offset) {
  const std::span<const float> values = h.Values();
  if (offset < 0 || offset >= static_cast<std::int64_t>(values.size())) {
    return;
  }
  view.values.At(row, col) = values[static_cast<std::size_t>(offset)];
  view.marks.At(row, col) = h.Mark(offset);
}

// The offset of element q of the dimension other than k in a matrix sliced at position p along k.
std::int64_t SliceOffset(const ResultHeader& h, int k, std::int64_t p, std::int64_t q) {
  return k == 1 ? Offset(h, p, q) : Offset(h, q, p);
}

bool IsMatrixWith(const ResultHeader* h) {
  return h && h->nDim == 2 && h->NumValues() == h->Size(1) * h->Size(2);
}

// The plan records, in alphabetical order, that `keep` accepts: the members of a group line.
template <class Keep>
bool CollectMembers(const ResultsModel& model, const char* group, Keep keep, std::vector<int>& members,
                    ErrorText& errorText) {
  for (int i = 1; i <= model.PlanCount(); ++i) {
    const int pv = model.VarOrder(i);
    if (keep(pv)) {
      if (static_cast<int>(members.size()) == kMaxGroupMembers) {
        return TooMany(group, errorText);
      }
      members.push_back(pv);
    }
  }
  return true;
}

// A view with one row per member and one column per open solution; `offset(pv, s)` gives the offset of the
// member's value in solution s, or -1 when that solution has none.
template <class OffsetOf>
bool MembersBySolution(const ResultsModel& model, const std::vector<int>& members, OffsetOf offset,
                       DataView& view, ErrorText& errorText) {
  const int nsol = model.Nsol();
  if (!Allocs(view, static_cast<std::int64_t>(members.size()), nsol, errorText)) {
    return false;
  }
  for (int j = 1; j <= nsol; ++j) {
    view.colLabels[static_cast<std::size_t>(j - 1)] = model.Sol(j).SolLabel;
  }
  for (std::size_t r = 0; r < members.size(); ++r) {
    view.rowLabels[r] = model.PV(members[r]).name;
    for (int j = 1; j <= nsol; ++j) {
      const std::int64_t at = offset(members[r], j);
      if (at >= 0) {
        Put(view, static_cast<int>(r) + 1, j, *model.Header(members[r], j), at);
      }
    }
  }
  return true;
}

std::string CutSet(std::string name) {
  if (name.size() > kSetNameLength) {
    name.resize(kSetNameLength);
  }
  return name;
}

} // namespace

void ShortenColumnLabels(std::vector<std::string>& labels) {
  if (labels.empty()) {
    return;
  }
  std::size_t cut = std::string::npos;
  for (const std::string& label : labels) {
    std::size_t at = std::string::npos;
    for (std::size_t i = 0; i + 4 < label.size() && at == std::string::npos; ++i) {
      if (label[i] == '-' && std::isdigit(static_cast<unsigned char>(label[i + 1])) &&
          std::isdigit(static_cast<unsigned char>(label[i + 2])) &&
          std::isdigit(static_cast<unsigned char>(label[i + 3])) &&
          std::isdigit(static_cast<unsigned char>(label[i + 4]))) {
        at = i + 1;
      }
    }
    if (at == std::string::npos || (cut != std::string::npos && at != cut)) {
      return;
    }
    cut = at;
  }
  const std::string_view first = std::string_view(labels.front()).substr(0, cut + 1);
  for (const std::string& label : labels) {
    if (!SameText(std::string_view(label).substr(0, cut + 1), first)) {
      return;
    }
  }
  for (std::string& label : labels) {
    label.erase(0, cut);
  }
}

bool BuildDataView(const ResultsModel& model, const ContentsItem& item, DataView& view,
                   ErrorText& errorText) {
  const int type = item.ContentsItemType;
  const int cur = model.CurSol();
  const int nsol = model.Nsol();
  const std::string& element = model.FilterElement;
  const bool grouped = model.ContentsFormat == 2;
  view.title = "No data matching current contents item for current solution";
  view.corner = std::to_string(type);
  view.rowLabels.clear();
  view.colLabels.clear();
  view.values.Release();
  view.marks.Release();
  view.rows = view.cols = 1;
  if (type < 1 || type > 9 || type == kThreeDim) {
    return Fail(errorText, "Invalid ContentsItemType", kTag);
  }
  const ResultHeader* v = model.Header(item.pv, cur);
  const std::string name = item.pv >= 1 && item.pv <= model.PlanCount() ? model.PV(item.pv).name : "";
  bool filled = false;

  switch (type) {
  case kMacroGroup: {
    std::vector<int> members;
    const auto scalar = [&](int pv) { return model.PV(pv).ScalarSomewhere && model.Header(pv, cur); };
    if (!CollectMembers(model, "MacroGroup", scalar, members, errorText)) {
      return false;
    }
    if (members.empty()) {
      break;
    }
    const auto offset = [&](int pv, int j) -> std::int64_t {
      const ResultHeader* h = model.Header(pv, j);
      return h && h->nDim == 0 ? 0 : -1;
    };
    if (!MembersBySolution(model, members, offset, view, errorText)) {
      return AddTag(errorText, kTag);
    }
    view.title = "Macros";
    view.corner = "Macros";
    filled = true;
    break;
  }

  case kVector: {
    if (!v || v->NumValues() < 1) {
      break;
    }
    const std::int64_t n = v->NumValues();
    std::vector<int> columns;
    for (int j = 1; j <= nsol; ++j) {
      const ResultHeader* h = model.Header(item.pv, j);
      if (h && h->NumValues() == n) {
        columns.push_back(j);
      }
    }
    if (!Allocs(view, n, static_cast<std::int64_t>(columns.size()), errorText)) {
      return AddTag(errorText, kTag);
    }
    for (std::int64_t r = 1; r <= n; ++r) {
      view.rowLabels[static_cast<std::size_t>(r - 1)] = v->ElementLabel(1, r);
    }
    for (std::size_t c = 0; c < columns.size(); ++c) {
      view.colLabels[c] = model.Sol(columns[c]).SolLabel;
      const ResultHeader& h = *model.Header(item.pv, columns[c]);
      for (std::int64_t r = 1; r <= n; ++r) {
        Put(view, static_cast<int>(r), static_cast<int>(c) + 1, h, r - 1);
      }
    }
    view.title = HeaderText(*v, name);
    view.corner = name;
    filled = true;
    break;
  }

  case kVectorSizeGroup: {
    std::vector<int> members;
    const auto sameSize = [&](int pv) {
      const ResultHeader* h = model.Header(pv, cur);
      return h && h->nDim == 1 && h->NumValues() == item.size &&
             (!grouped || CutSet(h->SetName(1)) == item.setName);
    };
    if (!CollectMembers(model, "VectorSizeGroup", sameSize, members, errorText)) {
      return false;
    }
    if (members.empty() || item.size < 1) {
      break;
    }
    if (!Allocs(view, item.size, static_cast<std::int64_t>(members.size()), errorText)) {
      return AddTag(errorText, kTag);
    }
    const ResultHeader& first = *model.Header(members.front(), cur);
    for (std::int64_t r = 1; r <= item.size; ++r) {
      view.rowLabels[static_cast<std::size_t>(r - 1)] = first.ElementLabel(1, r);
    }
    for (std::size_t c = 0; c < members.size(); ++c) {
      view.colLabels[c] = model.PV(members[c]).name;
      const ResultHeader& h = *model.Header(members[c], cur);
      for (std::int64_t r = 1; r <= item.size; ++r) {
        Put(view, static_cast<int>(r), static_cast<int>(c) + 1, h, r - 1);
      }
    }
    view.title = "Vectors size: " + item.label;
    view.corner = item.label;
    filled = true;
    break;
  }

  case kMatrix: {
    if (!IsMatrixWith(v) || v->NumValues() < 1) {
      break;
    }
    const std::int64_t rows = v->Size(1);
    const std::int64_t cols = v->Size(2);
    if (!Allocs(view, rows, cols, errorText)) {
      return AddTag(errorText, kTag);
    }
    for (std::int64_t r = 1; r <= rows; ++r) {
      view.rowLabels[static_cast<std::size_t>(r - 1)] = v->ElementLabel(1, r);
    }
    for (std::int64_t c = 1; c <= cols; ++c) {
      view.colLabels[static_cast<std::size_t>(c - 1)] = v->ElementLabel(2, c);
    }
    // The header's values run along dimension 1 first, as the view's columns do.
    const std::span<const float> values = v->Values();
    const auto cells = static_cast<std::size_t>(rows * cols);
    if (!values.empty()) {
      std::memcpy(view.values.Data(), values.data(), std::min(cells, values.size()) * sizeof(float));
    }
    if (!v->exoMarks.empty()) {
      std::memcpy(view.marks.Data(), v->exoMarks.data(), std::min(cells, v->exoMarks.size()));
    }
    view.title = HeaderText(*v, name);
    view.corner = name;
    filled = true;
    break;
  }

  case kVectorFilterGroup: {
    std::vector<int> members;
    const auto offset = [&](int pv, int j) -> std::int64_t {
      const ResultHeader* h = model.Header(pv, j);
      int position = 0;
      return h && h->nDim == 1 && model.ContainsFilterElement(pv, j, 1, position) ? position - 1 : -1;
    };
    const auto holdsElement = [&](int pv) { return offset(pv, cur) >= 0; };
    if (!CollectMembers(model, "VectorFilterGroup", holdsElement, members, errorText)) {
      return false;
    }
    if (members.empty()) {
      break;
    }
    if (!MembersBySolution(model, members, offset, view, errorText)) {
      return AddTag(errorText, kTag);
    }
    view.title = "Vector Elements matching " + element;
    view.corner = "V[" + element + "]";
    filled = true;
    break;
  }

  case kMatrixSlice: {
    const int k = item.filterDim;
    int position = 0;
    if (k < 1 || k > 2 || !IsMatrixWith(v) || !model.ContainsFilterElement(item.pv, cur, k, position)) {
      break;
    }
    const int other = 3 - k;
    const std::int64_t m = v->Size(other);
    std::vector<std::pair<int, int>> columns; // solution, position of the element there
    for (int j = 1; j <= nsol; ++j) {
      const ResultHeader* h = model.Header(item.pv, j);
      int p = 0;
      if (IsMatrixWith(h) && h->Size(other) == m && model.ContainsFilterElement(item.pv, j, k, p)) {
        columns.emplace_back(j, p);
      }
    }
    if (m < 1) {
      break;
    }
    if (!Allocs(view, m, static_cast<std::int64_t>(columns.size()), errorText)) {
      return AddTag(errorText, kTag);
    }
    for (std::int64_t r = 1; r <= m; ++r) {
      view.rowLabels[static_cast<std::size_t>(r - 1)] = v->ElementLabel(other, r);
    }
    for (std::size_t c = 0; c < columns.size(); ++c) {
      view.colLabels[c] = model.Sol(columns[c].first).SolLabel;
      const ResultHeader& h = *model.Header(item.pv, columns[c].first);
      for (std::int64_t r = 1; r <= m; ++r) {
        Put(view, static_cast<int>(r), static_cast<int>(c) + 1, h, SliceOffset(h, k, columns[c].second, r));
      }
    }
    view.title =
        HeaderText(*v, name) + (k == 2 ? ": \"" + element + "\" column" : ": \"" + element + "\" row");
    view.corner = k == 2 ? name + "[*" + element + "]" : name + "[" + element + "*]";
    filled = true;
    break;
  }

  case kMatrixFilterSizeGroup: {
    std::vector<Member> members;
    for (int i = 1; i <= model.PlanCount(); ++i) {
      const int pv = model.VarOrder(i);
      const ResultHeader* h = model.Header(pv, cur);
      if (!IsMatrixWith(h)) {
        continue;
      }
      for (int k = 1; k <= 2; ++k) {
        int position = 0;
        if (model.ContainsFilterElement(pv, cur, k, position) && h->Size(3 - k) == item.size &&
            (!grouped || CutSet(h->SetName(3 - k)) == item.setName)) {
          if (static_cast<int>(members.size()) == kMaxGroupMembers) {
            return TooMany("MatrixFilterSizeGroup", errorText);
          }
          members.push_back({pv, k, position});
        }
      }
    }
    if (members.empty() || item.size < 1) {
      break;
    }
    if (!Allocs(view, item.size, static_cast<std::int64_t>(members.size()), errorText)) {
      return AddTag(errorText, kTag);
    }
    const ResultHeader& first = *model.Header(members.front().pv, cur);
    for (std::int64_t r = 1; r <= item.size; ++r) {
      view.rowLabels[static_cast<std::size_t>(r - 1)] = first.ElementLabel(3 - members.front().k, r);
    }
    for (std::size_t c = 0; c < members.size(); ++c) {
      const Member& member = members[c];
      const std::string& memberName = model.PV(member.pv).name;
      view.colLabels[c] = memberName + (member.k == 1 ? "[" + element + ",*]" : "[*," + element + "]");
      const ResultHeader& h = *model.Header(member.pv, cur);
      for (std::int64_t r = 1; r <= item.size; ++r) {
        Put(view, static_cast<int>(r), static_cast<int>(c) + 1, h,
            SliceOffset(h, member.k, member.position, r));
      }
    }
    view.title = "Matrix row/cols size: " + item.label + ", matching \"" + element + "\"";
    view.corner = "M[" + element + "]";
    filled = true;
    break;
  }

  case kThreeDimSlice: {
    const int k = item.filterDim;
    if (k < 1 || k > 3) {
      return Fail(errorText, "Dim must be 1, 2, or 3", kTag);
    }
    int position = 0;
    if (!v || v->nDim != 3 || v->NumValues() != v->Size(1) * v->Size(2) * v->Size(3) ||
        !model.ContainsFilterElement(item.pv, cur, k, position)) {
      break;
    }
    const int a = k == 1 ? 2 : 1;
    const int b = k == 3 ? 2 : 3;
    const std::int64_t rows = v->Size(a);
    const std::int64_t cols = v->Size(b);
    if (rows < 1 || cols < 1) {
      break;
    }
    if (!Allocs(view, rows, cols, errorText)) {
      return AddTag(errorText, kTag);
    }
    for (std::int64_t r = 1; r <= rows; ++r) {
      view.rowLabels[static_cast<std::size_t>(r - 1)] = v->ElementLabel(a, r);
    }
    for (std::int64_t c = 1; c <= cols; ++c) {
      view.colLabels[static_cast<std::size_t>(c - 1)] = v->ElementLabel(b, c);
    }
    for (std::int64_t r = 1; r <= rows; ++r) {
      for (std::int64_t c = 1; c <= cols; ++c) {
        std::int64_t index[4] = {0, 0, 0, 0};
        index[k] = position;
        index[a] = r;
        index[b] = c;
        Put(view, static_cast<int>(r), static_cast<int>(c), *v, Offset(*v, index[1], index[2], index[3]));
      }
    }
    static const char* const kArgs[4] = {"", "(%,*,*)", "(*,%,*)", "(*,*,%)"};
    static const char* const kCorner[4] = {"", "[%**]", "[*%*]", "[**%]"};
    const auto withElement = [&](std::string pattern) {
      pattern.replace(pattern.find('%'), 1, element);
      return pattern;
    };
    const std::string arguments = withElement(kArgs[k]);
    view.title = HeaderText(*v, name, &arguments);
    view.corner = name + withElement(kCorner[k]);
    filled = true;
    break;
  }

  default:
    break;
  }

  if (!filled && !Allocs(view, 1, 1, errorText)) {
    return AddTag(errorText, kTag);
  }
  if (!filled) {
    // Numbered labels, as a table without labels has.
    view.rowLabels.assign(1, "1");
    view.colLabels.assign(1, "1");
  }
  if (view.cols > 1) {
    ShortenColumnLabels(view.colLabels);
  }
  return true;
}

bool BuildDataTable(const ResultsModel& model, const ContentsItem& item, int decimals, SimTab& table,
                    std::string& title, ErrorText& errorText) {
  DataView view;
  if (!BuildDataView(model, item, view, errorText)) {
    return false;
  }
  title = view.title;
  R2TableSource source;
  const std::size_t cells = static_cast<std::size_t>(view.rows) * static_cast<std::size_t>(view.cols);
  source.matrix = {view.values.Data(), cells};
  source.marks = {view.marks.Data(), cells};
  source.colLabels = view.colLabels;
  source.rowLabels = view.rowLabels;
  source.corner = view.corner;
  source.columnMajor = true;
  if (!MakeSimpleR2Table(table, source, decimals, view.cols, view.rows, errorText)) {
    return AddTag(errorText, kTag);
  }
  return true;
}

} // namespace pelorin
