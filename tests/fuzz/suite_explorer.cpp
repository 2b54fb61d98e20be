// Fuzzes the model explorer's reading of a model source: the marked parts and links of any text, and for a
// text that compiles, every equation's terms evaluated over sets of one element (so nested sums stay cheap)
// with every value 1.5.

#include "explorer/equation_terms.h"
#include "explorer/expression_text.h"
#include "explorer/source_spans.h"
#include "mrklang/parser.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin;
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  mrk::Model model;
  std::vector<mrk::Diagnostic> errors;
  const bool compiled = mrk::ParseModel(source, model, errors);
  const std::vector<explore::SourceSpan> spans = explore::SourceSpans(source, compiled ? &model : nullptr);
  explore::SourceHtml(source, spans);
  for (const explore::SourceSpan& span : spans) {
    explore::NameRef ref;
    explore::ParseNameLink(explore::NameLink(span.ref), ref);
  }
  explore::NameRef ref;
  explore::ParseNameLink(source, ref);
  if (!compiled) {
    return 0;
  }
  explore::ModelValues values;
  for (std::size_t s = 0; s < model.sets.size(); ++s) {
    values.setElements.push_back({"a"});
  }
  values.IndexElements();
  static const std::vector<double> ones(1, 1.5);
  for (std::size_t c = 0; c < model.coefficients.size(); ++c) {
    values.coefficients.push_back(ones.data());
  }
  for (std::size_t v = 0; v < model.variables.size(); ++v) {
    values.variables.push_back(ones.data());
  }
  for (std::size_t e = 0; e < model.equations.size() && e < 20; ++e) {
    explore::EquationText(model, static_cast<int>(e));
    std::vector<int> elements(model.equations[e].lhs.domain.size(), 0);
    explore::EquationValues result;
    ErrorText errorText;
    explore::EvaluateEquation(model, static_cast<int>(e), elements, values, values, result, errorText);
  }
  return 0;
}
