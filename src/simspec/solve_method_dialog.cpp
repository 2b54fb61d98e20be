#include "simspec/solve_method_dialog.h"

#include "platform/strings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace pelorin {

namespace {

bool IsGraggOrMidpoint(SolutionMethod method) {
  return method == SolutionMethod::Gragg || method == SolutionMethod::Midpoint;
}

int UsedSolutions(const SolveMethodRec& method) {
  return std::clamp(method.solutions, 1, 3);
}

// A step box's number; nothing when the box does not hold a whole number.
std::optional<int> StepsValue(std::string_view text) {
  const std::string trimmed = Trim(text);
  int value = 0;
  const char* first = trimmed.data();
  const char* last = first + trimmed.size();
  if (first != last && *first == '+') {
    ++first;
  }
  const auto [end, ec] = std::from_chars(first, last, value);
  if (first == last || ec != std::errc() || end != last) {
    return std::nullopt;
  }
  return value;
}

bool InStepRange(int steps) {
  return steps >= 1 && steps <= 999;
}

SolveMethodRec MemoryEntry(SolutionMethod method, int solutions, std::array<int, 3> steps, bool automatic) {
  return SolveMethodRec{method, solutions, steps, 1, automatic};
}

constexpr std::string_view kIncreasing = "Sequence of steps must be increasing";
constexpr std::string_view kStepRange = "Number of steps must be a whole number from 1 to 999";

} // namespace

std::string_view MethodName(SolutionMethod method) {
  switch (method) {
  case SolutionMethod::Johansen:
    return "Johansen";
  case SolutionMethod::Euler:
    return "Euler";
  case SolutionMethod::Gragg:
    return "Gragg";
  case SolutionMethod::Midpoint:
    return "Midpoint";
  }
  return "Gragg";
}

bool AutomaticAccuracyInUse(const SolveMethodRec& method) {
  return method.automaticAccuracy && method.method != SolutionMethod::Johansen && method.solutions == 3;
}

int SubintervalsInUse(const SolveMethodRec& method, const AccuracyOptions& accuracy) {
  // The dialog shows the "Sub-intervals" box only with three solutions; a count it hides must not run.
  if (method.method == SolutionMethod::Johansen || method.solutions != 3) {
    return 1;
  }
  return std::max(1, AutomaticAccuracyInUse(method) ? accuracy.subintervals : method.subintervals);
}

std::string MethodLabelText(const SolveMethodRec& method) {
  std::string text(MethodName(method.method));
  text.append(": ");
  if (method.method == SolutionMethod::Johansen) {
    text.append("1 step");
  } else {
    const int used = UsedSolutions(method);
    for (int i = 0; i < used; ++i) {
      if (i > 0) {
        text.push_back('-');
      }
      text.append(std::to_string(method.steps[static_cast<std::size_t>(i)]));
    }
    text.append(" steps");
    if (used >= 2) {
      text.append(" extrapolation");
    }
  }
  if (AutomaticAccuracyInUse(method)) {
    text.append(" (Automatic Accuracy)");
  } else if (const int subintervals = SubintervalsInUse(method, {}); subintervals > 1) {
    text.append(" (" + std::to_string(subintervals) + " subintervals)");
  }
  return text;
}

std::vector<std::string> MethodStatements(const SolveMethodRec& method, const AccuracyOptions& accuracy) {
  std::vector<std::string> lines;
  lines.push_back("Method = " + std::string(MethodName(method.method)) + ";");
  if (method.method == SolutionMethod::Johansen) {
    lines.emplace_back("Steps = 1;");
  } else {
    std::string steps = "Steps =";
    for (int i = 0; i < UsedSolutions(method); ++i) {
      steps.append(" " + std::to_string(method.steps[static_cast<std::size_t>(i)]));
    }
    lines.push_back(steps + ";");
  }
  lines.push_back("subintervals = " + std::to_string(SubintervalsInUse(method, accuracy)) + ";");
  return lines;
}

std::vector<std::string> AutomaticAccuracyStatements(const SolveMethodRec& method,
                                                     const AccuracyOptions& accuracy) {
  if (!AutomaticAccuracyInUse(method)) {
    return {"automatic accuracy = no;"};
  }
  static constexpr std::array<std::string_view, 3> kCriteria{"Data", "Solution", "Both"};
  const std::size_t criterion =
      accuracy.criterion >= 0 && accuracy.criterion <= 2 ? static_cast<std::size_t>(accuracy.criterion) : 0;
  return {"automatic accuracy = yes;",
          "accuracy figures = " + std::to_string(accuracy.figures) + ";",
          "accuracy percent = " + std::to_string(accuracy.percent) + ";",
          "minimum subinterval length = " + ExponentText(accuracy.minimumLength) + ";",
          accuracy.stopOnFailure ? "minimum subinterval fails = stop;"
                                 : "minimum subinterval fails = continue;",
          "accuracy criterion = " + std::string(kCriteria[criterion]) + ";"};
}

