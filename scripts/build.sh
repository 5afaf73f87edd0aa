#!/usr/bin/env bash
# Configures and builds the given preset (release by default). The test
# presets need the test packages (scripts/install-deps.sh --tests).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-release}
cd "$here"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
