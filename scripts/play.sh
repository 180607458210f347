#!/usr/bin/env bash
# The first command: installs what is missing, builds, and starts the game.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: start the game from a desktop session (build/driftline)." >&2
    exit 1
fi
exec "$root/build/driftline"
