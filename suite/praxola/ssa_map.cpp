#include "praxola/ssa_map.h"

#include "platform/strings.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace pelorin::conv {

namespace {

constexpr std::string_view kMapFormat = "PELORIN SSA MAP 1";

bool ToInt(std::string_view text, std::int64_t& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::istringstream in{std::string(line)};
  std::string word;
  while (in >> word) {
    words.push_back(word);
  }
  return words;
}

} // namespace

SsaMap MakeSsaMap(const Solution& solution, bool shockedOnly) {
  SsaMap map;
  map.solutionFile = solution.fileName;
  map.stamp = solution.stamp;
  map.components = solution.NumComponents();
  map.shockedOnly = shockedOnly;
  std::vector<std::uint8_t> shocked(static_cast<std::size_t>(map.components), 0);
  for (const SolutionShock& s : solution.shocks) {
    shocked[static_cast<std::size_t>(s.component)] = 1;
  }
  for (std::int64_t k = 0; k < map.components; ++k) {
    const auto i = static_cast<std::size_t>(k);
    if (solution.exogenous[i] == 0 || (shockedOnly && shocked[i] == 0)) {
      continue;
    }
    const SolutionVariable& var = solution.variables[static_cast<std::size_t>(solution.VariableOf(k))];
    map.entries.push_back({k, var.name, k - var.offset, shocked[i] != 0});
  }
  return map;
}

std::string SsaMapText(const SsaMap& map, const Solution& solution) {
  std::ostringstream out;
  out << kMapFormat << "\n"
      << "! Sensitivity map: the " << (map.shockedOnly ? "shocked" : "exogenous")
      << " components of a solution, one per line:\n"
      << "! component number, variable, number within the variable, shocked (1) or not (0)\n"
      << "solution " << map.solutionFile << "\n"
      << "stamp " << map.stamp << "\n"
      << "components " << map.components << "\n"
      << "selection " << (map.shockedOnly ? "shocked" : "exogenous") << "\n"
      << "entries " << map.entries.size() << "\n";
  for (const SsaMapEntry& e : map.entries) {
    out << e.component + 1 << " " << e.variable << " " << e.index + 1 << " " << (e.shocked ? 1 : 0) << " ! "
        << solution.ComponentName(e.component) << "\n";
  }
  return out.str();
}

bool ParseSsaMap(std::string_view text, const std::string& fileName, SsaMap& map, ErrorText& errorText) {
  map = SsaMap{};
  std::size_t lineNo = 0;
  std::size_t pos = 0;
  auto fail = [&](const std::string& message) {
    return Fail(errorText, fileName + ":" + std::to_string(lineNo) + ": error: " + message);
  };
  // The heading lines in their order, then the entries.
  static const char* const kKeys[] = {"solution", "stamp", "components", "selection", "entries"};
  std::size_t key = 0;
  bool formatSeen = false;
  std::int64_t expected = -1;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    std::string line(text.substr(pos, end - pos));
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '!') {
      continue;
    }
    if (!formatSeen) {
      if (trimmed != kMapFormat) {
        return fail("not a sensitivity map file (its first line is not \"" + std::string(kMapFormat) + "\")");
      }
      formatSeen = true;
      continue;
    }
    if (key < std::size(kKeys)) {
      const std::size_t blank = trimmed.find(' ');
      const std::string word = trimmed.substr(0, blank);
      const std::string value = blank == std::string::npos ? std::string() : Trim(trimmed.substr(blank + 1));
      if (word != kKeys[key]) {
        return fail("expected the line \"" + std::string(kKeys[key]) + " ...\"");
      }
      bool ok = true;
      switch (key) {
      case 0:
        map.solutionFile = value;
        break;
      case 1:
        map.stamp = value;
        break;
      case 2:
        ok = ToInt(value, map.components) && map.components >= 0;
        break;
      case 3:
        ok = value == "exogenous" || value == "shocked";
        map.shockedOnly = value == "shocked";
        break;
      default:
        ok = ToInt(value, expected) && expected >= 0 && expected <= map.components;
        break;
      }
      if (!ok) {
        return fail("unreadable value \"" + value + "\" of \"" + kKeys[key] + "\"");
      }
      ++key;
      continue;
    }
    const std::size_t comment = trimmed.find('!');
    const std::vector<std::string> words = Words(std::string_view(trimmed).substr(0, comment));
    SsaMapEntry e;
    std::int64_t component = 0;
    std::int64_t index = 0;
    std::int64_t shocked = 0;
    if (words.size() != 4 || !ToInt(words[0], component) || !ToInt(words[2], index) ||
        !ToInt(words[3], shocked) || component < 1 || component > map.components || index < 1 ||
        (shocked != 0 && shocked != 1)) {
      return fail("unreadable map entry \"" + trimmed + "\"");
    }
    if (static_cast<std::int64_t>(map.entries.size()) >= expected) {
      return fail("more entries than the " + std::to_string(expected) + " announced");
    }
    e.component = component - 1;
    e.variable = words[1];
    e.index = index - 1;
    e.shocked = shocked == 1;
    map.entries.push_back(std::move(e));
  }
  if (key < std::size(kKeys)) {
    return fail(!formatSeen ? "the map file is empty"
                            : "the map ends before its \"" + std::string(kKeys[key]) + "\" line");
  }
  if (static_cast<std::int64_t>(map.entries.size()) != expected) {
    return fail("the map announces " + std::to_string(expected) + " entries but holds " +
                std::to_string(map.entries.size()));
  }
  return true;
}

bool ReadSsaMap(const std::string& path, SsaMap& map, ErrorText& errorText) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return Fail(errorText, "error: cannot open the map file " + path);
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return ParseSsaMap(bytes.str(), path, map, errorText);
}

bool CheckSsaMap(const SsaMap& map, const std::string& mapFile, const Solution& solution,
                 ErrorText& errorText) {
  const std::string prefix =
      "error: the map file " + mapFile + " does not belong to the solution " + solution.fileName + ": ";
  if (Trim(map.stamp) != Trim(solution.stamp)) {
    return Fail(errorText, prefix + "it was made for the model stamped \"" + map.stamp + "\"");
  }
  if (map.components != solution.NumComponents()) {
    return Fail(errorText, prefix + "it counts " + std::to_string(map.components) +
                               " components, the solution " + std::to_string(solution.NumComponents()));
  }
  for (const SsaMapEntry& e : map.entries) {
    const SolutionVariable& var =
        solution.variables[static_cast<std::size_t>(solution.VariableOf(e.component))];
    if (!SameText(var.name, e.variable) || e.component - var.offset != e.index) {
      return Fail(errorText, prefix + "its component " + std::to_string(e.component + 1) + " is " +
                                 e.variable + " number " + std::to_string(e.index + 1) +
                                 " but in the solution it is " + solution.ComponentName(e.component));
    }
  }
  return true;
}

} // namespace pelorin::conv
