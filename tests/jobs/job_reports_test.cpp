// Judging the files a job leaves: report files (also while their writer still holds them), the suite version,
// the warning for a missing report, the retried copy of the solution summary, and console jobs themselves.

#include "jobs/console_job.h"
#include "jobs/job_reports.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

class ReportTest : public ::testing::Test {
protected:
  RetryPause Recorder() {
    return [this](int milliseconds) { waits.push_back(milliseconds); };
  }
  test::TempDir dir;
  std::vector<int> waits;
};

TEST_F(ReportTest, StatusOkOnlyWhenTheResultSaysOk) {
  EXPECT_TRUE(
      ReportStatusOk(dir.Write("a.rpt", "[Result]\r\nStatus = ok\r\nGPVer Large=12\r\n"), Recorder()));
  EXPECT_FALSE(ReportStatusOk(dir.Write("b.rpt", "[Result]\nStatus=error\n"), Recorder()));
  EXPECT_FALSE(ReportStatusOk(dir.Write("c.rpt", "[Other]\nStatus=ok\n[Result]\nStatus=OK?\n"), Recorder()));
  EXPECT_FALSE(ReportStatusOk(dir.File("missing.rpt"), Recorder()));
  EXPECT_TRUE(waits.empty());

  EXPECT_EQ(ReportSuiteVersion(dir.File("a.rpt")), 12);
  EXPECT_EQ(ReportSuiteVersion(dir.File("b.rpt")), 0);
  EXPECT_EQ(ReportSuiteVersion(dir.File("missing.rpt")), 0);
  EXPECT_EQ(ReportSuiteVersion(dir.Write("d.rpt", "[Result]\nGPVer Large=twelve\n")), 0);
}

TEST_F(ReportTest, AReportItsWriterStillHoldsIsTriedForAboutThreeSeconds) {
  // Not yet holding its status: five waits, 200 ms longer each time, then judged not ok.
  EXPECT_FALSE(ReportStatusOk(dir.Write("partial.rpt", "[Result]\nRelease=1\n"), Recorder()));
  EXPECT_EQ(waits, (std::vector<int>{200, 400, 600, 800, 1000}));

  // Locked by its writer until the second wait: then read.
  const std::string report = dir.Write("locked.rpt", "[Result]\nStatus=ok\n");
  const int fd = ::open(report.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  waits.clear();
  const RetryPause releaseOnSecond = [&](int milliseconds) {
    waits.push_back(milliseconds);
    if (waits.size() == 2) {
      ::flock(fd, LOCK_UN);
    }
  };
  EXPECT_TRUE(ReportStatusOk(report, releaseOnSecond));
  EXPECT_EQ(waits, (std::vector<int>{200, 400}));
  ::close(fd);
}

TEST_F(ReportTest, MissingReportWarnsThatTheProgramMayNotBeFromTheSuite) {
  test::ScriptedUserInterface ui;
  WarnIfNoReport(dir.Write("there.rpt", "[Result]\n"), "/m/sj.exe", ui);
  EXPECT_TRUE(ui.messages.empty());
  WarnIfNoReport(dir.File("gone.rpt"), "DRAVEX", ui);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
  EXPECT_EQ(ui.messages[0].text,
            "The program DRAVEX\r\n you are using to solve the model did not produce a Report "
            "file.\r\nMaybe the program is not a stand-alone EXE.\r\n[Alternatively, perhaps "
            "the program did not run,\r\n or is from Release 5.1 or earlier of KALVIMO.]");
}

TEST_F(ReportTest, CopyReplacesTheTargetWholeAndRetriesWithGrowingWaits) {
  const std::string target = dir.Write("current.svi", "old information");
  ErrorText error;
  ASSERT_TRUE(CopyFileWithRetries(dir.Write("sim.sli", "new information"), target, Recorder(), error))
      << error;
  EXPECT_EQ(test::ReadFileBytes(target), "new information");
  EXPECT_TRUE(waits.empty());

  EXPECT_FALSE(CopyFileWithRetries(dir.File("none.sli"), target, Recorder(), error));
  EXPECT_EQ(error, "Cannot copy " + dir.File("none.sli") + " to " + target + "[CopyFileWithRetries]");
  EXPECT_EQ(waits, (std::vector<int>{10, 20, 40, 80, 160, 320, 640, 1280, 2560}));
  EXPECT_EQ(test::ReadFileBytes(target), "new information");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()),
            2); // nothing left over
}

