#!/usr/bin/env bash
# Starts and stops the real FTP servers of the FTP and GUI tests, as a ctest fixture:
#   ftp_peers.sh start STATE_DIR   pyftpdlib and vsftpd servers on free loopback ports
#   ftp_peers.sh stop STATE_DIR
# STATE_DIR/peers.txt then holds one line per server: "<name> <port> <root>". The roots get the
# same files with fixed times, so the tests can pin sizes, times and listings. A server that
# cannot be started fails the fixture (and with it every test that needs it).
set -uo pipefail
action=${1:?start or stop}
state=${2:?state directory}
python=/usr/bin/python3 # Debian's own python, the one pyftpdlib is installed for

stop_all() {
  for f in "$state"/*.pid; do
    [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null
    rm -f "$f"
  done
}

if [ "$action" = stop ]; then
  stop_all
  exit 0
fi

fail() { echo "ftp_peers: $*" >&2; stop_all; exit 1; }

stop_all
rm -rf "$state"
mkdir -p "$state" || fail "cannot make $state"
[ -x /usr/sbin/vsftpd ] || fail "vsftpd is not installed (scripts/setup installs it)"
"$python" -c 'import pyftpdlib' 2>/dev/null || fail "python3-pyftpdlib is not installed"
[ "$(id -u)" = 0 ] || fail "vsftpd needs root to change into its chroot"

# The files every root holds (and an empty pub/); times in UTC.
fill_root() {
  local root=$1
  mkdir -p "$root/docs" "$root/pub" || return 1
  "$python" - "$root" <<'PY' || return 1
import os, sys, calendar
root = sys.argv[1]
def put(name, data, when):
    path = os.path.join(root, name)
    with open(path, 'wb') as f:
        f.write(data)
    os.utime(path, (when, when))
t = calendar.timegm((2010, 5, 3, 12, 34, 56))
put('a.txt', b'hello\n', t)
put('docs/b.bin', bytes(range(256)) * 8, t)
put('docs/' + 'n' * 192 + '.txt', b'hello\n', t) # the longest name a cache line holds
put('big.bin', b'k' * (100 * 1024 + 7), t)
os.utime(os.path.join(root, 'docs'), (t, t))
PY
}

# pyftpdlib, user kv / pw with every permission: plain on 127.0.0.1, "tls" (AUTH TLS, both
# connections protected) or "v6" (plain on ::1). The port file appears once it listens.
cat >"$state/kv_pyftpd.py" <<'PY'
import os, sys, logging
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.servers import FTPServer
root, port_file, kind = sys.argv[1:4]
if kind == 'tls':
    from pyftpdlib.handlers import TLS_FTPHandler as handler
    handler.certfile, handler.keyfile = sys.argv[4:6]
    handler.tls_control_required = handler.tls_data_required = True
else:
    from pyftpdlib.handlers import FTPHandler as handler
handler.authorizer = DummyAuthorizer()
handler.authorizer.add_user('kv', 'pw', root, perm='elradfmwMT')
logging.basicConfig(level=logging.WARNING)
server = FTPServer(('::1' if kind == 'v6' else '127.0.0.1', 0), handler)
with open(port_file + '.tmp', 'w') as f:
    f.write(str(server.address[1]))
os.rename(port_file + '.tmp', port_file)
server.serve_forever()
PY
start_pyftpd() { # NAME KIND [CERT KEY], serving STATE_DIR/NAME
  local name=$1
  shift
  "$python" "$state/kv_pyftpd.py" "$state/$name" "$state/$name.port" "$@" >"$state/$name.log" 2>&1 &
  echo $! >"$state/$name.pid"
  for _ in $(seq 100); do [ -f "$state/$name.port" ] && break; sleep 0.1; done
  [ -f "$state/$name.port" ] || fail "$name did not start: $(cat "$state/$name.log")"
  echo "$name $(cat "$state/$name.port") $state/$name" >>"$state/peers.txt"
}
fill_root "$state/pyftpdlib" || fail "cannot fill $state/pyftpdlib"
start_pyftpd pyftpdlib plain

# vsftpd, anonymous, chrooted into a root it cannot write; uploads go into pub/.
start_vsftpd() {
  local name=$1 extra=$2
  local root="$state/$name"
  fill_root "$root" || fail "cannot fill $root"
  chown ftp "$root/pub" && chmod 755 "$root" || fail "cannot prepare $root"
  local port
  port=$("$python" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  cat >"$state/$name.conf" <<EOF2
listen=YES
listen_address=127.0.0.1
listen_port=$port
anonymous_enable=YES
anon_root=$root
no_anon_password=YES
write_enable=YES
anon_upload_enable=YES
anon_mkdir_write_enable=YES
anon_other_write_enable=YES
anon_umask=022
use_localtime=NO
seccomp_sandbox=NO
secure_chroot_dir=/var/run/vsftpd/empty
$extra
EOF2
  mkdir -p /var/run/vsftpd/empty
  /usr/sbin/vsftpd "$state/$name.conf" >"$state/$name.log" 2>&1 &
  echo $! >"$state/$name.pid"
  "$python" - "$port" <<'PY' || fail "$name does not answer: $(cat "$state/$name.log")"
import socket, sys, time
for _ in range(100):
    try:
        socket.create_connection(("127.0.0.1", int(sys.argv[1])), 1).close()
        sys.exit(0)
    except OSError:
        time.sleep(0.1)
sys.exit(1)
PY
  echo "$name $port $root" >>"$state/peers.txt"
}
start_vsftpd vsftpd ""
start_vsftpd vsftpd_denied "cmds_denied=SIZE,MDTM"

# UTF-8 file names: pyftpdlib (its FEAT names UTF8) over a root of UTF-8 names on disk, Japanese
# names with a code page 932 form and one without (𠮷, outside the code page).
utf8_root="$state/pyftpdlib_utf8"
mkdir -p "$utf8_root" || fail "cannot make $utf8_root"
"$python" - "$utf8_root" <<'PY' || fail "cannot fill $utf8_root"
import os, sys
root = sys.argv[1]
os.makedirs(os.path.join(root, '資料'))
for name, data in (('日本語.txt', b'nihongo\n'), ('ｶﾅ.bin', bytes(range(256))),
                   ('資料/表.bin', b'hyou'), ('資料/𠮷野家.txt', b'yoshinoya\n'), ('𠮷.txt', b'kichi\n')):
    with open(os.path.join(root, name), 'wb') as f:
        f.write(data)
PY
start_pyftpd pyftpdlib_utf8 plain

# FTP over TLS: anonymous log-ins and data connections must be protected. vsftpd_tls (AUTH TLS)
# keeps require_ssl_reuse at its default YES: a data connection that does not resume the control
# connection's session is refused (522). pyftpdlib_tls (user kv, no reuse check) shows a second
# certificate of another key, so a client that accepted the first one sees it change.
tls="$state/tls"
mkdir -p "$tls" || fail "cannot make $tls"
for c in cert cert2; do
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$tls/$c.key" -out "$tls/$c.pem" -days 30 \
    -subj /CN=127.0.0.1 >"$tls/$c.log" 2>&1 || fail "openssl: $(cat "$tls/$c.log")"
done
vsftpd_tls_conf="ssl_enable=YES
allow_anon_ssl=YES
force_anon_logins_ssl=YES
force_anon_data_ssl=YES
ssl_ciphers=HIGH
rsa_cert_file=$tls/cert.pem
rsa_private_key_file=$tls/cert.key"
start_vsftpd vsftpd_tls "$vsftpd_tls_conf"
# TLS from the first byte. Wine's Schannel resumes no session, so without reuse: the Windows build
# moves data over implicit TLS under Wine too.
start_vsftpd vsftpd_implicit_noreuse "$vsftpd_tls_conf
implicit_ssl=YES
require_ssl_reuse=NO"
for kind in tls v6; do
  fill_root "$state/pyftpdlib_$kind" || fail "cannot fill pyftpdlib_$kind"
  start_pyftpd pyftpdlib_$kind $kind "$tls/cert2.pem" "$tls/cert2.key"
done
exit 0
