// praxola.exe and mirdaa.exe as the job runner starts them: answer files, logs, reports and exit codes, and
// what they leave behind when the answers or the files are wrong.
#include "conv_fixture.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

class ConverterPrograms : public ::testing::Test {
protected:
  void SetUp() override {
    fs::create_directories(dir_.File("work"));
    dir_.Write("sim.sl4", HarFileBytes(test::SampleSolutionHeaders()));
  }

  std::string Work(const std::string& name) const { return dir_.File("work/" + name); }
  std::string Stem() const { return dir_.File("sim"); }

  /// The answer files as the job inputs write them, with the given level and subtotal answers.
  std::string PraxolAnswers(const std::string& levels = "shl", const std::string& subtotals = "t") const {
    return "bat\nrpt\n" + Work("praxol.rpt") + "\nwsi\n" + levels + "\n\n" + Stem() + "\n" + subtotals +
           "\nn\n" + Work("xx.xx") + "\n \n \n";
  }
  std::string MirdaAnswers() const {
    return "bat\nrpt\n" + Work("mirdashk.rpt") + "\n\ns   ! Solution file\n" + Stem() +
           "\ns   ! Output SS map file\n" + Work("ssashk.map") + "\nx   ! exog vars in map\n";
  }
  std::string ShockAnswers() const {
    return "bat\nshk\nnlv\nrpt\n" + Work("praxolsh.rpt") + "\n\n" + Stem() +
           "\nc\ny  ! SS map file to use\n" + Work("ssashk.map") + "\n" + Work("ssashk.lis") + "\n";
  }

  /// Runs a program on an answer file as the job runner does; returns its exit code.
  int Run(const std::string& program, const std::string& inputName, const std::string& answers) {
    test::SaveFuzzSeed("suite_conv_answers", inputName + std::to_string(answers.size()), answers);
    dir_.Write("work/" + inputName, answers);
    const std::string log = Work(fs::path(inputName).replace_extension(".log").string());
    return test::RunToEnd(program, {"-sti", Work(inputName), "-los", log}, Work(""));
  }
  std::string Read(const std::string& path) const { return test::ReadFileBytes(path); }
  /// Files left in the solution's folder whose names hold ".tmp" (half-written outputs).
  int Temporaries() const {
    int count = 0;
    for (const auto& root : {dir_.Path(), dir_.Path() / "work"}) {
      for (const auto& entry : fs::directory_iterator(root)) {
        count += entry.path().filename().string().find(".tmp") != std::string::npos ? 1 : 0;
      }
    }
    return count;
  }

  test::TempDir dir_;
};

TEST_F(ConverterPrograms, TheThreeJobsOfASolveSucceed) {
  ASSERT_EQ(Run(PELORIN_PRAXOLA, "praxol.inp", PraxolAnswers()), 0) << Read(Work("praxol.log"));
  EXPECT_EQ(Read(Work("praxol.rpt")), test::kReportOk);
  for (const char* ext : {".sol", ".sli", ".SO2", ".SO3", ".SO4", ".SU1", ".SU2"}) {
    EXPECT_TRUE(fs::exists(Stem() + ext)) << ext;
  }
  EXPECT_THAT(Read(Work("xx.xx")), HasSubstr(Stem() + ".SU2\n"));
  ASSERT_EQ(Run(PELORIN_MIRDAA, "mirdashk.inp", MirdaAnswers()), 0) << Read(Work("mirdashk.log"));
  EXPECT_EQ(Read(Work("mirdashk.rpt")), test::kReportOk);
  EXPECT_THAT(Read(Work("ssashk.map")), HasSubstr("entries 3\n"));
  ASSERT_EQ(Run(PELORIN_PRAXOLA, "praxolsh.inp", ShockAnswers()), 0) << Read(Work("praxolsh.log"));
  EXPECT_EQ(Read(Work("praxolsh.rpt")), test::kReportOk);
  EXPECT_THAT(Read(Work("ssashk.lis")), HasSubstr("T                                     change"));
  EXPECT_EQ(Temporaries(), 0);
}

