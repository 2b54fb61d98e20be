// pelorin-solve's own parts: its arguments, the console in place of the window, and the CSV files of the
// results (the runs themselves are in the end-to-end tests).

#include "../results/solution_files.h"
#include "app/console_ui.h"
#include "app/headless_solve.h"
#include "app/run_files.h"
#include "results/results_model.h"
#include "support/fuzz_seed.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace pelorin {
namespace {

TEST(SolveArguments, ModelAndOptionsInAnyOrderAndWhatIsRefused) {
  SolveRequest request;
  std::string error;
  ASSERT_TRUE(ParseSolveArguments({"--work", "runs/a", "Minimal", "--csv", "out", "--settings", "s.ini"},
                                  request, error));
  EXPECT_EQ(request.model, "Minimal");
  EXPECT_EQ(request.workDir, "runs/a");
  EXPECT_EQ(request.csvDir, "out");
  EXPECT_EQ(request.settingsFile, "s.ini");

  SolveRequest adding;
  ASSERT_TRUE(ParseSolveArguments({"--add-model", "New.zip"}, adding, error));
  EXPECT_EQ(adding.addModelArchive, "New.zip");
  EXPECT_EQ(adding.model, "");

  const std::pair<std::vector<std::string>, std::string> refused[] = {
      {{}, "no model named"},
      {{"--add-model", "New.zip", "Minimal"}, "--add-model is given alone"},
      {{"--work", "w", "--add-model", "New.zip"}, "--add-model is given alone"},
      {{"--add-model"}, "--add-model needs a value"},
      {{"--work"}, "--work needs a value"},
      {{"Minimal", "--csv", ""}, "--csv needs a value"},
      {{"Minimal", "Trade"}, "one model only: Trade"},
      {{"Minimal", "--fast"}, "unknown option --fast"}};
  for (const auto& [arguments, reason] : refused) {
    SolveRequest other;
    EXPECT_FALSE(ParseSolveArguments(arguments, other, error));
    EXPECT_EQ(error, reason);
  }
}

TEST(RunFiles, AFolderUsedAgainLosesExactlyTheFilesARunWrites) {
  // The chain's outputs of solution "sim1" and post-simulation "sim1ps", in any case.
  for (const char* name :
       {"sim1.sl4", "SIM1.SLC",   "sim1.xac",   "sim1.log",   "sim1.cmf",   "sim1.sol",  "sim1.sli",
        "sim1.SO2", "sim1.so4",   "sim1.SU1",   "sim1.su9",   "sim1.S10",   "sim1.s99",  "sim1.100",
        "sim1.999", "sim1ps.cmf", "sim1ps.dis", "sim1ps.ou1", "sim1ps.o10", "SIM1PS.OU9"}) {
    EXPECT_TRUE(IsSolveOutput(name, "sim1", "sim1ps")) << name;
  }
  for (const char* name :
       {"sim1", "sim1.", "sim1.txt", "sim1.so5", "sim1.su", "sim1.sux", "sim1.1000", "sim12.sol", "sim.sol",
        "sim1ps.sol", "sim1ps.ou", "sim1ps.oux", "sim1.dis", "x.cmf"}) {
    EXPECT_FALSE(IsSolveOutput(name, "sim1", "sim1ps")) << name;
  }
  EXPECT_FALSE(IsSolveOutput(".sol", "", ""));

  test::TempDir dir;
  for (const char* name : {"sim1.sol", "sim1.SU3", "sim1ps.ou2", "sim1.upd", "current.svi", "notes.txt",
                           "other.sol", "sim1.txt", "keep.csv.txt", "a.csv", "macros.csv"}) {
    dir.Write(name, "old");
  }
  std::filesystem::create_directory(dir.File("sim1.SU4")); // a folder is never removed
  ErrorText error;
  ASSERT_TRUE(RemoveRunFiles(dir.Path().string(), "sim1", "sim1ps", {"sim1.upd"}, {}, error)) << error;
  ASSERT_TRUE(RemoveCsvFiles(dir.Path().string(), {}, error)) << error;
  std::set<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    left.insert(entry.path().filename().string());
  }
  EXPECT_EQ(left, (std::set<std::string>{"notes.txt", "other.sol", "sim1.txt", "keep.csv.txt", "sim1.SU4"}));
  EXPECT_TRUE(RemoveRunFiles(dir.File("missing"), "sim1", "sim1ps", {}, {}, error));
  EXPECT_TRUE(RemoveCsvFiles(dir.File("missing"), {}, error));

  // Never through a link, never in a folder that must not be cleared.
  std::filesystem::create_directory(dir.File("real"));
  dir.Write("real/sim1.sol", "old");
  dir.Write("real/a.csv", "old");
  std::filesystem::create_directory_symlink(dir.File("real"), dir.File("link"));
  EXPECT_FALSE(RemoveRunFiles(dir.File("link"), "sim1", "sim1ps", {}, {}, error));
  EXPECT_FALSE(RemoveCsvFiles(dir.File("real"), {{dir.File("real"), "the model's folder"}}, error));
  EXPECT_TRUE(std::filesystem::exists(dir.File("real/sim1.sol")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("real/a.csv")));
  EXPECT_NE(error.find("[RemoveRunFiles]"), std::string::npos);
  EXPECT_NE(error.find("[RemoveCsvFiles]"), std::string::npos);
}

