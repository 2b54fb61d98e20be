#pragma once

#include <array>

namespace pelorin {

/// The solution methods of multi-step extrapolation, numbered as the settings file stores them.
enum class SolutionMethod : int { Johansen = 1, Euler = 2, Gragg = 3, Midpoint = 4 };

/// The method record: which method, how many multi-step solutions, their step counts, the subintervals used
/// without automatic accuracy, and whether automatic accuracy is on. One lives for the whole program.
struct SolveMethodRec {
  SolutionMethod method = SolutionMethod::Johansen;
  /// Number of multi-step solutions, 1 to 3.
  int solutions = 1;
  /// Steps of solutions 1, 2 and 3 (1 to 999); steps of solutions not in use keep their values.
  std::array<int, 3> steps{1, 3, 5};
  /// Subintervals when automatic accuracy is off; at least 1.
  int subintervals = 1;
  bool automaticAccuracy = false;

  friend bool operator==(const SolveMethodRec&, const SolveMethodRec&) = default;
};

/// The accuracy options, used only with automatic accuracy. One lives for the whole program.
struct AccuracyOptions {
  /// Accuracy percent (60 to 99 in the method dialog).
  int percent = 80;
  /// Subintervals to start from with automatic accuracy.
  int subintervals = 2;
  /// Significant figures required (1 to 6 in the method dialog).
  int figures = 4;
  /// Minimum subinterval length.
  float minimumLength = 0.001f;
  /// What the solver does when the minimum length fails: stop (true) or continue.
  bool stopOnFailure = true;
  /// 0 "Data", 1 "Solution", 2 "Both".
  int criterion = 0;

  friend bool operator==(const AccuracyOptions&, const AccuracyOptions&) = default;
};

/// The ranges the method dialog offers for the accuracy options; values read from the settings file are kept
/// inside them.
inline constexpr int kMinAccuracyFigures = 1;
inline constexpr int kMaxAccuracyFigures = 6;
inline constexpr int kMinAccuracyPercent = 60;
inline constexpr int kMaxAccuracyPercent = 99;
/// The minimum subinterval length's box offers 10^n for n from -9 to -1.
inline constexpr int kMinLengthExponent = -9;
inline constexpr int kMaxLengthExponent = -1;
inline constexpr float kShortestMinimumLength = 1e-9f;
inline constexpr float kLongestMinimumLength = 0.1f;

/// The method record when the program starts: Johansen, 1 solution, steps 1, 3, 5, 1 subinterval, no
/// automatic accuracy.
inline SolveMethodRec StartupSolveMethod() {
  return SolveMethodRec{};
}

/// The method record after a model is loaded, or when the settings lack a method, a number of solutions or a
/// step count: Gragg, 3 solutions, steps 2, 4, 6, 1 subinterval, no automatic accuracy.
inline SolveMethodRec DefaultSolveMethod() {
  return SolveMethodRec{SolutionMethod::Gragg, 3, {2, 4, 6}, 1, false};
}

/// The accuracy options' defaults: 80 percent, 2 subintervals, 4 figures, minimum length 0.001, stop on
/// failure, criterion "Data".
inline AccuracyOptions DefaultAccuracyOptions() {
  return AccuracyOptions{};
}

} // namespace pelorin
