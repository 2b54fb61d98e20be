#include "golden_files.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "sim_fixture.h"
#include "simspec/cmf_writer.h"
#include "simspec/job_inputs.h"

#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The expected files of the two models built by the fixture live under golden/fixture-<model>/.
class Golden : public test::SimFixture {
protected:
  void WriteAll(const std::string& caseName, bool postSim) {
    test::ExpectGoldenJobFiles(*sim, *model, workDir, dir.Path().string(), caseName, postSim);
  }
};

TEST_F(Golden, TradeModelWithPostSimulationSubtotalAndAutomaticAccuracy) {
  InstallModel("trade", test::TradeModelInfo());
  WriteText(JoinPath(modelDir, "CMFSTART"), {"log file = yes ;"});
  sim->Closure.Lines = {"exogenous pop p_x tf", "   kt ;", "rest endogenous ;"};
  sim->Shocks.Lines = {" Shock p_x(COM,\"usa\") = uniform 10;",
                       " Shock tf(\"food\",\"usa\",\"eu\",COM) = -2.5;",
                       "Shock pop = select from file popshk.har header \"POP\"; ! from file",
                       "Subtotal p_x(COM,\"usa\") pop = tariff changes ;"};
  WriteText(JoinPath(modelDir, "popshk.har"), {});
  sim->Solve.VerbalDescription = "Tariff cut; 10% on food";
  sim->Context.method = {SolutionMethod::Gragg, 3, {2, 4, 6}, 4, true};
  sim->Context.accuracy.stopOnFailure = false;
  sim->Context.accuracy.criterion = 1;
  WriteAll("fixture-trade", true);
}

TEST_F(Golden, MinimalModelWithoutPostSimulationOrXac) {
  InstallModel("minimal", test::MinimalModelInfo());
  sim->Context.options.createXacFile = false;
  sim->Context.options.getSubtotalsResults = false;
  sim->Context.options.ignoreLevelsResults = true;
  sim->Closure.Lines = {"exogenous pop y ;", "rest endogenous ;"};
  sim->Shocks.Lines = {" Shock pop = 10;", " Shock y(\"a\") = 1;"};
  sim->Context.method = {SolutionMethod::Euler, 2, {3, 6, 9}, 1, false};
  WriteAll("fixture-minimal", false);
}

TEST(ShockLines, FileShocksGetTheModelFoldersFile) {
  test::TempDir dir;
  const std::string modelDir = dir.File("my model");
  fs::create_directories(modelDir);
  std::ofstream(JoinPath(modelDir, "xshock.pre")) << "";
  EXPECT_EQ(ConvertShockLine("Shock p_x = select from file xshock.pre; ! comment", modelDir),
            "SHOCK P_X = SELECT FROM FILE \"" + JoinPath(modelDir, "xshock.pre") + "\";");
  // A name that exists in no case keeps the case it was typed in.
  EXPECT_EQ(ConvertShockLine("shock  p_x =  select   from FILE Other.Pre   header \"AB\" ;", modelDir),
            "SHOCK P_X = SELECT FROM FILE \"" + JoinPath(modelDir, "Other.Pre") + "\" HEADER \"AB\" ;");
  // A quoted name may hold blanks.
  EXPECT_EQ(ConvertShockLine("shock v = select from file \"my shocks.pre\";", modelDir),
            "SHOCK V = SELECT FROM FILE \"" + JoinPath(modelDir, "my shocks.pre") + "\";");
  // The name ends at its ";" even when more text follows on the line.
  EXPECT_EQ(ConvertShockLine("shock v = select from file a.pre; shock w = 1;", modelDir),
            "SHOCK V = SELECT FROM FILE \"" + JoinPath(modelDir, "a.pre") + "\"; SHOCK W = 1;");
}

TEST(ShockLines, OtherLinesAreCopiedExactly) {
  for (const char* line :
       {"Shock p_x = select from file c:\\s\\x.pre;", "Shock p_x = select from file /s/x.pre;",
        " Shock pop = 5; ! file x", "file xx = yy ;", "Shock v = file ;", "no equals file x",
        "shock v = select from file \"unclosed;"}) {
    EXPECT_EQ(ConvertShockLine(line, "/models/m"), line);
  }
}

