#include "platform/paths.h"
#include "sim_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Texts(const DimensionChoice& choice) {
  std::vector<std::string> texts;
  for (const ChoiceEntry& entry : choice.entries) {
    texts.push_back(entry.text);
  }
  return texts;
}

class Shocks : public test::SimFixture {
protected:
  void SetUp() override {
    InstallModel("trade", test::TradeModelInfo());
    sim->Closure.Lines = {"exogenous pop p_x tf kt ;", "rest endogenous ;"};
    sim->Closure.WhenClosureChanged();
  }

  ShocksPage& shocks() { return sim->Shocks; }

  // Chooses a variable by name.
  void Choose(const std::string& name) {
    for (std::size_t i = 0; i < shocks().VarChoices.size(); ++i) {
      if (shocks().VarChoices[i].text == name) {
        shocks().ExoVarComboBoxChange(static_cast<int>(i));
        return;
      }
    }
    FAIL() << name << " is not offered";
  }
};

TEST_F(Shocks, VariablesComeFromTheExogenousListAfterNoneSelected) {
  EXPECT_THAT(shocks().VarChoices,
              ElementsAre(ChoiceEntry{"None Selected", 0}, ChoiceEntry{"kt", 5}, ChoiceEntry{"p_x", 2},
                          ChoiceEntry{"pop", 1}, ChoiceEntry{"tf", 4}));
  EXPECT_EQ(shocks().VarSelected, 0);
  EXPECT_EQ(shocks().Preview, "");
}

TEST_F(Shocks, DimensionChoicesOfferTheSetItsSubsetsAndItsElements) {
  Choose("p_x");
  EXPECT_THAT(Texts(shocks().Dims[0]), ElementsAre("All COM", "All SUBCOM", "food", "mnfcs", "svces"));
  EXPECT_EQ(shocks().Dims[0].entries[1].number, -2);
  EXPECT_EQ(shocks().Dims[0].entries[3].number, 2);
  EXPECT_THAT(Texts(shocks().Dims[1]), ElementsAre("All REG", "usa", "eu", "row"));
  EXPECT_FALSE(shocks().Dims[2].visible);
  EXPECT_TRUE(shocks().ElementsVisible);
  EXPECT_TRUE(shocks().ValueVisible);
  EXPECT_EQ(shocks().DimensionsText, "Dimensions: COM*REG");
  EXPECT_EQ(shocks().Description, "Export prices");
  EXPECT_EQ(shocks().Preview, " Shock p_x(COM,REG) = uniform 0;");

  shocks().ExoDimCombo1Change(1, 1);
  shocks().ShockValueChange("10");
  EXPECT_EQ(shocks().Preview, " Shock p_x(COM,\"usa\") = uniform 10;");
  shocks().ExoDimCombo1Change(0, 3);
  shocks().ShockValueChange("-2.5");
  EXPECT_EQ(shocks().Preview, " Shock p_x(\"mnfcs\",\"usa\") = -2.5;");
  shocks().ExoDimCombo1Change(0, 1);
  EXPECT_EQ(shocks().Preview, " Shock p_x(SUBCOM,\"usa\") = uniform -2.5;");
}

TEST_F(Shocks, ScalarAndManyArgumentVariables) {
  Choose("pop");
  EXPECT_FALSE(shocks().ElementsVisible);
  EXPECT_FALSE(shocks().Dims[0].visible);
  shocks().ShockValueChange("5");
  EXPECT_EQ(shocks().Preview, " Shock pop = 5;");

  // Beyond the third argument the statement names the whole set.
  Choose("tf");
  EXPECT_EQ(shocks().DimensionsText, "Dimensions: COM*REG*REG*COM");
  shocks().ExoDimCombo1Change(0, 2);
  shocks().ExoDimCombo1Change(1, 1);
  shocks().ExoDimCombo1Change(2, 2);
  EXPECT_EQ(shocks().Preview, " Shock tf(\"food\",\"usa\",\"eu\",COM) = uniform 0;");

  // A set whose elements are unknown offers only its "All" entry.
  Choose("kt");
  EXPECT_THAT(Texts(shocks().Dims[0]), ElementsAre("All TIME"));
}

TEST_F(Shocks, AddingTakesTheValueOrZeroAndRefusesBadNumbers) {
  shocks().AddShockButtonClick();
  EXPECT_THAT(ui.Texts(), ElementsAre("You have not selected a variable to shock !"));
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::OkHelp);

  Choose("pop");
  app.ResultsOutdated = false;
  shocks().ShockValueChange("  ");
  shocks().AddShockButtonClick();
  EXPECT_EQ(shocks().Value, "0");
  shocks().ShockValueChange("1e-3");
  shocks().AddShockButtonClick();
  EXPECT_THAT(shocks().Lines, ElementsAre(" Shock pop = 0;", " Shock pop = 1e-3;"));
  EXPECT_TRUE(app.ResultsOutdated);

  for (const char* bad : {"1.2.3", "e5", "1e", "+", "inf", "nan", "1e999", "0x10", "1,5"}) {
    shocks().ShockValueChange(bad);
    shocks().AddShockButtonClick();
    EXPECT_EQ(ui.Texts().back(), "Bad numeric format !") << bad;
    EXPECT_TRUE(shocks().ValueFocus);
  }
  EXPECT_EQ(shocks().Lines.size(), 2u);

  // With a decimal comma the first comma reads as a point, in the number and in the statement.
  shocks().DecimalComma = true;
  shocks().ShockValueChange("1,5");
  shocks().AddShockButtonClick();
  EXPECT_EQ(shocks().Lines.back(), " Shock pop = 1.5;");
  shocks().ShockValueChange("12345678901234567");
  EXPECT_EQ(shocks().Value, "12345678901234");
}

