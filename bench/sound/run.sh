#!/usr/bin/env bash
# Side-by-side figures for the sound service and, where installed, paplay and
# ffplay: request to first sample at the device for a 1 MB, a 2 GB and a
# 4.1 GiB RF64 file, peak resident memory and CPU share while playing.
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
work=$(mktemp -d /tmp/wavorin-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

declare -A sizes=([small]="1" [large]="2048" [rf64]="4200")
for name in small large rf64; do
  start=$(date +%s.%N)
  "$bench" make "$work/$name.wav" "${sizes[$name]}" "$([ "$name" = rf64 ] && echo rf64 || true)"
  printf 'made %-5s %6s MiB in %.1f s\n' "$name" "${sizes[$name]}" "$(echo "$(date +%s.%N) - $start" | bc)"
done

# Peak memory (MiB) and CPU share (%) of another player over $seconds.
other_player() {
  local file=$1
  shift
  "$@" "$file" >/dev/null 2>&1 &
  local pid=$!
  sleep "$seconds"
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "could not play here"
    return
  fi
  local rss ticks
  rss=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  ticks=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  printf 'first_sample_ms=n/a peak_rss_mib=%.1f cpu_pct=%.2f\n' \
    "$(echo "$rss / 1024" | bc -l)" "$(echo "$ticks * 100 / $(getconf CLK_TCK) / $seconds" | bc -l)"
}

echo
echo "back end: SDL disk driver writing into a FIFO read by the benchmark (no sound card here)"
echo "each row: ${seconds} s of 16-bit 44.1 kHz stereo"
for name in small large rf64; do
  file="$work/$name.wav"
  printf '%-6s %-8s %s\n' "$name" wavorin "$("$bench" play "$file" "$seconds" 2>/dev/null)"
  for player in paplay "ffplay -nodisp -autoexit -loglevel quiet"; do
    tool=${player%% *}
    if command -v "$tool" >/dev/null; then
      # shellcheck disable=SC2086
      printf '%-6s %-8s %s\n' "$name" "$tool" "$(other_player "$file" $player)"
    else
      printf '%-6s %-8s not available\n' "$name" "$tool"
    fi
  done
done
