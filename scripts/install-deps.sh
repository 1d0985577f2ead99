#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, on a Debian 12 machine, every package the build, the tests and the demo need.
# Only what is missing is fetched, so a second run costs a few dpkg queries.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev libexpat1-dev libfontconfig-dev
  libhidapi-dev libudev-dev
  libx11-dev libxi-dev libxtst-dev libxcb1-dev
  xvfb xauth x11-utils imagemagick xdotool
  sway xwayland wtype grim qt6-wayland
  dbus at-spi2-core python3-pyatspi python3-dbus python3-gi
  fonts-dejavu-core
  python3
  desktop-file-utils appstream dpkg-dev file man-db
  debhelper lintian
  clang clang-format libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
