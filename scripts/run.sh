#!/usr/bin/env bash
# Builds Brenlow and starts it, with the bundled downloader tool installed as do.dll beside it.
# Only what building and running need is installed; the test command adds the test tools.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRENLOW_BUILD_DIR:-$root/build}"
BRENLOW_SETUP=run "$root/scripts/build.sh"
exec "$build/bin/brenlow" "$@"
