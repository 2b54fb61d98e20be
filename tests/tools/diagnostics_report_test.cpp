#include "support/temp_dir.h"
#include "tools/diagnostics_report.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;

// A machine of the test's own: the system files the report reads, below a folder that stands for "/".
class FakeMachine {
public:
  std::string Put(const std::string& relative, const std::string& text,
                  fs::perms perms = fs::perms(0644)) const {
    const fs::path path = dir.Path() / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    fs::permissions(path, perms);
    return path.string();
  }
  std::string Root() const { return dir.Path().string(); }
  std::string Path(const std::string& relative) const { return (dir.Path() / relative).string(); }

  test::TempDir dir;
};

std::vector<std::string> SectionHeadings(const DiagnosticsReport& report) {
  std::vector<std::string> headings;
  for (std::size_t i = 1; i < report.lines.size(); ++i) {
    if (report.lines[i].rfind("SECTION ", 0) == 0) {
      EXPECT_EQ(report.lines[i - 1], "") << "a section starts with an empty line";
      headings.push_back(report.lines[i]);
    }
  }
  return headings;
}

// The lines of one section, without its heading.
std::vector<std::string> SectionLines(const DiagnosticsReport& report, int number) {
  const std::string heading = "SECTION " + std::to_string(number) + ": ";
  std::vector<std::string> lines;
  bool inside = false;
  for (const std::string& line : report.lines) {
    if (line.rfind("SECTION ", 0) == 0) {
      inside = line.rfind(heading, 0) == 0;
      continue;
    }
    if (inside && !line.empty()) {
      lines.push_back(line);
    }
  }
  return lines;
}

const std::vector<std::string> kHeadings = {"SECTION 1: Program and compiler",
                                            "SECTION 2: Operating system, hardware, session",
                                            "SECTION 3: Appearance",
                                            "SECTION 4: File Associations",
                                            "SECTION 5: Path",
                                            "SECTION 6: Special Folders:",
                                            "SECTION 7: Registry Settings",
                                            "SECTION 8: Complete Contents of Environment",
                                            "SECTION 9: INI file",
                                            "SECTION 10: Running Processes"};

