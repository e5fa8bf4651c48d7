#!/usr/bin/env bash
# Configures and builds Brenlow with Ninja into build/ (or $BRENLOW_BUILD_DIR); arguments go to the
# first configure. BRENLOW_SETUP=run (what scripts/run.sh sets) installs and builds only the program
# and its downloader tool; otherwise the test tools come too and everything is built.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRENLOW_BUILD_DIR:-$root/build}"
setup="${BRENLOW_SETUP:-test}"
"$root/scripts/deps.sh" "$setup"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BRENLOW_BUILD_TYPE:-RelWithDebInfo}" "$@"
elif [ "$setup" = test ] && [ ! -f "$build/tests/CTestTestfile.cmake" ]; then
    # Configured by the run command before GoogleTest was there: look again.
    cmake "$build"
fi
if [ "$setup" = run ]; then
    cmake --build "$build" --target brenlow brenlow_tool
else
    cmake --build "$build"
fi
