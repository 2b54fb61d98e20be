// The installed program folder, end to end without the application: the install step lays out the folder, a
// copy of it elsewhere is used, and the files the application would write for a solve of Minimal and a
// closure check of Trade are run through the real model executables, praxola.exe and mirdaa.exe. What the
// application reads back is read with its own readers.
#include "conv_fixture.h"
#include "datafiles/har_data.h"
#include "modelinfo/model_info_reader.h"
#include "platform/paths.h"
#include "praxola/solution_reader.h"
#include "results/results_model.h"
#include "shell/captions.h"
#include "shell/catalogue.h"
#include "shell/model_archive.h"
#include "shell/settings.h"
#include "summaries/acc_summary.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

/// One program folder for the whole suite: installed into one place, then moved to another.
class ProgramFolder : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    const std::string first = dir_->File("first");
    ASSERT_EQ(
        test::RunToEnd(PELORIN_CMAKE, {"--install", PELORIN_BINARY_DIR, "--prefix", first}, dir_->File("")),
        0);
    // A folder copied elsewhere must work on its own.
    prog_ = dir_->File("prog");
    fs::copy(first, prog_, fs::copy_options::recursive);
    fs::remove_all(first);
    fs::create_directories(JoinPath(prog_, "work"));
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  static std::string Prog(const std::string& relative) { return JoinPath(prog_, relative); }
  static std::string Work(const std::string& name) { return JoinPath(Prog("work"), name); }
  static std::string Read(const std::string& path) { return test::ReadFileBytes(path); }
  static void Write(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }
  /// Runs a suite program on an answer or stored-input file in the work folder; returns its exit code.
  static int RunJob(const std::string& program, const std::string& input, const char* logOption) {
    return test::RunToEnd(program,
                          {"-sti", Work(input), logOption, Work(fs::path(input).stem().string() + ".log")},
                          Prog("work"));
  }

  static test::TempDir* dir_;
  static std::string prog_;
};

test::TempDir* ProgramFolder::dir_ = nullptr;
std::string ProgramFolder::prog_;

TEST_F(ProgramFolder, HoldsTheProgramsAndEveryModelFile) {
  for (const char* program :
       {"praxola.exe", "mirdaa.exe", "merka.exe", "dravex.exe", "Minimal/Minimal.exe", "Trade/Trade.exe"}) {
    EXPECT_EQ(fs::status(Prog(program)).permissions() & fs::perms::owner_exec, fs::perms::owner_exec)
        << program;
  }
  const std::vector<InstalledModel> models = ListInstalledModels(prog_);
  ASSERT_EQ(models.size(), 2u);
  EXPECT_EQ(models[0].name, "Minimal");
  EXPECT_EQ(models[0].description, "A minimal economy: one household, three goods, two factors");
  EXPECT_EQ(models[1].name, "Trade");

  test::ScriptedUserInterface ui;
  CheckProgramFiles(prog_, ui);
  EXPECT_THAT(Read(Prog("vital.fil")), HasSubstr("praxola.exe\n"));
  for (const char* model : {"Minimal", "Trade"}) {
    const std::string base = Prog(std::string(model) + "/" + model);
    CheckModelFiles(base, ui);
    EXPECT_TRUE(fs::exists(base + ".html")) << model;
    EXPECT_EQ(Read(base + ".bmp").substr(0, 2), "BM") << model;
    EXPECT_EQ(Read(base + ".rtf").substr(0, 6), "{\\rtf1") << model;
    ModelCaptions captions;
    ErrorText err;
    EXPECT_TRUE(ReadCaptions(base + ".tit", captions, err)) << err;
    EXPECT_TRUE(captions.records[3].read && captions.background.known) << model;
    EXPECT_EQ(captions.records[0].text, model);
    // No text file of the folder names the place it was built or installed in.
    for (const auto& entry : fs::directory_iterator(Prog(model))) {
      const std::string ext = entry.path().extension().string();
      if (ext != ".exe" && ext != ".har" && ext != ".axt" && ext != ".bmp") {
        EXPECT_THAT(Read(entry.path()), ::testing::Not(HasSubstr(PELORIN_BINARY_DIR))) << entry.path();
        EXPECT_THAT(Read(entry.path()), ::testing::Not(HasSubstr(PELORIN_SOURCE_DIR))) << entry.path();
      }
    }
  }
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());

  // Each archive installs the model, flat, into a program folder that lacks it.
  const std::string other = dir_->File("other");
  fs::create_directories(other);
  std::string reason;
  ASSERT_TRUE(InstallModelArchive(Prog("Trade.zip"), JoinPath(other, "Trade"), 1u << 30, reason)) << reason;
  ASSERT_EQ(ListInstalledModels(other).size(), 1u);
  CheckModelFiles(JoinPath(other, "Trade/Trade"), ui);
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());
}

