#!/usr/bin/env bash
# Starts the real game the way a player does, in throw-away folder trees, and checks what it
# prints, what it shows and what it leaves behind. Needs an X display (the test command runs
# everything under Xvfb). Usage: game_smoke.sh <driftline executable> <assets folder>
set -u
game=$(realpath "$1")
assets=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Installs the game at $1/bin, with an assets folder beside bin unless $2 is "no-assets".
install_game() {
    mkdir -p "$1/bin"
    cp "$game" "$1/bin/driftline"
    [ "${2:-}" = no-assets ] || ln -s "$assets" "$1/assets"
}

window_title() {
    xwininfo -root -tree 2>/dev/null | grep -o '"Driftline Prime ([^"]*) - FPS: [0-9]*"' | head -n 1
}

# Starts the game in the background, waits for the frame-rate title, then sends signal $2.
# Leaves the console output in $1/console.txt and the exit status in $1/status.
run_until_title() {
    local dir=$1 signal=$2
    shift 2
    env "$@" "$dir/bin/driftline" </dev/null >"$dir/console.txt" 2>&1 &
    local pid=$! title="" waited=0
    while [ -z "$title" ] && [ $waited -lt 300 ] && kill -0 "$pid" 2>/dev/null; do
        sleep 0.1
        waited=$((waited + 1))
        title=$(window_title)
    done
    [ -n "$title" ] || fail "no frame-rate title in $dir within 30 s"
    kill "-$signal" "$pid" 2>/dev/null
    wait "$pid"
    echo $? >"$dir/status"
}

# The eleven lines, byte for byte, of a first run at the default settings.
printf '[Window]\nWidth = 640\nHeight = 480\nRefreshRate = 0\nBrightness = 1\nPresentation = windowed\nVSync = false\n\n[Game]\nDifficulty = hard\n\n' >"$work/expected.ini"

echo "case: no assets folder above the executable"
install_game "$work/lost" no-assets
output=$(timeout 20 "$work/lost/bin/driftline" </dev/null 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
[ "$output" = "excp: kes::App::makeAssetsPath - Couldn't find assetsPath :(" ] || fail "printed: $output"

echo "case: a locale the system does not have"
install_game "$work/foreign"
output=$(LC_ALL=xx_YY.UTF-8 timeout 20 "$work/foreign/bin/driftline" </dev/null 2>&1)
[ "$output" = "$(printf '%s\n%s' \
    "ERROR: Failed to load '$work/foreign/bin/settings.ini'. Using default values instead." \
    "excp: kes::App::getLocale - failed to query user locale :(")" ] || fail "printed: $output"
# Construction failed after the settings were loaded: they are still written back.
[ -f "$work/foreign/bin/settings.ini" ] || fail "no settings file after a failed start"

echo "case: first start without a settings file, closed with Ctrl+C"
install_game "$work/fresh"
run_until_title "$work/fresh" INT ALSOFT_DRIVERS=null
[ "$(cat "$work/fresh/status")" = 0 ] || fail "exit status $(cat "$work/fresh/status")"
grep -qxF "ERROR: Failed to load '$work/fresh/bin/settings.ini'. Using default values instead." \
    "$work/fresh/console.txt" || fail "no load-failure line: $(cat "$work/fresh/console.txt")"
cmp -s "$work/expected.ini" "$work/fresh/bin/settings.ini" ||
    fail "settings written: $(cat "$work/fresh/bin/settings.ini")"
grep -q "OpenGL-Error\|GLFW-Error" "$work/fresh/console.txt" && fail "diagnostics: $(cat "$work/fresh/console.txt")"

echo "case: no sound device, easy difficulty in the file, closed with SIGTERM"
install_game "$work/quiet"
printf '[Window]\nWidth = 320\nHeight = 200\n[Game]\nDifficulty = easy\n' >"$work/quiet/bin/settings.ini"
run_until_title "$work/quiet" TERM ALSOFT_DRIVERS=no-such-driver
[ "$(cat "$work/quiet/status")" = 0 ] || fail "exit status $(cat "$work/quiet/status")"
[ "$(grep -c 'No audio device found, running without sound' "$work/quiet/console.txt")" = 1 ] ||
    fail "no-sound line: $(cat "$work/quiet/console.txt")"
grep -qx "Width = 320" "$work/quiet/bin/settings.ini" || fail "width not kept"
grep -qx "Difficulty = hard" "$work/quiet/bin/settings.ini" || fail "difficulty not hard"

echo "case: a settings file of random bytes"
install_game "$work/garbage"
head -c 4096 /dev/urandom >"$work/garbage/bin/settings.ini"
run_until_title "$work/garbage" INT ALSOFT_DRIVERS=null
[ "$(cat "$work/garbage/status")" = 0 ] || fail "exit status $(cat "$work/garbage/status")"
grep -qx "Difficulty = hard" "$work/garbage/bin/settings.ini" || fail "garbage not rewritten"

echo "case: the settings file cannot be written"
install_game "$work/locked"
mkdir "$work/locked/bin/settings.ini"
run_until_title "$work/locked" INT ALSOFT_DRIVERS=null
[ "$(cat "$work/locked/status")" = 0 ] || fail "exit status $(cat "$work/locked/status")"
[ -d "$work/locked/bin/settings.ini" ] || fail "the folder in the file's place was touched"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all game runs behaved"
