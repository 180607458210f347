#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a bounded time
# (default 60 seconds each; CI runs a short smoke). Starts from the seed corpora in
# tests/fuzz/corpus/; new inputs found go to build-fuzz/corpus/, and a crashing input is saved
# as build-fuzz/findings/<target>-crash-* and fails the run (keep it in the corpus once fixed).
# Usage: scripts/fuzz.sh [seconds per target]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build-fuzz"
"$root/scripts/setup.sh" >/dev/null  # installs clang and the rest when missing
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -DDRIFTLINE_FUZZ=ON \
    -DDRIFTLINE_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only the fuzz targets: each compiles the few sources it exercises.
cmake --build "$build" --parallel "$(nproc)" --target MeshFileFuzz SettingsFuzz GlyphFuzz \
    CourseFuzz GhostFuzz RecordsFuzz
mkdir -p "$build/findings"
export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
for pair in MeshFileFuzz:mesh SettingsFuzz:settings GlyphFuzz:glyphs CourseFuzz:course \
    GhostFuzz:ghost RecordsFuzz:records; do
    target=${pair%%:*}
    corpus="$build/corpus/${pair##*:}"
    mkdir -p "$corpus"
    echo "== $target: $seconds s"
    # An input that takes over 10 seconds is a finding too: a reader must end in bounded time.
    if ! "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$target-" "$corpus" \
        "$root/tests/fuzz/corpus/${pair##*:}" 2>"$build/$target.log"; then
        tail -n 40 "$build/$target.log"
        status=1
    else
        grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$build/$target.log" | tail -n 2
    fi
done
exit $status
