#!/usr/bin/env bash
# Installs the Debian packages that are missing (asks apt only when something is), then
# configures and builds the game and its tests in build/ (or in $DRIFTLINE_BUILD_DIR). A new
# build folder gets the RelWithDebInfo build type; an existing one keeps the build type and
# options its maintainer chose, changed only by the options given here.
# Usage: scripts/setup.sh [extra cmake options]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-packages.sh"

build=${DRIFTLINE_BUILD_DIR:-$root/build}
defaults=()
[ -f "$build/CMakeCache.txt" ] || defaults=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
cmake -S "$root" -B "$build" "${defaults[@]}" "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
