#!/usr/bin/env bash
# Sets up, builds and starts Wavorin.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh" release
exec "$here/build/release/bin/wavorin" "$@"
