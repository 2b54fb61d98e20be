#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// The screen as the window layer sees it; a report made without a window has none.
struct ScreenFacts {
  int dpi = 0;
  int width = 0;
  int height = 0;
  std::string menuFont;
  int menuFontSize = 0;
  bool menuFontFixed = false; ///< "i" and "m" are equally wide
  std::string defaultFont;
  std::string defaultMonospaceFont;
  std::string systemMonospaceFont;
  struct Monitor {
    int width = 0;
    int height = 0;
    int top = 0;
    int left = 0;
    bool primary = false;
  };
  std::vector<Monitor> monitors;
};

/// What the program knows about itself for the report.
struct DiagnosticsFacts {
  std::string title = "Pelorin";
  double version = 0;
  std::string executablePath;
  std::string commandLine;
  std::string helpFile;
  std::string keepDir;
  std::string iniName; ///< the settings file; empty when no model was chosen
  std::string tempDir;
  std::string programDir;
  char programDecimalSeparator = '.';
  std::optional<ScreenFacts> screen;
  /// The suite-version lines (SuiteVersionLines) when they were made; placed at the end of section 1.
  std::vector<std::string> suiteVersionLines;
};

/// Where the facts of the machine come from. `root` is put before every system path the report reads
/// (/proc, /etc, /usr/share), so a test can build the report over a tree of its own; the environment is the
/// process's as "NAME=value" strings. Facts of the running process that have no file (heap, address-space
/// limit, user id, free space) come from the process itself.
struct SystemView {
  std::string root;
  std::vector<std::string> environment;
  std::chrono::system_clock::time_point now = std::chrono::system_clock::now();
};

/// The system view of the running process: the real root and environment, the time now.
SystemView LiveSystemView();

/// The report as lines: the date line, then the sections, each starting with an empty line and
/// "SECTION " + n + ": " + title.
struct DiagnosticsReport {
  std::vector<std::string> lines;
  int sections = 0;

  /// Starts the next section.
  void Section(std::string_view title);
  /// Adds a line.
  void Line(std::string text) { lines.push_back(std::move(text)); }
  /// The whole report, lines joined by `lineEnd`.
  std::string Text(std::string_view lineEnd = "\r\n") const;
};

/// The program's version line of the about box and the report: "Version " + version with 2 decimals +
/// ",  10/Apr/2015".
std::string VersionLine(double version);

/// The first line of the report: "dddd, mmmm d, yyyy, h:mm AM/PM" in local time.
std::string ReportDateLine(std::chrono::system_clock::time_point when);

/// A label padded with blanks to `width`, then HT and the value.
std::string PaddedLabel(std::string_view label, std::size_t width, std::string_view value);

/// Builds the eleven sections of the report. Entries of the system view that are missing or unreadable give
/// lines that say so; nothing is invented.
DiagnosticsReport BuildDiagnosticsReport(const DiagnosticsFacts& facts, const SystemView& view);

} // namespace pelorin
