#!/usr/bin/env bash
# Fails when a C++ source of the project differs from what clang-format
# (.clang-format) makes of it. Lists the files; `clang-format -i` mends them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
command -v clang-format >/dev/null || { echo "clang-format not found" >&2; exit 2; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Many files to a clang-format: it names each file that differs in its
# complaints ("file:line:col: error: code should be clang-formatted").
{ git ls-files -z -- '*.cpp' '*.h' 2>/dev/null ||
  find app platform tools tests bench main.cpp \( -name '*.cpp' -o -name '*.h' \) -print0; } |
  xargs -0 -r -P 2 -n 40 clang-format --dry-run -Werror 2>"$log" >/dev/null || true
mapfile -t bad < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*/\1/p' "$log" | sort -u)
if [ ${#bad[@]} -ne 0 ]; then
  echo "Not formatted with clang-format:" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
if grep -q . "$log"; then
  cat "$log" >&2
  exit 1
fi
echo "clang-format: all sources formatted"
