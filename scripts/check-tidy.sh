#!/usr/bin/env bash
# Runs clang-tidy with the project's checks (.clang-tidy) on the C++ sources
# of the project in a build's compilation database (build/release by
# default) and fails on any finding. Usage: check-tidy.sh [build folder]
#
# A file that passed is remembered in the build folder by what it was checked
# from: its text, the project's headers it includes (as the last build found
# them; all of them for a file not built), its compile command, .clang-tidy
# and clang-tidy's version. The next
# run checks only the files where any of that changed; on CI (CI=true), or
# with WAVORIN_TIDY_ALL=1, every file is checked.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json" >&2; exit 2; }
cd "$here"
command -v clang-tidy >/dev/null || { echo "clang-tidy not found" >&2; exit 2; }
log=$(mktemp)
trap 'rm -f "$log" "$log.files" "$log.keys" "$log.err"' EXIT
passed=$build/tidy-passed
all=${WAVORIN_TIDY_ALL:-}
[ "${CI:-}" = true ] && all=1
mkdir -p "$passed"
# One "key file" line per project source (not the files Qt's and CMake's
# generators write), the files still to check first.
python3 - "$here" "$build" "$passed" "$all" >"$log.keys" <<'PY'
import hashlib, json, os, subprocess, sys
here, build, passed, check_all = sys.argv[1:5]
commands = {}
for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
    f = entry["file"]
    if f.startswith(here + "/") and not f.startswith(os.path.join(here, "build") + "/") \
            and "_autogen" not in f:
        commands.setdefault(f, []).append(entry.get("command") or " ".join(entry["arguments"]))
# The headers each source included when it was last built, from ninja's log.
headers = {}
deps = subprocess.run(["ninja", "-C", build, "-t", "deps"], capture_output=True, text=True).stdout
current = None
for line in deps.splitlines():
    if line and not line[0].isspace():
        current = None
    elif current is None and line.strip().endswith((".cpp", ".c")):
        current = os.path.realpath(os.path.join(build, line.strip()))
        headers.setdefault(current, set())
    elif current is not None and line.strip():
        path = os.path.realpath(os.path.join(build, line.strip()))
        if path.startswith(here + "/"):
            headers[current].add(path)
# A source no build has compiled yet (a target outside the default build)
# counts every header of the project as its own.
every_header = set()
for top in ("app", "platform", "tools", "tests", "bench"):
    for folder, _, names in os.walk(os.path.join(here, top)):
        every_header.update(os.path.join(folder, n) for n in names if n.endswith(".h"))
version = subprocess.run(["clang-tidy", "--version"], capture_output=True, text=True).stdout
def text(path):
    try:
        return open(path, "rb").read()
    except OSError:
        return b"<gone>"
for f in sorted(commands):
    h = hashlib.sha256()
    for part in [version.encode(), text(os.path.join(here, ".clang-tidy")), text(f)] + \
            ["\0".join(sorted(commands[f])).encode()] + \
            [p.encode() + b"\0" + text(p) for p in sorted(headers.get(f, every_header))]:
        h.update(hashlib.sha256(part).digest())
    key = h.hexdigest()
    done = not check_all and os.path.exists(os.path.join(passed, key))
    print(("done " if done else "todo ") + key + " " + f)
PY
total=$(wc -l <"$log.keys")
sed -n 's/^todo [0-9a-f]* //p' "$log.keys" >"$log.files"
if [ ! -s "$log.files" ]; then
  echo "clang-tidy: no findings in $total files (none changed since they passed)"
  exit 0
fi
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
# Every file checked passed: remember them all.
sed -n 's/^todo \([0-9a-f]*\) .*/\1/p' "$log.keys" | (cd "$passed" && xargs -r touch)
echo "clang-tidy: no findings in $(wc -l <"$log.files") files ($total in all)"
