#!/usr/bin/env bash
# Builds the tree with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ (the asan
# preset) and runs the unit label there, with the suppressions of tests/sanitizers/ for the
# libraries that are not instrumented. The engine's own processes are not run under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset asan >/dev/null
# Only what the unit label runs: the unit and fuzz-replay binaries, and the install helper that the
# helper's tests copy; the integration and desktop binaries would double the build for nothing.
targets=$(cmake --build build-asan --target help | sed -nE 's/^((unit|fuzz)_[a-z_]+): phony$/\1/p' | grep -vE "_(smoke|autogen.*)$")
cmake --build --preset asan -j "$(nproc)" --target $targets zandrel-install-update
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
[ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
exec bash scripts/loopback-only.sh bash tests/sanitizers/run-suite.sh build-asan -L unit -j "$(nproc)"
