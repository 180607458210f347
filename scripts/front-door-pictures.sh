#!/usr/bin/env bash
# Draws every screen of the front door (title, course, settings, controls with a prompt,
# countdown, pause, results) at 640 x 480 and 1920 x 1080 under the virtual display, through the
# GL test that also probes them, and copies the pictures into docs/. Run after scripts/test.sh
# has built the tests. Usage: scripts/front-door-pictures.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DRIFTLINE_BUILD_DIR:-$root/build}
cd "$build"
rm -f test-output/front-door-*.jpg
ALSOFT_DRIVERS=null xvfb-run -a -s "-screen 0 1920x1080x24" \
    ./tests/driftline_gl_tests --gtest_filter='*FrontDoorPictures*'
cp test-output/front-door-*.jpg "$root/docs/"
ls "$root"/docs/front-door-*.jpg
