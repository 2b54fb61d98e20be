#include "mrklang/model.h"

#include "platform/strings.h"

namespace pelorin::mrk {

namespace {
template <typename T> int FindByName(const std::vector<T>& items, const std::string& name) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (SameText(items[i].name, name)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}
} // namespace

bool IsTerminalFile(const LogicalFile& file) {
  return SameText(file.name, "terminal");
}

int Model::FindSet(const std::string& wanted) const {
  return FindByName(sets, wanted);
}
int Model::FindFile(const std::string& wanted) const {
  return FindByName(files, wanted);
}
int Model::FindCoefficient(const std::string& wanted) const {
  return FindByName(coefficients, wanted);
}
int Model::FindVariable(const std::string& wanted) const {
  return FindByName(variables, wanted);
}

bool Model::IsSubsetOf(int small, int big) const {
  if (small == big) {
    return true;
  }
  // Declared subsets form a small graph; follow it breadth first from `small`.
  std::vector<int> frontier{small};
  std::vector<bool> seen(sets.size(), false);
  while (!frontier.empty()) {
    int s = frontier.back();
    frontier.pop_back();
    for (const SubsetDecl& d : subsets) {
      if (d.small == s && d.big >= 0 && !seen[d.big]) {
        if (d.big == big) {
          return true;
        }
        seen[d.big] = true;
        frontier.push_back(d.big);
      }
    }
  }
  return false;
}

} // namespace pelorin::mrk
