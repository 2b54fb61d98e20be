#include "datafiles/har_data.h"
#include "datafiles/har_writer.h"
#include "engine/engine.h"
#include "engine/model_info.h"
#include "engine/slc_file.h"
#include "modelinfo/model_info_reader.h"
#include "mrklang/axs_file.h"
#include "mrklang/parser.h"
#include "platform/strings.h"
#include "summaries/acc_summary.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pelorin::engine {
namespace {

// A model whose regions are read from its data, with an updated file, an output file and a display.
const char* const kTrade = R"(model Trade "Two-region demand" ;
file BASEDATA "Base data" input har updated ;
file SUMMARY "Summary" output har ;
set COM "Commodities" = (food, mfg) ;
set REG "Regions" = read BASEDATA "REG" ;
coefficient SHR(c in COM) "Budget share" = read BASEDATA "SHR" ;
variable percent Y(r in REG) "Income" = read BASEDATA "Y" ;
variable percent P(c in COM, r in REG) "Price" = 1 ;
variable percent X(c in COM, r in REG) "Demand" = SHR(c) * Y(r) / P(c, r) ;
equation E_X(c in COM, r in REG) "Demand" : P(c, r) * X(c, r) = SHR(c) * Y(r) ;
update BASEDATA "Y" (r in REG) = Y(r) ;
update BASEDATA "XV" (c in COM, r in REG) = P(c, r) * X(c, r) ;
write SHR to SUMMARY "SHR" ;
display SHR ;
)";

/// Writes what the compiler writes for a model: the compiled model and the table file with the stamp.
void CompileInto(const test::TempDir& dir, const std::string& stem, const char* source,
                 const std::string& stamp) {
  ErrorText err;
  ASSERT_TRUE(mrk::WriteAxs(dir.File(stem + ".axs"), {stamp, stem + ".mrk", source}, err)) << err;
  ASSERT_TRUE(WriteHarFile(dir.File(stem + ".axt"), {MakeStrings("DTXT", "stamp", {stamp}, 40)}, {}, err))
      << err;
}

class EngineRun : public ::testing::Test {
protected:
  void TearDown() override { std::filesystem::current_path(home_); }

  void SetUp() override {
    home_ = std::filesystem::current_path();
    mrk::Model model;
    std::vector<mrk::Diagnostic> errors;
    ASSERT_TRUE(mrk::ParseModel(kTrade, model, errors));
    stamp_ = std::string("TEST STAMP 1");
    stamp_.resize(40, ' ');
    ErrorText err;
    ASSERT_TRUE(mrk::WriteAxs(dir_.File("Trade.axs"), {stamp_, "Trade.mrk", kTrade}, err)) << err;
    ASSERT_TRUE(WriteHarFile(dir_.File("Trade.axt"), {MakeStrings("DTXT", "stamp", {stamp_}, 40)}, {}, err))
        << err;
    ASSERT_TRUE(
        WriteHarFile(dir_.File("base.har"),
                     {MakeStrings("REG", "Regions", {"usa", "eu"}),
                      MakeReals("SHR", "Shares", {SetDim("COM", {"food", "mfg"})}, {0.4f, 0.6f}),
                      MakeReals("Y", "Income", {SetDim("REG", {"usa", "eu"})}, {100.0f, 50.0f}),
                      MakeReals("XV", "Spending", {SizeDim(2), SizeDim(2)}, {40.0f, 60.0f, 20.0f, 30.0f}),
                      MakeStrings("NOTE", "Kept as it is", {"untouched"})},
                     {}, err))
        << err;
  }

  int Run(const std::string& cmf, const std::string& program = "Trade.exe",
          const std::string& terminal = "") {
    dir_.Write("sim.cmf", cmf);
    dir_.Write("solve.sti",
               "rpt\n" + dir_.File("solve.rpt") + "\ncmf\n" + dir_.File("sim.cmf") + "\n" + terminal);
    std::filesystem::current_path(dir_.Path());
    return RunEngine(dir_.File(program), {"-sti", dir_.File("solve.sti"), "-lon", dir_.File("solve.log")});
  }
  std::string Log() const { return test::ReadFileBytes(dir_.File("solve.log")); }
  std::string Report() const { return test::ReadFileBytes(dir_.File("solve.rpt")); }

