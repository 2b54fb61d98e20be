#pragma once

#include "platform/error_text.h"

#include <string>

namespace pelorin {

/// The application-wide state record: one instance lives for the whole process, owned by the application
/// object. Paths are plain strings without a trailing separator.
struct AppState {
  /// The executable's file name without extension; the main-window caption and the name used in messages.
  std::string Title = "Pelorin";
  /// Folder of the executable. Kept in its own case: on a case-sensitive file system the folder part of an
  /// existing path is never lower-cased.
  std::string ProgramDir;
  /// ProgramDir + "/work": where every job file is written; "nosuchdir" until start-up has set it, "??" after
  /// the first tick found it unusable.
  std::string WorkDir = "nosuchdir";
  /// Initial folder of save dialogs; updated to the folder of every file the user saves.
  std::string LastSaveDir;
  /// Name of the custom model chosen from the catalogue; "nosuchmodel" before the choice.
  std::string ModelName = "nosuchmodel";
  /// That model's description from the catalogue.
  std::string ModelDescription;
  /// ProgramDir + "/" + ModelName.
  std::string ModelHomeDir;
  /// ModelHomeDir + "/" + ModelName: the stem of every model-specific file.
  std::string ModelBase;
  /// Where the closure-information copy "current.svi" is kept (the model's home folder).
  std::string KeepDir;
  /// ModelHomeDir + "/" + ModelName + ".ini": the per-model settings file.
  std::string SettingsPath;
  /// False until start-up has passed every folder check; the settings file is only written when true.
  bool SettingsWritable = false;
  /// Developer mode: extra menus and controls, missing programs not fatal, work folder kept at close-down.
  bool DeveloperMode = false;
  /// Whether the model's start-up sound plays.
  bool PlayMusic = false;
  /// Absolute pixel height of the main font; every size in the window is a multiple of it.
  int FontUnit = 16;
  /// Accumulator for the text of a pending fatal or job error message.
  pelorin::ErrorText ErrorText;
  /// A solution has been produced since the program started and the Results page may be shown.
  bool Solved = false;
  /// The settings changed since the last solution.
  bool ResultsOutdated = true;
  /// The files of the last solve exist (enables the View entries that show them).
  bool SolutionPresent = false;
  /// The wait dialog of a running job is open.
  bool WaitDialogShown = false;
  /// Set at the end of start-up; the first timer tick then runs JustAfterStarting.
  bool FirstTickPending = false;
  /// The program's help file (in ProgramDir) and the sensitivity-analysis help file.
  std::string HelpFile;
  std::string SsaHelpFile;
};

} // namespace pelorin
