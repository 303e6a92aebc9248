#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing need, when
# any is missing. Without root it names the one command that would do it.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  libsdl2-dev libsdl2-ttf-dev libfontconfig-dev libpng-dev libx11-dev
  fonts-liberation2 fonts-dseg
  googletest libgtest-dev libbenchmark-dev
  xvfb xdotool imagemagick clang-format-14
  clang libclang-rt-14-dev
  desktop-file-utils appstream dpkg-dev groff-base man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages; install them with: sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
