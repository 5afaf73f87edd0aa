#!/usr/bin/env bash
# Builds the decoding fuzz target with clang++ and libFuzzer and runs it for a
# bounded time. Usage: run_fuzzer.sh <source root> <work folder> [seconds]
set -euo pipefail
root=$1
work=$2
seconds=${3:-20}

if ! command -v clang++ >/dev/null; then
  echo "clang++ not found: fuzzing skipped"
  exit 0
fi
mkdir -p "$work/corpus"

flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$root" $(pkg-config --cflags sdl2 sndfile))
clang++ "${flags[@]}" -o "$work/sound_fuzz" \
  "$root/tests/platform/sound/fuzz_decode.cpp" \
  "$root/platform/sound/sound_file.cpp" \
  "$root/platform/sound/sound_decoder.cpp" \
  "$root/platform/sound/channel_mixer.cpp" \
  $(pkg-config --libs sdl2 sndfile)

# Seeds in several encodings, so the run starts inside the decoders.
if command -v sox >/dev/null && [ -z "$(ls -A "$work/corpus")" ]; then
  n=0
  for encoding in "-e signed -b 16" "-e unsigned -b 8" "-e signed -b 24" "-e floating-point -b 32" \
                  "-e u-law" "-e a-law" "-e ima-adpcm" "-e ms-adpcm" "-e gsm-full-rate"; do
    # shellcheck disable=SC2086
    sox -n -r 8000 -c 1 $encoding "$work/corpus/seed$n.wav" synth 0.02 sine 440 2>/dev/null || true
    n=$((n + 1))
  done
fi

"$work/sound_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$work/corpus"