  std::string Files() const {
    return "Auxiliary files = " + dir_.File("Trade") + " ;\nFile BASEDATA = " + dir_.File("base.har") +
           " ;\n";
  }

  test::TempDir dir_;
  std::string stamp_;
  std::filesystem::path home_;
};

const char* const kClosure = "exogenous Y P ;\nrest endogenous ;\n";
const char* const kMethod =
    "Method = Gragg ;\nSteps = 2 4 6 ;\nsubintervals = 2 ;\nVerbal Description =\nA test ;\n";

TEST_F(EngineRun, SimulationWritesSolutionUpdatedDataOutputsDisplayAndReport) {
  const std::string cmf =
      Files() +
      "Solution file = sim1 ;\nUpdated file BASEDATA = sim1.upd ;\n"
      "Display file = sim1.dis ;\nFile SUMMARY = sim1.ou1 ;\nExtrapolation Accuracy File = yes ;\n"
      "dpn = yes ;\n" +
      kClosure + kMethod +
      "Shock Y(\"usa\") = 10 ;\nShock P(COM,\"eu\") = uniform -20 ;\n"
      "Subtotal Y = income ;\nSubtotal P = prices ;\n";
  ASSERT_EQ(Run(cmf), 0) << Log();
  EXPECT_EQ(Report(), "[Result]\nStatus=ok\nRelease=Pelorin suite 1.0\nGPVer Large=12\n");
  const std::string log = Log();
  EXPECT_NE(log.find("NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE BASEDATA"), std::string::npos);
  AccSummaryRec acc;
  ErrorText err;
  ASSERT_TRUE(GetAccSummary(dir_.File("solve.log"), 1, acc, err)) << err << log;
  EXPECT_EQ(acc.numSubintervals, 3);
  EXPECT_TRUE(acc.overallFound);
  EXPECT_EQ(acc.overallDataPos, 3);
  EXPECT_EQ(acc.sub[3].levels.counts[6], 4); // every endogenous X component to 6 figures

  std::unique_ptr<HarData> sol;
  bool skipped = false;
  ASSERT_TRUE(ReadHarFile(dir_.File("sim1.sl4"), false, false, sol, skipped, err)) << err;
  const THeadRecz* cum = sol->Find("CUMR");
  ASSERT_NE(cum, nullptr);
  // Components: Y(usa), Y(eu), P(4), X(4); X(food,usa) = 0.4 * 110 / 1 is 10% up; X(food,eu) is 25% up.
  EXPECT_NEAR(cum->values.Data()[0], 10.0, 1e-4);
  EXPECT_NEAR(cum->values.Data()[6], 10.0, 1e-4);
  EXPECT_NEAR(cum->values.Data()[8], 25.0, 1e-4);
  ASSERT_NE(sol->Find("SUBT"), nullptr);
  ASSERT_NE(sol->Find("STMP"), nullptr);

  std::unique_ptr<HarData> upd;
  ASSERT_TRUE(ReadHarFile(dir_.File("sim1.upd"), false, false, upd, skipped, err)) << err;
  const THeadRecz* y = upd->Find("Y");
  ASSERT_NE(y, nullptr);
  EXPECT_NEAR(y->values.Data()[0], 110.0, 1e-3);
  EXPECT_NEAR(y->values.Data()[1], 50.0, 1e-4);
  const THeadRecz* xv = upd->Find("XV");
  ASSERT_NE(xv, nullptr);
  EXPECT_NEAR(xv->values.Data()[0], 44.0, 1e-3);
  ASSERT_NE(upd->Find("NOTE"), nullptr);
  ASSERT_NE(upd->Find("REG"), nullptr);

  std::unique_ptr<HarData> summary;
  ASSERT_TRUE(ReadHarFile(dir_.File("sim1.ou1"), false, false, summary, skipped, err)) << err;
  ASSERT_NE(summary->Find("SHR"), nullptr);
  EXPECT_NE(test::ReadFileBytes(dir_.File("sim1.dis")).find("(mfg)  0.6"), std::string::npos);
  EXPECT_NE(test::ReadFileBytes(dir_.File("sim1.xac")).find("X(\"food\",\"eu\")"), std::string::npos);

  // The post-simulation run reads the updated data and writes only the output and display files.
  const std::string post = "Auxiliary files = " + dir_.File("Trade") +
                           " ;\nFile BASEDATA = " + dir_.File("sim1.upd") +
                           " ;\nDisplay file = ps.dis ;\nFile SUMMARY = ps.ou1 ;\n"
                           "! No equations - hence no simulation\nneq = yes ;\nnas = yes ;\ndpn = yes ;\n";
  ASSERT_EQ(Run(post), 0) << Log();
  EXPECT_TRUE(std::filesystem::exists(dir_.File("ps.dis")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("ps.ou1")));
}

