#include "model/file_lines.h"
#include "modelinfo/model_info_reader.h"
#include "platform/paths.h"
#include "sim_fixture.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

class Closure : public test::SimFixture {
protected:
  void SetUp() override { InstallModel("trade", test::TradeModelInfo()); }

  ClosurePage& closure() { return sim->Closure; }
};

TEST_F(Closure, ExogenousListDropsKeywordsElementListsAndNumbers) {
  closure().Lines = {"exogenous pop p_x(COM,REG) 5 ;", "rest endogenous ;"};
  EXPECT_TRUE(closure().SetUpExoList());
  EXPECT_THAT(closure().ExoList, ElementsAre(Pair("p_x", 2), Pair("pop", 1)));
  EXPECT_TRUE(ui.messages.empty());

  // Names are lower-cased, sorted and kept once; commas and hyphens separate words; comments go.
  closure().Lines = {"Exogenous TF,pop-POP ! qo", "  p_x(\"food\",\"usa\") -3 +4;", "rest endogenous;"};
  EXPECT_TRUE(closure().SetUpExoList());
  EXPECT_THAT(closure().ExoList, ElementsAre(Pair("p_x", 2), Pair("pop", 1), Pair("tf", 4)));
}

TEST_F(Closure, AbbreviatedKeywordsAreNotTakenForVariables) {
  // The keyword check accepts "exo" and "rest endog"; the name scan must not report them as unknown
  // variables.
  closure().Lines = {"Exo pop", "  tf ; exog p_x ;", "rest endog ;"};
  EXPECT_TRUE(closure().SetUpExoList());
  EXPECT_THAT(closure().ExoList, ElementsAre(Pair("p_x", 2), Pair("pop", 1), Pair("tf", 4)));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Closure, OtherStatementsFallBackToVariablesMarkedExogenousInTheModel) {
  closure().Lines = {"exogenous pop ;", "swap qo = p_x ;", "rest endogenous ;"};
  EXPECT_TRUE(closure().SetUpExoList());
  EXPECT_THAT(closure().ExoList, ElementsAre(Pair("kt", 5), Pair("p_x", 2), Pair("pop", 1), Pair("tf", 4)));
}

TEST_F(Closure, SetStatementsAreSkippedUpToTheirSemicolon) {
  closure().Lines = {"xset myset (food,mnfcs) ;", "exogenous pop ;", "rest endogenous ;"};
  closure().SetUpExoList();
  EXPECT_THAT(closure().ExoList, ElementsAre(Pair("pop", 1)));

  // A statement running over lines is skipped to the line ending in ";".
  closure().Lines = {"xsubset myset", " is subset of COM", "  ;", "exogenous tf ;", "rest endogenous ;"};
  closure().SetUpExoList();
  EXPECT_THAT(closure().ExoList, ElementsAre(Pair("tf", 4)));

  // A comment after the ";" leaves blanks behind; they must not make the statement look unfinished (the
  // following names would silently go missing from the Shocks page).
  closure().Lines = {"xset myset (food,mnfcs) ; ! traded", "exogenous pop", "  p_x ;", "rest endogenous ;"};
  closure().SetUpExoList();
  EXPECT_THAT(closure().ExoList, ElementsAre(Pair("p_x", 2), Pair("pop", 1)));
}

