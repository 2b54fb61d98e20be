#include "jobs/job_scripts.h"

#include "platform/paths.h"
#include "platform/process.h"

namespace pelorin {

SolveBatch SolveBatchPaths(const std::string& workDir, const std::string& outputDir,
                           const std::string& solver, const std::string& solutionFile, bool postSim) {
  SolveBatch batch;
  batch.outputDir = outputDir;
  batch.workDir = workDir;
  batch.solver = solver;
  batch.solutionFile = solutionFile;
  batch.logCopy = ChangeFileExt(solutionFile, ".log");
  batch.solveSti = JoinPath(workDir, "solve.sti");
  batch.solveLog = JoinPath(workDir, "solve.log");
  batch.solveFlag = JoinPath(workDir, "solve.flg");
  batch.postSim = postSim;
  batch.postSimSti = JoinPath(workDir, "postsim.sti");
  batch.postSimLog = JoinPath(workDir, "postsim.log");
  batch.postSimFlag = JoinPath(workDir, "postsim.flg");
  return batch;
}

namespace {

// The note a script leaves in a log before the solver runs: it stays there only when the solver never
// started.
std::string NotRunNote(const SolveBatch& batch, const std::string& log) {
  return "** " + QuoteIfNeeded(batch.solver) + " did not produce " + QuoteIfNeeded(log);
}

constexpr const char* kNoSolution = "*** But Solution file was not created ***";

void ShLines(const SolveBatch& b, std::vector<std::string>& lines, ErrorText& errorText) {
  const auto q = [](const std::string& path) { return ShellQuote(path); };
  if (!ChangeDirBat(ScriptDialect::Sh, b.outputDir, lines, errorText)) {
    return;
  }
  const std::string solutionStage = "  echo 'error at model solution stage' > " + q(b.solveFlag);
  lines.insert(lines.end(),
               {"rm -f " + q(b.solutionFile), "rm -f " + q(ChangeFileExt(b.solutionFile, ".slc")),
                "rm -f " + q(ChangeFileExt(b.solutionFile, ".xac")),
                "echo " + q(NotRunNote(b, b.solveLog)) + " > " + q(b.solveLog),
                q(b.solver) + " -sti " + q(b.solveSti) + " -lon " + q(b.solveLog), "if [ $? -ne 0 ]; then",
                "  cp " + q(b.solveLog) + " " + q(b.logCopy), solutionStage, "  exit 0", "fi",
                "cp " + q(b.solveLog) + " " + q(b.logCopy), "if [ ! -f " + q(b.solutionFile) + " ]; then",
                "  echo '" + std::string(kNoSolution) + "' >> " + q(b.logCopy),
                "  echo '" + std::string(kNoSolution) + "' >> " + q(b.solveLog), solutionStage, "  exit 0",
                "fi"});
  if (!b.postSim || !ChangeDirBat(ScriptDialect::Sh, b.workDir, lines, errorText)) {
    return;
  }
  lines.insert(lines.end(),
               {"echo " + q(NotRunNote(b, b.postSimLog)) + " > " + q(b.postSimLog),
                q(b.solver) + " -sti " + q(b.postSimSti) + " -lon " + q(b.postSimLog),
                "if [ $? -ne 0 ]; then", "  echo 'error at PostSim stage' > " + q(b.postSimFlag), "fi"});
}

void CmdLines(const SolveBatch& b, std::vector<std::string>& lines, ErrorText& errorText) {
  const auto q = [](const std::string& path) { return QuoteIfNeeded(path); };
  if (!ChangeDirBat(ScriptDialect::Cmd, b.outputDir, lines, errorText)) {
    return;
  }
  lines.insert(lines.end(), {"del " + q(b.solutionFile), "del " + q(ChangeFileExt(b.solutionFile, ".slc")),
                             "del " + q(ChangeFileExt(b.solutionFile, ".xac")),
                             "echo " + NotRunNote(b, b.solveLog) + " > " + q(b.solveLog),
                             q(b.solver) + " -sti " + q(b.solveSti) + " -lon " + q(b.solveLog),
                             "if errorlevel 1 goto error1", "copy " + q(b.solveLog) + " " + q(b.logCopy),
                             "if exist " + q(b.solutionFile) + " goto sl4ok", "goto error1s", ":sl4ok"});
  if (b.postSim) {
    if (!ChangeDirBat(ScriptDialect::Cmd, b.workDir, lines, errorText)) {
      return;
    }
    lines.insert(lines.end(), {"echo " + NotRunNote(b, b.postSimLog) + " > " + q(b.postSimLog),
                               q(b.solver) + " -sti " + q(b.postSimSti) + " -lon " + q(b.postSimLog),
                               "if errorlevel 1 goto error3"});
  }
  lines.insert(lines.end(),
               {"goto endbat", ":error1", "copy " + q(b.solveLog) + " " + q(b.logCopy), ":error1a",
                "echo error at model solution stage > " + q(b.solveFlag), "goto endbat", ":error1s",
                "echo " + std::string(kNoSolution) + " >> " + q(b.logCopy),
                "echo " + std::string(kNoSolution) + " >> " + q(b.solveLog), "goto error1a"});
  if (b.postSim) {
    lines.insert(lines.end(),
                 {"goto endbat", ":error3", "echo error at PostSim stage > " + q(b.postSimFlag)});
  }
  lines.insert(lines.end(), {"goto endbat", ":endbat"});
}

} // namespace

void SolveBatchLines(ScriptDialect dialect, const SolveBatch& batch, std::vector<std::string>& lines,
                     ErrorText& errorText) {
  if (dialect == ScriptDialect::Sh) {
    ShLines(batch, lines, errorText);
  } else {
    CmdLines(batch, lines, errorText);
  }
}

std::vector<std::string> ScriptArguments(ScriptDialect dialect, const std::string& script, bool solve) {
  if (dialect == ScriptDialect::Sh) {
    return {script};
  }
  if (solve) {
    return {"/e:2000", "/c", script};
  }
  return {"/c", script};
}

} // namespace pelorin