std::string ExponentText(double value) {
  if (std::isnan(value)) {
    return "NAN";
  }
  if (std::isinf(value)) {
    return value < 0 ? "-INF" : "INF";
  }
  // Two significant digits: let printf round the mantissa, then lay it out with a four-digit exponent.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.1e", std::fabs(value));
  const char* e = std::strchr(buffer, 'e');
  const int exponent = e != nullptr ? std::atoi(e + 1) : 0;
  char text[64];
  std::snprintf(text, sizeof text, "%c%c.%cE%c%04d", value < 0 ? '-' : ' ', buffer[0], buffer[2],
                exponent < 0 ? '-' : '+', std::abs(exponent));
  return text;
}

bool SameSolveMethod(const SolveMethodRec& a, const SolveMethodRec& b) {
  if (a.method != b.method || a.automaticAccuracy != b.automaticAccuracy) {
    return false;
  }
  if (a.method != SolutionMethod::Johansen) {
    if (a.solutions != b.solutions) {
      return false;
    }
    for (int i = 0; i < UsedSolutions(a); ++i) {
      if (a.steps[static_cast<std::size_t>(i)] != b.steps[static_cast<std::size_t>(i)]) {
        return false;
      }
    }
  }
  return a.automaticAccuracy || a.subintervals == b.subintervals;
}

TSolveMethodDlg::TSolveMethodDlg(SolveMethodRec& method, AccuracyOptions& accuracy, UserInterface& ui)
    : method_(method), accuracy_(accuracy), ui_(ui) {}

void TSolveMethodDlg::Open() {
  const bool automatic = method_.automaticAccuracy;
  memory_ = {MemoryEntry(SolutionMethod::Johansen, 1, {1, 1, 1}, false),
             MemoryEntry(SolutionMethod::Euler, 3, {3, 4, 5}, automatic),
             MemoryEntry(SolutionMethod::Gragg, 3, {2, 4, 6}, automatic),
             MemoryEntry(SolutionMethod::Midpoint, 3, {2, 4, 6}, automatic)};
  const int current = static_cast<int>(method_.method);
  if (current >= 1 && current <= 4) {
    memory_[static_cast<std::size_t>(current - 1)] = method_;
  }
  savedMethod_ = method_;
  savedAccuracy_ = accuracy_;
  focus_ = Focus::None;
  FillControls();
  Arrange();
}

void TSolveMethodDlg::FillControls() {
  controls_.method = static_cast<int>(method_.method);
  controls_.solutions = method_.solutions;
  for (std::size_t i = 0; i < 3; ++i) {
    controls_.steps[i] = std::to_string(method_.steps[i]);
  }
  controls_.automaticAccuracy = method_.automaticAccuracy;
  controls_.figures = accuracy_.figures;
  controls_.percent = accuracy_.percent;
  controls_.criterion = accuracy_.criterion;
  controls_.stopOnFailure = accuracy_.stopOnFailure;
  // The exponent box offers -9..-1; a length outside that range shows the nearest end.
  const double length = accuracy_.minimumLength;
  const double exponent = length > 0 && std::isfinite(length) ? std::round(std::log10(length)) : -3.0;
  controls_.exponent = static_cast<int>(
      std::clamp(exponent, static_cast<double>(kMinLengthExponent), static_cast<double>(kMaxLengthExponent)));
}

void TSolveMethodDlg::Arrange() {
  const bool johansen = method_.method == SolutionMethod::Johansen;
  if (johansen) {
    method_.solutions = 1;
    controls_.steps[0] = "1";
  }
  controls_.solutions = method_.solutions;
  controls_.solutionsEnabled = !johansen;
  controls_.steps1Enabled = !johansen;
  controls_.steps2Visible = method_.solutions >= 2;
  controls_.steps3Visible = method_.solutions >= 3;
  if (method_.solutions < 3) {
    method_.automaticAccuracy = false;
  }
  controls_.automaticAccuracy = method_.automaticAccuracy;
  controls_.automaticAccuracyEnabled = method_.solutions == 3;
  controls_.automaticAccuracyVisible = false;
  controls_.subintervalsVisible = method_.solutions == 3;
  controls_.subintervalsMax = std::max(100, accuracy_.subintervals);
  controls_.subintervals = method_.automaticAccuracy ? accuracy_.subintervals : method_.subintervals;
  controls_.tall = method_.automaticAccuracy;
}

void TSolveMethodDlg::StoreSteps() {
  for (std::size_t i = 0; i < 3; ++i) {
    if (const auto value = StepsValue(controls_.steps[i]); value && InStepRange(*value)) {
      method_.steps[i] = *value;
    }
  }
}

