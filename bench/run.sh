#!/usr/bin/env bash
# The whole benchmark in one command: builds the program, the floors and the
# measuring tools, starts a private X server (no window manager) and a private
# PulseAudio server with a null sink whose monitor is recorded, then runs the
# program and the floors in turn, run by run, and prints a table of medians,
# extremes and ratios. Prints figures only; never fails on them. Not part of
# the test suite. Installs what it needs (Debian packages) when missing.
# Usage: bench/run.sh [runs]   (default 10)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-10}
build=$root/build/bench

"$root/scripts/install-deps.sh" --tests
missing=()
for pair in Xvfb:xvfb pulseaudio:pulseaudio paplay:pulseaudio-utils parec:pulseaudio-utils \
  pactl:pulseaudio-utils python3:python3; do
  command -v "${pair%%:*}" >/dev/null || missing+=("${pair#*:}")
done
[ -e /usr/include/X11/extensions/XTest.h ] || missing+=(libxtst-dev)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing ${missing[*]} for the benchmark"
  sudo=$([ "$(id -u)" -eq 0 ] || echo sudo)
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    $(printf '%s\n' "${missing[@]}" | sort -u) >/dev/null
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWAVORIN_TESTS=ON >/dev/null
cmake --build "$build" -j2 --target wavorin wavorin_bare_window wavorin_desktop_bench \
  wavorin_play_bench wavorin_sdl_player >/dev/null
bin=$build/bin

work=$(mktemp -d /tmp/wavorin-bench.XXXXXX)
pids=()
cleanup() {
  # The recorder before the server it records from, the X server last.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null || true; done
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
pids+=($!)
read -r -u "$fd" display
export DISPLAY=:$display

mkdir -p "$work/pulse"
cat >"$work/pulse/default.pa" <<PA
load-module module-null-sink sink_name=bench rate=44100 channels=2
load-module module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native
set-default-sink bench
PA
pulseaudio -n -F "$work/pulse/default.pa" --exit-idle-time=-1 --daemonize=no \
  --use-pid-file=no --log-target=file:"$work/pulse/log" &
server=$!
pids+=($server)
export PULSE_SERVER=unix:$work/pulse/native
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null

# A desktop's server is never idle: something records or plays at a short
# latency. The monitor recorded at 10 ms keeps the sink running alike for
# every player measured.
parec --device=@DEFAULT_MONITOR@ --latency-msec=10 >/dev/null 2>&1 &
pids+=($!)

export QT_QPA_PLATFORM=xcb
# The libraries the program links beyond the bare Qt one: the audio library
# with its video and Wayland dependencies, the decoder with its codecs.
extra_libs="libSDL2-2.0.so.0 libsndfile.so.1"
results=$work/results
: >"$results"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# Warm the disk cache once, so no run pays for reading libraries.
"$bin/wavorin_desktop_bench" bare "$bin/wavorin_bare_window" >/dev/null || true
paplay --version >/dev/null
for i in $(seq "$runs"); do
  printf '\rrun %d of %d' "$i" "$runs" >&2
  echo "wavorin $("$bin/wavorin_desktop_bench" wavorin "$work/program/wavorin" "$server" || true)" >>"$results"
  echo "bare $("$bin/wavorin_desktop_bench" bare "$bin/wavorin_bare_window" || true)" >>"$results"
  echo "bare_libs $(LD_PRELOAD=$extra_libs "$bin/wavorin_desktop_bench" bare "$bin/wavorin_bare_window" || true)" >>"$results"
  echo "paplay_click $("$bin/wavorin_play_bench" time pulse 0.2 paplay "$work/program/click.wav" || true)" >>"$results"
  echo "paplay_play $("$bin/wavorin_desktop_bench" load "$server" 5 paplay "$work/program/sample1.wav" || true)" >>"$results"
  # The floors for what cannot be avoided: the program's file dialog in the
  # bare Qt program, paplay at the program's device latency (one 1024-frame
  # buffer, so that Stop is silent within it), and the program's sound
  # libraries playing with no window.
  echo "bare_dialog $("$bin/wavorin_desktop_bench" bare_dialog "$bin/wavorin_bare_window" "$work/program" || true)" >>"$results"
  echo "paplay_23ms $("$bin/wavorin_desktop_bench" load "$server" 5 paplay --latency-msec=23 "$work/program/sample1.wav" || true)" >>"$results"
  # The same latency with the requests batched to one a buffer: fewer
  # wake-ups in the player, paid for by the server.
  echo "paplay_23ms_batched $("$bin/wavorin_desktop_bench" load "$server" 5 paplay --latency-msec=23 --process-time-msec=23 "$work/program/sample1.wav" || true)" >>"$results"
  echo "sdl_player $("$bin/wavorin_desktop_bench" load "$server" 5 "$bin/wavorin_sdl_player" "$work/program/sample1.wav" || true)" >>"$results"
  if [ "$i" -le 3 ]; then
    echo "service_small $("$bin/wavorin_play_bench" play "$work/small.wav" 2 pulse || true)" >>"$results"
    echo "service_large $("$bin/wavorin_play_bench" play "$work/large.wav" 2 pulse || true)" >>"$results"
  fi
done
echo >&2
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
cp "$results" "$build/results.txt"  # the raw figures, kept
for program in "$bin/wavorin_bare_window" "$work/program/wavorin"; do
  count=$(ldd "$program" | grep -c '=>')
  startup=$({ LD_DEBUG=statistics timeout 0.5 "$program" 2>&1 >/dev/null || true; } |
    sed -n 's/.*total startup time in dynamic loader: *\([0-9]*\).*/\1/p' | head -1)
  echo "$(basename "$program"): $count shared libraries; dynamic loader start-up ${startup:-?} cycles"
done
echo "load average (1, 5, 15 min): before $load_before, after $load_after; $(nproc) cores"
python3 "$root/bench/table.py" "$results"
