#!/usr/bin/env bash
# Makes the Debian package, extracts it into a scratch root, checks what a desktop reads from it,
# and starts the program from there as an ordinary user against the demo site, on an X server of
# its own, where the main window's WM class must match the desktop entry's StartupWMClass.
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/run-support.sh"

cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || fail "cpack"
deb=$(ls "$work"/out/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6webenginewidgets6 libqt6webenginecore6-bin libcurl4 libjsoncpp25 qt6-wayland \
    fonts-wqy-microhei pkexec libssl3 ca-certificates; do
    grep -q "\b$package\b" <<<"$depends" || fail "the package does not depend on $package: $depends"
done

root="$work/root"
dpkg -x "$deb" "$root"
app_id=org.example.zandrel
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" >"$work/validate.log" 2>&1 \
    || fail "desktop-file-validate"
grep -q -v '^[^:]*: hint:' "$work/validate.log" && fail "desktop-file-validate complains"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$work/appstream.log" 2>&1 \
    || fail "appstreamcli validate"
for size in 16 22 24 32 48 64 128 256; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/zandrel.png"
    [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] || fail "no ${size} px icon"
done
[ "$(readlink -f "$root/usr/bin/zandrel")" = "$root/usr/lib/zandrel/zandrel" ] || fail "no launcher on the PATH"

start_demo_site "$build"
point_config_at_site "$root/usr/lib/zandrel"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for "[ -s '$work/display' ]" 30 || fail "Xvfb did not start"
display=":$(cat "$work/display")"

# The program folder belongs to root; the run is an ordinary user's, with a home of its own.
mkdir -p "$work/home"
chown nobody "$work/home"
run_until_lobby setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -i HOME="$work/home" PATH=/usr/bin:/bin DISPLAY="$display" QTWEBENGINE_DISABLE_SANDBOX=1 \
    "$root/usr/bin/zandrel"
main_window_class() {
    local window
    window=$(DISPLAY=$display xdotool search --pid "$program_pid" --name Tessik 2>/dev/null | head -n 1)
    [ -n "$window" ] && window_class=$(DISPLAY=$display xprop -id "$window" WM_CLASS)
}
wait_for main_window_class 60 || fail "no main window"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/$app_id.desktop")
grep -q "\"$wm_class\"\$" <<<"$window_class" || fail "window class $window_class, desktop entry $wm_class"
echo "package $(basename "$deb") installs and runs; $window_class"
