#!/usr/bin/env bash
# Installs the build into a fresh prefix as `cmake --install` does and checks the installation:
# every file in its place (Debian's games layout), the desktop entry and the AppStream metadata
# valid, and the installed demo, started from another folder with a home of its own, finding
# its data from its own folder, keeping the settings in the home's XDG folders, saying where
# it keeps them, printing no "Error:" line and writing nothing under the prefix.
# Needs an X display. Usage: install_check.sh <build folder>
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
prefix="$work/prefix"
app_id=org.driftlineprime.DriftlinePrime

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for file in games/driftline games/driftline-demo \
    share/games/driftline-prime/shaders/pbr_ps.glsl \
    share/games/driftline-prime/courses/prime-loop.course \
    share/games/driftline-prime/meshes/plane2.ksx \
    share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
    share/mime/packages/$app_id.xml \
    share/icons/hicolor/16x16/apps/$app_id.png share/icons/hicolor/512x512/apps/$app_id.png \
    share/doc/driftline-prime/README.md share/doc/driftline-prime/LICENSE; do
    [ -e "$prefix/$file" ] || fail "not installed: $file"
done
find "$prefix" -name '*.bad*' | grep -q . && fail "a moved-aside file was installed"
desktop-file-validate "$prefix/share/applications/$app_id.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" >"$work/as.txt" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/as.txt")"

# The installed demo, from /tmp, with a home of its own.
find "$prefix" -type f -printf '%P %s %T@\n' | sort >"$work/before.txt"
home="$work/home"
mkdir -p "$home" "$work/elsewhere"
(cd "$work/elsewhere" && env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$home" \
    "$prefix/games/driftline-demo" --frames 30 --size 320x240 --screenshots shots \
    --screenshot-every 0 >"$work/console.txt" 2>&1) || fail "the installed demo failed: $(tail -5 "$work/console.txt")"
[ -f "$home/.config/driftline-prime/settings.ini" ] || fail "no settings in ~/.config/driftline-prime"
[ -d "$home/.local/share/driftline-prime" ] || fail "no ~/.local/share/driftline-prime"
grep -qF "Settings are kept in $home/.config/driftline-prime/settings.ini, records and ghosts in $home/.local/share/driftline-prime" \
    "$work/console.txt" || fail "where the files are kept was not said"
grep -q "^Error:" "$work/console.txt" && fail "an Error: line: $(grep -m1 '^Error:' "$work/console.txt")"
[ -f "$work/elsewhere/shots/frame-000002.png" ] || fail "no screenshot where it was asked for"
find "$prefix" -type f -printf '%P %s %T@\n' | sort >"$work/after.txt"
cmp -s "$work/before.txt" "$work/after.txt" ||
    fail "the run changed the installation: $(diff "$work/before.txt" "$work/after.txt" | head -3)"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "installed, valid, and run from elsewhere with the player's files in the home"
