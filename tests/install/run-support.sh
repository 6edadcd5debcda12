# Shared by the install tests: a scratch folder, the demo site on a free port of 127.0.0.1, and
# a program run that is waited for until the site has served it the lobby.
work=$(mktemp -d)
chmod 755 "$work"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    # A test may have made parts read-only, which only stops an ordinary user's removal.
    chmod -R u+w "$work"
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    for log in "$work"/*.log; do
        [ -f "$log" ] && { echo "--- $log" >&2; tail -n 40 "$log" >&2; }
    done
    exit 1
}

# Waits up to $2 seconds for the command in $1 to succeed.
wait_for() {
    local deadline=$((SECONDS + $2))
    until eval "$1"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

# Starts the demo site; sets site_url.
start_demo_site() {
    "$1/bin/zandrel_demo_server" --port=0 >"$work/site.log" 2>&1 &
    pids+=($!)
    wait_for "grep -q 'listening on' '$work/site.log'" 30 || fail "the demo site did not start"
    site_url=$(sed -n 's/^listening on \(http:[^ ]*\).*/\1/p' "$work/site.log" | head -n 1)
}

# Points the config.xml in folder $1 at the demo site.
point_config_at_site() {
    sed -i "s|<Update url=\"[^\"]*\"|<Update url=\"$site_url/update/check\"|;s|<Site url=\"[^\"]*\"|<Site url=\"$site_url\"|" "$1/config.xml"
}

# Runs the command line given as arguments in the background; sets program_pid once the site has
# served the lobby once more than before the start.
run_until_lobby() {
    local served
    served=$(grep -c 'lobby served' "$work/site.log" || true)
    "$@" >"$work/program.log" 2>&1 &
    program_pid=$!
    pids+=($program_pid)
    wait_for "[ \$(grep -c 'lobby served' '$work/site.log') -gt $served ] || ! kill -0 $program_pid 2>/dev/null" 120 \
        || fail "the lobby was never requested"
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended before the lobby was served"
}
