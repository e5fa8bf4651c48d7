#!/usr/bin/env bash
# Builds Brenlow and starts it, with the bundled downloader tool installed as do.dll beside it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRENLOW_BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
exec "$build/bin/brenlow" "$@"
