// pelorin: the window program. One per user and executable name: a second start asks the first to come to the
// front and ends with exit code 0.
//
//   pelorin --diagnostics    prints the diagnostics report to standard output and ends, without a window

#include "platform/paths.h"
#include "platform/single_instance.h"
#include "tools/diagnostics_command.h"
#include "ui/main_form.h"
#include "ui/window_program.h"

#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string_view>

namespace {

std::string ExecutablePath(const char* argv0) {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::absolute(argv0).string() : self.string();
}

} // namespace

int main(int argc, char** argv) {
  // A report for a support person from a terminal: no display needed, no window, no second-start check.
  if (argc == 2 && std::string_view(argv[1]) == "--diagnostics") {
    return pelorin::PrintDiagnosticsReport(ExecutablePath(argv[0]), std::string(argv[0]) + " " + argv[1],
                                           std::cout);
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pelorin"));
  QApplication::setApplicationDisplayName(QStringLiteral("Pelorin"));

  const std::string executable = ExecutablePath(argv[0]);

  pelorin::WindowProgram program(executable);
  // The guard answers on its own thread; the request is carried out on the window's.
  pelorin::SingleInstanceGuard guard;
  const auto outcome = guard.Claim(pelorin::ExtractFileName(executable), [&application, &program] {
    QMetaObject::invokeMethod(
        &application, [&program] { program.RestoreRequested(); }, Qt::QueuedConnection);
  });
  if (outcome == pelorin::SingleInstanceGuard::Outcome::Restored) {
    return 0;
  }
  if (outcome == pelorin::SingleInstanceGuard::Outcome::First) {
    pelorin::LogWindowEvent("listening");
  }

  switch (program.Start()) {
  case pelorin::Application::StartOutcome::NoModel:
    return 0;
  case pelorin::Application::StartOutcome::Halted:
    return 1;
  case pelorin::Application::StartOutcome::Ready:
    break;
  }
  QObject::connect(program.MainForm(), &pelorin::TMainForm::FirstPainted, [] {
    std::ostringstream line;
    line << "painted " << static_cast<long>(pelorin::MillisecondsSinceProcessStart()) << " ms, CPU "
         << static_cast<long>(pelorin::ProcessCpuMilliseconds()) << " ms";
    pelorin::LogWindowEvent(line.str());
  });
  return QApplication::exec();
}