TEST_F(EngineRun, UpdatedDataKeepTheInputsHistoryAndAddTheRunsLine) {
  ErrorText err;
  std::vector<HarHeader> base =
      BookkeepingHeaders("harmake", "now", {"Base data of a test", "Checked by hand"});
  base.push_back(MakeStrings("REG", "Regions", {"usa", "eu"}));
  base.push_back(MakeReals("SHR", "Shares", {SetDim("COM", {"food", "mfg"})}, {0.4f, 0.6f}));
  base.push_back(MakeReals("Y", "Income", {SetDim("REG", {"usa", "eu"})}, {100.0f, 50.0f}));
  ASSERT_TRUE(WriteHarFile(dir_.File("base.har"), base, {}, err)) << err;
  auto history = [&](const std::string& file) {
    std::unique_ptr<THeadRecz> head;
    std::vector<std::string> lines;
    EXPECT_TRUE(ReadHeaderFromHarFile(dir_.File(file), "XXHS", false, head, err)) << err;
    if (head) {
      for (std::size_t i = 1; i < head->strings.size(); ++i) {
        lines.push_back(Trim(head->strings[i]));
      }
    }
    return lines;
  };
  const std::string sim = "Solution file = sim1 ;\nUpdated file BASEDATA = sim1.upd ;\n" +
                          std::string(kClosure) + "Method = Johansen ;\nShock Y = uniform 1 ;\n";
  ASSERT_EQ(Run(Files() + sim), 0) << Log();
  std::vector<std::string> lines = history("sim1.upd");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Base data of a test");
  EXPECT_EQ(lines[1], "Checked by hand");
  EXPECT_TRUE(StartsWithText(lines[2], "Updated by Trade at ")) << lines[2];

  // A simulation from the updated data adds its own line after them.
  std::filesystem::rename(dir_.File("sim1.upd"), dir_.File("base.har"));
  ASSERT_EQ(Run(Files() + sim), 0) << Log();
  lines = history("sim1.upd");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], "Checked by hand");
  EXPECT_TRUE(StartsWithText(lines[3], "Updated by Trade at ")) << lines[3];
}

TEST_F(EngineRun, CoefficientFileStandsBesideTheSolution) {
  dir_.Write("sim1.slc", "left by an earlier run");
  const std::string cmf = Files() + "Solution file = sim1 ;\nUpdated file BASEDATA = sim1.upd ;\n" +
                          kClosure + kMethod + "Shock Y(\"usa\") = 10 ;\n";
  ASSERT_EQ(Run(cmf), 0) << Log();
  EXPECT_NE(Log().find(" Coefficient file written: sim1.slc"), std::string::npos) << Log();
  std::unique_ptr<HarData> slc;
  bool skipped = false;
  ErrorText err;
  ASSERT_TRUE(ReadHarFile(dir_.File("sim1.slc"), false, false, slc, skipped, err)) << err;
  ASSERT_NE(slc->Find("MODL"), nullptr);
  EXPECT_EQ(TrimRight(slc->Find("SLFM")->strings[1]), "PELORIN COEFFICIENTS 1");
  EXPECT_EQ(TrimRight(slc->Find("MODL")->strings[2]), dir_.File("Trade.mrk"));
  EXPECT_EQ(TrimRight(slc->Find("CNAM")->strings[1]), "SHR");
  const THeadRecz* shr = slc->Find("SHR");
  ASSERT_NE(shr, nullptr);
  EXPECT_EQ(shr->dimTextLabelled, "COM*SIMULATION");
  EXPECT_EQ(shr->longName, "SHR # Budget share #");
  // SHR is read from data the simulation does not update: the same after as before.
  EXPECT_EQ(std::vector<float>(shr->values.Data(), shr->values.Data() + 4),
            (std::vector<float>{0.4f, 0.6f, 0.4f, 0.6f}));
  // The solution names the model source beside the compiled model.
  std::unique_ptr<THeadRecz> mrkf;
  ASSERT_TRUE(ReadHeaderFromHarFile(dir_.File("sim1.sl4"), "MRKF", false, mrkf, err)) << err;
  ASSERT_NE(mrkf, nullptr);
  EXPECT_EQ(TrimRight(mrkf->strings[1]), dir_.File("Trade.mrk"));
}

