#!/usr/bin/env bash
# Fails when a C++ source of the project differs from what clang-format
# (.clang-format) makes of it. Lists the files; `clang-format -i` mends them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
command -v clang-format >/dev/null || { echo "clang-format not found" >&2; exit 2; }
bad=()
while IFS= read -r -d '' file; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done < <(git ls-files -z -- '*.cpp' '*.h' 2>/dev/null ||
         find app platform tools tests bench main.cpp \( -name '*.cpp' -o -name '*.h' \) -print0)
if [ ${#bad[@]} -ne 0 ]; then
  echo "Not formatted with clang-format:" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "clang-format: all sources formatted"
