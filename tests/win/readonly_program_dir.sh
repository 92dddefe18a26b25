#!/usr/bin/env bash
# A program directory on a volume that refuses writing: kelvasto.exe must end with message 32
# before any window. As root, permission bits do not stop writes, so the folder is a tmpfs
# mounted read-only; otherwise a folder without write permission.
set -u
exe=$1 tests=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
dir=$(mktemp -d /tmp/kv_ro.XXXXXX)
cleanup() {
  if [ "$(id -u)" = 0 ]; then umount "$dir" 2>/dev/null; else chmod u+w "$dir"; fi
  rm -rf "$dir"
}
trap cleanup EXIT
if [ "$(id -u)" = 0 ]; then
  # Room for the program (debug information included) and a little more.
  mount -t tmpfs -o size=$(($(stat -c %s "$exe") / 1048576 + 4))m tmpfs "$dir" || { echo "cannot mount a tmpfs" >&2; exit 1; }
  cp "$exe" "$dir/" && mount -o remount,ro "$dir" || { echo "cannot make the volume read-only" >&2; exit 1; }
else
  cp "$exe" "$dir/" && chmod a-w "$dir"
fi
KV_READONLY_DIR="$dir" "$root/scripts/wine-run" "$tests" --gtest_also_run_disabled_tests \
  --gtest_filter='ReadOnlyProgramDirectory.*' --gtest_color=no