TEST(CoefficientFile, HeaderNamesAreUniqueAndNeverTheFilesOwn) {
  mrk::Model model;
  for (const char* name : {"VXMD", "vxmdtwo", "SHR", "Shr", "XXCD", "slfm", "C", "CNAME"}) {
    mrk::Coefficient c;
    c.name = name;
    model.coefficients.push_back(std::move(c));
  }
  EXPECT_EQ(CoefficientHeaderNames(model),
            (std::vector<std::string>{"VXMD", "VXM1", "SHR", "SHR1", "CXCD", "SLF1", "C", "CNA1"}));
}

TEST_F(EngineRun, ClosureCheckWritesTheClosureInformationFile) {
  const std::string cmf = Files() + kClosure + kMethod +
                          "nds = yes ;\nnwr = yes ;\nneq = yes ;\nnas = yes ;\n"
                          "closure information file = " +
                          dir_.File("clcheck.cli") + " ;\n";
  ASSERT_EQ(Run(cmf), 0) << Log();
  SolInfoRec info;
  ErrorText err;
  ASSERT_TRUE(ReadModelInfo(dir_.File("clcheck.cli"), err, info)) << err;
  ASSERT_EQ(info.NumSets, 2);
  EXPECT_EQ(info.Set(2).size, 2);
  EXPECT_EQ(info.Set(2).elements, (std::vector<std::string>{"usa", "eu"}));
  EXPECT_EQ(info.Var(1).ExoStat, 'X');
  EXPECT_EQ(info.Var(3).ExoStat, 'N');
  EXPECT_EQ(info.TmDate, stamp_);

  // Part of a variable exogenous: status x with its component ranges.
  const std::string partial = Files() + "exogenous Y P(COM,\"usa\") X(COM,\"eu\") ;\nrest endogenous ;\n" +
                              "neq = yes ;\nclosure information file = " + dir_.File("clcheck.cli") + " ;\n";
  ASSERT_EQ(Run(partial), 0) << Log();
  ASSERT_TRUE(ReadModelInfo(dir_.File("clcheck.cli"), err, info)) << err;
  EXPECT_EQ(info.Var(2).ExoStat, 'x');
  EXPECT_EQ(info.Var(2).NExog, 2);
  EXPECT_EQ(info.Var(2).ExoFlags, (std::vector<std::uint8_t>{0, 1, 1, 0, 0}));
  EXPECT_EQ(info.Var(3).ExoFlags, (std::vector<std::uint8_t>{0, 0, 0, 1, 1}));
  EXPECT_EQ(info.Var(3).VcStat, 'c');

  // More endogenous components than equations: no file, the reason in the log, exit code 1.
  std::filesystem::remove(dir_.File("clcheck.cli"));
  const std::string bad = Files() +
                          "exogenous Y ;\nrest endogenous ;\nneq = yes ;\nclosure information file = " +
                          dir_.File("clcheck.cli") + " ;\n";
  EXPECT_EQ(Run(bad), 1);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("clcheck.cli")));
  EXPECT_NE(
      Log().find("error: The closure is not valid: it has 8 endogenous variable components but the model "
                 "has 4 equations"),
      std::string::npos)
      << Log();
  EXPECT_EQ(Report(), "[Result]\nStatus=error\nRelease=Pelorin suite 1.0\nGPVer Large=12\n");
}

TEST_F(EngineRun, MistakesInTheCommandFileNameTheirLine) {
  const struct {
    std::string statement;
    std::string message;
  } cases[] = {
      {"frobnicate = 1 ;", "sim.cmf:8: error: unknown statement \"frobnicate\""},
      {"Shock X(\"food\",\"usa\") = 1 ;",
       "sim.cmf:8: error: X(\"food\",\"usa\") is endogenous and cannot be shocked"},
      {"Shock Q = 1 ;", "sim.cmf:8: error: \"Q\" is not a variable of the model"},
      {"Shock Y 3 = 1 ;", "sim.cmf:8: error: component range 3-3 of Y is out of range (it has 2 components)"},
      {"Shock Y(\"asia\") = 1 ;",
       "sim.cmf:8: error: \"asia\" is not an element of set REG (argument 1 of Y)"},
      {"Shock Y = 1 ;",
       "sim.cmf:8: error: 1 shock value for 2 components of Y (write \"uniform\" to give all of "
       "them one value)"},
  };
  for (const auto& c : cases) {
    const std::string cmf = Files() + "Solution file = sim1 ;\n" + kClosure +
                            "Method = Euler ;\nSteps = 1 ;\n" + c.statement + "\n";
    EXPECT_EQ(Run(cmf), 1) << c.statement;
    EXPECT_NE(Log().find(dir_.File(c.message)), std::string::npos) << Log();
    EXPECT_NE(Report().find("Status=error"), std::string::npos);
  }
}

