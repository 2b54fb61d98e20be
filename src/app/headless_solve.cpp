#include "app/headless_solve.h"

#include "app/application.h"
#include "app/console_ui.h"
#include "app/run_files.h"
#include "model/file_lines.h"
#include "platform/folder_clearing.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "shell/catalogue.h"
#include "simspec/cmf_writer.h"

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <set>
#include <thread>
#include <unistd.h>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

std::string Absolute(const std::string& path) {
  std::error_code ec;
  std::string absolute = fs::absolute(path, ec).lexically_normal().string();
  while (absolute.size() > 1 && absolute.back() == kPathSeparator) {
    absolute.pop_back();
  }
  return ec ? path : absolute;
}

// Removes the run's temporary folder when the run ends, however it ends, never following a link out of it,
// unless it is still needed: a job given up goes on working in it, and the log a failing run printed is read
// from it.
struct TemporaryFolder {
  std::string path;
  bool keep = false;
  ~TemporaryFolder() {
    if (!path.empty() && !keep) {
      ErrorText ignored;
      RemoveFolderTree(path, {}, ignored);
    }
  }
};

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    return std::string(text);
  }
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') {
      quoted.push_back('"');
    }
    quoted.push_back(c);
  }
  quoted.push_back('"');
  return quoted;
}

std::string CsvValue(float value) {
  if (value == MissingValue) {
    return {};
  }
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// A file name for a variable's CSV: characters that cannot be in a file name become "_".
std::string CsvFileName(std::string_view name) {
  std::string file(name);
  for (char& c : file) {
    if (c == kPathSeparator || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 32) {
      c = '_';
    }
  }
  return file + ".csv";
}

std::string TemporaryArea() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && tmp[0] == '/' ? std::string(tmp) : std::string("/tmp");
}

// The heading row of a CSV file: every column gets a name of its own, so that a program reading the file by
// column names finds each one (a matrix over REG*REG has the columns REG and REG_2; two subtotals of one
// description are told apart the same way).
std::string HeadingLine(const std::vector<std::string>& names) {
  std::set<std::string> used;
  std::string heading;
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string unique = names[i];
    for (int k = 2; !used.insert(unique).second; ++k) {
      unique = names[i] + "_" + std::to_string(k);
    }
    heading += (i > 0 ? "," : "") + CsvField(unique);
  }
  return heading;
}

// A data view as it stands: the corner and column labels, then one line per row.
std::vector<std::string> ViewLines(const DataView& view) {
  std::vector<std::string> lines;
  std::vector<std::string> names{view.corner};
  for (const std::string& label : view.colLabels) {
    names.push_back(Trim(label));
  }
  lines.push_back(HeadingLine(names));
  for (int r = 1; r <= view.rows; ++r) {
    std::string line = CsvField(view.rowLabels[static_cast<std::size_t>(r - 1)]);
    for (int c = 1; c <= view.cols; ++c) {
      line += "," + CsvValue(view.values.At(r, c));
    }
    lines.push_back(line);
  }
  return lines;
}

// A variable of two or three dimensions in long form: one column per dimension, one per open solution that
// holds the variable with the same number of values.
std::vector<std::string> LongFormLines(const ResultsModel& model, int pv) {
  const ResultHeader* first = model.Header(pv, model.CurSol());
  std::vector<std::string> lines;
  if (first == nullptr) {
    return lines;
  }
  const int dims = std::max(first->nDim, 1);
  std::vector<std::string> names;
  for (int d = 1; d <= dims; ++d) {
    const std::string set = first->SetName(d);
    names.push_back(set.empty() ? "dim" + std::to_string(d) : set);
  }
  std::vector<const ResultHeader*> columns;
  for (int s = 1; s <= model.Nsol(); ++s) {
    const ResultHeader* h = model.Header(pv, s);
    if (h != nullptr && h->NumValues() == first->NumValues()) {
      columns.push_back(h);
      names.push_back(Trim(model.Sol(s).SolLabel));
    }
  }
  lines.push_back(HeadingLine(names));
  std::vector<std::int64_t> index(static_cast<std::size_t>(dims), 1);
  for (std::int64_t offset = 0; offset < first->NumValues(); ++offset) {
    std::string line;
    for (int d = 1; d <= dims; ++d) {
      line += (d > 1 ? "," : "") + CsvField(first->ElementLabel(d, index[static_cast<std::size_t>(d - 1)]));
    }
    for (const ResultHeader* h : columns) {
      const std::span<const float> values = h->Values();
      line += "," + (offset < static_cast<std::int64_t>(values.size()) ? CsvValue(values[offset]) : "");
    }
    lines.push_back(line);
    // The first dimension runs fastest.
    for (int d = 0; d < dims; ++d) {
      if (++index[static_cast<std::size_t>(d)] <= first->Size(d + 1)) {
        break;
      }
      index[static_cast<std::size_t>(d)] = 1;
    }
  }
  return lines;
}

