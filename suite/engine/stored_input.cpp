#include "engine/stored_input.h"

#include "platform/strings.h"

#include <fstream>
#include <sstream>

namespace pelorin::engine {

bool ParseStoredInput(std::string_view text, const std::string& fileName, StoredInput& input,
                      ErrorText& errorText) {
  input = StoredInput{};
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) {
      eol = text.size();
    }
    std::string line(text.substr(pos, eol - pos));
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(std::move(line));
    pos = eol + 1;
  }
  auto fail = [&](std::size_t lineNo, const std::string& message) {
    return Fail(errorText, fileName + ":" + std::to_string(lineNo) + ": error: " + message, "");
  };
  std::size_t i = 0;
  while (true) {
    while (i < lines.size() && Trim(lines[i]).empty()) {
      ++i;
    }
    if (i >= lines.size()) {
      return fail(lines.size(), "the stored input ends before it names the command file (\"cmf\")");
    }
    const std::string code = LowerCase(Trim(lines[i]));
    if (code != "rpt" && code != "cmf") {
      return fail(i + 1, "unknown option \"" + Trim(lines[i]) + "\" (expected rpt or cmf)");
    }
    if (i + 1 >= lines.size() || Trim(lines[i + 1]).empty()) {
      return fail(i + 1, "option \"" + code + "\" is not followed by a file name");
    }
    std::string value = Trim(lines[i + 1]);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    i += 2;
    if (code == "rpt") {
      input.reportFile = value;
    } else {
      input.commandFile = value;
      break;
    }
  }
  input.terminalLines.assign(lines.begin() + static_cast<std::ptrdiff_t>(i), lines.end());
  return true;
}

bool ReadStoredInput(const std::string& path, StoredInput& input, ErrorText& errorText) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return Fail(errorText, "Cannot open stored-input file " + path, "");
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return ParseStoredInput(bytes.str(), path, input, errorText);
}

} // namespace pelorin::engine
