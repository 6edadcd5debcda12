#!/usr/bin/env bash
# Runs a command as root inside the Debian 13 root (made or refreshed first), in the checkout.
# The checkout is bound at the same path as outside, so build folders and ccache's base_dir
# work unchanged, and the host's ccache folder is shared; the scripts build into build-debian13/
# there (ZANDREL_BUILD_DIR), beside the host's build/. The mounts live in a mount namespace
# of this command alone and vanish with it. Usage: in-debian13.sh COMMAND... (ZANDREL_CHECKOUT
# names another checkout to bind instead of this script's own.)
set -euo pipefail
checkout=$(cd "${ZANDREL_CHECKOUT:-$(dirname "$0")/..}" && pwd)
root=$(bash "$(dirname "$0")/debian13-root.sh")
[ $# -gt 0 ] || set -- bash
ccache_dir=""
if command -v ccache >/dev/null; then
    # The host's settings go in as variables: the root has its own home and no ccache.conf.
    ccache_dir=$(ccache -k cache_dir)
    mkdir -p "$ccache_dir"
    export CCACHE_DIR="$ccache_dir" CCACHE_BASEDIR="$(ccache -k base_dir)"
    [ "$(ccache -k hash_dir)" = true ] || export CCACHE_NOHASHDIR=1
fi
export ZANDREL_BUILD_DIR=${ZANDREL_BUILD_DIR:-build-debian13}
export ZANDREL_ROOT="$root" ZANDREL_CHECKOUT="$checkout" ZANDREL_CCACHE_DIR="$ccache_dir"
exec unshare --mount --propagation private bash -c '
    set -euo pipefail
    bind() { mkdir -p "$ZANDREL_ROOT$1" && mount --rbind "$1" "$ZANDREL_ROOT$1"; }
    mount -t proc proc "$ZANDREL_ROOT/proc"
    # The host'"'"'s /dev holds what Xvfb, weston and the engine open: /dev/shm for shared
    # memory, /dev/pts, /dev/null, /dev/dri when there is one.
    bind /dev
    mount -t sysfs sysfs "$ZANDREL_ROOT/sys"
    mount -t tmpfs tmpfs "$ZANDREL_ROOT/tmp"
    # X servers put their sockets there; a booted system makes it, and XWayland does not.
    mkdir -m 1777 "$ZANDREL_ROOT/tmp/.X11-unix"
    mount -t tmpfs tmpfs "$ZANDREL_ROOT/run"
    bind "$ZANDREL_CHECKOUT"
    if [ -n "$ZANDREL_CCACHE_DIR" ]; then bind "$ZANDREL_CCACHE_DIR"; fi
    cp -L /etc/resolv.conf "$ZANDREL_ROOT/etc/resolv.conf" 2>/dev/null || true
    cd "$ZANDREL_CHECKOUT"
    exec chroot "$ZANDREL_ROOT" /usr/bin/env -C "$ZANDREL_CHECKOUT" "$@"
' in-debian13 "$@"
