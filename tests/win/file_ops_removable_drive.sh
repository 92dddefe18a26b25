#!/usr/bin/env bash
# Batch mode for a removable drive: a folder as drive R:, called a floppy in the prefix's
# registry. Wine reads the drive types when the prefix starts, so it is restarted around the change.
set -u
exe=$1 tests=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-env"
kv_wine_prefix || exit 1
dir=$(mktemp -d /tmp/kv_removable.XXXXXX)
link="$WINEPREFIX/dosdevices/r:"
key='HKLM\Software\Wine\Drives'
cleanup() {
  timeout 60 wineserver -k 2>/dev/null
  timeout 60 wine reg delete "$key" /v r: /f >/dev/null 2>&1
  timeout 60 wineserver -k 2>/dev/null
  rm -f "$link"; rm -rf "$dir"
}
trap cleanup EXIT
timeout 60 wineserver -k 2>/dev/null
rm -f "$link" && ln -s "$dir" "$link"
timeout 60 wine reg add "$key" /v r: /d floppy /f >/dev/null 2>&1 || { echo "cannot set the drive type" >&2; exit 1; }
timeout 60 wineserver -k 2>/dev/null
KV_REMOVABLE_DRIVE="R:" "$root/scripts/wine-run" "$tests" --gtest_also_run_disabled_tests \
  --gtest_filter='RemovableDrive.*' --gtest_color=no
