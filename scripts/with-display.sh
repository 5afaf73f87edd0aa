#!/usr/bin/env bash
# Runs a command inside a private X server with a window manager and SDL's
# disk audio driver, so tests need no display and no sound card.
set -euo pipefail
display_number=${WAVORIN_TEST_DISPLAY:-97}
while [ -e "/tmp/.X${display_number}-lock" ]; do display_number=$((display_number + 1)); done
export DISPLAY=":${display_number}"

Xvfb "$DISPLAY" -screen 0 1024x768x24 -dpi 96 -noreset -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
openbox >/dev/null 2>&1 &
wm_pid=$!
sleep 0.5

export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-disk}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb}
"$@"
