#include "sim_fixture.h"
#include "simspec/subtotal_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

using ::testing::ElementsAre;

class Subtotal : public test::SimFixture {
protected:
  void SetUp() override { InstallModel("trade", test::TradeModelInfo()); }

  std::unique_ptr<TSubtForm> Open(std::vector<std::string> shocks) {
    sim->Shocks.Lines = std::move(shocks);
    return sim->Shocks.DefineSubtotalBtn1Click();
  }
};

TEST_F(Subtotal, CandidatesAreTheShockedVariablesSpelledAsTheModelSpellsThem) {
  auto form = Open({"Shock tf = 1; SHOCK P_X(COM,\"usa\") = 2;", "final_level kt = 3 ;", "change qo = 1 ;",
                    "Shock pop = 1; shock p_x = 2;", "Subtotal pop = x ;", "shock nosuch = 1;"});
  EXPECT_THAT(form->VarChoices,
              ElementsAre(ChoiceEntry{"None Selected", 0}, ChoiceEntry{"kt", 5}, ChoiceEntry{"p_x", 2},
                          ChoiceEntry{"pop", 1}, ChoiceEntry{"tf", 4}));
  EXPECT_EQ(form->ExistingSubtotals, 1);

  auto empty = Open({"! nothing shocked", "Subtotal pop = x ;"});
  EXPECT_THAT(empty->VarChoices, ElementsAre(ChoiceEntry{"None Selected", 0}));
}

TEST_F(Subtotal, WholeVariablesHaveNoArgumentsAndComponentsDo) {
  auto form = Open({"Shock p_x = 1;", "Shock pop = 1;"});
  form->VarComboChange(1);
  EXPECT_EQ(form->Dims[0].entries[0], (ChoiceEntry{"All COM", 1}));
  EXPECT_EQ(form->Dims[0].entries[1], (ChoiceEntry{"All SUBCOM", 2}));
  EXPECT_EQ(form->DimensionsText, "Dimensions: COM*REG");
  EXPECT_TRUE(form->ElementsVisible);
  EXPECT_EQ(form->Preview, " p_x");
  form->DimComboChange(1, 1);
  EXPECT_EQ(form->Preview, " p_x(COM,\"usa\")");
  form->AddButtonClick();
  form->VarComboChange(2);
  EXPECT_FALSE(form->ElementsVisible);
  form->AddButtonClick();
  EXPECT_EQ(form->AddedCount, 2);

  ui.prompts.push_back("tariff changes");
  EXPECT_TRUE(form->OkButtonClick());
  EXPECT_EQ(ui.promptTexts.back(), "Please specify the Description of this Subtotal.");
  EXPECT_THAT(form->SubtotalLines,
              ElementsAre("Subtotal", " p_x(COM,\"usa\")", " pop", " = tariff changes ;"));
  sim->Shocks.AppendSubtotal(form->SubtotalLines);
  EXPECT_EQ(sim->Shocks.Lines.back(), "Subtotal p_x(COM,\"usa\") pop = tariff changes ;");
}

TEST_F(Subtotal, NothingAddedOrClearedRefusesOk) {
  auto form = Open({"Shock pop = 1;"});
  form->AddButtonClick();
  EXPECT_THAT(ui.Texts(), ElementsAre("You have not selected a variable !"));
  form->VarComboChange(1);
  form->AddButtonClick();
  form->ClearButtonClick();
  EXPECT_THAT(form->SubtotalLines, ElementsAre("Subtotal"));
  EXPECT_FALSE(form->OkButtonClick());
  EXPECT_EQ(ui.Texts().back(), "You did not add any subtotal !");
  EXPECT_EQ(ui.messages.back().kind, MessageKind::Warning);
}

TEST_F(Subtotal, DescriptionProposalStaysWithinSixtyCharacters) {
  auto form = Open({"Shock pop = 1;", "Shock tf = 1;"});
  form->SubtotalLines = {"Subtotal", " pop", " tf(\"food\",\"usa\",\"eu\",COM)"};
  form->AddedCount = 2;
  EXPECT_EQ(form->ProposedDescription(), "pop tf(\"food\",\"usa\",\"eu\",COM) changes");
  for (int i = 0; i < 3; ++i) {
    form->SubtotalLines.push_back(" tf(\"mnfcs\",\"usa\",\"row\",COM)");
  }
  EXPECT_EQ(form->ProposedDescription(),
            "pop tf(\"food\",\"usa\",\"eu\",COM) tf(\"mnfcs\",\"usa\",\"row\",COM) (etc) changes");

  // The description is cut to 77 characters and cannot end the statement early, hide its ";" or open a
  // string that would take the ";" and the next statement with it.
  ui.prompts.push_back(std::string(70, 'd') + ";!#\"xxxxxxxxx");
  EXPECT_TRUE(form->OkButtonClick());
  EXPECT_EQ(form->SubtotalLines.back(), " = " + std::string(70, 'd') + ",  'xxx ;");
}

TEST_F(Subtotal, UnknownElementsAreReportedAndStopTheChoices) {
  auto form = Open({"Shock kt = 1;"});
  form->VarComboChange(1);
  EXPECT_THAT(ui.Texts(),
              ElementsAre("Argument number 1 ranges over set TIME.\r\n"
                          "The elements of this set are not know so\r\n"
                          "Systematic Sensitivity Analysis with respect to variations here is not "
                          "allowed."));
  EXPECT_FALSE(form->Dims[0].visible);
  EXPECT_EQ(form->Preview, " kt");
}

TEST_F(Subtotal, ArgumentsAfterOneWithUnknownElementsNameTheirSets) {
  // Regions not known yet: tf(COM,REG,REG,COM) offers a choice for its first argument only. Every other
  // argument must still take its place, or the solver refuses the statement (or reads sets in wrong places).
  info.SetData[2].ElementsKnown = false;
  info.SetData[2].elements.clear();
  auto form = Open({"Shock tf = 1;"});
  form->VarComboChange(1);
  EXPECT_THAT(ui.Texts(), ElementsAre(::testing::StartsWith("Argument number 2 ranges over set REG.")));
  ASSERT_TRUE(form->Dims[0].visible);
  EXPECT_FALSE(form->Dims[1].visible);
  EXPECT_EQ(form->Preview, " tf");
  form->DimComboChange(0, 2);
  EXPECT_EQ(form->Preview, " tf(\"food\",REG,REG,COM)");
  form->DimComboChange(0, 1);
  EXPECT_EQ(form->Preview, " tf(SUBCOM,REG,REG,COM)");
}

} // namespace
} // namespace pelorin
