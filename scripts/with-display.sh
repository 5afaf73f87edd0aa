#!/usr/bin/env bash
# Runs a command inside a private X server with a window manager and SDL's
# disk audio driver, so tests need no display and no sound card.
set -euo pipefail

wait_until() {  # wait_until <seconds> <what> <command...>: polls the command
  local deadline=$((SECONDS + $1)) what=$2
  shift 2
  until "$@"; do
    if [ $SECONDS -ge $deadline ]; then
      echo "with-display: $what did not come up" >&2
      return 1
    fi
    sleep 0.05
  done
}

# Xvfb chooses a free display number itself and writes it out once it takes
# connections: no fixed numbers, no race with another server.
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -noreset -nolisten tcp \
  3>"$number_file" >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -f "$number_file"
}
trap cleanup EXIT
display_ready() {
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "with-display: Xvfb ended" >&2; exit 1; }
  grep -q '^[0-9][0-9]*$' "$number_file"
}
wait_until 30 "Xvfb" display_ready
export DISPLAY=":$(cat "$number_file")"

# The window manager is up once it has put its check window on the root.
openbox >/dev/null 2>&1 &
wm_pid=$!
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until 30 "the window manager" wm_ready

export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-disk}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb}
"$@"
