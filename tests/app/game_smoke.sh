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
    xwininfo -root -tree 2>/dev/null | grep -m1 '"Driftline Prime (' >"$dir/window"
    kill "-$signal" "$pid" 2>/dev/null
    wait "$pid"
    echo $? >"$dir/status"
}

# The eleven lines, byte for byte, of a first run at the default settings; the game's own
# sections follow them.
printf '[Window]\nWidth = 640\nHeight = 480\nRefreshRate = 0\nBrightness = 1\nPresentation = windowed\nVSync = false\n\n[Game]\nDifficulty = hard\n\n' >"$work/expected.ini"
printf '[Graphics]\nQuality = auto\nRenderScale = 1\n' >"$work/expected-graphics.ini"

# The default settings as written: the eleven lines first, then the graphics section.
default_settings_written() {
    head -n 11 "$1" | cmp -s "$work/expected.ini" - &&
        tail -n +12 "$1" | head -n 3 | cmp -s "$work/expected-graphics.ini" -
}

# A failed start is a failure: status 1. Started without a terminal, it does not wait for a
# key (the timeout would end it with 124).
echo "case: no assets folder above the executable"
install_game "$work/lost" no-assets
output=$(timeout 20 "$work/lost/bin/driftline" </dev/null 2>&1)
status=$?
[ "$status" -eq 1 ] || fail "exit status $status"
[ "$output" = "excp: kes::App::makeAssetsPath - Couldn't find assetsPath :(" ] || fail "printed: $output"

echo "case: a locale the system does not have, closed with Ctrl+C"
install_game "$work/foreign"
run_until_title "$work/foreign" INT ALSOFT_DRIVERS=null LC_ALL=xx_YY.UTF-8
[ "$(cat "$work/foreign/status")" = 0 ] || fail "exit status $(cat "$work/foreign/status")"
[ "$(grep -c "locale" "$work/foreign/console.txt")" = 1 ] ||
    fail "locale lines: $(cat "$work/foreign/console.txt")"
grep -qxF 'The locale the environment asks for (LC_ALL=xx_YY.UTF-8) is not installed; running in the "C" locale' \
    "$work/foreign/console.txt" || fail "no fallback line: $(cat "$work/foreign/console.txt")"
default_settings_written "$work/foreign/bin/settings.ini" || fail "settings not written in the C locale"

echo "case: first start without a settings file, closed with Ctrl+C"
install_game "$work/fresh"
run_until_title "$work/fresh" INT ALSOFT_DRIVERS=null
[ "$(cat "$work/fresh/status")" = 0 ] || fail "exit status $(cat "$work/fresh/status")"
grep -qxF "ERROR: Failed to load '$work/fresh/bin/settings.ini'. Using default values instead." \
    "$work/fresh/console.txt" || fail "no load-failure line: $(cat "$work/fresh/console.txt")"
default_settings_written "$work/fresh/bin/settings.ini" ||
    fail "settings written: $(cat "$work/fresh/bin/settings.ini")"
grep -q "OpenGL-Error\|GLFW-Error" "$work/fresh/console.txt" && fail "diagnostics: $(cat "$work/fresh/console.txt")"
grep -q "^Error:" "$work/fresh/console.txt" && fail "an Error: line at a normal start: $(grep -m1 "^Error:" "$work/fresh/console.txt")"

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
grep -q "^Couldn't save the settings to '$work/locked/bin/settings.ini' (it could not be read at start)" \
    "$work/locked/console.txt" || fail "no line about the unsaved settings: $(cat "$work/locked/console.txt")"

echo "case: Width = -640 in the settings file"
install_game "$work/negative"
printf '[Window]\nWidth = -640\n' >"$work/negative/bin/settings.ini"
run_until_title "$work/negative" INT ALSOFT_DRIVERS=null
[ "$(cat "$work/negative/status")" = 0 ] || fail "exit status $(cat "$work/negative/status")"
grep -qxF "Width = -640 is out of range (16 to 16384), using 640" "$work/negative/console.txt" ||
    fail "no line naming Width: $(cat "$work/negative/console.txt")"
grep -qx "Width = 640" "$work/negative/bin/settings.ini" || fail "the default width was not written back"
grep -q " 640x480+" "$work/negative/window" || fail "window: $(cat "$work/negative/window")"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all game runs behaved"
