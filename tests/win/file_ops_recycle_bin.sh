#!/usr/bin/env bash
# "use trash": Wine's recycle bin is the XDG trash of $HOME, so the test gets a HOME of its own.
set -u
exe=$1 tests=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
home=$(mktemp -d /tmp/kv_home.XXXXXX)
trap 'rm -rf "$home"' EXIT
HOME="$home" KV_TRASH_HOME="$home" "$root/scripts/wine-run" "$tests" --gtest_also_run_disabled_tests \
  --gtest_filter='RecycleBin.*' --gtest_color=no
