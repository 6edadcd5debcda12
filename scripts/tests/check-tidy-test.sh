#!/usr/bin/env bash
# The clang-tidy cache replays what a file's check found, and checks the file again when what
# decides its result changes: a header it includes, its compile command, the configuration (not a
# comment in it). Runs scripts/check-tidy.py on a scratch tree with a stand-in clang-tidy that
# counts its runs and reports a finding for every line that says FAULT.
set -euo pipefail
# The cache's key is what clang 14 preprocesses; without it (Debian 13) the check is not run there.
command -v "${ZANDREL_CLANG:-clang++-14}" >/dev/null || { echo "no clang 14: skipped"; exit 77; }
script=$(cd "$(dirname "$0")/.." && pwd)/check-tidy.py
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
tree=$scratch/tree
mkdir -p "$tree/scripts" "$tree/lib" "$tree/build"
cp "$script" "$tree/scripts/"
cat >"$scratch/clang-tidy" <<'TIDY'
#!/bin/sh
[ "$1" = --version ] && { echo "stand-in 1"; exit 0; }
if [ "$1" = --dump-config ]; then
    dir=$PWD
    while [ ! -f "$dir/.clang-tidy" ] && [ "$dir" != / ]; do dir=$(dirname "$dir"); done
    grep -v '^#' "$dir/.clang-tidy"
    exit 0
fi
for file; do :; done
echo run >>"$TIDY_RUNS"
found=$(grep -n FAULT "$file" "$(dirname "$file")"/*.h | head -1)
[ -z "$found" ] && exit 0
echo "$found" | sed 's/^\([^:]*\):\([0-9]*\):.*/\1:\2:1: warning: a fault [stand-in-check]/'
exit 1
TIDY
chmod +x "$scratch/clang-tidy"
printf 'int f();\n' >"$tree/lib/Thing.h"
printf '#include "Thing.h"\nint f() { return 1; }\n' >"$tree/lib/Thing.cpp"
printf 'Checks: "-*,stand-in-*"\n' >"$tree/.clang-tidy"
compile() {
    printf '[{"directory": "%s", "command": "c++ %s -c %s -o lib/Thing.o", "file": "%s"}]\n' \
        "$tree/build" "$1" "$tree/lib/Thing.cpp" "$tree/lib/Thing.cpp" >"$tree/build/compile_commands.json"
}
compile -O2
git -C "$tree" init -q && git -C "$tree" add -A
export ZANDREL_CLANG_TIDY=$scratch/clang-tidy ZANDREL_TIDY_CACHE=$scratch/cache TIDY_RUNS=$scratch/runs
failures=0
# expect WHAT EXIT-STATUS RUNS-SO-FAR [TEXT THE REPORT HAS]
expect() {
    local status=0 output runs
    output=$(python3 "$tree/scripts/check-tidy.py" "$tree/build" 2>&1) || status=$?
    runs=$(wc -l <"$TIDY_RUNS" 2>/dev/null || echo 0)
    if [ "$status" != "$2" ] || [ "$runs" != "$3" ] || ! grep -qF -- "${4:-clang-tidy:}" <<<"$output"; then
        echo "FAILED: $1: exit $status (expected $2), $runs runs (expected $3):"
        echo "$output"
        failures=$((failures + 1))
    fi
}
expect "a clean file" 0 1
expect "an unchanged file comes from the cache" 0 1 "1 from the cache"
printf 'int f(); // FAULT\n' >"$tree/lib/Thing.h"
expect "a changed header checks again" 1 2 "$tree/lib/Thing.h:1:1: warning: a fault"
expect "a finding is replayed, not passed" 1 2 "$tree/lib/Thing.h:1:1: warning: a fault"
compile -O0
expect "another compile command checks again" 1 3
printf 'Checks: "-*,stand-in-*,other"\n' >"$tree/.clang-tidy"
expect "another configuration checks again" 1 4
printf '# why the checks are these\nChecks: "-*,stand-in-*,other"\n' >"$tree/.clang-tidy"
expect "a comment in the configuration keeps the cache" 1 4
mv "$tree" "$scratch/moved" && tree=$scratch/moved && compile -O0
expect "another clone of the tree reuses the results" 1 4 "$tree/lib/Thing.h:1:1: warning: a fault"
[ "$failures" = 0 ] && echo "tidy cache ok"
exit "$failures"
