#!/usr/bin/env bash
# Makes the Debian package, extracts it into a scratch root, checks what a desktop reads from it,
# and starts the program from there as an ordinary user against the demo site, on an X server of
# its own, where the main window's WM class must match the desktop entry's StartupWMClass; that user
# saves the settings through the settings window and the next start keeps them.
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/run-support.sh"

cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || fail "cpack"
deb=$(ls "$work"/out/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
# The libraries' package names differ by release (Debian 13's 64-bit time names end in t64, and
# jsoncpp's soname moved on), so those are patterns.
for package in libqt6webenginewidgets6 libqt6webenginecore6-bin 'libcurl4(t64)?' 'libjsoncpp[0-9]+' \
    qt6-wayland fonts-wqy-microhei pkexec 'libssl3(t64)?' ca-certificates; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "the package does not depend on $package: $depends"
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
# Updates are installed by the helper in libexec, whose polkit action names it and says what it does.
helper=/usr/libexec/zandrel/zandrel-install-update
[ -x "$root$helper" ] || fail "no install helper at $helper"
policy="$root/usr/share/polkit-1/actions/$app_id.install-update.policy"
grep -q "<annotate key=\"org.freedesktop.policykit.exec.path\">$helper</annotate>" "$policy" \
    || fail "the polkit action does not name $helper: $(cat "$policy" 2>&1)"
python3 -c "import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])" "$policy" && grep -q "<message>安装 Tessik微端 更新</message>" "$policy" || fail "the polkit action's message"
grep -q '<Update url="https://' "$root/usr/lib/zandrel/config.xml" || fail "the installed update address is not https"

start_demo_site "$build"
point_config_at_site "$root/usr/lib/zandrel"
Xvfb -displayfd 3 -noreset -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for "[ -s '$work/display' ]" 30 || fail "Xvfb did not start"
display=":$(cat "$work/display")"
wait_for "DISPLAY=$display xdpyinfo >/dev/null 2>&1" 30 || fail "Xvfb does not answer on $display"

# Openbox manages the windows, as a desktop would. Now and then it fails to open a display that
# has just answered xdpyinfo and exits at once; it is started again then.
for attempt in 1 2 3; do
    DISPLAY=$display openbox --sm-disable >>"$work/openbox.log" 2>&1 &
    openbox=$!
    pids+=($openbox)
    # Each probe is bounded: one that hangs on a busy server would otherwise outlast the limit.
    wait_for "! kill -0 $openbox 2>/dev/null || DISPLAY=$display timeout 10 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" 30
    kill -0 "$openbox" 2>/dev/null && break
done
DISPLAY=$display timeout 10 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' \
    || fail "openbox did not start"
x() { DISPLAY=$display "$@" 2>/dev/null; }

# The program folder belongs to root; the runs are an ordinary user's, with a home and config folder
# of their own. Run by an ordinary user, the runs are that user's, and the program folder is made
# one they cannot write, as root's is.
mkdir -p "$work/home"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$work/home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
else
    chmod a-w "$root/usr/lib/zandrel" "$root/usr/lib/zandrel/config.xml"
fi
config_home="$work/home/xdg-config"
cp "$root/usr/lib/zandrel/config.xml" "$work/installed-config.xml"
start_as_user() {
    run_until_lobby "${as_user[@]}" \
        env -i HOME="$work/home" XDG_CONFIG_HOME="$config_home" PATH=/usr/bin:/bin DISPLAY="$display" \
        QTWEBENGINE_DISABLE_SANDBOX=1 "$root/usr/bin/zandrel"
}
main_window_class() {
    window=$(x xdotool search --onlyvisible --pid "$program_pid" --name Tessik | head -n 1)
    [ -n "$window" ] && window_class=$(x xprop -id "$window" WM_CLASS)
}
# The viewable windows of the run other than the main window, tool tips left out.
other_windows() {
    local w
    for w in $(x xdotool search --onlyvisible --pid "$program_pid"); do
        [ "$w" = "$window" ] && continue
        x xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q TOOLTIP || echo "$w"
    done
}
# Clicks at ($2, $3) of window $1 once the pointer is there.
click() {
    x xdotool mousemove --sync --window "$1" "$2" "$3" click 1
}
width_of() { x xdotool getwindowgeometry --shell "$1" | sed -n 's/^WIDTH=//p'; }

start_as_user
wait_for main_window_class 60 || fail "no main window"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/$app_id.desktop")
grep -q "\"$wm_class\"\$" <<<"$window_class" || fail "window class $window_class, desktop entry $wm_class"

# Opens the settings window with the caption bar's 设置, left of the minimise, maximise and close
# buttons; prints the window.
open_settings() {
    click "$window" $(($(width_of "$window") - 156)) 22
    wait_for '[ -n "$(other_windows)" ]' 60 || fail "the settings window did not open"
    other_windows | head -n 1
}
# The box of the option whose text is at height $2 of window $1 is drawn blue once ticked.
ticked() {
    [ "$(x import -window "$1" png:- | convert png:- -format "%[pixel:p{29,$(($2 - 5))}]" info:)" \
        = "srgb(61,126,255)" ]
}

settings=$(open_settings)
# The installation's file hides to the tray on close and does not start with the session; the user
# chooses the opposite of both.
wait_for "ticked $settings 169" 60 || fail "the settings window does not show the installation's choice"
click "$settings" 60 101 # 开机时自动启动
wait_for "ticked $settings 101" 30 || fail "开机时自动启动 was not ticked"
click "$settings" 60 205 # 退出程序
wait_for "ticked $settings 205" 30 || fail "退出程序 was not ticked"
click "$settings" 360 269 # 保存
# A failed save keeps the window open behind its "设置保存失败" message.
wait_for '[ -z "$(other_windows)" ]' 60 \
    || fail "the settings were not saved: $(for w in $(other_windows); do x xprop -id "$w" WM_NAME; done)"
user_config="$config_home/zandrel/config.xml"
grep -q 'powerboot="1"' "$user_config" && grep -q 'optionexit="0"' "$user_config" \
    || fail "the per-user copy lacks the choices: $(cat "$user_config" 2>&1)"
cmp -s "$work/installed-config.xml" "$root/usr/lib/zandrel/config.xml" || fail "the installation's config.xml changed"

# The next start reads the copy: it registers the autostart entry (a start applies the choice), and
# its settings window shows the user's choices.
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
start_as_user
wait_for main_window_class 60 || fail "no main window at the next start"
wait_for "ls '$config_home'/autostart/*.desktop >/dev/null 2>&1" 60 \
    || fail "the next start did not read powerboot from the per-user copy"
settings=$(open_settings)
wait_for "ticked $settings 205 && ticked $settings 101" 60 \
    || fail "the next start's settings window does not show the per-user copy's choices"
echo "package $(basename "$deb") installs and runs; $window_class; an ordinary user's settings hold"
