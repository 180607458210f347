#!/usr/bin/env bash
# Installs the Debian packages that are missing (asks apt only when something is), then
# configures and builds the game and its tests in build/ (or in $DRIFTLINE_BUILD_DIR). A new
# build folder gets the RelWithDebInfo build type; an existing one keeps the build type and
# options its maintainer chose, changed only by the options given here.
# Usage: scripts/setup.sh [extra cmake options]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

mapfile -t wanted < <(grep -v -e '^#' -e '^$' "$root/scripts/packages.txt")
missing=()
for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

build=${DRIFTLINE_BUILD_DIR:-$root/build}
defaults=()
[ -f "$build/CMakeCache.txt" ] || defaults=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
cmake -S "$root" -B "$build" "${defaults[@]}" "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
