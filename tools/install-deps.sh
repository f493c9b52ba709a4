#!/usr/bin/env bash
# Installs the Debian packages Pixelvane needs to build and test, only those that are missing.
# Non-interactive; returns at once when everything is present. Needs root (or sudo) to install.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libfreeimage-dev libexiv2-dev libcairo2-dev libpango1.0-dev libfontconfig-dev libarchive-dev
    qt6-base-dev
    fonts-liberation2 fonts-dejavu-core
    libgtest-dev libgmock-dev
    libimage-exiftool-perl
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
