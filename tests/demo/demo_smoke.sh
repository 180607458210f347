#!/usr/bin/env bash
# Runs the demo the short way (a small window and a frame limit) and checks that the autopilot
# passes zone 0 and then zone 1, that the profile is printed and that the files it names exist,
# and that the GL debug output (the demo's context is a debug one) counted no message of high
# or medium severity.
# Needs an X display. Usage: demo_smoke.sh <driftline-demo executable>
set -u
demo=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Zone 1 lies about 240 steps from the start. The loop takes at most one step a pass, and none
# in a pass that comes sooner than 1/60 s after the last: at the basic level this small window
# draws well over 60 passes a second, so the limit leaves room for several passes a step.
"$demo" --size 256x192 --frames 1500 --screenshots "$out/shots" --screenshot-every 200 \
    >"$out/console.txt" 2>&1
status=$?
[ "$status" -eq 0 ] || fail "exit status $status"

line_of() { grep -n -m1 -F "$1" "$out/console.txt" | cut -d: -f1; }
zone0=$(line_of "Checked targetzone with idx 0 (number 1)")
zone1=$(line_of "Checked targetzone with idx 1 (number 2)")
[ -n "$zone0" ] || fail "zone 0 was not checked"
[ -n "$zone1" ] || fail "zone 1 was not checked"
if [ -n "$zone0" ] && [ -n "$zone1" ] && [ "$zone0" -ge "$zone1" ]; then
    fail "zone 1 came before zone 0"
fi
for heading in "== Start-up ==" "== CPU time a pass (ms) ==" "== Frames ==" "== Race =="; do
    grep -q -F "$heading" "$out/console.txt" || fail "no \"$heading\" in the profile"
done
grep -qE "^  Race ran at [0-9]+ % of real time \([0-9.]+ s simulated in [0-9.]+ s\)" \
    "$out/console.txt" || fail "no line saying how near real time the race ran"
[ -s "$out/shots/profile.csv" ] || fail "no profile.csv"
[ -s "$out/shots/frame-000002.png" ] || fail "no screenshot of the first chase-camera frame"
debug=$(grep -m1 "GL debug messages: " "$out/console.txt" | sed "s/^ *//")
if [ -z "$debug" ]; then
    fail "no count of GL debug messages in the profile"
elif ! echo "$debug" | grep -q "(high 0, medium 0,"; then
    fail "the GL debug output reported problems: $debug"
fi

# A recording that cannot be written is an error before any flying, not a surprise at the end.
"$demo" --size 64x48 --frames 5 --screenshots "$out/norec" --audio-out /proc/no/such.wav \
    >"$out/norec.txt" 2>&1
status=$?
[ "$status" -ne 0 ] || fail "an unwritable recording path exited with status 0"
grep -q "^excp: .*can't write the recording /proc/no/such.wav" "$out/norec.txt" ||
    fail "no line about the recording path: $(tail -n 3 "$out/norec.txt")"
grep -q "New start time" "$out/norec.txt" && fail "the demo flew despite the recording path"

if [ "$failures" -ne 0 ]; then
    tail -n 40 "$out/console.txt"
    exit 1
fi
echo "demo smoke: zones 0 and 1 in order, profile and screenshots written"
