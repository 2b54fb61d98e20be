#include "ui/about_diagnostics.h"

#include "app/application.h"
#include "app/diagnostics_facts.h"
#include "tools/suite_version.h"
#include "ui/about_box.h"
#include "ui/diag_form.h"
#include "ui/qt_text.h"
#include "ui/qt_user_interface.h"

#include <QCoreApplication>
#include <QStringList>
#include <chrono>
#include <cstdlib>

namespace pelorin {

namespace {

// The about box's help: the contents of the program's help.
constexpr int kAboutHelpContext = 1;

std::optional<std::string> Kvdir() {
  const char* value = std::getenv("KVDIR");
  return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

} // namespace

void AboutDiagnostics1Click(Application& core, QtUserInterface& ui, QWidget* owner,
                            const std::function<void()>& refresh) {
  DiagnosticsFacts facts =
      DiagnosticsFactsOf(core, ToStdString(QCoreApplication::arguments().join(QLatin1Char(' '))));
  const std::string suiteFolder = LocateSuiteFolder(Kvdir(), facts.programDir);
  // The compiler answers its report run at once; one that does not is given up after a few seconds.
  facts.suiteVersionLines =
      SuiteVersionLines(Kvdir(), facts.programDir, core.App.WorkDir, std::chrono::seconds(5));

  AboutBoxContents contents;
  contents.title = facts.title;
  contents.version = facts.version;
  contents.executablePath = facts.executablePath;
  contents.suiteVersionLines = facts.suiteVersionLines;
  contents.helpContext = kAboutHelpContext;
  contents.showHelp = [&core, &ui](int topic) {
    ui.ShowHelp(core.App.HelpFile, Application::MessageHelpTopic(topic));
  };
  contents.showDiagnostics = [&core, &ui, facts, suiteFolder](QWidget* about) {
    DiagnosticsFacts withScreen = facts;
    withScreen.screen = ScreenFactsOf(about);
    TvxDiagForm form(ui, withScreen, suiteFolder, core.App.WorkDir, core.App.LastSaveDir, about);
    form.exec();
  };
  contents.iconCallback = [&core, refresh] {
    core.GoDevMode();
    if (refresh) {
      refresh();
    }
  };
  TvxAboutBox about(std::move(contents), owner);
  about.exec();
}

} // namespace pelorin
