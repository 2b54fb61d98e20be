#include "explorer/solution_explorer.h"

#include "explorer/array_header.h"
#include "mrklang/parser.h"
#include "platform/paths.h"
#include "platform/strings.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

namespace pelorin::explore {

namespace {

constexpr std::int64_t kMaxSourceBytes = 16 << 20;

bool ReadText(const std::string& path, std::string& text) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size > static_cast<std::uintmax_t>(kMaxSourceBytes)) {
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  text = out.str();
  return static_cast<bool>(in) || in.eof();
}

std::string SetList(const mrk::Model& model, const std::vector<int>& sets) {
  if (sets.empty()) {
    return {};
  }
  std::string text = "(";
  for (std::size_t i = 0; i < sets.size(); ++i) {
    text += (i > 0 ? "," : "") + model.sets[static_cast<std::size_t>(sets[i])].name;
  }
  return text + ")";
}

std::int64_t Product(const std::vector<std::int64_t>& sizes) {
  std::int64_t n = 1;
  for (std::int64_t s : sizes) {
    n *= s;
  }
  return n;
}

const std::vector<std::string> kNoElements;

} // namespace

void SolutionExplorer::Reset() {
  solution_ = conv::Solution{};
  notes_.clear();
  sourceFile_.clear();
  source_.clear();
  model_ = mrk::Model{};
  hasModel_ = hasCoefficients_ = false;
  coefficientFile_.clear();
  coefficientData_.reset();
  setOfSolution_.clear();
  variableOfSolution_.clear();
  coefficientHeads_.clear();
  pre_.clear();
  post_.clear();
  coefficientValues_.clear();
  before_ = after_ = ModelValues{};
}

void SolutionExplorer::ReadLevels(const std::string& solutionFile) {
  // The levels in double precision where the file holds them so; the reader's single precision otherwise.
  const std::int64_t n = solution_.NumComponents();
  for (auto [name, target, fallback] :
       {std::tuple{"PREL", &pre_, &solution_.pre}, std::tuple{"POSL", &post_, &solution_.post}}) {
    std::unique_ptr<THeadRecz> head;
    ErrorText ignored;
    HarReadOptions options;
    options.keepDoubles = true;
    if (ReadHeaderFromHarFile(solutionFile, name, false, head, ignored, options) && head &&
        static_cast<std::int64_t>(head->doubles.size()) == n) {
      *target = head->doubles;
    } else {
      target->assign(fallback->begin(), fallback->end());
    }
  }
}

bool SolutionExplorer::Open(const std::string& solutionFile, ErrorText& errorText) {
  Reset();
  if (!conv::ReadSolution(solutionFile, solution_, errorText)) {
    return AddTag(errorText, " [SolutionExplorer]");
  }
  ReadLevels(solutionFile);
  FindSource(solutionFile);
  if (hasModel_) {
    ReadCoefficients(solutionFile);
  }
  return true;
}

void SolutionExplorer::FindSource(const std::string& solutionFile) {
  std::unique_ptr<THeadRecz> named;
  ErrorText ignored;
  std::string recorded;
  if (ReadHeaderFromHarFile(solutionFile, "MRKF", false, named, ignored) && named &&
      named->headType == "1C" && named->numStrings >= 1) {
    recorded = Trim(named->strings[1]);
  }
  const std::string folder = ExtractFilePath(solutionFile);
  std::vector<std::string> candidates;
  if (!recorded.empty()) {
    candidates.push_back(recorded);
    candidates.push_back(JoinPath(folder, ExtractFileName(recorded)));
  }
  const std::string ownName = solution_.modelName + ".mrk";
  candidates.push_back(JoinPath(folder, ownName));
  for (const std::string& candidate : candidates) {
    const std::optional<std::string> found = FindPathIgnoringCase(candidate);
    std::error_code ec;
    if (found && std::filesystem::is_regular_file(*found, ec) && ReadText(*found, source_)) {
      sourceFile_ = *found;
      break;
    }
  }
  const std::string shownName = recorded.empty() ? ownName : recorded;
  if (sourceFile_.empty()) {
    source_.clear();
    notes_.push_back("The model source " + shownName +
                     " was not found beside the model or the solution, so the model's text and its equations "
                     "cannot be shown.");
    return;
  }
  std::vector<mrk::Diagnostic> errors;
  if (!mrk::ParseModel(source_, model_, errors)) {
    notes_.push_back(
        "The model source " + sourceFile_ + " does not compile (" +
        (errors.empty() ? std::string("no reason given") : mrk::FormatDiagnostic(sourceFile_, errors[0])) +
        "), so its names cannot be followed.");
    model_ = mrk::Model{};
    return;
  }
  hasModel_ = MatchModel();
}

