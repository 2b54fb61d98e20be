#!/bin/sh
# The main job: what the first README command runs once the program folder is installed in $1.
set -eu
dist=$1
if [ -x "$dist/kvdump" ] && [ -f "$dist/demo.har" ]; then
  "$dist/kvdump" har "$dist/demo.har"
else
  echo "Program folder installed in $dist"
fi
