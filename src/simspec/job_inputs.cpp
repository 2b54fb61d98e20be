#include "simspec/job_inputs.h"

#include "model/file_lines.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/strings.h"
#include "platform/text_file.h"
#include "simspec/cmf_writer.h"

namespace pelorin {

namespace {

bool Put(TextFile& output, const std::vector<std::string>& lines, ErrorText& errorText) {
  for (const std::string& line : lines) {
    if (!output.WriteLine(line)) {
      return Fail(errorText, "write error to file " + output.Name());
    }
  }
  return true;
}

// Writes one job file whole: its lines, then (for a stored input) the terminal data. The file is closed on
// every path.
bool WriteJobFile(const std::string& fileName, const std::vector<std::string>& lines,
                  const std::vector<std::string>* terminalData, ErrorText& errorText) {
  TextFile output;
  if (!TxtCreate(output, fileName, errorText)) {
    return false;
  }
  if (!Put(output, lines, errorText) ||
      (terminalData != nullptr && !CopyTerminalData(*terminalData, output, errorText))) {
    ErrorText ignored;
    TxtClose(output, ignored);
    return false;
  }
  return TxtClose(output, errorText);
}

// A folder joined with a name as the script's own system writes it.
std::string ScriptPath(ScriptDialect dialect, std::string_view folder, std::string_view name) {
  if (dialect == ScriptDialect::Sh) {
    return JoinPath(folder, name);
  }
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
    folder.remove_suffix(1);
  }
  return std::string(folder) + "\\" + std::string(name);
}

bool WriteCheckCmf(TextFile& output, const CmfSources& sources, const std::string& cmfFile,
                   ErrorText& errorText) {
  if (!WriteCmfStart(output, sources.outputDir, sources.modelDir, errorText)) {
    return false;
  }
  std::vector<std::string> lines{AuxiliaryFilesLine(sources.modelFile, sources.modelStem)};
  for (const std::string& line : sources.dataFileLines) {
    lines.push_back(IsTerminalDataLine(line) ? "! " + line : line);
  }
  if (!Put(output, lines, errorText) || !WriteClosureMethodBlock(output, sources, true, errorText)) {
    return false;
  }
  return Put(output,
             {"nds = yes ;", "nwr = yes ;", "neq = yes ;", "nas = yes ;",
              "closure information file = " + QuoteIfNeeded(ChangeFileExt(cmfFile, ".cli")) + " ;"},
             errorText);
}

} // namespace

bool ChangeDirBat(ScriptDialect dialect, std::string_view folder, std::vector<std::string>& lines,
                  ErrorText& errorText) {
  if (dialect == ScriptDialect::Sh) {
    if (folder.empty() || folder.front() != '/') {
      return AddTag(errorText, "[ChangeDirBat]");
    }
    lines.push_back("cd " + ShellQuote(folder) + " || exit 1");
    return true;
  }
  if (folder.size() < 2 || folder[1] != ':') {
    return AddTag(errorText, "[ChangeDirBat]");
  }
  lines.push_back(std::string(folder.substr(0, 2)));
  lines.push_back("cd " + QuoteIfNeeded(folder));
  return true;
}

std::string RequiredProgramName(std::string_view name, std::string_view folder, UserInterface& ui) {
  const std::string lower = LowerCase(name);
  if (lower != "praxol" && lower != "mirda" && lower != "folmer") {
    ui.Message(
        MessageKind::Information,
        "Unexpected argument in call to RequiredProgramName.\r\nPlease tell the developers of this code.");
    return {};
  }
  return JoinPath(folder, lower + "a.exe");
}

bool CopyTerminalData(const std::vector<std::string>& dataFileLines, TextFile& output, ErrorText& errorText) {
  for (const std::string& line : dataFileLines) {
    std::string label;
    std::string file;
    SplitFileLine(line, label, file);
    if (LowerCase(label) == "file (terminal) = " && !TxtAppend(output, file, errorText)) {
      return AddTag(errorText, "[CopyTerminalData]");
    }
  }
  return true;
}

