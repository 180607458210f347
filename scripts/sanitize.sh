#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ and runs the whole test suite there, headless like scripts/test.sh. Any memory
# error, undefined behaviour or leak of ours fails the run; leaks inside the system's GL, X11,
# font and audio libraries are listed in scripts/lsan.supp.
# Usage: scripts/sanitize.sh [ctest arguments]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
DRIFTLINE_BUILD_DIR="$root/build-asan" "$root/scripts/setup.sh" \
    -DDRIFTLINE_SANITIZE=ON -DDRIFTLINE_WARNINGS_AS_ERRORS=ON -DDRIFTLINE_BUILD_TESTS=ON
cd "$root/build-asan"
# Mesa unloads its driver with the last GL context, before the leak check at exit; what the
# driver left behind would then show without a module name and could not be told from ours.
# Preloading the driver keeps it mapped (the sanitizer runtime then need not come first).
driver=$(find /usr/lib -name swrast_dri.so -path '*dri*' | head -n 1)
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:verify_asan_link_order=0"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ALSOFT_DRIVERS=null xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" \
    env LD_PRELOAD="$driver" ctest --output-on-failure --timeout 900 "$@"
