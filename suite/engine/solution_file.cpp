#include "engine/solution_file.h"

#include "datafiles/har_writer.h"
#include "engine/model_info.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace pelorin::engine {

namespace {

double Result(bool percent, double move) {
  return percent ? 100.0 * std::expm1(move) : move;
}

/// expm1(d) / d, the factor that turns y moves into shares of a percentage change.
double Share(double d) {
  return std::fabs(d) < 1e-12 ? 1.0 + d / 2.0 : std::expm1(d) / d;
}

HarHeader Column(std::string name, std::string longName, std::int64_t rows, std::int64_t cols,
                 std::vector<double> values) {
  std::vector<HarDim> dims{SizeDim(std::max<std::int64_t>(rows, 1))};
  if (cols != 1) {
    dims.push_back(SizeDim(cols));
  }
  if (values.empty()) {
    values.assign(static_cast<std::size_t>(std::max<std::int64_t>(rows, 1) * std::max<std::int64_t>(cols, 1)),
                  0.0);
  }
  return MakeDoubles(std::move(name), std::move(longName), std::move(dims), std::move(values));
}

HarHeader Ints(std::string name, std::string longName, std::int64_t rows, std::int64_t cols,
               std::vector<std::int32_t> values) {
  if (rows == 0) {
    rows = 1;
    values.assign(static_cast<std::size_t>(cols), 0);
  }
  return MakeIntMatrix(std::move(name), std::move(longName), rows, cols, std::move(values));
}

HarHeader Strings(std::string name, std::string longName, std::vector<std::string> strings) {
  if (strings.empty()) {
    strings.push_back("");
  }
  return MakeStrings(std::move(name), std::move(longName), std::move(strings));
}

} // namespace

void ComputeResults(const ModelRuntime& runtime, const SolveOutcome& outcome,
                    std::vector<ComponentResult>& results, std::vector<std::vector<double>>& subtotals) {
  const auto& pct = runtime.PercentComponents();
  const std::size_t n = outcome.move.size();
  // Results come from the moves along the path, never from differences of levels, which would add the
  // rounding of the levels to results that are small or zero.
  const std::vector<double> post = LevelsAfterMoves(runtime, outcome.move);
  results.assign(n, {});
  subtotals.assign(outcome.subtotalY.size(), std::vector<double>(n, 0.0));
  for (std::size_t k = 0; k < n; ++k) {
    const bool p = pct[k] != 0;
    const double move = outcome.move[k];
    results[k].cumulative = Result(p, move);
    results[k].pre = runtime.InitialLevels()[k];
    results[k].post = post[k];
    const double factor = p ? 100.0 * Share(move) : 1.0;
    for (std::size_t s = 0; s < outcome.subtotalY.size(); ++s) {
      subtotals[s][k] = factor * outcome.subtotalY[s][k];
    }
  }
}

