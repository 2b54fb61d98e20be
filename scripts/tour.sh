#!/bin/sh
# The tour of the window program: a picture of each screen, taken on a real X server.
#   sh scripts/tour.sh DIR     installs the program folder from the build into a temporary place, runs the tour
#                              under xvfb-run and leaves the PNGs and the measured figures (figures.txt) in DIR
# The build folder is "build" beside this script's folder unless PELORIN_BUILD_DIR names another.
set -eu
out=${1:?usage: sh scripts/tour.sh DIR}
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PELORIN_BUILD_DIR:-$top/build}
if ! command -v xvfb-run > /dev/null; then
  echo "tour.sh: xvfb-run is missing (Debian package xvfb)" >&2
  exit 1
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/*.png "$out"/figures.txt
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prog" > "$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }

# The real program on a folder of one model (no chooser): its time to a painted window and its idle memory.
mkdir "$work/one"
for entry in "$work/prog"/*; do
  case $(basename "$entry") in
    Trade|Trade.zip) ;;
    *) cp -r "$entry" "$work/one/" ;;
  esac
done
cat > "$work/measure.sh" <<'SCRIPT'
#!/bin/sh
set -eu
work=$1
out=$2
tour=$3
export QT_QPA_PLATFORM=xcb
# Start-up five times over the folder of two models, the chooser answered at once: the median is the figure.
for i in 1 2 3 4 5; do "$tour" "$work/prog" --start; done 2> /dev/null | sort -n -k2 > "$work/starts"
echo "start to painted main window (two models, chooser answered), median of five:" \
  "$(sed -n 3p "$work/starts" | sed 's/^painted //')" > "$out/figures.txt"
"$tour" "$work/prog" "$out"
cat "$work/starts" >> "$out/figures.txt"
PELORIN_EVENT_LOG="$work/one.log" "$work/one/pelorin" &
pid=$!
i=0
while ! grep -q painted "$work/one.log" 2> /dev/null && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
sleep 2
rss=$(awk '/VmRSS/ { print $2 / 1024 }' /proc/$pid/status)
kill $pid
wait $pid 2> /dev/null || true
painted=$(sed -n 's/^painted //p' "$work/one.log")
echo "pelorin itself, one model: start to painted main window $painted, idle resident memory $rss MB" \
  >> "$out/figures.txt"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors" >> "$out/figures.txt"
cat "$out/figures.txt"
SCRIPT
xvfb-run -a -s "-screen 0 1280x1024x24" sh "$work/measure.sh" "$work" "$out" "$build/tests/ui/pelorin_tour"
echo "tour pictures in $out"
