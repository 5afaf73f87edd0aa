#!/usr/bin/env bash
# Installs the Debian packages Wavorin needs: to build and run it by default,
# and with --tests also everything the tests use.
# Idempotent: when everything is present it prints nothing and touches nothing.
# It never removes a package: where one of these conflicts with what the
# machine has, apt stops and names it instead.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config
  # libraries
  qt6-base-dev libgl-dev libsdl2-dev libsndfile1-dev libpulse-dev libxcb-shape0-dev libxcb-xfixes0-dev
  # the native PipeWire output (left out of a build without it)
  libpipewire-0.3-dev
  # translations built into the program
  qt6-tools-dev qt6-l10n-tools
  # the Debian package (cpack looks at the program with file)
  file
  # runtime plugins for Qt on X11, and on Wayland where no X server answers
  libxcb-cursor0 qt6-wayland
)
test_packages=(
  # sanitizers, fuzzing and static checks
  clang clang-tidy libclang-rt-14-dev
  # unit tests
  googletest libgtest-dev libgmock-dev
  # the real window under a private X server
  xvfb openbox xdotool x11-utils x11-xserver-utils imagemagick sox fonts-noto-cjk
  # the installed files and the Debian package
  desktop-file-utils appstream mandoc lintian
  # desktop services on a private session bus: screen reader tree, media
  # controls, a stand-in notification service
  dbus-daemon at-spi2-core python3-pyatspi python3-gi python3-dbus playerctl
  # the sound tests beside real sound servers, private and headless, heard at
  # their sink's monitor (the recorder is a libpulse client)
  pulseaudio-utils pipewire pipewire-pulse wireplumber pipewire-bin libpulse-dev
  # PulseAudio's daemon is never installed: a desktop's pipewire-audio
  # conflicts with it. scripts/unpacked-pulseaudio.sh unpacks Debian's package
  # into build/pulseaudio; these are the libraries it and its modules need
  libasound2 libcap2 libdbus-1-3 libfftw3-single3 libglib2.0-0 libgstreamer1.0-0
  libgstreamer-plugins-base1.0-0 libice6 libltdl7 liborc-0.4-0 libpulse0 libsm6 libsndfile1
  libsoxr0 libspeexdsp1 libsystemd0 libtdb1 libudev1 libwebrtc-audio-processing1 libwrap0
  libx11-6 libx11-xcb1 libxcb1 libxtst6
  # the real window as a native Wayland client on a headless compositor
  weston qt6-wayland
  # the desktops Debian ships, started headless: KDE's Wayland compositor
  # with XWayland and its window manager on X11, GNOME's window manager on
  # X11 and its Wayland session
  # (screenshots and pointer through its own services, over PipeWire),
  # picom's and xcompmgr's shadows; xev as the window behind; kwin's
  # screenshots and fake pointer
  kwin-wayland kwin-x11 xwayland mutter gnome-shell picom xcompmgr libwayland-dev
  # an unprivileged user for the permission tests (useradd)
  passwd
  # Qt's own Japanese texts, for the Open dialog under a Japanese locale
  qt6-translations-l10n
)
[ "${1:-}" = "--tests" ] && packages+=("${test_packages[@]}")

# One query for all: one per package takes seconds.
declare -A installed=()
while read -r name status; do
  [ "$status" = "install ok installed" ] && installed[$name]=1
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
  [ -n "${installed[$p]:-}" ] || missing+=("$p")
done
# With --tests, also the unpacked PulseAudio daemon, as the caller (not root),
# quick and quiet when it is there already.
unpack_pulseaudio() {
  [ "${1:-}" != --tests ] || "$(dirname "$0")/unpacked-pulseaudio.sh" >/dev/null
}
if [ ${#missing[@]} -eq 0 ]; then
  unpack_pulseaudio "$@"
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "install-deps.sh: needs root and sudo is missing: run it as root (su -c '$0${*:+ $*}') or install these yourself: ${missing[*]}" >&2
    exit 1
  fi
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends --no-remove "${missing[@]}" >/dev/null
unpack_pulseaudio "$@"
