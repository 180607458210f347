#!/usr/bin/env bash
# The first command: installs what is missing, builds, and starts the game. On a machine
# without a display it flies one round of the autopilot demo under a virtual X server instead,
# prints the race lines and the profile, and saves screenshots. Arguments given to this script
# go to that demo (for example `--frames 120` for a short look).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build=${DRIFTLINE_BUILD_DIR:-$root/build}
# Large allocations on transparent huge pages: the software rasteriser keeps every image and
# buffer in system memory, and faulting it in 4 KiB at a time is a third of the start-up there
# (see the README's Performance section). Read by the C library, not by the game.
export GLIBC_TUNABLES="${GLIBC_TUNABLES:+$GLIBC_TUNABLES:}glibc.malloc.hugetlb=1"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    shots="$build/demo-output"
    echo "No display found: flying one round of the demo under Xvfb instead (screenshots in $shots)."
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$build/driftline-demo" \
        --rounds 1 --size 400x300 --screenshots "$shots" --screenshot-every 300 "$@"
fi
exec "$build/driftline"