TEST_F(Closure, ExogenousListIsReadStatementByStatementWhereverStatementsStand) {
  // One closure per case, each with the names it must give and no warning.
  const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
      {{"xset s (food,mnfcs) ; exogenous pop tf ;", "rest endogenous ;"}, {"pop", "tf"}},
      {{"exogenous pop ; xset s (food,mnfcs) ;", "rest endogenous ;"}, {"pop"}},
      {{"exogenous pop ;", "   xset s (food,", "  mnfcs) ;", "exogenous tf ; rest endogenous ;"},
       {"pop", "tf"}},
      {{"exogenous p_x(COM,", "REG) pop ;", "rest endogenous ;"}, {"p_x", "pop"}},
      {{"exogenous pop #the people# tf # to the end", "kt ;", "rest endogenous ;"}, {"kt", "pop", "tf"}},
      {{"exogenous,pop\x01tf ;", "rest endogenous ;"}, {"pop", "tf"}},
  };
  for (const auto& [lines, names] : cases) {
    closure().Lines = lines;
    EXPECT_TRUE(closure().SetUpExoList()) << lines[0];
    std::vector<std::string> found;
    for (const auto& [name, number] : closure().ExoList) {
      EXPECT_GT(number, 0) << name;
      found.push_back(name);
    }
    EXPECT_EQ(found, names) << lines[0];
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Closure, UnknownNamesAreEachReportedAndFailTheList) {
  closure().Lines = {"exogenous pop fred ;", "exogenous barney ;", "rest endogenous ;"};
  EXPECT_FALSE(closure().SetUpExoList());
  EXPECT_THAT(ui.Texts(), ElementsAre("Warning: \"barney\"\r\nis not a variable.\r\nPlease amend closure.",
                                      "Warning: \"fred\"\r\nis not a variable.\r\nPlease amend closure."));
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::OkHelp);

  // Without a model nothing is looked up.
  ui.messages.clear();
  model->Model.ModelFile.clear();
  EXPECT_TRUE(closure().SetUpExoList());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Closure, ClosureChangeRefillsTheShockVariablesAndOutdatesResults) {
  app.ResultsOutdated = false;
  closure().Lines = {"exogenous pop p_x ;", "rest endogenous ;"};
  closure().Modified = true;
  sim->Shocks.VarSelected = 1;
  closure().WhenClosureChanged();
  EXPECT_FALSE(closure().Modified);
  EXPECT_TRUE(app.ResultsOutdated);
  EXPECT_THAT(sim->Shocks.VarChoices,
              ElementsAre(ChoiceEntry{"None Selected", 0}, ChoiceEntry{"p_x", 2}, ChoiceEntry{"pop", 1}));
  EXPECT_EQ(sim->Shocks.VarSelected, 0);
}

TEST_F(Closure, ClosureFileWithInformationFileReplacesTheModelInformation) {
  // A closure information file as a closure check leaves it: TIME's elements are now known.
  ModelInfoDescription checked = test::TradeModelInfo();
  checked.sets[3] = {"TIME", "Years", 2, {"y2025", "y2026"}};
  checked.variables[4].size = 2;
  ErrorText errorText;
  const std::string cls =
      WriteText(JoinPath(modelDir, "base.CLS"), {"exogenous pop\tkt ;", "rest endogenous ;"});
  ASSERT_TRUE(WriteModelInfo(JoinPath(modelDir, "base.cli"), checked, errorText)) << errorText;
  closure().ProcessClosureFile(cls);
  EXPECT_THAT(closure().Lines, ElementsAre("exogenous pop kt ;", "rest endogenous ;"));
  EXPECT_EQ(info.Set(4).size, 2);
  EXPECT_TRUE(info.Set(4).ElementsKnown);
  EXPECT_THAT(closure().ExoList, ElementsAre(Pair("kt", 5), Pair("pop", 1)));

  // Without a partner the model information stays as it is.
  std::filesystem::remove(JoinPath(modelDir, "base.cli"));
  closure().ProcessClosureFile(cls);
  EXPECT_EQ(info.Set(4).size, 2);

  closure().ProcessClosureFile(JoinPath(modelDir, "missing.cls"));
  EXPECT_EQ(ui.Texts().back(), "Cannot open file\r\n" + JoinPath(modelDir, "missing.cls"));
}

TEST_F(Closure, UnreadableInformationFileIsFatal) {
  const std::string bad = WriteText(JoinPath(modelDir, "bad.cli"), {"#SETS", "x"});
  app.ErrorText.clear();
  closure().ProcessClosureInfoFile(bad);
  EXPECT_THAT(exits, ElementsAre(1));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_THAT(ui.messages[0].text, ::testing::StartsWith("cannot read NKalSet"));
  EXPECT_EQ(ui.messages[1].text, "Program will be halted due to fatal errors");
}

TEST_F(Closure, SviFileIsCopiedToTheKeepFolderAndClearedBackToTheModel) {
  ModelInfoDescription checked = test::TradeModelInfo();
  checked.sets[3] = {"TIME", "Years", 1, {"y2025"}};
  checked.variables[4].size = 1;
  ErrorText errorText;
  const std::string cli = JoinPath(workDir, "clcheck.cli");
  ASSERT_TRUE(WriteModelInfo(cli, checked, errorText));
  EXPECT_TRUE(closure().UpdateCurrentSVIFileName(cli, errorText));
  EXPECT_EQ(model->Model.SviFile, JoinPath(modelDir, "current.svi"));
  EXPECT_EQ(test::ReadFileBytes(model->Model.SviFile), test::ReadFileBytes(cli));
  // Copying the copy onto itself leaves it intact.
  EXPECT_TRUE(closure().UpdateCurrentSVIFileName(model->Model.SviFile, errorText));
  EXPECT_EQ(test::ReadFileBytes(model->Model.SviFile), test::ReadFileBytes(cli));

  closure().ProcessClosureInfoFile(model->Model.SviFile);
  EXPECT_EQ(info.Set(4).size, 1);
  closure().ClearSVIInfo();
  EXPECT_EQ(model->Model.SviFile, "");
  EXPECT_EQ(info.Set(4).size, -1);
}

