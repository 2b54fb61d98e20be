#pragma once

#include "engine/data_io.h"
#include "engine/runtime.h"

#include <string>
#include <vector>

namespace pelorin::engine {

/// Checks the labels a data array carries against the sets the model reads it over, dimension by dimension:
/// a dimension that names its set must name the model's set, and one that lists its elements must list the
/// set's elements in the set's order (names ignore case). Dimensions without labels, and dimensions beyond
/// the model's sets, are not checked. On a difference `problem` says where ("dimension 2, position 1: ...").
bool DataLabelsMatch(const DataArray& array, const std::vector<const RtSet*>& sets, std::string& problem);

} // namespace pelorin::engine
