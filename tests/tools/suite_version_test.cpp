#include "support/saved_environment.h"
#include "support/temp_dir.h"
#include "tools/diagnostics_command.h"
#include "tools/diagnostics_run.h"
#include "tools/suite_version.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

class SuiteVersion : public ::testing::Test {
protected:
  SuiteVersion() { fs::create_directories(temp); }

  // A stand-in compiler: a script that answers the report run as told.
  void FakeCompiler(const std::string& folder, const std::string& body) const {
    fs::create_directories(folder);
    const std::string path = folder + "/MERKA.EXE";
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(path, fs::perms(0755));
  }

  test::TempDir dir;
  const std::string temp = dir.File("work");
  const std::string program = dir.File("prog");
};

TEST_F(SuiteVersion, OurCompilerAnswersTheReportRun) {
  fs::create_directories(program);
  fs::copy_file(MERKA_PATH, program + "/merka.exe");
  const std::vector<std::string> lines = SuiteVersionLines(std::nullopt, program, temp);
  EXPECT_EQ(lines,
            (std::vector<std::string>{"KALVIMO folder: " + program, "Executable-Image Version of KALVIMO",
                                      "KALVIMO Release: Pelorin suite 1.0"}));
  EXPECT_TRUE(fs::is_empty(temp)); // the stored input and the report are gone

  // The diagnostics window's way: started, watched, its report shown but for the last two lines.
  MerkaReportRun run;
  std::string problem;
  ASSERT_EQ(run.Begin(program, temp, problem), MerkaReportRun::Start::Started) << problem;
  EXPECT_EQ(test::ReadFileBytes(run.StoredInputFile()), "RPT\n" + temp + "/merka.rpt\n  \n");
  ASSERT_TRUE(run.Wait(std::chrono::seconds(10)));
  EXPECT_TRUE(run.Succeeded());
  std::vector<std::string> report;
  ProfileFile values;
  ASSERT_TRUE(run.ReadReport(report, values));
  DiagnosticsReport diagnostics;
  diagnostics.sections = 11;
  AppendReportRunSection(diagnostics, run.ReportFile(), report);
  EXPECT_EQ(diagnostics.lines,
            (std::vector<std::string>{
                "", "SECTION 12: Contents of RPT file from MERKA: " + temp + "/merka.rpt", "[result]",
                "release=Pelorin suite 1.0", "Program version=e", "GPVer Large=12", "Status=ok"}));
  run.DeleteFiles();
  EXPECT_TRUE(fs::is_empty(temp));
}

TEST_F(SuiteVersion, FolderFromKvdirFirstThenTheProgramFolder) {
  EXPECT_EQ(SuiteVersionLines(std::nullopt, program, temp),
            std::vector<std::string>{"Cannot locate KALVIMO folder"});
  EXPECT_EQ(SuiteVersionLines(dir.File("no-such"), program, temp),
            std::vector<std::string>{"Cannot locate KALVIMO folder"});
  const std::string kv = dir.File("kv");
  fs::create_directories(kv);
  EXPECT_EQ(SuiteVersionLines(kv, program, temp),
            (std::vector<std::string>{"KALVIMO folder: " + kv, "Cannot locate MERKA.EXE"}));
  FakeCompiler(program, "exit 0");
  EXPECT_EQ(LocateSuiteFolder(std::nullopt, program), program);
  EXPECT_EQ(LocateSuiteFolder(kv, program), kv);
  MerkaReportRun run;
  std::string problem;
  EXPECT_EQ(run.Begin(kv, temp, problem), MerkaReportRun::Start::CompilerMissing);
  EXPECT_EQ(problem, kv + "/merka.exe");
}

TEST_F(SuiteVersion, WhatTheReportSaysAndWhatStopsTheRun) {
  const std::string kv = dir.File("kv");
  auto linesWith = [&](const std::string& script) {
    FakeCompiler(kv, script);
    return SuiteVersionLines(kv, program, temp);
  };
  const std::string report = temp + "/merka.rpt";
  auto answering = [&](const std::string& body) {
    return "printf '" + body + "\\n\\n\\n' > \"$(sed -n 2p \"$2\")\"";
  };
  EXPECT_EQ(linesWith(answering("[result]\\nrelease=1.12>\\nProgram version=s")),
            (std::vector<std::string>{"KALVIMO folder: " + kv, "Source Code Version of KALVIMO",
                                      "KALVIMO Release: 11.12"}));
  EXPECT_EQ(linesWith(answering("[Result]\\nRelease=12.0\\nprogram version=x")),
            (std::vector<std::string>{"KALVIMO folder: " + kv, "Unknown Version of KALVIMO",
                                      "KALVIMO Release: 12.0"}));
  EXPECT_EQ(linesWith(answering("[result]\\nrelease=9")),
            (std::vector<std::string>{"KALVIMO folder: " + kv, "Cannot get KALVIMO version"}));
  EXPECT_EQ(linesWith(answering("[other]\\nrelease=12.0")),
            (std::vector<std::string>{"KALVIMO folder: " + kv, "Cannot get KALVIMO version"}));
  EXPECT_EQ(linesWith("exit 0"),
            (std::vector<std::string>{"KALVIMO folder: " + kv, "cannot locate: " + report}));
  EXPECT_EQ(linesWith(answering("[result]\\nrelease=12.0") + "; exit 3"),
            (std::vector<std::string>{"KALVIMO folder: " + kv, "Cannot run MERKA.EXE"}));
  EXPECT_TRUE(fs::is_empty(temp));

  // A report that cannot be deleted before the run (a folder of that name).
  fs::create_directories(report + "/inside");
  EXPECT_EQ(linesWith("exit 0"),
            (std::vector<std::string>{"KALVIMO folder: " + kv, "Cannot delete: " + report}));
}

