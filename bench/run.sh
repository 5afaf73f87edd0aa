#!/usr/bin/env bash
# The whole benchmark in one command: builds the program, the floors and the
# measuring tools, starts a private X server (no window manager), then run by
# run, beside a private PulseAudio with Debian's default configuration and a
# private PipeWire with WirePlumber and pipewire-pulse in turn (each started
# afresh for the run by scripts/with-sound-server.sh), measures the program
# on both of its sound paths (its own choice, and SDL's PulseAudio driver)
# side by side with paplay and pw-play, and prints each goal with its ratio:
# medians, extremes and ratios. Prints figures only; never fails on them. Not
# part of the test suite. Installs what it needs (Debian packages) when missing.
# Usage: bench/run.sh [runs]   (default 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# One run beside the sound server that with-sound-server.sh has started:
#   bench/run.sh --beside-server <run number>
# Rows go to $results as "<what>@<server> key=value...".
if [ "${1:-}" = --beside-server ]; then
  i=$2
  server=$WAVORIN_SOUND_SERVER
  pids=$WAVORIN_SOUND_SERVER_PIDS
  row() { echo "$1@$server $2" >>"$results"; }
  # First, while nothing else keeps the sink awake: how long a press keeps
  # the window from answering in each state of the server, and how soon
  # after Stop the sink may sleep.
  row wavorin_answers "$("$bin/wavorin_desktop_bench" answers "$work/program/wavorin" "$pids" || true)"
  # A desktop's server is never idle: something records or plays at a short
  # latency. The monitor recorded at 10 ms keeps the sink running alike for
  # every player measured. The bench's own tap, which times the sound at the
  # sink, records in 1 ms fragments and is open only while it times.
  parec --device=@DEFAULT_MONITOR@ --latency-msec=10 >/dev/null 2>&1 &
  keep_awake=$!
  trap 'kill $keep_awake 2>/dev/null || true' EXIT
  paths=(native sdl)
  [ $((i % 2)) -eq 0 ] && paths=(sdl native)
  for path in "${paths[@]}"; do
    row "wavorin_$path" "$("$bin/wavorin_desktop_bench" wavorin "$work/program/wavorin" "$pids" "$path" || true)"
  done
  row paplay_click "$("$bin/wavorin_play_bench" time pulse 0.2 paplay "$work/program/click.wav" || true)"
  row pacat_open "$("$bin/wavorin_play_bench" floor "$work/program/click.wav" 9 || true)"
  row paplay_play "$("$bin/wavorin_desktop_bench" load "$pids" 5 paplay "$work/program/sample1.wav" || true)"
  if [ "$server" = pipewire ]; then
    row pwplay_play "$("$bin/wavorin_desktop_bench" load "$pids" 5 pw-play "$work/program/sample1.wav" || true)"
  fi
  if [ "$i" -le 2 ]; then
    for path in "${paths[@]}"; do
      backend=$([ "$path" = native ] && echo native || echo pulse)
      row "service_small_$path" "$("$bin/wavorin_play_bench" play "$work/small.wav" 2 "$backend" || true)"
    done
    row service_large_native "$("$bin/wavorin_play_bench" play "$work/large.wav" 2 native || true)"
  fi
  exit 0
fi

runs=${1:-5}
build=$root/build/bench

"$root/scripts/install-deps.sh" --tests
missing=()
for pair in Xvfb:xvfb paplay:pulseaudio-utils parec:pulseaudio-utils \
  pactl:pulseaudio-utils pipewire:pipewire pipewire-pulse:pipewire-pulse wireplumber:wireplumber \
  pw-play:pipewire-bin python3:python3; do
  command -v "${pair%%:*}" >/dev/null || missing+=("${pair#*:}")
done
[ -e /usr/include/X11/extensions/XTest.h ] || missing+=(libxtst-dev)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing ${missing[*]} for the benchmark"
  sudo=$([ "$(id -u)" -eq 0 ] || echo sudo)
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends --no-remove \
    $(printf '%s\n' "${missing[@]}" | sort -u) >/dev/null
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWAVORIN_TESTS=ON >/dev/null
cmake --build "$build" -j2 --target wavorin wavorin_bare_window wavorin_desktop_bench \
  wavorin_play_bench wavorin_sound_module >/dev/null
bin=$build/bin

work=$(mktemp -d /tmp/wavorin-bench.XXXXXX)
x_pid=
cleanup() {
  [ -n "$x_pid" ] && kill "$x_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The program in a folder of its own, its Play sound a 60 s file; settings
# in a private home.
mkdir -p "$work/program" "$work/home"
cp "$bin/wavorin" "$bin/libwavorin-sound.so" "$bin/click.wav" "$bin/dummy.wav" "$work/program/"
"$bin/wavorin_play_bench" make "$work/program/sample1.wav" 10  # 59.4 s of 16-bit stereo
"$bin/wavorin_play_bench" make "$work/small.wav" 1
"$bin/wavorin_play_bench" make "$work/large.wav" 2048
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/home

exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
x_pid=$!
read -r -u "$fd" display
export DISPLAY=:$display QT_QPA_PLATFORM=xcb

# The libraries the program links beyond the bare Qt one: the audio library
# with its video and Wayland dependencies, the decoder with its codecs.
extra_libs="libSDL2-2.0.so.0 libsndfile.so.1"
results=$work/results
: >"$results"
export bin work results
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# Warm the disk cache once, so no run pays for reading libraries.
"$bin/wavorin_desktop_bench" bare "$bin/wavorin_bare_window" >/dev/null || true
paplay --version >/dev/null
servers=(pulseaudio pipewire)
for i in $(seq "$runs"); do
  printf '\rrun %d of %d' "$i" "$runs" >&2
  echo "bare $("$bin/wavorin_desktop_bench" bare "$bin/wavorin_bare_window" || true)" >>"$results"
  echo "bare_libs $(LD_PRELOAD=$extra_libs "$bin/wavorin_desktop_bench" bare "$bin/wavorin_bare_window" || true)" >>"$results"
  # The floor for what cannot be avoided: the program's file dialog in the
  # bare Qt program.
  echo "bare_dialog $("$bin/wavorin_desktop_bench" bare_dialog "$bin/wavorin_bare_window" "$work/program" || true)" >>"$results"
  for server in "${servers[@]}"; do
    "$root/scripts/with-sound-server.sh" "$server" "$0" --beside-server "$i" ||
      echo "bench: run $i beside $server failed" >&2
  done
  servers=("${servers[1]}" "${servers[0]}")  # the other one first next time
done
echo >&2
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
mkdir -p "$build"
cp "$results" "$build/results.txt"  # the raw figures, kept
for program in "$bin/wavorin_bare_window" "$work/program/wavorin"; do
  count=$(ldd "$program" | grep -c '=>')
  startup=$({ LD_DEBUG=statistics timeout 0.5 "$program" 2>&1 >/dev/null || true; } |
    sed -n 's/.*total startup time in dynamic loader: *\([0-9]*\).*/\1/p' | head -1)
  echo "$(basename "$program"): $count shared libraries; dynamic loader start-up ${startup:-?} cycles"
done
echo "load average (1, 5, 15 min): before $load_before, after $load_after; $(nproc) cores"
python3 "$root/bench/table.py" "$results"
