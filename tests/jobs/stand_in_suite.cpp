#include "stand_in_suite.h"

#include <filesystem>
#include <sys/stat.h>

namespace pelorin::test {

namespace {

// The model's solver (see the header for its control files).
const char* const kSolver = R"SH(#!/bin/sh
ctl='CONTROL'
sti=$2; log=$4
rpt=$(sed -n 2p "$sti"); cmf=$(sed -n 4p "$sti")
echo "solver $*" >> "$ctl/calls"
mode=$(cat "$ctl/solver" 2>/dev/null)
case "$sti" in
  *postsim.sti) mode=$(cat "$ctl/postsim" 2>/dev/null) ;;
  *clcheck.sti) mode=$(cat "$ctl/check" 2>/dev/null) ;;
esac
if [ -f "$ctl/hold" ]; then while [ ! -f "$ctl/release" ]; do sleep 0.02; done; fi
case "$sti" in *postsim.sti) [ -f "$ctl/holdpost" ] && while [ ! -f "$ctl/release" ]; do sleep 0.02; done ;; esac
{ echo "Solving with $cmf"; cat "$ctl/log" 2>/dev/null; } > "$log"
case "$mode" in
  fail) echo " %% Error: the matrix is singular" >> "$log"
        printf '[Result]\nStatus=error\nGPVer Large=12\n' > "$rpt"; exit 1 ;;
  noreport) ;;
  *) printf '[Result]\nStatus=ok\nRelease=test\nGPVer Large=12\n' > "$rpt" ;;
esac
case "$sti" in
  *solve.sti) [ "$mode" = nosolution ] || : > "${cmf%.cmf}.sl4" ;;
  *clcheck.sti) [ "$mode" = nocli ] || cp "$ctl/cli" "${cmf%.cmf}.cli" ;;
esac
exit 0
)SH";

// The converter and the sensitivity preparation.
const char* const kConverter = R"SH(#!/bin/sh
ctl='CONTROL'
inp=$2; log=$4
name=$(basename "$inp" .inp)
echo "$(basename "$0") $*" >> "$ctl/calls"
rpt=$(awk 'prev=="rpt" {print; exit} {prev=$0}' "$inp")
echo "$name log" > "$log"
if [ "$(cat "$ctl/$name" 2>/dev/null)" = fail ]; then
  echo " Error: cannot read the solution" >> "$log"
  printf '[Result]\nStatus=error\n' > "$rpt"; exit 1
fi
printf '[Result]\nStatus=ok\nGPVer Large=12\n' > "$rpt"
)SH";

// A solver log with the accuracy blocks of one subinterval and the overall results, one updated file.
const char* const kAccuracyLog = R"( Below are for levels values of all endogenous variables.
  10 results are judged accurate to 6 figures.
  2 results are judged accurate to 4 figures.
 (end)
 NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE "DATA0"
  5 results are judged accurate to 5 figures.
 (end)
 ACCURACY SUMMARY FOR OVERALL RESULTS
 Below are for overall levels values
  12 results are judged accurate to 6 figures.
 (end)
 NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE "DATA0"
  5 results are judged accurate to 6 figures.
 (end)
)";

void Install(const InstalledProgram& program, const std::string& relative, std::string script,
             const std::string& control) {
  script.replace(script.find("CONTROL"), 7, control);
  program.Write(relative, script);
  ::chmod((program.programDir + "/" + relative).c_str(), 0755);
}

} // namespace

void InstallStandInSuite(const InstalledProgram& program, const std::string& control) {
  std::filesystem::create_directories(control);
  Install(program, "Minimal/Minimal.exe", kSolver, control);
  Install(program, "praxola.exe", kConverter, control);
  Install(program, "mirdaa.exe", kConverter, control);
  const std::string relative = std::filesystem::relative(control + "/log", program.dir.Path()).string();
  program.dir.Write(relative, kAccuracyLog);
}

} // namespace pelorin::test
