#!/usr/bin/env bash
# Runs a command on an X server of its own (Qt's X11 platform), for tests whose behaviour
# differs between the headless platform and a real display.
set -euo pipefail
work=$(mktemp -d)
exec 3>"$work/display"
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 300); do
    [ -s "$work/display" ] && break
    kill -0 "$server" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
    sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb "$@"
