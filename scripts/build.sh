#!/usr/bin/env bash
# Configures and builds Brenlow with Ninja into build/ (or $BRENLOW_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRENLOW_BUILD_DIR:-$root/build}"
"$root/scripts/deps.sh"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BRENLOW_BUILD_TYPE:-RelWithDebInfo}" "$@"
fi
cmake --build "$build"
