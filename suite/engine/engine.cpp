#include "engine/engine.h"

#include "datafiles/har_data.h"
#include "engine/closure.h"
#include "engine/command_file.h"
#include "engine/data_io.h"
#include "engine/model_info.h"
#include "engine/runtime.h"
#include "engine/slc_file.h"
#include "engine/solution_file.h"
#include "engine/solver.h"
#include "engine/stored_input.h"
#include "mrklang/axs_file.h"
#include "mrklang/parser.h"
#include "platform/paths.h"
#include "platform/strings.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

namespace pelorin::engine {

namespace {

using Clock = std::chrono::steady_clock;

/// The run's log: every line goes to the log file (flushed, so a crash leaves what was written) and, with
/// "-los", to the terminal as well.
class RunLog {
public:
  RunLog(const std::string& path, bool echo) : file_(path, std::ios::binary | std::ios::trunc), echo_(echo) {}
  bool IsOpen() const { return file_.is_open(); }
  void Line(const std::string& text) {
    file_ << text << '\n';
    file_.flush();
    if (echo_) {
      std::cout << text << '\n';
    }
  }
  /// Writes a text of several lines.
  void Text(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
      Line(line);
    }
  }

private:
  std::ofstream file_;
  bool echo_;
};

std::string Now() {
  std::time_t t = std::time(nullptr);
  char buf[64];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
  return buf;
}

std::string FindIgnoringCase(const std::string& path) {
  auto found = FindPathIgnoringCase(path);
  return found ? *found : path;
}

bool EndsWithExt(const std::string& path, const char* ext) {
  return SameText(ExtractFileExt(path), ext);
}

/// The arrays of a formula's values, labelled with the domain's sets.
DataArray ArrayOver(const ModelRuntime& rt, const std::vector<int>& sets, std::vector<double> values,
                    const std::string& longName) {
  DataArray a;
  a.values = std::move(values);
  a.longName = longName.substr(0, 70);
  for (int s : sets) {
    a.dims.push_back(rt.SetSize(s));
    a.setNames.push_back(rt.Sets()[s].name);
    a.elementNames.push_back(rt.Sets()[s].elements);
  }
  return a;
}

std::vector<double> OutputValues(const ModelRuntime& rt, const mrk::Output& o) {
  if (!o.isVariable) {
    return rt.CoefficientValues(o.ref);
  }
  const auto& x = rt.InitialLevels();
  const auto begin = x.begin() + rt.VarOffset(o.ref);
  return std::vector<double>(begin, begin + rt.VarSize(o.ref));
}

class Run {
public:
  Run(const std::string& programPath, RunLog& log) : programPath_(programPath), log_(log) {}

  bool Execute(const StoredInput& sti) {
    terminalLines_ = sti.terminalLines;
    ErrorText err;
    const std::string cmfPath = ResolvePathIgnoringCase(sti.commandFile);
    if (!ReadCommandFile(cmfPath, cmf_, err)) {
      log_.Text(err.find("error") == std::string::npos ? "error: " + err : err);
      return false;
    }
    log_.Line(" Command file: " + cmfPath);
    if (!LoadModel() || !ReadInputs()) {
      return false;
    }
    if (!ApplyExtraSets(cmf_, runtime_, err)) {
      log_.Text(err);
      return false;
    }
    const bool neq = cmf_.neq && cmf_.neq->value;
    if (neq && cmf_.closureInformationFile) {
      return CheckClosure();
    }
    if (neq) {
      log_.Line(" No equations are solved (neq = yes): reading the data and writing the output files only.");
      return WriteOutputs(true);
    }
    return Simulate();
  }

private:
  bool Error(const std::string& message) {
    log_.Text(message.rfind("error", 0) == 0 || message.find(": error: ") != std::string::npos
                  ? message
                  : "error: " + message);
    return false;
  }

