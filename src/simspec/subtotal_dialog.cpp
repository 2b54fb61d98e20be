#include "simspec/subtotal_dialog.h"

#include "modelinfo/model_info_reader.h"
#include "platform/strings.h"
#include "simspec/simulation_context.h"
#include "simspec/statement_reader.h"

#include <algorithm>
#include <map>

namespace pelorin {

namespace {

constexpr std::size_t kProposalWidth = 60;
constexpr std::size_t kMaxDescription = 77;

// The model's variable named `name` ignoring case: the first in the model's order.
int MatchVariable(const SolInfoRec& info, std::string_view name) {
  if (const int number = FindVariable(info, name); number > 0) {
    return number;
  }
  for (int v = 1; v <= static_cast<int>(info.SVarData.size()); ++v) {
    if (SameText(info.Var(v).name, name)) {
      return v;
    }
  }
  return 0;
}

} // namespace

TSubtForm::TSubtForm(const SolInfoRec& info, const std::vector<std::string>& shockLines, UserInterface& ui)
    : info_(info), ui_(ui) {
  std::map<std::string, int> candidates;
  TOpenCMFFile reader;
  reader.Open(shockLines);
  while (reader.NextStatement()) {
    const std::string keyword = TOpenCMFFile::NormaliseKeyword(reader.Keyword());
    if (keyword == "subtotal") {
      ++ExistingSubtotals;
    }
    if ((keyword != "shock" && keyword != "final_level") || !reader.NextToken()) {
      continue;
    }
    std::string name = reader.Token();
    if (const std::size_t open = name.find('('); open != std::string::npos && open > 0) {
      name.erase(open);
    }
    if (const int number = MatchVariable(info_, name); number > 0) {
      candidates.emplace(info_.Var(number).name, number);
    }
  }
  VarChoices = {{"None Selected", 0}};
  for (const auto& [name, number] : candidates) {
    VarChoices.push_back({name, number});
  }
}

void TSubtForm::VarComboChange(int index) {
  VarSelected = std::clamp(index, 0, static_cast<int>(VarChoices.size()) - 1);
  for (DimensionChoice& choice : Dims) {
    choice.visible = false;
  }
  const int variable = VarChoices[static_cast<std::size_t>(VarSelected)].number;
  if (VarSelected == 0 || variable < 1 || variable > static_cast<int>(info_.SVarData.size())) {
    Preview.clear();
    Description.clear();
    DimensionsText.clear();
    ElementsVisible = false;
    return;
  }
  const TVarRec& var = info_.Var(variable);
  Description = var.description;
  int unknown = 0;
  if (!FillDimensionChoices(info_, variable, ChoiceNumbering::Subtotal, true, Dims, unknown)) {
    const int set = var.ArgSets[static_cast<std::size_t>(unknown - 1)];
    ui_.Message(MessageKind::Information,
                "Argument number " + std::to_string(unknown) + " ranges over set " + info_.Set(set).name +
                    ".\r\nThe elements of this set are not know so\r\n"
                    "Systematic Sensitivity Analysis with respect to variations here is not allowed.",
                MessageButtons::Ok, kHelpSubtotals);
  }
  DimensionsText = "Dimensions: " + ArgumentText(variable, info_);
  ElementsVisible = var.numArgs > 0;
  UpdatePreview();
}

void TSubtForm::DimComboChange(int dimension, int index) {
  if (dimension >= 0 && dimension < 3) {
    DimensionChoice& choice = Dims[static_cast<std::size_t>(dimension)];
    choice.selected = std::clamp(index, 0, std::max(0, static_cast<int>(choice.entries.size()) - 1));
  }
  UpdatePreview();
}

void TSubtForm::UpdatePreview() {
  if (VarSelected <= 0) {
    Preview.clear();
    return;
  }
  const ChoiceEntry& chosen = VarChoices[static_cast<std::size_t>(VarSelected)];
  // Every choice on "All " + the argument's own set means the whole variable: no arguments are written.
  bool someComponents = false;
  for (const DimensionChoice& choice : Dims) {
    someComponents = someComponents || (choice.visible && choice.selected > 0);
  }
  bool uniform = false;
  Preview = " " + chosen.text + (someComponents ? ArgumentPart(info_, chosen.number, Dims, uniform) : "");
}

void TSubtForm::AddButtonClick() {
  if (VarSelected <= 0) {
    ui_.Message(MessageKind::Error, "You have not selected a variable !");
    return;
  }
  SubtotalLines.push_back(Preview);
  ++AddedCount;
}

void TSubtForm::ClearButtonClick() {
  SubtotalLines = {"Subtotal"};
  AddedCount = 0;
}

std::string TSubtForm::ProposedDescription() const {
  std::string text;
  bool allFit = true;
  for (std::size_t i = 1; i < SubtotalLines.size(); ++i) {
    const std::string piece = " " + Trim(SubtotalLines[i]);
    if (text.size() + piece.size() > kProposalWidth) {
      allFit = false;
      break;
    }
    text += piece;
  }
  return Trim(text) + (allFit ? " changes" : " (etc) changes");
}

bool TSubtForm::OkButtonClick() {
  if (AddedCount == 0) {
    ui_.Message(MessageKind::Warning, "You did not add any subtotal !");
    return false;
  }
  const std::string proposal = ProposedDescription();
  const auto description =
      AskDescription
          ? AskDescription(proposal)
          : ui_.Prompt("Subtotal Description", "Please specify the Description of this Subtotal.", proposal);
  if (!description) {
    return false;
  }
  // The description ends the statement: it must not be able to end it early or hide its ";".
  SubtotalLines.push_back(" = " + StatementText(description->substr(0, kMaxDescription)) + " ;");
  return true;
}

} // namespace pelorin
