#!/usr/bin/env bash
# Copy and move into a volume that refuses writing: nothing arrives, nothing is lost. As root,
# permission bits do not stop writes, so the target is a tmpfs mounted read-only.
set -u
exe=$1 tests=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
[ "$(id -u)" = 0 ] || { echo "needs root to mount a read-only volume: skipped"; exit 0; }
dir=$(mktemp -d /tmp/kv_rovol.XXXXXX)
cleanup() { umount "$dir" 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT
mount -t tmpfs -o size=4m tmpfs "$dir" || { echo "cannot mount a tmpfs" >&2; exit 1; }
printf good >"$dir/existing.txt"
mount -o remount,ro "$dir" || { echo "cannot make the volume read-only" >&2; exit 1; }
KV_RO_TARGET="Z:$dir" "$root/scripts/wine-run" "$tests" --gtest_also_run_disabled_tests \
  --gtest_filter='ReadOnlyVolume.*' --gtest_color=no
