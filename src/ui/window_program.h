#pragma once

#include "app/application.h"
#include "ui/qt_user_interface.h"

#include <memory>
#include <string>

namespace pelorin {

class TMainForm;

/// The window program as a whole: the main font, the user interface, the application core and the main
/// window. `pelorin`'s main runs one; the window tests and the tour run theirs over a program folder of their
/// own.
class WindowProgram {
public:
  /// A program as if started from `executablePath` (its folder is the program folder). `exit` ends the
  /// program after a fatal error (by default the process ends at once with the code).
  explicit WindowProgram(std::string executablePath, ExitHook exit = {});
  ~WindowProgram();
  WindowProgram(const WindowProgram&) = delete;
  WindowProgram& operator=(const WindowProgram&) = delete;

  /// Sets the main font ("Arial", else "Segoe UI", else the system's, 12 points), runs start-up (the model
  /// chooser among it) and, when a model was chosen, shows the main window with its timer armed.
  Application::StartOutcome Start();

  /// A later start asked this one to come to the front: restores the main window and raises it.
  void RestoreRequested();

  Application& Core() { return *core_; }
  QtUserInterface& Ui() { return ui_; }
  /// The main window (null until Start has shown it).
  TMainForm* MainForm() const { return form_.get(); }

  /// The main font's family as chosen, and the font unit (its pixel height).
  static QFont MainFont();

private:
  std::string executablePath_;
  ExitHook exit_;
  QtUserInterface ui_;
  std::unique_ptr<Application> core_;
  std::unique_ptr<TMainForm> form_;
};

/// Appends a line to the file PELORIN_EVENT_LOG names (nothing when it is unset): the window program's
/// milestones for the tests and measurements that watch a real process ("shown 182 ms", "restore").
void LogWindowEvent(const std::string& line);
/// Milliseconds since this process started.
double MillisecondsSinceProcessStart();
/// Milliseconds of processor time this process has used (all its threads).
double ProcessCpuMilliseconds();

} // namespace pelorin
