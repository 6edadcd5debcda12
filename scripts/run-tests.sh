#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DZANDREL_WARNINGS_AS_ERRORS=ON
cd "${ZANDREL_BUILD_DIR:-build}"
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
# Every case is an entry of its own; those that start the real program take turns through a
# resource lock, the others run side by side.
ctest --output-on-failure -L unit -j "$(nproc)"
ctest --output-on-failure -LE unit -j "$(nproc)"
