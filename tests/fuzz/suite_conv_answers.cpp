// Fuzzes the converter's text readers: its answer dialogue (options, codes, file names, the end) and the
// sensitivity map.
#include "praxola/answer_file.h"
#include "praxola/ssa_map.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  pelorin::conv::AnswerFile answers;
  answers.LoadText(text, "fuzz.inp");
  pelorin::conv::AnswerOptions options;
  pelorin::ErrorText err;
  std::string value;
  if (pelorin::conv::ReadAnswerOptions(answers, {"bat", "wsi", "shl", "nlv", "shk"}, options, err) &&
      answers.FileName("the solution file", value, err) && answers.Choice("kind", {"c", "t"}, value, err)) {
    while (answers.Code("a name", value, err) && !value.empty()) {
    }
    answers.End(err);
  }
  pelorin::conv::SsaMap map;
  pelorin::conv::ParseSsaMap(text, "fuzz.map", map, err);
  return 0;
}