TEST_F(ProgramFolder, MinimalSettingsAreRestoredReadyToSolve) {
  SettingsContext context;
  context.programDir = prog_;
  context.modelHomeDir = Prog("Minimal");
  test::ScriptedUserInterface ui;
  IniOptions options;
  ErrorText err;
  ASSERT_TRUE(ReadIniOptions(Prog("Minimal/Minimal.ini"), context, ui, options, err)) << err;
  EXPECT_EQ(options.model, Prog("Minimal/Minimal.exe"));
  ASSERT_EQ(options.inputFiles.size(), 1u);
  EXPECT_EQ(options.inputFiles[0], "File BASEDATA = " + Prog("Minimal/basedata.har") +
                                       " ; ! Base data: factor payments by industry");
  EXPECT_THAT(options.closure, ElementsAre("exogenous QFAC INCOME ;", "rest endogenous ;"));
  EXPECT_EQ(options.shocks.size(), 4u);
  EXPECT_EQ(options.outputFiles.size(), 4u);
  EXPECT_EQ(options.method, DefaultSolveMethod());
  EXPECT_NE(options.verbalDescription, "?");
  EXPECT_EQ(options.modelDesc, "A minimal economy: one household, three goods, two factors");
}

TEST_F(ProgramFolder, MinimalSolvesConvertsAndLoadsWithTheRightEconomics) {
  const std::string model = Prog("Minimal");
  const std::string out = Prog("Minimal/OutPut");
  fs::create_directories(out);
  const std::string sim = JoinPath(out, "sim1");
  // The command files, stored inputs and answer files a solve of the settings' simulation writes.
  Write(sim + ".cmf",
        "!\n! Auxiliary files (i.e., which model)\n! ---------------\n!\n"
        "Auxiliary files = " +
            JoinPath(model, "Minimal") +
            " ;\n"
            "!\n! Original Data files\n! -------------------\n!\n"
            "File BASEDATA = " +
            JoinPath(model, "basedata.har") +
            " ; ! Base data: factor payments by industry\n"
            "!\n! Output files\n! ------------\n!\n"
            "Solution file = sim1 ;\nUpdated file BASEDATA = sim1.upd ;\nFile SUMMARY = sim1.ou1 ;\n"
            "Display file = sim1.dis ;\nExtrapolation Accuracy File = yes ;\ndpn = yes ;\n"
            "!\n! Closure\n! -------\n!\nexogenous QFAC INCOME ;\nrest endogenous ;\n"
            "!\n! Verbal description\n! ------------------\n!\nVerbal Description =\n"
            "Ten percent more labour and five percent more income;\n"
            "!\n! Solution method\n! ---------------\n!\nMethod = Gragg;\nSteps = 2 4 6;\n"
            "subintervals = 1;\n!\n! Miscellaneous info\n! ------------------\n!\n"
            "automatic accuracy = no;\n!\n! Shocks\n! ------\n!\n"
            " Shock QFAC(\"labour\") = 10 ;\n Shock INCOME = 5 ;\n Subtotal QFAC = more labour ;\n"
            " Subtotal INCOME = more income ;\n");
  Write(JoinPath(out, "sim1ps.cmf"),
        "!\n! Auxiliary files (i.e., which model)\n! ---------------\n!\nAuxiliary files = " +
            JoinPath(model, "Minimal") +
            " ;\n!\n! Input and output files\n! ----------------------\n!\n"
            "File BASEDATA = " +
            JoinPath(out, "sim1.upd") + " ;\nDisplay file = " + JoinPath(out, "sim1ps.dis") +
            " ;\nFile SUMMARY = " + JoinPath(out, "sim1ps.ou1") +
            " ;\n! No equations - hence no simulation\nneq = yes ;\nnas = yes ;\ndpn = yes ;\n");
  Write(Work("solve.sti"), "rpt\n" + Work("solve.rpt") + "\nCMF\n" + sim + ".cmf\n");
  Write(Work("postsim.sti"), "rpt\n" + Work("postsim.rpt") + "\nCMF\n" + JoinPath(out, "sim1ps.cmf") + "\n");
  Write(Work("praxol.inp"),
        "bat\nrpt\n" + Work("praxol.rpt") + "\nwsi\nshl\n\n" + sim + "\nt\nn\n" + Work("xx.xx") + "\n \n \n");
  Write(Work("mirdashk.inp"), "bat\nrpt\n" + Work("mirdashk.rpt") + "\n\ns   ! Solution file\n" + sim +
                                  "\ns   ! Output SS map file\n" + Work("ssashk.map") +
                                  "\nx   ! exog vars in map\n");
  Write(Work("praxolsh.inp"), "bat\nshk\nnlv\nrpt\n" + Work("praxolsh.rpt") + "\n\n" + sim +
                                  "\nc\ny  ! SS map file to use\n" + Work("ssashk.map") + "\n" +
                                  Work("ssashk.lis") + "\n");

  const std::string solver = Prog("Minimal/Minimal.exe");
  ASSERT_EQ(test::RunToEnd(solver, {"-sti", Work("solve.sti"), "-lon", Work("solve.log")}, out), 0)
      << Read(Work("solve.log"));
  ASSERT_EQ(test::RunToEnd(solver, {"-sti", Work("postsim.sti"), "-lon", Work("postsim.log")}, Prog("work")),
            0)
      << Read(Work("postsim.log"));
  ASSERT_EQ(RunJob(Prog("praxola.exe"), "praxol.inp", "-los"), 0) << Read(Work("praxol.log"));
  ASSERT_EQ(RunJob(Prog("mirdaa.exe"), "mirdashk.inp", "-los"), 0) << Read(Work("mirdashk.log"));
  ASSERT_EQ(RunJob(Prog("praxola.exe"), "praxolsh.inp", "-los"), 0) << Read(Work("praxolsh.log"));
  for (const char* report : {"solve.rpt", "postsim.rpt", "praxol.rpt", "mirdashk.rpt", "praxolsh.rpt"}) {
    EXPECT_EQ(Read(Work(report)), test::kReportOk) << report;
  }
  EXPECT_TRUE(fs::exists(JoinPath(out, "sim1ps.ou1")));
  EXPECT_TRUE(fs::exists(sim + ".xac"));

  // The results as the Results page loads them: cumulative, three levels solutions, two subtotals.
  test::ScriptedUserInterface ui;
  ResultsModel results(ui);
  ErrorText err;
  ASSERT_TRUE(results.InitPlan(err)) << err;
  ASSERT_TRUE(results.PVLoadSol(sim + ".sol", " ", sim + ".sli", true, true, err)) << err;
  ASSERT_EQ(results.Nsol(), 6);
  EXPECT_EQ(results.Sol(5).SolLabel, "more labour");
  const auto values = [&](int s, const std::string& var) -> std::vector<float> {
    for (const ResultHeader& rh : results.Sol(s).vars) {
      if (rh.varName == var) {
        return {rh.Values().begin(), rh.Values().end()};
      }
    }
    ADD_FAILURE() << var;
    return {};
  };
  // Every number is the engine's, in single precision.
  conv::Solution engine;
  ASSERT_TRUE(conv::ReadSolution(sim + ".sl4", engine, err)) << err;
  for (const conv::SolutionVariable& var : engine.variables) {
    const std::vector<float> cum = values(1, var.name), pre = values(2, var.name), post = values(3, var.name),
                             change = values(4, var.name), more = values(5, var.name),
                             income = values(6, var.name);
    ASSERT_EQ(cum.size(), static_cast<std::size_t>(var.size)) << var.name;
    for (std::int64_t k = 0; k < var.size; ++k) {
      const auto c = static_cast<std::size_t>(var.offset + k);
      const auto i = static_cast<std::size_t>(k);
      EXPECT_EQ(cum[i], engine.cumulative[c]) << var.name << k;
      EXPECT_EQ(pre[i], engine.pre[c]) << var.name << k;
      EXPECT_EQ(post[i], engine.post[c]) << var.name << k;
      EXPECT_EQ(change[i], static_cast<float>(engine.LevelChange(var.offset + k))) << var.name << k;
      EXPECT_EQ(more[i], engine.subtotals[0][c]) << var.name << k;
      EXPECT_EQ(income[i], engine.subtotals[1][c]) << var.name << k;
      EXPECT_NEAR(more[i] + income[i], cum[i], 1e-4 * (1 + std::fabs(cum[i]))) << var.name << k;
    }
  }
  // The economics: with Cobb-Douglas technologies and demand, every industry uses 10% more labour, so output
  // of good c rises by 100 (1.1^ALPHA(labour,c) - 1) with ALPHA = 0.6, 0.4, 0.6; prices follow income.
  const std::vector<float> xout = values(1, "XOUT");
  const std::vector<float> pcom = values(1, "PCOM");
  const double alpha[] = {0.6, 0.4, 0.6};
  for (int c = 0; c < 3; ++c) {
    EXPECT_NEAR(xout[c], 100 * (std::pow(1.1, alpha[c]) - 1), 1e-4) << c;
    EXPECT_NEAR(pcom[c], 100 * (1.05 / std::pow(1.1, alpha[c]) - 1), 1e-4) << c;
  }
  EXPECT_NEAR(values(1, "PFAC")[0], 100 * (1.05 / 1.1 - 1), 1e-4);
  EXPECT_NEAR(values(1, "VGDP")[0], 12.5f, 1e-4); // GDP 250 at 5% more income
  EXPECT_NEAR(values(6, "XOUT")[0], 0.0f, 1e-5);  // income alone moves no quantity

  // The accuracy summary of the log, the updated data and the post-simulation summary.
  AccSummaryRec accuracy;
  ASSERT_TRUE(GetAccSummary(Work("solve.log"), 1, accuracy, err)) << err;
  EXPECT_TRUE(accuracy.overallFound);
  std::unique_ptr<THeadRecz> head;
  ASSERT_TRUE(ReadHeaderFromHarFile(JoinPath(out, "sim1ps.ou1"), "GDP", false, head, err) && head) << err;
  EXPECT_NEAR(head->values.Data()[0], 262.5f, 1e-3);
  EXPECT_THAT(Read(Work("ssashk.map")), HasSubstr("17 INCOME 1 1 ! INCOME\n"));
  EXPECT_THAT(Read(Work("ssashk.lis")), HasSubstr("QFAC(\"capital\")"));

  // The summary becomes the current model information (current.svi) after a solve.
  SolInfoRec info;
  ASSERT_TRUE(ReadModelInfo(sim + ".sli", err, info)) << err;
  EXPECT_EQ(info.Var(FindVariable(info, "qfac")).ExoStat, 'X');
}

