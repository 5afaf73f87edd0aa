#!/usr/bin/env bash
# Builds the sanitizer presets and runs the tests each is for:
#   debug (AddressSanitizer + UndefinedBehaviorSanitizer): the unit, window-host,
#     compositor-watch and sound tests, under the private X server as everywhere
#     else;
#   tsan (ThreadSanitizer): the sound tests, which hold the program's own
#     threads (the audio thread, the feeder). The window-host tests stay out:
#     Qt's file-dialog threads run in uninstrumented Qt and give false reports.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=${WAVORIN_JOBS:-2}
cd "$here"

export LSAN_OPTIONS="suppressions=$here/cmake/lsan_suppressions.txt"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

cmake --preset debug -DWAVORIN_TESTS=ON >/dev/null
cmake --build --preset debug -j "$jobs" --target app_tests qt_host_tests settings_close_writer \
  compositor_watch_tests sound_tests sound_fuzz_smoke pipewire_output_tests
# Only the folders of those tests, so ctest runs nothing that was not built.
# Left to the release tests: the fuzzing run, which builds its own
# instrumented target, and the settings file killed 120 times while it is
# saved, which is about the file on disk and starts the writer 120 times.
"$here/scripts/with-display.sh" bash -c '
  set -e
  for dir in tests/app tests/platform/qt tests/platform/sound; do
    ctest --test-dir "build/debug/$dir" --output-on-failure --timeout 600 -j "$0" \
      -E "^(sound_fuzz_run|SettingsStore\.KilledWhileSaving.*)$"
  done' "$jobs"

cmake --preset tsan -DWAVORIN_TESTS=ON >/dev/null
cmake --build --preset tsan -j "$jobs" --target sound_tests
# No display: nothing here needs one, and libdbus would look for a bus there.
env -u DISPLAY SDL_AUDIODRIVER=disk ctest --test-dir build/tsan/tests/platform/sound \
  --output-on-failure --timeout 600 -j "$jobs" -E 'NOT_BUILT|SoundFuzz|^sound_fuzz'
