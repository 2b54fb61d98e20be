#include "praxola/solution_reader.h"

#include "datafiles/har_data.h"
#include "datafiles/har_writer.h"
#include "platform/paths.h"
#include "platform/strings.h"

#include <filesystem>
#include <limits>
#include <memory>
#include <set>

namespace pelorin::conv {

namespace {

constexpr const char* kFormat = "PELORIN SOLUTION 1";
constexpr std::size_t kMaxSetName = 12;
constexpr std::size_t kMaxElementName = 12;
constexpr std::size_t kMaxVariableName = 15;

/// Reads the headers of one file and turns each into checked vectors; the first problem is kept.
class Headers {
public:
  Headers(const HarData& data, std::string fileName) : data_(data), fileName_(std::move(fileName)) {}

  bool Bad(const std::string& message, ErrorText& errorText) const {
    return Fail(errorText, "error: the solution file " + fileName_ + " is damaged: " + message);
  }

  bool Strings(const char* name, std::vector<std::string>& out, ErrorText& errorText) const {
    HarHeader h;
    if (!Get(name, "1C", h, errorText)) {
      return false;
    }
    out.clear();
    for (const std::string& s : h.strings) {
      out.push_back(TrimRight(s));
    }
    return true;
  }

  /// An integer matrix of the given shape (rows < 0: any number of rows), column by column.
  bool Ints(const char* name, std::int64_t rows, std::int64_t cols, std::vector<std::int32_t>& out,
            std::int64_t& gotRows, ErrorText& errorText) const {
    HarHeader h;
    if (!Get(name, "2I", h, errorText)) {
      return false;
    }
    if ((rows >= 0 && h.rows != rows) || h.cols != cols ||
        static_cast<std::int64_t>(h.ints.size()) != h.rows * h.cols) {
      return Bad("header " + std::string(name) + " has shape " + std::to_string(h.rows) + " x " +
                     std::to_string(h.cols) + " (expected " + (rows >= 0 ? std::to_string(rows) : "n") +
                     " x " + std::to_string(cols) + ")",
                 errorText);
    }
    gotRows = h.rows;
    out = std::move(h.ints);
    return true;
  }

  /// A real array of exactly `count` values.
  bool Reals(const char* name, std::int64_t count, std::vector<float>& out, ErrorText& errorText) const {
    const THeadRecz* head = data_.Find(name);
    if (head == nullptr || !head->isReal) {
      return Bad("header " + std::string(name) + " is missing or not a real array", errorText);
    }
    if (head->numValues != count || head->values.Count() != count) {
      return Bad("header " + std::string(name) + " holds " + std::to_string(head->numValues) +
                     " values (expected " + std::to_string(count) + ")",
                 errorText);
    }
    out.assign(head->values.Data(), head->values.Data() + count);
    return true;
  }

  bool Has(const char* name) const { return data_.Find(name) != nullptr; }

private:
  bool Get(const char* name, const char* type, HarHeader& h, ErrorText& errorText) const {
    const THeadRecz* head = data_.Find(name);
    if (head == nullptr || head->headType != type) {
      return Bad("header " + std::string(name) + " is missing or not of type " + type, errorText);
    }
    h = HarHeaderFromHead(*head);
    return true;
  }

