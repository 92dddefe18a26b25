#!/usr/bin/env bash
# Copies and moves onto a volume that fills up: a 1 MiB tmpfs as drive K: of the prefix.
set -u
exe=$1 tests=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-env"
kv_wine_prefix || exit 1
[ "$(id -u)" = 0 ] || { echo "needs root to mount a small volume: skipped"; exit 0; }
dir=$(mktemp -d /tmp/kv_fullvol.XXXXXX)
link="$WINEPREFIX/dosdevices/k:"
cleanup() { rm -f "$link"; umount "$dir" 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT
mount -t tmpfs -o size=1m tmpfs "$dir" || { echo "cannot mount a tmpfs" >&2; exit 1; }
rm -f "$link" && ln -s "$dir" "$link"
KV_FULL_DRIVE="K:" "$root/scripts/wine-run" "$tests" --gtest_also_run_disabled_tests \
  --gtest_filter='FullVolume.*' --gtest_color=no
