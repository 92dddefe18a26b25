// Runs FTP client code on a worker thread the way the log window does: the test thread is the
// owner that shows (collects) every log line and acknowledges it.
#pragma once

#include "ftp/net_socket.h"

#include <functional>
#include <string>
#include <vector>

struct client_run {
    int code = -1;
    std::vector<std::string> log; // every line shown, from its marker on
    std::string text() const;     // the log lines joined as the log window shows them
};

using client_body = std::function<int(thread_net& worker, NetSocket& control)>;

struct client_options {
    bool log = true;
    int timeout_ms = net_timeout_ms;
    // Asked after each shown line: true requests the worker's stop.
    std::function<bool(const client_run&)> stop_when;
};

client_run run_client(const client_body& body, const client_options& options = {});
