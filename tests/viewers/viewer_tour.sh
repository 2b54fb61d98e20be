#!/bin/sh
# The viewers' tour: a picture of each viewer on the demo models' files, taken on a real X server.
#   sh tests/viewers/viewer_tour.sh DIR    runs the tour program under xvfb-run and leaves the PNGs in DIR
# The build folder is "build" at the top of the checkout unless PELORIN_BUILD_DIR names another.
set -eu
out=${1:?usage: sh tests/viewers/viewer_tour.sh DIR}
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${PELORIN_BUILD_DIR:-$top/build}
if ! command -v xvfb-run > /dev/null; then
  echo "viewer_tour.sh: xvfb-run is missing (Debian package xvfb)" >&2
  exit 1
fi
mkdir -p "$out"
QT_QPA_PLATFORM=xcb PELORIN_BUILD_DIR="$build" xvfb-run -a -s "-screen 0 1400x1000x24" \
  "$build/tests/viewers/viewer_tour" "$out"
