#!/usr/bin/env bash
# Draws every screen of the front door (title, course, settings, controls with a prompt,
# countdown, pause, results) at 640 x 480, 1920 x 1080 and 3840 x 2160, in English and in German,
# and the chase (the table of ghosts, two ghosts in flight, the results with a medal, the course
# list with medals, the statistics) at 640 x 480 and 1920 x 1080, under a virtual display as
# large as the largest window, through the GL tests that also probe them, and copies the
# pictures into docs/. The pictures at 3840 x 2160 take some minutes on a software renderer.
# Run after scripts/test.sh has built the tests. Usage: scripts/front-door-pictures.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DRIFTLINE_BUILD_DIR:-$root/build}
cd "$build"
rm -f test-output/front-door-*.jpg test-output/chase-*.jpg
ALSOFT_DRIVERS=null LANGUAGE=en DRIFTLINE_ALL_PICTURES=1 xvfb-run -a -s "-screen 0 3840x2160x24" \
    ./tests/driftline_gl_tests --gtest_filter='*FrontDoorPictures*:*ChasePictures*'
cp test-output/front-door-*.jpg test-output/chase-*.jpg "$root/docs/"
ls "$root"/docs/front-door-*.jpg "$root"/docs/chase-*.jpg