bool WriteSolutionFile(const std::string& path, const SolutionData& data, ErrorText& errorText) {
  const ModelRuntime& rt = *data.runtime;
  const mrk::Model& model = rt.Model();
  const SolveOutcome& out = *data.outcome;
  const Simulation& sim = *data.sim;
  std::vector<ComponentResult> results;
  std::vector<std::vector<double>> subtotals;
  ComputeResults(rt, out, results, subtotals);
  const std::int64_t n = rt.NumComponents();

  std::vector<HarHeader> h = BookkeepingHeaders(data.modelName + ".exe", NowText());
  h.push_back(MakeStrings("SLFM", "Solution file format", {"PELORIN SOLUTION 1"}));
  h.push_back(MakeStrings("STMP", "Model time-date stamp", {data.stamp}, 40));
  h.push_back(Strings("MODL", "Model name and command file", {data.modelName, data.cmf->fileName}));
  h.push_back(Strings("MRKF", "Model source", {data.mrkFile}));
  h.push_back(Strings("VDSC", "Verbal description", data.cmf->verbalDescription));
  static const char* const kMethodNames[] = {"Johansen", "Euler", "Gragg", "Midpoint"};
  const int nsol =
      data.method.method == MethodOptions::Johansen ? 1 : static_cast<int>(data.method.steps.size());
  std::vector<std::int32_t> meth{data.method.method + 1,
                                 nsol,
                                 0,
                                 0,
                                 0,
                                 out.subintervalsDone,
                                 data.method.automatic ? 1 : 0,
                                 static_cast<std::int32_t>(sim.subtotals.size())};
  for (int i = 0; i < nsol && i < 3; ++i) {
    meth[static_cast<std::size_t>(2 + i)] =
        data.method.method == MethodOptions::Johansen ? 1 : data.method.steps[i];
  }
  h.push_back(Ints("METH", "Method, solutions, steps 1-3, subintervals, automatic, subtotals", 1, 8, meth));
  h.push_back(MakeStrings("METN", "Method name", {kMethodNames[data.method.method]}));

  // Sets and elements.
  std::vector<std::string> setNames, setLabels, elements;
  std::vector<std::int32_t> setSizes;
  for (const RtSet& s : rt.Sets()) {
    setNames.push_back(s.name);
    setLabels.push_back(s.label.substr(0, 70));
    setSizes.push_back(static_cast<std::int32_t>(s.elements.size()));
    elements.insert(elements.end(), s.elements.begin(), s.elements.end());
  }
  h.push_back(Strings("SNAM", "Set names", setNames));
  h.push_back(Strings("SLAB", "Set labels", setLabels));
  h.push_back(Ints("SSIZ", "Set sizes", static_cast<std::int64_t>(setSizes.size()), 1, setSizes));
  h.push_back(Strings("SELM", "Elements of all sets, set after set", elements));
  std::vector<std::int32_t> pairs;
  for (const mrk::SubsetDecl& sub : model.subsets) {
    pairs.push_back(sub.small + 1);
  }
  for (const mrk::SubsetDecl& sub : model.subsets) {
    pairs.push_back(sub.big + 1);
  }
  h.push_back(Ints("SSUB", "Subset pairs: smaller set, larger set",
                   static_cast<std::int64_t>(model.subsets.size()), 2, pairs));

  // Variables.
  std::vector<std::string> varNames, varDescs, varTypes;
  std::vector<std::int32_t> nArgs, args, sizes, offsets;
  const std::size_t nv = model.variables.size();
  for (std::size_t v = 0; v < nv; ++v) {
    const mrk::Variable& var = model.variables[v];
    varNames.push_back(var.name);
    varDescs.push_back(var.description.substr(0, 70));
    varTypes.push_back(var.percent ? "p" : "c");
    nArgs.push_back(static_cast<std::int32_t>(var.sets.size()));
    sizes.push_back(static_cast<std::int32_t>(rt.VarSize(static_cast<int>(v))));
    offsets.push_back(static_cast<std::int32_t>(rt.VarOffset(static_cast<int>(v)) + 1));
  }
  for (std::size_t k = 0; k < 7; ++k) {
    for (std::size_t v = 0; v < nv; ++v) {
      const auto& sets = model.variables[v].sets;
      args.push_back(k < sets.size() ? sets[k] + 1 : 0);
    }
  }
  const auto rows = static_cast<std::int64_t>(nv);
  h.push_back(Strings("VNAM", "Variable names", varNames));
  h.push_back(Strings("VDES", "Variable descriptions", varDescs));
  h.push_back(Strings("VTYP", "Change type: p percentage change, c ordinary change", varTypes));
  h.push_back(Ints("VNAR", "Number of arguments", rows, 1, nArgs));
  h.push_back(Ints("VARG", "Argument set numbers", rows, 7, args));
  h.push_back(Ints("VSIZ", "Number of components", rows, 1, sizes));
  h.push_back(Ints("VOFF", "First component (1-based)", rows, 1, offsets));

  // Results per component.
  std::vector<double> cum, pre, post;
  std::vector<std::int32_t> exo, figures;
  for (std::int64_t k = 0; k < n; ++k) {
    cum.push_back(results[k].cumulative);
    pre.push_back(results[k].pre);
    post.push_back(results[k].post);
    exo.push_back(sim.exogenous[k] ? 1 : 0);
    figures.push_back(out.figures.empty() ? -1 : out.figures[k]);
  }
  h.push_back(Column("CUMR", "Cumulative results", n, 1, cum));
  h.push_back(Column("PREL", "Pre-simulation levels", n, 1, pre));
  h.push_back(Column("POSL", "Post-simulation levels", n, 1, post));
  h.push_back(Ints("EXOG", "Closure: 1 exogenous, 0 endogenous", n, 1, exo));
  h.push_back(Ints("ACCF", "Accuracy figures (-1 not judged)", n, 1, figures));

  // Shocks.
  std::vector<std::int32_t> shockInts;
  std::vector<double> shockValues;
  for (const ShockRecord& s : sim.shocks) {
    shockInts.push_back(static_cast<std::int32_t>(s.component + 1));
  }
  for (const ShockRecord& s : sim.shocks) {
    shockInts.push_back(s.kind);
    shockValues.push_back(s.value);
  }
  const auto nShocks = static_cast<std::int64_t>(sim.shocks.size());
  h.push_back(Ints("SHKC", "Shocked component (1-based), kind (0 shock 1 change 2 % 3 final)", nShocks, 2,
                   shockInts));
  h.push_back(Column("SHKV", "Shock values as given", nShocks, 1, shockValues));

  // Subtotals.
  const auto nSub = static_cast<std::int64_t>(sim.subtotals.size());
  std::vector<std::string> subDescs;
  std::vector<double> subValues;
  for (std::int64_t s = 0; s < nSub; ++s) {
    subDescs.push_back(sim.subtotals[s].description.substr(0, 77));
    subValues.insert(subValues.end(), subtotals[s].begin(), subtotals[s].end());
  }
  h.push_back(Ints("STNM", "Number of subtotals", 1, 1, {static_cast<std::int32_t>(nSub)}));
  if (nSub > 0) {
    h.push_back(Strings("STDS", "Subtotal descriptions", subDescs));
    h.push_back(Column("SUBT", "Subtotal results, one column per subtotal", n, nSub, subValues));
  }
  // Each solution's own cumulative results.
  std::vector<double> solutions;
  for (const auto& move : out.solutionMove) {
    for (std::int64_t k = 0; k < n; ++k) {
      solutions.push_back(Result(rt.PercentComponents()[k] != 0, move[k]));
    }
  }
  h.push_back(Column("SOLN", "Cumulative results of each solution", n,
                     static_cast<std::int64_t>(out.solutionMove.size()), solutions));
  ErrorText inner;
  if (!WriteHarFile(path, h, HarWriteOptions{}, inner)) {
    return Fail(errorText, "error: cannot write the solution file " + path + ": " + inner, "");
  }
  return true;
}

