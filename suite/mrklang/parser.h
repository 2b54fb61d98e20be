#pragma once

#include "mrklang/model.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelorin::mrk {

/// One problem found in a model source, at a 1-based line and column.
struct Diagnostic {
  int line = 0;
  int col = 0;
  std::string message;
};

/// Parses and checks a model source. On success the model is complete and `errors` is empty; otherwise
/// `errors` lists every problem found (at most 50, in source order) and the model must not be used.
bool ParseModel(std::string_view source, Model& model, std::vector<Diagnostic>& errors);

/// The diagnostic as the compiler prints it: "FILE:LINE:COL: error: message".
std::string FormatDiagnostic(std::string_view file, const Diagnostic& diagnostic);

} // namespace pelorin::mrk