TEST(RunFiles, TheLastLinesOfALogComeWhole) {
  test::TempDir dir;
  const std::string longLine(200, 'x');
  const std::string text = "first\r\n\nthird " + longLine + "\r\nlast\n";
  const std::string log = dir.Write("solve.log", text);
  test::SaveFuzzSeed("app_log_lines", "solve.log", "\x03" + text);
  EXPECT_THAT(LastLines(log, 3), ::testing::ElementsAre("", "third " + longLine, "last"));
  EXPECT_THAT(LastLines(log, 10), ::testing::ElementsAre("first", "", "third " + longLine, "last"));
  EXPECT_THAT(LastLines(dir.Write("open.log", "no newline at the end"), 2),
              ::testing::ElementsAre("no newline at the end"));
  EXPECT_TRUE(LastLines(dir.Write("empty.log", ""), 5).empty());
  EXPECT_TRUE(LastLines(dir.File("missing.log"), 5).empty());
}

TEST(ConsoleUserInterface, MessagesGoToTheStreamAndQuestionsTakeTheirDefault) {
  std::ostringstream out;
  ConsoleUserInterface ui(out, "trade");
  EXPECT_EQ(ui.Message(MessageKind::Error, "Problem:\r\nCould not create CMF file"), MessageAnswer::Ok);
  EXPECT_EQ(
      ui.Message(MessageKind::Confirmation, "Do you really want to kill this job?", MessageButtons::YesNo),
      MessageAnswer::Yes);
  ui.ShowWaitDialog("Please Wait - KALVIMO at work", "Calculating Solution");
  ui.UpdateWaitDialog("Calculating Solution", 2);
  ui.UpdateWaitDialog("Running MIRDA to prepare for possible SSA job", 3);
  EXPECT_EQ(out.str(), "error: Problem:\n       Could not create CMF file\n"
                       "question: Do you really want to kill this job?\n"
                       "running: Calculating Solution\n"
                       "running: Running MIRDA to prepare for possible SSA job\n");
  EXPECT_EQ(ui.Errors(), 1);

  // The catalogue's question takes the model asked for (case ignored); a model not offered is no answer.
  EXPECT_EQ(
      ui.ChooseFromList("Select Model", {"Minimal - A minimal economy", "Trade - Trade - three regions"}, 0),
      1);
  ConsoleUserInterface other(out, "Nothing");
  EXPECT_EQ(other.ChooseFromList("Select Model", {"Minimal - A minimal economy"}, 0), std::nullopt);
  EXPECT_EQ(other.ChooseFromList("Pick", {"a", "b"}, 1), 1);
  EXPECT_EQ(other.OpenFileDialog({"Model File", "", "", "", ""}), std::nullopt);
  other.Message(MessageKind::Warning, "careful");
  EXPECT_EQ(other.Warnings(), 1);
  EXPECT_EQ(other.Errors(), 0);
  EXPECT_EQ(other.Prompt("Name", "Name?", "sim2"), "sim2");
}

// Nobody is there to confirm: a save dialog that asks before overwriting refuses an existing file unless the
// run was told to overwrite.
TEST(ConsoleUserInterface, FileDialogsTakeTheFilesGivenAndOverwriteOnlyWhenTold) {
  test::TempDir dir;
  const std::string existing = dir.Write("model.min", "m");
  const std::string fresh = dir.File("new.zip");
  std::ostringstream out;
  ConsoleUserInterface ui(out, "trade");
  const FileDialogRequest save{"Choose name of ZIP File", "", "", "", "", true};
  for (const std::string& file : {existing, existing, fresh, existing, existing}) {
    ui.AnswerFileDialog(file);
  }
  EXPECT_EQ(ui.OpenFileDialog({"Load Model ZIP", "", "", "", ""}), existing);
  EXPECT_EQ(ui.SaveFileDialog(save), std::nullopt);
  EXPECT_EQ(ui.SaveFileDialog(save), fresh);
  EXPECT_EQ(ui.SaveFileDialog({"Unasked", "", "", "", "", false}), existing);
  ui.AllowOverwrite(true);
  EXPECT_EQ(ui.SaveFileDialog(save), existing);
  EXPECT_EQ(ui.SaveFileDialog(save), std::nullopt); // none left
  EXPECT_EQ(out.str(), "error: Choose name of ZIP File: " + existing +
                           " exists and is not overwritten without being told to\n"
                           "dialog: Choose name of ZIP File (cancelled: no window)\n");
  EXPECT_EQ(ui.Errors(), 1);
}

