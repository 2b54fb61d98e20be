#pragma once

#include "platform/error_text.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

class UserInterface;

/// Where a missing companion program was looked for, as messages say it.
inline constexpr std::string_view kProgramPlace = "(either in Orvane's directory or on the DOS Path).";

/// The folder searched for Brisolent after the program folder and PATH.
inline constexpr std::string_view kSuiteFallbackDir = "/kv";

/// The file name PRAXOL and MIRDA must have in the program folder: the lower-cased name + "a.exe".
std::string RequiredProgramName(std::string_view name);

/// Where a companion program is. PRAXOL and MIRDA count only as RequiredProgramName in the program folder;
/// the others (DRAVEX, Lumarix, Telvari, Brisolent) as name + ".exe" in the program folder, else on PATH,
/// names compared ignoring case. The full path found, or empty.
std::string FindProgram(std::string_view name, const std::string& programDir);

/// Where Brisolent is: as FindProgram finds it, else "Brisolent.exe" (any case) in `fallbackDir`. Empty when
/// it is nowhere. The View menu's enabling and the start use this one search.
std::string FindBrisolent(const std::string& programDir, std::string_view fallbackDir = kSuiteFallbackDir);

/// Starts a program that is left alone: program, arguments (without the program), current folder. Returns
/// false with the reason in the error text when it cannot be started.
using ProgramLauncher =
    std::function<bool(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& folder, ErrorText& errorText)>;

/// The launcher that really starts programs (detached, no terminal input).
ProgramLauncher DetachedLauncher();

/// The viewers, the external editor and the command prompt, started with their argument forms and reporting
/// through message boxes when they are missing or cannot be started.
class CompanionPrograms {
public:
  /// How Lumarix is given its target: a file to open, "#" + a file to view, or "%" + a folder to browse.
  enum class LumarixTarget { File, ViewFile, Folder };

  CompanionPrograms(std::string programDir, UserInterface& ui, ProgramLauncher launcher = DetachedLauncher());

  /// Sets the program folder the programs are looked for in (known once start-up has found it).
  void SetProgramDir(std::string programDir) { programDir_ = std::move(programDir); }
  /// Replaces how programs are started (tests record the starts instead).
  void SetLauncher(ProgramLauncher launcher) { launcher_ = std::move(launcher); }

  /// Starts Lumarix on a file or folder, in `folder` (the model folder). A file to view must exist ("Cannot
  /// find file:"); a folder is not checked. False after a message when Lumarix is missing or does not start.
  bool StartLumarix(LumarixTarget form, const std::string& target, const std::string& folder);
  /// Starts Telvari on a solution file, or with `outputFolder` true on "%" + a folder. False after a message.
  bool StartTelvari(const std::string& target, bool outputFolder, const std::string& folder);
  /// Starts Brisolent (FindBrisolent: program folder, PATH, then `fallbackDir`) on a solution file, in the
  /// file's folder.
  bool StartBrisolent(const std::string& solutionFile, std::string_view fallbackDir = kSuiteFallbackDir);
  /// Opens a file in the external editor, in `folder`; "#" + file views it read-only when the editor is
  /// "scribix.exe" or "kaledit.exe". False after "Could not launch " + editor + " !".
  bool StartEditor(const std::string& editor, const std::string& file, bool viewOnly,
                   const std::string& folder);
  /// "Shell to &DOS": writes workDir/wgN.bat (N raised until the name is free; a script of the platform's
  /// shell) that changes to `outputDir` and runs `interpreter`, and opens it in a terminal. False after
  /// "Unable to run " + interpreter (the script is then deleted).
  bool ShellToDos(const std::string& workDir, const std::string& outputDir, const std::string& interpreter);

  /// The text of the shell script ShellToDos writes.
  static std::string ShellScript(const std::string& outputDir, const std::string& interpreter);

private:
  bool Launch(const std::string& program, const std::vector<std::string>& arguments,
              const std::string& folder);

  std::string programDir_;
  UserInterface& ui_;
  ProgramLauncher launcher_;
  int shellCounter_ = 0;
};

} // namespace pelorin
