// pelorin: the window program. One per user and executable name: a second start asks the first to come to the
// front and ends with exit code 0.

#include "platform/paths.h"
#include "platform/single_instance.h"
#include "ui/main_form.h"
#include "ui/window_program.h"

#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <filesystem>
#include <sstream>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pelorin"));
  QApplication::setApplicationDisplayName(QStringLiteral("Pelorin"));

  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::string executable = ec ? std::filesystem::absolute(argv[0]).string() : self.string();

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