TEST_F(SuiteVersion, TheDiagnosticsWindowsRunSaysWhatStoppedIt) {
  const std::string kv = dir.File("kv");
  auto lastLines = [&](const std::string& suiteFolder) {
    DiagnosticsReport report;
    report.sections = 11;
    DiagnosticsReportRun run;
    const bool started = run.Begin(report, suiteFolder, program, temp);
    for (int i = 0; started && !run.Poll(report) && i < 1000; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(run.Watching());
    return report.lines;
  };
  EXPECT_EQ(lastLines(""), std::vector<std::string>{"Error: " + program}); // no suite folder
  fs::create_directories(kv);
  EXPECT_EQ(lastLines(kv), std::vector<std::string>{"Could not locate file: " + kv + "/merka.exe"});
  FakeCompiler(kv, "exit 0"); // runs, writes nothing
  EXPECT_EQ(lastLines(kv), std::vector<std::string>{"Could not locate file: " + temp + "/merka.rpt"});
  FakeCompiler(kv, "printf '[result]\\nrelease=2.1\\nx\\ny\\n' > \"$(sed -n 2p \"$2\")\"");
  EXPECT_EQ(lastLines(kv), (std::vector<std::string>{
                               "", "SECTION 12: Contents of RPT file from MERKA: " + temp + "/merka.rpt",
                               "[result]", "release=2.1"}));
  EXPECT_TRUE(fs::is_empty(temp));
}

TEST_F(SuiteVersion, DiagnosticsFromATerminalPrintEverySectionAndLeaveNoScratchFiles) {
  fs::create_directories(program);
  fs::copy_file(MERKA_PATH, program + "/merka.exe");
  const test::SavedEnvironment saved({"TMPDIR", "KVDIR"});
  ::setenv("TMPDIR", temp.c_str(), 1);
  ::unsetenv("KVDIR");
  std::ostringstream out;
  EXPECT_EQ(PrintDiagnosticsReport(program + "/pelorin", "pelorin --diagnostics", out), 0);
  const std::string text = out.str();
  EXPECT_EQ(text.find('\r'), std::string::npos);
  std::size_t at = 0;
  for (int section = 1; section <= 12; ++section) {
    at = text.find("\n\nSECTION " + std::to_string(section) + ": ", at);
    ASSERT_NE(at, std::string::npos) << "section " << section;
  }
  EXPECT_NE(text.find("\nProgram: pelorin\nVersion 2.40,  10/Apr/2015\n"), std::string::npos);
  EXPECT_NE(text.find("\nKALVIMO folder: " + program +
                      "\nExecutable-Image Version of KALVIMO\n"
                      "KALVIMO Release: Pelorin suite 1.0\n"),
            std::string::npos);
  EXPECT_NE(text.find("\nCommand Line: pelorin --diagnostics\n"), std::string::npos);
  EXPECT_NE(text.find("\nScreen: none (the report was made without a window)\n"), std::string::npos);
  EXPECT_NE(text.find("\nrelease=Pelorin suite 1.0\n"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(temp));
}

TEST(KvdumpSig, PrintsWhatTheScanFoundForEachFile) {
  test::TempDir dir;
  const std::string program = dir.Write("solver.exe", "MZ libgfortran and MinGW, made for Kalvimo");
  const std::string run = std::string(KVDUMP_PATH) + " sig " + program + " " + dir.File("none.exe") + " >" +
                          dir.File("out") + " 2>" + dir.File("err");
  const int status = std::system(run.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1); // one of the files is missing
  EXPECT_EQ(test::ReadFileBytes(dir.File("out")), "File:        " + program +
                                                      "\n"
                                                      "Found:       \"KALVIMO\" \"libgfortran\" \"mingw\" \n"
                                                      "Description: GFortran(Kalvimo)  LAAunknown Win?\n"
                                                      "Flavour:     New Fujitsu\n");
  EXPECT_EQ(test::ReadFileBytes(dir.File("err")), "Cannot open file " + dir.File("none.exe") +
                                                      ": No such file or directory[ExecutableSignature]\n");
}

} // namespace
} // namespace pelorin
