#!/usr/bin/env bash
# Makes a fresh Debian 13 root from Debian's packages, to build and test the newer release from a
# Debian 12 machine, and prints its path. The root is kept between runs in a cache folder outside
# the checkout (ZANDREL_DEBIAN13_ROOT, /var/cache/zandrel/debian13 by default) and made anew when
# missing or older than 7 days, so the packages installed into it stay current. Needs root.
set -euo pipefail
root=${ZANDREL_DEBIAN13_ROOT:-/var/cache/zandrel/debian13}
made=$root/.zandrel-made
max_age=$((7 * 24 * 3600))
if [ -f "$made" ] && [ $(($(date +%s) - $(stat -c %Y "$made"))) -lt $max_age ]; then
    echo "$root"
    exit 0
fi
if ! command -v mmdebstrap >/dev/null; then
    echo "mmdebstrap is missing (bash scripts/install-deps.sh installs it)" >&2
    exit 1
fi
# A root still in use has the checkout bound into it: removing it would remove the checkout.
if findmnt -rn -o TARGET | grep -q "^$root/"; then
    echo "$root is in use (something is mounted inside it); not making it anew" >&2
    exit 1
fi
# Made beside the old one and swapped in whole, so an interrupted run leaves no half root.
rm -rf --one-file-system "$root.new"
mkdir -p "$(dirname "$root")"
# Without a mirror named, mmdebstrap uses Debian's own, with the updates and security suites.
mmdebstrap --quiet --variant=minbase trixie "$root.new" >&2
date -u +%FT%TZ >"$root.new/.zandrel-made"
rm -rf --one-file-system "$root"
mv "$root.new" "$root"
echo "$root"
