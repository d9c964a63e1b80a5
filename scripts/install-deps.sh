#!/usr/bin/env bash
# Installs the Debian packages that building and testing VelView need. Idempotent: packages
# already installed are left alone, and nothing is fetched when none is missing.
# Works as root and, for other users, through sudo.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev ccache python3 libxml2-utils libjpeg62-turbo-dev libturbojpeg0-dev libpng-dev libtiff-dev libxml2-dev
  pkg-config libpoppler-cpp-dev libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  qt6-base-dev qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  fonts-ipafont-gothic)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
