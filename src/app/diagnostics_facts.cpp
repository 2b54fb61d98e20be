#include "app/diagnostics_facts.h"

#include "app/application.h"
#include "results/decimal_separator.h"
#include "tools/diagnostics_command.h"

namespace pelorin {

DiagnosticsFacts DiagnosticsFactsOf(const Application& app, const std::string& commandLine) {
  DiagnosticsFacts facts;
  facts.title = app.App.Title;
  facts.version = kProgramVersion;
  facts.executablePath = app.ExecutablePath();
  facts.commandLine = commandLine;
  facts.helpFile = app.App.HelpFile;
  facts.keepDir = app.App.KeepDir;
  facts.iniName = app.App.SettingsPath;
  facts.tempDir = app.App.WorkDir;
  facts.programDir = app.App.ProgramDir;
  facts.programDecimalSeparator = DecimalSeparator();
  return facts;
}

} // namespace pelorin