TEST_F(Golden, OnlyShockStatementsThatReadAFileGetTheModelFoldersFile) {
  // A subtotal described with the word "file", on one line or after a break, is written as it stands.
  InstallModel("trade", test::TradeModelInfo());
  sim->Shocks.Lines = {"Subtotal pop = tariff file changes ;",
                       "Subtotal p_x(COM,\"usa\") pop",
                       " = tariff file changes ;",
                       "Shock pop = file popshk.har ; ! file",
                       "Change",
                       "  p_x = select from file pxshk.har ;"};
  const std::string cmf = JoinPath(modelDir, "sim1.cmf");
  ErrorText errorText;
  ASSERT_TRUE(sim->CreateCMF(cmf, false, errorText)) << errorText;
  const std::vector<std::string> lines = Lines(cmf);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_THAT(std::vector<std::string>(lines.end() - 6, lines.end()),
              ElementsAre("Subtotal pop = tariff file changes ;", "Subtotal p_x(COM,\"usa\") pop",
                          " = tariff file changes ;",
                          "SHOCK POP = FILE " + JoinPath(modelDir, "popshk.har") + " ;", "Change",
                          "P_X = SELECT FROM FILE " + JoinPath(modelDir, "pxshk.har") + " ;"));
}

TEST_F(Golden, PostSimulationFileLinesFollowTheLogicalFiles) {
  InstallModel("trade", test::TradeModelInfo());
  CmfSources sources = sim->Sources();
  // Eleven outputs: the ninth gets ".ou9", the tenth and eleventh ".o10" and ".o11".
  for (int k = 3; k <= 11; ++k) {
    std::string line = "OUT" + std::to_string(k);
    line.resize(22, ' ');
    sources.fileLines.push_back(line + "out");
  }
  const std::string cmf = JoinPath(workDir, "post.cmf");
  ErrorText errorText;
  ASSERT_TRUE(CreateCMF(cmf, true, sources, errorText)) << errorText;
  const std::vector<std::string> lines = Lines(cmf);
  const std::string display = JoinPath(modelDir, "sim1ps");
  EXPECT_THAT(lines, ::testing::Contains("File BASEDATA = " + JoinPath(modelDir, "sim1.upd") + " ;"));
  EXPECT_THAT(lines, ::testing::Contains(sources.dataFileLines[1]));
  EXPECT_THAT(lines, ::testing::Not(::testing::Contains(HasSubstr("terminal"))));
  EXPECT_THAT(lines, ::testing::Contains("Display file = " + display + ".dis ;"));
  EXPECT_THAT(lines, ::testing::Contains("File OUT9 = " + display + ".ou9 ;"));
  EXPECT_THAT(lines, ::testing::Contains("File OUT11 = " + display + ".o11 ;"));
  EXPECT_THAT(
      std::vector<std::string>(lines.end() - 4, lines.end()),
      ElementsAre("! No equations - hence no simulation", "neq = yes ;", "nas = yes ;", "dpn = yes ;"));
}

TEST_F(Golden, CmfStartFromTheOutputFolderWinsAndEmptyDescriptionGivesSemicolon) {
  InstallModel("minimal", test::MinimalModelInfo());
  const std::string outputDir = JoinPath(modelDir, "out");
  fs::create_directories(outputDir);
  model->Model.OutputDir = outputDir;
  WriteText(JoinPath(modelDir, "cmfstart"), {"! model folder's"});
  WriteText(JoinPath(outputDir, "CmfStart"), {"! output folder's"});
  sim->Solve.VerbalDescription.clear();
  ErrorText errorText;
  const std::string cmf = SimulationCmfPath(outputDir, model->OutputPage.OutputLines);
  EXPECT_EQ(cmf, JoinPath(outputDir, "sim1.cmf"));
  ASSERT_TRUE(sim->CreateCMF(cmf, false, errorText)) << errorText;
  const std::vector<std::string> lines = Lines(cmf);
  EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 5),
              ElementsAre("! Begin CMFSTART file", "! " + JoinPath(outputDir, "CmfStart"),
                          "! output folder's", "! End CMFSTART file", "!"));
  const auto verbal = std::find(lines.begin(), lines.end(), "Verbal Description =");
  ASSERT_NE(verbal, lines.end());
  EXPECT_EQ(*(verbal + 1), ";");

  // Two files differing only in case: the command file copies the one "Edit CMFSTART file" edits.
  WriteText(JoinPath(outputDir, "cmfstart"), {"! lower case"});
  ASSERT_TRUE(sim->CreateCMF(cmf, false, errorText)) << errorText;
  model->EditCMFSTARTFile();
  ASSERT_FALSE(ui.editors.empty());
  EXPECT_EQ(Lines(cmf)[1], "! " + ui.editors.back().file);

  // Without any CMFSTART file the command file starts with "!".
  fs::remove(JoinPath(modelDir, "cmfstart"));
  fs::remove(JoinPath(outputDir, "cmfstart"));
  fs::remove(JoinPath(outputDir, "CmfStart"));
  ASSERT_TRUE(sim->CreateCMF(cmf, false, errorText)) << errorText;
  EXPECT_EQ(Lines(cmf).front(), "!");
}

