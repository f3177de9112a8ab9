#!/usr/bin/env bash
# Sets up and builds Brindle, then runs the test suites: the headless suites under
# AddressSanitizer and UndefinedBehaviorSanitizer, then every suite in the normal
# build (the GUI ones on a virtual display when there is no DISPLAY).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)

# Tests use their own settings folder, never the user's.
export BRINDLE_CONFIG_DIR=$(mktemp -d)
trap 'rm -rf "$BRINDLE_CONFIG_DIR"' EXIT

echo "== Sanitizer build: headless suites"
"$root/scripts/build.sh" "$root/build-asan" -DBRINDLE_SANITIZE=ON -DBRINDLE_BUILD_BENCH=OFF -- headless_tests
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp
(cd "$root/build-asan" && ctest -L headless -j "$jobs" --output-on-failure)

echo "== Normal build: all suites"
"$root/scripts/build.sh" "$root/build"
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS
run=()
if [ -z "${DISPLAY:-}" ]; then run=(xvfb-run -a -s "-screen 0 1280x1024x24"); fi
cd "$root/build"
"${run[@]}" ctest -j "$jobs" --output-on-failure
