#!/bin/sh
# Sets Pelorin up on a Debian 12 machine and then runs it or its tests:
#   sh scripts/setup.sh run    install what is missing, build, install the program folder into dist/, then start
#                              the window program dist/pelorin when there is a display, else run the main job
#                              (its runs go to runs/main-job)
#   sh scripts/setup.sh test   the same set-up, then every test
# Both are idempotent: a second run only rebuilds what changed.
set -eu
mode=${1:-run}
cd "$(dirname "$0")/.."
top=$(pwd)

packages="cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-charts-dev qt6-svg-dev qt6-multimedia-dev libzip-dev libeigen3-dev libsuitesparse-dev zip unzip
  python3 xvfb xauth"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing
  else
    echo "These Debian packages are missing; install them as root with:" >&2
    echo "  apt-get update && apt-get install -y$missing" >&2
    exit 1
  fi
fi

if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_WERROR=ON
fi
cmake --build build
cmake --install build --prefix "$top/dist" --strip > /dev/null

case "$mode" in
  run)
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
      echo "Starting the window program $top/dist/pelorin"
      exec "$top/dist/pelorin"
    fi
    sh scripts/main_job.sh "$top/dist" "$top/runs/main-job"
    echo
    echo "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the main job ran without a window."
    echo "On a desktop, start the window program with: $top/dist/pelorin"
    ;;
  test)
    ctest --test-dir build -j "$(nproc)" --output-on-failure --timeout 900
    ;;
  *)
    echo "usage: sh scripts/setup.sh run|test" >&2
    exit 2
    ;;
esac
