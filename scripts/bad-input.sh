#!/usr/bin/env bash
# Starts the real game once per kind of bad input (broken assets, broken settings, no display,
# no sound) in a throw-away copy of its installation, and prints a table: the case, the exit
# status, the console line that explains it, and whether the settings file came through. A
# game that starts is closed with Ctrl+C once its window shows its frame rate; a case passes
# when the game ends by itself or by that Ctrl+C, never by a crash signal or a hang, and the
# settings file is still there, and no GL error was raised: the game runs without a debug
# context, so Mesa is asked to print every error it raises (MESA_DEBUG=1), and a case fails on
# any such line. Runs itself under Xvfb when there is no display.
# Usage: scripts/bad-input.sh        (builds first, like the other scripts)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DRIFTLINE_BAD_INPUT_UNDER_X:-}" ]; then
    "$root/scripts/setup.sh" >/dev/null || exit 1
    if [ -z "${DISPLAY:-}" ]; then
        DRIFTLINE_BAD_INPUT_UNDER_X=1 exec xvfb-run -a -s "-screen 0 1280x720x24 -noreset" "$0"
    fi
fi
game="${DRIFTLINE_BUILD_DIR:-$root/build}/driftline"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
failures=0
settings_text=$'[Window]\nWidth = 320\nHeight = 240\nRefreshRate = 0\nBrightness = 1\nPresentation = windowed\nVSync = false\n\n[Game]\nDifficulty = hard\n\n'

# A fresh installation: bin/driftline, a copy of the assets and a small-window settings file.
install() {
    local dir
    dir="$work/$(echo "$1" | tr -c 'a-zA-Z0-9\n' '-')"
    mkdir -p "$dir/bin"
    cp "$game" "$dir/bin/driftline"
    cp -r "$root/assets" "$dir/assets"
    printf '%s' "$settings_text" >"$dir/bin/settings.ini"
    chmod -R a+rX "$dir"
    echo "$dir"
}

has_title() {
    xwininfo -root -tree 2>/dev/null | grep -q '"Driftline Prime ([^"]*) - FPS: [0-9]*"'
}

# Runs the installation in $1 with the command prefix in the remaining arguments; sets
# $status, $line and $console.
play() {
    local dir=$1
    shift
    MESA_DEBUG=1 "$@" "$dir/bin/driftline" </dev/null >"$dir/console.txt" 2>&1 &
    local pid=$! waited=0
    # Signals go to the game itself, also when it runs under another user's name.
    while kill -0 "$pid" 2>/dev/null && [ $waited -lt 600 ]; do
        if has_title; then
            pkill -INT -f "^$dir/bin/driftline"
            break
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    if [ $waited -ge 600 ]; then
        pkill -KILL -f "^$dir/bin/driftline"
        echo "(hung: killed after 60 s)" >>"$dir/console.txt"
    fi
    wait "$pid"
    status=$?
    console="$dir/console.txt"
    # The target zone has no texture files at all; those five lines are the normal start.
    line=$(grep -v -e '^Attempting to create a texture' -e "^Calculated" -e "^DT is too large" \
        -e "Can't query filetype for \".*Targetzone_" "$console" |
        grep -m1 -i -e 'excp' -e 'error' -e 'fail' -e 'no audio' -e 'hung' -e "can't")
    [ -n "$line" ] || line="(started normally; closed with Ctrl+C)"
}

report() {
    local name=$1 dir=$2 verdict="ok"
    local survived="yes"
    if [ ! -f "$dir/bin/settings.ini" ] && [ ! -d "$dir/bin/settings.ini" ]; then
        survived="LOST"
    fi
    local gl_errors
    gl_errors=$(grep -c -e "^Mesa: User error" -e "Severity: High" -e "Severity: Medium" "$console")
    [ "$gl_errors" -eq 0 ] || line="$gl_errors GL error line(s): $(grep -m1 -e "^Mesa: User error" -e "Severity: High" -e "Severity: Medium" "$console")"
    if [ "$status" -gt 128 ] || [ "$survived" = LOST ] || grep -q "(hung" "$console" ||
        [ "$gl_errors" -ne 0 ]; then
        verdict="FAIL"
        failures=$((failures + 1))
    fi
    printf '| %-28s | %4s | %-4s | %-8s | %s\n' "$name" "$status" "$verdict" "$survived" \
        "$(echo "$line" | cut -c1-110)"
}