  bool LoadModel() {
    const std::string program = ExtractFileName(programPath_);
    const std::string stem = ChangeFileExt(program, "");
    std::string axsPath, tablePath;
    if (SameText(stem, "dravex")) {
      if (!cmf_.auxiliaryFiles) {
        return Error("the command file " + cmf_.fileName +
                     " has no \"Auxiliary files\" statement, so the model "
                     "to run is not known");
      }
      const std::string aux = ResolvePathIgnoringCase(cmf_.auxiliaryFiles->path);
      axsPath = FindIgnoringCase(aux + ".gss");
      tablePath = FindIgnoringCase(aux + ".gst");
    } else {
      const std::string base = ChangeFileExt(programPath_, "");
      axsPath = FindIgnoringCase(base + ".axs");
      tablePath = FindIgnoringCase(base + ".axt");
      if (cmf_.auxiliaryFiles && !SameText(ExtractFileName(cmf_.auxiliaryFiles->path), stem)) {
        log_.Line(" Warning: the command file names auxiliary files " + cmf_.auxiliaryFiles->path +
                  " but this is model " + stem + "; running " + stem + ".");
      }
    }
    ErrorText err;
    if (!mrk::ReadAxs(axsPath, axs_, err)) {
      return Error("cannot read the compiled model: " + err);
    }
    std::vector<mrk::Diagnostic> diagnostics;
    if (!mrk::ParseModel(axs_.source, model_, diagnostics)) {
      std::string text = "error: the compiled model " + axsPath + " is damaged:";
      for (const auto& d : diagnostics) {
        text += "\n  " + mrk::FormatDiagnostic(axs_.sourceName, d);
      }
      return Error(text);
    }
    std::unique_ptr<THeadRecz> stampHead;
    ErrorText stampErr;
    if (!ReadHeaderFromHarFile(tablePath, "DTXT", false, stampHead, stampErr) || !stampHead ||
        stampHead->headType != "1C" || stampHead->numStrings != 1 ||
        TrimRight(stampHead->strings[1]) != TrimRight(axs_.stamp)) {
      return Error("the auxiliary files " + axsPath + " and " + tablePath +
                   " were not created by the same compile of the model (their time-date stamps differ or are "
                   "missing)");
    }
    modelName_ = model_.name.empty() ? stem : model_.name;
    mrkFile_ = JoinPath(ExtractFilePath(axsPath), ExtractFileName(axs_.sourceName));
    log_.Line(" Model: " + modelName_ + " (" + axsPath + "), compiled " + TrimRight(axs_.stamp));
    return true;
  }

  const CmfFile* FileStatement(const std::string& logical) const {
    for (const CmfFile& f : cmf_.files) {
      if (SameText(f.logicalName, logical)) {
        return &f;
      }
    }
    return nullptr;
  }

  bool ReadInputs() {
    bool ok = true;
    for (const CmfFile& f : cmf_.files) {
      if (SameText(f.logicalName, "(terminal)")) {
        continue;
      }
      if (model_.FindFile(f.logicalName) < 0) {
        ok = Error(cmf_.fileName + ":" + std::to_string(f.line) + ": error: \"" + f.logicalName +
                   "\" is not a logical file of the model");
      }
    }
    for (const CmfFile& f : cmf_.updatedFiles) {
      const int file = model_.FindFile(f.logicalName);
      if (file < 0 || !model_.files[file].updated) {
        ok = Error(cmf_.fileName + ":" + std::to_string(f.line) + ": error: \"" + f.logicalName +
                   "\" is not a logical file that the model updates");
      }
    }
    if (!ok) {
      return false;
    }
    data_.assign(model_.files.size(), DataFile{});
    std::vector<const DataFile*> inputs(model_.files.size(), nullptr);
    std::vector<std::string> names(model_.files.size());
    for (std::size_t i = 0; i < model_.files.size(); ++i) {
      const mrk::LogicalFile& lf = model_.files[i];
      if (lf.kind != mrk::FileKind::Input) {
        continue;
      }
      if (mrk::IsTerminalFile(lf)) {
        // Data typed at the terminal: the lines after the command file in the stored input.
        std::string text;
        for (const std::string& line : terminalLines_) {
          text += line + "\n";
        }
        ErrorText err;
        if (!ParseTextData(text, "terminal input", data_[i], err)) {
          ok = Error(err);
          continue;
        }
        inputs[i] = &data_[i];
        names[i] = "terminal input";
        continue;
      }
      const CmfFile* f = FileStatement(lf.name);
      if (f == nullptr) {
        ok = Error(cmf_.fileName + ": error: the command file gives no file for logical file " + lf.name +
                   " (expected a statement \"File " + lf.name + " = ... ;\")");
        continue;
      }
      ErrorText err;
      if (!ReadDataFile(f->path, lf.format == mrk::FileFormat::Text, data_[i], err)) {
        ok = Error(cmf_.fileName + ":" + std::to_string(f->line) + ": error: logical file " + lf.name + ": " +
                   err);
        continue;
      }
      inputs[i] = &data_[i];
      names[i] = f->path;
      log_.Line(" Logical file " + lf.name + " reads " + f->path);
    }
    if (!ok) {
      return false;
    }
    inputs_ = inputs;
    inputNames_ = names;
    ErrorText err;
    if (!runtime_.Load(model_, inputs, names, err)) {
      return Error(err);
    }
    log_.Line(" Data read: " + std::to_string(runtime_.NumComponents()) + " variable components, " +
              std::to_string(runtime_.NumEquations()) + " equations.");
    return true;
  }

