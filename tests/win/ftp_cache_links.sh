#!/usr/bin/env bash
# Links inside the FTP listing cache, made on the Unix side (a Windows program under Wine cannot
# make them): the exit clean-up removes a dropped cache without following them out of ftp_dir.
set -u
exe=$1 tests=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
dir=$(mktemp -d /tmp/kv_links.XXXXXX)
trap 'chmod -R u+w "$dir"; rm -rf "$dir"' EXIT
mkdir -p "$dir/p/ftp_dir/held" "$dir/outside"
echo x > "$dir/outside/keep.txt"
chmod a-w "$dir/outside"
ln -s "$dir/outside" "$dir/p/ftp_dir/held/in"
ln -s "$dir/outside" "$dir/p/ftp_dir/link"
printf '[held]\r\nkeep dirlist=-\r\n[link]\r\nkeep dirlist=-\r\n' > "$dir/p/ftp.ini"
KV_LINKS_DIR="Z:$dir" "$root/scripts/wine-run" "$tests" --gtest_also_run_disabled_tests \
  --gtest_filter='FtpCacheLinks.*' --gtest_color=no || exit 1
# Nothing the links lead to changes, not even the permission bits of the read-only directory.
[ -f "$dir/outside/keep.txt" ] && [ "$(stat -c %a "$dir/outside")" = 555 ] ||
  { echo "the clean-up went through a link out of ftp_dir" >&2; exit 1; }
