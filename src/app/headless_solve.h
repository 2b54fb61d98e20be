#pragma once

// pelorin-solve: one simulation of an installed model without a window, through the same application core
// the window program uses.

#include "platform/error_text.h"
#include "results/contents_view.h"

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

namespace pelorin {

class ResultsModel;

/// pelorin-solve's exit codes.
inline constexpr int kSolveSucceeded = 0; ///< the simulation and its conversions succeeded; a model was added
inline constexpr int kSolveFailed = 1;    ///< the simulation did not succeed or could not be set up
inline constexpr int kSolveBadArguments = 2;
inline constexpr int kSolveSsaFailed = 3;  ///< results shown, but the sensitivity preparation or its
                                           ///< conversion failed
inline constexpr int kSolveJobRunning = 4; ///< refused: a job given up earlier still writes into its folders
inline constexpr int kSolveInterrupted = 130; ///< Control-C: the job was given up and goes on to its end

/// What one headless run is asked to do.
struct SolveRequest {
  /// The program folder (where the models and the suite's programs are installed).
  std::string programDir;
  /// The installed model to solve (a folder name of the program folder, case ignored).
  std::string model;
  /// A settings file to read instead of the model's own (never written back); empty: the model's own.
  std::string settingsFile;
  /// The run's own folder: results and output files there, job files in its "work" folder (both kept). Empty:
  /// results in the model's output folder and job files in a temporary folder removed at the end.
  std::string workDir;
  /// Where every variable's data view is written as CSV; empty: none.
  std::string csvDir;
  /// A model archive to install as "Add Model" does, instead of solving.
  std::string addModelArchive;
  /// How often the job is polled.
  int tickMilliseconds = 100;
};

/// The usage text.
std::string SolveUsage();

/// Reads `MODEL [--settings FILE] [--work DIR] [--csv DIR]` or `--add-model FILE.zip` (the program's
/// arguments without its name). False with the reason in `error` when they do not fit.
bool ParseSolveArguments(const std::vector<std::string>& arguments, SolveRequest& request,
                         std::string& error);

/// Runs one simulation: start-up with the model restored from its settings, the Solve page's checks, the
/// files written, the chain of jobs run and polled, the results loaded. The contents list and a short summary
/// go to `out`, every message to `messages`, and the last lines of a failing job's log with its path. Returns
/// the exit code (kSolveSucceeded only when the chain succeeded). A set `interrupt` flag cancels the job as
/// the wait dialog's Cancel does (the job is left running). With a work folder, the program folder is only
/// read, and the files an earlier run left in the work and CSV folders are removed before the solve.
int RunHeadlessSolve(const SolveRequest& request, std::ostream& out, std::ostream& messages,
                     const std::atomic<bool>* interrupt = nullptr);

/// Installs the model archive of the request into the program folder through "Add Model", its questions
/// answered "OK"; messages go to `messages`. kSolveSucceeded when the model was installed without an error
/// or a warning about its files.
int RunHeadlessAddModel(const SolveRequest& request, std::ostream& messages);

/// Writes the contents list's variables as CSV files into `folder` (made when missing): "macros.csv" for the
/// scalars and one file per vector, matrix or 3-dimensional variable named after it. Rows are elements (for
/// more than one dimension, one column per dimension), columns the open solutions; a missing result is an
/// empty field. `written` counts the files. Fails with the reason, then "[WriteResultsCsv]".
bool WriteResultsCsv(const ResultsModel& model, const ContentsList& contents, const std::string& folder,
                     int& written, ErrorText& errorText);

/// A table as aligned text: columns padded to their longest cell, two blanks apart.
std::string AlignedTable(const SimTab& table);

} // namespace pelorin
