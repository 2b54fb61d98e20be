// pelorin-solve as a person at a terminal or a batch script runs it, each test on a program folder installed
// for it alone (some replace suite programs by stand-ins): Control-C at the terminal, a job still running,
// exit codes and the failing log, folders used again, a read-only installation, installing a model from its
// archive, the main job and the documentation installed with the program.

#include "platform/process.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

// A converter that, while the control folder holds "hold", waits for "release" (at most a minute) before the
// real converter runs; it records every signal that reaches it, and "ended" once it is done.
const char* const kHeldConverter = R"SH(#!/bin/sh
ctl='CONTROL'
for s in INT TERM HUP QUIT; do trap "echo $s >> '$ctl/signals'" $s; done
if [ -f "$ctl/hold" ]; then
  : > "$ctl/started"
  i=0
  while [ ! -f "$ctl/release" ] && [ $i -lt 6000 ]; do sleep 0.01; i=$((i + 1)); done
fi
'REAL' "$@"
status=$?
echo "$*" >> "$ctl/ended"
exit $status
)SH";

struct Outcome {
  int code = -1;
  std::string out;
  std::string err;
};

class PelorinSolve : public ::testing::Test {
protected:
  void SetUp() override {
    prog = dir.File("prog");
    control = dir.File("control");
    fs::create_directories(control);
    ASSERT_EQ(Shell(std::string(PELORIN_CMAKE) + " --install " + PELORIN_BINARY_DIR + " --prefix " + prog +
                    " > install.log 2>&1"),
              0)
        << test::ReadFileBytes(dir.File("install.log"));
  }

  // Runs a shell command in the test's folder to its end; returns its exit code.
  int Shell(const std::string& command) const {
    ChildProcess process;
    ErrorText error;
    if (!process.Start("/bin/sh", {"-c", command}, {dir.Path().string(), false, {}}, error)) {
      ADD_FAILURE() << error;
      return -1;
    }
    while (process.Running()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return process.ExitCode();
  }

  // pelorin-solve with `arguments`, run to its end.
  Outcome Solve(const std::string& arguments) {
    const std::string stem = dir.File("solve" + std::to_string(++calls));
    Outcome outcome;
    outcome.code = Shell(prog + "/pelorin-solve " + arguments + " > " + stem + ".out 2> " + stem + ".err");
    outcome.out = test::ReadFileBytes(stem + ".out");
    outcome.err = test::ReadFileBytes(stem + ".err");
    return outcome;
  }

  // Puts a stand-in in place of a program of the program folder (the original stays as NAME-real).
  void StandIn(const std::string& name, std::string script) const {
    const std::string path = prog + "/" + name;
    fs::rename(path, path + "-real");
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"CONTROL", control},
                                   std::pair<std::string, std::string>{"REAL", path + "-real"}}) {
      if (const std::size_t at = script.find(from); at != std::string::npos) {
        script.replace(at, from.size(), to);
      }
    }
    std::ofstream(path) << script;
    ::chmod(path.c_str(), 0755);
  }

  bool WaitFor(const std::string& file) const {
    for (int i = 0; i < 3000 && !fs::exists(file); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return fs::exists(file);
  }

  // Every entry below the program folder with its kind, size and time of change: what a run may not alter.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(prog)) {
      struct stat st {};
      ::lstat(entry.path().c_str(), &st);
      entries[entry.path().string()] = std::to_string(st.st_mode) + " " + std::to_string(st.st_size) + " " +
                                       std::to_string(st.st_mtim.tv_sec) + "." +
                                       std::to_string(st.st_mtim.tv_nsec);
    }
    return entries;
  }

  test::SavedEnvironment environment;
  test::TempDir dir;
  std::string prog;
  std::string control;
  int calls = 0;
};

// Starts a shell command as the only member of a new process group, as a terminal starts its foreground job.
pid_t StartInOwnGroup(const std::string& command, const std::string& folder) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setpgid(0, 0);
    if (::chdir(folder.c_str()) == 0) {
      ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    }
    ::_exit(127);
  }
  ::setpgid(pid, pid);
  return pid;
}