bool SolutionExplorer::MatchModel() {
  auto refuse = [&](const std::string& why) {
    notes_.push_back("The model source " + sourceFile_ + " is not the model of this solution (" + why +
                     "), so its names cannot be followed.");
    return false;
  };
  setOfSolution_.assign(model_.sets.size(), -1);
  before_.setElements.assign(model_.sets.size(), {});
  for (std::size_t s = 0; s < model_.sets.size(); ++s) {
    for (std::size_t k = 0; k < solution_.sets.size(); ++k) {
      if (SameText(solution_.sets[k].name, model_.sets[s].name)) {
        setOfSolution_[s] = static_cast<int>(k);
        before_.setElements[s] = solution_.sets[k].elements;
        break;
      }
    }
    if (setOfSolution_[s] < 0) {
      return refuse("the solution has no set " + model_.sets[s].name);
    }
  }
  before_.IndexElements();
  variableOfSolution_.assign(model_.variables.size(), -1);
  before_.variables.assign(model_.variables.size(), nullptr);
  after_ = before_;
  after_.IndexElements();
  for (std::size_t v = 0; v < model_.variables.size(); ++v) {
    const mrk::Variable& var = model_.variables[v];
    std::int64_t size = 1;
    for (int s : var.sets) {
      size *= static_cast<std::int64_t>(before_.setElements[static_cast<std::size_t>(s)].size());
    }
    for (std::size_t k = 0; k < solution_.variables.size(); ++k) {
      const conv::SolutionVariable& sv = solution_.variables[k];
      if (!SameText(sv.name, var.name)) {
        continue;
      }
      if (sv.size != size || sv.offset < 0 || sv.offset + sv.size > static_cast<std::int64_t>(pre_.size())) {
        return refuse("variable " + var.name + " has " + std::to_string(sv.size) +
                      " components in the solution");
      }
      variableOfSolution_[v] = static_cast<int>(k);
      before_.variables[v] = pre_.data() + sv.offset;
      after_.variables[v] = post_.data() + sv.offset;
    }
    if (variableOfSolution_[v] < 0) {
      return refuse("the solution has no variable " + var.name);
    }
  }
  before_.coefficients.assign(model_.coefficients.size(), nullptr);
  after_.coefficients = before_.coefficients;
  return true;
}

