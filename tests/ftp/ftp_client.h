// Runs FTP client code on a worker thread the way the log window does: the test thread is the
// owner that shows (collects) every log line and acknowledges it. Also one session against a
// scripted server, logged in first.
#pragma once

#include "ftp/ftp_protocol.h"
#include "ftp/net_socket.h"
#include "support/ftp_script_server.h"

#include <functional>
#include <string>
#include <vector>

using strings = std::vector<std::string>;

struct client_run {
    int code = -1;
    strings log;              // every line shown, from its marker on
    std::string text() const; // the log lines joined as the log window shows them
    int dots() const;         // progress dots: one per block moved
};

using client_body = std::function<int(thread_net& worker, NetSocket& control)>;
using script = std::function<void(script_session&)>;

struct client_options {
    bool log = true;
    int timeout_ms = net_timeout_ms;
    // Asked after each shown line: true requests the worker's stop.
    std::function<bool(const client_run&)> stop_when = {};
};

client_run run_client(const client_body& body, const client_options& options = {});
// The owner loop of any worker until it has finished: `on_notification` handles each notification
// before it is acknowledged and returns true to request the worker's stop. -1 when it never began.
int own_worker(thread& worker, const std::function<bool()>& on_notification);

struct scripted_run {
    client_run client;
    strings commands; // what the server received after the log-in
    strings problems; // where the client strayed from the script
};

// The server serves the log-in (kv / pw), then `serve`; the client logs in and, when that
// worked, runs `body`.
scripted_run run_scripted(const script& serve, const client_body& body, const client_options& options = {});

// Lines joined by '|', the way the tables write command sequences: "PASV|RETR f".
std::string joined(const strings& lines);
// Capability flags written as digits in flag order: "10011".
ftp_capabilities caps(const char* digits);

// A name of its own per test program run, so parallel runs never meet on a server.
std::string unique_name(const char* stem, const char* extension = ".bin");

// The file's bytes, or "<missing>".
std::string file_text(const std::string& path);
