// The coefficient file: one labelled header per coefficient, over its sets and the before/after dimension.

#include "engine/slc_file.h"

#include "datafiles/har_writer.h"
#include "platform/strings.h"

#include <set>

namespace pelorin::engine {

namespace {

// Names the file's own headers take; a coefficient never gets one of them.
const std::set<std::string>& ReservedNames() {
  static const std::set<std::string> names{"SLFM", "STMP", "MODL", "CNAM", "CHDR"};
  return names;
}

std::string LongName(const mrk::Coefficient& c) {
  std::string text = c.name + " # " + c.description;
  if (text.size() > 68) {
    text.resize(68);
  }
  return text + " #";
}

} // namespace

std::vector<std::string> CoefficientHeaderNames(const mrk::Model& model) {
  std::set<std::string> taken = ReservedNames();
  std::vector<std::string> names;
  for (const mrk::Coefficient& c : model.coefficients) {
    std::string base = UpperCase(c.name.substr(0, 4));
    if (base.rfind("XX", 0) == 0) {
      base[0] = 'C';
    }
    // Digits replace the last characters until the name is free: SHR, SHR1, ..., SH10, ..., 9999.
    std::string name = base;
    for (int n = 1; taken.count(name) != 0; ++n) {
      const std::string digits = std::to_string(n);
      name = base.substr(0, digits.size() >= 4 ? 0 : 4 - digits.size()) + digits;
    }
    taken.insert(name);
    names.push_back(name);
  }
  return names;
}

bool LoadUpdatedRuntime(const mrk::Model& model, const std::vector<const DataFile*>& inputs,
                        const std::vector<std::string>& inputNames, const std::vector<int>& updatedFiles,
                        const std::vector<std::string>& updatedPaths, ModelRuntime& after,
                        ErrorText& errorText) {
  std::vector<DataFile> updated(updatedFiles.size());
  std::vector<const DataFile*> afterInputs = inputs;
  std::vector<std::string> afterNames = inputNames;
  for (std::size_t f = 0; f < updatedFiles.size(); ++f) {
    const int file = updatedFiles[f];
    if (file < 0 || static_cast<std::size_t>(file) >= afterInputs.size()) {
      continue;
    }
    const bool text = model.files[static_cast<std::size_t>(file)].format == mrk::FileFormat::Text;
    if (!ReadDataFile(updatedPaths[f], text, updated[f], errorText)) {
      return false;
    }
    afterInputs[static_cast<std::size_t>(file)] = &updated[f];
    afterNames[static_cast<std::size_t>(file)] = updatedPaths[f];
  }
  return after.Load(model, afterInputs, afterNames, errorText);
}

bool WriteCoefficientFile(const std::string& path, const ModelRuntime& before, const ModelRuntime& after,
                          const CoefficientFileInfo& info, std::vector<std::string>& omitted,
                          ErrorText& errorText) {
  const mrk::Model& model = before.Model();
  const std::vector<std::string> headerNames = CoefficientHeaderNames(model);
  std::vector<HarHeader> headers = BookkeepingHeaders(info.program, NowText());
  headers.push_back(MakeStrings("SLFM", "Coefficient file format", {kSlcFormat}));
  headers.push_back(MakeStrings("STMP", "Model time-date stamp", {info.stamp}, 40));
  headers.push_back(MakeStrings("MODL", "Model name, model source and solution file",
                                {info.modelName, info.mrkFile.empty() ? " " : info.mrkFile,
                                 info.solutionFile.empty() ? " " : info.solutionFile}));
  std::vector<std::string> names;
  std::vector<std::string> used;
  std::vector<HarHeader> arrays;
  for (std::size_t c = 0; c < model.coefficients.size(); ++c) {
    const mrk::Coefficient& coef = model.coefficients[c];
    names.push_back(coef.name);
    const std::vector<double>& valuesBefore = before.CoefficientValues(static_cast<int>(c));
    const std::vector<double>& valuesAfter = after.CoefficientValues(static_cast<int>(c));
    if (coef.sets.size() >= 7 || valuesBefore.size() != valuesAfter.size()) {
      omitted.push_back(coef.name);
      used.push_back(" ");
      continue;
    }
    std::vector<HarDim> dims;
    for (int s : coef.sets) {
      const RtSet& set = before.Sets()[static_cast<std::size_t>(s)];
      dims.push_back(SetDim(set.name, set.elements));
    }
    dims.push_back(SetDim(kSlcStateSet, {kSlcBefore, kSlcAfter}));
    std::vector<double> values = valuesBefore;
    values.insert(values.end(), valuesAfter.begin(), valuesAfter.end());
    HarHeader header = MakeDoubles(headerNames[c], LongName(coef), std::move(dims), std::move(values), true);
    header.coefficient = coef.name.substr(0, 12);
    arrays.push_back(std::move(header));
    used.push_back(headerNames[c]);
  }
  if (!names.empty()) {
    headers.push_back(MakeStrings("CNAM", "Coefficient names", names));
    headers.push_back(MakeStrings("CHDR", "Header of each coefficient", used, 4));
  }
  for (HarHeader& header : arrays) {
    headers.push_back(std::move(header));
  }
  ErrorText inner;
  if (!WriteHarFile(path, headers, HarWriteOptions{}, inner)) {
    return Fail(errorText, "cannot write the coefficient file " + path + ": " + inner, "");
  }
  return true;
}

} // namespace pelorin::engine