run_case() {
    local name=$1 prepare=$2
    shift 2
    local dir
    dir=$(install "$name")
    $prepare "$dir"
    play "$dir" "$@"
    report "$name" "$dir"
}

noop() { :; }
no_assets() { rm -rf "$1/assets"; }
mesh_missing() { rm "$1/assets/meshes/plane2.ksx"; }
mesh_empty() { : >"$1/assets/meshes/plane2.ksx"; }
mesh_truncated() { truncate -s 1000 "$1/assets/meshes/plane2.ksx"; }
mesh_oversized() { head -c 200000000 /dev/zero >>"$1/assets/meshes/plane2.ksx"; }
mesh_four_billion() { printf '.KSX\x00\x28\x6b\xee\x01\x00\x00\x00' >"$1/assets/meshes/Asteroid1.ksx"; }
shader_missing() { rm "$1/assets/shaders/pbr_ps.glsl"; }
shader_broken() { echo "this is not GLSL {" >"$1/assets/shaders/renderGbuffers_ps.glsl"; }
texture_corrupt() { head -c 5000 /dev/urandom >"$1/assets/textures/plane2_albedo.png"; }
cube_face_corrupt() {
    printf '\x89PNG\r\n\x1a\n' >"$1/assets/textures/cubemap/try3.png"
    head -c 3000 /dev/urandom >>"$1/assets/textures/cubemap/try3.png"
}
settings_random() { head -c 65536 /dev/urandom >"$1/bin/settings.ini"; }
settings_huge_line() { head -c 20000000 /dev/zero | tr '\0' 'x' >"$1/bin/settings.ini"; }
settings_read_only() { chmod 555 "$1/bin"; }

# The game as another user when we are root, so that a read-only folder really is one.
as_player() {
    if [ "$(id -u)" -eq 0 ]; then
        local auth="$work/xauth"
        cp "${XAUTHORITY:-$HOME/.Xauthority}" "$auth" 2>/dev/null && chmod 644 "$auth"
        runuser -u nobody -- env XAUTHORITY="$auth" DISPLAY="$DISPLAY" "$@"
    else
        "$@"
    fi
}

echo "| case                         | exit | ok?  | settings | console"
echo "|------------------------------|------|------|----------|--------"
run_case "no assets folder" no_assets env ALSOFT_DRIVERS=null
run_case "mesh file missing" mesh_missing env ALSOFT_DRIVERS=null
run_case "mesh file empty" mesh_empty env ALSOFT_DRIVERS=null
run_case "mesh file truncated" mesh_truncated env ALSOFT_DRIVERS=null
run_case "mesh file oversized (200 MB)" mesh_oversized env ALSOFT_DRIVERS=null
run_case "mesh of four billion verts" mesh_four_billion env ALSOFT_DRIVERS=null
run_case "shader file missing" shader_missing env ALSOFT_DRIVERS=null
run_case "shader does not compile" shader_broken env ALSOFT_DRIVERS=null
run_case "material PNG corrupt" texture_corrupt env ALSOFT_DRIVERS=null
run_case "cube face PNG corrupt" cube_face_corrupt env ALSOFT_DRIVERS=null
run_case "settings: random bytes" settings_random env ALSOFT_DRIVERS=null
run_case "settings: one 20 MB line" settings_huge_line env ALSOFT_DRIVERS=null
run_case "settings: read-only folder" settings_read_only as_player env ALSOFT_DRIVERS=null
run_case "no display" noop env -u DISPLAY ALSOFT_DRIVERS=null
run_case "no sound device" noop env ALSOFT_DRIVERS=no-such-driver
echo
if [ "$failures" -ne 0 ]; then
    echo "$failures case(s) crashed, hung, raised a GL error or lost the settings file"
    exit 1
fi
echo "every case ended cleanly and kept its settings file"
