#pragma once

#include "platform/error_text.h"
#include "platform/user_interface.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

class TextFile;
struct CmfSources;

/// The dialect of the job scripts (solve.bat, clcheck.bat): POSIX sh on this system, the Windows command
/// interpreter's as text for the record.
enum class ScriptDialect { Sh, Cmd };

#ifdef _WIN32
inline constexpr ScriptDialect kNativeDialect = ScriptDialect::Cmd;
#else
inline constexpr ScriptDialect kNativeDialect = ScriptDialect::Sh;
#endif

/// The lines that make a job script change to `folder`. The command interpreter needs a drive letter, sh an
/// absolute folder; without one, "[ChangeDirBat]" is added to the error text and the result is empty (the
/// script then ends there).
bool ChangeDirBat(ScriptDialect dialect, std::string_view folder, std::vector<std::string>& lines,
                  ErrorText& errorText);

/// The path of a suite program in `folder`: "praxol", "mirda" and "folmer" (any case) are the lower-cased
/// name + "a.exe". Any other name shows "Unexpected argument in call to RequiredProgramName." and gives "".
std::string RequiredProgramName(std::string_view name, std::string_view folder, UserInterface& ui);

/// Copies the data that the model reads from the terminal: for every "File (terminal) = f ;" data-file line,
/// the lines of f. Failures carry the file routines' message, then "[CopyTerminalData]".
bool CopyTerminalData(const std::vector<std::string>& dataFileLines, TextFile& output, ErrorText& errorText);

/// What the stored inputs of a solve and the answer files of its follow-up jobs are written from.
struct SolveJobInputs {
  std::string workDir;
  /// The solution file (with its ".sl4").
  std::string solutionFile;
  std::string cmfFile;
  std::string postSimCmfFile;
  bool postSim = false;
  std::vector<std::string> dataFileLines;
  bool getSubtotalsResults = true;
  bool ignoreLevelsResults = false;
};

/// Writes solve.sti, postsim.sti (only with post-simulation), praxol.inp, mirdashk.inp and praxolsh.inp into
/// the work folder, in that order. A file that cannot be written, or terminal data that cannot be read, stops
/// the writing: the error text then carries the reason, then "[WriteSolveJobInputs]", and the solve must
/// stop.
bool WriteSolveJobInputs(const SolveJobInputs& inputs, ErrorText& errorText);

/// The check batch (clcheck.bat) for the closure check's stored input `stiFile` ("clcheck.sti"): remove the
/// old closure information and log, leave a note in the log should the solver not start, run the solver, and
/// write the flag file when it fails.
bool CheckBatchLines(ScriptDialect dialect, std::string_view workDir, std::string_view solver,
                     std::vector<std::string>& lines, ErrorText& errorText);

/// Writes the closure check's command file (clcheck.cmf: model, data, closure, description, method, no
/// equations, the closure information file clcheck.cli), its stored input (clcheck.sti) and its batch
/// (clcheck.bat) into the work folder. Failures carry the file routines' message, then "[CheckClosureCMF]".
bool CheckClosureCMF(const CmfSources& sources, std::string_view workDir, std::string_view solver,
                     ScriptDialect dialect, ErrorText& errorText);

} // namespace pelorin
