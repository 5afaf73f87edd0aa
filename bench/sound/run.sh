#!/usr/bin/env bash
# Side-by-side figures for the sound service, paplay and ffplay: time to the
# first sample at the device for a 1 MB, a 2 GB and a 4.1 GiB RF64 file, peak
# resident memory and CPU share while playing. Run by hand, never by the test
# suite: installs ffmpeg and PulseAudio's tools when missing (never removing a
# package), and starts a private PulseAudio server with a null sink for the
# run (no sound card needed): Debian's daemon unpacked into build/pulseaudio
# by scripts/unpacked-pulseaudio.sh, with the libraries that
# scripts/install-deps.sh --tests installs.
# Prints figures only; never fails on them.
# Usage: bench/sound/run.sh [build folder]   (default: build/sound)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/sound}
bench=$build/bin/wavorin_play_bench
seconds=5

if [ ! -x "$bench" ]; then
  echo "build wavorin_play_bench first: cmake --build $build --target wavorin_play_bench" >&2
  exit 1
fi

missing=()
command -v ffplay >/dev/null || missing+=(ffmpeg)
{ command -v paplay && command -v parec && command -v pactl; } >/dev/null || missing+=(pulseaudio-utils)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing ${missing[*]} for this benchmark"
  sudo=$([ "$(id -u)" -eq 0 ] || echo sudo)
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends --no-remove \
    "${missing[@]}" >/dev/null
fi

work=$(mktemp -d /tmp/wavorin-bench.XXXXXX)
pulse_pid=
cleanup() {
  if [ -n "$pulse_pid" ]; then
    kill "$pulse_pid" 2>/dev/null || true
    wait "$pulse_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

declare -A sizes=([small]="1" [large]="2048" [rf64]="4200")
for name in small large rf64; do
  start=$(date +%s.%N)
  "$bench" make "$work/$name.wav" "${sizes[$name]}" "$([ "$name" = rf64 ] && echo rf64 || true)"
  printf 'made %-5s %6s MiB in %.1f s\n' "$name" "${sizes[$name]}" "$(echo "$(date +%s.%N) - $start" | bc)"
done

# A private PulseAudio server: one null sink at the files' own rate (so nothing
# resamples), clients on a socket in $work. Its own HOME and runtime folder
# keep it away from any session server; as root it only warns.
mkdir -p "$work/pulse/home" "$work/pulse/run"
cat >"$work/pulse/default.pa" <<EOF
load-module module-null-sink sink_name=bench rate=44100 channels=2
load-module module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native
set-default-sink bench
EOF
pulseaudio=$("$root/scripts/unpacked-pulseaudio.sh")
HOME=$work/pulse/home XDG_RUNTIME_DIR=$work/pulse/run \
  "$pulseaudio" -n -F "$work/pulse/default.pa" --exit-idle-time=-1 --daemonize=no \
  --use-pid-file=no --log-target=file:"$work/pulse/log" &
pulse_pid=$!
export PULSE_SERVER=unix:$work/pulse/native
for _ in $(seq 50); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
pulse=yes
if ! pactl info >/dev/null 2>&1; then
  pulse=no
  echo "PulseAudio server did not start; pulse rows left out:" >&2
  cat "$work/pulse/log" >&2 || true
fi

echo
echo "wavorin in-process, request to first sample (each row: ${seconds} s of 16-bit 44.1 kHz stereo)"
backends=(disk)
[ "$pulse" = yes ] && backends+=(pulse)
for backend in "${backends[@]}"; do
  for name in small large rf64; do
    printf '%-6s %-5s %s\n' "$name" "$backend" \
      "$("$bench" play "$work/$name.wav" "$seconds" "$backend" 2>/dev/null || echo failed)"
  done
done

# Every player timed alike from outside: process start to first non-silent
# sample, then peak RSS and CPU over $seconds.
field() {
  local value
  value=$(sed -n "s/.*$1=\([^ ]*\).*/\1/p" <<<"$2")
  echo "${value:--}"
}
rows=()
notes=()
measure() {
  local player=$1 name=$2 backend=$3
  shift 3
  local line
  line=$("$bench" time "$backend" "$seconds" "$@" 2>/dev/null || echo "first_sample_ms=failed")
  printf '%-6s %-8s %-5s %s\n' "$name" "$player" "$backend" "$line"
  rows+=("$player $name $(field first_sample_ms "$line") $(field peak_rss_mib "$line") $(field cpu_pct "$line") $backend")
  [[ $line == *note=* ]] && notes+=("$player $name $backend: ${line#*note=}")
  return 0
}
# Load each player once so that no row pays for reading its libraries from disk.
ffplay -version >/dev/null 2>&1 || true
paplay --version >/dev/null 2>&1 || true
echo
echo "every player from outside, process start to first sample"
for name in small large rf64; do
  file="$work/$name.wav"
  for backend in "${backends[@]}"; do
    measure wavorin "$name" "$backend" "$bench" once "$file" 3600
    measure ffplay "$name" "$backend" ffplay -nodisp -autoexit -loglevel quiet "$file"
    [ "$backend" = pulse ] && measure paplay "$name" "$backend" paplay "$file"
  done
done

echo
echo "first sample: ms from the player's process start to its first non-silent sample at the device"
echo "peak RSS: the player's VmHWM; CPU: its user+system time over ${seconds} s from that sample"
echo "disk = SDL disk driver into a FIFO; pulse = private PulseAudio null sink, heard through its monitor"
printf '%-8s %-6s %16s %14s %12s  %s\n' player file "first sample ms" "peak RSS MiB" "CPU % core" "back end"
for player in wavorin ffplay paplay; do
  for row in "${rows[@]}"; do
    read -r p name first rss cpu backend <<<"$row"
    [ "$p" = "$player" ] || continue
    case $backend in
      disk) label="SDL disk driver -> FIFO" ;;
      pulse) label="PulseAudio null sink" ;;
    esac
    printf '%-8s %-6s %16s %14s %12s  %s\n' "$p" "$name" "$first" "$rss" "$cpu" "$label"
  done
done
for note in "${notes[@]}"; do echo "note: $note"; done
