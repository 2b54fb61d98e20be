#include "engine/accuracy.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pelorin::engine {

namespace {

std::string Fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

void WriteHistogram(const std::function<void(const std::string&)>& write, const FigureCounts& counts) {
  for (int k = 6; k >= 0; --k) {
    char buf[96];
    std::snprintf(buf, sizeof buf, " %10lld results are judged accurate to %d figures.",
                  static_cast<long long>(counts[k]), k);
    write(buf);
  }
  write(" (end of summary)");
}

} // namespace

int AgreeingFigures(double a, double b) {
  const double diff = std::fabs(a - b);
  if (diff <= 1e-12) {
    return 6;
  }
  const double scale = std::max(std::fabs(a), std::fabs(b));
  if (!std::isfinite(diff) || scale == 0.0) {
    return 0;
  }
  const double rel = diff / scale;
  int figures = 0;
  double limit = 0.5;
  for (int k = 1; k <= 6; ++k, limit /= 10.0) {
    if (rel < limit) {
      figures = k;
    }
  }
  return figures;
}

void JudgeVariable(const double* all, const double* two, std::size_t count, int* figures) {
  double largest = 0.0;
  for (std::size_t k = 0; k < count; ++k) {
    largest = std::max({largest, std::fabs(all[k]), std::fabs(two[k])});
  }
  const double nearZero = kNearZeroTolerance * largest;
  for (std::size_t k = 0; k < count; ++k) {
    figures[k] = std::fabs(all[k] - two[k]) <= nearZero ? 6 : AgreeingFigures(all[k], two[k]);
  }
}

void WriteAccuracyBlock(const std::function<void(const std::string&)>& log, bool overall, int sub, double ta,
                        double tb, const FigureCounts& vars, const std::vector<FigureCounts>& data,
                        const std::vector<std::string>& names) {
  const auto write = [&](const std::string& line) {
    if (log) {
      log(line);
    }
  };
  write("");
  if (overall) {
    write(" ACCURACY SUMMARY FOR OVERALL RESULTS");
    write(" Below are for overall levels values of the endogenous variables.");
  } else {
    write(" Accuracy summary for subinterval " + std::to_string(sub) + " (t from " + Fixed(ta, 6) + " to " +
          Fixed(tb, 6) + ")");
    write(" Below are for levels values of the endogenous variables.");
  }
  WriteHistogram(write, vars);
  if (names.empty()) {
    return;
  }
  if (names.size() == 1) {
    write(" NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE " + names[0]);
    WriteHistogram(write, data[0]);
    return;
  }
  FigureCounts all{};
  for (const FigureCounts& d : data) {
    for (int k = 0; k < 7; ++k) {
      all[k] += d[k];
    }
  }
  write(" NEXT SUMMARY IS FOR ALL UPDATED DATA");
  WriteHistogram(write, all);
  for (std::size_t f = 0; f < names.size(); ++f) {
    write(" Data summary for logical file " + names[f] + ":");
    WriteHistogram(write, data[f]);
  }
}

} // namespace pelorin::engine
