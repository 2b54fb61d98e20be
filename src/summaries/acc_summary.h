#pragma once

#include "platform/error_text.h"

#include <array>
#include <string>

namespace pelorin {

class LineSource;

/// The most subintervals an accuracy record holds.
inline constexpr int kMaxAccSubintervals = 300;

/// One accuracy summary block: how many results were accurate to 0, 1, ..., 6 figures.
struct AccHistogram {
  std::array<int, 7> counts{}; ///< counts[f]: results accurate to f figures
  bool present = false;        ///< the block was found in the log
  float average10 = 0;         ///< the average number of figures times 10
  int grade = 0;               ///< 0 (worst) .. 10 (best)
};

/// The summaries of one subinterval: for the variables ("levels values") and for the updated data.
struct AccSubinterval {
  AccHistogram levels;
  AccHistogram data;
};

/// The accuracy record of one solver log.
struct AccSummaryRec {
  /// Number of subintervals counted (the overall summary, when there is one, is the last of them).
  int numSubintervals = 0;
  /// Subintervals 1..numSubintervals (index 0 unused).
  std::array<AccSubinterval, kMaxAccSubintervals + 1> sub{};
  /// True when the log held an overall summary.
  bool overallFound = false;
  /// Position of the overall summary among the subintervals, and of its data part; -1 when absent.
  int overallLevelsPos = -1;
  int overallDataPos = -1;
  /// The subinterval with the lowest average for the variables and for the data, not counting the overall
  /// summary; 0 when there is none.
  int worstLevels = 0;
  int worstData = 0;
};

/// The grade (0..10) of an average number of figures times 10.
int AccuracyGrade(float average10);

/// Reads one block of accuracy lines ("N results are judged accurate to K figures.") into the histogram and
/// sets its average and grade. Failures end with "[GetPlacesSumry]".
bool GetPlacesSumry(LineSource& log, AccHistogram& histogram, ErrorText& errorText);

/// Reads the accuracy record of a log file with `numUpdated` updated data files. The count of subintervals
/// starts at expected - 1; with `overallOnly` only the overall block is taken; with `exactlyOne` the count
/// must end at `expected`. Failures end with "[GetAccSummary2]".
bool GetAccSummary2(const std::string& logFile, int numUpdated, int expected, bool overallOnly,
                    bool exactlyOne, AccSummaryRec& record, ErrorText& errorText);
/// GetAccSummary2 over lines already open (the reading itself, without the file's existence check).
bool ReadAccSummary(LineSource& log, int numUpdated, int expected, bool overallOnly, bool exactlyOne,
                    AccSummaryRec& record, ErrorText& errorText);
/// The accuracy record of a whole log: every block taken, no exactly-one check. Failures end with
/// "[GetAccSummary]".
bool GetAccSummary(const std::string& logFile, int numUpdated, AccSummaryRec& record, ErrorText& errorText);

} // namespace pelorin