void PrintSummary(const Application& app, const AccSummaryRec* accuracy, std::ostream& out) {
  const ResultsModel& results = app.ResultsData;
  out << "\nModel:      " << app.App.ModelName << "  (" << app.Model.Model.ModelFile << ")\n";
  out << "Solution:   " << app.Jobs.Job.SolutionFile << "\n";
  out << "Solutions:  ";
  for (int s = 1; s <= results.Nsol(); ++s) {
    out << (s > 1 ? ", " : "") << s << " " << results.Sol(s).SolLabel;
  }
  out << "\nVariables:  " << results.PlanCount() << "\n";
  char seconds[32];
  const auto end = std::to_chars(seconds, seconds + sizeof seconds, app.Jobs.Job.TotalSeconds,
                                 std::chars_format::fixed, 1);
  out << "Time:       " << std::string(seconds, end.ptr) << " seconds\n";
  if (accuracy != nullptr && accuracy->numSubintervals > 0) {
    const auto print = [&](const char* what, bool data, int overallPos, int worst) {
      const int shown = overallPos > 0 ? overallPos : worst;
      if (shown < 1 || shown > accuracy->numSubintervals) {
        return;
      }
      const AccSubinterval& sub = accuracy->sub[static_cast<std::size_t>(shown)];
      const AccHistogram& histogram = data ? sub.data : sub.levels;
      if (!histogram.present && data) {
        return;
      }
      out << what;
      for (const int count : histogram.counts) {
        out << " " << count;
      }
      out << (overallPos > 0 ? " (overall)" : " (worst subinterval)") << "\n";
    };
    print("Accuracy:   results accurate to 0..6 figures:", false, accuracy->overallLevelsPos,
          accuracy->worstLevels);
    // The updated data beside the variables when the accuracy criterion looks at them ("Data" or "Both").
    if (app.Simulation.Context.accuracy.criterion != 1) {
      print("            updated data accurate to 0..6 figures:", true, accuracy->overallDataPos,
            accuracy->worstData);
    }
  }
}

// The failing job's log as the window shows it, but with whole lines, then where the log is.
bool PrintFailingLog(const Application& app, std::ostream& messages) {
  const std::string& log = app.Jobs.ErrorLogFile;
  if (!app.Simulation.Solve.ErrorLogVisible || log.empty()) {
    return false;
  }
  constexpr std::size_t kShown = 40;
  messages << "log: the last lines of the failing job's log\n";
  for (const std::string& line : LastLines(log, kShown)) {
    messages << "  " << line << "\n";
  }
  messages << "log: " << log << "\n";
  return true;
}

