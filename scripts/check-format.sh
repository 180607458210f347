#!/usr/bin/env bash
# Fails when a C++ source is not formatted with the project's .clang-format; prints the places.
# Usage: scripts/check-format.sh      (clang-format -i on the named files mends them)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t sources < <(find app platform gpu render text game control tools bench tests \
    -name '*.cpp' -o -name '*.hpp' | sort)
if ! clang-format --dry-run --Werror "${sources[@]}"; then
    echo "check-format: the files above differ from .clang-format; run clang-format -i on them"
    exit 1
fi
echo "check-format: ${#sources[@]} sources formatted as .clang-format says"