TEST(ConsoleJob, IsPolledUntilItEndsAndAbandonedJobsAreReaped) {
  test::TempDir dir;
  std::unique_ptr<ChildProcess> process;
  ErrorText error;
  ASSERT_TRUE(StartConsoleJob("/bin/sh", {"-c", "pwd > here; echo noise; sleep 0.1"}, dir.Path().string(),
                              {"test", {}}, process, error))
      << error;
  EXPECT_FALSE(ProcessFinished(process));
  ASSERT_NE(process, nullptr);
  while (!ProcessFinished(process)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(process, nullptr);
  EXPECT_EQ(test::ReadFileBytes(dir.File("here")), fs::canonical(dir.Path()).string() + "\n");

  EXPECT_FALSE(
      StartConsoleJob(dir.File("no-such-program"), {}, dir.Path().string(), {"test", {}}, process, error));
  EXPECT_EQ(process, nullptr);
  EXPECT_NE(error.find("[StartProcess]"), std::string::npos);

  AbandonedJobs abandoned;
  ASSERT_TRUE(
      StartConsoleJob("/bin/sh", {"-c", "sleep 0.2"}, dir.Path().string(), {"test", {}}, process, error));
  const pid_t pid = process->Pid();
  abandoned.Add(std::move(process));
  abandoned.Reap();
  EXPECT_EQ(abandoned.Count(), 1u); // still running: left alone
  EXPECT_EQ(::kill(pid, 0), 0);
  for (int i = 0; i < 200 && abandoned.Count() > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    abandoned.Reap();
  }
  EXPECT_EQ(abandoned.Count(), 0u);
  EXPECT_NE(::kill(pid, 0), 0); // reaped: no dead entry left behind
}

TEST(ConsoleJob, MarksItsFoldersBusyUntilItsLastProcessEnds) {
  test::TempDir dir;
  const std::string work = dir.File("work");
  const std::string output = dir.File("output");
  fs::create_directories(work);
  fs::create_directories(output);
  EXPECT_EQ(RunningJobIn(work), std::nullopt);
  EXPECT_EQ(RunningJobIn(dir.File("missing")), std::nullopt);

  // The job ends at once but leaves a process of its own behind, writing on until "release" appears.
  std::unique_ptr<ChildProcess> process;
  ErrorText error;
  ASSERT_TRUE(StartConsoleJob(
      "/bin/sh", {"-c", "(while [ ! -f release ]; do sleep 0.01; done; touch done) > /dev/null &"}, work,
      {"praxol1 (praxola.exe)", {output}}, process, error))
      << error;
  const pid_t pid = process->Pid();
  EXPECT_EQ(::getsid(pid), pid); // a session of its own: our terminal's signals pass it by
  while (!ProcessFinished(process)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(RunningJobIn(work), "praxol1 (praxola.exe), process " + std::to_string(pid));
  EXPECT_EQ(RunningJobIn(output), "a job whose name was not kept"); // no note in an output folder
  fs::remove(work + "/running.job");
  EXPECT_EQ(RunningJobIn(work), "a job whose name was not kept"); // clearing the folder keeps the mark

  dir.Write("work/release", "");
  for (int i = 0; i < 500 && !fs::exists(work + "/done"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(fs::exists(work + "/done"));
  for (int i = 0; i < 500 && RunningJobIn(work); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(RunningJobIn(work), std::nullopt);
  EXPECT_EQ(RunningJobIn(output), std::nullopt);
}

} // namespace
} // namespace pelorin
