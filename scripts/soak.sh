#!/usr/bin/env bash
# Soak run: the autopilot demo in a small window for many passes of the loop (default 10000),
# sampling its resident memory every 5 seconds. Prints the memory at start, after warm-up (the
# first quarter of the run: shaders are compiled and caches filled lazily), half-way and at the
# end, and fails when it grew by more than 5 % after the warm-up or when the GL debug output
# (the demo runs a debug context) counted a message of high or medium severity. Runs under Xvfb when there is no display.
# Usage: scripts/soak.sh [passes]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
passes=${1:-10000}
build=${DRIFTLINE_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh" >/dev/null || exit 1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
x=()
[ -n "${DISPLAY:-}" ] || x=(xvfb-run -a -s "-screen 0 1920x1080x24 -noreset")
"${x[@]}" "$build/driftline-demo" --size 160x120 --rounds 1000000 --frames "$passes" \
    --screenshot-every 0 --screenshots "$out" >"$out/console.txt" 2>&1 &
launcher=$!
: >"$out/rss.txt"
while kill -0 "$launcher" 2>/dev/null; do
    pid=$(pgrep -n -f "^$build/driftline-demo --size 160x120" || true)
    if [ -n "$pid" ]; then
        awk '/VmRSS/ { print $2 }' "/proc/$pid/status" 2>/dev/null >>"$out/rss.txt"
    fi
    sleep 5
done
wait "$launcher"
status=$?
mapfile -t rss <"$out/rss.txt"
count=${#rss[@]}
if [ "$count" -lt 3 ]; then
    echo "too few memory samples ($count); exit status $status"
    tail -n 20 "$out/console.txt"
    exit 1
fi
warm=${rss[$((count / 4))]}
half=${rss[$((count / 2))]}
end=${rss[$((count - 1))]}
ran=$(grep -o '[0-9]* passes in [0-9.]* s' "$out/console.txt" | head -n 1)
echo "passes run:         ${ran:-unknown} (exit status $status)"
echo "memory at start:    ${rss[0]} kB"
echo "after warm-up:      $warm kB"
echo "half-way:           $half kB"
echo "at the end:         $end kB"
echo "samples:            $count, every 5 s"
failed=0
if [ "$end" -gt $((warm + warm / 20)) ]; then
    echo "FAIL: memory grew by more than 5 % after warm-up"
    failed=1
fi
debug=$(grep -m1 "GL debug messages: " "$out/console.txt" | sed "s/^ *//")
echo "${debug:-GL debug messages: (no count printed)}"
if ! echo "$debug" | grep -q "(high 0, medium 0,"; then
    echo "FAIL: the GL debug output reported problems (or no count was printed):"
    grep -m 5 "OpenGL-Error" "$out/console.txt"
    failed=1
fi
[ "$status" -eq 0 ] || failed=1
exit $failed