TEST_F(ProgramFolder, TradeClosureCheckMakesItsSetsKnown) {
  const std::string model = Prog("Trade");
  SolInfoRec before;
  ErrorText err;
  ASSERT_TRUE(ReadModelInfo(JoinPath(model, "Trade.min"), err, before)) << err;
  EXPECT_LT(before.Set(1).size, 0); // REG is read from the data

  // The check's command file and stored input as the closure check writes them.
  Write(Work("clcheck.cmf"),
        "Auxiliary files = " + JoinPath(model, "Trade") +
            " ;\nFile BASEDATA = " + JoinPath(model, "basedata.har") +
            " ; ! Base data: trade flows and elasticities\n"
            "File TARIFFS = " +
            JoinPath(model, "tariffs.har") +
            " ; ! Tariff powers on imports\n!\n! Closure\n! -------\n!\n"
            "exogenous TMS EXPEND AO ;\nrest endogenous ;\n!\n! Verbal description\n"
            "! ------------------\n!\nVerbal Description =\n?;\n!\n! Solution method\n"
            "! ---------------\n!\nMethod = Gragg;\nSteps = 2 4 6;\nsubintervals = 1;\n!\n"
            "! Miscellaneous info\n! ------------------\n!\nnds = yes ;\nnwr = yes ;\n"
            "neq = yes ;\nnas = yes ;\nclosure information file = " +
            Work("clcheck.cli") + " ;\n");
  Write(Work("clcheck.sti"), "rpt\n" + Work("clcheck.rpt") + "\ncmf\n" + Work("clcheck.cmf") + "\n");
  ASSERT_EQ(RunJob(JoinPath(model, "Trade.exe"), "clcheck.sti", "-lon"), 0) << Read(Work("clcheck.log"));
  EXPECT_EQ(Read(Work("clcheck.rpt")), test::kReportOk);

  SolInfoRec info;
  ASSERT_TRUE(ReadModelInfo(Work("clcheck.cli"), err, info)) << err;
  ASSERT_TRUE(AddMinInfoToSolInfo(Work("clcheck.cli"), info, err)) << err;
  ASSERT_EQ(info.NumSets, 3);
  EXPECT_EQ(info.Set(1).name, "REG");
  EXPECT_EQ(info.Set(1).elements, (std::vector<std::string>{"usa", "eu", "asia"}));
  EXPECT_EQ(info.Set(2).elements, (std::vector<std::string>{"food", "manuf", "services"}));
  EXPECT_TRUE(info.IsSubSet->Get(3, 2)); // TRAD within COM
  const TVarRec& tms = info.Var(FindVariable(info, "tms"));
  EXPECT_EQ(tms.ExoStat, 'X');
  EXPECT_EQ(tms.size, 27);
  EXPECT_EQ(tms.numArgs, 3);
  EXPECT_EQ(info.Var(FindVariable(info, "qxs")).ExoStat, 'N');
}