TEST_F(Closure, SaveAndLoadGoThroughTheClosureFileDialogs) {
  closure().SaveClosureButtonClick();
  EXPECT_THAT(ui.Texts(), ElementsAre("No closure to save"));

  closure().Lines = {"exogenous\tpop ;", "rest endogenous ;\x1a"};
  closure().Modified = true;
  const std::string file = JoinPath(modelDir, "mine.CLS");
  ui.files.push_back(file);
  closure().SaveClosureButtonClick();
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].title, "Save Closure File");
  EXPECT_EQ(ui.dialogs[0].filter, "Closure files|*.CLS");
  EXPECT_EQ(ui.dialogs[0].fileName, "*.CLS");
  EXPECT_EQ(ui.dialogs[0].initialDir, modelDir);
  EXPECT_TRUE(ui.dialogs[0].confirmOverwrite);
  EXPECT_FALSE(closure().Modified);
  EXPECT_THAT(Lines(file), ElementsAre("exogenous pop ;", "rest endogenous ; "));

  closure().Lines.clear();
  ui.files.push_back(file);
  closure().LoadClosureButtonClick();
  EXPECT_EQ(ui.dialogs[1].title, "Closure File ");
  EXPECT_EQ(ui.dialogs[1].filter, "Closure Files|*.cls");
  EXPECT_THAT(closure().Lines, ElementsAre("exogenous pop ;", "rest endogenous ; "));
  EXPECT_THAT(closure().ExoList, ElementsAre(Pair("pop", 1)));
}

TEST_F(Closure, HideErrorLogHidesBothLogsAndSetSizesShowsOnlyAFilledLog) {
  closure().SetSizesButtonClick();
  EXPECT_FALSE(closure().SetSizesLogVisible);
  closure().SetSizesLog = {"Set COM has 3 elements"};
  closure().SetSizesButtonClick();
  closure().ErrorLogVisible = true;
  EXPECT_TRUE(closure().SetSizesLogVisible);
  closure().HideErrorLogButtonClick();
  EXPECT_FALSE(closure().ErrorLogVisible);
  EXPECT_FALSE(closure().SetSizesLogVisible);
}

TEST_F(Closure, CheckClosureNeedsDataFilesAndAStartableSolver) {
  model->DataPage.InputLines[1] = "File PARAM = ?? ;";
  closure().ErrorLogVisible = true;
  closure().CheckClosureButtonClick();
  EXPECT_FALSE(closure().ErrorLogVisible);
  EXPECT_THAT(ui.Texts(), ElementsAre("The names of some input data files are not yet specified.\r\n"
                                      "Please specify their names on the Model/Data page."));
  EXPECT_THAT(pages, ElementsAre(kModelDataPage));
  EXPECT_EQ(closureChecks, 0);

  InstallModel("trade", test::TradeModelInfo());
  ui.messages.clear();
  model->Model.ModelIsExe = false;
  closure().CheckClosureButtonClick();
  EXPECT_THAT(ui.Texts(), ElementsAre("Sorry, cannot check closure since DRAVEX is not available\r\n"
                                      "(either in Orvane's directory or on the DOS Path)."));
  EXPECT_EQ(closureChecks, 0);

  WriteText(JoinPath(programDir, "dravex.exe"), {});
  std::filesystem::permissions(JoinPath(programDir, "dravex.exe"), std::filesystem::perms::owner_all);
  closure().Lines = {"exogenous pop ;", "rest endogenous ;"};
  closure().Modified = true;
  closure().CheckClosureButtonClick();
  EXPECT_EQ(closureChecks, 1);
  EXPECT_FALSE(closure().Modified);
  EXPECT_THAT(closure().ExoList, ElementsAre(Pair("pop", 1)));

  // The check's command file names the model and the work folder, which must not hold what ends a name there.
  ui.messages.clear();
  app.WorkDir = dir.File("work;1");
  closure().CheckClosureButtonClick();
  EXPECT_THAT(ui.Texts(),
              ElementsAre("Cannot check the closure: the work folder\r\n" + app.WorkDir +
                          "\r\nholds the character \";\", which the solver's command files cannot "
                          "carry in a file name.\r\nPlease use a folder whose path has none of ! # ; = "
                          "\""));
  app.WorkDir = workDir;
  model->Model.ModelFile = JoinPath(dir.File("models!"), "trade.exe");
  closure().CheckClosureButtonClick();
  EXPECT_THAT(ui.Texts().back(),
              ::testing::StartsWith("Cannot check the closure: the model folder\r\n" + dir.File("models!") +
                                    "\r\nholds the character \"!\""));
  EXPECT_EQ(closureChecks, 1);
}