  bool CheckClosure() {
    ErrorText err;
    Simulation sim;
    if (!BuildClosure(cmf_, runtime_, sim, err)) {
      log_.Text(err);
      return false;
    }
    if (!runtime_.BuildTapes(err)) {
      return Error(err);
    }
    Solver solver(
        runtime_, sim, [this](const std::string& line) { log_.Line(line); }, SolverSettings());
    std::string reason;
    if (!solver.CheckClosure(reason)) {
      return Error(reason);
    }
    const std::string cli = cmf_.closureInformationFile->path;
    if (!WriteModelInfo(cli, DescribeModel(model_, &runtime_, &sim.exogenous, axs_.stamp, axs_.sourceName),
                        err)) {
      return Error("cannot write the closure information file: " + err);
    }
    std::int64_t exo = 0;
    for (std::uint8_t e : sim.exogenous) {
      exo += e;
    }
    log_.Line(" The closure is valid: " + std::to_string(runtime_.NumComponents() - exo) +
              " endogenous components for " + std::to_string(runtime_.NumEquations()) + " equations, " +
              std::to_string(exo) + " exogenous components.");
    log_.Line(" Closure information file written: " + cli);
    return WriteOutputs(false);
  }

  /// Writes the output files (writes) and the display file, unless the command file turns them off.
  bool WriteOutputs(bool required) {
    const bool noWrites = cmf_.nwr && cmf_.nwr->value;
    const bool noDisplays = cmf_.nds && cmf_.nds->value;
    bool ok = true;
    if (!noWrites) {
      for (std::size_t f = 0; f < model_.files.size(); ++f) {
        const mrk::LogicalFile& lf = model_.files[f];
        if (lf.kind != mrk::FileKind::Output) {
          continue;
        }
        DataFile out;
        for (const mrk::Output& w : model_.writes) {
          if (w.file != static_cast<int>(f)) {
            continue;
          }
          const auto& sets = w.isVariable ? model_.variables[w.ref].sets : model_.coefficients[w.ref].sets;
          const std::string& desc =
              w.isVariable ? model_.variables[w.ref].description : model_.coefficients[w.ref].description;
          out.order.push_back(w.header);
          out.arrays[w.header] = ArrayOver(runtime_, sets, OutputValues(runtime_, w), desc);
        }
        if (out.order.empty()) {
          continue;
        }
        const CmfFile* statement = FileStatement(lf.name);
        if (statement == nullptr) {
          log_.Line(" No file is named for output file " + lf.name + "; its writes are skipped.");
          continue;
        }
        ErrorText err;
        if (!WriteDataFile(statement->path, lf.format == mrk::FileFormat::Text, out, modelName_, err)) {
          ok = Error(err);
          continue;
        }
        log_.Line(" Output file " + lf.name + " written: " + statement->path);
      }
    }
    if (!noDisplays && !model_.displays.empty()) {
      if (!cmf_.displayFile) {
        log_.Line(" No display file is named; the displays are skipped.");
      } else if (!WriteDisplays(cmf_.displayFile->path)) {
        ok = false;
      }
    }
    (void)required;
    return ok;
  }