  const HarData& data_;
  std::string fileName_;
};

/// Lists written with one empty entry (or one zero row) when there is nothing to hold.
std::size_t CountOf(const std::vector<std::string>& list) {
  return list.size() == 1 && list[0].empty() ? 0 : list.size();
}

bool CheckName(const Headers& h, const std::string& what, const std::string& name, std::size_t maxLength,
               ErrorText& errorText) {
  if (name.empty() || name.size() > maxLength || name.find_first_of(" \t") != std::string::npos) {
    return h.Bad(what + " \"" + name + "\" is empty, longer than " + std::to_string(maxLength) +
                     " characters or holds blanks",
                 errorText);
  }
  return true;
}

bool ReadSets(const Headers& h, Solution& s, ErrorText& errorText) {
  std::vector<std::string> names, labels, elements;
  if (!h.Strings("SNAM", names, errorText) || !h.Strings("SLAB", labels, errorText) ||
      !h.Strings("SELM", elements, errorText)) {
    return false;
  }
  const std::size_t numSets = CountOf(names);
  std::vector<std::int32_t> sizes;
  std::int64_t rows = 0;
  if (!h.Ints("SSIZ", std::max<std::int64_t>(static_cast<std::int64_t>(numSets), 1), 1, sizes, rows,
              errorText)) {
    return false;
  }
  if (labels.size() != names.size()) {
    return h.Bad("SLAB holds " + std::to_string(labels.size()) + " labels for " +
                     std::to_string(names.size()) + " sets",
                 errorText);
  }
  std::int64_t total = 0;
  for (std::size_t i = 0; i < numSets; ++i) {
    if (sizes[i] < 0 || sizes[i] > static_cast<std::int64_t>(elements.size()) - total) {
      return h.Bad("set " + names[i] + " has size " + std::to_string(sizes[i]) +
                       " but the element list SELM is too short",
                   errorText);
    }
    total += sizes[i];
  }
  if (total != static_cast<std::int64_t>(CountOf(elements))) {
    return h.Bad("the set sizes add up to " + std::to_string(total) + " but SELM holds " +
                     std::to_string(elements.size()) + " elements",
                 errorText);
  }
  std::set<std::string> seen;
  std::size_t next = 0;
  for (std::size_t i = 0; i < numSets; ++i) {
    SolutionSet set;
    set.name = names[i];
    set.label = Trim(labels[i]);
    if (!CheckName(h, "set name", set.name, kMaxSetName, errorText)) {
      return false;
    }
    if (!seen.insert(UpperCase(set.name)).second) {
      return h.Bad("set " + set.name + " is listed twice", errorText);
    }
    for (std::int32_t e = 0; e < sizes[i]; ++e) {
      const std::string element = Trim(elements[next++]);
      if (!CheckName(h, "element of set " + set.name, element, kMaxElementName, errorText)) {
        return false;
      }
      set.elements.push_back(element);
    }
    s.sets.push_back(std::move(set));
  }
  std::vector<std::int32_t> pairs;
  if (!h.Ints("SSUB", -1, 2, pairs, rows, errorText)) {
    return false;
  }
  for (std::int64_t r = 0; r < rows; ++r) {
    const std::int32_t small = pairs[static_cast<std::size_t>(r)];
    const std::int32_t big = pairs[static_cast<std::size_t>(rows + r)];
    if (small == 0 && big == 0 && rows == 1) {
      break;
    }
    const auto n = static_cast<std::int32_t>(numSets);
    if (small < 1 || small > n || big < 1 || big > n || small == big) {
      return h.Bad("subset pair " + std::to_string(r + 1) + " names sets " + std::to_string(small) + " and " +
                       std::to_string(big),
                   errorText);
    }
    s.subsets.emplace_back(small - 1, big - 1);
  }
  return true;
}

bool ReadVariables(const Headers& h, Solution& s, std::int64_t& numComponents, ErrorText& errorText) {
  std::vector<std::string> names, descriptions, types;
  if (!h.Strings("VNAM", names, errorText) || !h.Strings("VDES", descriptions, errorText) ||
      !h.Strings("VTYP", types, errorText)) {
    return false;
  }
  const std::size_t nv = CountOf(names);
  if (nv == 0) {
    return h.Bad("it holds no variables", errorText);
  }
  if (descriptions.size() != nv || types.size() != nv) {
    return h.Bad("VNAM, VDES and VTYP hold " + std::to_string(nv) + ", " +
                     std::to_string(descriptions.size()) + " and " + std::to_string(types.size()) +
                     " entries",
                 errorText);
  }
  const auto rows = static_cast<std::int64_t>(nv);
  std::vector<std::int32_t> nargs, args, sizes, offsets;
  std::int64_t got = 0;
  if (!h.Ints("VNAR", rows, 1, nargs, got, errorText) || !h.Ints("VARG", rows, 7, args, got, errorText) ||
      !h.Ints("VSIZ", rows, 1, sizes, got, errorText) || !h.Ints("VOFF", rows, 1, offsets, got, errorText)) {
    return false;
  }
  std::set<std::string> seen;
  std::int64_t next = 0;
  for (std::size_t v = 0; v < nv; ++v) {
    SolutionVariable var;
    var.name = names[v];
    var.description = Trim(descriptions[v]);
    if (!CheckName(h, "variable name", var.name, kMaxVariableName, errorText)) {
      return false;
    }
    if (!seen.insert(LowerCase(var.name)).second) {
      return h.Bad("variable " + var.name + " is listed twice", errorText);
    }
    const std::string type = Trim(types[v]);
    if (type != "p" && type != "c") {
      return h.Bad("variable " + var.name + " has change type \"" + type + "\"", errorText);
    }
    var.percent = type == "p";
    if (nargs[v] < 0 || nargs[v] > 7) {
      return h.Bad("variable " + var.name + " has " + std::to_string(nargs[v]) + " arguments", errorText);
    }
    std::int64_t size = 1;
    for (std::int32_t k = 0; k < nargs[v]; ++k) {
      const std::int32_t set = args[static_cast<std::size_t>(k) * nv + v];
      if (set < 1 || set > static_cast<std::int32_t>(s.sets.size())) {
        return h.Bad("variable " + var.name + " has argument set number " + std::to_string(set), errorText);
      }
      var.sets.push_back(set - 1);
      size *= static_cast<std::int64_t>(s.sets[static_cast<std::size_t>(set - 1)].elements.size());
      if (size > std::numeric_limits<std::int32_t>::max()) {
        return h.Bad("variable " + var.name + " is too large", errorText);
      }
    }
    if (sizes[v] != size || offsets[v] != next + 1) {
      return h.Bad("variable " + var.name + " has " + std::to_string(sizes[v]) + " components from number " +
                       std::to_string(offsets[v]) + " (its sets give " + std::to_string(size) +
                       " components from number " + std::to_string(next + 1) + ")",
                   errorText);
    }
    var.offset = next;
    var.size = size;
    next += size;
    s.variables.push_back(std::move(var));
  }
  numComponents = next;
  return true;
}

bool ReadResults(const Headers& h, Solution& s, std::int64_t n, ErrorText& errorText) {
  if (!h.Reals("CUMR", n, s.cumulative, errorText) || !h.Reals("PREL", n, s.pre, errorText) ||
      !h.Reals("POSL", n, s.post, errorText)) {
    return false;
  }
  std::vector<std::int32_t> exog;
  std::int64_t got = 0;
  if (!h.Ints("EXOG", n, 1, exog, got, errorText)) {
    return false;
  }
  s.exogenous.resize(static_cast<std::size_t>(n));
  for (std::int64_t k = 0; k < n; ++k) {
    const std::int32_t e = exog[static_cast<std::size_t>(k)];
    if (e != 0 && e != 1) {
      return h.Bad("EXOG holds " + std::to_string(e) + " for component " + std::to_string(k + 1), errorText);
    }
    s.exogenous[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(e);
  }

  std::vector<std::int32_t> shocks;
  std::int64_t rows = 0;
  if (!h.Ints("SHKC", -1, 2, shocks, rows, errorText)) {
    return false;
  }
  std::vector<float> values;
  if (!h.Reals("SHKV", rows, values, errorText)) {
    return false;
  }
  for (std::int64_t r = 0; r < rows; ++r) {
    const std::int32_t component = shocks[static_cast<std::size_t>(r)];
    const std::int32_t kind = shocks[static_cast<std::size_t>(rows + r)];
    if (component == 0 && rows == 1) {
      break;
    }
    if (component < 1 || component > n || kind < 0 || kind > 3) {
      return h.Bad("shock " + std::to_string(r + 1) + " names component " + std::to_string(component) +
                       " with kind " + std::to_string(kind),
                   errorText);
    }
    if (s.exogenous[static_cast<std::size_t>(component - 1)] == 0) {
      return h.Bad("shock " + std::to_string(r + 1) + " names an endogenous component", errorText);
    }
    s.shocks.push_back({component - 1, static_cast<ShockKind>(kind), values[static_cast<std::size_t>(r)]});
  }

  std::vector<std::int32_t> count;
  if (!h.Ints("STNM", 1, 1, count, got, errorText)) {
    return false;
  }
  const std::int32_t nsub = count[0];
  if (nsub < 0 || nsub > 999) {
    return h.Bad("STNM gives " + std::to_string(nsub) + " subtotals", errorText);
  }
  if (nsub > 0) {
    if (!h.Strings("STDS", s.subtotalDescriptions, errorText)) {
      return false;
    }
    if (static_cast<std::int32_t>(s.subtotalDescriptions.size()) != nsub) {
      return h.Bad("STDS holds " + std::to_string(s.subtotalDescriptions.size()) + " descriptions for " +
                       std::to_string(nsub) + " subtotals",
                   errorText);
    }
    for (std::string& d : s.subtotalDescriptions) {
      d = Trim(d);
    }
    std::vector<float> all;
    if (!h.Reals("SUBT", n * nsub, all, errorText)) {
      return false;
    }
    for (std::int32_t k = 0; k < nsub; ++k) {
      const auto begin = all.begin() + static_cast<std::ptrdiff_t>(k) * n;
      s.subtotals.emplace_back(begin, begin + n);
    }
  }
  return true;
}

} // namespace

int Solution::VariableOf(std::int64_t component) const {
  int lo = 0;
  int hi = static_cast<int>(variables.size()) - 1;
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (variables[static_cast<std::size_t>(mid)].offset <= component) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  return lo;
}

std::vector<std::string> Solution::ElementsOf(const SolutionVariable& variable, std::int64_t index) const {
  std::vector<std::string> names;
  for (int set : variable.sets) {
    const auto& elements = sets[static_cast<std::size_t>(set)].elements;
    const auto size = static_cast<std::int64_t>(elements.size());
    names.push_back(elements[static_cast<std::size_t>(index % size)]);
    index /= size;
  }
  return names;
}

std::string Solution::ComponentName(std::int64_t component) const {
  const SolutionVariable& var = variables[static_cast<std::size_t>(VariableOf(component))];
  std::string text = var.name;
  const std::vector<std::string> elements = ElementsOf(var, component - var.offset);
  for (std::size_t i = 0; i < elements.size(); ++i) {
    text += (i == 0 ? "(\"" : ",\"") + elements[i] + "\"";
  }
  return elements.empty() ? text : text + ")";
}

double Solution::LevelChange(std::int64_t component) const {
  const auto k = static_cast<std::size_t>(component);
  const SolutionVariable& var = variables[static_cast<std::size_t>(VariableOf(component))];
  return var.percent ? static_cast<double>(pre[k]) * static_cast<double>(cumulative[k]) / 100.0
                     : static_cast<double>(cumulative[k]);
}

bool ReadSolution(const std::string& path, Solution& solution, ErrorText& errorText) {
  solution = Solution{};
  solution.fileName = path;
  std::unique_ptr<HarData> data;
  bool skipped = false;
  ErrorText inner;
  if (!ReadHarFile(path, false, false, data, skipped, inner)) {
    return Fail(errorText, "error: cannot read the solution file " + path + ": " + inner);
  }
  const Headers h(*data, path);
  std::vector<std::string> format;
  if (!h.Has("SLFM") || !h.Strings("SLFM", format, inner) || format.empty() || format[0] != kFormat) {
    return Fail(errorText, "error: " + path +
                               " is not a solution file (its format header SLFM does not say \"" + kFormat +
                               "\")");
  }
  std::vector<std::string> stamp, model, methodName;
  if (!h.Strings("STMP", stamp, errorText) || !h.Strings("MODL", model, errorText) ||
      !h.Strings("VDSC", solution.verbalDescription, errorText) ||
      !h.Strings("METN", methodName, errorText)) {
    return false;
  }
  if (stamp.size() != 1 || model.size() != 2 || methodName.size() != 1) {
    return h.Bad("STMP, MODL or METN holds the wrong number of strings", errorText);
  }
  solution.stamp = stamp[0];
  solution.modelName = Trim(model[0]);
  solution.commandFile = Trim(model[1]);
  solution.methodName = Trim(methodName[0]);
  std::vector<std::int32_t> method;
  std::int64_t got = 0;
  if (!h.Ints("METH", 1, 8, method, got, errorText)) {
    return false;
  }
  std::copy(method.begin(), method.end(), solution.method.begin());
  std::int64_t n = 0;
  if (!ReadSets(h, solution, errorText) || !ReadVariables(h, solution, n, errorText) ||
      !ReadResults(h, solution, n, errorText)) {
    solution = Solution{};
    return false;
  }
  return true;
}

bool ReadNamedSolution(const std::string& answer, std::string& stem, Solution& solution,
                       ErrorText& errorText) {
  stem = SameText(ExtractFileExt(answer), ".sl4") ? ChangeFileExt(answer, "") : answer;
  std::string path = stem + ".sl4";
  if (const std::optional<std::string> found = FindPathIgnoringCase(path)) {
    path = *found;
  }
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return Fail(errorText, "error: the solution file " + path + " does not exist");
  }
  return ReadSolution(path, solution, errorText);
}

} // namespace pelorin::conv
