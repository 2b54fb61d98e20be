// Closure and shock texts are free user text: the statement reader, the keyword check and the shock-line
// conversion must take any bytes without failing.
#include "simspec/cmf_writer.h"
#include "simspec/statement_reader.h"
#include "support/scripted_ui.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::string> SplitLines(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      lines.emplace_back();
    } else {
      lines.back().push_back(static_cast<char>(data[i]));
    }
  }
  return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin;
  const std::vector<std::string> lines = SplitLines(data, size);
  test::ScriptedUserInterface ui;

  TOpenCMFFile reader;
  reader.Open(lines);
  while (reader.NextStatement()) {
    (void)TOpenCMFFile::NormaliseKeyword(reader.Keyword());
    if (reader.NextToken()) {
      (void)reader.PrevToken();
    }
  }
  (void)CheckKeywords(lines, kClosureKeywords, " in closure memo.", ui);
  (void)CheckKeywords(lines, kShockKeywords, " in shocks memo.", ui);
  (void)LinesReadingShockFiles(lines);
  (void)FindOpenQuote(lines);
  for (const std::string& line : lines) {
    (void)ConvertShockLine(line, "/nonexistent-model-folder");
    (void)StatementText(line);
  }
  return 0;
}