int WaitForExit(pid_t pid) {
  int status = 0;
  for (int i = 0; i < 3000; ++i) {
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}

TEST_F(PelorinSolve, ControlCGivesTheJobUpUntouchedAndTheNextRunWaitsUntilItHasEnded) {
  StandIn("praxola.exe", kHeldConverter);
  std::ofstream(control + "/hold");
  const std::string run = dir.File("run");

  // Control-C at the terminal while the converter runs: the interrupt goes to the whole foreground group.
  const pid_t solve =
      StartInOwnGroup("exec " + prog + "/pelorin-solve Minimal --work " + run + " > first.out 2> first.err",
                      dir.Path().string());
  ASSERT_TRUE(WaitFor(control + "/started")) << test::ReadFileBytes(dir.File("first.err"));
  ASSERT_EQ(::kill(-solve, SIGINT), 0);
  EXPECT_EQ(WaitForExit(solve), 130);
  const std::string first = test::ReadFileBytes(dir.File("first.err"));
  EXPECT_THAT(first, HasSubstr("information: Solve job aborted via Cancel button\n"));
  EXPECT_THAT(first,
              HasSubstr("pelorin-solve: the simulation of Minimal was given up; its job goes on to its "
                        "end in " +
                        run + "/work\n"));

  // While it runs, a run in the same folder starts nothing and touches none of its files.
  const Outcome refused = Solve("Minimal --work " + run);
  EXPECT_EQ(refused.code, 4) << refused.err;
  EXPECT_THAT(refused.err, HasSubstr("error: Another job is still running and writing into the folder\n"
                                     "       " +
                                     run + "/work\n       Job: praxol1 (praxola.exe), process "));
  EXPECT_THAT(refused.err, HasSubstr("Please wait until it has ended, then try again.\n"));
  EXPECT_TRUE(fs::exists(run + "/sim1.sl4"));
  EXPECT_TRUE(fs::exists(run + "/work/praxol.inp"));

  // Nothing but its own end stopped the converter.
  std::ofstream(control + "/release");
  ASSERT_TRUE(WaitFor(control + "/ended"));
  EXPECT_FALSE(fs::exists(control + "/signals")) << test::ReadFileBytes(control + "/signals");
  EXPECT_TRUE(fs::exists(run + "/sim1.sol"));

  Outcome next;
  for (int i = 0; i < 100 && (next = Solve("Minimal --work " + run)).code == 4; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // the converter's last instant
  }
  EXPECT_EQ(next.code, 0) << next.err;
  EXPECT_THAT(next.out, HasSubstr("QFAC      FAC      1    Factor supply"));
}

TEST_F(PelorinSolve, AFailedSensitivityPreparationShowsTheResultsAndItsWholeLogWithADistinctExitCode) {
  const std::string longLine = " %% error: the map of the solution cannot be written because the folder " +
                               std::string(60, 'x') + " is full";
  StandIn("mirdaa.exe",
          "#!/bin/sh\necho 'mirdashk starts' > \"$4\"\necho '" + longLine + "' >> \"$4\"\nexit 1\n");
  const std::string run = dir.File("run");
  const Outcome outcome = Solve("Minimal --work " + run + " --csv " + run + "/csv");
  EXPECT_EQ(outcome.code, 3) << outcome.err;
  EXPECT_THAT(outcome.out, HasSubstr("QFAC      FAC      1    Factor supply"));
  EXPECT_THAT(outcome.out, HasSubstr("Solutions:  1 (Sim), 2 Pre  , 3 Post  , 4 Chng  , 5 more labour"));
  EXPECT_TRUE(fs::exists(run + "/csv/QFAC.csv"));
  EXPECT_THAT(outcome.err, HasSubstr("error: Error running MIRDA to prepare for possible SSA jobs - see log "
                                     "window.\n       However, simulation results generated Ok."));
  EXPECT_THAT(outcome.err,
              HasSubstr("  mirdashk starts\n  " + longLine + "\nlog: " + run + "/work/mirdashk.log\n"));

  // Without a folder of its own, the log printed is kept where it says.
  const Outcome temporary = Solve("Minimal");
  EXPECT_EQ(temporary.code, 3);
  const std::size_t at = temporary.err.rfind("log: ");
  ASSERT_NE(at, std::string::npos);
  const std::string log = temporary.err.substr(at + 5, temporary.err.find('\n', at) - at - 5);
  EXPECT_THAT(test::ReadFileBytes(log), HasSubstr(longLine));
  EXPECT_EQ(fs::path(log).parent_path().filename(), "work");
  fs::remove_all(fs::path(log).parent_path().parent_path());
}

TEST_F(PelorinSolve, FoldersUsedAgainHoldOnlyTheNewRunsFiles) {
  const std::string run = dir.File("run");
  const std::string arguments = "Minimal --work " + run + " --csv " + run + "/csv";
  ASSERT_EQ(Solve(arguments).code, 0);
  // What an earlier run with more subtotals, other outputs and other variables would have left, and files of
  // the person's own.
  for (const char* stale : {"sim1.SU3", "sim1.S10", "sim1ps.ou2", "csv/OLDVAR.csv"}) {
    std::ofstream(run + "/" + stale) << "old";
  }
  for (const char* own : {"notes.txt", "sim1.txt", "csv/readme.txt"}) {
    std::ofstream(run + "/" + own) << "mine";
  }
  const Outcome again = Solve(arguments);
  EXPECT_EQ(again.code, 0) << again.err;
  for (const char* stale : {"sim1.SU3", "sim1.S10", "sim1ps.ou2", "csv/OLDVAR.csv"}) {
    EXPECT_FALSE(fs::exists(run + "/" + stale)) << stale;
  }
  for (const char* kept :
       {"notes.txt", "sim1.txt", "csv/readme.txt", "sim1.SU1", "sim1.SU2", "csv/QFAC.csv"}) {
    EXPECT_TRUE(fs::exists(run + "/" + kept)) << kept;
  }
}

TEST_F(PelorinSolve, AModelIsAddedFromItsArchiveAndSolvedFromAReadOnlyInstallation) {
  fs::remove_all(prog + "/Minimal");
  const Outcome added = Solve("--add-model " + prog + "/Minimal.zip");
  EXPECT_EQ(added.code, 0) << added.err;
  EXPECT_THAT(added.err, HasSubstr("information: Installed model:   Minimal\n"));
  EXPECT_EQ(::access((prog + "/Minimal/Minimal.exe").c_str(), X_OK), 0);
  // The same checks as "Add Model": a folder that exists is never touched, a file that is not a zip archive.
  const Outcome again = Solve("--add-model " + prog + "/Minimal.zip");
  EXPECT_EQ(again.code, 1);
  EXPECT_THAT(again.err, HasSubstr("error: You must remove the existing folder:\n"));
  std::ofstream(dir.File("Other.txt")) << "not an archive";
  EXPECT_EQ(Solve("--add-model Other.txt").code, 1);

  // A program folder nobody may write to: a run with its own folder changes nothing in it.
  ASSERT_EQ(Shell("find " + prog + " -type d -exec chmod a-w {} +"), 0);
  const auto before = Snapshot();
  const Outcome solved = Solve("Minimal --work " + dir.File("run"));
  EXPECT_EQ(solved.code, 0) << solved.err;
  EXPECT_THAT(solved.err, Not(HasSubstr("error:")));
  EXPECT_EQ(before, Snapshot());
  EXPECT_TRUE(fs::exists(dir.File("run/current.svi")));
  ASSERT_EQ(Shell("chmod -R u+w " + prog), 0);
}

TEST_F(PelorinSolve, TheMainJobWritesItsRunsOutsideTheProgramFolderWhichCarriesTheDocumentation) {
  const auto before = Snapshot();
  const std::string runs = dir.File("runs");
  ASSERT_EQ(Shell("sh " + std::string(PELORIN_SOURCE_DIR) + "/scripts/main_job.sh " + prog + " " + runs +
                  " > main.out 2>&1"),
            0)
      << test::ReadFileBytes(dir.File("main.out"));
  EXPECT_EQ(before, Snapshot());
  EXPECT_TRUE(fs::exists(runs + "/Minimal/csv/QFAC.csv"));
  EXPECT_TRUE(fs::exists(runs + "/Trade/sim1.sol"));

  for (const char* doc : {"program-folder.md", "model-language.md", "converter.md", "solution-file.md"}) {
    EXPECT_TRUE(fs::exists(prog + "/docs/" + doc)) << doc;
  }
#ifdef PELORIN_NINJA
  // After adding a model, "cmake --build build --target models" rebuilds the models and never the tests.
  ASSERT_EQ(
      Shell(std::string(PELORIN_NINJA) + " -C " + PELORIN_BINARY_DIR + " -t commands models > models.txt"),
      0);
  const std::string commands = test::ReadFileBytes(dir.File("models.txt"));
  EXPECT_THAT(commands, HasSubstr("/models/Minimal/Minimal.mrk -o "));
  EXPECT_THAT(commands, Not(HasSubstr("tests/")));
#endif
}

} // namespace
} // namespace pelorin
