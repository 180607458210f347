#!/usr/bin/env bash
# Builds the Debian package driftline-prime_<version>_<arch>.deb: installs what is missing,
# configures a release build of the game alone (no tests) for the prefix /usr in
# build-package/ (or $DRIFTLINE_PACKAGE_BUILD_DIR), builds it and lets CPack make the package,
# its dependencies computed from the binaries by dpkg-shlibdeps. The package is checked with
# lintian, which must report no error and no warning (the script fails otherwise, with its
# report), then copied into the folder given (default: the checkout) and its path printed.
# Usage: scripts/package.sh [output folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m -- "${1:-$root}")
build=${DRIFTLINE_PACKAGE_BUILD_DIR:-$root/build-package}

"$root/scripts/install-packages.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DDRIFTLINE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"
rm -f "$build"/driftline-prime_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
mkdir -p "$out"
package=$(ls "$build"/driftline-prime_*.deb)
if ! report=$(lintian --fail-on error,warning "$package" 2>/dev/null); then
    echo "lintian found problems in $package:" >&2
    echo "$report" >&2
    exit 1
fi
cp "$package" "$out/"
echo "$out/$(basename "$package")"
