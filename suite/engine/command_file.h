#pragma once

#include "platform/error_text.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelorin::engine {

/// One argument of a variable named in a statement: a set or subset name, or an element name.
struct CmfArgument {
  std::string text;
  bool quoted = false; ///< written in double quotes: always an element name
};

/// A variable as named in a closure, shock or subtotal statement: x, x(COM,"usa") or x 1-3 5.
struct CmfVarSpec {
  std::string name;
  bool hasArgs = false;
  std::vector<CmfArgument> args;
  std::vector<std::pair<long, long>> components; ///< 1-based component ranges written after the name
  int line = 0;
};

/// exogenous, endogenous, rest exogenous|endogenous, swap.
struct CmfClosure {
  enum class Kind { Exogenous, Endogenous, Rest, Swap };
  Kind kind = Kind::Exogenous;
  bool restExogenous = false;
  std::vector<CmfVarSpec> vars;     ///< the list, or the left side of a swap
  std::vector<CmfVarSpec> swapWith; ///< the right side of a swap
  int line = 0;
};

/// shock, change, percent_change, final_level.
struct CmfShock {
  enum class Kind { Shock, Change, PercentChange, FinalLevel };
  enum class Source { Values, Uniform, File };
  Kind kind = Kind::Shock;
  CmfVarSpec target;
  Source source = Source::Values;
  std::vector<double> values; ///< Values: the list; Uniform: the one value
  bool select = false;        ///< "select from file": the file holds values for the whole variable
  std::string file;           ///< File: the path as written
  std::string header;         ///< File: the Header Array header, empty for a text file
  int line = 0;
};

/// subtotal VARS = description ;
struct CmfSubtotal {
  std::vector<CmfVarSpec> vars;
  std::string description;
  int line = 0;
};

/// xset NAME (elements) ; a set defined in the command file.
struct CmfXSet {
  std::string name;
  std::string label;
  std::vector<std::string> elements;
  int line = 0;
};

/// xsubset SMALL is subset of BIG ;
struct CmfXSubset {
  std::string small;
  std::string big;
  int line = 0;
};

/// A statement naming a file: File NAME = path, Updated file NAME = path, ...
struct CmfFile {
  std::string logicalName;
  std::string path;
  int line = 0;
};

/// A yes/no setting with the line that gave it.
struct CmfFlag {
  bool value = false;
  int line = 0;
};

/// Everything a command file says, in statement order within each kind.
struct CommandFile {
  std::string fileName;
  std::optional<CmfFile> auxiliaryFiles;
  std::vector<CmfFile> files;
  std::optional<CmfFile> solutionFile;
  std::vector<CmfFile> updatedFiles;
  std::optional<CmfFile> updatedTerminalData;
  std::optional<CmfFile> displayFile;
  std::optional<CmfFile> closureInformationFile;
  bool extrapolationAccuracyFile = false;
  std::optional<CmfFlag> dpn, neq, nas, nds, nwr;
  std::optional<CmfFlag> condensation; ///< "condensation = no" keeps every variable in the LU's system
  std::vector<std::string> verbalDescription;
  bool hasVerbalDescription = false;

  std::string method = "gragg"; ///< johansen, euler, gragg or midpoint (lower case)
  std::vector<int> steps;       ///< 1 to 3 step counts; empty when not given
  int subintervals = 1;
  bool automaticAccuracy = false;
  int accuracyFigures = 4;
  int accuracyPercent = 80;
  double minimumSubintervalLength = 0.001;
  bool minimumSubintervalFailsStop = true;
  int accuracyCriterion = 0; ///< 0 data, 1 solution, 2 both
  int methodLine = 0;

  std::vector<CmfClosure> closure;
  std::vector<CmfShock> shocks;
  std::vector<CmfSubtotal> subtotals;
  std::vector<CmfXSet> xsets;
  std::vector<CmfXSubset> xsubsets;
};

/// The keyword a statement's first word stands for: the word lower-cased, with the accepted abbreviations
/// expanded (exo -> exogenous, end -> endogenous, re... -> rest, sho -> shock, fil -> file, ...).
std::string NormaliseKeyword(std::string_view word);

/// Reads the text of a command file. Comments run from "!" to the end of the line ("!!" stands for one "!"
/// that is kept), text between two "#" is dropped, statements end with ";". Every statement that is not
/// understood gives "FILE:LINE: error: message"; all of them are reported (at most 20), one per line of
/// `errorText`, and the result is false.
bool ParseCommandFile(std::string_view text, const std::string& fileName, CommandFile& cmf,
                      ErrorText& errorText);

/// Reads a command file from disk ("Cannot open file " + name on failure).
bool ReadCommandFile(const std::string& path, CommandFile& cmf, ErrorText& errorText);

} // namespace pelorin::engine
