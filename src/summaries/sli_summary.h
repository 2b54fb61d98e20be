#pragma once

#include "platform/error_text.h"

#include <array>
#include <string>
#include <vector>

namespace pelorin {

class LineSource;
class TextFile;

/// The summary lines of a solution summary file (".sli"). Every value starts as "unknown": characters '?',
/// integers -1, the stamp "?".
struct SLISummary {
  /// The run's time-date stamp ("#TMDATE"), cut to the caller's length, trailing blanks removed.
  std::string stamp = "?";
  /// True when the file has a "#TMDATE" line; "#NSOL" then carries a fourth integer.
  bool stampPresent = false;
  /// "#AVAIL": cumulative results ('y', 'b' or 'n'), individual columns retained, levels results present.
  char cumulative = '?';
  char indivRetained = '?';
  char levelsPresent = '?';
  /// "#AVAIL": the number of subtotals available.
  int numSubtotals = -1;
  /// The character after "#LEV": '4' when the levels result files exist, 'N' when not.
  char levelsChar = '?';
  /// "#NSOL": cumulative solutions (1), subtotals made, individual columns retained (0), and the fourth value
  /// (the number of levels solutions shown).
  std::array<int, 4> nsol{-1, -1, -1, -1};
  /// How many "#TMDATE", "#AVAIL" and "#NSOL" sections were met (a later one overrides an earlier one).
  int sectionsRead = 0;
};

/// Reads the summary lines of an open summary file, cutting the stamp to `stampLength` characters. Checks the
/// "#AVAIL" characters and the "#NSOL" values; failures end with "[ReadSLISummary]".
bool ReadSLISummary(LineSource& source, int stampLength, SLISummary& summary, ErrorText& errorText);
bool ReadSLISummary(TextFile& file, int stampLength, SLISummary& summary, ErrorText& errorText);

/// Opens the summary file and reads it with ReadSLISummary. Failures end with "[GetSLISummary]".
bool GetSLISummary(const std::string& fileName, int stampLength, SLISummary& summary, ErrorText& errorText);

/// The subtotals of a summary file: the number made (the second "#NSOL" integer, -1 when the file has no
/// "#NSOL") and, when there are any, their descriptions from "#SBTDESC" (one each: "NumSubTotals mismatch"
/// otherwise). Failures end with "[GetNumSubTotals]".
bool GetNumSubTotals(const std::string& fileName, int& numSubTotals, std::vector<std::string>& descriptions,
                     ErrorText& errorText);
/// GetNumSubTotals over lines already open.
bool ReadNumSubTotals(LineSource& source, int& numSubTotals, std::vector<std::string>& descriptions,
                      ErrorText& errorText);

/// The file-name suffix of levels solution 2, 3 or 4: ".SO2", ".SO3", ".SO4"; ".???" for any other number.
std::string LevelsSolFileSuffix(int levelsSolution);
/// The file-name suffix of subtotal n: ".SU1".."SU9", ".S10"..".S99", ".100"..".999"; ".???" otherwise.
std::string SubtotalSolFileSuffix(int subtotal);

} // namespace pelorin
