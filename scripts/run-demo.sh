#!/usr/bin/env bash
# Installs what is missing, builds, starts the local demo site and runs the client against it.
# Without a display the client runs under Xvfb: a screenshot is saved once the lobby has loaded.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/${ZANDREL_BUILD_DIR:-build}
bash scripts/install-deps.sh
# The test command's flags: the same build folder then serves both commands, where a change of
# flags would compile everything again.
bash scripts/build.sh -DZANDREL_WARNINGS_AS_ERRORS=ON

port=18080
log_dir=$(mktemp -d)
server_pid=""
xvfb_pid=""
client_pid=""
cleanup() {
    for pid in "$client_pid" "$xvfb_pid" "$server_pid"; do
        if [ -n "$pid" ]; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
}
trap cleanup EXIT

"$build/bin/zandrel_demo_server" --port=$port "$@" >"$log_dir/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do
    grep -q "listening on" "$log_dir/server.log" 2>/dev/null && break
    kill -0 "$server_pid" 2>/dev/null || { cat "$log_dir/server.log"; echo "demo server did not start"; exit 1; }
    sleep 0.1
done
echo "demo site on http://127.0.0.1:$port (update reply: ${1:-uptodate}; options: --update=newer|required)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$build/program/zandrel" || true
    exit 0
fi

# Xvfb picks a free display itself and writes its number once it accepts clients: a guessed
# number may belong to another user's server or to a stale socket.
exec 3>"$log_dir/display"
Xvfb -displayfd 3 -noreset -screen 0 1280x800x24 -nolisten tcp >"$log_dir/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
    [ -s "$log_dir/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$log_dir/xvfb.log"; echo "Xvfb did not start"; exit 1; }
    sleep 0.1
done
[ -s "$log_dir/display" ] || { echo "Xvfb did not start"; exit 1; }
display=":$(head -n1 "$log_dir/display")"
DISPLAY=$display "$build/program/zandrel" >"$log_dir/client.log" 2>&1 &
client_pid=$!
for _ in $(seq 300); do
    grep -q "lobby served" "$log_dir/server.log" && break
    kill -0 "$client_pid" 2>/dev/null || break
    sleep 0.1
done
sleep 4
mkdir -p "$build/screenshots"
shot="$build/screenshots/lobby.png"
DISPLAY=$display import -window root "$shot"
echo "No display here: the client ran under Xvfb ($display). Screenshot of the lobby: $shot"
