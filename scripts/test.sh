#!/usr/bin/env bash
# Sets up, builds and runs every test: the format check, then unit, host,
# sound, pictures and the real program under a private X server with
# clang-tidy beside them, then the sanitizer builds' tests. Arguments go to
# the release ctest run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh" --tests
"$here/scripts/check-format.sh"
cd "$here"
cmake --preset release -DWAVORIN_TESTS=ON >/dev/null
"$here/scripts/build.sh" release
# The tests below mostly wait on real time (windows, sounds, servers) and
# leave a core idle: clang-tidy, which only computes, runs beside them at the
# lowest priority and is waited for after the sound-server runs.
tidy_log=$(mktemp)
setsid nice -n 19 "$here/scripts/check-tidy.sh" "$here/build/release" >"$tidy_log" 2>&1 &
tidy_pid=$!
trap 'kill -- -"$tidy_pid" 2>/dev/null || true; rm -f "$tidy_log"' EXIT
cd "$here/build/release"
"$here/scripts/with-display.sh" ctest --output-on-failure --timeout 600 -j 2 "$@"
# The tests labelled "server", again beside a private PulseAudio and a
# private PipeWire, the program choosing its output as on a desktop; a run
# that finds none fails.
for server in pulseaudio pipewire; do
  "$here/scripts/with-display.sh" "$here/scripts/with-sound-server.sh" "$server" \
    ctest --output-on-failure --timeout 600 -L server --no-tests=error
done
tidy_status=0
wait "$tidy_pid" || tidy_status=$?
trap 'rm -f "$tidy_log"' EXIT
cat "$tidy_log"
[ "$tidy_status" -eq 0 ]
"$here/scripts/test-sanitizers.sh"
