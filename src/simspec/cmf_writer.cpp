#include "simspec/cmf_writer.h"

#include "model/file_lines.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "platform/text_file.h"
#include "shell/settings.h"
#include "simspec/solve_method_dialog.h"
#include "simspec/statement_reader.h"

#include <initializer_list>
#include <optional>

namespace pelorin {

namespace {

constexpr std::string_view kTag = "[CreateCMF]";

bool Put(TextFile& output, std::string_view line, ErrorText& errorText) {
  return output.WriteLine(line) || Fail(errorText, "write error to file " + output.Name());
}

bool Put(TextFile& output, std::initializer_list<std::string_view> lines, ErrorText& errorText) {
  for (std::string_view line : lines) {
    if (!Put(output, line, errorText)) {
      return false;
    }
  }
  return true;
}

bool PutAll(TextFile& output, const std::vector<std::string>& lines, ErrorText& errorText) {
  for (const std::string& line : lines) {
    if (!Put(output, line, errorText)) {
      return false;
    }
  }
  return true;
}

bool HasFolderPart(std::string_view name) {
  return name.find_first_of("/\\") != std::string_view::npos || (name.size() >= 2 && name[1] == ':');
}

// The line cut at its first "!", trimmed, with every run of blanks made one blank.
std::string CondensedStatement(std::string_view line) {
  const std::string trimmed = Trim(line.substr(0, line.find('!')));
  std::string condensed;
  condensed.reserve(trimmed.size());
  for (char c : trimmed) {
    if (c != ' ' || condensed.empty() || condensed.back() != ' ') {
      condensed.push_back(c);
    }
  }
  return condensed;
}

bool WriteDataFileLines(TextFile& output, const std::vector<std::string>& lines, ErrorText& errorText) {
  for (const std::string& line : lines) {
    if (!Put(output, IsTerminalDataLine(line) ? "! " + line : line, errorText)) {
      return false;
    }
  }
  return true;
}

// The post-simulation run reads the simulation's updated files in place of the originals and writes its other
// outputs next to its display file, numbered as the simulation numbers them.
bool WritePostSimFileLines(TextFile& output, const CmfSources& sources, ErrorText& errorText) {
  const std::string display = JoinPath(sources.outputDir, sources.postSimName + ".dis");
  int inputs = 0;
  int outputs = 0;
  for (const std::string& fileLine : sources.fileLines) {
    const FileDescLine file = ParseFileDescLine(fileLine);
    std::string line;
    if (file.Direction == "in") {
      ++inputs;
      if (file.Updated) {
        if (file.Is("(terminal)")) {
          continue;
        }
        const std::string wanted = "Updated file " + file.LogicalName + " = ";
        for (const std::string& outputLine : sources.outputFileLines) {
          std::string label;
          std::string name;
          SplitFileLine(outputLine, label, name);
          if (SameText(label, wanted)) {
            line = "File " + file.LogicalName + " = " +
                   QuoteIfNeeded(ResolveRelative(sources.outputDir, name)) + " ;";
            break;
          }
        }
      } else if (inputs <= static_cast<int>(sources.dataFileLines.size())) {
        const std::string& dataLine = sources.dataFileLines[static_cast<std::size_t>(inputs - 1)];
        if (!IsTerminalDataLine(dataLine)) {
          line = dataLine;
        }
      }
    } else if (file.Is("(display)")) {
      if (file.Updated) {
        line = "Display file = " + QuoteIfNeeded(display) + " ;";
      }
    } else {
      ++outputs;
      line = "File " + file.LogicalName + " = " + QuoteIfNeeded(ChangeFileExt(display, OutFileExt(outputs))) +
             " ;";
    }
    if (!line.empty() && !Put(output, line, errorText)) {
      return false;
    }
  }
  return true;
}

bool IsShockKeyword(std::string_view keyword) {
  return keyword == "shock" || keyword == "final_level" || keyword == "change" || keyword == "percent_change";
}

bool WriteBody(TextFile& output, bool postSim, const CmfSources& sources, ErrorText& errorText) {
  if (!WriteCmfStart(output, sources.outputDir, sources.modelDir, errorText) ||
      !Put(output, {"!", "! Auxiliary files (i.e., which model)", "! ---------------", "!"}, errorText) ||
      !Put(output, AuxiliaryFilesLine(sources.modelFile, sources.modelStem), errorText)) {
    return false;
  }
  if (postSim) {
    return Put(output, {"!", "! Input and output files", "! ----------------------", "!"}, errorText) &&
           WritePostSimFileLines(output, sources, errorText) &&
           Put(output, {"! No equations - hence no simulation", "neq = yes ;", "nas = yes ;", "dpn = yes ;"},
               errorText);
  }
  if (!Put(output, {"!", "! Original Data files", "! -------------------", "!"}, errorText) ||
      !WriteDataFileLines(output, sources.dataFileLines, errorText) ||
      !Put(output, {"!", "! Output files", "! ------------", "!"}, errorText) ||
      !PutAll(output, sources.outputFileLines, errorText) ||
      (sources.createXac && !Put(output, "Extrapolation Accuracy File = yes ;", errorText)) ||
      !Put(output, "dpn = yes ;", errorText) || !WriteClosureMethodBlock(output, sources, true, errorText) ||
      !PutAll(output, AutomaticAccuracyStatements(sources.method, sources.accuracy), errorText) ||
      !Put(output, {"!", "! Shocks", "! ------", "!"}, errorText)) {
    return false;
  }
  std::vector<std::string> shocks;
  shocks.reserve(sources.shockLines.size());
  for (const std::string& line : sources.shockLines) {
    shocks.push_back(CleanEditLine(line));
  }
  const std::vector<bool> readsFile = LinesReadingShockFiles(shocks);
  for (std::size_t i = 0; i < shocks.size(); ++i) {
    if (!Put(output, readsFile[i] ? ConvertShockLine(shocks[i], sources.modelDir) : shocks[i], errorText)) {
      return false;
    }
  }
  return true;
}

} // namespace

std::string SolutionFilePath(std::string_view outputDir, const std::vector<std::string>& outputFileLines) {
  const std::string name = outputFileLines.empty() ? std::string() : LineFile(outputFileLines.front());
  return ResolveRelative(outputDir, name) + ".sl4";
}

std::string SimulationCmfPath(std::string_view outputDir, const std::vector<std::string>& outputFileLines) {
  return ChangeFileExt(SolutionFilePath(outputDir, outputFileLines), ".cmf");
}

std::string PostSimCmfPath(std::string_view outputDir, std::string_view postSimName) {
  return JoinPath(outputDir, std::string(postSimName) + ".cmf");
}

bool CreateCMF(const std::string& fileName, bool postSim, const CmfSources& sources, ErrorText& errorText) {
  TextFile output;
  if (!TxtCreate(output, fileName, errorText)) {
    return AddTag(errorText, kTag);
  }
  if (!WriteBody(output, postSim, sources, errorText)) {
    ErrorText ignored;
    TxtClose(output, ignored);
    return AddTag(errorText, kTag);
  }
  return TxtClose(output, errorText) || AddTag(errorText, kTag);
}

bool WriteCmfStart(TextFile& output, std::string_view outputDir, std::string_view modelDir,
                   ErrorText& errorText) {
  const std::optional<std::string> found = FindCmfStartFile(outputDir, modelDir);
  if (!found) {
    return true;
  }
  return Put(output, {"! Begin CMFSTART file", "! " + *found}, errorText) &&
         TxtAppend(output, *found, errorText) && Put(output, "! End CMFSTART file", errorText);
}

bool WriteClosureMethodBlock(TextFile& output, const CmfSources& sources, bool miscHeader,
                             ErrorText& errorText) {
  if (!Put(output, {"!", "! Closure", "! -------", "!"}, errorText)) {
    return false;
  }
  for (const std::string& line : sources.closureLines) {
    if (!Put(output, CleanEditLine(line), errorText)) {
      return false;
    }
  }
  return Put(output, {"!", "! Verbal description", "! ------------------", "!", "Verbal Description ="},
             errorText) &&
         Put(output, StatementText(sources.verbalDescription) + ";", errorText) &&
         Put(output, {"!", "! Solution method", "! ---------------", "!"}, errorText) &&
         PutAll(output, MethodStatements(sources.method, sources.accuracy), errorText) &&
         (!miscHeader || Put(output, {"!", "! Miscellaneous info", "! ------------------", "!"}, errorText));
}

std::string ConvertShockLine(std::string_view line, std::string_view modelDir) {
  const std::string upper = UpperCase(Trim(line.substr(0, line.find('!'))));
  const std::size_t equals = upper.find('=');
  const std::size_t file = upper.find("FILE ");
  if (equals == std::string::npos || file == std::string::npos || file < equals) {
    return std::string(line);
  }
  // Work on the condensed statement in both cases: the upper-case copy gives the text around the name, the
  // original the name as typed (file names keep their case on this system).
  const std::string asTyped = CondensedStatement(line);
  const std::string condensed = UpperCase(asTyped);
  const std::size_t restStart = condensed.find("FILE ") + 5;
  std::string_view rest = std::string_view(asTyped).substr(restStart);
  std::string name;
  std::size_t after = 0;
  if (!rest.empty() && rest.front() == '"') {
    // A quoted name may hold blanks; it ends at its closing quote.
    const std::size_t close = rest.find('"', 1);
    if (close == std::string_view::npos) {
      return std::string(line);
    }
    name = std::string(rest.substr(1, close - 1));
    after = close + 1;
  } else {
    const std::size_t end = rest.find_first_of(" ;");
    name = std::string(rest.substr(0, end));
    after = name.size();
  }
  if (Trim(name).empty() || HasFolderPart(name)) {
    return std::string(line);
  }
  const std::optional<std::string> existing = FindFileIgnoringCase(modelDir, name);
  const std::string path = existing ? *existing : JoinPath(modelDir, name);
  return condensed.substr(0, restStart) + QuoteIfNeeded(path) + condensed.substr(restStart + after);
}

std::vector<bool> LinesReadingShockFiles(const std::vector<std::string>& lines) {
  std::vector<bool> reads(lines.size(), false);
  std::vector<bool> equalsSeen(lines.size(), false);
  TOpenCMFFile reader;
  reader.Open(lines);
  while (reader.NextStatement()) {
    const bool shock = IsShockKeyword(TOpenCMFFile::NormaliseKeyword(reader.Keyword()));
    int watched = -1; // the line whose first "=" this shock statement holds, until "file" follows it
    while (reader.NextToken() && reader.Token() != ";") {
      const auto line = static_cast<std::size_t>(reader.LineCount());
      if (reader.Token() == "=" && !equalsSeen[line]) {
        equalsSeen[line] = true;
        watched = shock ? static_cast<int>(line) : -1;
      } else if (watched == static_cast<int>(line) && SameText(reader.Token(), "file")) {
        reads[line] = true;
        watched = -1;
      }
    }
  }
  return reads;
}

std::string AuxiliaryFilesLine(std::string_view modelFile, std::string_view modelStem) {
  return "Auxiliary files = " + QuoteIfNeeded(ExtractFilePath(modelFile) + std::string(modelStem)) + " ;";
}

bool IsTerminalDataLine(std::string_view line) {
  return StartsWithText(line, "file (terminal)");
}

} // namespace pelorin
