#include "simspec/shocks_page.h"

#include "model/file_lines.h"
#include "model/model_set_up.h"
#include "modelinfo/model_info_reader.h"
#include "platform/strings.h"
#include "shell/app_state.h"
#include "simspec/closure_page.h"
#include "simspec/statement_reader.h"
#include "simspec/subtotal_dialog.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace pelorin {

namespace {

constexpr std::string_view kShockType = "%change variable";
constexpr std::size_t kMaxValueLength = 14;
constexpr std::size_t kMaxAllEntry = 16;

std::string WithoutBlanks(std::string_view text) {
  std::string result;
  for (char c : text) {
    if (c != ' ') {
      result.push_back(c);
    }
  }
  return LowerCase(result);
}

// The value as a number is read: a decimal comma counts as a point once, as in the preview.
std::string ValueAsPoint(std::string value, bool decimalComma) {
  if (decimalComma) {
    if (const std::size_t comma = value.find(','); comma != std::string::npos) {
      value[comma] = '.';
    }
  }
  return value;
}

} // namespace

bool FillDimensionChoices(const SolInfoRec& info, int variable, ChoiceNumbering numbering, bool stopAtUnknown,
                          std::array<DimensionChoice, 3>& choices, int& unknownArgument) {
  choices = {};
  unknownArgument = 0;
  if (variable < 1 || variable > static_cast<int>(info.SVarData.size())) {
    return true;
  }
  const TVarRec& var = info.Var(variable);
  const bool subtotal = numbering == ChoiceNumbering::Subtotal;
  const int numSets = std::min(info.NumSets, static_cast<int>(info.SetData.size()));
  for (int i = 0; i < std::min(var.numArgs, 3); ++i) {
    const int s = var.ArgSets[static_cast<std::size_t>(i)];
    if (s < 1 || s > numSets) {
      continue;
    }
    const TSetRec& set = info.Set(s);
    if (stopAtUnknown && !set.ElementsKnown) {
      unknownArgument = i + 1;
      return false;
    }
    DimensionChoice& choice = choices[static_cast<std::size_t>(i)];
    choice.entries.push_back({("All " + set.name).substr(0, kMaxAllEntry), subtotal ? s : 0});
    if (info.IsSubSet) {
      for (int k = 1; k <= numSets; ++k) {
        if (info.IsSubSet->Get(k, s)) {
          choice.entries.push_back({("All " + info.Set(k).name).substr(0, kMaxAllEntry), subtotal ? k : -k});
        }
      }
    }
    if (set.ElementsKnown) {
      for (std::size_t e = 0; e < set.elements.size(); ++e) {
        choice.entries.push_back({set.elements[e], static_cast<int>(e + 1)});
      }
    }
    choice.selected = 0;
    choice.visible = true;
  }
  return true;
}

std::string ArgumentPart(const SolInfoRec& info, int variable, const std::array<DimensionChoice, 3>& choices,
                         bool& uniform) {
  uniform = false;
  std::vector<std::string> parts;
  auto chosen = [&](std::size_t i) -> const std::string* {
    const DimensionChoice& choice = choices[i];
    if (!choice.visible || choice.selected < 0 ||
        choice.selected >= static_cast<int>(choice.entries.size())) {
      return nullptr;
    }
    return &choice.entries[static_cast<std::size_t>(choice.selected)].text;
  };
  auto add = [&](const std::string& text) {
    if (text.starts_with("All ")) {
      parts.push_back(text.substr(4));
      uniform = true;
    } else {
      parts.push_back("\"" + text + "\"");
    }
  };
  if (variable >= 1 && variable <= static_cast<int>(info.SVarData.size())) {
    // Every argument gets its place: an argument without a choice shown (beyond the third, or after one whose
    // elements are not known) names its whole set, so the later arguments keep their positions.
    const TVarRec& var = info.Var(variable);
    for (int i = 0; i < std::min(var.numArgs, static_cast<int>(var.ArgSets.size())); ++i) {
      const std::string* text = i < 3 ? chosen(static_cast<std::size_t>(i)) : nullptr;
      const int s = var.ArgSets[static_cast<std::size_t>(i)];
      if (text != nullptr) {
        add(*text);
      } else if (s >= 1 && s <= static_cast<int>(info.SetData.size())) {
        parts.push_back(info.Set(s).name);
        uniform = true;
      }
    }
  } else {
    for (std::size_t i = 0; i < choices.size(); ++i) {
      if (const std::string* text = chosen(i)) {
        add(*text);
      }
    }
  }
  if (parts.empty()) {
    return {};
  }
  std::string text = "(";
  for (std::size_t i = 0; i < parts.size(); ++i) {
    text.append(i == 0 ? "" : ",").append(parts[i]);
  }
  return text + ")";
}

