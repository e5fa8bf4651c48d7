#!/usr/bin/env bash
# Starts Brenlow under a virtual X server with two demo rows from the bundled tool, downloads part
# of the first row and saves a picture of the window (default: docs/brenlow.png).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRENLOW_BUILD_DIR:-$root/build}"
out="${1:-$root/docs/brenlow.png}"
BRENLOW_EXTRA_PACKAGES="xvfb xauth ${BRENLOW_EXTRA_PACKAGES:-}" "$root/scripts/deps.sh"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BRENLOW_BUILD_TYPE:-RelWithDebInfo}"
fi
cmake --build "$build" --target brenlow_screenshot brenlow_tool
mkdir -p "$(dirname "$out")"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$build/bin/brenlow_screenshot" "$out"
