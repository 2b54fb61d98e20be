#!/bin/sh
# The main job: what the first README command runs once the program folder is installed in $1. It solves the
# demo model Minimal with the simulation its settings hold, through the suite's programs in the program folder
# and with the files the application writes for a solve: the model executable on the simulation and the
# post-simulation, then praxola.exe, mirdaa.exe and praxola.exe again. It prints the accuracy summary and some
# results, and fails when any program reports a failure.
set -eu
dist=$(cd "$1" && pwd)
model=$dist/Minimal
out=$model/OutPut
work=$dist/work
sim=$out/sim1
mkdir -p "$out" "$work"
rm -f "$work"/*.rpt "$work"/*.log

cat > "$sim.cmf" <<EOF
Auxiliary files = $model/Minimal ;
File BASEDATA = $model/basedata.har ; ! Base data: factor payments by industry
Solution file = sim1 ;
Updated file BASEDATA = sim1.upd ;
File SUMMARY = sim1.ou1 ;
Display file = sim1.dis ;
Extrapolation Accuracy File = yes ;
dpn = yes ;
exogenous QFAC INCOME ;
rest endogenous ;
Verbal Description =
Ten percent more labour and five percent more income;
Method = Gragg;
Steps = 2 4 6;
subintervals = 1;
automatic accuracy = no;
 Shock QFAC("labour") = 10 ;
 Shock INCOME = 5 ;
 Subtotal QFAC = more labour ;
 Subtotal INCOME = more income ;
EOF
cat > "$out/sim1ps.cmf" <<EOF
Auxiliary files = $model/Minimal ;
File BASEDATA = $sim.upd ;
Display file = $out/sim1ps.dis ;
File SUMMARY = $out/sim1ps.ou1 ;
! No equations - hence no simulation
neq = yes ;
nas = yes ;
dpn = yes ;
EOF
printf 'rpt\n%s\nCMF\n%s\n' "$work/solve.rpt" "$sim.cmf" > "$work/solve.sti"
printf 'rpt\n%s\nCMF\n%s\n' "$work/postsim.rpt" "$out/sim1ps.cmf" > "$work/postsim.sti"
printf 'bat\nrpt\n%s\nwsi\nshl\n\n%s\nt\nn\n%s\n \n \n' "$work/praxol.rpt" "$sim" "$work/xx.xx" \
  > "$work/praxol.inp"
printf 'bat\nrpt\n%s\n\ns   ! Solution file\n%s\ns   ! Output SS map file\n%s\nx   ! exog vars in map\n' \
  "$work/mirdashk.rpt" "$sim" "$work/ssashk.map" > "$work/mirdashk.inp"
printf 'bat\nshk\nnlv\nrpt\n%s\n\n%s\nc\ny  ! SS map file to use\n%s\n%s\n' \
  "$work/praxolsh.rpt" "$sim" "$work/ssashk.map" "$work/ssashk.lis" > "$work/praxolsh.inp"

# Each job must end with exit code 0 and a report that says "ok".
check() {
  if ! grep -qx 'Status=ok' "$work/$1.rpt" 2>/dev/null; then
    echo "main job: $2 failed; its log follows" >&2
    cat "$work/$1.log" >&2 || true
    exit 1
  fi
}
echo "Solving model Minimal: $sim.cmf"
(cd "$out" && "$model/Minimal.exe" -sti "$work/solve.sti" -lon "$work/solve.log") || true
check solve "the simulation"
(cd "$work" && "$model/Minimal.exe" -sti "$work/postsim.sti" -lon "$work/postsim.log") || true
check postsim "the post-simulation run"
for job in praxol:praxola mirdashk:mirdaa praxolsh:praxola; do
  name=${job%%:*}
  program=${job##*:}
  (cd "$work" && "$dist/$program.exe" -sti "$work/$name.inp" -lon "$work/$name.log") || true
  check "$name" "$program.exe ($name.inp)"
done

"$dist/kvdump" acc "$work/solve.log" 1
echo
"$dist/kvdump" sli "$sim.sli"
echo
"$dist/kvdump" har "$sim.sol" XOUT
echo
"$dist/kvdump" har "$sim.sol" PCOM
echo
cat "$work/ssashk.lis"
echo
echo "Main job done: the solution is in $sim.sol, $sim.sli and the levels and subtotal files beside them."
