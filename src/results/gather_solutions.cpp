// Loading the solutions of one simulation: the cumulative solution, the levels solutions and the subtotal
// solutions, each with its description lines.
#include "modelinfo/model_info_reader.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "platform/user_interface.h"
#include "results/results_model.h"
#include "summaries/sli_summary.h"

#include <filesystem>

namespace pelorin {

namespace {

// The stamp of a summary file is only checked for presence here.
constexpr int kStampLength = 80;

const char* const kNoCumulativeText =
    "This Solution file (presumably produced by TIRMO) does not contain a cumulative solution\r\n and was "
    "produced by Release 8 or earlier of KALVIMO.\r\nSo Telvari cannot show any of the results from this "
    "Solution file.";

// The existing file of a result whose name differs from `solFile` by its suffix (the converter may have
// written the suffix in either case); the name as formed when there is none.
bool FindResultFile(const std::string& solFile, const std::string& suffix, std::string& file) {
  file = ChangeFileExt(solFile, suffix);
  if (std::optional<std::string> found = FindPathIgnoringCase(file)) {
    std::error_code error;
    if (std::filesystem::is_regular_file(*found, error)) {
      file = *found;
      return true;
    }
  }
  return false;
}

std::string CutTo(std::string text, std::size_t length) {
  if (text.size() > length) {
    text.resize(length);
  }
  return text;
}

} // namespace

bool ResultsModel::PVLoadSol(const std::string& solFile, const std::string& displayName,
                             const std::string& sliFile, bool showSubtotals, bool showLevels,
                             ErrorText& errorText) {
  while (Nsol() > 0) {
    if (!ClearSol(Nsol(), errorText)) {
      return AddTag(errorText, " [PVLoadSol]");
    }
  }
  if (!GatherSolutionInformation(displayName, solFile, sliFile, showLevels, showSubtotals, errorText) ||
      !alfasortvars(errorText)) {
    return AddTag(errorText, " [PVLoadSol]");
  }
  ElmFiltered = false;
  if (Nsol() > 1) {
    Sol(1).SolLabel = "(Sim)";
    curSol_ = 1;
  }
  return true;
}

bool ResultsModel::LoadOne(const std::string& file, const SolInfoRec& info, const std::string& displayName,
                           const std::string& label, TDesclines desc, ErrorText& errorText) {
  std::unique_ptr<HarData> data;
  if (!GetRealDetails(file, data, errorText) || !IncSol(std::move(data), displayName, label, errorText)) {
    return false;
  }
  Sol(Nsol()).SolDesc = std::move(desc);
  // Merging takes over the record's exogenous flags and sets, so each solution merges its own copy.
  SolInfoRec copy = info;
  return MergeSolinfoToHar(copy, Nsol(), errorText) && MergeSoltoFmt(Nsol(), errorText);
}

void ResultsModel::WarningScan(const OpenSolution& sol, TDesclines& desc) const {
  std::vector<std::string> below100;
  std::vector<std::string> notFinite;
  for (auto it = sol.vars.rbegin(); it != sol.vars.rend(); ++it) {
    const ResultHeader& rh = *it;
    if (!rh.head || rh.head->headType != "RE") {
      continue;
    }
    bool low = false;
    bool nan = false;
    for (float value : rh.Values()) {
      low = low || value <= -100.0f;
      nan = nan || value == kNonFiniteValue;
    }
    if (rh.changeType == 'p' && low) {
      below100.push_back(rh.varName);
    }
    if (nan) {
      notFinite.push_back(rh.varName);
    }
  }
  if (!below100.empty()) {
    desc.Add("Following " + std::to_string(below100.size()) +
             " variables contain elements <=-100 (%change sign):");
    desc.Add(WarningListText(below100));
  }
  if (!notFinite.empty()) {
    desc.Add("Following " + std::to_string(notFinite.size()) +
             " variables contain NaN [eg, log(-1)] values :");
    desc.Add(WarningListText(notFinite));
  }
}

bool ResultsModel::GatherSolutionInformation(const std::string& displayName, const std::string& solFile,
                                             const std::string& sliFile, bool showLevels, bool showSubtotals,
                                             ErrorText& errorText) {
  const auto fail = [&]() {
    errorText += "\r\nFile: " + displayName + "\r\n [GatherSolutionInformation]";
    return false;
  };
  if (LowerCase(ExtractFileExt(sliFile)) != ".sli") {
    Fail(errorText, "Bad suffix for SLI file " + sliFile);
    return fail();
  }
  if (LowerCase(ExtractFileExt(solFile)) != ".sol") {
    Fail(errorText, "Bad suffix for SOL file " + solFile);
    return fail();
  }
  SLISummary summary;
  if (!GetSLISummary(sliFile, kStampLength, summary, errorText)) {
    return fail();
  }
  if (!summary.stampPresent) {
    Fail(errorText, "SLI file made by obsolete PRAXOL");
    return fail();
  }
  if (summary.cumulative == 'n' || summary.cumulative == 'N') {
    ui_.Message(MessageKind::Information, kNoCumulativeText);
    Fail(errorText, "No solutions can be shown");
    return fail();
  }

  // The summary is read once; each solution merges a copy of it.
  SolInfoRec info;
  SolInfoOptions options;
  options.exoFlags = true;
  if (!RequestSolInfo(sliFile, StandardRequest(), options, errorText, info)) {
    return fail();
  }
  const std::string part = CutTo(ExtractFileName(displayName), kSolLabelPart);
  if (!LoadOne(solFile, info, displayName, part, {}, errorText)) {
    return fail();
  }
  const int cumulative = Nsol();

  TDesclines common = info.DescLines;
  WarningScan(Sol(cumulative), common);

  // Levels solutions.
  if (summary.levelsPresent == 'Y' || summary.levelsPresent == 'y') {
    if (summary.nsol[3] == 3) {
      common.Add("Levels solutions are available on the SL4 file (and shown here).");
    } else {
      // The description says they are not shown, so the load does not look for their files either.
      common.Add("Levels solutions are available on the SL4 file (but are not shown here).");
      showLevels = false;
    }
  } else {
    common.Add("There are no levels solutions available on the SL4 file.");
    showLevels = false;
  }

  // Subtotal solutions.
  int numSubTotals = -1;
  std::vector<std::string> descriptions;
  if (!GetNumSubTotals(sliFile, numSubTotals, descriptions, errorText)) {
    return fail();
  }
  if (numSubTotals != summary.nsol[1]) {
    Fail(errorText, "N1, NSubSolsMade mismatch");
    return fail();
  }
  const int available = summary.numSubtotals;
  const auto description = [&](int i) {
    return i >= 1 && i <= static_cast<int>(descriptions.size())
               ? descriptions[static_cast<std::size_t>(i - 1)]
               : std::string();
  };
  if (available > 0 && summary.nsol[1] > 0) {
    common.Add("There are " + std::to_string(available) +
               " subtotals available on the SL4 file, as follows:");
    for (int i = 1; i <= available; ++i) {
      common.Add(std::to_string(i) + ": " + description(i));
    }
  } else if (available > 0) {
    common.Add("There are " + std::to_string(available) + " subtotals available on the SL4 file");
    common.Add(" but none are shown here.");
    showSubtotals = false;
  } else {
    common.Add("No subtotals are available on the SL4 file.");
    showSubtotals = false;
  }
  // A subtotal whose file the converter did not leave is not shown; every solution's description says so.
  std::vector<std::string> subtotalFiles(static_cast<std::size_t>(std::max(available, 0)) + 1);
  if (showSubtotals) {
    for (int i = 1; i <= available; ++i) {
      std::string& file = subtotalFiles[static_cast<std::size_t>(i)];
      if (!FindResultFile(solFile, SubtotalSolFileSuffix(i), file)) {
        common.Add("Subtotal " + std::to_string(i) + " is not shown: its file " + file + " was not found.");
        file.clear();
      }
    }
  }

  Sol(cumulative).SolDesc = common;
  Sol(cumulative).SolDesc.Add("This solution shows %-changes or changes in model variables.");

  if (showLevels) {
    std::string files[5];
    for (int k = 2; k <= 4; ++k) {
      if (!FindResultFile(solFile, LevelsSolFileSuffix(k), files[k])) {
        Fail(errorText,
             "Did not find one of the 3 SOL files containing levels results:\r\n" + files[k] + "\r\n");
        return fail();
      }
    }
    static const char* const kPrefix[5] = {"", "", "Pre ", "Post ", "Chng "};
    static const char* const kLine[5] = {"", "", "These are pre-simulation levels values.",
                                         "These are post-simulation levels values.",
                                         "These are ordinary change values."};
    for (int k = 2; k <= 4; ++k) {
      TDesclines desc = common;
      desc.Add(kLine[k]);
      if (!LoadOne(files[k], info, displayName, kPrefix[k] + part, std::move(desc), errorText)) {
        return fail();
      }
    }
  }

  if (showSubtotals) {
    for (int i = 1; i <= available; ++i) {
      const std::string& file = subtotalFiles[static_cast<std::size_t>(i)];
      if (file.empty()) {
        continue;
      }
      const std::string trimmed = Trim(description(i));
      const std::string label =
          !trimmed.empty() && trimmed.size() <= 15 ? trimmed : "Subtotal " + std::to_string(i);
      TDesclines desc = common;
      desc.Add("Description of this subtotal:");
      desc.Add(description(i));
      if (!LoadOne(file, info, displayName, label, std::move(desc), errorText)) {
        return fail();
      }
    }
  }
  return true;
}

} // namespace pelorin
