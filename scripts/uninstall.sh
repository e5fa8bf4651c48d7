#!/usr/bin/env bash
# Removes a Brenlow installed with "cmake --install build --prefix PREFIX": every file the install
# rules of this build put under PREFIX, then the folders this leaves empty.
#   scripts/uninstall.sh PREFIX
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRENLOW_BUILD_DIR:-$root/build}"
if [ $# -ne 1 ] || [ -z "$1" ]; then
    echo "usage: $0 PREFIX   (the prefix given to cmake --install)" >&2
    exit 2
fi
prefix="$(realpath -m "$1")"
if [ ! -f "$build/cmake_install.cmake" ]; then
    echo "No build in $build: run ./scripts/build.sh first." >&2
    exit 1
fi
# The install rules run once more into a scratch folder, which then lists what they install.
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >/dev/null
cd "$stage$prefix"
find . ! -type d -print0 | while IFS= read -r -d '' file; do
    target="$prefix/${file#./}"
    if [ -e "$target" ] || [ -L "$target" ]; then
        rm -f "$target"
        echo "Removed: $target"
    fi
done
find . -mindepth 1 -type d -print0 | sort -rz | while IFS= read -r -d '' dir; do
    rmdir "$prefix/${dir#./}" 2>/dev/null || true
done
