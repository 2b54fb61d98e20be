#include "simspec/solve_page.h"

#include "model/model_set_up.h"
#include "platform/paths.h"
#include "shell/app_state.h"
#include "shell/companion_programs.h"
#include "simspec/closure_page.h"
#include "simspec/cmf_writer.h"
#include "simspec/job_inputs.h"
#include "simspec/shocks_page.h"
#include "simspec/solve_checks.h"
#include "simspec/solve_method_dialog.h"
#include "simspec/statement_reader.h"

#include <filesystem>

namespace pelorin {

SolvePage::SolvePage(SimulationContext& context) : context_(context) {
  RefreshMethodLabel();
}

void SolvePage::RefreshMethodLabel() {
  MethodLabel = MethodLabelText(context_.method);
}

std::unique_ptr<TSolveMethodDlg> SolvePage::ChangeMethodButtonClick() {
  auto dialog = std::make_unique<TSolveMethodDlg>(context_.method, context_.accuracy, context_.ui);
  dialog->Open();
  return dialog;
}

void SolvePage::MethodDialogClosed(bool changed) {
  if (changed) {
    RefreshMethodLabel();
    context_.app.ResultsOutdated = true;
  }
}

void SolvePage::SolveButtonClick() {
  UserInterface& ui = context_.ui;
  const ModelState& model = context_.model.Model;
  ErrorLogVisible = false;
  if (model.ModelFile.empty()) {
    ui.Message(MessageKind::Information, "You must specify the model first !");
    context_.ShowPage(kModelDataPage);
    return;
  }
  if (!model.ModelIsExe) {
    if (FindProgram("DRAVEX", context_.app.ProgramDir).empty()) {
      ui.Message(MessageKind::Information,
                 "Sorry, cannot solve since DRAVEX is not available\r\n" + std::string(kProgramPlace));
      return;
    }
  }
  const std::string converter = RequiredProgramName("praxol", context_.app.ProgramDir, ui);
  std::error_code ec;
  if (converter.empty() || !std::filesystem::is_regular_file(converter, ec)) {
    ui.Message(MessageKind::Error, "Sorry, cannot solve since the program \r\n" + converter +
                                       "\r\nwhich is required by Orvane, is not available.");
    return;
  }
  if (!context_.model.AreInputDataFilesSelected(false)) {
    ui.Message(MessageKind::Information, "You must specify all input data files before solving.");
    context_.ShowPage(kModelDataPage);
    return;
  }
  ClosurePage& closure = *context_.closure;
  ShocksPage& shocks = *context_.shocks;
  if (closure.IsEmpty()) {
    ui.Message(MessageKind::Information, "You must set the closure first !");
    context_.ShowPage(kClosurePage);
    return;
  }
  if (shocks.IsEmpty()) {
    ui.Message(MessageKind::Information, "You must set some shocks first !");
    context_.ShowPage(kShocksPage);
    return;
  }
  if (!closure.SetUpExoList()) {
    context_.ShowPage(kClosurePage);
    return;
  }
  CleanEditLines(closure.Lines);
  CleanEditLines(shocks.Lines);
  if (!closure.CheckClosureKeywords()) {
    context_.ShowPage(kClosurePage);
    return;
  }
  if (!shocks.CheckShockKeywords()) {
    context_.ShowPage(kShocksPage);
    return;
  }
  // The folders the command files name, and post-simulation files that cannot overwrite the simulation's.
  const bool postSim = context_.model.PostSimRequested();
  std::vector<CommandFileFolder> folders{{"model folder", ExtractFilePath(model.ModelFile)},
                                         {"model folder", model.ModelDir}};
  if (postSim) {
    folders.push_back({"output folder", model.OutputDir});
  }
  if (!CheckCommandFileFolders(folders, "solve", ui)) {
    return;
  }
  if (postSim) {
    CmfSources sources;
    sources.outputDir = model.OutputDir;
    sources.fileLines = model.FileLines;
    sources.outputFileLines = context_.model.OutputPage.OutputLines;
    sources.postSimName = context_.model.OutputPage.PostSimName;
    if (const std::string clash = PostSimNameClash(sources); !clash.empty()) {
      ui.Message(MessageKind::Error, clash);
      context_.ShowPage(kOutputPage);
      return;
    }
  }
  if (context_.hooks.startSolve) {
    context_.hooks.startSolve();
  }
}

} // namespace pelorin
