#pragma once

#include "engine/runtime.h"
#include "modelinfo/model_info_writer.h"
#include "mrklang/model.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pelorin::engine {

/// The model information of a model: at compile time (no runtime: sets read from data have unknown size and
/// variables the status "?"), or once its data are read (known sizes and elements) and, with a closure,
/// each variable's exogenous components.
ModelInfoDescription DescribeModel(const mrk::Model& model, const ModelRuntime* runtime,
                                   const std::vector<std::uint8_t>* exogenous, const std::string& stamp,
                                   const std::string& mrkFile);

/// The report file every run leaves: section "Result" with "Status" ("ok" only on success), "Release" and
/// "GPVer Large". Written to a temporary name and renamed, so a reader never sees half of it.
bool WriteReport(const std::string& path, bool ok, ErrorText& errorText);

/// The suite's release text and version number as the report files give them.
inline constexpr const char* kSuiteRelease = "Pelorin suite 1.0";
inline constexpr int kSuiteVersion = 12;

} // namespace pelorin::engine
