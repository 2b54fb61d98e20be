#pragma once

#include "platform/error_text.h"
#include "shell/solve_method.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

class TextFile;

/// Everything a command file is written from: the model's files, the lines of the Model/Data, Output files,
/// Closure and Shocks pages, the verbal description and the solution method. Gathered from the live state
/// when a job starts, so the writers see one consistent picture.
struct CmfSources {
  std::string modelFile;
  std::string modelStem;
  std::string modelDir;
  std::string outputDir;
  /// The file-description lines of the model information file.
  std::vector<std::string> fileLines;
  std::vector<std::string> dataFileLines;
  std::vector<std::string> outputFileLines;
  /// The "Name for Post-simulation files" box.
  std::string postSimName = "sim1ps";
  /// The solver writes an extrapolation accuracy file.
  bool createXac = true;
  std::vector<std::string> closureLines;
  std::string verbalDescription = "?";
  SolveMethodRec method = DefaultSolveMethod();
  AccuracyOptions accuracy = DefaultAccuracyOptions();
  std::vector<std::string> shockLines;
};

/// The solution file of a solve: the name on the first output line, taken relative to the output folder
/// unless it is absolute, plus ".sl4".
std::string SolutionFilePath(std::string_view outputDir, const std::vector<std::string>& outputFileLines);
/// The simulation's command file: the solution file with ".cmf".
std::string SimulationCmfPath(std::string_view outputDir, const std::vector<std::string>& outputFileLines);
/// The post-simulation command file: the output folder joined with the post-simulation name + ".cmf".
std::string PostSimCmfPath(std::string_view outputDir, std::string_view postSimName);

/// Writes the simulation command file (`postSim` false) or the post-simulation command file (true). Failures
/// carry the file routines' message, then "[CreateCMF]"; the file is closed on every path.
bool CreateCMF(const std::string& fileName, bool postSim, const CmfSources& sources, ErrorText& errorText);

/// Writes the CMFSTART block: the file FindCmfStartFile finds (the one "Edit CMFSTART file" edits), between
/// "! Begin CMFSTART file" + its path and "! End CMFSTART file". Nothing when there is none.
bool WriteCmfStart(TextFile& output, std::string_view outputDir, std::string_view modelDir,
                   ErrorText& errorText);

/// Writes the closure, verbal description and solution method sections, and the miscellaneous header when
/// asked.
bool WriteClosureMethodBlock(TextFile& output, const CmfSources& sources, bool miscHeader,
                             ErrorText& errorText);

/// A line of a shock statement that reads its shocks from a file, as it goes into the command file: a file
/// named without a folder becomes the model folder's file (the line upper-cased, its comment dropped); any
/// other line is copied as it stands. The command file passes only the lines of shock statements that read
/// from a file through it, never a subtotal's description.
std::string ConvertShockLine(std::string_view line, std::string_view modelDir);

/// Which shock lines read shocks from a file: the line's first "=" belongs to a shock statement (shock,
/// final_level, change, percent_change) and the word "file" follows it in that statement on the same line.
/// Only these go through ConvertShockLine; a subtotal's description may say "file" without naming one.
std::vector<bool> LinesReadingShockFiles(const std::vector<std::string>& lines);

/// The "Auxiliary files = ... ;" line: the model file's folder and stem, quoted when needed.
std::string AuxiliaryFilesLine(std::string_view modelFile, std::string_view modelStem);

/// True for a data-file line that names data typed at the terminal ("file (terminal)" ignoring case).
bool IsTerminalDataLine(std::string_view line);

} // namespace pelorin
