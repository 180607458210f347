#!/usr/bin/env bash
# Starts the real game once per kind of bad input (broken assets, broken or hostile settings,
# records, course and ghost files, an odd locale, no display, no sound) in a throw-away copy of
# its installation, and prints a table: the case, the exit status, the console line that explains
# it, and whether the settings file and every other file the case keeps came through. A game
# that starts is closed with Ctrl+C once its window shows its frame rate. A case passes when
# the game exits with the status expected (0 after Ctrl+C, 1 after a failed start), never by a
# crash signal or a hang; its explaining line is on the console; the settings file and the
# files the case keeps are still there, unchanged; and no GL error was raised: the game runs
# without a debug context, so Mesa is asked to print every error it raises (MESA_DEBUG=1), and
# a case fails on any such line, as on any line of the text renderer about a character it
# cannot draw. Hostile ghosts are also flown by the demo (--replay), which must refuse them at
# once. Runs itself under Xvfb when there is no display.
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
# $status and $console.
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
}

# Files a case must find unchanged after the run: "keep FILE [WHERE_IT_ENDS_UP]" notes the
# file's checksum and where it must be afterwards (a broken file moved aside ends up elsewhere).
keep() {
    local dir=${1%%/bin/*}
    dir=${dir%%/assets/*}
    echo "$(sha256sum <"$1" | cut -d' ' -f1) ${2:-$1}" >>"$dir/kept"
}

# "yes" when the settings file (or whatever stands in its place) and every kept file are there
# and unchanged; else what was lost.
check_kept() {
    local dir=$1 sum path
    if [ ! -e "$dir/bin/settings.ini" ] && [ ! -L "$dir/bin/settings.ini" ]; then
        echo "LOST settings.ini"
        return
    fi
    [ -f "$dir/kept" ] || { echo yes; return; }
    while read -r sum path; do
        if [ ! -f "$path" ] || [ "$(sha256sum <"$path" | cut -d' ' -f1)" != "$sum" ]; then
            echo "LOST ${path#"$dir"/}"
            return
        fi
    done <"$dir/kept"
    echo yes
}

# The first line that explains the outcome: the line the case expects, else the first one that
# looks like trouble.
explaining_line() {
    local expected=$1 found=""
    [ -n "$expected" ] && found=$(grep -m1 -E -e "$expected" "$console")
    [ -n "$found" ] && { echo "$found"; return; }
    found=$(grep -v -e '^Attempting to create a texture' -e "^Calculated" -e "^DT is too large" \
        "$console" |
        grep -m1 -i -e 'excp' -e 'error' -e 'fail' -e 'no audio' -e 'hung' -e "can't" -e "couldn't")
    echo "${found:-(started normally; closed with Ctrl+C)}"
}

# A case may also name a check of its own in $verify: a function given the installation's
# folder that prints what is wrong, or nothing.
verify=""

report() {
    local name=$1 dir=$2 want_status=$3 expected=$4 verdict="ok" kept line
    kept=$(check_kept "$dir")
    line=$(explaining_line "$expected")
    local unresolved wrong=""
    # Text from a file the font cannot draw is made drawable when read, never left to the
    # text renderer's complaint.
    unresolved=$(grep -c "Trying to resolve invalid character" "$console")
    [ "$unresolved" -eq 0 ] || { line="$unresolved unresolved character line(s)"; verdict="FAIL"; }
    [ -z "$verify" ] || wrong=$("$verify" "$dir")
    [ -z "$wrong" ] || { line="$wrong"; verdict="FAIL"; }
    local gl_errors
    gl_errors=$(grep -c -e "^Mesa: User error" -e "Severity: High" -e "Severity: Medium" "$console")
    [ "$gl_errors" -eq 0 ] || line="$gl_errors GL error line(s): $(grep -m1 -e "^Mesa: User error" -e "Severity: High" -e "Severity: Medium" "$console")"
    if [ -n "$expected" ] && ! grep -q -E -e "$expected" "$console"; then
        line="MISSING /$expected/; first line: $line"
        verdict="FAIL"
    fi
    if [ "$status" -ne "$want_status" ] || [ "$kept" != yes ] || grep -q "(hung" "$console" ||
        [ "$gl_errors" -ne 0 ]; then
        verdict="FAIL"
    fi
    [ "$verdict" = ok ] || failures=$((failures + 1))
    printf '| %-36s | %4s | %-4s | %-8s | %s\n' "$name" "$status" "$verdict" "$kept" \
        "$(echo "$line" | cut -c1-110)"
}

# run_case NAME PREPARE STATUS EXPECTED-LINE-REGEX [COMMAND PREFIX...]
run_case() {
    local name=$1 prepare=$2 want_status=$3 expected=$4
    shift 4
    local dir
    dir=$(install "$name")
    $prepare "$dir"
    play "$dir" "$@"
    report "$name" "$dir" "$want_status" "$expected"
}

noop() { :; }
no_assets() { rm -rf "$1/assets"; }
mesh_missing() { rm "$1/assets/meshes/plane2.ksx"; }
mesh_empty() { : >"$1/assets/meshes/plane2.ksx"; }
mesh_truncated() { truncate -s 1000 "$1/assets/meshes/plane2.ksx"; }
mesh_oversized() { head -c 200000000 /dev/zero >>"$1/assets/meshes/plane2.ksx"; }
mesh_four_billion() { printf '.KSX\x00\x28\x6b\xee\x01\x00\x00\x00' >"$1/assets/meshes/Asteroid1.ksx"; }
# The shaders broken are ones the start compiles at the default quality (auto starts at basic).
shader_missing() { rm "$1/assets/shaders/pbr_forward_ps.glsl"; }
shader_broken() { echo "this is not GLSL {" >"$1/assets/shaders/renderFinalFBO_ps.glsl"; }
shader_include_escapes() {
    sed -i '0,/^#include/s|^#include .*|#include "../../bin/settings.ini"|' \
        "$1/assets/shaders/pbr_forward_ps.glsl"
}
shader_fifo() {
    rm "$1/assets/shaders/pbr_forward_ps.glsl" && mkfifo "$1/assets/shaders/pbr_forward_ps.glsl"
}
texture_corrupt() { head -c 5000 /dev/urandom >"$1/assets/textures/plane2_albedo.png"; }
# The small faces are the ones the basic level (where auto starts) reads, in its first frame.
cube_face_corrupt() {
    printf '\x89PNG\r\n\x1a\n' >"$1/assets/textures/cubemap/small3.png"
    head -c 3000 /dev/urandom >>"$1/assets/textures/cubemap/small3.png"
}
# Random bytes after a first line that is surely no setting: the bytes alone could, rarely, start
# with a NUL (the parser reads no further) or a comment, and then say nothing.
settings_random() { { echo "no setting here"; head -c 65536 /dev/urandom; } >"$1/bin/settings.ini"; }
settings_huge_line() {
    head -c 20000000 /dev/zero | tr '\0' 'x' >"$1/bin/settings.ini"
    keep "$1/bin/settings.ini" "$1/bin/settings.ini.bad"
}
# A folder the player cannot write: the player's files go to the home instead (the one the
# case gives the player, or nobody's own, which does not exist).
settings_read_only() { chmod 555 "$1/bin"; }
settings_line() { printf '%s\n' "[Window]" "$2" >"$1/bin/settings.ini"; }
settings_negative_width() { settings_line "$1" "Width = -640"; }
settings_huge_width() { settings_line "$1" "Width = 100000"; }
settings_nan_brightness() { settings_line "$1" "Brightness = nan"; }
settings_malformed() { printf '[Window]\nWidth = 320\nthis is no setting\nHeight = 240\n' >"$1/bin/settings.ini"; }
settings_link_zero() { rm "$1/bin/settings.ini" && ln -s /dev/zero "$1/bin/settings.ini"; }
settings_link_full() { rm "$1/bin/settings.ini" && ln -s /dev/full "$1/bin/settings.ini"; }
settings_fifo() { rm "$1/bin/settings.ini" && mkfifo "$1/bin/settings.ini"; }
records_broken_twice() {
    echo "an earlier broken record" >"$1/bin/records.ini.bad"
    keep "$1/bin/records.ini.bad"
    head -c 3000 /dev/urandom >"$1/bin/records.ini"
    keep "$1/bin/records.ini" "$1/bin/records.ini.bad.1"
}
records_folder() { mkdir "$1/bin/records.ini"; }
records_link_zero() { ln -s /dev/zero "$1/bin/records.ini"; }
# The folder is the player's to write, so the records are looked for beside the game.
records_unreadable() {
    chmod 777 "$1/bin"
    printf '[Records]\nBestTime = 44.217\nSplits = 4 8 13 17 21 26 30 35 39 44.217\n' >"$1/bin/records.ini"
    chmod 000 "$1/bin/records.ini"
    keep "$1/bin/records.ini"
}

# A course of the player's, from the text on standard input, kept as it ends up: moved aside.
player_course() {
    mkdir -p "$1/bin/courses"
    cat >"$1/bin/courses/$2.course"
    keep "$1/bin/courses/$2.course" "$1/bin/courses/$2.course${3-.bad}"
}
course_with_points() {
    printf '[Course]\nFormat = 1\n[Points]\n'
    printf 'Point = %s\n' "$@"
}
course_three_points() { course_with_points "0 0 0" "900 0 0" "0 900 0" | player_course "$1" few; }
course_not_finite() { course_with_points "0 0 0" "900 0 nan" | player_course "$1" nan; }
course_crossing() {
    course_with_points "-800 -600 0" "800 600 10" "800 -600 0" "-800 600 10" "-1200 0 5" |
        player_course "$1" crossing
}
course_hairpin() {
    course_with_points "1800 0 0" "1500 900 0" "1530 900 0" "-1500 900 0" "-1800 0 0" \
        "-600 -1300 0" "600 -1300 0" | player_course "$1" hairpin
}
course_short() { course_with_points "100 0 0" "0 100 0" "-100 0 0" "0 -100 0" | player_course "$1" short; }
course_zones_together() {
    { course_with_points "1800 0 0" "0 1300 0" "-1800 0 0" "0 -1300 0"
      printf '[Zones]\nAt = 10 15 300 600\n'; } | player_course "$1" together
}
course_start_outside() {
    { printf '[Course]\nFormat = 1\nStart = 99999\n[Points]\n'
      printf 'Point = %s\n' "1800 0 0" "0 1300 0" "-1800 0 0" "0 -1300 0"; } | player_course "$1" away
}
course_format_two() { printf '[Course]\nFormat = 2\n' | player_course "$1" future; }
course_truncated() { head -c 203 "$root/assets/courses/long-haul.course" | player_course "$1" cut; }
course_binary() { head -c 3000 /dev/urandom | player_course "$1" noise; }
course_empty() { : | player_course "$1" empty; }
course_huge() { head -c 70000 /dev/zero | tr '\0' ';' | player_course "$1" huge; }
course_folder() { mkdir -p "$1/bin/courses/folder.course"; }
course_unknown() { printf '%s[Race]\nCourse = no-such-course\n' "$settings_text" >"$1/bin/settings.ini"; }
course_first_broken_twice() {
    echo "an earlier broken course" >"$1/assets/courses/prime-loop.course.bad"
    keep "$1/assets/courses/prime-loop.course.bad"
    printf '[Course]\nFormat = 1\n[Points]\nPoint = 1 2\n' >"$1/assets/courses/prime-loop.course"
    keep "$1/assets/courses/prime-loop.course" "$1/assets/courses/prime-loop.course.bad.1"
}

# Ghost files: one good ghost of tight-knot (the prime round the demo flies headless for its
# targets), then broken copies of it.
good_ghost="$work/tight-knot.ghost"
make_good_ghost() {
    [ -f "$good_ghost" ] && return
    "${DRIFTLINE_BUILD_DIR:-$root/build}/driftline-demo" --targets --course tight-knot \
        --ghost-out "$good_ghost" >"$work/ghost-demo.txt" 2>&1
}
# A ghost of the first course's file name from standard input, kept as it ends up: moved aside.
player_ghost() {
    cat >"$1/bin/prime-loop.ghost"
    keep "$1/bin/prime-loop.ghost" "$1/bin/prime-loop.ghost${2:-.bad}"
}
ghost_other_course() { player_ghost "$1" <"$good_ghost"; }
ghost_truncated() { head -c 2000 "$good_ghost" | player_ghost "$1"; }
ghost_bad_checksum() {
    cp "$good_ghost" "$1/ghost" && printf 'X' | dd of="$1/ghost" bs=1 seek=300 conv=notrunc 2>/dev/null
    player_ghost "$1" <"$1/ghost"
}
ghost_format_three() {
    cp "$good_ghost" "$1/ghost" && printf '\x03' | dd of="$1/ghost" bs=1 seek=8 conv=notrunc 2>/dev/null
    player_ghost "$1" <"$1/ghost"
}
ghost_other_version() {
    printf '%s[Race]\nCourse = tight-knot\n' "$settings_text" >"$1/bin/settings.ini"
    sed -i 's/^TubeRadius = 22/TubeRadius = 23/' "$1/assets/courses/tight-knot.course"
    cp "$good_ghost" "$1/bin/tight-knot.ghost"
    keep "$1/bin/tight-knot.ghost" "$1/bin/tight-knot.ghost.bad"
}
ghost_empty() { : | player_ghost "$1"; }
ghost_huge() { head -c 9000000 /dev/zero | player_ghost "$1"; }
ghost_folder() { mkdir "$1/bin/prime-loop.ghost"; }
ghost_link_zero() { ln -s /dev/zero "$1/bin/prime-loop.ghost"; }

# Records of the first course as shipped, and of tight-knot under its course hash (read from
# the good ghost, which records it).
records_line() { printf '[Records]\nBestTime = %s\nSplits = %s\n' "$1" "$2" >>"$3/bin/records.ini"; }
tight_knot_hash() { od -An -v -tx1 -j "$(($(ghost_name_end) + 0))" -N 8 "$good_ghost" | tr -d ' \n' | fold -w2 | tac | tr -d '\n'; }
records_other_course_misfit() {
    records_line 44.217 "4 8 13 17 21 26 30 35 39 44.217" "$1"
    printf '\n[Records tight-knot %s]\nBestTime = 30\nSplits = 10 20 30\n' "$(tight_knot_hash)" \
        >>"$1/bin/records.ini"
    keep "$1/bin/records.ini"
}
records_words_after() {
    records_line "57.467 seconds, honest" "4 8 13 17 21 26 30 35 39 57.467" "$1"
    keep "$1/bin/records.ini"
}
records_too_fast() {
    records_line 0.010 "0.001 0.002 0.003 0.004 0.005 0.006 0.007 0.008 0.009 0.010" "$1"
    keep "$1/bin/records.ini"
}

# Byte surgery on a copy of the good ghost: where its fields lie (its texts have lengths of
# their own), a field written over with little-endian bytes, and the checksum made right.
u32_at() { od -An -v -tu4 -j "$2" -N 4 "$1" | tr -d ' '; }
ghost_name_end() {  # the offset of the course hash
    local version name
    version=$(u32_at "$good_ghost" 12)
    name=$(u32_at "$good_ghost" $((16 + version)))
    echo $((20 + version + name))
}
ghost_round_at() {  # the offset of the round number
    local hash_at splits
    hash_at=$(ghost_name_end)
    splits=$(u32_at "$good_ghost" $((hash_at + 12)))
    echo $((hash_at + 16 + 4 * splits))
}
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
write_at() { printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null; }
fix_checksum() {
    local size hash=2166136261 byte
    size=$(($(stat -c %s "$1") - 4))
    for byte in $(od -An -v -tu1 -N "$size" "$1"); do
        hash=$(( ((hash ^ byte) * 16777619) & 0xFFFFFFFF ))
    done
    write_at "$1" "$size" "$(le32 "$hash")"
}
# A hostile copy of the good ghost in $2: "$1" names the change.
hostile_ghost() {
    local at
    cp "$good_ghost" "$2"
    case $1 in
    round-zero) write_at "$2" "$(ghost_round_at)" "$(le32 0)" ;;
    end-step) # the round's steps kept, moved to end at 0xFFFFFDA7
        at=$(ghost_round_at)
        local steps=$(( $(u32_at "$2" $((at + 9))) - $(u32_at "$2" $((at + 5))) ))
        write_at "$2" $((at + 5)) "$(le32 $((0xFFFFFDA7 - steps)))"
        write_at "$2" $((at + 9)) "$(le32 0xFFFFFDA7)" ;;
    nan-control) # the first control change sets every strength: the first of them is NaN
        write_at "$2" $(( $(ghost_round_at) + 13 + 4 + 4 + 2 )) "$(le32 0x7fc00000)" ;;
    huge-control) write_at "$2" $(( $(ghost_round_at) + 13 + 4 + 4 + 2 )) "$(le32 0x7f61b1e6)" ;;
    one-second) write_at "$2" $(($(ghost_name_end) + 8)) "$(le32 0x3f800000)" ;;
    esac
    fix_checksum "$2"
}
tight_knot_ghost() {
    printf '%s[Race]\nCourse = tight-knot\n' "$settings_text" >"$1/bin/settings.ini"
    hostile_ghost "$2" "$1/bin/tight-knot.ghost"
    keep "$1/bin/tight-knot.ghost" "$1/bin/tight-knot.ghost.bad"
}
ghost_nan_control() { tight_knot_ghost "$1" nan-control; }
ghost_huge_control() { tight_knot_ghost "$1" huge-control; }
ghost_one_second() { tight_knot_ghost "$1" one-second; }
ghost_round_zero() { tight_knot_ghost "$1" round-zero; }
# The round history: broken lines (a formula, a cut write) are skipped, the file kept as it is.
history_broken() {
    printf 'utc,course,hash,time,splits,medal,rocks,wrong_zones,version\n=cmd|calc,a,b,c,d,e,f,g,h\n2026-12-10T03:12:45Z,tight-knot,5f0c4d9a1b2e3f47,24.350,24.350,gold,1,0,0.9.0\n2026-12-10T03:1' >"$1/bin/history.csv"
    keep "$1/bin/history.csv"
}
history_folder() { mkdir "$1/bin/history.csv"; }
# A player's course named "seed-12345" beside a seed's ghost under the name seeds' ghosts once
# had, "seed-12345.ghost": the ghost is the seed's, handed to its own name, not moved aside.
ghost_seed_old_name() {
    course_with_points "1800 0 0" "0 1300 0" "-1800 0 0" "0 -1300 0" | player_course "$1" seed-12345 ""
    printf '%s[Race]\nCourse = seed-12345\n' "$settings_text" >"$1/bin/settings.ini"
    cp "$good_ghost" "$1/bin/seed-12345.ghost"
    write_at "$1/bin/seed-12345.ghost" $(($(ghost_name_end) - 10)) "seed:12345"
    fix_checksum "$1/bin/seed-12345.ghost"
    keep "$1/bin/seed-12345.ghost" "$1/bin/seed.12345.ghost"
}
course_far_apart() {
    course_with_points "300000000 0 0" "0 300000000 0" "-300000000 0 0" "0 -300000000 0" |
        player_course "$1" far
}
course_bad_title() {
    { printf '[Course]\nFormat = 1\nTitle = Caf\xc3\xff \xe2\x82\xac\n[Points]\n'
      printf 'Point = %s\n' "1800 0 0" "0 1300 0" "-1800 0 0" "0 -1300 0"; } |
        player_course "$1" mojibake ""
    printf '%s[Race]\nCourse = mojibake\n' "$settings_text" >"$1/bin/settings.ini"
}
settings_huge_window() {
    printf '[Window]\nWidth = 16384\nHeight = 16384\n[Graphics]\nQuality = high\n' >"$1/bin/settings.ini"
}
settings_comma_key() { printf '%s[Controls]\nAccelerate = ,, A\n' "$settings_text" >"$1/bin/settings.ini"; }
settings_debug_key() { printf '%s[Controls]\nAccelerate = F1, A\n' "$settings_text" >"$1/bin/settings.ini"; }
comma_kept() {
    grep -qx "Accelerate = Comma, A" "$1/bin/settings.ini" ||
        echo "settings: $(grep '^Accelerate' "$1/bin/settings.ini")"
}

# The game as another user when we are root, so that a read-only folder really is one. Only
# that user gets the X authority cookie.
as_player() {
    if [ "$(id -u)" -eq 0 ]; then
        local auth="$work/xauth-nobody"
        install -m 600 -o nobody /dev/null "$auth"
        cat "${XAUTHORITY:-$HOME/.Xauthority}" >"$auth" 2>/dev/null
        runuser -u nobody -- env XAUTHORITY="$auth" DISPLAY="$DISPLAY" "$@"
    else
        "$@"
    fi
}

null=(env ALSOFT_DRIVERS=null)
echo "| case                                 | exit | ok?  | kept     | console"
echo "|--------------------------------------|------|------|----------|--------"
run_case "no assets folder" no_assets 1 "^excp: kes::App::makeAssetsPath" "${null[@]}"
run_case "mesh file missing" mesh_missing 1 "^excp: Failed to open file" "${null[@]}"
run_case "mesh file empty" mesh_empty 1 "^excp: FourCC don't match" "${null[@]}"
run_case "mesh file truncated" mesh_truncated 1 "^excp: Failed to read in vertices" "${null[@]}"
run_case "mesh file oversized (200 MB)" mesh_oversized 0 "" "${null[@]}"
run_case "mesh of four billion verts" mesh_four_billion 1 "^excp: Failed to read in vertices" "${null[@]}"
run_case "shader file missing" shader_missing 1 "^excp: kes::shader::loadFile - Failed to open" "${null[@]}"
run_case "shader does not compile" shader_broken 1 "^excp: kes::shader::createShader" "${null[@]}"
run_case "shader include leaves its folder" shader_include_escapes 1 \
    '^excp: .*the include "../../bin/settings.ini" .* leaves the shaders folder' "${null[@]}"
run_case "shader file is a FIFO" shader_fifo 1 "^excp: kes::shader::loadFile - .* is not a regular file" "${null[@]}"
run_case "material PNG corrupt" texture_corrupt 0 "Can't query filetype for .*plane2_albedo" "${null[@]}"
run_case "cube face PNG corrupt" cube_face_corrupt 1 "^excp: Can't load image" "${null[@]}"
run_case "settings: random bytes" settings_random 0 "has a line that is no setting" "${null[@]}"
run_case "settings: one 20 MB line" settings_huge_line 0 "is larger than 1 MiB; moved aside as" "${null[@]}"
player_home="$work/home-of-the-player"
mkdir -p "$player_home"
[ "$(id -u)" -ne 0 ] || chown nobody "$player_home"
run_case "settings: read-only folder" settings_read_only 0 \
    "^Settings are kept in $player_home/.config/driftline-prime/settings.ini" \
    as_player env HOME="$player_home" "${null[@]}"
run_case "settings: read-only folder, no home" settings_read_only 0 \
    "^Couldn't make the folder .*/.config/driftline-prime \(.*\); settings and records may not be kept" \
    as_player env HOME=/nonexistent "${null[@]}"
run_case "settings: Width = -640" settings_negative_width 0 \
    "^Width = -640 is out of range \(16 to 16384\), using 640$" "${null[@]}"
run_case "settings: Width = 100000" settings_huge_width 0 "^Width = 100000 is out of range" "${null[@]}"
run_case "settings: Brightness = nan" settings_nan_brightness 0 "^Brightness = nan is out of range" "${null[@]}"
run_case "settings: a malformed line" settings_malformed 0 "has a line that is no setting \(line 3\)" "${null[@]}"
run_case "settings: a link to /dev/zero" settings_link_zero 0 \
    "^Couldn't save the settings .*could not be read at start" "${null[@]}"
run_case "settings: a link to /dev/full" settings_link_full 0 \
    "^Couldn't save the settings .*could not be read at start" "${null[@]}"
run_case "settings: a FIFO" settings_fifo 0 "^Couldn't save the settings .*could not be read at start" "${null[@]}"
run_case "records: broken, an earlier aside" records_broken_twice 0 "moved aside as .*records.ini.bad.1 " "${null[@]}"
run_case "records: a folder in its place" records_folder 0 "is not a regular file; records are not kept" "${null[@]}"
run_case "records: a link to /dev/zero" records_link_zero 0 "is not a regular file; records are not kept" "${null[@]}"
run_case "records: unreadable" records_unreadable 0 \
    "cannot be opened \(Permission denied\); records are not kept" as_player "${null[@]}"
make_good_ghost
run_case "records: another course's misfit" records_other_course_misfit 0 \
    "records.ini has 3 splits instead of 6 in \[Records tight-knot [0-9a-f]{16}\]; that record is skipped and kept in the file as it is" "${null[@]}"
run_case "records: words after a time" records_words_after 0 \
    "records.ini has no positive BestTime in \[Records\]; that record is skipped and kept" "${null[@]}"
run_case "records: faster than the course" records_too_fast 0 \
    "records.ini has a time of 0.010 s, faster than the course can be flown \(at least [0-9.]+ s\) in \[Records\]; that record is skipped" "${null[@]}"
aside="; moved aside as .*, and the course left out"
run_case "course: three points" course_three_points 0 "few.course line 6 has 3 points; a course needs at least 4$aside" "${null[@]}"
run_case "course: a number not finite" course_not_finite 0 "nan.course line 5 has a Point that is not three finite numbers$aside" "${null[@]}"
run_case "course: passes through itself" course_crossing 0 "crossing.course line 4 passes through itself: .*can cross from one to the other$aside" "${null[@]}"
run_case "course: a bend too tight" course_hairpin 0 "hairpin.course line [0-9]+ has a bend of radius .* tighter than the ship can turn$aside" "${null[@]}"
run_case "course: too short" course_short 0 "short.course is [0-9]+ units long; a course is 1000 to 20000$aside" "${null[@]}"
run_case "course: zones together" course_zones_together 0 "together.course line 9 has zones 1 and 2 .*one touch could check both$aside" "${null[@]}"
run_case "course: start outside" course_start_outside 0 "away.course line 3 starts at mid point 99999, outside the course.s [0-9]+$aside" "${null[@]}"
run_case "course: format 2" course_format_two 0 "future.course line 2 is of format 2; this game reads format 1$aside" "${null[@]}"
run_case "course: truncated" course_truncated 0 "cut.course line 12 has a Point that is not three finite numbers$aside" "${null[@]}"
run_case "course: random bytes" course_binary 0 "noise.course is not a text file$aside" "${null[@]}"
run_case "course: empty" course_empty 0 "empty.course is empty$aside" "${null[@]}"
run_case "course: 70 KB" course_huge 0 "huge.course is larger than .*$aside" "${null[@]}"
run_case "course: a folder in its place" course_folder 0 "folder.course is not a regular file; it is left out" "${null[@]}"
run_case "course: unknown in the settings" course_unknown 0 '^There is no course "no-such-course"; racing prime-loop instead$' "${null[@]}"
run_case "course: the first one broken" course_first_broken_twice 0 \
    "prime-loop.course line 4 .*moved aside as .*prime-loop.course.bad.1, and the course left out" "${null[@]}"
run_case "course: points 3e8 apart" course_far_apart 0 \
    "far.course line 4 has a point 300000000 units from the origin; points stand within 50000$aside" "${null[@]}"
run_case "course: a title not UTF-8" course_bad_title 0 \
    "mojibake.course line 3 has a Title with characters the game cannot show \(not UTF-8, or outside its font\), shown as \?" "${null[@]}"
ghost_aside="; moved aside as .* and the race runs without it"
run_case "ghost: another course's" ghost_other_course 0 \
    "prime-loop.ghost is the ghost of another course \(tight-knot\)$ghost_aside" "${null[@]}"
run_case "ghost: another version of the course" ghost_other_version 0 \
    "tight-knot.ghost is the ghost of another version of this course$ghost_aside" "${null[@]}"
run_case "ghost: truncated" ghost_truncated 0 "prime-loop.ghost has a bad checksum \(cut short or changed\)$ghost_aside" "${null[@]}"
run_case "ghost: a byte changed" ghost_bad_checksum 0 "prime-loop.ghost has a bad checksum \(cut short or changed\)$ghost_aside" "${null[@]}"
run_case "ghost: format 3" ghost_format_three 0 "prime-loop.ghost is of ghost format 3; this game reads 1 to 2$ghost_aside" "${null[@]}"
run_case "ghost: empty" ghost_empty 0 "prime-loop.ghost is empty$ghost_aside" "${null[@]}"
run_case "ghost: 9 MB" ghost_huge 0 "prime-loop.ghost is larger than 8 MiB$ghost_aside" "${null[@]}"
run_case "ghost: a folder in its place" ghost_folder 0 \
    "prime-loop.ghost is not a regular file; the race runs without it" "${null[@]}"
run_case "ghost: a link to /dev/zero" ghost_link_zero 0 \
    "prime-loop.ghost is not a regular file; the race runs without it" "${null[@]}"
run_case "ghost: a control strength NaN" ghost_nan_control 0 \
    "tight-knot.ghost has a control strength outside 0 to 1.414$ghost_aside" "${null[@]}"
run_case "ghost: a control strength 3e38" ghost_huge_control 0 \
    "tight-knot.ghost has a control strength outside 0 to 1.414$ghost_aside" "${null[@]}"
run_case "ghost: relabelled 1.000 s" ghost_one_second 0 \
    "tight-knot.ghost has a round time that its steps do not give$ghost_aside" "${null[@]}"
run_case "ghost: round 0" ghost_round_zero 0 "tight-knot.ghost holds no round$ghost_aside" "${null[@]}"
run_case "ghost: a seed's under its old name" ghost_seed_old_name 0 "" "${null[@]}"
run_case "history: broken lines" history_broken 0 \
    "history.csv has 2 broken line\\(s\\), the first at line 2; they are skipped and the file kept$" "${null[@]}"
run_case "history: a folder in its place" history_folder 0 \
    "history.csv is not a regular file; the statistics show this run's rounds only$" "${null[@]}"
run_case "settings: a window of 16384 x 16384" settings_huge_window 0 \
    "^A window of 16384 x 16384 does not fit the screen's work area; it opens at [0-9]+ x [0-9]+$" "${null[@]}"
verify=comma_kept
run_case "settings: a comma key as once written" settings_comma_key 0 "" "${null[@]}"
verify=""
run_case "settings: a debug key bound" settings_debug_key 0 \
    "^Accelerate = F1, A: F1 shows the collision shapes in a race and cannot be bound; using Space, A$" "${null[@]}"
run_case "locale: LANG=xx_YY.UTF-8" noop 0 \
    '^The locale the environment asks for \(LANG=xx_YY.UTF-8\) is not installed' \
    env -u LC_ALL -u LC_CTYPE LANG=xx_YY.UTF-8 ALSOFT_DRIVERS=null
run_case "locale: LC_CTYPE=UTF-8" noop 0 '^The locale the environment asks for \(LC_CTYPE=UTF-8\)' \
    env -u LC_ALL LC_CTYPE=UTF-8 ALSOFT_DRIVERS=null
run_case "no display" noop 1 "^excp: kes::openGL::initGL - Failed to init glfw" env -u DISPLAY ALSOFT_DRIVERS=null
run_case "no sound device" noop 0 "^No audio device found, running without sound" env ALSOFT_DRIVERS=no-such-driver

# The demo flies a ghost's controls again: a hostile ghost is refused in one line at once, never
# flown for ever (a round ending four billion steps in, round 0, a NaN control).
demo_case() {
    local name=$1 change=$2 expected=$3 verdict=ok line
    local file="$work/demo-$change.ghost"
    hostile_ghost "$change" "$file"
    MESA_DEBUG=1 ALSOFT_DRIVERS=null timeout 120 "${DRIFTLINE_BUILD_DIR:-$root/build}/driftline-demo" \
        --replay "$file" --size 160x120 --screenshots "$work/demo-shots" --screenshot-every 0 \
        >"$work/demo-$change.txt" 2>&1
    status=$?
    line=$(grep -m1 -E -e "$expected" "$work/demo-$change.txt")
    if [ "$status" -ne 1 ] || [ -z "$line" ]; then
        verdict=FAIL
        failures=$((failures + 1))
        line=${line:-"MISSING /$expected/; $(tail -n 1 "$work/demo-$change.txt")"}
    fi
    printf '| %-36s | %4s | %-4s | %-8s | %s\n' "$name" "$status" "$verdict" "-" "$(echo "$line" | cut -c1-110)"
}
demo_case "demo --replay: ends 4e9 steps in" end-step "ends its round more than a day into its flight$"
demo_case "demo --replay: round 0" round-zero "holds no round$"
demo_case "demo --replay: a NaN control" nan-control "has a control strength outside 0 to 1.414$"

# driftline --import, without a window: a ghost that does not prove its time is refused in one
# line with status 1 and nothing is written; a genuine one is kept.
import_case() {
    local name=$1 change=$2 want_status=$3 expected=$4 verdict=ok line kept=yes
    local dir file
    dir=$(install "$name")
    file="$work/import-$change.ghost"
    case $change in
    genuine) cp "$good_ghost" "$file" ;;
    cut) head -c 3000 "$good_ghost" >"$file" ;;
    *) hostile_ghost "$change" "$file" ;;
    esac
    MESA_DEBUG=1 timeout 120 "$dir/bin/driftline" --import "$file" >"$dir/console.txt" 2>&1
    status=$?
    line=$(grep -m1 -E -e "$expected" "$dir/console.txt")
    if [ "$want_status" -ne 0 ] && [ -e "$dir/bin/ghosts" ]; then
        kept="WROTE"
    fi
    if [ "$status" -ne "$want_status" ] || [ -z "$line" ] || [ "$kept" != yes ]; then
        verdict=FAIL
        failures=$((failures + 1))
        line=${line:-"MISSING /$expected/; $(tail -n 1 "$dir/console.txt")"}
    fi
    printf '| %-36s | %4s | %-4s | %-8s | %s\n' "$name" "$status" "$verdict" "$kept" "$(echo "$line" | cut -c1-110)"
}
import_case "import: a genuine ghost" genuine 0 "^Imported ghost of Tight Knot by Prime: 23.717 s, verified$"
import_case "import: cut short" cut 1 "^Not imported: the file has a bad checksum \\(cut short or changed\\)$"
import_case "import: relabelled 1.000 s" one-second 1 "^Not imported: the file has a round time that its steps do not give$"
import_case "import: round 0" round-zero 1 "^Not imported: the file holds no round$"
echo
if [ "$failures" -ne 0 ]; then
    echo "$failures case(s) crashed, hung, ended otherwise than expected, raised a GL error or lost a file"
    exit 1
fi
echo "every case ended as expected, explained itself and kept its files"
