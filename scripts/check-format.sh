#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format 14 makes of it with the
# repository's .clang-format, and names each such file. One version is checked, the one Debian 12
# ships: later versions lay out some constructs differently, and Debian 13 has no clang-format 14,
# so there the check is skipped (CI checks on Debian 12).
set -euo pipefail
cd "$(dirname "$0")/.."
. /etc/os-release
if [ "${ID:-}:${VERSION_ID:-}" != debian:12 ] && ! command -v clang-format-14 >/dev/null; then
    echo "format check skipped: it uses clang-format 14, which only Debian 12 ships (${PRETTY_NAME:-this system} has none)"
    exit 0
fi
format=$(command -v clang-format-14 || true)
if [ -z "$format" ]; then
    echo "clang-format 14 is missing (apt-get install clang-format-14)" >&2
    exit 1
fi
# One run over all files; a dry run reports each differing place as "file:line:col: error: ...".
differing=$(git ls-files -z -- '*.cpp' '*.h' | xargs -0 "$format" --style=file --dry-run 2>&1 \
    | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: \(error\|warning\): .*/\1/p' | sort -u)
if [ -n "$differing" ]; then
    echo "Not formatted with $("$format" --version | head -n1) (run: $format -i FILE):" >&2
    printf '%s\n' "$differing" | sed 's/^/  /' >&2
    exit 1
fi
