#include "simspec/closure_page.h"

#include "model/file_lines.h"
#include "model/model_set_up.h"
#include "modelinfo/model_info_reader.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "shell/app_state.h"
#include "shell/companion_programs.h"
#include "shell/fatal.h"
#include "simspec/shocks_page.h"
#include "simspec/solve_checks.h"
#include "simspec/statement_reader.h"

#include <algorithm>
#include <filesystem>
#include <span>

namespace pelorin {

namespace {

namespace fs = std::filesystem;

bool IsClosureWord(std::string_view word) {
  return word == "exogenous" || word == "endogenous" || word == "rest";
}

// An optional sign or a digit first, then digits only.
bool IsInteger(std::string_view word) {
  if (!word.empty() && (word.front() == '+' || word.front() == '-')) {
    word.remove_prefix(1);
  }
  return !word.empty() && word.find_first_not_of("0123456789") == std::string_view::npos;
}

// Blanks, "," and "-" separate the names of a closure statement; so does every character outside printable
// ASCII.
bool IsNameSeparator(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u <= 32 || u > 126 || c == ',' || c == '-';
}

// Adds the variable names in one token of an exogenous statement to `names`: the token's words, lower case
// and cut to 40 characters, without the closure keywords and integers (component numbers).
void TakeNames(std::string_view token, std::map<std::string, int>& names) {
  std::size_t pos = 0;
  while (pos < token.size()) {
    while (pos < token.size() && IsNameSeparator(token[pos])) {
      ++pos;
    }
    const std::size_t start = pos;
    while (pos < token.size() && !IsNameSeparator(token[pos])) {
      ++pos;
    }
    if (pos == start) {
      break;
    }
    const std::string word = LowerCase(token.substr(start, std::min<std::size_t>(pos - start, 40)));
    if (!IsClosureWord(word) && !IsInteger(word)) {
      names.emplace(word, 0);
    }
  }
}

// The names of the exogenous statements of a closure made of exogenous, rest, xset and xsubset statements,
// read statement by statement as the solver reads them (comments and "#" spans gone), wherever statements
// start and however they run over lines: set statements name elements and rest statements no variables;
// element lists in parentheses are not names.
void ScanExogenousNames(std::span<const std::string> lines, std::map<std::string, int>& names) {
  TOpenCMFFile reader;
  reader.Open(lines);
  while (reader.NextStatement()) {
    if (TOpenCMFFile::NormaliseKeyword(reader.Keyword()) != "exogenous") {
      continue; // the reader skips the rest of the statement
    }
    // The keyword's own token may carry names after it ("exogenous,pop"); the keyword itself is no name.
    const std::string& head = reader.Token();
    TakeNames(std::string_view(std::find_if(head.begin(), head.end(), IsNameSeparator), head.end()), names);
    bool inElements = false;
    while (reader.NextToken() && reader.Token() != ";") {
      const std::string& token = reader.Token();
      if (token == "(") {
        inElements = true;
      } else if (token == ")") {
        inElements = false;
      } else if (!inElements) {
        TakeNames(token, names);
      }
    }
  }
}

} // namespace

bool ClosurePage::IsEmpty() const {
  return IsBlankText(Lines);
}

bool ClosurePage::SetUpExoList() {
  const SolInfoRec& info = context_.solInfo;
  ExoList.clear();
  for (int v = 1; v <= info.NVar && v <= static_cast<int>(info.SVarData.size()); ++v) {
    if (info.Var(v).VcStat == 'c') {
      ExoList.emplace(LowerCase(info.Var(v).name), v);
    }
  }

  // Only a closure made of exogenous, rest, xset and xsubset statements can be read name by name.
  bool simple = true;
  TOpenCMFFile reader;
  reader.Open(Lines);
  while (simple && reader.NextStatement()) {
    const std::string keyword = TOpenCMFFile::NormaliseKeyword(reader.Keyword());
    simple = keyword == "exogenous" || keyword == "rest" || keyword == "xset" || keyword == "xsubset";
  }
  if (simple) {
    ExoList.clear();
    ScanExogenousNames(Lines, ExoList);
  }

  bool ok = true;
  if (!ExoList.empty() && !context_.model.Model.ModelFile.empty()) {
    for (auto& [name, number] : ExoList) {
      number = FindVariable(info, name);
      if (number == 0) {
        context_.ui.Message(MessageKind::Warning,
                            "Warning: \"" + name + "\"\r\nis not a variable.\r\nPlease amend closure.",
                            MessageButtons::OkHelp, kHelpClosure);
        ok = false;
      }
    }
  }
  return ok;
}

void ClosurePage::ResetShocksPage() {
  if (context_.shocks != nullptr) {
    context_.shocks->SetUpExoVarComboBox();
    context_.shocks->ShockPageInit();
  }
}

void ClosurePage::WhenClosureChanged() {
  SetUpExoList();
  if (context_.shocks != nullptr) {
    context_.shocks->SetUpExoVarComboBox();
  }
  Modified = false;
  context_.app.ResultsOutdated = true;
  if (context_.shocks != nullptr) {
    context_.shocks->ShockPageInit();
  }
}

void ClosurePage::LoadClosureButtonClick() {
  const auto file = context_.ui.OpenFileDialog(
      {"Closure File ", "Closure Files|*.cls", context_.model.Model.ModelDir, "*.cls", "cls"});
  if (file) {
    ProcessClosureFile(*file);
  }
}

void ClosurePage::SaveClosureButtonClick() {
  if (IsEmpty()) {
    context_.ui.Message(MessageKind::Error, "No closure to save");
    return;
  }
  const auto file = context_.ui.SaveFileDialog(
      {"Save Closure File", "Closure files|*.CLS", context_.model.Model.ModelDir, "*.CLS", "CLS", true});
  if (!file) {
    return;
  }
  if (Modified) {
    WhenClosureChanged();
  }
  CleanEditLines(Lines);
  if (!WriteLines(*file, Lines)) {
    context_.ui.Message(MessageKind::Error, "Cannot create file " + *file);
  }
}

void ClosurePage::ProcessClosureFile(const std::string& fileName) {
  std::vector<std::string> lines;
  if (!ReadLines(fileName, lines)) {
    context_.ui.Message(MessageKind::Error, "Cannot open file\r\n" + fileName);
    return;
  }
  Lines = std::move(lines);
  CleanEditLines(Lines);
  const std::optional<std::string> info = FindPathIgnoringCase(ChangeFileExt(fileName, ".CLI"));
  ProcessClosureInfoFile(info.value_or(std::string()));
  WhenClosureChanged();
}

void ClosurePage::ReadModelInformation(const std::string& fileName) {
  ErrorText errorText;
  if (!ReadModelInfo(fileName, errorText, context_.solInfo)) {
    context_.app.ErrorText.append(errorText);
    FatalErrorText(context_.ui, context_.Exit(), context_.app.ErrorText);
    return;
  }
  ErrorText ignored;
  AddMinInfoToSolInfo(fileName, context_.solInfo, ignored);
}

void ClosurePage::ProcessClosureInfoFile(const std::string& fileName) {
  if (fileName.empty()) {
    ExoList.clear();
    return;
  }
  // A file that has gone since the settings named it (a closure check's own file in the cleared work folder)
  // would stop every start of the model; the model's own information is what is left.
  if (!IsFile(fileName)) {
    context_.ui.Message(MessageKind::Warning,
                        "The closure information file\r\n" + fileName +
                            "\r\nis missing; the model's own information is used instead.");
    ClearSVIInfo();
    return;
  }
  ResetShocksPage();
  ReadModelInformation(fileName);
}

void ClosurePage::ClearSVIInfo() {
  ModelState& model = context_.model.Model;
  model.SviFile.clear();
  ResetShocksPage();
  std::error_code ec;
  if (!model.ModelInfoFile.empty() && fs::is_regular_file(model.ModelInfoFile, ec)) {
    ReadModelInformation(model.ModelInfoFile);
  }
}

bool ClosurePage::UpdateCurrentSVIFileName(const std::string& fileName, ErrorText& errorText) {
  const std::string target = JoinPath(context_.app.KeepDir, "current.svi");
  std::error_code ec;
  if (!fs::equivalent(fileName, target, ec)) {
    ec.clear();
    fs::copy_file(fileName, target, fs::copy_options::overwrite_existing, ec);
    if (ec) {
      return Fail(errorText, "Cannot copy " + fileName + " to " + target + ": " + ec.message(),
                  "[UpdateCurrentSVIFileName]");
    }
  }
  context_.model.Model.SviFile = target;
  return true;
}

void ClosurePage::HideErrorLogButtonClick() {
  ErrorLogVisible = false;
  SetSizesLogVisible = false;
}

void ClosurePage::SetSizesButtonClick() {
  SetSizesLogVisible = !SetSizesLog.empty();
}

void ClosurePage::CheckClosureButtonClick() {
  ErrorLogVisible = false;
  const ModelState& model = context_.model.Model;
  // Without a model there is nothing the solver could check.
  if (model.ModelFile.empty()) {
    context_.ui.Message(MessageKind::Information, "You must specify the model first !");
    context_.ShowPage(kModelDataPage);
    return;
  }
  if (!context_.model.AreInputDataFilesSelected(false)) {
    context_.ui.Message(MessageKind::Information,
                        "The names of some input data files are not yet specified.\r\n"
                        "Please specify their names on the Model/Data page.");
    context_.ShowPage(kModelDataPage);
    return;
  }
  if (!model.ModelIsExe) {
    if (FindProgram("DRAVEX", context_.app.ProgramDir).empty()) {
      context_.ui.Message(MessageKind::Information,
                          "Sorry, cannot check closure since DRAVEX is not available\r\n" +
                              std::string(kProgramPlace));
      return;
    }
  }
  if (Modified) {
    WhenClosureChanged();
  }
  // The check's command file names the model and the closure information file in the work folder.
  const CommandFileFolder folders[] = {{"model folder", ExtractFilePath(model.ModelFile)},
                                       {"work folder", context_.app.WorkDir}};
  if (!CheckCommandFileFolders(folders, "check the closure", context_.ui)) {
    return;
  }
  if (context_.hooks.startClosureCheck) {
    context_.hooks.startClosureCheck();
  }
}

bool ClosurePage::ClosureCheckEnded() {
  const std::string info = JoinPath(context_.app.WorkDir, "clcheck.cli");
  std::error_code ec;
  if (!fs::is_regular_file(info, ec)) {
    context_.ui.Message(MessageKind::Error, "Closure is not valid");
    return false;
  }
  context_.ui.Message(MessageKind::Information, "Closure is fine");
  ProcessClosureInfoFile(info);
  // Without the copy the settings would go on naming an older "current.svi": the check's own file is the
  // current model information then, as the solve falls back to its summary.
  ErrorText copyError;
  if (!UpdateCurrentSVIFileName(info, copyError)) {
    context_.model.Model.SviFile = info;
    context_.ui.Message(MessageKind::Warning,
                        "The closure information could not be kept:\r\n" + copyError +
                            "\r\nIt is read from " + info +
                            " until the program ends; check the closure again after the next start.");
  }
  context_.model.CreateDefaultListFiles(DefaultListFiles::Closure);
  return true;
}

bool ClosurePage::CheckClosureKeywords() {
  const KeywordCheck check = CheckKeywords(Lines, kClosureKeywords, " in closure memo.", context_.ui);
  if (check.outcome == KeywordCheck::Outcome::BadKeyword) {
    context_.ui.Message(MessageKind::Error,
                        "Key word \"" + check.keyword +
                            "\" must not be in the closure memo.\r\nPlease fix this.",
                        MessageButtons::OkHelp, kHelpClosure);
  }
  return check.outcome == KeywordCheck::Outcome::Ok;
}

} // namespace pelorin
