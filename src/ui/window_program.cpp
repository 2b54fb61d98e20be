#include "ui/window_program.h"

#include "ui/main_form.h"
#include "ui/program_icon.h"

#include <QApplication>
#include <QAudioDevice>
#include <QEventLoop>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMediaDevices>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace pelorin {

namespace {

ExitHook WindowExit() {
  // Nothing of the window is left to tidy after a fatal error: end at once, as the start-up checks expect.
  return [](int code) {
    std::fflush(nullptr);
    std::_Exit(code);
  };
}

} // namespace

WindowProgram::WindowProgram(std::string executablePath, ExitHook exit)
    : executablePath_(std::move(executablePath)), exit_(exit ? std::move(exit) : WindowExit()) {}

WindowProgram::~WindowProgram() {
  form_.reset();
  ui_.CloseHelpWindows();
}

QFont WindowProgram::MainFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  for (const char* family : {"Arial", "Segoe UI"}) {
    QFont candidate(QString::fromLatin1(family));
    if (QFontInfo(candidate).family().compare(QString::fromLatin1(family), Qt::CaseInsensitive) == 0) {
      font = candidate;
      break;
    }
  }
  font.setPointSize(12);
  return font;
}

Application::StartOutcome WindowProgram::Start() {
  const QFont font = MainFont();
  QApplication::setFont(font);
  QApplication::setWindowIcon(ProgramIcon());

  ApplicationOptions options;
  options.executablePath = executablePath_;
  const char* comspec = std::getenv("COMSPEC");
  options.comspec = comspec != nullptr ? comspec : "";
  options.exit = exit_;
  options.hasWaveDevice = [] { return !QMediaDevices::audioOutputs().isEmpty(); };
  core_ = std::make_unique<Application>(ui_, std::move(options));
  core_->App.FontUnit = std::max(QFontInfo(font).pixelSize(), 1);
  // The job runner's waits for a report still being written keep the window painted.
  core_->Jobs.Pause = [](int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  };
  ui_.SetHelpFile([this] { return core_->App.HelpFile; });

  const Application::StartOutcome outcome = core_->FormCreate();
  if (outcome != Application::StartOutcome::Ready) {
    return outcome;
  }
  form_ = std::make_unique<TMainForm>(*core_, ui_);
  ui_.SetBeforeDialog([this] {
    if (form_ != nullptr) {
      form_->Refresh();
    }
  });
  form_->show();
  return outcome;
}

void WindowProgram::RestoreRequested() {
  LogWindowEvent("restore");
  if (form_ != nullptr) {
    ui_.RestoreApplication();
  }
}

void LogWindowEvent(const std::string& line) {
  const char* path = std::getenv("PELORIN_EVENT_LOG");
  if (path == nullptr || *path == '\0') {
    return;
  }
  std::ofstream log(path, std::ios::app);
  log << line << '\n';
}

double MillisecondsSinceProcessStart() {
  // Field 22 of /proc/self/stat: the start in clock ticks since boot; /proc/uptime: seconds since boot.
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) {
    return 0;
  }
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
  }
  std::ifstream uptime("/proc/uptime");
  double seconds = 0;
  uptime >> seconds;
  const double ticks = static_cast<double>(::sysconf(_SC_CLK_TCK));
  const double started = ticks > 0 ? std::strtod(field.c_str(), nullptr) / ticks : seconds;
  return (seconds - started) * 1000.0;
}

double ProcessCpuMilliseconds() {
  return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace pelorin