bool IsShockValue(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    ++i;
  }
  std::size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    ++i;
    ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      ++i;
      ++digits;
    }
  }
  if (digits == 0) {
    return false;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      ++i;
    }
    std::size_t exponentDigits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      ++i;
      ++exponentDigits;
    }
    if (exponentDigits == 0) {
      return false;
    }
  }
  return i == text.size() && std::isfinite(std::strtod(std::string(text).c_str(), nullptr));
}

ShocksPage::ShocksPage(SimulationContext& context) : context_(context) {
  SetUpExoVarComboBox();
  ShockPageInit();
}

bool ShocksPage::IsEmpty() const {
  return IsBlankText(Lines);
}

int ShocksPage::ChosenVariable() const {
  return VarSelected > 0 && VarSelected < static_cast<int>(VarChoices.size())
             ? VarChoices[static_cast<std::size_t>(VarSelected)].number
             : 0;
}

void ShocksPage::ShockPageInit() {
  for (DimensionChoice& choice : Dims) {
    choice.visible = false;
  }
  Preview.clear();
  Description.clear();
  DimensionsText.clear();
  ElementsVisible = false;
  ValueVisible = false;
  Types = {std::string(kShockType)};
  TypeSelected = 0;
}

void ShocksPage::SetUpExoVarComboBox() {
  VarChoices = {{"None Selected", 0}};
  if (context_.closure != nullptr) {
    for (const auto& [name, number] : context_.closure->ExoList) {
      VarChoices.push_back({name, number});
    }
  }
  VarSelected = 0;
}

void ShocksPage::ExoVarComboBoxChange(int index) {
  VarSelected = std::clamp(index, 0, static_cast<int>(VarChoices.size()) - 1);
  for (DimensionChoice& choice : Dims) {
    choice.visible = false;
  }
  if (VarSelected == 0) {
    SetShockLineLabel();
    ShockPageInit();
    return;
  }
  const SolInfoRec& info = context_.solInfo;
  const int variable = ChosenVariable();
  int unknown = 0;
  FillDimensionChoices(info, variable, ChoiceNumbering::Shocks, false, Dims, unknown);
  const bool known = variable >= 1 && variable <= static_cast<int>(info.SVarData.size());
  Description = known ? info.Var(variable).description : std::string();
  DimensionsText = "Dimensions: " + ArgumentText(variable, info);
  ElementsVisible = known && info.Var(variable).numArgs > 0;
  Types = {std::string(kShockType)};
  TypeSelected = 0;
  Value.clear();
  SetShockLineLabel();
}

void ShocksPage::ExoDimCombo1Change(int dimension, int index) {
  if (dimension >= 0 && dimension < 3) {
    DimensionChoice& choice = Dims[static_cast<std::size_t>(dimension)];
    choice.selected = std::clamp(index, 0, std::max(0, static_cast<int>(choice.entries.size()) - 1));
  }
  SetShockLineLabel();
}

void ShocksPage::ShockValueChange(const std::string& text) {
  Value = text.substr(0, kMaxValueLength);
  SetShockLineLabel();
}

void ShocksPage::ShockTypeChange(int index) {
  TypeSelected = index;
  SetShockLineLabel();
}

char ShocksPage::ShockValueEditKeyPress(char key) {
  if (static_cast<unsigned char>(key) < 32) {
    return key;
  }
  if (key == ',') {
    return '.';
  }
  if (std::string_view("+-.0123456789Ee").find(key) != std::string_view::npos) {
    return key;
  }
  context_.ui.Beep();
  return 0;
}

void ShocksPage::SetShockLineLabel() {
  if (VarSelected <= 0 || VarSelected >= static_cast<int>(VarChoices.size())) {
    ShockPageInit();
    return;
  }
  bool uniform = false;
  const std::string arguments = ArgumentPart(context_.solInfo, ChosenVariable(), Dims, uniform);
  const std::string value = ValueAsPoint(Value.empty() ? "0" : Value, DecimalComma);
  const bool knownType = TypeSelected >= 0 && TypeSelected < static_cast<int>(Types.size()) &&
                         Types[static_cast<std::size_t>(TypeSelected)] == kShockType;
  if (!knownType) {
    context_.ui.Message(MessageKind::Error, "Program Error:\r\nCannot interpret shock type");
    context_.Exit()(1);
    return;
  }
  Preview = " Shock " + VarChoices[static_cast<std::size_t>(VarSelected)].text + arguments +
            (uniform ? " = uniform " : " = ") + value + ";";
  ValueVisible = true;
}

