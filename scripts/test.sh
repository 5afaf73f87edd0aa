#!/usr/bin/env bash
# Sets up, builds and runs every test: unit, host, sound, pictures and the
# real program under a private X server; then the sanitizer builds' tests,
# the format check and clang-tidy. Arguments go to the release ctest run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh" --tests
"$here/scripts/check-format.sh"
cd "$here"
cmake --preset release -DWAVORIN_TESTS=ON >/dev/null
"$here/scripts/build.sh" release
cd "$here/build/release"
"$here/scripts/with-display.sh" ctest --output-on-failure --timeout 600 -j 2 "$@"
"$here/scripts/check-tidy.sh" "$here/build/release"
"$here/scripts/test-sanitizers.sh"
