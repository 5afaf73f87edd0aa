#!/usr/bin/env bash
# Soak: presses Play and Stop through the real window (xdotool under a private
# X server) PRESSES times in turn, and prints the program's resident memory,
# threads and open files every SAMPLE presses. Not part of the tests: it takes
# a quarter of an hour. Usage: bench/soak/soak.sh [build folder] [presses] [sample]
# (defaults: build/release, 10000, 500). Builds what it runs in that build
# folder (wavorin_desktop_bench reads the figures).
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$here/build/release}
presses=${2:-10000}
sample=${3:-500}
cmake --build "$build" --target wavorin wavorin_desktop_bench wavorin_button_centres >/dev/null
if [ -z "${DISPLAY:-}" ] || [ -z "${WAVORIN_SOAK_INSIDE:-}" ]; then
  WAVORIN_SOAK_INSIDE=1 exec "$here/scripts/with-display.sh" "$0" "$build" "$presses" "$sample"
fi

work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$build/bin/wavorin" "$build/bin/libwavorin-sound.so" "$build/bin/click.wav" "$build/bin/dummy.wav" "$build/bin/sample1.wav" "$work/"
XDG_CONFIG_HOME=$work SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null "$work/wavorin" \
  2>"$work/stderr.txt" &
pid=$!
window=""
for _ in $(seq 200); do
  window=$(xdotool search --onlyvisible --pid "$pid" --name '^Form1$' 2>/dev/null | tail -1 || true)
  [ -n "$window" ] && break
  sleep 0.05
done
[ -n "$window" ] || { echo "soak: no window" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y of the window's inside
# Each button's centre in the window, "name x y" a line.
centres=$("$build/bin/wavorin_button_centres")
at() { awk -v name="$1" -v x="$X" -v y="$Y" '$1 == name {print x + $2, y + $3}' <<<"$centres"; }
read -ra play <<<"$(at b_ply)"
read -ra stop <<<"$(at b_stp)"
if [ "${#play[@]}" -ne 2 ] || [ "${#stop[@]}" -ne 2 ]; then
  echo "soak: no button centres from $build/bin/wavorin_button_centres" >&2
  exit 1
fi

figures() {
  local rss threads files
  read -r rss threads files < <("$build/bin/wavorin_desktop_bench" process "$pid")
  printf '%6d presses  %6d kB resident  %3d threads  %3d open files  %5ds\n' \
    "$1" "$rss" "$threads" "$files" "$SECONDS"
}

SECONDS=0
figures 0
done_presses=0
while [ $done_presses -lt "$presses" ]; do
  # One xdotool run per sample: Play, Stop, Play, Stop ... each press held
  # off until the click before it has sounded (40 ms).
  chain=()
  for _ in $(seq $((sample / 2))); do
    chain+=(mousemove "${play[@]}" click 1 sleep 0.06 mousemove "${stop[@]}" click 1 sleep 0.06)
  done
  xdotool "${chain[@]}"
  done_presses=$((done_presses + sample))
  sleep 0.5  # the last click's handler has run
  kill -0 "$pid" 2>/dev/null || { echo "soak: the program ended" >&2; cat "$work/stderr.txt" >&2; exit 1; }
  figures "$done_presses"
done
echo "stderr of the program:"
cat "$work/stderr.txt"
