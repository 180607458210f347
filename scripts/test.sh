#!/usr/bin/env bash
# The second command: installs what is missing, builds with warnings as errors, and runs the
# whole test suite headless: a virtual X display with Mesa's software OpenGL, and OpenAL
# Soft's null driver standing in for a sound card. The X server must not reset when its last
# client leaves: each test is a process of its own, and one starting during a reset finds no
# display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" -DDRIFTLINE_WARNINGS_AS_ERRORS=ON -DDRIFTLINE_BUILD_TESTS=ON
cd "${DRIFTLINE_BUILD_DIR:-$root/build}"
ALSOFT_DRIVERS=null xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" \
    ctest --output-on-failure --timeout 300 "$@"
