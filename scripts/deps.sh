#!/usr/bin/env bash
# Installs the Debian packages Brenlow needs. Idempotent: when everything is already there it only
# asks dpkg and returns at once.
#   deps.sh run    what building and running the program need
#   deps.sh test   that and the test tools: GoogleTest, Google Benchmark, the sanitizer and fuzzing
#                  compiler, and the package checkers (the default)
# Without root and without sudo it names the missing packages and the command that installs them.
set -euo pipefail

mode="${1:-test}"
packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libfontconfig-dev
    fonts-dejavu-core fonts-wine python3 dpkg-dev
    yt-dlp ffmpeg
)
case "$mode" in
run) ;;
test)
    packages+=(
        libgtest-dev libgmock-dev libbenchmark-dev
        clang-14 libclang-rt-14-dev
        lintian desktop-file-utils appstream
    )
    ;;
*)
    echo "usage: $0 [run|test]" >&2
    exit 2
    ;;
esac
if [ "${BRENLOW_EXTRA_PACKAGES:-}" != "" ]; then
    # shellcheck disable=SC2206
    packages+=(${BRENLOW_EXTRA_PACKAGES})
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "These Debian packages are missing: ${missing[*]}" >&2
        echo "Install them as root, then run this command again:" >&2
        echo "    su -c 'apt-get update && apt-get install --no-install-recommends ${missing[*]}'" >&2
        exit 1
    fi
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
