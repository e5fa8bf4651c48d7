#!/usr/bin/env bash
# Builds Brenlow and its Debian package brenlow_<version>_<arch>.deb into build/package/ (or into
# the folder given as the first argument). Install it with: sudo apt install ./<file>.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRENLOW_BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
out="$(mkdir -p "${1:-$build/package}" && cd "${1:-$build/package}" && pwd)"
(cd "$build" && cpack -G DEB -B "$out")
rm -rf "$out/_CPack_Packages"
ls "$out"/brenlow_*.deb