class DiagnosticsReportTest : public ::testing::Test {
protected:
  void SetUp() override {
    m.Put("proc/sys/kernel/ostype", "Linux\n");
    m.Put("proc/sys/kernel/osrelease", "6.1.0-18-amd64\n");
    m.Put("proc/sys/kernel/version", "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)\n");
    m.Put("proc/sys/kernel/arch", "x86_64\n");
    m.Put("etc/os-release", "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
    m.Put("proc/meminfo", "MemTotal:       16318500 kB\nMemFree:  100 kB\nMemAvailable:    8159250 kB\n");
    m.Put("proc/self/status", "Name:\tpelorin\nVmSize:\t  204800 kB\nVmRSS:\t   51200 kB\n");
    m.Put("proc/self/mounts", "/dev/sda1 / ext4 rw 0 0\nproc /proc proc rw 0 0\n"
                              "/dev/sdb1 /home/with\\040blank ext4 rw 0 0\n");
    fs::create_directories(m.Path("home/with blank"));
    m.Put("proc/cpuinfo", "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 158\n"
                          "model name\t: Test CPU @ 3.60GHz\nstepping\t: 10\ncpu MHz\t\t: 3600.123\n"
                          "flags\t\t: fpu mmx sse sse2 pni ssse3 sse4_1 sse4_2 avx\n\n"
                          "processor\t: 1\nvendor_id\t: OtherVendor\n");
    m.Put("proc/1/comm", "init\n");
    m.Put("proc/1/cmdline", std::string("/sbin/init\0splash\0", 18));
    m.Put("proc/42/comm", "pelorin\n");
    m.Put("proc/42/cmdline", std::string("/opt/p/pelorin\0--x\x01y\0", 21));
    m.Put("proc/self/comm", "self\n"); // not a number: not a process of its own
    m.Put("usr/share/mime/globs2",
          "# comment\n50:text/plain:*.txt\n50:text/html:*.htm\n50:application/pdf:*.pdf\n"
          "10:text/x-odd:*.t?t\n");
    m.Put("usr/share/applications/defaults.list",
          "[Default Applications]\ntext/plain=missing.desktop;ed.desktop;\n");
    m.Put("usr/share/applications/ed.desktop", "[Desktop Entry]\nName=Ed\nExec=ed %f\n");
    m.Put("usr/share/applications/mimeinfo.cache", "[MIME Cache]\ntext/html=browser.desktop;\n");
    m.Put("usr/share/applications/browser.desktop", "[Desktop Entry]\nExec=browse %u\n");
    m.Put("etc/environment", "# system\nPATH=\"/usr/bin:/bin\"\nexport KVDIR=/opt/kv\nbroken line\n");
    m.Put("home/u/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desk\"\nXDG_MUSIC_DIR=\"/srv/music\"\n");
    m.Put("bin1/merka.exe", "#!/bin/sh\n", fs::perms(0755));
    m.Put("bin2/MERKA.EXE", "libgfortran mingw kalvimo", fs::perms(0755));
    m.Put("bin2/ltg.bat", "echo\n");
    m.Put("bin2/dravex.exe", "not runnable", fs::perms(0644));
    m.Put("prog/orvane.html", "<html></html>");
    m.Put("prog/suite.exe", "Intel Fortran RTL", fs::perms(0755));
    m.Put("prog/notes.txt", "12345");
    fs::create_directories(m.Path("prog/Minimal"));

    view.root = m.Root();
    view.environment = {"HOME=" + m.Path("home/u"),
                        "PATH=" + m.Path("bin2") + ":" + m.Path("bin1"),
                        "USER=modeller",
                        "KVDIR=/opt/kv",
                        "LANG=C",
                        "XDG_RUNTIME_DIR=/run/user/1000"};
    facts.title = "Pelorin";
    facts.version = 2.4;
    facts.executablePath = m.Path("prog/pelorin");
    facts.commandLine = "pelorin --diagnostics";
    facts.helpFile = m.Path("prog/orvane.html");
    facts.keepDir = m.Path("prog/Minimal");
    facts.iniName = m.Path("prog/Minimal/Minimal.ini");
    facts.tempDir = "/home/someone/a folder with a rather long name/work";
    facts.programDir = m.Path("prog");
    facts.suiteVersionLines = {"KALVIMO folder: /opt/kv", "Cannot locate MERKA.EXE"};
  }

  FakeMachine m;
  SystemView view;
  DiagnosticsFacts facts;
};

TEST_F(DiagnosticsReportTest, EverySectionInOrderAfterTheDateLine) {
  const DiagnosticsReport report = BuildDiagnosticsReport(facts, view);
  EXPECT_THAT(report.lines.front(),
              MatchesRegex("(Sun|Mon|Tues|Wednes|Thurs|Fri|Satur)day, [A-Z][a-z]+ [0-9]+, [0-9]{4}, "
                           "[0-9]+:[0-9]{2} (AM|PM)"));
  std::vector<std::string> expected = kHeadings;
  expected.push_back("SECTION 11: Files in application folder  " + m.Path("prog"));
  EXPECT_EQ(SectionHeadings(report), expected);
  EXPECT_EQ(report.sections, 11);
  EXPECT_EQ(report.Text().find("\r\n\r\nSECTION 1: Program and compiler\r\nProgram: Pelorin\r\n"),
            report.lines[0].size());
}

TEST_F(DiagnosticsReportTest, ProgramSectionWarnsOfALongTempDirWithBlanks) {
  const auto lines = SectionLines(BuildDiagnosticsReport(facts, view), 1);
  EXPECT_EQ(lines[0], "Program: Pelorin");
  EXPECT_EQ(lines[1], "Version 2.40,  10/Apr/2015");
  EXPECT_EQ(lines[2], "File: " + facts.executablePath + " LAAunknown Win?"); // there is no such file
  EXPECT_EQ(lines[3], "Help File: " + facts.helpFile + " [exists]");
  EXPECT_THAT(lines[4], HasSubstr("Compiler: "));
  EXPECT_THAT(lines, Contains("Program Temp Dir:      \t" + facts.tempDir));
  EXPECT_THAT(lines, Contains("Program Keep Dir:      \t" + facts.keepDir));
  EXPECT_THAT(lines, Contains("**** WARNING **** Temp Dir is rather long; suggest you set TEMP and TMP "
                              "environment to /tmp"));
  EXPECT_THAT(lines, Contains("**** WARNING **** Temp Dir contains spaces; suggest you set TEMP and TMP "
                              "environment to /tmp"));
  EXPECT_EQ(lines.back(), "Cannot locate MERKA.EXE");

  facts.tempDir = "/tmp/short";
  EXPECT_THAT(SectionLines(BuildDiagnosticsReport(facts, view), 1),
              ::testing::Not(Contains(HasSubstr("WARNING"))));
}

TEST_F(DiagnosticsReportTest, MachineSectionFromTheSystemFiles) {
  const auto lines = SectionLines(BuildDiagnosticsReport(facts, view), 2);
  EXPECT_EQ(lines[0], "Command Line: pelorin --diagnostics");
  EXPECT_EQ(lines[1], "Linux 6.1.0 (6.1.0-18-amd64) #1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)");
  EXPECT_EQ(lines[2], "Distribution: Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(lines[3], "Process is 64-bit on a x86_64 kernel (no Wow64 layer on Linux)");
  EXPECT_EQ(lines[4], "15936 megabytes physical RAM [TotalPhys]");
  EXPECT_EQ(lines[5], "7968 megabytes free RAM [AvailPhys]");
  EXPECT_THAT(lines, Contains("Memory Used [working set]: 50 MB"));
  EXPECT_THAT(lines, Contains(MatchesRegex("/ \\(ext4 /dev/sda1\\):   size = [0-9]+ MB   free = [0-9]+ MB   "
                                           "[0-9]+% free")));
  EXPECT_THAT(lines, Contains(MatchesRegex("/home/with blank \\(ext4 /dev/sdb1\\):   size = .*")));
  EXPECT_THAT(lines, Contains("Linux detected 2 logical CPUs"));
  EXPECT_THAT(lines, Contains("Processor: GenuineIntel  type x86_64  family 6  model 9E  stepping A  "
                              "[Test CPU @ 3.60GHz], 3600.1 MHz"));
  EXPECT_THAT(lines, Contains("Instruction sets: MMX SSE SSE2 SSE3 SSSE3 SSE4.1 SSE4.2"));
  EXPECT_THAT(lines, Contains("User name: modeller"));
  EXPECT_THAT(lines, Contains("COMSPEC is not set: job scripts run with /bin/sh"));
  EXPECT_THAT(lines, Contains("**** WARNING **** /bin/sh does not exist")); // not in the fake tree

  const auto processes = SectionLines(BuildDiagnosticsReport(facts, view), 10);
  EXPECT_EQ(processes,
            (std::vector<std::string>{"1\tinit\t/sbin/init", "42\tpelorin\t/opt/p/pelorin"})); // no arguments
}

TEST_F(DiagnosticsReportTest, DesktopSectionsAssociationsPathAndFolders) {
  const DiagnosticsReport report = BuildDiagnosticsReport(facts, view);
  const auto appearance = SectionLines(report, 3);
  EXPECT_EQ(appearance[0], "Screen: none (the report was made without a window)");
  EXPECT_THAT(appearance, Contains("Locale language: C"));
  EXPECT_THAT(appearance, Contains("Locale decimal separator: .  (period)"));

  const auto associations = SectionLines(report, 4);
  ASSERT_EQ(associations.size(), 9u);
  EXPECT_EQ(associations[0], "CMF\tNo file association");
  EXPECT_EQ(associations[2], "HTM\tbrowse %u  (browser.desktop)");
  EXPECT_EQ(associations[3], "PDF\tNo file association");
  EXPECT_EQ(associations[7], "TXT\ted %f  (ed.desktop)");

  const auto path = SectionLines(report, 5);
  EXPECT_EQ(path[0], "Current path is:");
  EXPECT_EQ(path[1], m.Path("bin2") + ":");
  EXPECT_EQ(path[2], "    " + m.Path("bin1"));
  EXPECT_THAT(path, Contains("First-on-path MERKA.EXE  \t" + m.Path("bin2/MERKA.EXE") +
                             "   GFortran(Kalvimo) "
                             " LAAunknown Win?"));
  EXPECT_THAT(path, Contains("First-on-path LTG.BAT    \t" + m.Path("bin2/ltg.bat")));
  EXPECT_THAT(path, Contains("First-on-path DRAVEX.EXE \tis not on the path.")); // not runnable
  EXPECT_THAT(path, Contains("First-on-path IFORTVARS.BAT\tis not on the path."));

  const auto folders = SectionLines(report, 6);
  EXPECT_THAT(folders, Contains("Home:                  \t" + m.Path("home/u")));
  EXPECT_THAT(folders, Contains("Configuration:         \t" + m.Path("home/u/.config")));
  EXPECT_THAT(folders, Contains("Runtime:               \t/run/user/1000"));
  EXPECT_THAT(folders, Contains("Desktop:               \t" + m.Path("home/u") + "/Desk"));
  EXPECT_THAT(folders, Contains("Music:                 \t/srv/music"));
  EXPECT_THAT(folders, Contains("Videos:                \tnot set"));
}

TEST_F(DiagnosticsReportTest, SettingsSectionsEnvironmentIniAndProgramFolder) {
  DiagnosticsReport report = BuildDiagnosticsReport(facts, view);
  const auto registry = SectionLines(report, 7);
  EXPECT_EQ(registry[0], "Linux has no registry; the per-user values are kept in " +
                             m.Path("home/u/.config/KALVIMO/KALVIMO.ini"));
  EXPECT_EQ(registry[1], "User can write to the per-user values file");
  EXPECT_FALSE(fs::exists(m.Path("home/u/.config/KALVIMO"))); // the test leaves nothing behind
  EXPECT_THAT(registry, Contains("Some variables from the process environment:"));
  EXPECT_THAT(registry, Contains("    KVDIR                  \t is set to: /opt/kv"));
  EXPECT_THAT(registry, Contains("    COMSPEC                \t is NOT set"));
  EXPECT_THAT(registry, Contains("process environment PATH is: " + m.Path("bin2") + ":"));
  EXPECT_THAT(registry, Contains("Some variables from the system environment file /etc/environment:"));
  EXPECT_THAT(registry, Contains("system environment file /etc/environment PATH is: /usr/bin:"));
  EXPECT_EQ(std::count(registry.begin(), registry.end(), "    KVDIR                  \t is set to: /opt/kv"),
            2);

  EXPECT_EQ(SectionLines(report, 8), view.environment);
  EXPECT_EQ(SectionLines(report, 9), std::vector<std::string>{"Cannot find INI file: " + facts.iniName});
  m.Put("prog/Minimal/Minimal.ini", "[Options]\r\nPlayMusic=0\r\n");
  EXPECT_EQ(SectionLines(BuildDiagnosticsReport(facts, view), 9),
            (std::vector<std::string>{"Complete Contents of INI file: " + facts.iniName, "[Options]",
                                      "PlayMusic=0"}));
  facts.iniName.clear();
  EXPECT_EQ(SectionLines(BuildDiagnosticsReport(facts, view), 9), std::vector<std::string>{"No INI file"});

  const auto files = SectionLines(report, 11);
  ASSERT_EQ(files.size(), 3u); // the folder Minimal is not a file
  EXPECT_THAT(files[0], MatchesRegex("[0-9]{2}-[A-Z][a-z]{2}-[0-9]{4} [0-9]{2}:[0-9]{2}   \t"
                                     "              5\tnotes.txt"));
  EXPECT_THAT(files[1], MatchesRegex(".*\t             13\torvane.html")); // not a program: no signature
  EXPECT_THAT(files[2], MatchesRegex(".*   \t             17\tsuite.exe\tIntel Fortran  LAAunknown Win\\?"));
}

TEST_F(DiagnosticsReportTest, MissingAndOddSystemFilesSayWhatIsNotKnown) {
  SystemView empty;
  empty.root = m.Path("nothing-here");
  facts.programDir = m.Path("no-such-folder");
  const DiagnosticsReport bare = BuildDiagnosticsReport(facts, empty);
  EXPECT_EQ(bare.sections, 11);
  const auto machine = SectionLines(bare, 2);
  EXPECT_THAT(machine, Contains("Operating system: cannot read /proc/sys/kernel"));
  EXPECT_THAT(machine, Contains("unknown megabytes physical RAM [TotalPhys]"));
  EXPECT_THAT(machine, Contains("Mounted file systems: cannot read /proc/self/mounts"));
  EXPECT_THAT(machine, Contains("Logical CPUs: cannot read /proc/cpuinfo"));
  EXPECT_THAT(machine, Contains(MatchesRegex("User name: .+")));
  EXPECT_THAT(SectionLines(bare, 6), Contains(HasSubstr("the desktop's own folders")));
  EXPECT_THAT(SectionLines(bare, 5), Contains("PATH is not set"));
  EXPECT_THAT(SectionLines(bare, 5), Contains("First-on-path MERKA.EXE  \tis not on the path."));
  EXPECT_THAT(SectionLines(bare, 7), Contains("No system environment file /etc/environment"));
  EXPECT_EQ(SectionLines(bare, 10), std::vector<std::string>{"RunningProcessesList failed"});
  EXPECT_THAT(SectionLines(bare, 11), Contains(HasSubstr("Cannot list the folder: ")));

  // Files that are there but hold nonsense.
  m.Put("proc/meminfo", "MemTotal: lots\nMemAvailable:\n:::\n");
  m.Put("proc/self/status", "VmRSS:");
  m.Put("proc/cpuinfo", "processor : x\nvendor_id :\ncpu family : 1e\nflags :\n\n\n");
  m.Put("proc/self/mounts", "\n\\\nonly-one-field\n/dev/x /\\04 ext4\n/dev/y /\\777 ext4 rw 0 0\n");
  m.Put("proc/sys/kernel/osrelease", "x.y.z\n");
  m.Put("proc/7/cmdline", std::string(5000, '\x02'));
  m.Put("etc/environment", "=\n==\n\"\n");
  m.Put("usr/share/mime/globs2", "::\n1:2\n:*.:\n50:text/plain:*.txt:cs:extra\n");
  m.Put("usr/share/applications/defaults.list", "[Default Applications]\ntext/plain=;;;\n");
  fs::create_directories(m.Path("proc/8/cmdline"));
  const DiagnosticsReport odd = BuildDiagnosticsReport(facts, view);
  EXPECT_EQ(odd.sections, 11);
  const auto oddMachine = SectionLines(odd, 2);
  EXPECT_THAT(oddMachine, Contains("unknown megabytes physical RAM [TotalPhys]"));
  EXPECT_THAT(oddMachine,
              Contains("Linux 0.0.0 (x.y.z) #1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)"));
  EXPECT_THAT(oddMachine, Contains("Linux detected 1 logical CPU"));
  EXPECT_THAT(oddMachine, Contains("Instruction sets: none reported"));
  EXPECT_THAT(SectionLines(odd, 4), Contains("TXT\tNo file association"));
  EXPECT_THAT(SectionLines(odd, 10), Contains("7\t\t")); // control characters only
  EXPECT_THAT(SectionLines(odd, 10), Contains("8\t\t")); // a command line that cannot be read
}

} // namespace
} // namespace pelorin
