#include "support/ftp_peers.h"

#include "platform/os.h"

#include <gtest/gtest.h>

#include <sstream>

#ifndef KV_FTP_PEERS_FILE
#define KV_FTP_PEERS_FILE ""
#endif

std::string local_form(const std::string& unix_path)
{
#ifdef _WIN32
    return "Z:" + unix_path;
#else
    return unix_path;
#endif
}

peer find_peer(const std::string& name)
{
    peer found;
    auto list = os::read_file(local_form(KV_FTP_PEERS_FILE));
    if (!list) {
        ADD_FAILURE() << "no FTP servers: run the tests through ctest (fixture ftp_peers_start), "
                         "or tests/ftp/ftp_peers.sh start first; list expected at " KV_FTP_PEERS_FILE;
        return found;
    }
    std::istringstream lines(*list);
    std::string n, root;
    int port = 0;
    while (lines >> n >> port >> root)
        if (n == name) {
            found.port = port;
            found.root = local_form(root);
            bool py = name.rfind("pyftpdlib", 0) == 0;
            found.user = py ? "kv" : "anonymous";
            found.password = py ? "pw" : "kv@example.com";
        }
    if (found.port == 0)
        ADD_FAILURE() << "FTP server " << name << " is not in " KV_FTP_PEERS_FILE;
    return found;
}
