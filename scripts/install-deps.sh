#!/usr/bin/env bash
# Installs every Debian package Wavorin needs to build, run and test.
# Idempotent: when everything is present it prints nothing and touches nothing.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang clang-tidy
  libclang-rt-14-dev
  # libraries
  qt6-base-dev libgl-dev libsdl2-dev libsndfile1-dev
  # tests
  googletest libgtest-dev libgmock-dev
  xvfb openbox xdotool x11-utils x11-xserver-utils imagemagick sox fonts-noto-cjk
  # runtime plugins for Qt on X11
  libxcb-cursor0 qt6-qpa-plugins
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
