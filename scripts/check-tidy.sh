#!/usr/bin/env bash
# Runs clang-tidy with the project's checks (.clang-tidy) on every C++ source
# of the project in a build's compilation database (build/release by
# default) and fails on any finding. Usage: check-tidy.sh [build folder]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json" >&2; exit 2; }
cd "$here"
command -v clang-tidy >/dev/null || { echo "clang-tidy not found" >&2; exit 2; }
log=$(mktemp)
trap 'rm -f "$log" "$log.files" "$log.err"' EXIT
# The project's own sources only: not the files Qt's and CMake's generators write.
sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$build/compile_commands.json" |
  grep "^$here/" | grep -v -e "^$here/build/" -e '_autogen' | sort -u >"$log.files"
status=0
# clang-tidy fails only when it cannot read a file; findings are checked below.
xargs -r -P "${WAVORIN_TIDY_JOBS:-2}" -n 1 clang-tidy -p "$build" --quiet <"$log.files" \
  >"$log" 2>"$log.err" || status=1
if [ $status -ne 0 ]; then
  cat "$log" "$log.err" >&2
  echo "clang-tidy could not check every file" >&2
  exit 1
fi
if grep -qE '(warning|error):' "$log"; then
  grep -E -A3 '(warning|error):' "$log" >&2
  echo "clang-tidy: $(grep -cE '(warning|error):' "$log") findings" >&2
  exit 1
fi
echo "clang-tidy: no findings in $(wc -l <"$log.files") files"
