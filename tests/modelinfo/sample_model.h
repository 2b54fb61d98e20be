#pragma once

#include "modelinfo/model_info_writer.h"

namespace pelorin::test {

/// A small two-region trade model as the closure check would describe it: a file section with a pseudo-file,
/// listed, generated and unknown sets, variables of every closure status, a subset chain (already closed) and
/// description lines.
ModelInfoDescription SampleModel();

/// A model of `numVariables` variables of mixed statuses (X, N, x) over `numSets` sets with listed elements,
/// for speed measurements.
ModelInfoDescription LargeModel(int numSets, int numVariables);

} // namespace pelorin::test