// Empties the run's folders of what an earlier run left there, so that old subtotal files or CSV files never
// sit beside the new results. Only files of this program's kind go, and never from the program's or the
// model's folder, the home folder or through a link; a folder refused is said so and left as it is.
void RemoveEarlierRunFiles(const Application& app, const std::string& runDir, const std::string& csvDir,
                           std::ostream& messages) {
  const std::vector<NamedFolder> protectedFolders = {{app.App.ProgramDir, "the program folder"},
                                                     {app.App.ModelHomeDir, "the model's folder"}};
  ErrorText errorText;
  if (!runDir.empty()) {
    const std::vector<std::string>& lines = app.Model.OutputPage.OutputLines;
    const std::string solution = SolutionFilePath(runDir, lines);
    const std::string stem =
        FolderOfPath(solution) == runDir ? ChangeFileExt(ExtractFileName(solution), "") : std::string();
    std::vector<std::string> named;
    for (const std::string& line : lines) {
      const std::string file = LineFile(line);
      const std::string path = file.empty() ? file : ResolveRelative(runDir, file);
      if (!path.empty() && FolderOfPath(path) == runDir) {
        named.push_back(ExtractFileName(path));
      }
    }
    RemoveRunFiles(runDir, stem, app.Model.OutputPage.PostSimName, named, protectedFolders, errorText);
  }
  if (!csvDir.empty()) {
    RemoveCsvFiles(csvDir, protectedFolders, errorText);
  }
  if (!errorText.empty()) {
    messages << "pelorin-solve: files of an earlier run stay: " << errorText << "\n";
  }
}

} // namespace

std::string SolveUsage() {
  return "usage: pelorin-solve MODEL [--settings FILE] [--work DIR] [--csv DIR]\n"
         "       pelorin-solve --add-model FILE.zip\n"
         "  Solves one simulation of the installed model MODEL as its settings file says.\n"
         "  --settings FILE   read the simulation from FILE instead of the model's own settings\n"
         "  --work DIR        the run's own folder: results there, job files in DIR/work (kept); the files\n"
         "                    an earlier run left there are removed first; the program folder is only read\n"
         "  --csv DIR         write every variable's results as CSV files into DIR, after removing the\n"
         "                    .csv files in it\n"
         "  --add-model FILE.zip  install a model from its archive as \"Add Model\" does (nothing is "
         "solved)\n"
         "  Control-C gives the running job up; the job itself goes on to its end.\n"
         "Exit codes:\n"
         "  0    the simulation and its conversions succeeded (--add-model: the model was installed)\n"
         "  1    the simulation did not succeed or could not be set up (--add-model: not installed, or its\n"
         "       folder lacks files)\n"
         "  2    the arguments do not fit\n"
         "  3    the results were shown, but the sensitivity-analysis preparation (mirdaa.exe) or its\n"
         "       conversion (praxola.exe) failed\n"
         "  4    nothing was started: a job given up earlier still writes into the run's folders; wait\n"
         "       until it has ended and run again\n"
         "  130  given up with Control-C; the job goes on to its end\n";
}

bool ParseSolveArguments(const std::vector<std::string>& arguments, SolveRequest& request,
                         std::string& error) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    std::string* target = nullptr;
    if (argument == "--settings") {
      target = &request.settingsFile;
    } else if (argument == "--work") {
      target = &request.workDir;
    } else if (argument == "--csv") {
      target = &request.csvDir;
    } else if (argument == "--add-model") {
      target = &request.addModelArchive;
    } else if (argument.starts_with("-")) {
      error = "unknown option " + argument;
      return false;
    } else if (request.model.empty()) {
      request.model = argument;
      continue;
    } else {
      error = "one model only: " + argument;
      return false;
    }
    if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
      error = argument + " needs a value";
      return false;
    }
    *target = arguments[++i];
  }
  if (!request.addModelArchive.empty()) {
    if (!request.model.empty() || !request.settingsFile.empty() || !request.workDir.empty() ||
        !request.csvDir.empty()) {
      error = "--add-model is given alone";
      return false;
    }
    return true;
  }
  if (request.model.empty()) {
    error = "no model named";
    return false;
  }
  return true;
}

std::string AlignedTable(const SimTab& table) {
  if (!table.HasContents()) {
    return {};
  }
  std::vector<std::size_t> widths(static_cast<std::size_t>(table.ncol) + 1, 0);
  for (int r = 0; r <= table.nrow; ++r) {
    for (int c = 0; c <= table.ncol; ++c) {
      widths[static_cast<std::size_t>(c)] =
          std::max(widths[static_cast<std::size_t>(c)], table.Cell(r, c).size());
    }
  }
  std::string text;
  for (int r = 0; r <= table.nrow; ++r) {
    std::string line;
    for (int c = 0; c <= table.ncol; ++c) {
      const std::string& cell = table.Cell(r, c);
      line += cell;
      if (c < table.ncol) {
        line.append(widths[static_cast<std::size_t>(c)] - cell.size() + 2, ' ');
      }
    }
    text += TrimRight(line) + "\n";
  }
  return text;
}

