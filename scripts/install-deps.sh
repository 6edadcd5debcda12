#!/usr/bin/env bash
# Installs, from Debian's packages only, whatever the build, the tests, the package and the demo need.
# Runs as root as it stands; an ordinary user needs sudo, which it then uses for apt-get alone.
# With --bench also what the benchmarks use (pugixml to compare with, ffmpeg for the clips,
# Chromium as a contender, perf for profiles), which CI does not need.
# Knows Debian 12 and Debian 13 by /etc/os-release; the package names differ only where listed.
set -euo pipefail
. /etc/os-release
release=${ID:-}:${VERSION_ID:-}
case "$release" in
    debian:12 | debian:13) ;;
    *) echo "warning: made for Debian 12 and 13, not ${PRETTY_NAME:-this system}; trying Debian 13's names" >&2 ;;
esac
packages=(
    cmake ninja-build g++ ccache pkg-config dpkg-dev
    qt6-base-dev qt6-webengine-dev qt6-webchannel-dev libqt6webenginecore6-bin
    libcurl4-openssl-dev libssl-dev openssl ca-certificates libjsoncpp-dev libgtest-dev libgmock-dev
    libcpp-httplib-dev libxcb1-dev libxcb-composite0-dev qt6-translations-l10n
    xvfb xauth x11-apps x11-utils xdotool openbox imagemagick fonts-wqy-microhei pkexec
    qt6-wayland fcitx5-frontend-qt6 weston xwayland desktop-file-utils appstream dbus-daemon python3
    python3-dbus python3-gi at-spi2-core file git mmdebstrap iproute2
)
# The format check's one version, which only Debian 12 has (scripts/check-format.sh), and the
# clang-tidy and clang of the same release, which CI runs there alone (scripts/check-tidy.py).
[ "$release" = debian:12 ] && packages+=(clang-format-14 clang-tidy-14 clang-14)
if [ "${1:-}" = "--bench" ]; then
    packages+=(libpugixml-dev ffmpeg chromium linux-perf)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "missing packages: ${missing[*]}" >&2
            echo "run this script as root, or install sudo, to install them" >&2
            exit 1
        fi
        as_root=(sudo)
    fi
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
