#!/usr/bin/env bash
# The decoding fuzz target, built with clang++ and libFuzzer (by the build,
# once), and its run for a bounded time (by the test). Usage:
#   run_fuzzer.sh build <source root> <target>
#   run_fuzzer.sh run <target> <work folder> [seconds]
set -euo pipefail
if [ "$1" = build ]; then
  root=$2
  flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
         -I"$root" $(pkg-config --cflags sdl2 sndfile))
  mkdir -p "$(dirname "$3")"
  clang++ "${flags[@]}" -o "$3" \
    "$root/tests/platform/sound/fuzz_decode.cpp" \
    "$root/platform/sound/decoding/sound_file.cpp" \
    "$root/platform/sound/decoding/sound_decoder.cpp" \
    "$root/platform/sound/decoding/channel_mixer.cpp" \
    $(pkg-config --libs sdl2 sndfile)
  exit 0
fi
target=$2
work=$3
seconds=${4:-20}
mkdir -p "$work/corpus"

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

"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$work/corpus"