bool WriteResultsCsv(const ResultsModel& model, const ContentsList& contents, const std::string& folder,
                     int& written, ErrorText& errorText) {
  constexpr std::string_view kTag = "[WriteResultsCsv]";
  written = 0;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) {
    return Fail(errorText, "Cannot create folder " + folder, kTag);
  }
  for (const ContentsItem& item : contents) {
    std::vector<std::string> lines;
    std::string file;
    if (item.ContentsItemType == kMacroGroup || item.ContentsItemType == kVector) {
      DataView view;
      if (!BuildDataView(model, item, view, errorText)) {
        return AddTag(errorText, kTag);
      }
      lines = ViewLines(view);
      file = item.ContentsItemType == kMacroGroup ? std::string("macros.csv")
                                                  : CsvFileName(model.PV(item.pv).name);
    } else if (item.ContentsItemType == kMatrix || item.ContentsItemType == kThreeDim) {
      lines = LongFormLines(model, item.pv);
      file = CsvFileName(model.PV(item.pv).name);
    }
    if (lines.empty()) {
      continue;
    }
    if (!WriteLines(JoinPath(folder, file), lines)) {
      return Fail(errorText, "Cannot create file " + JoinPath(folder, file), kTag);
    }
    ++written;
  }
  return true;
}

int RunHeadlessSolve(const SolveRequest& request, std::ostream& out, std::ostream& messages,
                     const std::atomic<bool>* interrupt) {
  // The run's own folders, so that runs can go side by side.
  std::string runDir;
  std::string workDir;
  std::string keepDir;
  TemporaryFolder temporary;
  std::error_code ec;
  if (!request.workDir.empty()) {
    runDir = Absolute(request.workDir);
    workDir = JoinPath(runDir, "work");
    fs::create_directories(workDir, ec);
    if (!fs::is_directory(workDir, ec)) {
      messages << "pelorin-solve: cannot make the folder " << workDir << "\n";
      return kSolveFailed;
    }
    keepDir = runDir;
  } else {
    std::string pattern = TemporaryArea() + "/pelorin-solve.XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      messages << "pelorin-solve: cannot make a temporary folder in " << ExtractFilePath(pattern) << "\n";
      return kSolveFailed;
    }
    temporary.path = pattern;
    // Laid out like a run folder: the work folder, whose files are cleared, is a folder of its own.
    workDir = JoinPath(pattern, "work");
    keepDir = pattern;
    if (!fs::create_directory(workDir, ec)) {
      messages << "pelorin-solve: cannot make the folder " << workDir << "\n";
      return kSolveFailed;
    }
  }

  int exitCode = -1;
  ApplicationOptions options;
  options.executablePath = JoinPath(request.programDir, "pelorin-solve");
  const char* comspec = std::getenv("COMSPEC");
  options.comspec = comspec != nullptr ? comspec : "";
  options.exit = [&exitCode](int code) {
    if (exitCode < 0) {
      exitCode = code;
    }
  };
  options.changeToRoot = false;
  options.settingsPath = request.settingsFile.empty() ? std::string() : Absolute(request.settingsFile);
  options.workDir = workDir;
  options.keepDir = keepDir;
  // With its own folder for everything it writes, a run only reads the program folder.
  options.writableProgramDir = runDir.empty();
  if (!options.settingsPath.empty() && !fs::is_regular_file(options.settingsPath, ec)) {
    messages << "pelorin-solve: no settings file " << options.settingsPath << "\n";
    return kSolveFailed;
  }

  ConsoleUserInterface ui(messages, request.model);
  auto app = std::make_unique<Application>(ui, options);
  const Application::StartOutcome outcome = app->FormCreate();
  if (outcome == Application::StartOutcome::NoModel || !SameText(app->App.ModelName, request.model)) {
    messages << "pelorin-solve: no model " << request.model << " is installed in " << request.programDir
             << "\n";
    return kSolveFailed;
  }
  if (outcome != Application::StartOutcome::Ready || exitCode >= 0) {
    return kSolveFailed;
  }
  // Lines after a gap in a numbered list were not read (the warning above names them): solving without
  // them would give results of another simulation.
  if (!app->Settings.listGaps.empty()) {
    messages << "pelorin-solve: lines of the settings file were ignored; nothing was solved\n";
    return 1;
  }
  app->DosJobTimerTimer(); // the first tick: companion programs and data files
  if (exitCode >= 0 || app->Window.closeRequested || app->Model.Model.ModelFile.empty()) {
    messages << "pelorin-solve: the model " << request.model << " cannot be used\n";
    return kSolveFailed;
  }
  if (!runDir.empty()) {
    app->Model.Model.OutputDir = runDir;
    app->Model.OutputPage.OutputDirLabel = UpperCase(runDir);
  }
  // Nothing is touched while a job given up earlier still writes into these folders.
  if (app->Jobs.RefusedWhileAJobRuns()) {
    messages << "pelorin-solve: the simulation of " << request.model << " was not started\n";
    return kSolveJobRunning;
  }
  RemoveEarlierRunFiles(*app, runDir, request.csvDir.empty() ? std::string() : Absolute(request.csvDir),
                        messages);

  auto accuracy = std::make_unique<AccSummaryRec>();
  bool accuracyMade = false;
  app->Jobs.TimerInterval = request.tickMilliseconds;
  app->Jobs.Hooks.showAccSummary = [&](AccSummaryDialog& dialog) {
    *accuracy = dialog.Record();
    accuracyMade = true;
  };
  app->Simulation.Solve.SolveButtonClick();
  bool cancelled = false;
  while (app->Window.timerEnabled && exitCode < 0) {
    if (interrupt != nullptr && interrupt->load() && !cancelled) {
      cancelled = true;
      app->Jobs.CancelButtonClick();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(request.tickMilliseconds));
    app->DosJobTimerTimer();
  }
  if (cancelled && !app->App.Solved && exitCode < 0) {
    // The job works on in its folder: it must stay.
    temporary.keep = true;
    messages << "pelorin-solve: the simulation of " << request.model << " was given up; its job goes on to "
             << "its end in " << workDir << "\n";
    return kSolveInterrupted;
  }
  if (!app->App.Solved || exitCode >= 0) {
    temporary.keep = PrintFailingLog(*app, messages);
    messages << "pelorin-solve: the simulation of " << request.model << " did not succeed\n";
    return kSolveFailed;
  }

  out << AlignedTable(app->Results.ContentsTable());
  PrintSummary(*app, accuracyMade ? accuracy.get() : nullptr, out);
  int code = kSolveSucceeded;
  if (app->Jobs.Job.SsaPreparationFailed) {
    // The results stand; what failed is the preparation for a sensitivity analysis.
    temporary.keep = PrintFailingLog(*app, messages);
    messages << "pelorin-solve: the results of " << request.model
             << " are shown, but their preparation for a sensitivity analysis failed\n";
    code = kSolveSsaFailed;
  }
  if (!request.csvDir.empty()) {
    int written = 0;
    ErrorText errorText;
    const std::string csvDir = Absolute(request.csvDir);
    if (!WriteResultsCsv(app->ResultsData, app->Results.Contents(), csvDir, written, errorText)) {
      messages << "pelorin-solve: " << errorText << "\n";
      return kSolveFailed;
    }
    out << "CSV files:  " << written << " in " << csvDir << "\n";
  }
  return code;
}

int RunHeadlessAddModel(const SolveRequest& request, std::ostream& messages) {
  const std::string archive = Absolute(request.addModelArchive);
  ConsoleUserInterface ui(messages, std::string());
  ui.AnswerFileDialog(archive);
  AddModel1Click(request.programDir, ui);
  if (ui.Errors() > 0 || ui.Warnings() > 0) {
    messages << "pelorin-solve: the model of " << archive << " was not installed whole\n";
    return kSolveFailed;
  }
  return kSolveSucceeded;
}

} // namespace pelorin
