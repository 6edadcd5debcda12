#!/usr/bin/env bash
# Runs a command as a client of a headless Wayland compositor of its own, with no X server (Qt's
# Wayland platform), for tests of what differs on a Wayland desktop.
set -euo pipefail
work=$(mktemp -d)
mkdir -m 700 "$work/runtime"
socket="zandrel-test-$$"
XDG_RUNTIME_DIR="$work/runtime" weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
    --width=1280 --height=800 >"$work/weston.log" 2>&1 &
server=$!
# The compositor's own clients (its panel, its keyboard) go with it.
trap 'pkill -P "$server" 2>/dev/null; kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 300); do
    [ -S "$work/runtime/$socket" ] && break
    kill -0 "$server" 2>/dev/null || { cat "$work/weston.log" >&2; exit 1; }
    sleep 0.1
done
[ -S "$work/runtime/$socket" ] || { echo "weston did not start" >&2; exit 1; }
env -u DISPLAY XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland "$@"
