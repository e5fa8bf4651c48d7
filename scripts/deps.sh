#!/usr/bin/env bash
# Installs the Debian packages Brenlow needs to build, run and test. Idempotent: when everything is
# already there it only asks dpkg and returns at once.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core fonts-wine python3 dpkg-dev
    yt-dlp ffmpeg
    clang-14 libclang-rt-14-dev
)
if [ "${BRENLOW_EXTRA_PACKAGES:-}" != "" ]; then
    # shellcheck disable=SC2206
    packages+=(${BRENLOW_EXTRA_PACKAGES})
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