bool WriteSolveJobInputs(const SolveJobInputs& inputs, ErrorText& errorText) {
  const std::string& work = inputs.workDir;
  const std::string stem = ChangeFileExt(inputs.solutionFile, "");
  const std::string map = JoinPath(work, "ssashk.map");
  auto write = [&](std::string_view name, const std::vector<std::string>& lines, bool withTerminalData) {
    return WriteJobFile(JoinPath(work, name), lines, withTerminalData ? &inputs.dataFileLines : nullptr,
                        errorText);
  };
  const bool ok =
      write("solve.sti", {"rpt", JoinPath(work, "solve.rpt"), "CMF", inputs.cmfFile}, true) &&
      (!inputs.postSim ||
       write("postsim.sti", {"rpt", JoinPath(work, "postsim.rpt"), "CMF", inputs.postSimCmfFile}, true)) &&
      write("praxol.inp",
            {"bat", "rpt", JoinPath(work, "praxol.rpt"), "wsi", inputs.ignoreLevelsResults ? "nlv" : "shl",
             "", stem, inputs.getSubtotalsResults ? "t" : "c", "n", JoinPath(work, "xx.xx"), " ", " "},
            false) &&
      write("mirdashk.inp",
            {"bat", "rpt", JoinPath(work, "mirdashk.rpt"), "", "s   ! Solution file", stem,
             "s   ! Output SS map file", map, "x   ! exog vars in map"},
            false) &&
      write("praxolsh.inp",
            {"bat", "shk", "nlv", "rpt", JoinPath(work, "praxolsh.rpt"), "", stem, "c",
             "y  ! SS map file to use", map, JoinPath(work, "ssashk.lis")},
            false);
  return ok || AddTag(errorText, "[WriteSolveJobInputs]");
}

bool CheckBatchLines(ScriptDialect dialect, std::string_view workDir, std::string_view solver,
                     std::vector<std::string>& lines, ErrorText& errorText) {
  const std::string cli = ScriptPath(dialect, workDir, "clcheck.cli");
  const std::string log = ScriptPath(dialect, workDir, "clcheck.log");
  const std::string sti = ScriptPath(dialect, workDir, "clcheck.sti");
  const std::string flag = ScriptPath(dialect, workDir, "clcheck.flg");
  const std::string note = "** " + std::string(solver) + " did not produce " + QuoteIfNeeded(log);
  if (!ChangeDirBat(dialect, workDir, lines, errorText)) {
    return false;
  }
  if (dialect == ScriptDialect::Sh) {
    lines.insert(lines.end(), {"rm -f " + ShellQuote(cli), "rm -f " + ShellQuote(log),
                               "echo " + ShellQuote(note) + " > " + ShellQuote(log),
                               ShellQuote(solver) + " -sti " + ShellQuote(sti) + " -lon " + ShellQuote(log),
                               "if [ $? -ne 0 ]; then",
                               "  echo 'error at model solution stage' > " + ShellQuote(flag), "fi"});
    return true;
  }
  lines.insert(lines.end(),
               {"del " + QuoteIfNeeded(cli), "del " + QuoteIfNeeded(log),
                "echo " + note + " > " + QuoteIfNeeded(log),
                QuoteIfNeeded(solver) + " -sti " + QuoteIfNeeded(sti) + " -lon " + QuoteIfNeeded(log),
                "if errorlevel 1 goto error1", "goto endbat", ":error1",
                "echo error at model solution stage > " + QuoteIfNeeded(flag), "goto endbat", ":endbat"});
  return true;
}

bool CheckClosureCMF(const CmfSources& sources, std::string_view workDir, std::string_view solver,
                     ScriptDialect dialect, ErrorText& errorText) {
  constexpr std::string_view kTag = "[CheckClosureCMF]";
  const std::string cmf = JoinPath(workDir, "clcheck.cmf");
  TextFile output;
  if (!TxtCreate(output, cmf, errorText)) {
    return AddTag(errorText, kTag);
  }
  if (!WriteCheckCmf(output, sources, cmf, errorText)) {
    ErrorText ignored;
    TxtClose(output, ignored);
    return AddTag(errorText, kTag);
  }
  if (!TxtClose(output, errorText) ||
      !WriteJobFile(ChangeFileExt(cmf, ".sti"), {"rpt", ChangeFileExt(cmf, ".rpt"), "cmf", cmf},
                    &sources.dataFileLines, errorText)) {
    return AddTag(errorText, kTag);
  }
  // A work folder the script cannot change to leaves a batch that ends there; the check then reports that the
  // solver did not run.
  std::vector<std::string> batch;
  ErrorText batchText;
  CheckBatchLines(dialect, workDir, solver, batch, batchText);
  errorText.append(batchText);
  return WriteJobFile(ChangeFileExt(cmf, ".bat"), batch, nullptr, errorText) || AddTag(errorText, kTag);
}

} // namespace pelorin
