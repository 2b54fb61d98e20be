#pragma once

#include "platform/user_interface.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// One file-description line of a model information file's file section, split at its fixed columns.
struct FileDescLine {
  /// Columns 1-20 with every space removed ("BASEDATA", "(terminal)", "(display)").
  std::string LogicalName;
  /// Columns 23-25, lower-cased and trimmed: "in" or "out".
  std::string Direction;
  /// Column 30 holds "y" or "Y": the file is updated by the model (for "(display)": a display file is made).
  bool Updated = false;
  /// Columns 33-35 exactly as written ("HAR", "TXT").
  std::string FileType;
  /// Column 38 to the end, trimmed: a file name fixed inside the model; blank when the user supplies it.
  std::string FixedName;

  /// The logical name begins with "(": a pseudo-file without a description line after it.
  bool IsPseudo() const { return !LogicalName.empty() && LogicalName.front() == '('; }
  /// The logical name equals `name` ignoring case (for pseudo-files such as "(terminal)").
  bool Is(std::string_view name) const;
  /// The file type lower-cased ("har", "txt").
  std::string Type() const;
};

/// Splits a file-description line at its columns; a missing column reads as blank.
FileDescLine ParseFileDescLine(std::string_view line);

/// The file section of a model information file: its file-description lines (with each one's description)
/// and the files named after "#MRKFILE" and "#STIFILE".
struct FileSection {
  struct Entry {
    std::string Line;        ///< the file-description line as written
    std::string Description; ///< the line after it (trimmed) when the logical name does not begin with "("
  };
  std::vector<Entry> Entries;
  bool HasMrkFile = false;
  std::string MrkFile; ///< the line after "#MRKFILE"
  bool HasStiFile = false;
  std::string StiFile; ///< the line after "#STIFILE"
};

/// Reads the file section of a model information file: the two header lines are skipped, every line up to
/// "#MRKFILE" is a file-description line (followed by its description line unless the logical name begins
/// with "("). False when the file cannot be opened or read.
bool ReadFileSection(const std::string& fileName, FileSection& section);

/// The type and description of a logical file from the file section of `modelInfoFile`: the first line whose
/// logical name equals `logicalName` ignoring case and spaces. Both empty without a match or without the
/// file.
void DescribeLogicalFile(const std::string& modelInfoFile, std::string_view logicalName,
                         std::string& fileType, std::string& description);

/// Splits a data-file or output-file line: `label` is the text up to and including the first "=", trimmed,
/// plus one space; `file` is the text between the first "=" and the first ";" after it, trimmed, with one
/// pair of surrounding double quotes removed. Without "=" both are empty; without ";" the file is empty.
void SplitFileLine(std::string_view line, std::string& label, std::string& file);

/// The file named by a line (see SplitFileLine).
std::string LineFile(std::string_view line);

/// The logical name of an input line ("File BASEDATA = ..." gives "BASEDATA"), upper-cased.
std::string InputLogicalName(std::string_view line);

/// An output line whose first eight characters are "updated " ignoring case.
bool IsUpdatedLine(std::string_view line);

/// The suffix of the k-th updated file name: none for k = 1, "a" to "i" for k = 2 to 10. Beyond that the
/// error "Too many updated files." is shown and the suffix is "?".
std::string UpdatedSuffix(int k, UserInterface& ui);

/// The output name of the k-th "out" file: "sim1.ou" + k up to 9, "sim1.o" + k from 10 on (for stem "sim1").
std::string OutFileName(std::string_view stem, int k);

/// The extension of the k-th "out" file: ".ou" + k up to 9, ".o" + k from 10 on.
std::string OutFileExt(int k);

/// The name of the k-th updated file after the solution name changed from `oldSolution` to `newSolution`.
/// Without a current name: newSolution + suffix + ".upd". A current name is replaced by that only when the
/// new solution name has at most 7 characters and no blank and the current name without extension equals
/// oldSolution + suffix ignoring case; otherwise the current name stays.
std::string UpdatedName(int k, std::string_view current, std::string_view oldSolution,
                        std::string_view newSolution, UserInterface& ui);

/// True when the file `name`, put on output line `index`, would clash with another output line: compared
/// ignoring case with every other line's file (the solution line's with ".sl4" added); for an updated line
/// the other updated lines are compared by their names without extension.
bool OutputNameConflicts(const std::vector<std::string>& lines, std::size_t index, std::string_view name);

/// The post-simulation name for a solution name: its file-name part, cut to 6 characters, + "ps".
std::string PostSimNameFor(std::string_view solutionName);

/// A name in a model information file is taken relative to `folder` unless it is absolute (it starts with a
/// separator or "\", or has ":" as its second character).
std::string ResolveRelative(std::string_view folder, std::string_view name);

/// True when `path` names an existing regular file (links followed).
bool IsFile(const std::string& path);

/// The command-file preamble, a file named "CMFSTART" in any case: in `outputDir` when there is one, else in
/// `modelDir`. Within a folder the name "CMFSTART" itself wins, then the first match in byte order. Both the
/// View menu's editing and the command-file writer take the file found here.
std::optional<std::string> FindCmfStartFile(std::string_view outputDir, std::string_view modelDir);

/// A folder without trailing separators (a root stays).
std::string WithoutTrailingSeparator(std::string folder);

/// The folder part of a path, without trailing separators.
std::string FolderOfPath(std::string_view path);

/// Reads every line of a text file (LF or CR LF), ignoring a leading UTF-8 byte-order mark; false when it
/// cannot be opened or read.
bool ReadLines(const std::string& fileName, std::vector<std::string>& lines);

/// Writes lines to a text file, each ended with LF, through a new file renamed over the old one: a failed
/// write leaves the previous file untouched. False when it cannot be created, written or replaced.
bool WriteLines(const std::string& fileName, const std::vector<std::string>& lines);

/// The lines without those that are empty or hold only blanks (a data-file list names no file on them).
std::vector<std::string> WithoutBlankLines(std::vector<std::string> lines);

} // namespace pelorin
