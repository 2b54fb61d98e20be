// Data read by position would silently land on the wrong elements when a file lists a set's elements in
// another order, or holds an array over other sets of the same sizes; the labels a header carries are checked
// before its values are used.
#include "engine/data_labels.h"

#include "platform/strings.h"

#include <algorithm>

namespace pelorin::engine {

bool DataLabelsMatch(const DataArray& array, const std::vector<const RtSet*>& sets, std::string& problem) {
  const std::size_t dims = std::min(array.dims.size(), sets.size());
  for (std::size_t d = 0; d < dims; ++d) {
    const RtSet& set = *sets[d];
    const std::string dimension = "dimension " + std::to_string(d + 1);
    const std::string setName = d < array.setNames.size() ? Trim(array.setNames[d]) : std::string();
    if (!setName.empty() && !SameText(setName, set.name)) {
      problem = dimension + " is over set " + setName + " but set " + set.name + " is expected";
      return false;
    }
    if (d >= array.elementNames.size()) {
      continue;
    }
    const std::vector<std::string>& found = array.elementNames[d];
    // Where the counts differ the sizes do too, and the size check says so; the common part is still
    // compared, so that a wrong element is named where there is one.
    const std::size_t common = std::min(found.size(), set.elements.size());
    for (std::size_t i = 0; i < common; ++i) {
      const std::string element = Trim(found[i]);
      if (!SameText(element, set.elements[i])) {
        problem = dimension + ", position " + std::to_string(i + 1) + ": element \"" + set.elements[i] +
                  "\" of set " + set.name + " is expected but \"" + element + "\" was found";
        return false;
      }
    }
  }
  return true;
}

} // namespace pelorin::engine
