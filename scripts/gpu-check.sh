#!/usr/bin/env bash
# The check for a machine with a real graphics card: builds, then runs the demo at 1920x1080
# for a fixed number of passes with every render pass timed on the GPU, and prints the GL
# vendor, renderer and version, the profile, the GL debug message count and the transparency
# pool's size and peak use. Needs no network once the packages are installed; a few minutes.
# Usage: scripts/gpu-check.sh [passes, default 600]
#
# It needs a display on the card. In a desktop session that is there already. On a headless
# machine, start an X server on the card first and point DISPLAY at it, for example:
#   NVIDIA:     nvidia-xconfig --allow-empty-initial-configuration --virtual=1920x1080 \
#                   -o /tmp/xorg.conf && Xorg :1 -config /tmp/xorg.conf &
#               DISPLAY=:1 scripts/gpu-check.sh
#   AMD, Intel: Xorg :1 & (the modesetting driver drives the card through Mesa), then the same.
# Xvfb is no substitute: it gives Mesa's software rasteriser, which the script names as such.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
passes=${1:-600}
build=${DRIFTLINE_BUILD_DIR:-$root/build}

if [ -z "${DISPLAY:-}" ]; then
    sed -n '/^# It needs a display/,/^# Xvfb/p' "$0" | sed 's/^# \{0,1\}//'
    echo "gpu-check: no display (DISPLAY is not set)" >&2
    exit 2
fi
"$root/scripts/setup.sh" >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
echo "gpu-check: $passes passes at 1920x1080 with GPU timing"
status=0
"$build/driftline-demo" --size 1920x1080 --frames "$passes" --gpu-timing --screenshot-every 0 \
    --screenshots "$out" >"$out/console.txt" 2>&1 || status=$?
# The profile from its first heading on; the race's own lines are in the demo's console.
sed -n '/^== Start-up ==/,$p' "$out/console.txt" | grep -v -e '^Screenshots:' -e '^  /' \
    -e '^Profile written'
if grep -q -e "renderer: llvmpipe" -e "renderer: softpipe" "$out/console.txt"; then
    echo "gpu-check: note: this is Mesa's software rasteriser, not a graphics card"
fi
[ "$status" -eq 0 ] || { echo "gpu-check: the demo ended with status $status"; tail -n 20 "$out/console.txt"; exit 1; }
if ! grep -q "GL debug messages: [0-9]* (high 0, medium 0," "$out/console.txt"; then
    echo "gpu-check: FAIL: the driver reported errors or undefined behaviour (see above)"
    exit 1
fi
echo "gpu-check: passed"