TEST_F(ProgramFolder, TradeSolvesWithItsSettingsAndUpdatesBothDataFiles) {
  const std::string model = Prog("Trade");
  SettingsContext context;
  context.programDir = prog_;
  context.modelHomeDir = model;
  test::ScriptedUserInterface ui;
  IniOptions options;
  ErrorText err;
  ASSERT_TRUE(ReadIniOptions(JoinPath(model, "Trade.ini"), context, ui, options, err)) << err;
  // The command file from the settings' lines, as the command-file writer puts them together.
  std::string cmf = "Auxiliary files = " + JoinPath(model, "Trade") + " ;\n";
  for (const auto* lines : {&options.inputFiles, &options.outputFiles, &options.closure, &options.shocks}) {
    for (const std::string& line : *lines) {
      cmf += line + "\n";
    }
  }
  cmf += "Method = Gragg;\nSteps = 2 4 6;\nsubintervals = 1;\n";
  const std::string out = JoinPath(model, "OutPut");
  Write(JoinPath(out, "sim1.cmf"), cmf);
  Write(Work("tsolve.sti"), "rpt\n" + Work("tsolve.rpt") + "\ncmf\n" + JoinPath(out, "sim1.cmf") + "\n");
  Write(Work("tpraxol.inp"), "bat\nrpt\n" + Work("tpraxol.rpt") + "\nwsi\nshl\n\n" + JoinPath(out, "sim1") +
                                 "\nt\nn\n" + Work("txx.xx") + "\n");
  ASSERT_EQ(test::RunToEnd(JoinPath(model, "Trade.exe"),
                           {"-sti", Work("tsolve.sti"), "-lon", Work("tsolve.log")}, out),
            0)
      << Read(Work("tsolve.log"));
  ASSERT_EQ(RunJob(Prog("praxola.exe"), "tpraxol.inp", "-los"), 0) << Read(Work("tpraxol.log"));
  EXPECT_TRUE(fs::exists(JoinPath(out, "sim1.upd")) && fs::exists(JoinPath(out, "sim1a.upd")));

  ResultsModel results(ui);
  ASSERT_TRUE(results.InitPlan(err) &&
              results.PVLoadSol(JoinPath(out, "sim1.sol"), " ", JoinPath(out, "sim1.sli"), true, true, err))
      << err;
  EXPECT_EQ(results.Nsol(), 6); // cumulative, three levels solutions, two subtotals
  const ResultHeader* qxs = nullptr;
  for (const ResultHeader& rh : results.Sol(1).vars) {
    qxs = rh.varName == "QXS" ? &rh : qxs;
  }
  ASSERT_NE(qxs, nullptr);
  EXPECT_EQ(qxs->nDim, 3);
  EXPECT_EQ(qxs->DimText(true), "COM*REG*REG");
  // Cheaper food from the United States: the EU buys more of it (value 9: food, usa, eu).
  EXPECT_GT(qxs->Values()[9], 0.0f);
}

} // namespace
} // namespace pelorin