void SolutionExplorer::ReadCoefficients(const std::string& solutionFile) {
  const std::string wanted = ChangeFileExt(solutionFile, ".slc");
  const std::optional<std::string> path = FindPathIgnoringCase(wanted);
  std::error_code ec;
  if (!path || !std::filesystem::is_regular_file(*path, ec)) {
    notes_.push_back(
        "The coefficient file " + wanted +
        " is missing, so the values of coefficients and the terms of equations cannot be shown.");
    return;
  }
  coefficientFile_ = *path;
  auto refuse = [&](const std::string& why) {
    notes_.push_back("The coefficient file " + coefficientFile_ + " cannot be used: " + why);
    coefficientData_.reset();
  };
  std::unique_ptr<HarData> data;
  bool skipped = false;
  ErrorText inner;
  HarReadOptions options;
  options.keepDoubles = true;
  if (!ReadHarFile(coefficientFile_, false, false, data, skipped, inner, options)) {
    return refuse(inner);
  }
  coefficientData_ = std::move(data);
  const HarData& har = *coefficientData_;
  const THeadRecz* format = har.Find("SLFM");
  const THeadRecz* names = har.Find("CNAM");
  const THeadRecz* heads = har.Find("CHDR");
  if (format == nullptr || format->headType != "1C" || format->numStrings < 1 ||
      Trim(format->strings[1]) != "PELORIN COEFFICIENTS 1") {
    return refuse("it is not a coefficient file.");
  }
  const bool noCoefficients = model_.coefficients.empty();
  if (!noCoefficients && (names == nullptr || heads == nullptr || names->headType != "1C" ||
                          heads->headType != "1C" || names->numStrings != heads->numStrings)) {
    return refuse("its directory of coefficients (CNAM, CHDR) is damaged.");
  }
  std::vector<const THeadRecz*> found(model_.coefficients.size(), nullptr);
  for (std::size_t c = 0; c < model_.coefficients.size(); ++c) {
    const mrk::Coefficient& coef = model_.coefficients[c];
    std::int64_t count = 1;
    for (int s : coef.sets) {
      count *= static_cast<std::int64_t>(before_.setElements[static_cast<std::size_t>(s)].size());
    }
    for (std::int64_t k = 1; k <= names->numStrings; ++k) {
      if (!SameText(Trim(names->strings[static_cast<std::size_t>(k)]), coef.name)) {
        continue;
      }
      const std::string header = Trim(heads->strings[static_cast<std::size_t>(k)]);
      const THeadRecz* head = header.empty() ? nullptr : har.Find(header);
      if (header.empty()) {
        break; // left out of the file (too many arguments)
      }
      if (head == nullptr || !head->isReal || head->values.Count() != 2 * count) {
        return refuse("the values of coefficient " + coef.name + " do not fit this solution's sets.");
      }
      found[c] = head;
      break;
    }
  }
  coefficientHeads_ = found;
  coefficientValues_.assign(found.size(), {});
  for (std::size_t c = 0; c < found.size(); ++c) {
    if (found[c] == nullptr) {
      continue;
    }
    // Double precision as the file holds it (a file of single reals gives its singles).
    const THeadRecz& head = *found[c];
    coefficientValues_[c] =
        head.doubles.size() == static_cast<std::size_t>(head.values.Count())
            ? head.doubles
            : std::vector<double>(head.values.Data(), head.values.Data() + head.values.Count());
    // The equations hold every coefficient at its value before the simulation, at both ends of the path.
    before_.coefficients[c] = after_.coefficients[c] = coefficientValues_[c].data();
  }
  hasCoefficients_ = true;
}

const std::vector<std::string>& SolutionExplorer::SetElements(int set) const {
  return set >= 0 && static_cast<std::size_t>(set) < before_.setElements.size()
             ? before_.setElements[static_cast<std::size_t>(set)]
             : kNoElements;
}

bool SolutionExplorer::SetHeader(int set, std::shared_ptr<const THeadRecz>& head,
                                 ErrorText& errorText) const {
  if (!hasModel_ || set < 0 || static_cast<std::size_t>(set) >= model_.sets.size()) {
    return Fail(errorText, "No such set", " [SetHeader]");
  }
  const mrk::SetDecl& decl = model_.sets[static_cast<std::size_t>(set)];
  std::unique_ptr<THeadRecz> made;
  if (!MakeStringsHeader(decl.name.substr(0, 4), decl.name + " # " + decl.label + " #", SetElements(set),
                         made, errorText)) {
    return AddTag(errorText, " [SetHeader]");
  }
  head = std::move(made);
  return true;
}

bool SolutionExplorer::CoefficientHeader(int coefficient, std::shared_ptr<const THeadRecz>& head,
                                         ErrorText& errorText) const {
  const char* tag = " [CoefficientHeader]";
  if (!hasModel_ || coefficient < 0 || static_cast<std::size_t>(coefficient) >= model_.coefficients.size()) {
    return Fail(errorText, "No such coefficient", tag);
  }
  const std::string& name = model_.coefficients[static_cast<std::size_t>(coefficient)].name;
  if (!hasCoefficients_) {
    return Fail(errorText, "The values of " + name + " are in the coefficient file, which is missing.", tag);
  }
  const THeadRecz* found = coefficientHeads_[static_cast<std::size_t>(coefficient)];
  if (found == nullptr) {
    return Fail(errorText, "The coefficient file does not hold " + name + " (it has 7 arguments).", tag);
  }
  head = std::shared_ptr<const THeadRecz>(coefficientData_, found);
  return true;
}

