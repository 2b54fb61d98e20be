#pragma once

// Headers made in memory for values that come from no Header Array header of their own (a set's elements, a
// variable's results and levels), so every value the explorer shows goes through the same grid.

#include "datafiles/har_data.h"
#include "platform/error_text.h"

#include <memory>
#include <string>
#include <vector>

namespace pelorin::explore {

/// One labelled dimension of a header made in memory.
struct ArrayDim {
  std::string setName;
  std::vector<std::string> elements;
};

/// A labelled real header over `dims` (dimension 1 fastest); `values` must hold the product of their sizes.
/// No dimensions makes a header of one value.
bool MakeArrayHeader(const std::string& name, const std::string& longName, const std::vector<ArrayDim>& dims,
                     const std::vector<float>& values, std::unique_ptr<THeadRecz>& head,
                     ErrorText& errorText);

/// A list of strings ("1C").
bool MakeStringsHeader(const std::string& name, const std::string& longName,
                       const std::vector<std::string>& strings, std::unique_ptr<THeadRecz>& head,
                       ErrorText& errorText);

} // namespace pelorin::explore
