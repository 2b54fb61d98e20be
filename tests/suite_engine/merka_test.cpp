// The model compiler and the model executable it makes, run as programs the way the front end runs them.
#include "datafiles/har_writer.h"
#include "modelinfo/model_info_reader.h"
#include "summaries/time_date_stamp.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

const char* const kModel = R"(model Mini "A minimal economy" ;
description "Households spend fixed shares of their income." ;
file BASEDATA "Base data" input har updated ;
set COM "Commodities" = (food, manuf) ;
set REG "Regions" = read BASEDATA "REG" ;
coefficient SHR(c in COM) "Budget share" = read BASEDATA "SHR" ;
variable percent Y(r in REG) "Income" = read BASEDATA "Y" ;
variable percent P(c in COM, r in REG) "Price" = 1 ;
variable percent X(c in COM, r in REG) "Demand" = SHR(c) * Y(r) / P(c, r) ;
equation E_X(c in COM, r in REG) "Demand" : P(c, r) * X(c, r) = SHR(c) * Y(r) ;
update BASEDATA "Y" (r in REG) = Y(r) ;
display SHR ;
)";

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Merka, CompilesAModelWhoseExecutableSolves) {
  test::TempDir dir;
  const std::string source = dir.Write("Mini.mrk", kModel);
  const std::string out = dir.File("model");
  ASSERT_EQ(Shell(std::string(PELORIN_MERKA) + " " + source + " -o " + out + " > " + dir.File("merka.txt")),
            0);
  for (const char* ext : {".min", ".axs", ".axt", ".exe"}) {
    EXPECT_TRUE(fs::exists(out + "/Mini" + ext)) << ext;
  }
  EXPECT_NE(fs::status(out + "/Mini.exe").permissions() & fs::perms::owner_exec, fs::perms::none);
  bool same = false;
  ErrorText err;
  test::ScriptedUserInterface ui;
  ASSERT_TRUE(MinAxtCompatible(out + "/Mini.min", out + "/Mini.axt", 0, true, ui, same, err)) << err;
  EXPECT_TRUE(same);
  SolInfoRec info;
  ASSERT_TRUE(ReadModelInfo(out + "/Mini.min", err, info)) << err;
  EXPECT_EQ(info.NumSets, 2);
  EXPECT_EQ(info.Set(2).size, -1); // read from data: unknown until run time
  EXPECT_EQ(info.Var(3).size, -1);
  EXPECT_EQ(info.Var(1).ExoStat, '?');
  EXPECT_EQ(info.MrkFile, "Mini.mrk");

  // The executable solves from a command file and a stored input in a folder of its own.
  ASSERT_TRUE(WriteHarFile(dir.File("base.har"),
                           {MakeStrings("REG", "Regions", {"usa", "eu"}),
                            MakeReals("SHR", "Shares", {SetDim("COM", {"food", "manuf"})}, {0.4f, 0.6f}),
                            MakeReals("Y", "Income", {SetDim("REG", {"usa", "eu"})}, {100.0f, 50.0f})},
                           {}, err))
      << err;
  dir.Write("XSHOCK.PRE", "10 20\n");
  dir.Write("sim1.cmf",
            "Auxiliary files = " + out + "/Mini ;\nFile BASEDATA = " + dir.File("base.har") +
                " ;\nSolution file = sim1 ;\nUpdated file BASEDATA = sim1.upd ;\n"
                "Display file = sim1.dis ;\nexogenous Y P ;\nrest endogenous ;\nMethod = Gragg ;\n"
                "Steps = 2 4 6 ;\n"
                // The front end upper-cases the name of a shock file in the model folder.
                "SHOCK Y = SELECT FROM FILE " +
                dir.File("xshock.pre") + " ;\n");
  dir.Write("solve.sti", "rpt\n" + dir.File("solve.rpt") + "\ncmf\n" + dir.File("sim1.cmf") + "\n");
  const int code = Shell("cd " + dir.Path().string() + " && " + out + "/Mini.exe -sti " +
                         dir.File("solve.sti") + " -lon " + dir.File("solve.log"));
  EXPECT_EQ(code, 0) << test::ReadFileBytes(dir.File("solve.log"));
  EXPECT_TRUE(fs::exists(dir.File("sim1.sl4")));
  EXPECT_TRUE(fs::exists(dir.File("sim1.upd")));
  EXPECT_NE(test::ReadFileBytes(dir.File("solve.rpt")).find("Status=ok"), std::string::npos);
}

TEST(Merka, ForTheGeneralProgramWritesTheModelAndTableFilesOnly) {
  test::TempDir dir;
  const std::string source = dir.Write("Mini.mrk", kModel);
  ASSERT_EQ(Shell(std::string(PELORIN_MERKA) + " " + source + " -gss > " + dir.File("merka.txt")), 0);
  EXPECT_TRUE(fs::exists(dir.File("Mini.gss")));
  EXPECT_TRUE(fs::exists(dir.File("Mini.gst")));
  EXPECT_TRUE(fs::exists(dir.File("Mini.min")));
  EXPECT_FALSE(fs::exists(dir.File("Mini.exe")));
  EXPECT_FALSE(fs::exists(dir.File("Mini.axs")));
  bool same = false;
  ErrorText err;
  test::ScriptedUserInterface ui;
  ASSERT_TRUE(MinAxtCompatible(dir.File("Mini.min"), dir.File("Mini.gst"), 0, true, ui, same, err)) << err;
  EXPECT_TRUE(same);
}

TEST(Merka, AModelWithMistakesWritesNothingAndExitsWithOne) {
  test::TempDir dir;
  const std::string source = dir.Write("Bad.mrk", "set S = (a, b) ;\nvariable V(i in T) = 1 ;\n");
  const std::string errors = dir.File("errors.txt");
  EXPECT_EQ(Shell(std::string(PELORIN_MERKA) + " " + source + " 2> " + errors), 1);
  EXPECT_EQ(test::ReadFileBytes(errors),
            source + ":2:17: error: unknown set \"T\"\nmerka: 1 error; nothing written\n");
  EXPECT_FALSE(fs::exists(dir.File("Bad.min")));
  EXPECT_FALSE(fs::exists(dir.File("Bad.axs")));
}

} // namespace
} // namespace pelorin