TEST(ResultsCsv, ColumnNamesAreUniqueAndValuesTheShortestThatReadBackAsTheSameFloat) {
  test::TempDir dir;
  test::SimFiles files;
  files.sets = {test::MakeSet("REG", {"usa", "eu"})};
  files.vars = {{"v", {1}, 'p', "A vector", {}}, {"m", {1, 1}, 'p', "Over REG twice", {}}};
  // Two subtotals with one description, and one described like a set of the matrix.
  files.subtotalsAvailable = 3;
  files.subtotalDescriptions = {"tariffs", "tariffs", "REG"};
  const float values[] = {1.14f, 1.1400001f, 0.1f, -0.06f};
  files.value = [&](const test::SimVar&, int, int component) { return values[(component - 1) % 4]; };
  const std::string sol = files.Write(dir.Path().string(), "sim");
  test::ScriptedUserInterface ui;
  ResultsModel model(ui);
  ErrorText error;
  ASSERT_TRUE(model.PVLoadSol(sol, " ", dir.File("sim.sli"), true, true, error)) << error;
  ContentsList contents;
  SimTab table;
  ASSERT_TRUE(MakeContentsList(model, contents, table, error)) << error;
  int written = 0;
  ASSERT_TRUE(WriteResultsCsv(model, contents, dir.File("csv"), written, error)) << error;
  const std::string vector = test::ReadFileBytes(dir.File("csv/v.csv"));
  EXPECT_EQ(vector.substr(0, vector.find('\n')), "v,(Sim),tariffs,tariffs_2,REG");
  EXPECT_EQ(vector.substr(vector.find('\n') + 1),
            "usa,1.14,1.14,1.14,1.14\neu,1.1400001,1.1400001,1.1400001,1.1400001\n");
  const std::string matrix = test::ReadFileBytes(dir.File("csv/m.csv"));
  EXPECT_EQ(matrix.substr(0, matrix.find('\n')), "REG,REG_2,(Sim),tariffs,tariffs_2,REG_3");
  std::vector<std::string> column;
  for (std::size_t at = matrix.find('\n'); at != std::string::npos && at + 1 < matrix.size();
       at = matrix.find('\n', at + 1)) {
    const std::size_t field = matrix.find(',', matrix.find(',', at + 1) + 1) + 1;
    column.push_back(matrix.substr(field, matrix.find(',', field) - field));
  }
  EXPECT_EQ(column, (std::vector<std::string>{"1.14", "1.1400001", "0.1", "-0.06"}));
}

TEST(ResultsCsv, EveryVariableWithEverySolutionAndTheContentsAsAlignedText) {
  test::TempDir dir;
  test::SimFiles files;
  files.sets = {test::MakeSet("REG", {"usa", "eu"}), test::MakeSet("COM", {"food", "mfg", "svc"})};
  files.vars = {{"gdp", {}, 'p', "Real GDP", {}},
                {"p", {1}, 'p', "Prices", {}},
                {"x", {2, 1}, 'p', "Trade flows", {}},
                {"t", {2, 1, 1}, 'c', "Three ways", {}, true}};
  files.subtotalsAvailable = 1;
  files.subtotalDescriptions = {"tariffs, food"};
  // Values by file (1 cumulative, 11 the subtotal) and component; one result missing: an empty field.
  files.value = [](const test::SimVar& var, int file, int component) {
    return var.name == "p" && component == 2 && file == 1 ? MissingValue : file * 10.0f + component * 0.5f;
  };
  const std::string sol = files.Write(dir.Path().string(), "sim");
  test::ScriptedUserInterface ui;
  ResultsModel model(ui);
  ErrorText error;
  ASSERT_TRUE(model.PVLoadSol(sol, " ", dir.File("sim.sli"), true, true, error)) << error;
  ContentsList contents;
  SimTab table;
  ASSERT_TRUE(MakeContentsList(model, contents, table, error)) << error;

  int written = 0;
  ASSERT_TRUE(WriteResultsCsv(model, contents, dir.File("csv"), written, error)) << error;
  EXPECT_EQ(written, 4);
  EXPECT_EQ(test::ReadFileBytes(dir.File("csv/macros.csv")),
            "Macros,(Sim),\"tariffs, food\"\ngdp,10.5,110.5\n");
  EXPECT_EQ(test::ReadFileBytes(dir.File("csv/p.csv")),
            "p,(Sim),\"tariffs, food\"\nusa,10.5,110.5\neu,,111\n");
  EXPECT_EQ(test::ReadFileBytes(dir.File("csv/x.csv")),
            "COM,REG,(Sim),\"tariffs, food\"\nfood,usa,10.5,110.5\nmfg,usa,11,111\nsvc,usa,11.5,111.5\n"
            "food,eu,12,112\nmfg,eu,12.5,112.5\nsvc,eu,13,113\n");
  const std::string three = test::ReadFileBytes(dir.File("csv/t.csv"));
  EXPECT_EQ(three.substr(0, three.find('\n', three.find('\n') + 1) + 1),
            "COM,REG,REG_2,(Sim)\nfood,usa,usa,10.5\n");

  EXPECT_EQ(AlignedTable(table).substr(0, AlignedTable(table).find('\n', 0) + 1),
            "Variable  Size         No.  Name\n");
  EXPECT_EQ(AlignedTable(SimTab{}), "");
  EXPECT_FALSE(WriteResultsCsv(model, contents, dir.File("csv/macros.csv/sub"), written, error));
}

} // namespace
} // namespace pelorin