TEST_F(Shocks, ValueBoxLetsOnlyNumberCharactersThrough) {
  EXPECT_EQ(shocks().ShockValueEditKeyPress(','), '.');
  for (char c : std::string("+-.0123456789Ee\b\r")) {
    EXPECT_EQ(shocks().ShockValueEditKeyPress(c), c);
  }
  EXPECT_EQ(ui.beeps, 0);
  for (char c : std::string("xX ;f\x7f")) {
    EXPECT_EQ(shocks().ShockValueEditKeyPress(c), 0);
  }
  EXPECT_EQ(ui.beeps, 6);
}

TEST_F(Shocks, UnknownElementsOfferTheClosureCheck) {
  Choose("kt");
  ui.answers = {MessageAnswer::Yes};
  shocks().ExoDimCombo1DropDown(0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Confirmation);
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(ui.messages[0].text, "Size and elements of set TIME are not yet known.\r\n"
                                 "One way of making them known is to check the closure via the\r\n"
                                 " \"Check Closure\" button on the Closure page.\r\n"
                                 "Do you want to check the closure now?");
  EXPECT_THAT(pages, ElementsAre(kClosurePage));
  EXPECT_EQ(closureChecks, 1);

  ui.answers = {MessageAnswer::No};
  shocks().ExoDimCombo1DropDown(0);
  EXPECT_EQ(closureChecks, 1);

  sim->Closure.Lines.clear();
  ui.answers = {MessageAnswer::Yes};
  shocks().ExoDimCombo1DropDown(0);
  EXPECT_EQ(ui.Texts().back(), "Size and elements of set TIME are not yet known.\r\n"
                               "One way of making them known is to check the closure via the\r\n"
                               " \"Check Closure\" button on the Closure page.\r\n"
                               "But first you need to set up the closure.\r\n"
                               "Do you want to go to the Closure page now?");
  EXPECT_THAT(pages, ElementsAre(kClosurePage, kClosurePage));
  EXPECT_EQ(closureChecks, 1);

  // Known elements ask nothing.
  Choose("p_x");
  const std::size_t shown = ui.messages.size();
  shocks().ExoDimCombo1DropDown(0);
  EXPECT_EQ(ui.messages.size(), shown);
}

TEST_F(Shocks, OpeningTheVariablesWithoutAClosureExplains) {
  shocks().ExoVarComboBoxDropDown();
  EXPECT_TRUE(ui.messages.empty());
  sim->Closure.ExoList.clear();
  shocks().ExoVarComboBoxDropDown();
  EXPECT_THAT(ui.Texts(),
              ElementsAre("You need to set up the closure before you can see the variables available "
                          "to shock."));
}

TEST_F(Shocks, ShockFilesAreSavedCleanAndLoadedWhole) {
  shocks().SaveShockFileButtonClick();
  EXPECT_THAT(ui.Texts(), ElementsAre("No Shocks to save"));

  shocks().Lines = {" Shock pop = 5;\t", "Shock p_x(COM,\"usa\") = 1;"};
  const std::string file = JoinPath(modelDir, "tariff.SHF");
  ui.files.push_back(file);
  shocks().SaveShockFileButtonClick();
  EXPECT_EQ(ui.dialogs.back().title, "Save Shock File");
  EXPECT_EQ(ui.dialogs.back().filter, "Shock files|*.SHF");
  EXPECT_TRUE(ui.dialogs.back().confirmOverwrite);
  EXPECT_THAT(Lines(file), ElementsAre(" Shock pop = 5; ", "Shock p_x(COM,\"usa\") = 1;"));

  app.ResultsOutdated = false;
  shocks().Lines.clear();
  ui.files.push_back(file);
  shocks().LoadShockFileButtonClick();
  EXPECT_EQ(ui.dialogs.back().title, "Shock File ");
  EXPECT_EQ(ui.dialogs.back().filter, "Shock Files|*.shf");
  EXPECT_EQ(ui.dialogs.back().initialDir, modelDir);
  EXPECT_EQ(shocks().Lines.size(), 2u);
  EXPECT_TRUE(app.ResultsOutdated);

  shocks().LoadShockFile(JoinPath(modelDir, "none.shf"));
  EXPECT_EQ(ui.Texts().back(), "Cannot open file\r\n" + JoinPath(modelDir, "none.shf"));
  EXPECT_EQ(shocks().Lines.size(), 2u);

  shocks().ClearShocksButtonClick();
  EXPECT_TRUE(shocks().Lines.empty());
}

TEST_F(Shocks, SubtotalsAreAppendedInPiecesUnderSixtyCharacters) {
  shocks().Lines = {"Shock pop = 1;"};
  shocks().AppendSubtotal({"Subtotal", " p_x(COM,\"usa\")", " pop", " = tariff changes ;"});
  EXPECT_THAT(shocks().Lines,
              ElementsAre("Shock pop = 1;", "Subtotal p_x(COM,\"usa\") pop = tariff changes ;"));

  shocks().Lines.clear();
  const std::string name20(20, 'x');
  shocks().AppendSubtotal({"Subtotal", " " + name20, " " + name20, " " + name20, " = d ;"});
  EXPECT_THAT(shocks().Lines, ElementsAre("Subtotal " + name20 + " " + name20, " " + name20 + " = d ;"));
}

TEST_F(Shocks, KeywordCheckReportsTheOffendingKeyword) {
  shocks().Lines = {"Shock pop = 1;", "Subtotal pop = x ;", "final_level p_x = 2 ;", "exogenous pop ;"};
  EXPECT_FALSE(shocks().CheckShockKeywords());
  EXPECT_THAT(ui.Texts(),
              ElementsAre("Key word \"exogenous\" must not be in shocks memo.\r\nPlease fix this."));
}

} // namespace
} // namespace pelorin