TEST_F(Closure, CheckClosureWithoutAModelSendsToTheModelPage) {
  model->Model.ModelFile.clear();
  closure().CheckClosureButtonClick();
  EXPECT_THAT(ui.Texts(), ElementsAre("You must specify the model first !"));
  EXPECT_THAT(pages, ElementsAre(kModelDataPage));
  EXPECT_EQ(closureChecks, 0);
}

TEST_F(Closure, EndOfCheckJudgesByTheClosureInformationFile) {
  closure().Lines = {"exogenous pop ;", "rest endogenous ;"};
  EXPECT_FALSE(closure().ClosureCheckEnded());
  EXPECT_THAT(ui.Texts(), ElementsAre("Closure is not valid"));
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);

  ui.messages.clear();
  ErrorText errorText;
  ASSERT_TRUE(WriteModelInfo(JoinPath(workDir, "clcheck.cli"), test::TradeModelInfo(), errorText));
  EXPECT_TRUE(closure().ClosureCheckEnded());
  EXPECT_EQ(ui.Texts().front(), "Closure is fine");
  EXPECT_EQ(model->Model.SviFile, JoinPath(modelDir, "current.svi"));
  // The model had no default closure file: the checked closure becomes it.
  EXPECT_THAT(Lines(JoinPath(modelDir, "trade.cls")), ElementsAre("exogenous pop ;", "rest endogenous ;"));
}

TEST_F(Closure, ACheckWhoseInformationCannotBeKeptUsesTheChecksOwnFile) {
  // An older copy that the settings would go on naming.
  ErrorText errorText;
  ASSERT_TRUE(WriteModelInfo(JoinPath(workDir, "clcheck.cli"), test::TradeModelInfo(), errorText));
  ASSERT_TRUE(closure().ClosureCheckEnded());
  ui.messages.clear();

  // The keep folder has gone: the check's own file becomes the model information, and the person is told.
  ModelInfoDescription checked = test::TradeModelInfo();
  checked.sets[3] = {"TIME", "Years", 1, {"y2025"}};
  checked.variables[4].size = 1;
  const std::string cli = JoinPath(workDir, "clcheck.cli");
  ASSERT_TRUE(WriteModelInfo(cli, checked, errorText));
  app.KeepDir = dir.File("gone");
  EXPECT_TRUE(closure().ClosureCheckEnded());
  EXPECT_EQ(model->Model.SviFile, cli);
  EXPECT_EQ(info.Set(4).size, 1);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Closure is fine");
  EXPECT_EQ(ui.messages[1].kind, MessageKind::Warning);
  EXPECT_THAT(ui.messages[1].text,
              ::testing::StartsWith("The closure information could not be kept:\r\nCannot copy " + cli +
                                    " to " + JoinPath(dir.File("gone"), "current.svi") + ": "));
  EXPECT_THAT(ui.messages[1].text,
              ::testing::EndsWith("[UpdateCurrentSVIFileName]\r\nIt is read from " + cli +
                                  " until the program ends; check the closure again after the next start."));

  // Once the work folder is cleared the settings name a file that is gone: the model's own information is
  // read, with a warning, instead of stopping the program.
  std::filesystem::remove(cli);
  ui.messages.clear();
  closure().ProcessClosureInfoFile(model->Model.SviFile);
  EXPECT_TRUE(exits.empty());
  EXPECT_THAT(ui.Texts(), ElementsAre("The closure information file\r\n" + cli +
                                      "\r\nis missing; the model's own information is used instead."));
  EXPECT_EQ(model->Model.SviFile, "");
  EXPECT_EQ(info.Set(4).size, -1);
}

TEST_F(Closure, KeywordCheckReportsTheOffendingKeyword) {
  closure().Lines = {"exogenous pop ;", "shock pop = 1 ;"};
  EXPECT_FALSE(closure().CheckClosureKeywords());
  EXPECT_THAT(ui.Texts(),
              ElementsAre("Key word \"shock\" must not be in the closure memo.\r\nPlease fix this."));
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::OkHelp);
  closure().Lines = {"Exo pop ;", "restore endog ;"};
  EXPECT_TRUE(closure().CheckClosureKeywords());
}

} // namespace
} // namespace pelorin
