#!/usr/bin/env bash
# Installs, from Debian's packages only, whatever the build, the tests and the demo need.
# With --bench also what the benchmarks use (pugixml to compare with, ffmpeg for the clips,
# Chromium as a contender, perf for profiles), which CI does not need.
set -euo pipefail
packages=(
    cmake ninja-build g++ ccache pkg-config
    qt6-base-dev qt6-webengine-dev qt6-webchannel-dev libqt6webenginecore6-bin
    libcurl4-openssl-dev libjsoncpp-dev libgtest-dev libgmock-dev libcpp-httplib-dev
    xvfb xauth x11-apps xdotool imagemagick fonts-wqy-microhei pkexec
)
if [ "${1:-}" = "--bench" ]; then
    packages+=(libpugixml-dev ffmpeg chromium linux-perf)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
