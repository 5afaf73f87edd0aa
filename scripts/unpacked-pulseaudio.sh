#!/usr/bin/env bash
# Prints the path of a PulseAudio daemon unpacked from Debian's `pulseaudio`
# package into build/pulseaudio/, unpacking it first when it is not there.
# The package itself is never installed: on a desktop whose sound comes from
# PipeWire (pipewire-audio, which conflicts with it) apt would remove the
# desktop's sound to make room. Its libraries are installed by
# scripts/install-deps.sh --tests; this takes only the daemon, its core
# library, its modules and its configuration files.
#
# The printed path is a launcher that runs the unpacked daemon with its own
# core library, modules (and the helper libraries beside them) and
# daemon.conf; arguments go to the daemon, and it execs, so its process id is
# the daemon's. The daemon comes in the version of the installed libpulse0,
# whose libpulsecommon it shares. Safe to run concurrently; when already
# unpacked it only checks that the launcher is there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(dpkg-query -W -f='${Version}' libpulse0 2>/dev/null) || {
  echo "unpacked-pulseaudio: libpulse0 is not installed: run scripts/install-deps.sh --tests" >&2
  exit 1
}
# An epoch's colon would end a search path: the folder spells it as apt does.
cache=$root/build/pulseaudio/${version//:/%3a}
launcher=$cache/pulseaudio
if [ -x "$launcher" ]; then
  echo "$launcher"
  exit 0
fi

mkdir -p "$root/build/pulseaudio"
work=$(mktemp -d "$root/build/pulseaudio/.unpack.XXXXXX")
trap 'rm -rf "$work"' EXIT
# As root apt downloads as its unprivileged user, which cannot write here.
sandbox=()
[ "$(id -u)" -ne 0 ] || sandbox=(-o APT::Sandbox::User=root)
if ! (cd "$work" && apt-get download -qq "${sandbox[@]}" "pulseaudio=$version" >/dev/null); then
  echo "unpacked-pulseaudio: cannot download pulseaudio $version (apt-get update may help)" >&2
  exit 1
fi
dpkg-deb -x "$work"/pulseaudio_*.deb "$work/tree"
tree=$work/tree
core=$(find "$tree/usr/lib" -name 'libpulsecore-*.so' -print -quit)
modules=$(find "$tree/usr/lib" -maxdepth 2 -type d -path '*/pulse-*/modules' -print -quit)
if [ -z "$core" ] || [ -z "$modules" ]; then
  echo "unpacked-pulseaudio: the package holds no libpulsecore or modules folder" >&2
  exit 1
fi
# Nothing from the machine's /etc/pulse: the startup script's include of
# its drop-in folder goes.
sed -i '\|^\.include /etc/pulse/default\.pa\.d|d' "$tree/etc/pulse/default.pa"
cat >"$tree/pulseaudio" <<SH
#!/bin/sh
# PulseAudio $version as unpacked from its Debian package, with its own core
# library, modules and daemon.conf; wherever this folder is.
here=\$(cd "\$(dirname "\$0")" && pwd)
export PULSE_CONFIG="\$here/etc/pulse/daemon.conf"
# The modules' own helper libraries lie beside them.
export LD_LIBRARY_PATH="\$here$(dirname "${core#"$tree"}"):\$here${modules#"$tree"}\${LD_LIBRARY_PATH:+:\$LD_LIBRARY_PATH}"
exec "\$here/usr/bin/pulseaudio" --dl-search-path="\$here${modules#"$tree"}" "\$@"
SH
chmod +x "$tree/pulseaudio"
# Whole or not at all: a run that comes second finds the first one's tree.
mv -T "$tree" "$cache" 2>/dev/null || [ -x "$launcher" ] || {
  echo "unpacked-pulseaudio: cannot move the unpacked tree to $cache" >&2
  exit 1
}
echo "$launcher"
