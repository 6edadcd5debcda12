#!/usr/bin/env bash
# Configures and builds into build/, or into $ZANDREL_BUILD_DIR (extra arguments go to the CMake
# configure step).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ZANDREL_BUILD_DIR:-build}
# ccache sees paths relative to the checkout and not the build folder's own, so that another
# clone of the tree (CI's, a second worktree) reuses what this one compiled.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANDREL_BUILD_TESTS=ON "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