TEST_F(EngineRun, GeneralProgramFindsTheModelThroughTheAuxiliaryFilesStatement) {
  std::filesystem::copy_file(dir_.File("Trade.axs"), dir_.File("Trade.gss"));
  std::filesystem::copy_file(dir_.File("Trade.axt"), dir_.File("Trade.gst"));
  const std::string cmf =
      Files() + "Solution file = viadravex ;\n" + kClosure + "Method = Johansen ;\nShock Y = uniform 1 ;\n";
  ASSERT_EQ(Run(cmf, "dravex.exe"), 0) << Log();
  EXPECT_TRUE(std::filesystem::exists(dir_.File("viadravex.sl4")));
  // Without the statement the general program cannot know the model.
  EXPECT_EQ(Run("File BASEDATA = base.har ;\n" + std::string(kClosure), "dravex.exe"), 1);
  EXPECT_NE(Log().find("has no \"Auxiliary files\" statement"), std::string::npos);
}

TEST_F(EngineRun, CondensationCanBeSwitchedOffAndTheLogSaysWhatWasSubstituted) {
  // P is made endogenous with an equation of its own that defines it: it is substituted out unless asked not
  // to.
  const std::string cmf =
      Files() + "Solution file = cond ;\n" + kClosure + "Method = Johansen ;\nShock Y = uniform 1 ;\n";
  ASSERT_EQ(Run(cmf), 0) << Log();
  EXPECT_NE(Log().find(" Condensation: no variable substituted out (no equation defines one that can be)."),
            std::string::npos)
      << Log();
  ASSERT_EQ(Run(cmf + "condensation = no ;\n"), 0) << Log();
  EXPECT_NE(Log().find(" Condensation: no variable substituted out (switched off)."), std::string::npos)
      << Log();
  EXPECT_EQ(Run(cmf + "condensation = perhaps ;\n"), 1);
  EXPECT_NE(
      Log().find("sim.cmf:8: error: expected yes or no in statement \"condensation\" but found \"perhaps\""),
      std::string::npos)
      << Log();
}

TEST_F(EngineRun, DataTypedAtTheTerminalIsReadAndUpdated) {
  const char* model = R"(model Term ;
file terminal "Typed data" input text updated ;
variable percent A = read terminal "A" ;
variable percent B = read terminal "B" ;
equation E : B = 2 * A ;
update terminal "B" = B ;
)";
  CompileInto(dir_, "Term", model, stamp_);
  const std::string cmf = "Solution file = term ;\nUpdated terminal data = term.upd ;\nexogenous A ;\n"
                          "rest endogenous ;\nMethod = Euler ;\nSteps = 1 ;\nshock A = 10 ;\n";
  ASSERT_EQ(Run(cmf, "Term.exe", "header \"A\" real ;\n1\nheader \"B\" real ;\n2\n"), 0) << Log();
  EXPECT_NE(test::ReadFileBytes(dir_.File("term.upd")).find("header \"B\" real ;\n2.2"), std::string::npos)
      << test::ReadFileBytes(dir_.File("term.upd"));
}

TEST_F(EngineRun, StampsOfCompiledModelAndTableFileMustAgree) {
  ErrorText err;
  std::string other = "OTHER STAMP";
  other.resize(40, ' ');
  ASSERT_TRUE(WriteHarFile(dir_.File("Trade.axt"), {MakeStrings("DTXT", "stamp", {other}, 40)}, {}, err));
  EXPECT_EQ(Run(Files() + kClosure), 1);
  EXPECT_NE(Log().find("were not created by the same compile of the model"), std::string::npos);
}

} // namespace
} // namespace pelorin::engine
