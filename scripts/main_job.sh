#!/bin/sh
# The main job: what the first README command runs once the program folder is installed in $1. It solves both
# demo models with pelorin-solve, each run in its own folder under $2 (default: runs/main-job beside the
# program folder), so the program folder itself is only read: start-up restores the model from its settings,
# the Solve page's checks pass, the command and answer files are written, and the model executable (simulation
# and post-simulation), praxola.exe, mirdaa.exe and praxola.exe again run as the window program runs them. It
# prints each run's contents list and summary and some results, and fails when a solve fails.
set -eu
dist=$(cd "$1" && pwd)
runs=${2:-$(dirname "$dist")/runs/main-job}
# Earlier main jobs wrote their runs inside the program folder.
rm -rf "$dist/work/main-job"
rm -rf "$runs"
mkdir -p "$runs"
runs=$(cd "$runs" && pwd)
for model in Minimal Trade; do
  echo "== Solving $model"
  "$dist/pelorin-solve" "$model" --work "$runs/$model" --csv "$runs/$model/csv"
  echo
done

echo "== Minimal: factor supplies and prices of goods (cumulative, levels, subtotals)"
cat "$runs/Minimal/csv/QFAC.csv" "$runs/Minimal/csv/PCOM.csv"
echo
echo "== Minimal: the accuracy of the solution"
"$dist/kvdump" acc "$runs/Minimal/work/solve.log" 1
echo
echo "== Minimal: the shocks, as the sensitivity preparation lists them"
cat "$runs/Minimal/work/ssashk.lis"
echo
echo "Main job done: each solution, its converted files and CSV files are in $runs/MODEL."