TEST_F(Golden, WriteFailuresAreReportedWithTheWritersName) {
  InstallModel("minimal", test::MinimalModelInfo());
  ErrorText errorText;
  const std::string cmf = JoinPath(dir.File("no such folder"), "sim1.cmf");
  EXPECT_FALSE(sim->CreateCMF(cmf, false, errorText));
  EXPECT_EQ(errorText, "Cannot create file " + cmf + "[TxtCreate][CreateCMF]");

  errorText.clear();
  app.WorkDir = dir.File("gone");
  EXPECT_FALSE(sim->CheckClosureCMF(errorText));
  EXPECT_EQ(errorText,
            "Cannot create file " + JoinPath(app.WorkDir, "clcheck.cmf") + "[TxtCreate][CheckClosureCMF]");

  errorText.clear();
  app.WorkDir = workDir;
  model->DataPage.InputLines.push_back("File (terminal) = " + dir.File("missing.txt") + " ;");
  EXPECT_FALSE(sim->WriteSolveJobInputs(JoinPath(modelDir, "sim1.sl4"), "a.cmf", "b.cmf", false, errorText));
  EXPECT_EQ(errorText, "Cannot open file " + dir.File("missing.txt") +
                           "[TxtAppend][CopyTerminalData][WriteSolveJobInputs]");
}

TEST(JobScripts, CheckBatchInBothDialects) {
  std::vector<std::string> lines;
  ErrorText errorText;
  ASSERT_TRUE(CheckBatchLines(ScriptDialect::Cmd, "C:\\orvane\\work", "C:\\models\\my model\\m.exe", lines,
                              errorText));
  EXPECT_THAT(
      lines,
      ElementsAre("C:", "cd C:\\orvane\\work", "del C:\\orvane\\work\\clcheck.cli",
                  "del C:\\orvane\\work\\clcheck.log",
                  "echo ** C:\\models\\my model\\m.exe did not produce C:\\orvane\\work\\clcheck.log > "
                  "C:\\orvane\\work\\clcheck.log",
                  "\"C:\\models\\my model\\m.exe\" -sti C:\\orvane\\work\\clcheck.sti -lon "
                  "C:\\orvane\\work\\clcheck.log",
                  "if errorlevel 1 goto error1", "goto endbat", ":error1",
                  "echo error at model solution stage > C:\\orvane\\work\\clcheck.flg", "goto endbat",
                  ":endbat"));

  lines.clear();
  ASSERT_TRUE(CheckBatchLines(ScriptDialect::Sh, "/opt/it's", "/m/model.exe", lines, errorText));
  EXPECT_THAT(lines,
              ElementsAre("cd '/opt/it'\\''s' || exit 1", "rm -f '/opt/it'\\''s/clcheck.cli'",
                          "rm -f '/opt/it'\\''s/clcheck.log'",
                          "echo '** /m/model.exe did not produce /opt/it'\\''s/clcheck.log' > "
                          "'/opt/it'\\''s/clcheck.log'",
                          "'/m/model.exe' -sti '/opt/it'\\''s/clcheck.sti' -lon '/opt/it'\\''s/clcheck.log'",
                          "if [ $? -ne 0 ]; then",
                          "  echo 'error at model solution stage' > '/opt/it'\\''s/clcheck.flg'", "fi"));

  // A folder the script cannot change to ends the script there.
  for (auto [dialect, folder] :
       {std::pair{ScriptDialect::Cmd, "\\\\server\\work"}, {ScriptDialect::Sh, "work"}}) {
    lines.clear();
    errorText.clear();
    EXPECT_FALSE(CheckBatchLines(dialect, folder, "m.exe", lines, errorText));
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(errorText, "[ChangeDirBat]");
  }
}

TEST(JobScripts, RequiredProgramNames) {
  test::ScriptedUserInterface ui;
  EXPECT_EQ(RequiredProgramName("PRAXOL", "/p", ui), "/p/praxola.exe");
  EXPECT_EQ(RequiredProgramName("mirda", "/p/", ui), "/p/mirdaa.exe");
  EXPECT_EQ(RequiredProgramName("Folmer", "/p", ui), "/p/folmera.exe");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(RequiredProgramName("dravex", "/p", ui), "");
  EXPECT_THAT(ui.Texts(), ElementsAre("Unexpected argument in call to RequiredProgramName.\r\n"
                                      "Please tell the developers of this code."));
}

} // namespace
} // namespace pelorin
