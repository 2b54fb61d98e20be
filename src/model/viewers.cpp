// The viewers and the external editor, started through the shell's companion-program routines.

#include "model/model_set_up.h"
#include "shell/app_state.h"
#include "shell/companion_programs.h"

namespace pelorin {

bool ModelSetUp::ViewerFound(const std::string& name) const {
  return !FindProgram(name, app_.ProgramDir).empty();
}

void ModelSetUp::StartLumarix(const std::string& argument) {
  CompanionPrograms programs(app_.ProgramDir, ui_, Launcher);
  using Target = CompanionPrograms::LumarixTarget;
  if (!argument.empty() && argument.front() == '#') {
    programs.StartLumarix(Target::ViewFile, argument.substr(1), Model.ModelDir);
  } else if (!argument.empty() && argument.front() == '%') {
    programs.StartLumarix(Target::Folder, argument.substr(1), Model.ModelDir);
  } else {
    programs.StartLumarix(Target::File, argument, Model.ModelDir);
  }
}

void ModelSetUp::StartTelvari(const std::string& argument) {
  CompanionPrograms programs(app_.ProgramDir, ui_, Launcher);
  const bool folder = !argument.empty() && argument.front() == '%';
  programs.StartTelvari(folder ? argument.substr(1) : argument, folder, Model.ModelDir);
}

void ModelSetUp::StartBrisolent(const std::string& solutionFile) {
  CompanionPrograms(app_.ProgramDir, ui_, Launcher).StartBrisolent(solutionFile, BrisolentFallbackDir);
}

void ModelSetUp::StartEditor(const std::string& file, bool editable) {
  CompanionPrograms(app_.ProgramDir, ui_, Launcher).StartEditor(TextEditor, file, !editable, Model.ModelDir);
}

} // namespace pelorin
