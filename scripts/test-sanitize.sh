#!/usr/bin/env bash
# Builds Brenlow with AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/ and runs
# every test headless. Any sanitizer report fails its test: memory errors abort, undefined behaviour
# halts, and a leak in our own code fails at exit (see scripts/lsan.supp for the leaks of Qt and
# the system libraries that are not ours to fix).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRENLOW_SANITIZE_BUILD_DIR:-$root/build-sanitize}"
"$root/scripts/deps.sh"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRENLOW_SANITIZE=ON -DBRENLOW_BENCH=OFF
fi
cmake --build "$build"
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 900