  bool WriteDisplays(const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
      return Error("cannot create the display file " + path);
    }
    out << "! Display file of model " << modelName_ << ", written " << Now() << "\n";
    for (const mrk::Output& d : model_.displays) {
      const auto& sets = d.isVariable ? model_.variables[d.ref].sets : model_.coefficients[d.ref].sets;
      const std::string& name = d.isVariable ? model_.variables[d.ref].name : model_.coefficients[d.ref].name;
      const std::string& desc =
          d.isVariable ? model_.variables[d.ref].description : model_.coefficients[d.ref].description;
      std::vector<double> values = OutputValues(runtime_, d);
      std::string args;
      for (int s : sets) {
        if (!args.empty()) {
          args += ',';
        }
        args += runtime_.Sets()[s].name;
      }
      out << "\n " << name << (args.empty() ? "" : "(" + args + ")") << (desc.empty() ? "" : "  " + desc)
          << "\n";
      for (std::size_t k = 0; k < values.size(); ++k) {
        std::string label;
        std::size_t rest = k;
        for (int s : sets) {
          const std::size_t size = runtime_.Sets()[s].elements.size();
          if (!label.empty()) {
            label += ',';
          }
          label += runtime_.Sets()[s].elements[rest % size];
          rest /= size;
        }
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.8g", values[k]);
        out << "   " << (label.empty() ? "" : "(" + label + ")  ") << buf << "\n";
      }
    }
    out.close();
    if (!out) {
      return Error("write error on the display file " + path);
    }
    log_.Line(" Display file written: " + path);
    return true;
  }

  /// How the solver does its linear algebra, as the command file asks.
  SolverOptions SolverSettings() const {
    SolverOptions options;
    options.condense = !cmf_.condensation || cmf_.condensation->value;
    return options;
  }

  bool MethodFromCommandFile(MethodOptions& m) {
    static const char* const kNames[] = {"johansen", "euler", "gragg", "midpoint"};
    for (int i = 0; i < 4; ++i) {
      if (cmf_.method == kNames[i]) {
        m.method = i;
      }
    }
    m.steps = cmf_.steps;
    if (m.method == MethodOptions::Johansen) {
      m.steps = {1};
    } else if (m.steps.empty()) {
      m.steps = {2, 4, 6};
    }
    const std::string where = cmf_.fileName + ":" + std::to_string(cmf_.methodLine) + ": error: ";
    for (std::size_t i = 1; i < m.steps.size(); ++i) {
      if (m.steps[i] <= m.steps[i - 1]) {
        return Error(where + "the step counts of the solutions must increase");
      }
      if ((m.method == MethodOptions::Gragg || m.method == MethodOptions::Midpoint) &&
          m.steps[i] % 2 != m.steps[0] % 2) {
        return Error(where + "for Gragg and Midpoint the step counts must be all odd or all even");
      }
    }
    m.subintervals = cmf_.automaticAccuracy ? std::max(1, cmf_.subintervals) : cmf_.subintervals;
    m.automatic = cmf_.automaticAccuracy;
    m.figures = cmf_.accuracyFigures;
    m.percent = cmf_.accuracyPercent;
    m.minLength = cmf_.minimumSubintervalLength;
    m.failStop = cmf_.minimumSubintervalFailsStop;
    m.criterion = cmf_.accuracyCriterion;
    if (m.automatic && m.steps.size() != 3) {
      log_.Line(" Automatic accuracy needs 3 solutions; it is not used.");
    }
    return true;
  }

