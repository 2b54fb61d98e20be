#include "praxola/converter_run.h"

#include "engine/model_info.h"
#include "platform/strings.h"

#include <ctime>
#include <exception>
#include <filesystem>
#include <iostream>
#include <sstream>

namespace pelorin::conv {

namespace {

std::string Now() {
  const std::time_t t = std::time(nullptr);
  char text[64];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
  return text;
}

} // namespace

ConverterRun::ConverterRun(std::string program, const std::string& logPath, bool echo)
    : program_(std::move(program)), log_(logPath, std::ios::binary | std::ios::trunc), echo_(echo) {}

void ConverterRun::Line(std::string_view text) {
  log_ << text << '\n';
  log_.flush();
  if (echo_) {
    std::cout << text << '\n';
  }
}

void ConverterRun::Error(std::string_view text) {
  const bool named = LowerCase(text).find("error") != std::string::npos;
  std::istringstream lines{std::string(named ? text : "error: " + std::string(text))};
  std::string line;
  while (std::getline(lines, line)) {
    Line(line);
  }
}

void ConverterRun::SetReportFile(const std::string& path) {
  reportFile_ = path;
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

int ConverterRun::Finish(bool ok) {
  // Not "error" on failure: the last line holding it stays the one that says what went wrong.
  Line(ok ? " " + program_ + " ended successfully." : " " + program_ + " failed.");
  if (!reportFile_.empty()) {
    ErrorText err;
    if (!engine::WriteReport(reportFile_, ok, err)) {
      Error("cannot write the report file: " + err);
      return 1;
    }
  }
  return ok ? 0 : 1;
}

int RunConverterProgram(const std::string& program, const std::vector<std::string>& arguments,
                        const ConverterBody& body) {
  std::string input, logPath;
  bool echo = false;
  bool wrong = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (i + 1 < arguments.size() && (SameText(a, "-sti") || SameText(a, "-los") || SameText(a, "-lon"))) {
      if (SameText(a, "-sti")) {
        input = arguments[++i];
      } else {
        echo = SameText(a, "-los");
        logPath = arguments[++i];
      }
    } else {
      std::cerr << program << ": error: unexpected argument \"" << a << "\"\n";
      wrong = true;
    }
  }
  if (wrong || input.empty() || logPath.empty()) {
    std::cerr << "usage: " << program << " -sti ANSWER-FILE -los LOG-FILE\n";
    return 2;
  }
  ConverterRun run(program, logPath, echo);
  if (!run.LogOpen()) {
    std::cerr << program << ": error: cannot create the log file " << logPath << "\n";
    return 1;
  }
  run.Line(" " + program + " (" + engine::kSuiteRelease + "), run started " + Now());
  run.Line(" Answer file: " + input);
  bool ok = false;
  try {
    AnswerFile answers;
    ErrorText err;
    if (!answers.Load(input, err)) {
      run.Error(err);
    } else {
      ok = body(answers, run);
    }
  } catch (const std::exception& e) {
    run.Error(std::string("error: the run stopped: ") + e.what());
    ok = false;
  }
  return run.Finish(ok);
}

} // namespace pelorin::conv
