#!/usr/bin/env bash
# Sets up, builds and starts Wavorin.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
cd "$here"
cmake --preset release -DWAVORIN_TESTS=OFF >/dev/null
cmake --build --preset release -j "$(nproc)" --target wavorin
exec "$here/build/release/bin/wavorin" "$@"
