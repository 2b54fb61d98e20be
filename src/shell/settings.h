#pragma once

#include "platform/error_text.h"
#include "shell/solve_method.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

class UserInterface;

/// Every value of a model's settings file (ModelBase + ".ini"), with the defaults a missing file, section or
/// key reads as.
struct IniOptions {
  // Section "Options".
  bool playMusic = false;
  bool developerMode = false; ///< read, never written
  int orvaneVersion = 0;      ///< read and not used; written as 240
  bool ignoreLevelsResults = false;
  bool getSubtotalsResults = true;
  bool createXacFile = true;
  std::string textEditor; ///< empty: the built-in editor
  std::string modelDesc = "Model description";
  bool bigPic = false; ///< read by the catalogue, never written

  // Section "Environment".
  std::string model;           ///< full path of the model file; empty: no model
  std::string modelName;       ///< the model file's name without folder and extension
  std::string merkaFile;       ///< written for information, never read
  std::string outputDirectory; ///< written for information, never read
  std::string postSimNames = "sim1ps";
  std::string sviFile;
  int modelGpVer = 0;
  std::string verbalDescription = "?";

  // The numbered lists, one line each, in command-file form.
  std::vector<std::string> inputFiles;
  std::vector<std::string> closure;
  std::vector<std::string> shocks;
  std::vector<std::string> outputFiles;

  // Section "Solution Method".
  SolveMethodRec method = DefaultSolveMethod();
  AccuracyOptions accuracy = DefaultAccuracyOptions();

  // What reading found, for the program's own use; never written.
  /// The file named a model that could not be restored (gone, or refused by the companion check): its lists
  /// were not read, and the file's model sections should not be overwritten with the empty ones.
  bool modelNotRestored = false;
  /// The numbered lists that have a gap with later lines after it, each as "[Section] key, key, ...": those
  /// lines were not read.
  std::vector<std::string> listGaps;
};

/// Which parts of the settings WriteIniOptions writes.
enum class SettingsParts {
  All,
  /// Only the "Options" keys: the model's sections (environment, the four lists and the solution method)
  /// stay as the file has them.
  OptionsOnly,
};

/// What reading the settings needs to know about the installation.
struct SettingsContext {
  std::string programDir;
  std::string modelHomeDir;
  /// Re-point the model file and the input data files into modelHomeDir (start-up always does).
  bool relocate = true;
  /// Checks that a model file's companion files are complete; it may show its own messages. Unset: every
  /// existing model file is accepted.
  std::function<bool(const std::string& modelFile)> modelFilesOk;
};

/// Reads a settings file into `options`. With a model that exists and passes the companion check, the model
/// path, the input lines (relocated), the closure, shocks, output lines and SVI file are kept; without one
/// they are emptied. Blank lines of the input and output lists are dropped. A numbered list read up to a
/// missing number while later numbers exist shows a warning naming the section and the keys left unread. The
/// text editor falls back to the same name in the program folder, and "scribix.exe" there always wins. A
/// missing file reads as all defaults; an unreadable one also reads as defaults but returns false with the
/// reason, then "[ReadIniOptions]". A minimum subinterval length that is not a number shows "Error converting
/// " + text + " to real." and reads as 0.001. Solution method values that cannot be used as they stand (no
/// whole number, out of range: the method then takes its defaults; automatic-accuracy values outside the
/// method dialog's ranges: brought inside them) are named with their keys in one warning.
bool ReadIniOptions(const std::string& path, const SettingsContext& context, UserInterface& ui,
                    IniOptions& options, ErrorText& errorText);

/// Writes the settings back in their order, keeping the file's other keys (such as "DeveloperMode" and
/// "BigPic") as they were; with SettingsParts::OptionsOnly only the "Options" keys. The file is replaced
/// whole, so a failed write leaves the previous settings intact; failure appends the reason, then
/// "[WriteIniOptions]".
bool WriteIniOptions(const std::string& path, const IniOptions& options, ErrorText& errorText,
                     SettingsParts parts = SettingsParts::All);

/// Reads only the catalogue's keys of a settings file: "ModelDesc" and "BigPic" of section "Options".
void ReadCatalogueOptions(const std::string& path, std::string& modelDesc, bool& bigPic);

/// An edit-box line made safe for a command file: every character outside "!" to "~" becomes a blank.
std::string CleanEditLine(std::string_view line);

/// An input data file line re-pointed into `folder`: the file between "=" and ";" keeps only its name (a
/// marker "??" stays), and the line is rebuilt as "left= file ;rest". A line without "=" before ";" stays.
std::string RelocateInputLine(std::string_view line, std::string_view folder);

/// An output line whose file has no existing folder, rebuilt as its label + the file's name lower-cased and
/// quoted when needed + " ;". A line whose file's folder exists, or that has no "=", stays.
std::string RebuildOutputLine(std::string_view line);

/// The file name part of a path written with either "/" or "\" between folders (settings written on another
/// system name their files with "\").
std::string BareFileName(std::string_view path);

} // namespace pelorin
