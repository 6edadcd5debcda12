#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DZANDREL_WARNINGS_AS_ERRORS=ON
checkout=$PWD
cd "${ZANDREL_BUILD_DIR:-build}"
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
# The tests find the program's windows by their Chinese titles, which Qt writes legibly for other X
# clients only in a UTF-8 locale: a shell in the C locale (a minimal system, an ssh session) gets
# C.UTF-8, which every Debian has.
[ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
# Every case is an entry of its own; those that start the real program take turns through a
# resource lock, the others run side by side.
bash "$checkout/scripts/loopback-only.sh" ctest --output-on-failure -L unit -j "$(nproc)"
# A case that starts a real engine or program and fails is run once more: a few of them still fail
# now and then when the machine is busy (the mini player's resize drag on Qt 6.8 among them), which
# is being tracked down; a fault that is really there fails both times.
bash "$checkout/scripts/loopback-only.sh" ctest --output-on-failure -LE unit -j "$(nproc)" --repeat until-pass:2
