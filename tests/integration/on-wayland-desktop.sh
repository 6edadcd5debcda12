#!/usr/bin/env bash
# Runs a command as a client of a headless Wayland compositor of its own, for tests of what
# differs on a Wayland desktop: on Qt's Wayland platform with no X server, or with --xwayland on
# Qt's X11 platform through the compositor's own X server.
set -euo pipefail
xwayland=()
[ "${1:-}" = "--xwayland" ] && { xwayland=(--xwayland); shift; }
work=$(mktemp -d)
mkdir -m 700 "$work/runtime"
socket="zandrel-test-$$"
XDG_RUNTIME_DIR="$work/runtime" weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
    --width=1280 --height=800 "${xwayland[@]}" >"$work/weston.log" 2>&1 &
server=$!
# The compositor's own clients (its panel, its keyboard, its X server) go with it.
trap 'pkill -P "$server" 2>/dev/null || true; kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
ready() {
    [ -S "$work/runtime/$socket" ] || return 1
    [ ${#xwayland[@]} -eq 0 ] || grep -q "xserver listening on display" "$work/weston.log"
}
for _ in $(seq 300); do
    ready && break
    kill -0 "$server" 2>/dev/null || { cat "$work/weston.log" >&2; exit 1; }
    sleep 0.1
done
ready || { echo "weston did not start" >&2; cat "$work/weston.log" >&2; exit 1; }
export XDG_RUNTIME_DIR="$work/runtime" ZANDREL_TEST_WAYLAND_DESKTOP=1
if [ ${#xwayland[@]} -gt 0 ]; then
    display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" | head -n1)
    env -u WAYLAND_DISPLAY DISPLAY="$display" QT_QPA_PLATFORM=xcb "$@"
else
    env -u DISPLAY WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland "$@"
fi
