// Fuzzes the model-language parser and checker: any input gives a model or diagnostics, never a crash.
#include "mrklang/parser.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelorin::mrk::Model model;
  std::vector<pelorin::mrk::Diagnostic> errors;
  pelorin::mrk::ParseModel(std::string_view(reinterpret_cast<const char*>(data), size), model, errors);
  for (const auto& d : errors) {
    (void)pelorin::mrk::FormatDiagnostic("fuzz.mrk", d);
  }
  return 0;
}
