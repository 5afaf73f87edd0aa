#!/usr/bin/env bash
# The native PipeWire output's figures beside a private PipeWire with
# WirePlumber and pipewire-pulse (scripts/with-sound-server.sh), against its
# floors, heard through a passive native tap on the sink's monitor that
# neither wakes the graph nor shortens its cycle:
#   - request -> first sample of the click: the stream open (corked), closed,
#     and first after start; a bare pw_stream kept running at the smallest
#     cycle; pacat kept open; interleaved trial by trial;
#   - Stop -> last sample while a tune plays, with the graph forced to 256,
#     512 and 1024 frames (pw-metadata clock.force-quantum), and unforced;
#   - a tune of `seconds` (default 60): this output's and pw-play's wake-ups
#     and CPU, and the server's CPU (wavorin_desktop_bench load);
#   - after a sound: the node's state 1 s later, after close, and when the
#     sink suspends.
# Prints figures only; never fails on them. Not part of the test suite.
# Usage: bench/sound/pipewire_run.sh [trials] [seconds] [build folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
if [ "${1:-}" = --beside-server ]; then
  trials=$2 seconds=$3 bin=$4 work=$5
  bench=$bin/wavorin_pipewire_bench
  echo "click (ms, median min max over $trials trials):"
  echo "  $("$bench" click "$bin/click.wav" "$trials" || true)"
  for quantum in 256 512 1024 0; do
    pw-metadata -n settings 0 clock.force-quantum "$quantum" >/dev/null
    sleep 0.3
    echo "stop, forced quantum $quantum: $("$bench" stop "$trials" || true)"
  done
  pw-metadata -n settings 0 clock.force-quantum 0 >/dev/null
  pids=$WAVORIN_SOUND_SERVER_PIDS
  echo "tune ${seconds}s, this output: $("$bin/wavorin_desktop_bench" load "$pids" "$seconds" \
    "$bench" play "$work/tune.wav" "$((${seconds%.*} + 5))" || true)"
  echo "tune ${seconds}s, pw-play:     $("$bin/wavorin_desktop_bench" load "$pids" "$seconds" \
    pw-play "$work/tune.wav" || true)"
  echo "after a sound: $("$bench" after "$bin/click.wav" || true)"
  exit 0
fi
trials=${1:-9}
seconds=${2:-60}
build=${3:-$root/build/release}
bin=$build/bin
for tool in wavorin_pipewire_bench wavorin_desktop_bench; do
  [ -x "$bin/$tool" ] || { echo "build $tool first (cmake --build $build)" >&2; exit 1; }
done
work=$(mktemp -d /tmp/wavorin-pw-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
# A tune longer than the measurement: 16-bit 44.1 kHz stereo, a soft chord.
python3 - "$work/tune.wav" "$((${seconds%.*} + 10))" <<'PY'
import math, struct, sys, wave
path, seconds = sys.argv[1], int(sys.argv[2])
second = b"".join(struct.pack("<hh", v, v) for v in (
    int(4000 * (math.sin(2 * math.pi * 220 * n / 44100) + math.sin(2 * math.pi * 330 * n / 44100)))
    for n in range(44100)))
with wave.open(path, "wb") as out:
    out.setnchannels(2); out.setsampwidth(2); out.setframerate(44100)
    for _ in range(seconds):
        out.writeframes(second)
PY
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
"$root/scripts/with-sound-server.sh" pipewire "$0" --beside-server "$trials" "$seconds" "$bin" "$work"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
