#include "shell/companion_programs.h"

#include "platform/paths.h"
#include "platform/process.h"
#include "platform/strings.h"
#include "platform/text_file.h"
#include "platform/user_interface.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

std::string FindIn(const std::string& folder, const std::string& name) {
  const std::optional<std::string> found = FindFileIgnoringCase(folder, name);
  return found && IsFile(*found) ? *found : std::string();
}

// The program is started from another folder than the one it was found from: a hit on PATH is an absolute
// path, and only a file that may be run counts.
std::string FindOnPath(const std::string& name) {
  for (const std::string& folder : PathFolders()) {
    const std::optional<std::string> found = FindFileIgnoringCase(folder, name);
    if (found && IsRunnable(*found)) {
      return *found;
    }
  }
  return {};
}

std::string NotAvailable(std::string_view program, std::string_view consequence) {
  return std::string(program) + " is not available\r\n" + std::string(kProgramPlace) + "\r\n" +
         std::string(consequence);
}

// A terminal window for the command prompt: the system's chosen terminal, else xterm.
std::string TerminalProgram() {
  for (const char* name : {"x-terminal-emulator", "xterm"}) {
    if (std::string found = SearchPath(name); !found.empty()) {
      return found;
    }
  }
  return {};
}

} // namespace

std::string RequiredProgramName(std::string_view name) {
  return LowerCase(name) + "a.exe";
}

std::string FindProgram(std::string_view name, const std::string& programDir) {
  if (SameText(name, "PRAXOL") || SameText(name, "MIRDA")) {
    return FindIn(programDir, RequiredProgramName(name));
  }
  const std::string file = std::string(name) + ".exe";
  if (std::string found = FindIn(programDir, file); !found.empty()) {
    return found;
  }
  return FindOnPath(file);
}

std::string FindBrisolent(const std::string& programDir, std::string_view fallbackDir) {
  if (std::string found = FindProgram("Brisolent", programDir); !found.empty()) {
    return found;
  }
  return fallbackDir.empty() ? std::string() : FindIn(std::string(fallbackDir), "Brisolent.exe");
}

ProgramLauncher DetachedLauncher() {
  return [](const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
            ErrorText& errorText) {
    return StartDetached(program, arguments, {folder, false}, errorText);
  };
}

CompanionPrograms::CompanionPrograms(std::string programDir, UserInterface& ui, ProgramLauncher launcher)
    : programDir_(std::move(programDir)), ui_(ui), launcher_(std::move(launcher)) {}

bool CompanionPrograms::Launch(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& folder) {
  ErrorText ignored;
  return launcher_(program, arguments, folder, ignored);
}

bool CompanionPrograms::StartLumarix(LumarixTarget form, const std::string& target,
                                     const std::string& folder) {
  const std::string program = FindProgram("Lumarix", programDir_);
  if (program.empty()) {
    ui_.Message(MessageKind::Error, NotAvailable("Lumarix", "You cannot examine Header Array files."));
    return false;
  }
  std::string argument = target;
  if (form == LumarixTarget::ViewFile) {
    if (!IsFile(target)) {
      ui_.Message(MessageKind::Error, "Cannot find file:\r\n" + target);
      return false;
    }
    argument = "#" + target;
  } else if (form == LumarixTarget::Folder) {
    argument = "%" + target;
  }
  if (!Launch(program, {argument}, folder)) {
    ui_.Message(MessageKind::Error, "Could not launch Lumarix !");
    return false;
  }
  return true;
}

bool CompanionPrograms::StartTelvari(const std::string& target, bool outputFolder,
                                     const std::string& folder) {
  const std::string program = FindProgram("Telvari", programDir_);
  if (program.empty()) {
    ui_.Message(MessageKind::Error,
                NotAvailable("Telvari", "You cannot examine Solution files via Telvari."));
    return false;
  }
  if (!Launch(program, {outputFolder ? "%" + target : target}, folder)) {
    ui_.Message(MessageKind::Error, "Could not launch Telvari !");
    return false;
  }
  return true;
}

bool CompanionPrograms::StartBrisolent(const std::string& solutionFile, std::string_view fallbackDir) {
  const std::string program = FindBrisolent(programDir_, fallbackDir);
  if (program.empty()) {
    std::error_code ec;
    std::string text = "Cannot find Brisolent.\r\n[";
    if (fs::is_directory(programDir_, ec)) {
      text += "In " + programDir_ + ",\r\n";
    }
    text += "on PATH or in " + std::string(fallbackDir) + "]";
    ui_.Message(MessageKind::Error, text);
    return false;
  }
  std::string folder = ExtractFilePath(solutionFile);
  if (folder.size() > 1 && folder.back() == kPathSeparator) {
    folder.pop_back();
  }
  if (!Launch(program, {solutionFile}, folder)) {
    ui_.Message(MessageKind::Error, "Could not run \r\n" + program);
    return false;
  }
  return true;
}

bool CompanionPrograms::StartEditor(const std::string& editor, const std::string& file, bool viewOnly,
                                    const std::string& folder) {
  const std::string name = LowerCase(ExtractFileName(editor));
  const bool hashForm = viewOnly && (name == "scribix.exe" || name == "kaledit.exe");
  if (hashForm && !IsFile(file)) {
    ui_.Message(MessageKind::Error, "Cannot find file:\r\n" + file);
    return false;
  }
  if (!Launch(editor, {hashForm ? "#" + file : file}, folder)) {
    ui_.Message(MessageKind::Error, "Could not launch " + editor + " !");
    return false;
  }
  return true;
}

std::string CompanionPrograms::ShellScript(const std::string& outputDir, const std::string& interpreter) {
  std::string script = "#!/bin/sh\n";
  // A folder that is not absolute cannot be changed to: the script ends before it.
  if (outputDir.empty() || outputDir.front() != kPathSeparator) {
    return script + "exit 1\n";
  }
  script += "cd " + ShellQuote(outputDir) + " || exit 1\n";
  script += "exec " + ShellQuote(interpreter) + "\n";
  return script;
}

bool CompanionPrograms::ShellToDos(const std::string& workDir, const std::string& outputDir,
                                   const std::string& interpreter) {
  std::string script;
  std::error_code ec;
  do {
    ++shellCounter_;
    script = JoinPath(workDir, "wg" + std::to_string(shellCounter_) + ".bat");
  } while (fs::exists(fs::symlink_status(script, ec)));
  TextFile file;
  ErrorText error;
  bool written = TxtCreate(file, script, error) && file.Write(ShellScript(outputDir, interpreter));
  written = TxtClose(file, error) && written;
  const std::string terminal = TerminalProgram();
  if (!written || interpreter.empty() || terminal.empty() ||
      !Launch(terminal, {"-e", interpreter, script}, programDir_)) {
    fs::remove(script, ec);
    ui_.Message(MessageKind::Error, "Unable to run " + interpreter);
    return false;
  }
  return true;
}

} // namespace pelorin