void ShocksPage::AddShockButtonClick() {
  Value = Trim(Value);
  if (Value.empty()) {
    Value = "0";
  }
  SetShockLineLabel();
  if (!IsShockValue(ValueAsPoint(Value, DecimalComma))) {
    ValueFocus = true;
    context_.ui.Message(MessageKind::Error, "Bad numeric format !");
    return;
  }
  if (VarSelected <= 0) {
    context_.ui.Message(MessageKind::Error, "You have not selected a variable to shock !",
                        MessageButtons::OkHelp, kHelpShocks);
    return;
  }
  Lines.push_back(Preview);
  context_.app.ResultsOutdated = true;
}

void ShocksPage::ClearShocksButtonClick() {
  Lines.clear();
  context_.app.ResultsOutdated = true;
}

void ShocksPage::SaveShockFileButtonClick() {
  if (IsEmpty()) {
    context_.ui.Message(MessageKind::Error, "No Shocks to save");
    return;
  }
  const auto file = context_.ui.SaveFileDialog(
      {"Save Shock File", "Shock files|*.SHF", context_.model.Model.ModelDir, "*.SHF", "SHF", true});
  if (!file) {
    return;
  }
  CleanEditLines(Lines);
  if (!WriteLines(*file, Lines)) {
    context_.ui.Message(MessageKind::Error, "Cannot create file " + *file);
  }
}

void ShocksPage::LoadShockFileButtonClick() {
  const auto file = context_.ui.OpenFileDialog(
      {"Shock File ", "Shock Files|*.shf", context_.model.Model.ModelDir, "*.shf", "shf"});
  if (file) {
    LoadShockFile(*file);
  }
}

void ShocksPage::LoadShockFile(const std::string& fileName) {
  std::vector<std::string> lines;
  if (!ReadLines(fileName, lines)) {
    context_.ui.Message(MessageKind::Error, "Cannot open file\r\n" + fileName);
    return;
  }
  Lines = std::move(lines);
  CleanEditLines(Lines);
  context_.app.ResultsOutdated = true;
}

void ShocksPage::ExoVarComboBoxDropDown() {
  if (context_.closure == nullptr || context_.closure->ExoList.empty()) {
    context_.ui.Message(
        MessageKind::Information,
        "You need to set up the closure before you can see the variables available to shock.");
  }
}

void ShocksPage::ExoDimCombo1DropDown(int dimension) {
  if (dimension < 0 || dimension >= 3 || Dims[static_cast<std::size_t>(dimension)].entries.empty()) {
    return;
  }
  std::string name = Dims[static_cast<std::size_t>(dimension)].entries.front().text;
  if (name.starts_with("All ")) {
    name.erase(0, 4);
  }
  const SolInfoRec& info = context_.solInfo;
  const std::string wanted = WithoutBlanks(name);
  for (int s = 1; s <= static_cast<int>(info.SetData.size()); ++s) {
    if (WithoutBlanks(info.Set(s).name) != wanted) {
      continue;
    }
    if (info.Set(s).ElementsKnown) {
      return;
    }
    const bool noClosure = context_.closure == nullptr || context_.closure->IsEmpty();
    std::string text =
        "Size and elements of set " + name +
        " are not yet known.\r\nOne way of making them known is to check the closure via the\r\n"
        " \"Check Closure\" button on the Closure page.\r\n";
    text += noClosure
                ? "But first you need to set up the closure.\r\nDo you want to go to the Closure page now?"
                : "Do you want to check the closure now?";
    if (context_.ui.Message(MessageKind::Confirmation, text, MessageButtons::YesNo, kHelpShocks) ==
        MessageAnswer::Yes) {
      context_.ShowPage(kClosurePage);
      if (!noClosure) {
        context_.closure->CheckClosureButtonClick();
      }
    }
    return;
  }
}

std::unique_ptr<TSubtForm> ShocksPage::DefineSubtotalBtn1Click() {
  return std::make_unique<TSubtForm>(context_.solInfo, Lines, context_.ui);
}

void ShocksPage::AppendSubtotal(const std::vector<std::string>& subtotalLines) {
  std::string buffer;
  for (const std::string& line : subtotalLines) {
    if (!buffer.empty() && buffer.size() + line.size() >= 60) {
      Lines.push_back(buffer);
      buffer = line;
    } else {
      buffer += line;
    }
  }
  if (!buffer.empty()) {
    Lines.push_back(buffer);
  }
}

bool ShocksPage::CheckShockKeywords() {
  const KeywordCheck check = CheckKeywords(Lines, kShockKeywords, " in shocks memo.", context_.ui);
  if (check.outcome == KeywordCheck::Outcome::BadKeyword) {
    context_.ui.Message(MessageKind::Error,
                        "Key word \"" + check.keyword + "\" must not be in shocks memo.\r\nPlease fix this.",
                        MessageButtons::OkHelp, kHelpShocks);
  }
  return check.outcome == KeywordCheck::Outcome::Ok;
}

} // namespace pelorin