  bool Simulate() {
    auto started = Clock::now();
    ErrorText err;
    Simulation sim;
    bool ok = BuildClosure(cmf_, runtime_, sim, err);
    if (ok) {
      ok = BuildShocks(cmf_, runtime_, sim, err);
    }
    if (!ok) {
      log_.Text(err);
      return false;
    }
    if (!cmf_.solutionFile) {
      return Error(cmf_.fileName + ": error: the command file has no \"Solution file\" statement");
    }
    MethodOptions method;
    if (!MethodFromCommandFile(method)) {
      return false;
    }
    if (sim.shocks.empty()) {
      log_.Line(" Warning: no variable is shocked; every result will be zero.");
    }
    // Updated data: which model updates go to which updated file.
    std::vector<int> updatedFiles;
    std::vector<std::string> updatedNames, updatedPaths;
    for (const CmfFile& f : cmf_.updatedFiles) {
      updatedFiles.push_back(model_.FindFile(f.logicalName));
      updatedNames.push_back(model_.files[updatedFiles.back()].name);
      updatedPaths.push_back(f.path);
    }
    if (cmf_.updatedTerminalData) {
      int terminal = -1;
      for (std::size_t i = 0; i < model_.files.size(); ++i) {
        if (mrk::IsTerminalFile(model_.files[i]) && model_.files[i].updated) {
          terminal = static_cast<int>(i);
        }
      }
      if (terminal < 0) {
        log_.Line(" Warning: the model updates no data read from the terminal; \"Updated terminal data\" is "
                  "ignored.");
      } else {
        updatedFiles.push_back(terminal);
        updatedNames.push_back(model_.files[terminal].name);
        updatedPaths.push_back(cmf_.updatedTerminalData->path);
      }
    }
    auto updatedData = [&](const std::vector<double>& x) {
      std::vector<std::vector<std::vector<double>>> values(updatedFiles.size());
      for (std::size_t f = 0; f < updatedFiles.size(); ++f) {
        for (std::size_t u = 0; u < model_.updates.size(); ++u) {
          if (model_.updates[u].file == updatedFiles[f]) {
            values[f].push_back(
                runtime_.EvalOverDomain(runtime_.UpdateFormula(static_cast<int>(u)), x.data()));
          }
        }
      }
      return values;
    };
    auto t0 = Clock::now();
    if (!runtime_.BuildTapes(err)) {
      return Error(err);
    }
    log_.Line(" Equations expanded in " + Seconds(t0) + " seconds.");
    Solver solver(
        runtime_, sim, [this](const std::string& line) { log_.Line(line); }, SolverSettings());
    std::string reason;
    if (!solver.CheckClosure(reason)) {
      return Error(reason);
    }
    if (!solver.CheckInitialData(err)) {
      log_.Text(err);
      return false;
    }
    log_.Line(" The equations hold at the initial data.");
    SolveOutcome outcome;
    if (!solver.Solve(method, updatedData, updatedNames, outcome, err)) {
      log_.Text(err);
      return false;
    }
    log_.Line("");
    log_.Line(" Solution found: " + std::to_string(outcome.evaluations) + " Jacobians, " +
              std::to_string(outcome.factorisations) + " factorisations of " +
              std::to_string(outcome.luSize) + " equations (" + std::to_string(outcome.luFill) +
              " entries in L and U); processor seconds " + "(all threads): equations and Jacobian " +
              Fixed(outcome.assemblySeconds) + ", pivot order " + Fixed(outcome.orderSeconds) +
              ", factorisation " + Fixed(outcome.factorisationSeconds) + ", solves " +
              Fixed(outcome.solveSeconds) + ".");

    std::string solution = cmf_.solutionFile->path;
    if (!EndsWithExt(solution, ".sl4")) {
      solution += ".sl4";
    }
    SolutionData data;
    data.runtime = &runtime_;
    data.sim = &sim;
    data.outcome = &outcome;
    data.cmf = &cmf_;
    data.method = method;
    data.stamp = axs_.stamp;
    data.modelName = modelName_;
    data.mrkFile = mrkFile_;
    // A coefficient file left by an earlier run must not pass for this solution's.
    std::error_code removeError;
    std::filesystem::remove(ChangeFileExt(solution, ".slc"), removeError);
    if (!WriteSolutionFile(solution, data, err)) {
      return Error(err);
    }
    log_.Line(" Solution file written: " + solution);
    if (cmf_.extrapolationAccuracyFile) {
      const std::string xac = ChangeFileExt(solution, ".xac");
      if (!WriteAccuracyFile(xac, data, err)) {
        return Error(err);
      }
      log_.Line(" Extrapolation accuracy file written: " + xac);
    }
    // Updated data files from the post-simulation levels.
    const std::vector<double> post = LevelsAfterMoves(runtime_, outcome.move);
    for (std::size_t f = 0; f < updatedFiles.size(); ++f) {
      const int file = updatedFiles[f];
      DataFile replacements;
      for (std::size_t u = 0; u < model_.updates.size(); ++u) {
        const mrk::Update& up = model_.updates[u];
        if (up.file != file) {
          continue;
        }
        std::vector<double> v =
            runtime_.EvalOverDomain(runtime_.UpdateFormula(static_cast<int>(u)), post.data());
        const DataArray* original = nullptr;
        auto it = data_[file].arrays.find(up.header);
        if (it != data_[file].arrays.end()) {
          original = &it->second;
        }
        replacements.order.push_back(up.header);
        replacements.arrays[up.header] =
            ArrayOver(runtime_, up.value.domain, std::move(v), original ? original->longName : up.header);
      }
      if (mrk::IsTerminalFile(model_.files[file])) {
        DataFile updated = data_[file];
        for (const std::string& name : replacements.order) {
          if (updated.arrays.count(name) == 0) {
            updated.order.push_back(name);
          }
          updated.arrays[name] = replacements.arrays[name];
        }
        if (!WriteDataFile(updatedPaths[f], true, updated, modelName_, err)) {
          return Error(err);
        }
      } else {
        const CmfFile* source = FileStatement(model_.files[file].name);
        if (!WriteUpdatedDataFile(source->path, model_.files[file].format == mrk::FileFormat::Text,
                                  updatedPaths[f], replacements, modelName_, err)) {
          return Error(err);
        }
      }
      log_.Line(" Updated data file written for " + updatedNames[f] + ": " + updatedPaths[f]);
    }
    WriteCoefficients(solution, updatedFiles, updatedPaths);
    if (!WriteOutputs(false)) {
      return false;
    }
    log_.Line(" Simulation finished in " + Seconds(started) + " seconds.");
    return true;
  }

