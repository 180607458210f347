#!/usr/bin/env bash
# The targets and the proof of a round, as a player's commands give them:
# - driftline-demo --targets on a seed chosen afresh each run: four times, each faster than the
#   one before, the same on a second run; prime is the round the demo's autopilot flies there;
# - a round flown after a restart (--restart-after) written as a ghost flies again to its time.
# Needs an X display. Usage: targets_and_replay.sh <driftline-demo executable>
set -u
demo=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A seed whose course the autopilot finishes (a few grow courses it cannot, which have no
# targets and would keep the demo's round below flying for ever): up to five tries.
for _ in 1 2 3 4 5; do
    seed=$(( (RANDOM << 15 | RANDOM) % 1000000 ))
    echo "seed:$seed"
    start=$(date +%s%N)
    first=$("$demo" --targets --course "seed:$seed" 2>&1 | tail -n 1)
    end=$(date +%s%N)
    [[ "$first" == *"it has no targets" ]] || break
    echo "$first; another seed"
done
second=$("$demo" --targets --course "seed:$seed" 2>&1 | tail -n 1)
echo "$first (computed in $(( (end - start) / 1000000 )) ms)"
[ "$first" = "$second" ] || fail "a second run printed other targets: $second"
pattern="^Targets for seed:$seed: bronze ([0-9.]+) s, silver ([0-9.]+) s, gold ([0-9.]+) s, prime ([0-9.]+) s$"
if [[ "$first" =~ $pattern ]]; then
    bronze=${BASH_REMATCH[1]} silver=${BASH_REMATCH[2]} gold=${BASH_REMATCH[3]} prime=${BASH_REMATCH[4]}
    awk -v b="$bronze" -v s="$silver" -v g="$gold" -v p="$prime" \
        'BEGIN { exit !(b > s && s > g && g > p) }' || fail "the targets do not fall: $first"
else
    fail "not the targets line: $first"
    prime=none
fi
"$demo" --targets --course no-such-course >"$out/none.txt" 2>&1 && fail "an unknown course exited 0"

if [ "$prime" != none ]; then  # without targets the autopilot's round would never end
    "$demo" --size 160x120 --quality basic --course "seed:$seed" --screenshots "$out/a" \
        --screenshot-every 0 >"$out/round.txt" 2>&1 || fail "the demo's round exited non-zero"
    grep -q "^Finished round 1 in " "$out/round.txt" || fail "the demo finished no round"
    flown=$(grep -m1 -oE "^Split at targetzone 0: [0-9.]+" "$out/round.txt" | grep -oE "[0-9.]+$")
    [ "$flown" = "$prime" ] || fail "prime is $prime s, the demo's autopilot flew $flown s"
fi

"$demo" --size 160x120 --quality basic --course tight-knot --restart-after 4 \
    --ghost-out "$out/after-r.ghost" --screenshots "$out/b" --screenshot-every 0 \
    >"$out/restart.txt" 2>&1 || fail "the flight with a restart exited non-zero"
grep -q "^Demo: the race restarted after 4 s of flight" "$out/restart.txt" ||
    fail "the race was not restarted"
"$demo" --size 160x120 --quality basic --replay "$out/after-r.ghost" --pace 60 --screenshots "$out/c" \
    --screenshot-every 0 >"$out/replay.txt" 2>&1 || fail "the replay exited non-zero"
grep -q "^Replay reproduces round time " "$out/replay.txt" ||
    fail "the round after the restart did not fly again: $(grep Replay "$out/replay.txt")"

# The same replay four times as fast, from ring 5, watched from the trackside camera: the ship
# stands where the ghost was recorded there, the time comes again, in at most a third of the
# passes of the whole replay at speed 1 (both paced at 60 passes a second, so that the count
# does not follow the frame rate, which changes from run to run).
"$demo" --size 160x120 --quality basic --replay "$out/after-r.ghost" --speed 4 --from-ring 5 \
    --camera trackside --screenshots "$out/d" --screenshot-every 0 >"$out/fast.txt" 2>&1 ||
    fail "the fast replay exited non-zero"
grep -q "^Replay from ring 5 (.* s into the round): the ship stands 0.000 units from the ghost's recorded place$" \
    "$out/fast.txt" || fail "not where the ghost was at ring 5: $(grep "from ring" "$out/fast.txt")"
grep -q "^Replay reproduces round time " "$out/fast.txt" || fail "the fast replay did not reproduce"
slow=$(grep -oE "^Replay flown in [0-9]+ passes at speed 1$" "$out/replay.txt" | grep -oE "[0-9]+ passes" | grep -oE "[0-9]+")
fast=$("$demo" --size 160x120 --quality basic --replay "$out/after-r.ghost" --speed 4 --pace 60 \
    --screenshots "$out/e" --screenshot-every 0 2>&1 | grep -oE "^Replay flown in [0-9]+ passes" | grep -oE "[0-9]+")
echo "replay passes: $slow at speed 1, $fast at speed 4"
[ -n "$slow" ] && [ -n "$fast" ] && [ $((fast * 3)) -le "$slow" ] ||
    fail "speed 4 took $fast passes, speed 1 $slow"

if [ "$failures" -ne 0 ]; then
    tail -n 20 "$out"/*.txt
    exit 1
fi
echo "targets: $first; prime flown by the demo; a round after a restart flew again"
