// The real FTP servers tests/ftp/ftp_peers.sh starts around the FTP and GUI tests (a ctest
// fixture), looked up by name in the list it writes.
#pragma once

#include <string>

struct peer {
    int port = 0;
    std::string root; // as this program opens it
    std::string user;
    std::string password;
};

// A path the servers' machine gave, as this program opens it (under Wine the Unix root is Z:).
std::string local_form(const std::string& unix_path);
// "pyftpdlib", "pyftpdlib_tls", "pyftpdlib_v6" (user kv, every permission), "vsftpd",
// "vsftpd_denied", "vsftpd_tls", "vsftpd_implicit_noreuse" (anonymous); a missing list or
// server fails the test.
peer find_peer(const std::string& name);
