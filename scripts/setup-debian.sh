#!/usr/bin/env bash
# Installs what building, running and testing Velmora needs on Debian 12, and only
# what is missing. Uses sudo when not run as root.
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-serialport-dev qt6-wayland libgl-dev
          fonts-noto-cjk fonts-dejavu-core socat ser2net ccache qt6-l10n-tools libboost-dev libdeflate-dev "$@")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
        || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
