#!/usr/bin/env bash
# Starts the program under a headless Wayland compositor with no X server at all: it must take
# Qt's Wayland platform by itself and get as far as loading the lobby.
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/run-support.sh"

runtime="$work/runtime"
mkdir -m 700 "$runtime"
socket="zandrel-test-$$"
XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
    >"$work/weston.log" 2>&1 &
pids+=($!)
wait_for "[ -S '$runtime/$socket' ]" 30 || fail "weston did not start"

cp -a "$build/program" "$work/program"
start_demo_site "$build"
point_config_at_site "$work/program"
run_until_lobby env -i HOME="$work" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket" \
    QTWEBENGINE_DISABLE_SANDBOX=1 "$work/program/zandrel"
echo "the program runs on Wayland"
