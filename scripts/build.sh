#!/usr/bin/env bash
# Installs what is missing, then configures and builds the given preset
# (release by default).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-release}
"$here/scripts/install-deps.sh"
cd "$here"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