  /// The coefficient file beside the solution. The solution stands without it, so a failure is a warning.
  void WriteCoefficients(const std::string& solution, const std::vector<int>& updatedFiles,
                         const std::vector<std::string>& updatedPaths) {
    const std::string slc = ChangeFileExt(solution, ".slc");
    ModelRuntime after;
    ErrorText err;
    std::vector<std::string> omitted;
    CoefficientFileInfo info{axs_.stamp, modelName_, mrkFile_, solution, modelName_ + ".exe"};
    const bool ok =
        (updatedFiles.empty() ||
         LoadUpdatedRuntime(model_, inputs_, inputNames_, updatedFiles, updatedPaths, after, err)) &&
        WriteCoefficientFile(slc, runtime_, updatedFiles.empty() ? runtime_ : after, info, omitted, err);
    if (!ok) {
      log_.Text(" Warning: the coefficient file " + slc + " was not written: " + err);
      return;
    }
    log_.Line(" Coefficient file written: " + slc);
    for (const std::string& name : omitted) {
      log_.Line(" Warning: coefficient " + name + " has 7 arguments and is not in the coefficient file.");
    }
  }

  static std::string Fixed(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    return buf;
  }
  static std::string Seconds(Clock::time_point since) {
    return Fixed(std::chrono::duration<double>(Clock::now() - since).count());
  }

  std::string programPath_;
  RunLog& log_;
  CommandFile cmf_;
  mrk::AxsFile axs_;
  mrk::Model model_;
  std::string modelName_;
  std::string mrkFile_;
  std::vector<DataFile> data_;
  std::vector<const DataFile*> inputs_;
  std::vector<std::string> inputNames_;
  std::vector<std::string> terminalLines_;
  ModelRuntime runtime_;
};

} // namespace

int RunEngine(const std::string& programPath, const std::vector<std::string>& arguments) {
  std::string sti, logPath;
  bool echo = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if ((SameText(a, "-sti") || SameText(a, "-lon") || SameText(a, "-los")) && i + 1 < arguments.size()) {
      if (SameText(a, "-sti")) {
        sti = arguments[++i];
      } else {
        echo = SameText(a, "-los");
        logPath = arguments[++i];
      }
    } else {
      std::cerr << "error: unexpected argument \"" << a << "\"\n";
      sti.clear();
      break;
    }
  }
  if (sti.empty() || logPath.empty()) {
    std::cerr << "usage: " << ExtractFileName(programPath) << " -sti STORED-INPUT -lon LOG\n";
    return 2;
  }
  RunLog log(logPath, echo);
  if (!log.IsOpen()) {
    std::cerr << "error: cannot create the log file " << logPath << "\n";
    return 1;
  }
  auto started = Clock::now();
  log.Line(" " + ExtractFileName(programPath) + " (" + kSuiteRelease + "), run started " + Now());
  StoredInput input;
  ErrorText err;
  if (!ReadStoredInput(ResolvePathIgnoringCase(sti), input, err)) {
    log.Text(err.find("error") == std::string::npos ? "error: " + err : err);
    log.Line(" The run failed.");
    return 1;
  }
  bool ok = false;
  {
    Run run(programPath, log);
    ok = run.Execute(input);
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f", seconds);
  // The closing line of a failed run does not say "error": a reader that selects the log's last error line
  // lands on the one that says what went wrong.
  log.Line(ok ? std::string(" The run ended successfully after ") + buf + " seconds."
              : std::string(" The run failed after ") + buf + " seconds.");
  if (!input.reportFile.empty()) {
    ErrorText reportErr;
    if (!WriteReport(input.reportFile, ok, reportErr)) {
      log.Line("error: " + reportErr);
      return 1;
    }
  }
  return ok ? 0 : 1;
}

} // namespace pelorin::engine