bool SolutionExplorer::VariableHeader(int variable, std::shared_ptr<const THeadRecz>& head,
                                      ErrorText& errorText) const {
  if (!hasModel_ || variable < 0 || static_cast<std::size_t>(variable) >= model_.variables.size()) {
    return Fail(errorText, "No such variable", " [VariableHeader]");
  }
  return SolutionVariableHeader(variableOfSolution_[static_cast<std::size_t>(variable)], head, errorText);
}

bool SolutionExplorer::SolutionVariableHeader(int k, std::shared_ptr<const THeadRecz>& head,
                                              ErrorText& errorText) const {
  const char* tag = " [VariableHeader]";
  if (k < 0 || static_cast<std::size_t>(k) >= solution_.variables.size()) {
    return Fail(errorText, "No such variable", tag);
  }
  const conv::SolutionVariable& sv = solution_.variables[static_cast<std::size_t>(k)];
  std::vector<ArrayDim> dims;
  std::vector<std::int64_t> sizes;
  for (int s : sv.sets) {
    const conv::SolutionSet& set = solution_.sets[static_cast<std::size_t>(s)];
    dims.push_back({set.name, set.elements});
    sizes.push_back(static_cast<std::int64_t>(set.elements.size()));
  }
  const bool withLevels = dims.size() < 7;
  const std::int64_t n = Product(sizes);
  std::vector<float> values(solution_.cumulative.begin() + sv.offset,
                            solution_.cumulative.begin() + sv.offset + n);
  if (withLevels) {
    dims.push_back(
        {kResultSet, {sv.percent ? "% change" : "change", "pre level", "post level", "level change"}});
    for (const std::vector<double>* levels : {&pre_, &post_}) {
      for (std::int64_t i = 0; i < n; ++i) {
        values.push_back(static_cast<float>((*levels)[static_cast<std::size_t>(sv.offset + i)]));
      }
    }
    for (std::int64_t i = 0; i < n; ++i) {
      values.push_back(static_cast<float>(solution_.LevelChange(sv.offset + i)));
    }
  }
  std::unique_ptr<THeadRecz> made;
  if (!MakeArrayHeader(sv.name.substr(0, 4), sv.name + " # " + sv.description + " #", dims, values, made,
                       errorText)) {
    return AddTag(errorText, tag);
  }
  head = std::move(made);
  return true;
}

bool SolutionExplorer::Equation(int equation, const std::vector<int>& elements, EquationValues& values,
                                ErrorText& errorText) const {
  if (!hasModel_) {
    return Fail(errorText, "The model source is not available.", " [Equation]");
  }
  if (!EvaluateEquation(model_, equation, elements, before_, after_, values, errorText)) {
    if (!hasCoefficients_) {
      errorText += "\r\nThe coefficient file, which holds the values of the coefficients, is missing.";
    }
    return AddTag(errorText, " [Equation]");
  }
  return true;
}

std::string SolutionExplorer::Describe(const NameRef& ref) const {
  const auto at = [](const auto& list, int i) -> const auto& {
    return list[static_cast<std::size_t>(i)];
  };
  switch (ref.kind) {
  case NameKind::Set: {
    const mrk::SetDecl& s = at(model_.sets, ref.index);
    return "Set " + s.name + (s.label.empty() ? "" : ": " + s.label) + " (" +
           std::to_string(SetElements(ref.index).size()) + " elements)";
  }
  case NameKind::Coefficient: {
    const mrk::Coefficient& c = at(model_.coefficients, ref.index);
    return "Coefficient " + c.name + SetList(model_, c.sets) +
           (c.description.empty() ? "" : ": " + c.description);
  }
  case NameKind::Variable: {
    const mrk::Variable& v = at(model_.variables, ref.index);
    return std::string(v.percent ? "Variable (percentage change) " : "Variable (change) ") + v.name +
           SetList(model_, v.sets) + (v.description.empty() ? "" : ": " + v.description);
  }
  case NameKind::Equation: {
    const mrk::Equation& e = at(model_.equations, ref.index);
    return "Equation " + e.name + SetList(model_, e.lhs.domain) +
           (e.description.empty() ? "" : ": " + e.description);
  }
  case NameKind::File: {
    const mrk::LogicalFile& f = at(model_.files, ref.index);
    return "Logical file " + f.name + (f.description.empty() ? "" : ": " + f.description);
  }
  case NameKind::None:
    break;
  }
  return {};
}

} // namespace pelorin::explore