TEST_F(ConverterPrograms, WrongAnswersFailWithTheLineAndLeaveNoOutputs) {
  const struct {
    std::string answers;
    const char* message;
  } cases[] = {
      {PraxolAnswers("shl", "q"), "praxol.inp:8: error: unknown answer \"q\" to the kind of results"},
      {PraxolAnswers("lvl"), "praxol.inp:5: error: unknown option \"lvl\""},
      {PraxolAnswers() + "extra\n",
       "praxol.inp:13: error: unexpected answer \"extra\" after the last question"},
      {PraxolAnswers().substr(0, PraxolAnswers().find("\nn\n") + 1),
       "error: the answers end before the answer to whether only some variables are converted"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(PELORIN_PRAXOLA, "praxol.inp", c.answers), 1) << c.message;
    const std::string log = Read(Work("praxol.log"));
    EXPECT_THAT(log, HasSubstr(c.message));
    EXPECT_EQ(Read(Work("praxol.rpt")), test::kReportError);
    EXPECT_FALSE(fs::exists(Stem() + ".sol"));
    EXPECT_FALSE(fs::exists(Stem() + ".sli"));
  }
  // mirdaa: an answer it does not know.
  std::string answers = MirdaAnswers();
  answers.replace(answers.find("x   ! exog"), 1, "z");
  EXPECT_EQ(Run(PELORIN_MIRDAA, "mirdashk.inp", answers), 1);
  EXPECT_THAT(Read(Work("mirdashk.log")), HasSubstr("mirdashk.inp:9: error: unknown answer \"z\""));
  EXPECT_EQ(Read(Work("mirdashk.rpt")), test::kReportError);
  EXPECT_FALSE(fs::exists(Work("ssashk.map")));
  EXPECT_EQ(Temporaries(), 0);
}

TEST_F(ConverterPrograms, MissingOrDamagedFilesFailAndAnOldOkReportDoesNotSurvive) {
  // A report from an earlier run says ok; a failing run must not leave it.
  dir_.Write("work/praxol.rpt", test::kReportOk);
  fs::remove(Stem() + ".sl4");
  EXPECT_EQ(Run(PELORIN_PRAXOLA, "praxol.inp", PraxolAnswers()), 1);
  EXPECT_THAT(Read(Work("praxol.log")),
              HasSubstr("error: the solution file " + Stem() + ".sl4 does not exist"));
  EXPECT_EQ(Read(Work("praxol.rpt")), test::kReportError);

  // A solution file cut short.
  const std::string bytes = HarFileBytes(test::SampleSolutionHeaders());
  dir_.Write("sim.sl4", bytes.substr(0, bytes.size() - 100));
  EXPECT_EQ(Run(PELORIN_PRAXOLA, "praxol.inp", PraxolAnswers()), 1);
  EXPECT_THAT(Read(Work("praxol.log")), HasSubstr("error: cannot read the solution file"));
  EXPECT_EQ(Read(Work("praxol.rpt")), test::kReportError);
  EXPECT_FALSE(fs::exists(Stem() + ".sol"));
  EXPECT_EQ(Run(PELORIN_MIRDAA, "mirdashk.inp", MirdaAnswers()), 1);
  EXPECT_EQ(Read(Work("mirdashk.rpt")), test::kReportError);

  // The shock listing without its map, and with a map of another solution.
  dir_.Write("sim.sl4", bytes);
  EXPECT_EQ(Run(PELORIN_PRAXOLA, "praxolsh.inp", ShockAnswers()), 1);
  EXPECT_THAT(Read(Work("praxolsh.log")), HasSubstr("error: cannot open the map file " + Work("ssashk.map")));
  EXPECT_EQ(Read(Work("praxolsh.rpt")), test::kReportError);
  dir_.Write("work/ssashk.map",
             "PELORIN SSA MAP 1\nsolution x\nstamp other\ncomponents 7\nselection exogenous\n"
             "entries 0\n");
  EXPECT_EQ(Run(PELORIN_PRAXOLA, "praxolsh.inp", ShockAnswers()), 1);
  EXPECT_THAT(Read(Work("praxolsh.log")), HasSubstr("does not belong to the solution"));
  EXPECT_FALSE(fs::exists(Work("ssashk.lis")));
  EXPECT_EQ(Temporaries(), 0);

  // Answers that never name a report: the failure shows in the log and the exit code only.
  EXPECT_EQ(Run(PELORIN_PRAXOLA, "praxol.inp", "bat\nfoo\n"), 1);
  EXPECT_THAT(Read(Work("praxol.log")), HasSubstr("error: unknown option \"foo\""));
}

TEST_F(ConverterPrograms, AWrongCommandLineIsRefused) {
  EXPECT_EQ(test::RunToEnd(PELORIN_PRAXOLA, {"-sti"}, Work("")), 2);
  EXPECT_EQ(test::RunToEnd(PELORIN_MIRDAA, {"-sti", "a.inp", "-los", "a.log", "extra"}, Work("")), 2);
}

} // namespace
} // namespace pelorin