void TSolveMethodDlg::MethodChanged(int method) {
  if (method < 1 || method > 4 || method == static_cast<int>(method_.method)) {
    return;
  }
  StoreSteps();
  const int current = static_cast<int>(method_.method);
  if (current >= 1 && current <= 4) {
    memory_[static_cast<std::size_t>(current - 1)] = method_;
  }
  method_ = memory_[static_cast<std::size_t>(method - 1)];
  FillControls();
  Arrange();
}

void TSolveMethodDlg::SolutionsChanged(int solutions) {
  method_.solutions = std::clamp(solutions, 1, 3);
  Arrange();
}

void TSolveMethodDlg::StepsChanged(int index, std::string_view text) {
  if (index >= 0 && index < 3) {
    controls_.steps[static_cast<std::size_t>(index)] = std::string(text.substr(0, 3));
  }
}

void TSolveMethodDlg::AutomaticAccuracyChanged(bool on) {
  method_.automaticAccuracy = on;
  Arrange();
}

void TSolveMethodDlg::SubintervalsChanged(int subintervals) {
  subintervals = std::clamp(subintervals, 1, controls_.subintervalsMax);
  (method_.automaticAccuracy ? accuracy_.subintervals : method_.subintervals) = subintervals;
  controls_.subintervals = subintervals;
}

void TSolveMethodDlg::FiguresChanged(int figures) {
  accuracy_.figures = controls_.figures = figures;
}

void TSolveMethodDlg::PercentChanged(int percent) {
  accuracy_.percent = controls_.percent = percent;
}

void TSolveMethodDlg::CriterionChanged(int criterion) {
  accuracy_.criterion = controls_.criterion = std::clamp(criterion, 0, 2);
}

void TSolveMethodDlg::ExponentChanged(int exponent) {
  controls_.exponent = exponent;
  accuracy_.minimumLength = static_cast<float>(std::pow(10.0, exponent));
}

void TSolveMethodDlg::FailActionChanged(bool stop) {
  accuracy_.stopOnFailure = controls_.stopOnFailure = stop;
}

bool TSolveMethodDlg::OkClick() {
  static constexpr std::array<Focus, 3> kBoxes{Focus::Steps1, Focus::Steps2, Focus::Steps3};
  const int used = UsedSolutions(method_);
  std::array<std::optional<int>, 3> s;
  for (std::size_t i = 0; i < 3; ++i) {
    s[i] = StepsValue(controls_.steps[i]);
  }
  auto refuse = [this](std::string_view text, Focus box) {
    ui_.Message(MessageKind::Error, text);
    focus_ = box;
    return false;
  };
  // The rules' checks come first, each on boxes that hold numbers; a box without one cannot be judged by
  // them.
  const bool graggOrMidpoint = IsGraggOrMidpoint(method_.method);
  if (graggOrMidpoint && s[0] && *s[0] < 2) {
    return refuse("For Gragg or MidPoint,\r\nFirst solution must have 2 or more steps", Focus::Steps1);
  }
  if (used >= 2 && s[0] && s[1] && *s[1] <= *s[0]) {
    return refuse(kIncreasing, Focus::Steps2);
  }
  if (used == 3 && s[1] && s[2] && *s[2] <= *s[1]) {
    return refuse(kIncreasing, Focus::Steps3);
  }
  const auto parityDiffers = [](const std::optional<int>& a, const std::optional<int>& b) {
    return a && b && *a % 2 != *b % 2;
  };
  if (graggOrMidpoint && used >= 2 &&
      (parityDiffers(s[0], s[1]) || (used == 3 && parityDiffers(s[1], s[2])))) {
    return refuse("For Gragg or MidPoint,\r\nSteps must be ALL odd or ALL even", Focus::Steps2);
  }
  // What the rules let pass may still be no count at all: an empty or non-numeric box, or 0 steps of Euler.
  for (std::size_t i = 0; static_cast<int>(i) < used; ++i) {
    if (!s[i] || !InStepRange(*s[i])) {
      return refuse(kStepRange, kBoxes[i]);
    }
  }
  // A box not in use keeps its previous value unless it holds a count the record can take: a 0 stored there
  // would make the next start reset the whole method.
  for (std::size_t i = 0; i < 3; ++i) {
    if (s[i] && InStepRange(*s[i])) {
      method_.steps[i] = *s[i];
    }
  }
  focus_ = Focus::None;
  return true;
}

void TSolveMethodDlg::CancelClick() {
  method_ = savedMethod_;
  accuracy_ = savedAccuracy_;
}

bool TSolveMethodDlg::Changed() const {
  return !(accuracy_ == savedAccuracy_ && SameSolveMethod(method_, savedMethod_));
}

} // namespace pelorin
