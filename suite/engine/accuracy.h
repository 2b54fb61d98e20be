#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelorin::engine {

/// Number of significant figures (0..6) on which two results agree.
int AgreeingFigures(double a, double b);

/// Results whose extrapolations differ by no more than this times the largest absolute result of their
/// variable (or updated header) count as accurate to 6 figures: a result that ends near zero is judged
/// against the size of its variable, not against itself.
constexpr double kNearZeroTolerance = 1e-7;

/// Figures of every result of one variable (or updated header), from the extrapolations of two (`two`) and of
/// three solutions (`all`): AgreeingFigures, with differences within kNearZeroTolerance of the variable's
/// largest result counted as 6.
void JudgeVariable(const double* all, const double* two, std::size_t count, int* figures);

/// Histogram of figures: counts[k] results agree to k figures.
using FigureCounts = std::array<std::int64_t, 7>;

/// Writes one accuracy summary block of the log: for a subinterval from `from` to `to`, or the overall one;
/// the variables' histogram, then the updated data's (one file, or all files and each file).
void WriteAccuracyBlock(const std::function<void(const std::string&)>& log, bool overall, int subinterval,
                        double from, double to, const FigureCounts& variables,
                        const std::vector<FigureCounts>& data, const std::vector<std::string>& fileNames);

} // namespace pelorin::engine