bool WriteAccuracyFile(const std::string& path, const SolutionData& data, ErrorText& errorText) {
  const ModelRuntime& rt = *data.runtime;
  const SolveOutcome& out = *data.outcome;
  std::vector<ComponentResult> results;
  std::vector<std::vector<double>> subtotals;
  ComputeResults(rt, out, results, subtotals);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) {
    return Fail(errorText, "error: cannot create the extrapolation accuracy file " + path, "");
  }
  file << "! Extrapolation accuracy file: one line per variable component\n"
       << "! component, then the result of each solution, the extrapolated result, the figures of accuracy\n";
  const std::size_t nsol = out.solutionMove.size();
  for (std::int64_t k = 0; k < rt.NumComponents(); ++k) {
    file << rt.ComponentName(k);
    for (std::size_t i = 0; i < nsol; ++i) {
      const double v =
          rt.PercentComponents()[k] ? 100.0 * std::expm1(out.solutionMove[i][k]) : out.solutionMove[i][k];
      char buf[40];
      std::snprintf(buf, sizeof buf, " %.10g", v);
      file << buf;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, " %.10g %d\n", results[k].cumulative,
                  out.figures.empty() ? -1 : out.figures[k]);
    file << buf;
  }
  file.close();
  if (!file) {
    return Fail(errorText, "error: write error on " + path, "");
  }
  return true;
}

} // namespace pelorin::engine
